#include "app/forms/window.h"

#include "app/forms/blokpost_app.h"

namespace blokpost {

Window::Window(BlokpostApp& app, const QString& caption, int clientWidth, int clientHeight, Frame frame)
    : QWidget(nullptr), app_(app) {
    setWindowTitle(caption);
    setFont(designedFont(11, false));
    setBackground(this, QColor(0x80, 0x80, 0x80));
    if (frame == Frame::FixedDialog) {
        setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint |
                       Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        setFixedSize(clientWidth, clientHeight);
        // Closing a display window only hides it; only the main window ends the program.
        setAttribute(Qt::WA_QuitOnClose, false);
    } else {
        setWindowFlags(Qt::FramelessWindowHint);
        resize(clientWidth, clientHeight);
    }
}

void Window::showWindow() {
    show();
    raise();
}

ProgramState& Window::state() { return app_.state(); }

void Window::handle(const std::function<void()>& handler) {
    handler();
    app_.syncAll();
}

QFont designedFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void setBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

}  // namespace blokpost

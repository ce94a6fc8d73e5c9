#include "desk/forms/window.h"

#include "desk/desk_layout.h"
#include "desk/forms/window_host.h"
#include "state/program_state.h"

#include <QFontInfo>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace blokpost {

Window::Window(WindowHost& host, const QString& caption, int clientWidth, int clientHeight, Frame frame)
    : QWidget(nullptr), host_(host), designed_(clientWidth, clientHeight) {
    setWindowTitle(caption);
    setFont(designedFont(11, false));
    setBackground(this, QColor(0x80, 0x80, 0x80));
    if (frame == Frame::FixedDialog) {
        // Only a close button beside the caption: a window of fixed size has nothing to
        // minimise or enlarge, and on a small window like the clock the other buttons
        // leave no room for its caption.
        setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint |
                       Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        setFixedSize(clientWidth, clientHeight);
        // Closing a display window only hides it; only the main window ends the program.
        setAttribute(Qt::WA_QuitOnClose, false);
    } else {
        setWindowFlags(Qt::FramelessWindowHint);
        resize(clientWidth, clientHeight);
    }
}

void Window::fitInto(const QSize& client) {
    if (client == size()) return;
    if (client != designed_) scrollContent();
    setFixedSize(client);
}

void Window::scrollContent() {
    if (scrolledContent_) return;
    scrolledContent_ = new QWidget;
    scrolledContent_->setFixedSize(designed_);
    setBackground(scrolledContent_, palette().color(QPalette::Window));
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        // A child taken into another parent is hidden until shown again.
        const bool shown = !child->isHidden();
        child->setParent(scrolledContent_);
        child->setVisible(shown);
    }
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(scrolledContent_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
}

void Window::scrollTo(QWidget& child) {
    if (!scrolledContent_) return;
    // A margin shows the cell's neighbours too, so the operator sees where it is.
    constexpr int kMargin = 40;
    if (auto* scroll = findChild<QScrollArea*>()) scroll->ensureWidgetVisible(&child, kMargin, kMargin);
}

void Window::scrollClearOf(QWidget& child, const QList<QRect>& covering) {
    scrollTo(child);
    auto* scroll = scrolledContent_ ? findChild<QScrollArea*>() : nullptr;
    if (!scroll) return;
    QScrollBar& across = *scroll->horizontalScrollBar();
    QScrollBar& down = *scroll->verticalScrollBar();
    const QRect viewport(scroll->viewport()->mapToGlobal(QPoint()), scroll->viewport()->size());
    const QRect part(child.mapTo(scrolledContent_, QPoint()), child.size());
    const QPoint offset = offsetShowing(part, viewport, {across.value(), down.value()},
                                        {across.maximum(), down.maximum()}, covering);
    across.setValue(offset.x());
    down.setValue(offset.y());
}

void Window::showWindow() {
    show();
    raise();
}

ProgramState& Window::state() { return host_.state(); }

bool Window::handle(const std::function<void()>& handler) {
    const bool ranThrough = guarded(state(), handler);
    host_.syncAll();
    return ranThrough;
}

QFont designedFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    // The windows were laid out for Tahoma; a wider stand-in is narrowed so
    // that captions still fit their designed buttons.
    static const bool tahomaMissing = QFontInfo(font).family() != QLatin1String("Tahoma");
    if (tahomaMissing) font.setStretch(88);
    return font;
}

void setBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel* addCaption(QWidget* parent, const QString& text, int x, int y, const QFont& font, const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QLabel* addPhotograph(QWidget* parent, const QString& resource, const QRect& place) {
    auto* label = new QLabel(parent);
    label->setGeometry(place);
    const QPixmap photo(resource);
    if (!photo.isNull()) label->setPixmap(photo.scaled(place.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return label;
}

}  // namespace blokpost

#include "app/forms/display_windows.h"

#include "app/forms/blokpost_app.h"
#include "base/forms/stored_text.h"

namespace blokpost {

PictureWindow::PictureWindow(BlokpostApp& app, const QString& caption, const Canvas& picture)
    : Window(app, caption, picture.width(), picture.height(), Frame::FixedDialog),
      view_(new CanvasView(picture, this, false)) {
    view_->setGeometry(0, 0, picture.width(), picture.height());
}

TMeterForm::TMeterForm(BlokpostApp& app, int meter)
    : PictureWindow(app, fromStoredText(app.state().screen.main.meterWindowCaption[meter]),
                    app.state().screen.display.meter[meter]),
      meter_(meter) {}

void TMeterForm::sync() {
    PictureWindow::sync();
    const QString caption = fromStoredText(state().screen.main.meterWindowCaption[meter_]);
    if (windowTitle() != caption) setWindowTitle(caption);
}

TBoardForm::TBoardForm(BlokpostApp& app, int line)
    : PictureWindow(app, QStringLiteral("Bord%1").arg(line), app.state().screen.display.board[line]) {}

TClockForm::TClockForm(BlokpostApp& app)
    : PictureWindow(app, QStringLiteral("Klok"), app.state().screen.display.clock) {}

void TClockForm::showEvent(QShowEvent* event) {
    state().screen.display.clockShown = true;
    PictureWindow::showEvent(event);
}

void TClockForm::hideEvent(QHideEvent* event) {
    state().screen.display.clockShown = false;
    PictureWindow::hideEvent(event);
}

}  // namespace blokpost

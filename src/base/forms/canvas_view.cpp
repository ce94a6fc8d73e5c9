#include "base/forms/canvas_view.h"

#include <QMouseEvent>
#include <QPainter>

namespace blokpost {

void PressArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) leftPressed_ = true;
    if (onPress) onPress();
    event->accept();
}

void PressArea::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return event->accept();
    // The press grabbed the mouse, so the release comes here even when it
    // happens elsewhere: only one over the control completes a click.
    const bool clicked = leftPressed_ && rect().contains(event->position().toPoint());
    leftPressed_ = false;
    event->accept();
    if (clicked && onClick) onClick();
}

CanvasView::CanvasView(const Canvas& canvas, QWidget* parent, bool sizeToPicture)
    : PressArea(parent), canvas_(canvas), sizeToPicture_(sizeToPicture) {
    sync();
}

void CanvasView::sync() {
    if (canvas_.revision() == shownRevision_) return;
    shownRevision_ = canvas_.revision();
    if (sizeToPicture_ && size() != canvas_.image().size()) resize(canvas_.image().size());
    update();
}

void CanvasView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, canvas_.image());
}

}  // namespace blokpost

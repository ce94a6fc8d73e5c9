#include "app/forms/canvas_view.h"

#include <QMouseEvent>
#include <QPainter>

namespace blokpost {

void PressArea::mousePressEvent(QMouseEvent* event) {
    if (onPress) onPress();
    event->accept();
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

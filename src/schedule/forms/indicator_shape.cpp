#include "schedule/forms/indicator_shape.h"

#include <QPainter>

namespace blokpost {

IndicatorShape::IndicatorShape(const Colour& fill, QWidget* parent)
    : PressArea(parent), fill_(fill), shown_(fill) {
    resize(17, 17);
}

void IndicatorShape::sync() {
    if (fill_ == shown_) return;
    shown_ = fill_;
    update();
}

void IndicatorShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor::fromRgb(static_cast<QRgb>(shown_) | 0xFF000000u));
    painter.drawEllipse(QRectF(0.5, 0.5, width() - 1.0, height() - 1.0));
}

}  // namespace blokpost

#include "paint_kit.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>

namespace blokpost::artwork {

QFont paintFont(double pixelSize, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(static_cast<int>(pixelSize));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QImage blankImage(int width, int height, const QColor& fill) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

void fittedText(QPainter& p, const QRectF& box, const QString& text, double pixelSize, bool bold,
                const QColor& colour, int alignment) {
    QFont font = paintFont(pixelSize, bold);
    while (pixelSize > 6 && QFontMetricsF(font).horizontalAdvance(text) > box.width()) {
        pixelSize -= 1;
        font = paintFont(pixelSize, bold);
    }
    p.save();
    p.setFont(font);
    p.setPen(colour);
    p.drawText(box, alignment, text);
    p.restore();
}

void gradientFill(QPainter& p, const QRectF& area, const QColor& top, const QColor& bottom) {
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    p.fillRect(area, gradient);
}

namespace {

void paintCoach(QPainter& p, const QRectF& body, bool nose, const TrainLook& look) {
    QPainterPath shape;
    if (nose) {
        // A sloping cab front on the leading end.
        const double slope = body.height() * 0.45;
        shape.moveTo(body.left(), body.top() + 3);
        shape.quadTo(body.left(), body.top(), body.left() + 3, body.top());
        shape.lineTo(body.right() - slope, body.top());
        shape.quadTo(body.right(), body.top() + slope * 0.3, body.right(), body.top() + slope);
        shape.lineTo(body.right(), body.bottom());
        shape.lineTo(body.left(), body.bottom());
        shape.closeSubpath();
    } else {
        shape.addRoundedRect(body, 3, 3);
    }
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
    p.setBrush(look.body);
    p.drawPath(shape);

    // The railway's blue band along the lower body.
    p.save();
    p.setClipPath(shape);
    p.fillRect(QRectF(body.left(), body.bottom() - body.height() * 0.28, body.width(), body.height() * 0.16),
               look.band);
    p.restore();

    // Windows: one row, or two on a double-deck coach.
    const int rows = look.doubleDeck ? 2 : 1;
    const double windowHeight = body.height() * (look.doubleDeck ? 0.2 : 0.26);
    const double windowWidth = body.height() * 0.34;
    p.setPen(Qt::NoPen);
    p.setBrush(look.window);
    for (int row = 0; row < rows; ++row) {
        const double y = body.top() + body.height() * (look.doubleDeck ? 0.14 + 0.3 * row : 0.2);
        const double last = body.right() - (nose ? body.height() * 0.75 : body.height() * 0.25) - windowWidth;
        for (double x = body.left() + body.height() * 0.25; x <= last; x += windowWidth * 1.45)
            p.drawRoundedRect(QRectF(x, y, windowWidth, windowHeight), 1.5, 1.5);
    }
    if (nose) {
        // Cab window and a head lamp.
        QPolygonF cab;
        const double slope = body.height() * 0.45;
        cab << QPointF(body.right() - slope - 2, body.top() + 3) << QPointF(body.right() - slope * 0.35, body.top() + 3)
            << QPointF(body.right() - 2, body.top() + slope * 0.85)
            << QPointF(body.right() - slope - 2, body.top() + slope * 0.85);
        p.drawPolygon(cab);
        p.setBrush(QColor(0xFF, 0xF6, 0xD0));
        p.drawEllipse(QPointF(body.right() - 3, body.bottom() - body.height() * 0.38), 1.8, 1.8);
    }
    // Doors.
    p.setPen(QPen(QColor(0, 0, 0, 90), 1));
    for (double f : {0.18, 0.82}) {
        const double x = body.left() + body.width() * f;
        if (nose && f > 0.5) continue;
        p.drawLine(QPointF(x, body.top() + body.height() * 0.15), QPointF(x, body.bottom() - 2));
    }
}

}  // namespace

void paintTrain(QPainter& p, double left, double rail, double coachLength, double height, int coaches,
                const TrainLook& look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double gap = std::max(1.5, coachLength * 0.02);
    const double wheel = height * 0.09;
    const double bodyBottom = rail - wheel * 2.2;
    for (int i = 0; i < coaches; ++i) {
        const double x = left + i * (coachLength + gap);
        // Bogies under both ends.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2A, 0x2A, 0x2A));
        for (double f : {0.16, 0.84}) {
            const double cx = x + coachLength * f;
            p.drawRect(QRectF(cx - wheel * 2.4, bodyBottom, wheel * 4.8, wheel * 1.2));
            p.drawEllipse(QPointF(cx - wheel * 1.2, rail - wheel), wheel, wheel);
            p.drawEllipse(QPointF(cx + wheel * 1.2, rail - wheel), wheel, wheel);
        }
        paintCoach(p, QRectF(x, bodyBottom - height, coachLength, height), i == coaches - 1, look);
    }
    p.restore();
}

void paintRails(QPainter& p, double left, double right, double rail, double scale) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5A, 0x4A, 0x3C));
    for (double x = left; x < right; x += 7 * scale) p.drawRect(QRectF(x, rail, 3.5 * scale, 2.2 * scale));
    p.setPen(QPen(QColor(0x9A, 0x9A, 0x9A), std::max(1.0, 1.2 * scale)));
    p.drawLine(QPointF(left, rail), QPointF(right, rail));
    p.restore();
}

void paintCloud(QPainter& p, QPointF centre, double size, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(centre, size, size * 0.55);
    p.drawEllipse(centre + QPointF(-size * 0.8, size * 0.15), size * 0.7, size * 0.4);
    p.drawEllipse(centre + QPointF(size * 0.85, size * 0.12), size * 0.75, size * 0.42);
    p.drawEllipse(centre + QPointF(size * 0.2, -size * 0.35), size * 0.6, size * 0.45);
    p.restore();
}

}  // namespace blokpost::artwork

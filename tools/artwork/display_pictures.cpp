// The small display windows' pictures: the two meter dials, the departure
// board, the clock face, and the preview of a line button.

#include "artwork.h"
#include "paint_kit.h"

#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace blokpost::artwork {

namespace {

// The needle turns about this point, from pointing left (input 0) to pointing up.
constexpr QPointF kPivot(138, 131);

QPointF onScale(double radius, double fraction) {
    const double a = fraction * std::numbers::pi / 2;
    return kPivot - QPointF(radius * std::cos(a), radius * std::sin(a));
}

void scaleBand(QPainter& p, double inner, double outer, double from, double to, const QColor& colour) {
    QPainterPath band;
    const QRectF outerBox(kPivot.x() - outer, kPivot.y() - outer, 2 * outer, 2 * outer);
    const QRectF innerBox(kPivot.x() - inner, kPivot.y() - inner, 2 * inner, 2 * inner);
    // Qt's angles run anticlockwise from three o'clock; the scale runs from 180 down to 90 degrees.
    band.arcMoveTo(outerBox, 180 - 90 * from);
    band.arcTo(outerBox, 180 - 90 * from, -90 * (to - from));
    band.arcTo(innerBox, 180 - 90 * to, 90 * (to - from));
    band.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(band);
}

}  // namespace

QImage meterDial(int meter) {
    QImage image = blankImage(159, 152, QColor(0x3A, 0x3F, 0x44));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The face: a cream quarter-round plate in a dark bezel.
    p.setPen(QPen(QColor(0x1E, 0x22, 0x26), 2));
    p.setBrush(QColor(0xFB, 0xF8, 0xEE));
    p.drawRoundedRect(QRectF(5, 5, 149, 142), 10, 10);

    const QColor accent = meter == 1 ? QColor(0x1F, 0x5F, 0xB8) : QColor(0x2E, 0x8B, 0x4A);
    scaleBand(p, 114, 120, 0.0, 0.7, QColor(0xD8, 0xE4, 0xF2));
    scaleBand(p, 114, 120, 0.7, 0.9, QColor(0xF6, 0xD3, 0x6B));
    scaleBand(p, 114, 120, 0.9, 1.0, QColor(0xE8, 0x6A, 0x5A));
    // Ticks every 5 %, long ones every 25 %.
    for (int i = 0; i <= 20; ++i) {
        const double f = i / 20.0;
        const bool major = i % 5 == 0;
        p.setPen(QPen(QColor(0x20, 0x20, 0x20), major ? 2.2 : 1.0));
        p.drawLine(onScale(major ? 104 : 109, f), onScale(121, f));
    }
    p.setFont(paintFont(10, true));
    p.setPen(QColor(0x30, 0x30, 0x30));
    for (int i = 0; i <= 4; ++i) {
        const QPointF at = onScale(94, i / 4.0);
        p.drawText(QRectF(at.x() - 14, at.y() - 7, 28, 14), Qt::AlignCenter, QString::number(25 * i));
    }
    // The unit inside the sweep, the name plate below the pivot where the needle never goes.
    const QPointF unit = onScale(66, 0.5);
    fittedText(p, QRectF(unit.x() - 12, unit.y() - 8, 24, 16), QStringLiteral("%"), 13, true, QColor(0x70, 0x70, 0x70),
               Qt::AlignCenter);
    fittedText(p, QRectF(12, 136, 112, 11), QStringLiteral("METER %1").arg(meter), 10, true, accent);
    // The pivot boss.
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
    p.setBrush(accent);
    p.drawEllipse(kPivot, 7, 7);
    return image;
}

QImage departureBoard() {
    // A white board: the texts are written in black on white boxes, so the
    // areas they go into stay white and the decorations keep clear of them.
    QImage image = blankImage(332, 143, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kRailBlue, 4));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2, 2, 328, 139));
    // Small headings above the text places.
    const QColor heading(0x6A, 0x78, 0x90);
    fittedText(p, QRectF(15, 4, 90, 11), QStringLiteral("VERTREK"), 9, true, heading);
    fittedText(p, QRectF(120, 4, 120, 11), QStringLiteral("TREIN"), 9, true, heading);
    fittedText(p, QRectF(266, 12, 56, 14), QStringLiteral("SPOOR"), 9, true, heading, Qt::AlignCenter);
    // The platform box.
    p.setPen(QPen(kRailBlue, 2));
    p.drawRoundedRect(QRectF(266, 26, 56, 42), 6, 6);
    p.setPen(QPen(QColor(0xC8, 0xD2, 0xE4), 1));
    p.drawLine(QPointF(12, 47), QPointF(256, 47));
    p.drawLine(QPointF(12, 83), QPointF(320, 83));
    // The yellow foot of the board.
    p.fillRect(QRectF(4, 110, 324, 29), kRailYellow);
    fittedText(p, QRectF(14, 110, 200, 29), QStringLiteral("Blokpost  ·  vertrekstaat"), 13, true, kRailBlue);
    p.setPen(QPen(kRailBlue, 2));
    p.drawEllipse(QPointF(306, 124.5), 9, 9);
    p.drawLine(QPointF(306, 124.5), QPointF(306, 118));
    p.drawLine(QPointF(306, 124.5), QPointF(311, 124.5));
    return image;
}

QImage clockFace() {
    // A station clock: bars for the hours, strokes for the minutes, no numerals.
    QImage image = blankImage(121, 122, QColor(0x80, 0x80, 0x80));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(60, 60);
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 4));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, 57, 57);
    for (int minute = 0; minute < 60; ++minute) {
        const double a = minute / 60.0 * 2 * std::numbers::pi;
        const QPointF direction(std::sin(a), -std::cos(a));
        const bool hour = minute % 5 == 0;
        p.setPen(QPen(Qt::black, hour ? 4 : 1.2, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(centre + direction * (hour ? 41 : 48), centre + direction * 53);
    }
    return image;
}

QImage lineButtonPreview() {
    // What a line button looks like on the main window, 89 x 25.
    QImage image = blankImage(89, 25, QColor(0xE1, 0xE1, 0xE1));
    QPainter p(&image);
    p.setPen(Qt::white);
    p.drawLine(0, 0, 88, 0);
    p.drawLine(0, 0, 0, 24);
    p.setPen(QColor(0x69, 0x69, 0x69));
    p.drawLine(88, 0, 88, 24);
    p.drawLine(0, 24, 88, 24);
    p.setRenderHint(QPainter::Antialiasing);
    fittedText(p, QRectF(0, 0, 89, 25), QStringLiteral("Start Lijn"), 12, true, Qt::black, Qt::AlignCenter);
    return image;
}

}  // namespace blokpost::artwork

#pragma once
// Shared brushes of the painted pictures: one colour scheme, one font family,
// text that fits its box, and the trains and skies the scenes are made of.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace blokpost::artwork {

// The signal-box panel: a dark green-grey desk with pale tracks.
namespace panel {
inline const QColor kDesk(0x33, 0x41, 0x3E);
inline const QColor kDeskEdge(0x6F, 0x80, 0x7B);
inline const QColor kTrack(0xE6, 0xE2, 0xD3);
inline const QColor kDimTrack(0x5E, 0x6B, 0x67);
inline const QColor kLit(0xFF, 0xC9, 0x4A);
inline const QColor kLabel(0xF4, 0xF4, 0xEE);
inline const QColor kSubtle(0xB4, 0xC2, 0xBD);
inline const QColor kSignalRed(0xF0, 0x3E, 0x3E);
inline const QColor kSignalGreen(0x3C, 0xD0, 0x6A);
inline const QColor kSensor(0x5E, 0xC8, 0xF0);
inline const QColor kOccupied(0xFF, 0x6B, 0x3D);
}  // namespace panel

// The railway's own colours for trains and boards.
inline const QColor kRailYellow(0xFF, 0xC9, 0x17);
inline const QColor kRailBlue(0x00, 0x30, 0x82);

QFont paintFont(double pixelSize, bool bold = false);
// A fresh picture filled with one colour.
QImage blankImage(int width, int height, const QColor& fill);
// Draws text in the box with the given alignment, shrinking the font until it fits.
void fittedText(QPainter& p, const QRectF& box, const QString& text, double pixelSize, bool bold,
                const QColor& colour, int alignment = Qt::AlignLeft | Qt::AlignVCenter);

// A vertical gradient from `top` to `bottom` over the rectangle.
void gradientFill(QPainter& p, const QRectF& area, const QColor& top, const QColor& bottom);

// A passenger train seen from the side, `length` coaches, its nose to the
// right, standing with its wheels on `rail` (the rail's y) from `left`.
struct TrainLook {
    QColor body = kRailYellow;
    QColor band = kRailBlue;
    QColor window = QColor(0x24, 0x2E, 0x3A);
    bool doubleDeck = false;
};
void paintTrain(QPainter& p, double left, double rail, double coachLength, double height, int coaches,
                const TrainLook& look = {});
// A stretch of rail with sleepers at height `rail`.
void paintRails(QPainter& p, double left, double right, double rail, double scale);
// Soft clouds centred at the point.
void paintCloud(QPainter& p, QPointF centre, double size, const QColor& colour);

}  // namespace blokpost::artwork

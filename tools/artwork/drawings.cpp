// The 96 x 35 tiles laid over the track plan: a pin pair's point or signal in
// the state its odd or even pin gives, and the sensors active or inactive.
// Pairs 1..32 drive points W1..W32 (odd pin straight, even pin turned);
// pairs 33..63 drive signals S1..S31 (odd pin red, even pin green).

#include "artwork.h"
#include "paint_kit.h"

namespace blokpost::artwork {

namespace {

constexpr int kPointPairs = 32;

QImage tile() {
    QImage image = blankImage(96, 35, panel::kDesk);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(panel::kDeskEdge, 1));
    p.setBrush(QColor(0x2B, 0x36, 0x34));
    p.drawRoundedRect(QRectF(0.5, 0.5, 95, 34), 4, 4);
    return image;
}

// Name and pin on the first line, the state on the second, right of the symbol.
void tileTexts(QPainter& p, const QString& name, const QString& pin, const QString& state, const QColor& stateColour) {
    fittedText(p, QRectF(40, 2, pin.isEmpty() ? 53 : 26, 16), name, 12, true, panel::kLabel);
    if (!pin.isEmpty())
        fittedText(p, QRectF(64, 3, 29, 15), pin, 10, false, panel::kSubtle, Qt::AlignRight | Qt::AlignVCenter);
    fittedText(p, QRectF(40, 18, 53, 15), state, 11, true, stateColour);
}

void pointSymbol(QPainter& p, bool turned) {
    const QLineF straight(6, 24, 36, 24), branch(13, 24, 33, 9);
    const QPen lit(panel::kLit, 4, Qt::SolidLine, Qt::RoundCap), dim(panel::kDimTrack, 3, Qt::SolidLine, Qt::RoundCap);
    p.setPen(turned ? dim : lit);
    p.drawLine(turned ? QLineF(19, 24, 36, 24) : straight);
    p.setPen(turned ? lit : dim);
    p.drawLine(branch);
    if (turned) {
        p.setPen(lit);
        p.drawLine(QLineF(6, 24, 13, 24));
    }
}

void signalSymbol(QPainter& p, bool green) {
    p.setPen(QPen(panel::kSubtle, 2));
    p.drawLine(QLineF(24, 32, 24, 26));
    p.setPen(QPen(QColor(0x10, 0x10, 0x10), 1));
    p.setBrush(QColor(0x16, 0x1C, 0x1B));
    p.drawRoundedRect(QRectF(14, 3, 20, 24), 6, 6);
    const QColor off(0x44, 0x4C, 0x4A);
    p.setPen(Qt::NoPen);
    p.setBrush(green ? off : panel::kSignalRed);
    p.drawEllipse(QPointF(24, 10), 4.5, 4.5);
    p.setBrush(green ? panel::kSignalGreen : off);
    p.drawEllipse(QPointF(24, 20), 4.5, 4.5);
}

void sensorSymbol(QPainter& p, bool active) {
    p.setPen(QPen(active ? panel::kOccupied : panel::kDimTrack, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QLineF(5, 22, 35, 22));
    p.setPen(QPen(panel::kDesk, 1.5));
    p.setBrush(active ? panel::kOccupied : QColor(0x3E, 0x4C, 0x49));
    p.drawRoundedRect(QRectF(15, 11, 10, 22), 2, 2);
    if (active) {
        p.setPen(QPen(panel::kOccupied, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(9, 3, 22, 14), 30 * 16, 120 * 16);
    }
}

}  // namespace

QImage pinDrawing(int pin) {
    QImage image = tile();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const int pair = (pin + 1) / 2;
    const bool even = pin % 2 == 0;
    const QString pinText = QStringLiteral("pin %1").arg(pin);
    if (pair <= kPointPairs) {
        pointSymbol(p, even);
        tileTexts(p, QStringLiteral("W%1").arg(pair), pinText, even ? QStringLiteral("afbuigend") : QStringLiteral("recht"),
                  panel::kLit);
    } else {
        signalSymbol(p, even);
        tileTexts(p, QStringLiteral("S%1").arg(pair - kPointPairs), pinText,
                  even ? QStringLiteral("veilig") : QStringLiteral("stop"),
                  even ? panel::kSignalGreen : panel::kSignalRed);
    }
    return image;
}

QImage blankDrawing() {
    QImage image = tile();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(panel::kDimTrack, 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(4.5, 4.5, 87, 26), 3, 3);
    fittedText(p, QRectF(0, 0, 96, 35), QStringLiteral("—"), 14, true, panel::kDimTrack, Qt::AlignCenter);
    return image;
}

QImage sensorDrawing(int sensor, bool active) {
    QImage image = tile();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    sensorSymbol(p, active);
    tileTexts(p, QStringLiteral("Melder %1").arg(sensor), QString(),
              active ? QStringLiteral("bezet") : QStringLiteral("vrij"), active ? panel::kOccupied : panel::kSensor);
    return image;
}

}  // namespace blokpost::artwork

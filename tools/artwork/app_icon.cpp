// The program's icon for the desktop menu: a piece of the signal-box panel,
// a point with its route lit and a signal showing green. Painted at every
// size of the icon theme rather than scaled, so small sizes stay crisp.

#include "artwork.h"
#include "paint_kit.h"

#include <QDir>
#include <QPainterPath>

namespace blokpost::artwork {

const std::vector<int> kIconSizes = {16, 22, 24, 32, 48, 64, 128, 256};

QImage applicationIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);  // drawn on a 64 x 64 grid

    p.setPen(QPen(panel::kDeskEdge, 2));
    p.setBrush(panel::kDesk);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 11, 11);

    // The straight road, and the branch of the point with its route lit.
    p.setPen(QPen(panel::kTrack, 6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(8, 44), QPointF(56, 44));
    QPainterPath branch(QPointF(20, 44));
    branch.cubicTo(QPointF(32, 44), QPointF(38, 26), QPointF(56, 26));
    p.setPen(QPen(panel::kLit, 6, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(branch);

    // The signal: a post and a head with its green lamp lit.
    p.setPen(QPen(panel::kLabel, 3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(15, 36), QPointF(15, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1A, 0x22, 0x20));
    p.drawRoundedRect(QRectF(8, 6, 14, 16), 4, 4);
    p.setBrush(panel::kSignalGreen);
    p.drawEllipse(QPointF(15, 14), 4.5, 4.5);
    return image;
}

QStringList writeApplicationIcons(const QString& themeFolder) {
    QStringList failures;
    for (int size : kIconSizes) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(themeFolder).arg(size);
        const QString target = folder + QStringLiteral("/blokpost.png");
        if (!QDir().mkpath(folder) || !applicationIcon(size).save(target, "PNG")) failures << target;
    }
    return failures;
}

}  // namespace blokpost::artwork

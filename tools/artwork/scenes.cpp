// Painted scenes: the four schedule variants' pictures and the three
// photographs that decorate the grid window, the palette and the timetable editor.

#include "artwork.h"
#include "paint_kit.h"

#include <QPainterPath>
#include <QRandomGenerator>
#include <algorithm>
#include <array>
#include <cmath>

namespace blokpost::artwork {

namespace {

struct Season {
    const char* title;
    QColor skyTop, skyBottom, ground, groundFar;
    bool sun = false;
    bool snow = false;
    bool evening = false;
};

const std::array<Season, 4> kSeasons{{
    {"Normale dienst", QColor(0x7F, 0xB8, 0xF0), QColor(0xDC, 0xEE, 0xFF), QColor(0x7D, 0xB5, 0x5A),
     QColor(0x9C, 0xC8, 0x7C)},
    {"Weekenddienst", QColor(0xF5, 0x8D, 0x5B), QColor(0xFF, 0xE1, 0xA8), QColor(0x8A, 0xA8, 0x4C),
     QColor(0xB2, 0xB8, 0x6A), false, false, true},
    {"Zomerdienst", QColor(0x3C, 0x96, 0xF2), QColor(0xB8, 0xE2, 0xFF), QColor(0x5D, 0xBB, 0x45),
     QColor(0x8F, 0xD0, 0x6A), true},
    {"Winterdienst", QColor(0xA9, 0xB9, 0xCC), QColor(0xEC, 0xF1, 0xF6), QColor(0xF4, 0xF7, 0xFA),
     QColor(0xDD, 0xE5, 0xEE), false, true},
}};

void tree(QPainter& p, QPointF foot, double height, const QColor& crown, bool snowy) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x6B, 0x4A, 0x2F));
    p.drawRect(QRectF(foot.x() - height * 0.05, foot.y() - height * 0.3, height * 0.1, height * 0.3));
    p.setBrush(crown);
    QPolygonF fir;
    fir << foot + QPointF(0, -height) << foot + QPointF(height * 0.3, -height * 0.25)
        << foot + QPointF(-height * 0.3, -height * 0.25);
    p.drawPolygon(fir);
    if (snowy) {
        p.setBrush(Qt::white);
        QPolygonF cap;
        cap << foot + QPointF(0, -height) << foot + QPointF(height * 0.12, -height * 0.72)
            << foot + QPointF(-height * 0.12, -height * 0.72);
        p.drawPolygon(cap);
    }
}

void windmill(QPainter& p, QPointF foot, double height) {
    p.setPen(QPen(QColor(0x3A, 0x2E, 0x28), 1));
    p.setBrush(QColor(0x5A, 0x48, 0x3C));
    QPolygonF body;
    body << foot + QPointF(-height * 0.18, 0) << foot + QPointF(height * 0.18, 0)
         << foot + QPointF(height * 0.09, -height * 0.75) << foot + QPointF(-height * 0.09, -height * 0.75);
    p.drawPolygon(body);
    const QPointF hub = foot + QPointF(0, -height * 0.78);
    p.setPen(QPen(QColor(0xF2, 0xEE, 0xE4), 2));
    for (const QPointF& arm : {QPointF(0.45, -0.35), QPointF(-0.35, -0.45), QPointF(-0.45, 0.35), QPointF(0.35, 0.45)})
        p.drawLine(hub, hub + arm * height * 0.6);
}

void skyline(QPainter& p, double baseline, double scale, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    double x = 0;
    for (double h : {22.0, 34.0, 18.0, 40.0, 26.0, 30.0, 16.0, 36.0, 24.0, 20.0, 28.0, 38.0, 22.0, 32.0}) {
        p.drawRect(QRectF(x * scale, baseline - h * scale, 20 * scale, h * scale));
        x += 24;
    }
    // A church spire, as every Dutch town has one.
    QPolygonF spire;
    spire << QPointF(150 * scale, baseline - 40 * scale) << QPointF(160 * scale, baseline - 70 * scale)
          << QPointF(170 * scale, baseline - 40 * scale);
    p.drawPolygon(spire);
    p.drawRect(QRectF(150 * scale, baseline - 40 * scale, 20 * scale, 40 * scale));
}

void snowfall(QPainter& p, const QRectF& area, int flakes) {
    QRandomGenerator random(7);  // the same snow every time
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 220));
    for (int i = 0; i < flakes; ++i) {
        const QPointF at(area.left() + random.bounded(area.width()), area.top() + random.bounded(area.height()));
        p.drawEllipse(at, 1.4, 1.4);
    }
}

void sun(QPainter& p, QPointF centre, double radius) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xE0, 0x60, 90));
    p.drawEllipse(centre, radius * 1.6, radius * 1.6);
    p.setBrush(QColor(0xFF, 0xD8, 0x40));
    p.drawEllipse(centre, radius, radius);
}

struct Cloud {
    QPointF centre;
    double size;
};

// A fair-weather sky with a few clouds.
void daySky(QPainter& p, const QRectF& area, const QColor& top, const QColor& bottom, std::initializer_list<Cloud> clouds) {
    gradientFill(p, area, top, bottom);
    for (const Cloud& cloud : clouds) paintCloud(p, cloud.centre, cloud.size, QColor(255, 255, 255, 195));
}

}  // namespace

QImage variantPicture(int variant) {
    const Season& season = kSeasons.at(static_cast<std::size_t>(std::clamp(variant, 1, 4) - 1));
    QImage image = blankImage(300, 121, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    gradientFill(p, QRectF(0, 0, 300, 80), season.skyTop, season.skyBottom);
    if (season.sun) sun(p, QPointF(250, 26), 13);
    if (season.evening) sun(p, QPointF(240, 70), 16);
    if (!season.sun && !season.evening) paintCloud(p, QPointF(235, 24), 16, QColor(255, 255, 255, 210));

    p.fillRect(QRectF(0, 66, 300, 55), season.groundFar);
    if (variant == 1) skyline(p, 70, 0.75, QColor(0x7A, 0x8C, 0xA6));
    if (variant == 3) windmill(p, QPointF(215, 70), 44);
    for (double x : {18.0, 40.0, 150.0, 178.0, 270.0})
        tree(p, QPointF(x, 72), variant == 4 ? 26 : 22, season.snow ? QColor(0x3F, 0x5E, 0x4A) : QColor(0x3E, 0x7A, 0x3A),
             season.snow);
    p.fillRect(QRectF(0, 84, 300, 37), season.ground);
    paintRails(p, 0, 300, 104, 1.0);
    TrainLook look;
    look.doubleDeck = variant == 1 || variant == 2;
    paintTrain(p, 38, 104, 74, 30, 3, look);
    if (season.snow) snowfall(p, QRectF(0, 0, 300, 121), 140);

    // The variant's name on a plate in the upper left.
    const QRectF plate(8, 8, 164, 28);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 225));
    p.drawRoundedRect(plate, 5, 5);
    fittedText(p, plate.adjusted(8, 0, -6, 0), QString::fromLatin1(season.title), 17, true, kRailBlue);
    return image;
}

QImage stationPhotograph() {
    QImage image = blankImage(512, 233, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    daySky(p, QRectF(0, 0, 512, 150), QColor(0x6F, 0xA8, 0xE0), QColor(0xD9, 0xEC, 0xFA), {{{90, 30}, 22}, {{420, 22}, 18}});

    // The station building: brick, tall windows, a clock in the gable.
    const QRectF building(150, 40, 230, 120);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xA8, 0x54, 0x3A));
    p.drawRect(building);
    QPolygonF gable;
    gable << QPointF(220, 40) << QPointF(265, 8) << QPointF(310, 40);
    p.drawPolygon(gable);
    p.setBrush(QColor(0x4A, 0x3A, 0x36));
    QPolygonF roof;
    roof << QPointF(140, 42) << QPointF(390, 42) << QPointF(380, 34) << QPointF(150, 34);
    p.drawPolygon(roof);
    p.setBrush(QColor(0xF4, 0xF0, 0xE6));
    p.drawEllipse(QPointF(265, 28), 9, 9);
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.5));
    p.drawLine(QPointF(265, 28), QPointF(265, 22));
    p.drawLine(QPointF(265, 28), QPointF(270, 30));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 8; ++i) {
        p.setBrush(QColor(0xF2, 0xE8, 0xD0));
        p.drawRoundedRect(QRectF(160 + 27.5 * i, 56, 16, 34), 7, 7);
        p.setBrush(QColor(0x3A, 0x4E, 0x66));
        p.drawRoundedRect(QRectF(162 + 27.5 * i, 58, 12, 30), 6, 6);
    }
    for (double x : {40.0, 70.0, 440.0, 475.0}) tree(p, QPointF(x, 150), 60, QColor(0x3E, 0x7A, 0x3A), false);
    p.fillRect(QRectF(0, 150, 512, 40), QColor(0x8E, 0x93, 0x8A));  // the far platform
    p.fillRect(QRectF(0, 150, 512, 3), QColor(0xF2, 0xF0, 0xEA));

    // The canopy over the platform, on slender columns.
    p.setBrush(QColor(0x2F, 0x3A, 0x44));
    p.drawRect(QRectF(0, 96, 512, 10));
    p.setBrush(QColor(0x46, 0x54, 0x60));
    for (double x = 30; x < 512; x += 120) p.drawRect(QRectF(x, 106, 5, 100));
    // The station's name board.
    p.setBrush(kRailBlue);
    p.drawRoundedRect(QRectF(316, 108, 110, 18), 3, 3);
    fittedText(p, QRectF(316, 108, 110, 18), QStringLiteral("Hoogveen"), 13, true, Qt::white, Qt::AlignCenter);

    // The train at the platform, and the platform in front.
    p.fillRect(QRectF(0, 190, 512, 14), QColor(0x6E, 0x6A, 0x64));
    paintRails(p, 0, 512, 201, 1.6);
    TrainLook look;
    look.doubleDeck = true;
    paintTrain(p, -150, 201, 170, 58, 3, look);
    p.fillRect(QRectF(0, 204, 512, 29), QColor(0xB4, 0xB0, 0xA8));
    p.fillRect(QRectF(0, 205, 512, 3), kRailYellow);
    p.setPen(QPen(QColor(0x9E, 0x9A, 0x92), 1));
    for (double x = 0; x < 512; x += 32) p.drawLine(QPointF(x, 208), QPointF(x - 20, 233));
    return image;
}

QImage trainPhotograph() {
    QImage image = blankImage(640, 80, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    daySky(p, QRectF(0, 0, 640, 50), QColor(0x5F, 0xA4, 0xEA), QColor(0xD4, 0xEB, 0xFC), {{{120, 16}, 12}, {{470, 12}, 10}});
    // The polder: a far row of trees, a windmill, meadow and a ditch.
    p.fillRect(QRectF(0, 44, 640, 36), QColor(0x8C, 0xC6, 0x6A));
    for (double x = 0; x < 640; x += 17) tree(p, QPointF(x, 48), 14 + std::fmod(x, 7.0), QColor(0x4A, 0x86, 0x46), false);
    windmill(p, QPointF(560, 50), 40);
    p.fillRect(QRectF(0, 52, 640, 28), QColor(0x72, 0xB0, 0x4E));
    p.fillRect(QRectF(0, 74, 640, 3), QColor(0x6C, 0x9C, 0xC8));
    paintRails(p, 0, 640, 68, 0.9);
    paintTrain(p, 150, 68, 78, 20, 4);
    return image;
}

QImage timetablePhotograph() {
    QImage image = blankImage(560, 200, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Dusk over the town, the platform lit.
    gradientFill(p, QRectF(0, 0, 560, 140), QColor(0x3B, 0x3F, 0x7A), QColor(0xF5, 0xA0, 0x6A));
    skyline(p, 140, 1.6, QColor(0x2C, 0x2E, 0x4A));
    p.fillRect(QRectF(0, 140, 560, 36), QColor(0x34, 0x32, 0x40));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1E, 0x22, 0x30));
    p.drawRect(QRectF(0, 0, 560, 14));  // the edge of the roof above

    // The departures board hanging from the roof.
    const QRectF board(150, 24, 260, 86);
    p.setPen(QPen(QColor(0x10, 0x10, 0x18), 2));
    p.drawLine(QPointF(190, 14), QPointF(190, 24));
    p.drawLine(QPointF(370, 14), QPointF(370, 24));
    p.setBrush(kRailBlue);
    p.drawRoundedRect(board, 4, 4);
    const std::array<std::array<const char*, 3>, 4> rows{{{"10:05", "Dijkstad", "2"},
                                                          {"10:12", "Zandhaven", "3"},
                                                          {"10:20", "Hoogveen", "1"},
                                                          {"10:35", "Dijkstad", "2"}}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double y = board.top() + 6 + 19.5 * static_cast<double>(i);
        fittedText(p, QRectF(board.left() + 10, y, 56, 18), QString::fromLatin1(rows[i][0]), 14, true, kRailYellow);
        fittedText(p, QRectF(board.left() + 72, y, 140, 18), QString::fromLatin1(rows[i][1]), 14, true, Qt::white);
        fittedText(p, QRectF(board.right() - 34, y, 24, 18), QString::fromLatin1(rows[i][2]), 14, true, kRailYellow,
                   Qt::AlignCenter);
    }
    // A platform clock on its post.
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 3));
    p.drawLine(QPointF(480, 14), QPointF(480, 40));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(480, 56), 17, 17);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(QPointF(480, 56), QPointF(480, 44));
    p.drawLine(QPointF(480, 56), QPointF(488, 58));

    // The platform and a train waiting to leave.
    paintRails(p, 0, 560, 176, 1.4);
    TrainLook look;
    look.body = QColor(0xF2, 0xF2, 0xF0);
    look.band = QColor(0xD8, 0x1E, 0x2A);
    look.window = QColor(0xFF, 0xE8, 0xA8);  // lit inside at dusk
    paintTrain(p, -40, 176, 160, 46, 3, look);
    p.fillRect(QRectF(0, 178, 560, 22), QColor(0x5C, 0x58, 0x60));
    p.fillRect(QRectF(0, 179, 560, 3), kRailYellow);
    return image;
}

}  // namespace blokpost::artwork

// The track plan: a small layout drawn as a signal-box panel. A loop with
// two stations (Dijkstad with a passing loop, Hoogveen with three tracks),
// a branch to the terminus Zandhaven and a goods yard, with the points,
// signals, sensors and blocks numbered as the operator names them.

#include "artwork.h"
#include "paint_kit.h"

#include <QPainterPath>
#include <vector>

namespace blokpost::artwork {

namespace {

using Polyline = std::vector<QPointF>;

// The running lines; every bend is a 45-degree diagonal, as on a panel.
// Everything stays left of x 1280, the width of the main window as designed.
const std::vector<Polyline> kTracks{
    // The loop.
    {{250, 90}, {1190, 90}, {1250, 150}, {1250, 410}, {1190, 470}, {250, 470}, {190, 410}, {190, 150}, {250, 90}},
    // Dijkstad, track 2 (the passing loop).
    {{510, 90}, {560, 140}, {880, 140}, {930, 90}},
    // Hoogveen, tracks 2 and 3, and the branch to Zandhaven.
    {{340, 470}, {390, 420}, {890, 420}, {940, 470}},
    {{400, 420}, {450, 370}, {920, 370}, {990, 300}, {1165, 300}},
    {{830, 370}, {880, 420}},
    // Zandhaven, track 2.
    {{1010, 300}, {1060, 250}, {1165, 250}},
    // The goods yard.
    {{190, 300}, {240, 250}, {430, 250}},
    {{270, 250}, {310, 210}, {430, 210}},
};

struct Marker {
    QPointF at;
    const char* name;
    QPointF label;  // offset of the label's top-left corner from the marker
};

const std::vector<Marker> kPoints{
    {{510, 90}, "W1", {-12, -26}},  {{930, 90}, "W2", {-12, -26}},   {{340, 470}, "W3", {-14, 10}},
    {{400, 420}, "W4", {-38, -8}},  {{830, 370}, "W5", {-16, -28}},  {{890, 420}, "W6", {8, -2}},
    {{940, 470}, "W7", {-12, 10}},  {{1010, 300}, "W8", {-14, 8}},   {{190, 300}, "W9", {-40, -8}},
    {{270, 250}, "W10", {-20, 8}},
};

// A signal's head stands beside its track: above a level track, inside the
// loop beside an upright one.
struct Signal {
    Marker marker;
    QPointF head;  // offset of the head from the track
};

const std::vector<Signal> kSignals{
    {{{575, 90}, "S1", {-30, -26}}, {0, -18}},    {{{865, 90}, "S2", {-30, -26}}, {0, -18}},
    {{{575, 140}, "S3", {-10, 12}}, {0, -18}},    {{{865, 140}, "S4", {-10, 12}}, {0, -18}},
    {{{465, 470}, "S5", {-10, 12}}, {0, -18}},    {{{800, 470}, "S6", {-10, 12}}, {0, -18}},
    {{{465, 420}, "S7", {-32, -26}}, {0, -18}},   {{{800, 420}, "S8", {8, -26}}, {0, -18}},
    {{{1145, 300}, "S9", {-10, 12}}, {0, -18}},   {{{1145, 250}, "S10", {-12, -40}}, {0, -18}},
    {{{1250, 280}, "S11", {10, -8}}, {-18, 0}},   {{{190, 200}, "S12", {-42, -8}}, {18, 0}},
};

const std::vector<Marker> kSensors{
    {{330, 90}, "1", {-4, 8}},     {{430, 90}, "2", {-4, 8}},     {{720, 90}, "3", {-4, -26}},
    {{720, 140}, "4", {-4, 8}},    {{1040, 90}, "5", {-4, 8}},    {{1140, 90}, "6", {-4, 8}},
    {{1250, 200}, "7", {10, -8}},  {{1250, 360}, "8", {10, -8}},  {{1140, 470}, "9", {-4, 8}},
    {{1020, 470}, "10", {-8, 8}},  {{630, 470}, "11", {-8, 8}},   {{630, 420}, "12", {-8, -26}},
    {{630, 370}, "13", {-8, -26}}, {{280, 470}, "14", {-8, 8}},   {{190, 370}, "15", {10, -8}},
    {{190, 180}, "16", {10, -8}},  {{1085, 300}, "17", {-8, 8}},  {{1085, 250}, "18", {-8, -26}},
    {{390, 250}, "19", {-8, 8}},   {{390, 210}, "20", {-8, 8}},
};

struct Caption {
    QRectF box;
    const char* text;
};

const std::vector<Caption> kBlocks{
    {{250, 62, 150, 20}, "Blok 1"},  {{980, 62, 150, 20}, "Blok 2"},  {{1185, 330, 60, 20}, "Blok 3"},
    {{1060, 480, 100, 20}, "Blok 4"}, {{200, 480, 120, 20}, "Blok 5"}, {{200, 380, 80, 20}, "Blok 6"},
};

void drawTrack(QPainter& p, const Polyline& line) {
    QPainterPath path(line.front());
    for (std::size_t i = 1; i < line.size(); ++i) path.lineTo(line[i]);
    p.drawPath(path);
}

void drawPlatform(QPainter& p, const QRectF& area) {
    p.setPen(QPen(panel::kSubtle, 1.5));
    p.setBrush(QColor(0x55, 0x66, 0x62));
    p.drawRoundedRect(area, 3, 3);
}

void drawBufferStop(QPainter& p, QPointF end) {
    p.setPen(QPen(panel::kSignalRed, 4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(end + QPointF(2, -9), end + QPointF(2, 9));
}

void drawPoint(QPainter& p, const Marker& point) {
    p.setPen(QPen(panel::kDesk, 2));
    p.setBrush(panel::kLit);
    p.drawEllipse(point.at, 5, 5);
    p.setFont(paintFont(13, true));
    p.setPen(panel::kLit);
    p.drawText(point.at + point.label + QPointF(0, 13), QString::fromLatin1(point.name));
}

void drawSignal(QPainter& p, const Signal& s) {
    // A mast from beside the track to a round head.
    const Marker& signal = s.marker;
    const QPointF head = signal.at + s.head;
    p.setPen(QPen(panel::kLabel, 2));
    p.drawLine(signal.at + s.head * (8.0 / 18.0), signal.at + s.head * (13.0 / 18.0));
    p.setBrush(panel::kDesk);
    p.setPen(QPen(panel::kSignalRed, 2.5));
    p.drawEllipse(head, 5, 5);
    p.setFont(paintFont(12, true));
    p.setPen(QColor(0xFF, 0x9C, 0x94));
    p.drawText(signal.at + signal.label + QPointF(0, 13), QString::fromLatin1(signal.name));
}

void drawSensor(QPainter& p, const Marker& sensor, bool vertical) {
    p.setPen(QPen(panel::kDesk, 1.5));
    p.setBrush(panel::kSensor);
    p.drawRoundedRect(vertical ? QRectF(sensor.at.x() - 9, sensor.at.y() - 4, 18, 8)
                               : QRectF(sensor.at.x() - 4, sensor.at.y() - 9, 8, 18),
                      2, 2);
    p.setFont(paintFont(11, true));
    p.setPen(panel::kSensor);
    p.drawText(sensor.at + sensor.label + QPointF(0, 13), QString::fromLatin1(sensor.name));
}

void drawStationName(QPainter& p, const QRectF& box, const QString& name) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x24, 0x30, 0x2D));
    p.drawRoundedRect(box, 6, 6);
    fittedText(p, box, name, 20, true, panel::kLabel, Qt::AlignCenter);
}

void drawLegend(QPainter& p) {
    const QRectF box(960, 500, 320, 78);
    p.setPen(QPen(panel::kDeskEdge, 1.5));
    p.setBrush(QColor(0x2A, 0x36, 0x33));
    p.drawRoundedRect(box, 6, 6);
    fittedText(p, QRectF(box.left() + 12, box.top() + 4, 296, 24), QStringLiteral("Blokpost  ·  baanplan"), 17,
               true, panel::kLabel);
    const double y = box.top() + 50;
    drawPoint(p, {{box.left() + 20, y}, "", {}});
    fittedText(p, QRectF(box.left() + 30, y - 9, 60, 18), QStringLiteral("wissel"), 12, false, panel::kSubtle);
    drawSignal(p, {{{box.left() + 112, y + 12}, "", {}}, {0, -18}});
    fittedText(p, QRectF(box.left() + 122, y - 9, 60, 18), QStringLiteral("sein"), 12, false, panel::kSubtle);
    drawSensor(p, {{box.left() + 200, y}, "", {}}, false);
    fittedText(p, QRectF(box.left() + 210, y - 9, 100, 18), QStringLiteral("melder"), 12, false, panel::kSubtle);
}

}  // namespace

QImage trackPlan() {
    QImage image = blankImage(1393, 588, panel::kDesk);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A faint grid, as on the enamel of a panel.
    p.setPen(QPen(QColor(0x3A, 0x49, 0x45), 1));
    for (int x = 10; x < image.width(); x += 40) p.drawLine(x, 0, x, image.height());
    for (int y = 10; y < image.height(); y += 40) p.drawLine(0, y, image.width(), y);

    drawPlatform(p, {585, 103, 270, 24});    // Dijkstad island
    drawPlatform(p, {470, 433, 330, 24});    // Hoogveen island
    drawPlatform(p, {480, 332, 330, 22});    // Hoogveen side platform
    drawPlatform(p, {1064, 263, 62, 24});    // Zandhaven
    p.setPen(QPen(panel::kSubtle, 1.5, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(330, 186, 110, 94));   // goods shed over the sidings

    p.setPen(QPen(panel::kTrack, 5, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    for (const Polyline& track : kTracks) drawTrack(p, track);
    for (QPointF end : {QPointF(1165, 300), QPointF(1165, 250), QPointF(430, 250), QPointF(430, 210)})
        drawBufferStop(p, end);

    for (const Marker& point : kPoints) drawPoint(p, point);
    for (const Signal& signal : kSignals) drawSignal(p, signal);
    for (const Marker& sensor : kSensors) drawSensor(p, sensor, sensor.at.x() == 190 || sensor.at.x() == 1250);

    drawStationName(p, {640, 20, 160, 30}, QStringLiteral("Dijkstad"));
    drawStationName(p, {555, 500, 170, 32}, QStringLiteral("Hoogveen"));
    drawStationName(p, {1025, 180, 150, 28}, QStringLiteral("Zandhaven"));
    fittedText(p, QRectF(330, 160, 120, 22), QStringLiteral("Goederen"), 14, true, panel::kSubtle, Qt::AlignCenter);
    for (const Caption& block : kBlocks)
        fittedText(p, block.box, QString::fromLatin1(block.text), 12, false, panel::kSubtle);
    drawLegend(p);
    return image;
}

}  // namespace blokpost::artwork

// Where the demo shows its drawings: each point, signal and sensor that the
// line programs use gets its tile beside its symbol on the track plan, clear
// of the tracks; the line buttons of the four lines in service stand in their
// designed column. Everything else stays hidden where a new installation has it.

#include "demo_content.h"

namespace blokpost::demo {

namespace {

// The track plan is shown 24 pixels down, below the button row.
constexpr int kPlanTop = 24;

struct Tile {
    int element;  // 0..62 pin drawing k - 1, 63..82 sensor s + 62
    int x, y;     // top-left corner on the track plan
};

constexpr int pointDrawing(int w) { return w - 1; }
constexpr int signalDrawing(int s) { return 32 + s - 1; }
constexpr int sensorDrawing(int s) { return kFirstSensorElement + s - 1; }

constexpr Tile kTiles[] = {
    // Dijkstad, above track 1 and below track 2.
    {pointDrawing(1), 410, 47},   {signalDrawing(1), 527, 47},  {sensorDrawing(3), 672, 51},
    {signalDrawing(2), 817, 47},  {pointDrawing(2), 934, 47},   {signalDrawing(3), 527, 148},
    {sensorDrawing(4), 672, 148}, {signalDrawing(4), 817, 148}, {sensorDrawing(5), 992, 98},
    {sensorDrawing(6), 1092, 98},
    // Hoogveen: track 1 below and between the tracks, tracks 2 and 3 between and above.
    {pointDrawing(3), 244, 427},  {sensorDrawing(14), 232, 478}, {signalDrawing(5), 417, 478},
    {signalDrawing(6), 752, 478}, {pointDrawing(7), 856, 478},   {sensorDrawing(11), 582, 428},
    {signalDrawing(7), 470, 378}, {sensorDrawing(12), 582, 378}, {signalDrawing(8), 700, 378},
    {sensorDrawing(13), 582, 290}, {pointDrawing(5), 816, 327},
    // The branch to Zandhaven.
    {pointDrawing(8), 910, 258},  {sensorDrawing(17), 1037, 308}, {signalDrawing(9), 1139, 308},
    // The goods yard.
    {pointDrawing(10), 234, 262}, {sensorDrawing(19), 448, 233}, {sensorDrawing(20), 448, 193},
};

constexpr int kLinesInService = 4;

}  // namespace

LayoutTable layoutTable() {
    LayoutTable table = defaultLayoutTable();
    table.LayoutVisible.fill(0);
    for (const Tile& tile : kTiles) {
        table.LayoutX[tile.element] = tile.x;
        table.LayoutY[tile.element] = tile.y + kPlanTop;
        table.LayoutVisible[tile.element] = 1;
    }
    for (int line = 1; line <= kLines; ++line) {
        const int element = kFirstLineButtonElement + line - 1;
        table.LayoutX[element] = 48;
        table.LayoutY[element] = 528 + 32 * (line - 1);
        table.LayoutVisible[element] = line <= kLinesInService ? 1 : 0;
    }
    return table;
}

}  // namespace blokpost::demo

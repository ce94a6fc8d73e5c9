#include "state/screen.h"

namespace blokpost {

namespace {

// A blank cell: a white square with a thin black frame, so the step marker's
// fill from (2, 2) stays inside the frame.
Canvas startupCell() {
    Canvas cell(68, 68, kWhite);
    cell.setPen(kBlack, 1);
    cell.line(3, 3, 63, 3);
    cell.line(63, 3, 63, 64);
    cell.line(63, 64, 3, 64);
    cell.line(3, 64, 3, 3);
    cell.setPen(kBlack, 1);
    return cell;
}

}  // namespace

ControlPlacement designedPlacement(int e) {
    if (e < kFirstSensorElement) return {40 + 120 * (e / 10), 40 + 48 * (e % 10), false};
    if (e < kFirstLineButtonElement) {
        const int j = e - kFirstSensorElement;
        return {880 + 120 * (j / 10), 184 + 48 * (j % 10), false};
    }
    const int k = e - kFirstLineButtonElement;
    return {48, 528 + 32 * k, k == 0};
}

std::string lineStartCaption(int line) { return std::string("Start Lijn ") + lineLetter(line); }

Screen designedScreen() {
    Screen s;
    s.main.trackPlan = Canvas(1393, 588, kGray);
    for (int i = 1; i <= kPinDrawings + kSensors; ++i) s.main.drawing[i] = Canvas(96, 35, kSilver);
    for (int e = 0; e < kLayoutElements; ++e) s.main.element[e] = designedPlacement(e);
    for (int line = 1; line <= kLines; ++line)
        s.main.lineCaption[line] = lineStartCaption(line);
    s.main.meterButtonCaption = {"", "meter1", "meter2"};
    s.main.meterWindowCaption = {"", "Meter1", "Meter 2"};

    const Canvas cell = startupCell();
    for (int n = 1; n <= kCells; ++n) s.rijschema.cell[n] = cell;
    s.rijschema.cell[kVariantPicture] = Canvas(300, 121, kWhite);
    s.rijschema.indicator.fill(kWhite);

    for (int m = 1; m <= 2; ++m) s.display.meter[m] = Canvas(159, 152, kWhite);
    for (int line = 1; line <= kLines; ++line) s.display.board[line] = Canvas(332, 143, kNavy);
    s.display.clock = Canvas(121, 122, kWhite);
    return s;
}

}  // namespace blokpost

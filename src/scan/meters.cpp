#include "scan/meters.h"

#include "board/board.h"
#include "state/program_state.h"

#include <cmath>
#include <numbers>

namespace blokpost {

void DrawMeter(ProgramState& s, int n) {
    if (n != 1 && n != 2) return;
    const int v = s.board.ReadAnalogChannel(n);
    Canvas& dial = s.screen.display.meter[n];
    // Reloading the dial erases the last needle; without a dial the needle goes over the old picture.
    dial.load(s.paths.find(n == 1 ? "Vastedata/Wijzerplaat1.bmp" : "VasteData/Wijzerplaat2.bmp"));
    // The full input range sweeps a quarter turn, from straight left towards straight up.
    const double a = v / 511.0 * std::numbers::pi;
    constexpr int kPivotX = 138, kPivotY = 131;
    auto end = [&](double length) {
        return std::pair{kPivotX - roundHalfEven(length * std::cos(a)), kPivotY - roundHalfEven(length * std::sin(a))};
    };
    const auto [tipX, tipY] = end(112);
    const auto [shaftX, shaftY] = end(90);
    dial.setPen(kBlack, 1);
    dial.line(kPivotX, kPivotY, tipX, tipY);
    dial.setPen(kGray, 6);
    dial.line(kPivotX, kPivotY, shaftX, shaftY);
    dial.setPen(kBlack, 5);
    dial.line(kPivotX, kPivotY, shaftX, shaftY);
}

}  // namespace blokpost

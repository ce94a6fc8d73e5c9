#include "scan/auto_trains.h"

#include "board/simulated_board.h"
#include "state/step_kinds.h"

#include <algorithm>

namespace blokpost {

namespace {

// The sensor a line's current step waits for, 0 when it waits for none.
int awaitedSensor(const LineProgramModel& m, int line, bool& hold) {
    const int step = m.CurrentStep[line];
    if (step < 1 || step > kSteps) return 0;
    const StepKindRule& rule = stepKindRule(m.StepKind[line][step]);
    hold = rule.wait == StepWait::HoldFlag;
    if (rule.wait != StepWait::SensorState && !hold) return 0;
    const std::int32_t sensor = m.StepOperand[line][step];
    return operandInRange(rule, sensor) ? sensor : 0;
}

}  // namespace

void AutoTrains::setEnabled(bool on) {
    enabled_ = on;
    if (!on) trains_.fill(Train{});
}

void AutoTrains::setTravelSeconds(int seconds) {
    travelSeconds_ = std::clamp(seconds, kShortestTravelSeconds, kLongestTravelSeconds);
}

int AutoTrains::travelTicks() {
    // Three quarters of the travel time, plus up to half of it at random.
    const int full = travelSeconds_ * kTicksPerSecond;
    return full * 3 / 4 + static_cast<int>(random_() % static_cast<std::uint32_t>(full / 2 + 1));
}

void AutoTrains::tick(const LineProgramModel& model, SimulatedBoard& board) {
    if (!enabled_) return;
    for (int line = 1; line <= kLines; ++line) {
        Train& train = trains_[static_cast<std::size_t>(line)];
        bool hold = false;
        const int sensor = awaitedSensor(model, line, hold);
        if (sensor == 0) {
            train = Train{};
            continue;
        }
        const int step = model.CurrentStep[line];
        if (train.step != step || train.sensor != sensor || train.hold != hold) {
            train = {step, sensor, hold, travelTicks()};
            continue;
        }
        if (--train.ticksLeft > 0) continue;
        // A sensor that is on already (a train on it by hand, or another
        // line's train passing) is left alone. Should the line still wait
        // afterwards (another line took the hold event), its next train comes.
        if (!board.sensor(sensor)) board.pulseSensor(sensor);
        train.ticksLeft = travelTicks();
    }
}

int AutoTrains::ticksToArrival(int line) const {
    if (line < 1 || line > kLines) return -1;
    const Train& train = trains_[static_cast<std::size_t>(line)];
    return train.step == 0 ? -1 : train.ticksLeft;
}

}  // namespace blokpost

// Trains that drive themselves on the simulated board, tick by tick.

#include "scan/auto_trains.h"

#include "board/simulated_board.h"

#include <gtest/gtest.h>
#include <set>
#include <utility>

namespace blokpost {
namespace {

struct Layout {
    Layout() {
        trains.setEnabled(true);
        trains.setTravelSeconds(4);
    }
    // Line `line` waits at step 3 on sensor `sensor`.
    void waitOn(int line, const char* k, int sensor) {
        model.CurrentStep[line] = 3;
        model.StepKind[line][3] = k;
        model.StepOperand[line][3] = sensor;
    }
    // Ticks until the sensor comes on; -1 when it does not within `limit`.
    int ticksUntilOn(int sensor, int limit = 200) {
        for (int t = 1; t <= limit; ++t) {
            tick();
            if (board.sensor(sensor)) return t;
        }
        return -1;
    }
    void tick() {
        trains.tick(model, board);
        // The scan reads a passing train once; here every group every tick.
        for (const auto& [first, second] : {std::pair{0, 255}, {255, 255}, {255, 0}, {0, 0}}) {
            board.OutputAllAnalog(first, second);
            board.ReadAllDigital();
        }
        board.passTick();
    }

    LineProgramModel model;
    SimulatedBoard board;
    AutoTrains trains{1};
};

TEST(AutoTrains, AWaitingLinesTrainPassesItsSensorAfterTheTravelTimeGiveOrTakeAQuarter) {
    std::set<int> arrivals;
    for (int run = 0; run < 20; ++run) {
        Layout l;
        l.trains = AutoTrains(static_cast<std::uint32_t>(run));
        l.trains.setEnabled(true);
        l.trains.setTravelSeconds(4);
        l.waitOn(2, kind::HSensor, 9);
        const int t = l.ticksUntilOn(9);
        EXPECT_GE(t, 3 * 8);  // 4 s less a quarter
        EXPECT_LE(t, 5 * 8 + 1);  // 4 s and a quarter, and the tick that notices the wait
        arrivals.insert(t);
        // A train passing: on for 1.5 s, then off by itself.
        int on = 1;
        while (l.board.sensor(9) && on < 100) {
            l.tick();
            ++on;
        }
        EXPECT_EQ(on, SimulatedBoard::kPulseTicks);
    }
    EXPECT_GT(arrivals.size(), 5u) << "the travel time varies from run to run";
}

TEST(AutoTrains, OnlyLinesWaitingOnASensorStepGetATrainAndOnlyWhileSwitchedOn) {
    Layout l;
    l.waitOn(1, kind::MemRead, 4);
    l.waitOn(2, kind::Timer, 5);
    l.waitOn(3, kind::Sensor, 0);   // a sensor that does not exist
    l.waitOn(4, kind::Sensor, 21);
    for (int t = 0; t < 400; ++t) l.tick();
    for (int s = 1; s <= kSensors; ++s) EXPECT_FALSE(l.board.sensor(s)) << s;

    l.waitOn(5, kind::Sensor, 6);
    l.trains.setEnabled(false);
    EXPECT_EQ(l.ticksUntilOn(6, 400), -1);
    l.trains.setEnabled(true);
    EXPECT_GT(l.ticksUntilOn(6), 0);
}

TEST(AutoTrains, ASensorOnByHandIsLeftAlone) {
    Layout l;
    l.board.setSensor(9, true);  // a train standing on it
    l.waitOn(2, kind::Sensor, 9);
    for (int t = 0; t < 400; ++t) l.tick();
    EXPECT_TRUE(l.board.sensor(9));
    EXPECT_FALSE(l.board.pulsing(9));
}

// Two lines on one hold sensor: the first train's event goes to one of them;
// the other, still waiting, gets its next train a travel time (3..5 s) later,
// and the next, never a burst of them.
TEST(AutoTrains, ALineStillWaitingAfterItsTrainGetsTheNextOne) {
    Layout l;
    l.waitOn(2, kind::HSensor, 14);
    l.waitOn(5, kind::HSensor, 14);
    std::vector<int> pulses;
    bool wasOn = false;
    for (int t = 0; t < 8 * 30; ++t) {
        l.tick();
        if (l.board.sensor(14) && !wasOn) pulses.push_back(t);
        wasOn = l.board.sensor(14);
        if (pulses.size() == 1) l.model.CurrentStep[5] = 4;  // line 5 took the event and moved on
    }
    ASSERT_GE(pulses.size(), 5u);
    for (std::size_t i = 2; i < pulses.size(); ++i) {
        EXPECT_GE(pulses[i] - pulses[i - 1], 3 * 8) << i;
        EXPECT_LE(pulses[i] - pulses[i - 1], 5 * 8 + 1) << i;
    }
}

TEST(AutoTrains, AMovedLineSendsANewTrainAndTheTravelTimeStaysInItsRange) {
    Layout l;
    l.waitOn(2, kind::Sensor, 9);
    for (int t = 0; t < 20; ++t) l.tick();
    const int left = l.trains.ticksToArrival(2);
    l.model.StepOperand[2][3] = 10;  // the step is rewritten
    l.tick();
    EXPECT_GE(l.trains.ticksToArrival(2), 24);
    EXPECT_GT(l.trains.ticksToArrival(2), left);
    l.model.CurrentStep[2] = 0;  // stopped
    l.tick();
    EXPECT_EQ(l.trains.ticksToArrival(2), -1);

    l.trains.setTravelSeconds(1);
    EXPECT_EQ(l.trains.travelSeconds(), 2);
    l.trains.setTravelSeconds(99);
    EXPECT_EQ(l.trains.travelSeconds(), 60);
}

// Switched on again, a line waits its full travel time: no train was kept
// half-way while the check box was off.
TEST(AutoTrains, SwitchingOffSendsTheTrainsUnderWayHome) {
    Layout l;
    l.waitOn(5, kind::Sensor, 6);
    for (int t = 0; t < 20; ++t) l.tick();
    ASSERT_GT(l.trains.ticksToArrival(5), 0);
    l.trains.setEnabled(false);
    EXPECT_EQ(l.trains.ticksToArrival(5), -1);
}

}  // namespace
}  // namespace blokpost

#include "handsfree_run.h"
#include "watch/line_watch.h"

#include <gtest/gtest.h>

namespace blokpost::handsfree {
namespace {

// The demo with trains that drive themselves, an hour of layout time per
// schedule variant; make handsfree runs a whole day of each.
TEST(HandsFree, EveryVariantOfTheDemoRunsAnHourByItself) {
    for (int variant = 1; variant <= 4; ++variant) {
        SCOPED_TRACE(variantName(variant));
        const VariantResult r = runVariant(variant, kTicksPerHour, 7 + static_cast<std::uint32_t>(variant));
        EXPECT_EQ(r.breach, "") << "at tick " << r.ticks;
        EXPECT_EQ(r.ticks, kTicksPerHour);

        // The longest wait on one step, by kind, with trains of 8 s (6..10 s).
        const int interval = variant == 2 || variant == 3 ? 30 : 10;  // minutes, Blauw or Rood
        EXPECT_EQ(r.bounds.pin, 8.0) << "one pin a second among four lines";
        EXPECT_EQ(r.bounds.timerBeyondCount, 2.0) << "a Timer of N s: N + 2 s";
        EXPECT_EQ(r.bounds.sensor, 12.0) << "10 s of travel and two cycles of scan";
        EXPECT_EQ(r.bounds.holdSensor, 24.0) << "two trains, when another line takes the first event";
        EXPECT_EQ(r.bounds.memRead, 2 * 60.0 * interval) << "two departure intervals";
        EXPECT_EQ(r.bounds.rest, 60.0 * interval + 60) << "after Green: until the next departure";
        EXPECT_EQ(r.bounds.instant, 1.0) << "Jump, MemMake, Green";

        // Lines A and C leave at every departure of the hour and come round
        // each time; the shuttle follows the stoptrein, the shunting loco the shuttle.
        const int departures = 60 / interval;
        for (int line : {1, 3}) {
            EXPECT_EQ(r.lines[line].departuresTaken, departures) << "line " << line;
            EXPECT_EQ(r.lines[line].departuresMissed, 0) << "line " << line;
            EXPECT_GE(r.lines[line].rounds, departures) << "line " << line;
        }
        EXPECT_GE(r.lines[2].rounds, departures) << "the shuttle";
        if (variant == 1 || variant == 3) {
            EXPECT_GE(r.lines[4].rounds, departures) << "the shunting loco";
        }

        // The computer's clock passes midnight during the hour.
        EXPECT_EQ(r.dayFiles, 2);
        EXPECT_GT(r.logEntries, 40 * departures);
        EXPECT_TRUE(r.messages.empty());
        EXPECT_EQ(r.markedTicks, 0) << "the line watch marked a line that only waited as usual";
        EXPECT_EQ(r.overtakingsOutOfStep, 0);
        EXPECT_GE(r.overtakingsInStep, departures);
    }
}

// Lines started by hand 45 s before a departure: the stoptrein stands in
// Dijkstad, in its first round, when the departure comes. The departure
// leaves it to that round (it misses this one), and from then on the
// stoptrein and the express keep their overtaking in step.
TEST(HandsFree, LinesStartedJustBeforeADepartureStayInStepAllHour) {
    const VariantResult r = runVariant(1, kTicksPerHour, 11, HandStart{45});
    EXPECT_EQ(r.breach, "") << "at tick " << r.ticks;
    EXPECT_EQ(r.overtakingsOutOfStep, 0);
    EXPECT_GE(r.overtakingsInStep, 5);
    EXPECT_EQ(r.lines[1].departuresMissed, 1);
    EXPECT_EQ(r.lines[1].departuresTaken, 5);
    EXPECT_GE(r.lines[3].departuresTaken, 5);
}

// Sensor 3, the stoptrein's arrival in Dijkstad, stops closing half an hour
// into the day, once the line watch has seen three rounds: the stoptrein's
// train never arrives, and the watch tells at the stall rule's time.
TEST(HandsFree, ATrainThatNeverArrivesIsNoticedAtTheStallRulesTime) {
    HandStart start;
    start.deadSensor = 3;
    start.deadFromTick = 30 * 60 * 8;
    const VariantResult r = runVariant(1, kTicksPerHour, 7, start);
    ASSERT_EQ(r.messages.size(), 1u) << "at tick " << r.ticks;
    EXPECT_EQ(r.firstStall.line, 1);
    EXPECT_EQ(r.firstStall.step, 7);
    EXPECT_NEAR(r.firstStall.usual, 8.5, 2.5) << "a train of 6..10 s and the scan";
    EXPECT_EQ(r.firstStall.waited, StallRule::stalledAfter(r.firstStall.usual));
    EXPECT_LT(r.ticks, 44 * 60 * 8) << "in the first round after the contact failed";
}

}  // namespace
}  // namespace blokpost::handsfree

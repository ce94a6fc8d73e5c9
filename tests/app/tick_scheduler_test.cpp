#include "app/tick_scheduler.h"

#include <gtest/gtest.h>

namespace blokpost {
namespace {

TEST(TickScheduler, KeepsTicksOnAFixedGridWhatEverEachTickCosts) {
    TickScheduler s;
    s.start(0);
    std::int64_t now = s.delayUntilNext(0);
    EXPECT_EQ(now, 125);
    for (int i = 0; i < 80; ++i) {
        s.tickStarted(now);
        now += 7 + i % 5;  // the tick's own work
        now += s.delayUntilNext(now);
    }
    EXPECT_EQ(now, 125 * 81);
}

TEST(TickScheduler, CatchesUpALateTickWithoutBunchingTheNextOnes) {
    TickScheduler s;
    s.start(0);
    s.tickStarted(125);
    // The next tick comes 90 ms late (a busy machine).
    std::int64_t now = 250 + 90;
    std::int64_t previous = now;
    s.tickStarted(now);
    std::int64_t gapsBelowPeriod = 0;
    for (int i = 0; i < 6; ++i) {
        now += s.delayUntilNext(now);
        EXPECT_GE(now - previous, TickScheduler::kMinimumGap);
        if (now - previous < TickScheduler::kPeriod) ++gapsBelowPeriod;
        previous = now;
        s.tickStarted(now);
    }
    EXPECT_GT(gapsBelowPeriod, 0);
    // Back on the grid: the eighth tick of the run starts at its nominal time.
    EXPECT_EQ(now, 125 * 8);
}

TEST(TickScheduler, DropsALargeBacklogInsteadOfRunningItInABurst) {
    TickScheduler s;
    s.start(0);
    s.tickStarted(125);
    const std::int64_t dropped = s.tickStarted(125 + 5000);  // a suspended machine
    EXPECT_GT(dropped, 4000);
    EXPECT_EQ(s.delayUntilNext(5125), 125);
}

}  // namespace
}  // namespace blokpost

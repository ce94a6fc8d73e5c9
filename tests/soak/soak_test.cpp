#include "soak_run.h"

#include <gtest/gtest.h>

namespace blokpost::soak {
namespace {

// An hour of layout time with everything going on at once; the full day runs with make soak.
TEST(Soak, AnHourOfLayoutTimeKeepsEveryInvariant) {
    const SoakResult result = runSoak(8 * 3600, 1);
    EXPECT_EQ(result.breach, "") << "at tick " << result.ticks;
    EXPECT_EQ(result.ticks, 8 * 3600);
    EXPECT_GT(result.departures, 0);
    EXPECT_GT(result.pinsSwitched, 0);
    EXPECT_GT(result.edits, 100);
}

}  // namespace
}  // namespace blokpost::soak

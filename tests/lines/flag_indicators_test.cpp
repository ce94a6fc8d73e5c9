#include "lines/flag_indicators.h"

#include "support/test_program.h"

#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

TEST(FlagIndicators, ShowFlagPaintsWhateverTheFlagHolds) {
    TestProgram p;
    ProgramState& s = p.state;
    s.model.HoldFlag[7] = 1;
    ShowFlag(s, FlagFamily::Hold, 7);
    EXPECT_EQ(s.screen.rijschema.indicator[7], kYellow);
    s.model.MemoryFlag[2] = 5;  // anything but 1 counts as clear
    ShowFlag(s, FlagFamily::Memory, 2);
    EXPECT_EQ(s.screen.rijschema.indicator[22], kGray);
    s.model.GreenFlag[4] = 0;
    ShowFlag(s, FlagFamily::Green, 4);
    EXPECT_EQ(s.screen.rijschema.indicator[32], kRed);
}

}  // namespace
}  // namespace blokpost::test

#include "lines/flag_indicators.h"

#include "support/test_program.h"

#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

// Showing a flag paints only its own indicator, in the set colour for a 1 and
// the clear colour for anything else, and leaves the flag as it is.
TEST(FlagIndicators, ShowFlagPaintsWhateverTheFlagHolds) {
    const struct {
        FlagFamily family;
        int number, shape;
        std::uint32_t set, clear;
        std::uint8_t& (*flag)(ProgramState&);
    } flags[] = {{FlagFamily::Hold, 7, 7, kYellow, kGray, [](ProgramState& s) -> auto& { return s.model.HoldFlag[7]; }},
                 {FlagFamily::Memory, 2, 22, kAqua, kGray, [](ProgramState& s) -> auto& { return s.model.MemoryFlag[2]; }},
                 {FlagFamily::Green, 4, 32, kGreen, kRed, [](ProgramState& s) -> auto& { return s.model.GreenFlag[4]; }}};
    for (const auto& f : flags)
        for (const std::uint8_t value : {1, 0, 5}) {
            TestProgram p;
            ProgramState& s = p.state;
            f.flag(s) = value;
            auto expected = s.screen.rijschema.indicator;
            expected[static_cast<std::size_t>(f.shape)] = value == 1 ? f.set : f.clear;
            ShowFlag(s, f.family, f.number);
            EXPECT_EQ(s.screen.rijschema.indicator, expected) << f.shape << " holds " << int(value);
            EXPECT_EQ(f.flag(s), value);
        }
}

}  // namespace
}  // namespace blokpost::test

#include "app/main_cycle.h"
#include "scan/meters.h"
#include "support/test_program.h"

#include <QFile>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

struct Meters : ::testing::Test, TestProgram {
    Meters() {
        writePicture("VasteData/Wijzerplaat1.bmp", 159, 152, 0xFFFFFF);
        writePicture("VasteData/Wijzerplaat2.bmp", 159, 152, 0xEEEEEE);
    }
    const Canvas& dial(int n) const { return state.screen.display.meter[n]; }
};

TEST_F(Meters, InputZeroPointsStraightLeftWithShaftTo48AndTipTo26) {
    board.setAnalogInput(1, 0);
    DrawMeter(state, 1);
    const Canvas& d = dial(1);
    // The thick shaft: five black pixels across, up to its end at x 48.
    for (int y = 129; y <= 133; ++y) EXPECT_EQ(d.pixel(60, y), kBlack) << y;
    EXPECT_EQ(d.pixel(48, 131), kBlack);
    // Past the shaft only the thin tip remains, one pixel high, to x 26.
    EXPECT_EQ(d.pixel(35, 131), kBlack);
    EXPECT_NE(d.pixel(35, 129), kBlack);
    EXPECT_EQ(d.pixel(27, 131), kBlack);
    EXPECT_NE(d.pixel(24, 131), kBlack);
}

TEST_F(Meters, InputFullScaleStandsAlmostUprightWithTheTipAt138_19) {
    board.setAnalogInput(2, 255);
    DrawMeter(state, 2);
    const Canvas& d = dial(2);
    EXPECT_EQ(d.pixel(138, 20), kBlack);
    EXPECT_NE(d.pixel(138, 16), kBlack);
    // The shaft ends at (138, 41): thick below it, thin above it.
    EXPECT_EQ(d.pixel(136, 50), kBlack);
    EXPECT_NE(d.pixel(135, 32), kBlack);
    EXPECT_EQ(d.pixel(138, 32), kBlack);
    // The gray edge of the shaft.
    EXPECT_EQ(d.pixel(135, 60), kGray);
}

TEST_F(Meters, TheDialIsReloadedEveryCycleButAMissingDialKeepsTheOldNeedles) {
    board.setAnalogInput(1, 0);
    DrawMeter(state, 1);
    board.setAnalogInput(1, 255);
    DrawMeter(state, 1);
    EXPECT_EQ(dial(1).pixel(35, 131), kWhite);  // the old needle is gone

    ASSERT_TRUE(QFile::remove(folder.filePath("VasteData/Wijzerplaat1.bmp")));
    board.setAnalogInput(1, 0);
    DrawMeter(state, 1);
    EXPECT_EQ(dial(1).pixel(35, 131), kBlack);
    EXPECT_EQ(dial(1).pixel(138, 20), kBlack);  // drawn over, not erased
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(Meters, PhaseFiveDrawsBothMetersWhetherShownOrNot) {
    board.setAnalogInput(1, 0);
    board.setAnalogInput(2, 0);
    runThroughPhase(5);
    EXPECT_EQ(dial(1).pixel(30, 131), kBlack);
    EXPECT_EQ(dial(2).pixel(30, 131), kBlack);
    EXPECT_EQ(dial(2).pixel(100, 20), 0xEEEEEEu);
}

}  // namespace
}  // namespace blokpost::test

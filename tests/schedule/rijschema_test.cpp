#include "schedule/rijschema.h"
#include "support/test_program.h"

#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

struct Grid : ::testing::Test, TestProgram {
    Colour shape(int n) const { return state.screen.rijschema.indicator[n]; }
};

TEST_F(Grid, ACellClickSelectsItAndShowsTheSelectionPicture) {
    writePicture("VasteData/Wie.bmp", 68, 68, 0xFFF09A);
    EXPECT_TRUE(Maak(state, 26));
    EXPECT_EQ(state.editor.SelectedCell, 26);
    EXPECT_EQ(state.screen.rijschema.cell[26].pixel(30, 30), 0xFFF09Au);
    EXPECT_TRUE(Maak(state, 200));
    EXPECT_EQ(state.editor.SelectedCell, 200);
    // Both cells keep the selection picture; the model is not touched.
    EXPECT_EQ(state.screen.rijschema.cell[26].pixel(30, 30), 0xFFF09Au);
    EXPECT_EQ(state.model.StepKind[2][1], "");
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(Grid, AMissingSelectionPictureIsReportedAndKeepsThePaletteClosed) {
    EXPECT_FALSE(Maak(state, 5));
    EXPECT_EQ(state.editor.SelectedCell, 5);
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0], "Cannot open file \"VasteData/Wie.bmp\". No such file or directory.");
    EXPECT_FALSE(Maak(state, 0));
    EXPECT_FALSE(Maak(state, 201));
    EXPECT_EQ(state.editor.SelectedCell, 5);
}

TEST_F(Grid, IndicatorsStartWhiteAndToggleTheirFlagsWithTheirColours) {
    for (int n = 1; n <= kIndicators; ++n) EXPECT_EQ(shape(n), kWhite) << n;

    // Green flags start set although their indicators are white: the first click clears.
    MaakGreen(state, 1);
    EXPECT_EQ(state.model.GreenFlag[1], 0);
    EXPECT_EQ(shape(29), kRed);
    MaakGreen(state, 1);
    EXPECT_EQ(state.model.GreenFlag[1], 1);
    EXPECT_EQ(shape(29), kGreen);

    MaakHold(state, 20);
    EXPECT_EQ(state.model.HoldFlag[20], 1);
    EXPECT_EQ(shape(20), kYellow);
    MaakHold(state, 20);
    EXPECT_EQ(shape(20), kGray);

    MaakMem(state, 8);
    EXPECT_EQ(state.model.MemoryFlag[8], 1);
    EXPECT_EQ(shape(28), kAqua);
    MaakMem(state, 8);
    EXPECT_EQ(state.model.MemoryFlag[8], 0);
    EXPECT_EQ(shape(28), kGray);

    // A flag with any other value counts as clear and becomes 1.
    state.model.MemoryFlag[3] = 7;
    MaakMem(state, 3);
    EXPECT_EQ(state.model.MemoryFlag[3], 1);
    EXPECT_EQ(shape(23), kAqua);
}

TEST_F(Grid, IndicatorNumbersOutsideTheirFamiliesChangeNothing) {
    const Screen before = state.screen;
    const LineProgramModel flags = state.model;
    MaakHold(state, 0);
    MaakHold(state, 21);
    MaakMem(state, 0);
    MaakMem(state, 9);
    MaakGreen(state, 0);
    MaakGreen(state, 9);
    EXPECT_EQ(state.screen.rijschema.indicator, before.rijschema.indicator);
    EXPECT_EQ(state.model.HoldFlag, flags.HoldFlag);
    EXPECT_EQ(state.model.MemoryFlag, flags.MemoryFlag);
    EXPECT_EQ(state.model.GreenFlag, flags.GreenFlag);
}

}  // namespace
}  // namespace blokpost::test

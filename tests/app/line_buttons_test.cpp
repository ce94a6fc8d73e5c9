#include "app/forms/main_window.h"
#include "lines/step_marker.h"
#include "support/app_program.h"

#include <QPushButton>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

struct LineButtons : ::testing::Test, TestProgram {
    Colour corner(int line, int step) const { return state.screen.rijschema.cell[cellNumber(line, step)].pixel(0, 0); }
    Colour inside(int line, int step) const { return state.screen.rijschema.cell[cellNumber(line, step)].pixel(30, 30); }
    const std::string& caption(int line) const { return state.screen.main.lineCaption[line]; }
    const std::string& lastLog() const { return state.screen.display.logLines.front(); }
};

TEST_F(LineButtons, StartMarksStepOneAndStopUnmarksWhereverTheLineIs) {
    EXPECT_EQ(caption(3), "Start Lijn C");
    ToggleLine(state, 3);
    EXPECT_EQ(state.model.CurrentStep[3], 1);
    // The start-up square's frame lies inside the cell: the fill from (2, 2) colours its margin.
    EXPECT_EQ(state.screen.rijschema.cell[51].pixel(0, 0), kRed);
    EXPECT_EQ(inside(3, 1), kWhite);
    EXPECT_EQ(caption(3), "Stop-C");
    EXPECT_EQ(lastLog(), "12:00  Lijn-C gestart");
    // Started by hand, the line is in a round and not ready for the timetable.
    EXPECT_EQ(state.model.GreenFlag[3], 0);
    EXPECT_EQ(state.screen.rijschema.indicator[31], kRed);

    MoveStepMarker(state, 3, 1, 12);
    state.model.CurrentStep[3] = 12;
    ToggleLine(state, 3);
    EXPECT_EQ(state.model.CurrentStep[3], 0);
    EXPECT_EQ(corner(3, 12), kWhite);
    EXPECT_EQ(corner(3, 1), kWhite);
    EXPECT_EQ(caption(3), "Start Lijn C");  // as before the first start
    EXPECT_EQ(lastLog(), "12:00  Lijn-C gestopt");
    EXPECT_EQ(state.model.GreenFlag[3], 0);
}

TEST_F(LineButtons, LineGStopsWithItsOwnSpellingAndLineHLogsLikeTheOthers) {
    ToggleLine(state, 7);
    ToggleLine(state, 7);
    EXPECT_EQ(lastLog(), "12:00  Lijn G gestopt");
    ToggleLine(state, 8);
    EXPECT_EQ(lastLog(), "12:00  Lijn-H gestart");
    EXPECT_EQ(caption(8), "Stop-H");
    ToggleLine(state, 8);
    EXPECT_EQ(lastLog(), "12:00  Lijn-H gestopt");
    EXPECT_EQ(caption(8), "Start Lijn H");
}

TEST_F(LineButtons, ALinePastItsEndStopsWithoutUnmarkingAnything) {
    state.model.CurrentStep[2] = 26;
    const auto before = state.screen.rijschema.cell[50].revision();
    ToggleLine(state, 2);
    EXPECT_EQ(state.model.CurrentStep[2], 0);
    EXPECT_EQ(state.screen.rijschema.cell[50].revision(), before);
    EXPECT_EQ(lastLog(), "12:00  Lijn-B gestopt");
}

TEST_F(LineButtons, AMoveChangesOnlyTheOldAndNewCellsAndAJumpToItselfStaysMarked) {
    MoveStepMarker(state, 5, 0, 7);
    EXPECT_EQ(corner(5, 7), kRed);
    MoveStepMarker(state, 5, 7, 8);
    EXPECT_EQ(corner(5, 7), kWhite);
    EXPECT_EQ(corner(5, 8), kRed);
    MoveStepMarker(state, 5, 8, 8);
    EXPECT_EQ(corner(5, 8), kRed);
    for (int n = 1; n <= kCells; ++n)
        if (n != cellNumber(5, 8)) {
            EXPECT_EQ(state.screen.rijschema.cell[n].pixel(0, 0), kWhite) << n;
        }
    // Steps outside 1..25 draw nothing, and the fill colour is white again afterwards.
    MoveStepMarker(state, 5, 26, 0);
    EXPECT_EQ(corner(5, 8), kRed);
    EXPECT_EQ(state.screen.rijschema.cell[cellNumber(5, 8)].brush(), kWhite);
}

TEST(LineButtonWindow, TheButtonsFollowTheirLinesAndOnlyLineAIsShownAtStart) {
    AppProgram p;
    auto* main = p.form<TForm1>(1);
    EXPECT_TRUE(main->lineButton[1]->isVisibleTo(main));
    EXPECT_FALSE(main->lineButton[2]->isVisibleTo(main));
    EXPECT_EQ(main->lineButton[1]->geometry(), QRect(48, 528, 89, 25));
    EXPECT_EQ(main->lineButton[8]->pos(), QPoint(48, 752));
    main->lineButton[1]->click();
    EXPECT_EQ(main->lineButton[1]->text(), QStringLiteral("Stop-A"));
    EXPECT_EQ(p.state().model.CurrentStep[1], 1);
    main->lineButton[1]->click();
    EXPECT_EQ(main->lineButton[1]->text(), QStringLiteral("Start Lijn A"));
}

}  // namespace
}  // namespace blokpost::test

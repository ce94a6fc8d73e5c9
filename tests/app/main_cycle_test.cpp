#include "app/main_cycle.h"

#include "support/test_program.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

using ::testing::ElementsAre;

// The start sets every table it owns, whatever they held: here what a
// program that ran a while holds. (The cycle's own start, phase 0 and no pin
// requested, is what MainCycle's first tick shows.)
TEST(ProgramStart, SetsTheStartValues) {
    TestProgram p;
    ProgramState& s = p.state;
    s.pins.PinName[125] = "Sein";
    s.pins.PinAddress[0] = 9;
    s.clock.ClockSeconds = 30;
    s.layout.LayoutY[53] = 7;
    s.layout.LayoutY[83] = 7;
    s.layout.LayoutVisible[83] = 0;
    s.MeterName2 = "volt";
    s.timetable.DepartureInterval[8] = 10;
    s.timetable.DepartureMinute[8] = 5;
    s.model.GreenFlag[8] = 0;
    FormCreate(s, 9 * 60 + 5);
    EXPECT_EQ(s.pins.PinName[125], "leeg125");
    EXPECT_EQ(s.pins.PinAddress[0], 0);
    EXPECT_EQ(s.clock.ClockMinutes, 545);
    EXPECT_EQ(s.clock.ClockSeconds, 0);
    EXPECT_EQ(s.MeterName2, "meter2");
    EXPECT_EQ(s.model.GreenFlag[8], 1);
    EXPECT_EQ(s.timetable.DepartureInterval[8], 0);
    EXPECT_EQ(s.timetable.DepartureMinute[8], 0);
    // The layout table as every installation stores it, with its two odd entries;
    // filling it does not move the controls: drawing 54 stands at 184, the first line button at 528.
    const LayoutTable& t = s.layout;
    EXPECT_EQ((std::vector{t.LayoutX[0], t.LayoutY[9], t.LayoutX[62], t.LayoutY[53], t.LayoutX[63], t.LayoutY[82],
                           t.LayoutX[73], t.LayoutY[83], t.LayoutY[90]}),
              (std::vector{40, 40 + 48 * 9, 40 + 120 * 6, 182, 880, 184 + 48 * 9, 1000, 525, 560 + 32 * 6}));
    EXPECT_EQ(t.LayoutVisible[83], 1);
    EXPECT_EQ(t.LayoutVisible[90], 0);
    EXPECT_EQ(s.screen.main.element[53].y, 184);
    EXPECT_EQ(s.screen.main.element[83].y, 528);
}

std::vector<std::vector<std::string>> callsPerTick(TestProgram& p, int ticks) {
    std::vector<std::vector<std::string>> perTick;
    for (int i = 0; i < ticks; ++i) {
        p.ticks(1);
        perTick.push_back(p.board.takeCalls());
    }
    return perTick;
}

TEST(MainCycle, IssuesTheBoardCallsOfEachPhaseInOrderFromTheFirstTick) {
    TestProgram p;
    for (int cycle = 0; cycle < 3; ++cycle) {
        const auto ticks = callsPerTick(p, 8);
        EXPECT_THAT(ticks[0], ElementsAre("OutputAllAnalog(0,255)"));
        EXPECT_THAT(ticks[1], ElementsAre("ReadAllDigital()"));
        EXPECT_THAT(ticks[2], ElementsAre("OutputAllAnalog(255,255)"));
        EXPECT_THAT(ticks[3], ElementsAre("ReadAllDigital()"));
        EXPECT_THAT(ticks[4], ElementsAre("OutputAllAnalog(255,0)", "ReadAnalogChannel(1)", "ReadAnalogChannel(2)"));
        EXPECT_THAT(ticks[5], ElementsAre("ReadAllDigital()"));
        EXPECT_THAT(ticks[6], ElementsAre("OutputAllAnalog(0,0)"));
        EXPECT_THAT(ticks[7], ElementsAre("ReadAllDigital()", "ClearAllDigital()"));
    }
    EXPECT_EQ(p.state.cycle.Phase, 8);
}

TEST(MainCycle, ATickNeverStartsInsideAnotherAndTheCycleGoesOnAfterwards) {
    TestProgram p;
    // A missing pin drawing raises a message inside phase 2; while it is shown
    // the timer keeps firing.
    int nestedCalls = 0;
    p.reporter.whileShown = [&] {
        ++nestedCalls;
        for (int i = 0; i < 5; ++i) Hoofdlus(p.state);
        EXPECT_EQ(p.state.cycle.Phase, 2);
    };
    p.state.model.PinRequest = 3;
    p.ticks(2);
    EXPECT_EQ(nestedCalls, 1);
    ASSERT_EQ(p.reporter.messages.size(), 1u);
    EXPECT_EQ(p.reporter.messages[0], "kan plaatje Tek4.bmp niet vinden");
    EXPECT_EQ(p.state.cycle.Phase, 2);
    p.ticks(1);
    EXPECT_EQ(p.state.cycle.Phase, 3);
}

TEST(Kaart, ReportsWhetherTheBoardWasFound) {
    TestProgram p;
    p.board.openResult = 0;
    Kaart(p.state);
    p.board.openResult = 3;
    Kaart(p.state);
    EXPECT_THAT(p.reporter.messages, ElementsAre("Kaart gevonden", "Geen kaart gevonden op 0"));
    EXPECT_THAT(p.board.calls, ElementsAre("OpenDevice(0)", "OpenDevice(0)"));
}

}  // namespace
}  // namespace blokpost::test

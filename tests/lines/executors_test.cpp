#include "lines/executors.h"

#include "app/main_cycle.h"
#include "line_program_support.h"
#include "support/test_program.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <vector>

namespace blokpost::test {
namespace {

using ::testing::ElementsAre;

constexpr int kCycle = 8;

// A fresh program for each case, with its state at hand.
struct LineRun : ::testing::Test {
    TestProgram p;
    ProgramState& s = p.state;
};
using SensorEventRoad = LineRun;
using TimerStep = LineRun;
using PinStep = LineRun;
using Memories = LineRun;
using HoldSensorStep = LineRun;
using JumpAndSensorSteps = LineRun;
using SensorStep = LineRun;
using GreenStep = LineRun;
using HandEditedPrograms = LineRun;

TEST_F(SensorEventRoad, SensorSevenTakesLineBThroughItsHoldStepAndSwitchesItsPin) {
    setStep(s, 2, 3, kind::HSensor, 7);
    setStep(s, 2, 4, kind::Pin, 20);  // pin 21
    setStep(s, 2, 5, kind::Leeg);
    s.pins.PinName[20] = "Wissel7";
    s.pins.PinAddress[20] = 37;  // 0100101: outputs 6, 3 and 1
    p.writePicture("Tekeningen/Tek21.bmp", 96, 35, 0x00FF00);
    placeLineAt(s, 2, 3);
    p.board.setSensor(7, true);

    p.runThroughPhase(4);  // group 2 is read: the train is on sensor 7
    EXPECT_EQ(s.model.SensorState[7], 1);
    EXPECT_EQ(s.model.HoldFlag[7], 1);
    EXPECT_EQ(s.screen.rijschema.indicator[7], kYellow);
    p.board.setSensor(7, false);  // and has passed before the next read

    p.runThroughPhase(6);
    EXPECT_EQ(s.model.HoldFlag[7], 0);
    EXPECT_EQ(s.screen.rijschema.indicator[7], kGray);
    EXPECT_EQ(s.model.CurrentStep[2], 4);
    EXPECT_TRUE(marked(s, 2, 4));
    EXPECT_FALSE(marked(s, 2, 3));
    EXPECT_EQ(s.model.PinRequest, -1);  // the Pin step waits for the next cycle

    p.runThroughPhase(6);
    EXPECT_EQ(s.model.PinRequest, 20);
    EXPECT_EQ(s.model.CurrentStep[2], 5);
    EXPECT_TRUE(marked(s, 2, 5));

    p.runThroughPhase(8);
    p.board.takeCalls();
    std::vector<std::vector<std::string>> ticks;
    for (int tick = 0; tick < kCycle; ++tick) {
        p.ticks(1);
        ticks.push_back(p.board.takeCalls());
        if (tick == 0) {
            EXPECT_THAT(s.screen.display.logLines, ElementsAre("12:00  Wissel7"));
        }
        if (tick == 3) {
            EXPECT_EQ(p.board.digitalOutputs(), 0xA5);  // address and strobe stand together
        }
    }
    EXPECT_THAT(ticks[1], ElementsAre("ReadAllDigital()", "SetDigitalChannel(6)", "SetDigitalChannel(3)",
                                      "SetDigitalChannel(1)"));
    EXPECT_THAT(ticks[3], ElementsAre("ReadAllDigital()", "SetDigitalChannel(8)"));
    EXPECT_THAT(ticks[7], ElementsAre("ReadAllDigital()", "ClearAllDigital()"));
    EXPECT_EQ(p.board.lastDecodedAddress(), 37);
    EXPECT_EQ(p.board.digitalOutputs(), 0);
    EXPECT_EQ(s.screen.main.drawing[11].pixel(10, 10), 0x00FF00u);
    EXPECT_EQ(s.screen.display.logLines.size(), 1u);
}

TEST_F(TimerStep, CountsDownInItsCellAndPassesOnTheFourthSecondWithItsCounterReloaded) {
    setStep(s, 1, 1, kind::Timer, 3);
    placeLineAt(s, 1, 1);
    const Canvas& cell = s.screen.rijschema.cell[1];
    for (int expected : {2, 1, 0}) {
        p.runThroughPhase(7);
        EXPECT_EQ(s.model.StepCounter[1][1], expected);
        EXPECT_EQ(s.model.CurrentStep[1], 1);
        EXPECT_TRUE(showsText(cell, 8, 40, std::to_string(expected) + "s  ", cell.fontSize()));
    }
    p.runThroughPhase(7);
    EXPECT_EQ(s.model.CurrentStep[1], 2);
    EXPECT_EQ(s.model.StepCounter[1][1], 3);
    EXPECT_TRUE(showsText(cell, 8, 40, "3s  ", cell.fontSize()));
    EXPECT_TRUE(marked(s, 1, 2));
    EXPECT_FALSE(marked(s, 1, 1));
}

TEST_F(TimerStep, AStoppedCountdownContinuesWhereItWasOnTheNextVisit) {
    setStep(s, 2, 1, kind::Timer, 5);
    ToggleLine(s, 2);
    p.ticks(2 * kCycle);
    EXPECT_EQ(s.model.StepCounter[2][1], 3);
    ToggleLine(s, 2);
    p.ticks(3 * kCycle);
    EXPECT_EQ(s.model.StepCounter[2][1], 3);  // a stopped line is not counted down
    ToggleLine(s, 2);
    p.runThroughPhase(7);
    EXPECT_EQ(s.model.StepCounter[2][1], 2);
    // Lines B..H draw their countdown two pixels further right than line A.
    const Canvas& cell = s.screen.rijschema.cell[cellNumber(2, 1)];
    EXPECT_TRUE(showsText(cell, 10, 40, "2s  ", cell.fontSize()));
}

TEST_F(TimerStep, ANineDrawnOverATenLeavesNoPixelOfTheOldCount) {
    std::vector<Canvas> onlyNine;
    for (int line : {1, 2}) {
        setStep(s, line, 1, kind::Timer, 11);
        placeLineAt(s, line, 1);
        // The same cell with only the nine ever written on it.
        Canvas reference = s.screen.rijschema.cell[cellNumber(line, 1)];
        reference.text(line == 1 ? 8 : 10, 40, "9s  ");
        onlyNine.push_back(reference);
    }
    ExecuteTimerSteps(s);  // 10
    ExecuteTimerSteps(s);  // 9
    EXPECT_EQ(s.model.StepCounter[1][1], 9);
    EXPECT_EQ(s.screen.rijschema.cell[cellNumber(1, 1)].image(), onlyNine[0].image());
    EXPECT_EQ(s.screen.rijschema.cell[cellNumber(2, 1)].image(), onlyNine[1].image());
}

// The Pin executor's generator written out again from its definition.
struct ExpectedGenerator {
    std::uint64_t state = 0;
    int nextLine() {
        state = (state * 134775813u + 1u) % 4294967296u;
        return static_cast<int>(state * 8u / 4294967296u) + 1;
    }
    // The line served by one call when `waiting` lines stand at "Pin" steps.
    int choose(const std::set<int>& waiting) {
        int chosen = 0;
        for (int draw = 0; draw < 6; ++draw)
            if (const int line = nextLine(); waiting.contains(line)) chosen = line;
        if (chosen != 0) return chosen;
        for (int line : {5, 3, 1, 7, 8, 6, 4, 2})
            if (waiting.contains(line)) return line;
        return 0;
    }
};

TEST_F(PinStep, PrefersLineFiveWhenNoDrawHitsAWaitingLine) {
    ExpectedGenerator first;
    for (int draw = 0; draw < 6; ++draw) ASSERT_FALSE(std::set<int>({4, 5, 8}).contains(first.nextLine()));
    startOnFirstStep(s, {4, 5, 8}, kind::Pin, 50);
    p.runThroughPhase(6);
    EXPECT_EQ(s.model.PinRequest, 50);
    EXPECT_EQ(s.model.CurrentStep[5], 2);
    EXPECT_EQ(s.model.CurrentStep[4], 1);
    EXPECT_EQ(s.model.CurrentStep[8], 1);
}

// Every set of waiting lines, many times over, against the generator written
// from its definition: the line served, its pin, and the generator's state.
TEST_F(PinStep, ChoosesAsTheRulesSayForEverySetOfWaitingLinesCallAfterCall) {
    for (int line = 1; line <= kLines; ++line) setStep(s, line, 1, kind::Pin, 100 + line);
    ExpectedGenerator generator;
    constexpr int kRounds = 16;
    for (int call = 0; call < kRounds * 256; ++call) {
        // Sets of waiting lines in a scrambled order, so each meets many generator states.
        const unsigned waitingMask = (static_cast<unsigned>(call) * 167u) % 256u;
        std::set<int> waiting;
        for (int line = 1; line <= kLines; ++line) {
            const bool waits = (waitingMask >> (line - 1)) & 1u;
            s.model.CurrentStep[line] = waits ? 1 : 2;
            if (waits) waiting.insert(line);
        }
        s.model.PinRequest = -1;
        const int expected = generator.choose(waiting);
        ExecutePinStep(s);
        ASSERT_EQ(s.RandomState, generator.state) << "call " << call;
        ASSERT_EQ(s.model.PinRequest, expected == 0 ? -1 : 100 + expected) << "call " << call << " mask " << waitingMask;
        for (int line = 1; line <= kLines; ++line) {
            const int stepBefore = waiting.contains(line) ? 1 : 2;
            ASSERT_EQ(s.model.CurrentStep[line], stepBefore + (line == expected ? 1 : 0)) << "call " << call;
        }
    }
}

TEST_F(PinStep, AStepOverwritesAClickMadeEarlierInTheCycle) {
    setStep(s, 1, 1, kind::Pin, 40);
    p.runThroughPhase(2);
    s.model.PinRequest = 7;  // a click between phase 2 and phase 6
    placeLineAt(s, 1, 1);
    p.runThroughPhase(6);
    EXPECT_EQ(s.model.PinRequest, 40);
    p.runThroughPhase(2);
    EXPECT_EQ(newestLogLine(s), "12:00  leeg40");
    EXPECT_EQ(s.cycle.PinOutput, 0);
}

TEST_F(Memories, AMemoryMadeByOneLineReleasesTheLowestLineReadingIt) {
    startOnFirstStep(s, {2, 6}, kind::MemRead, 3);
    setStep(s, 1, 1, kind::MemMake, 3);
    p.ticks(2 * kCycle);
    EXPECT_EQ(s.model.CurrentStep[2], 1);
    EXPECT_EQ(s.model.CurrentStep[6], 1);

    placeLineAt(s, 1, 1);
    p.runThroughPhase(2);
    EXPECT_EQ(s.model.MemoryFlag[3], 1);
    EXPECT_EQ(s.screen.rijschema.indicator[23], kAqua);
    EXPECT_EQ(s.model.CurrentStep[1], 2);
    p.runThroughPhase(5);  // the same cycle already consumes it
    EXPECT_EQ(s.model.MemoryFlag[3], 0);
    EXPECT_EQ(s.screen.rijschema.indicator[23], kGray);
    EXPECT_EQ(s.model.CurrentStep[2], 2);
    EXPECT_EQ(s.model.CurrentStep[6], 1);

    s.model.MemoryFlag[3] = 1;  // set by a click on its shape
    p.runThroughPhase(5);
    EXPECT_EQ(s.model.CurrentStep[6], 2);
    EXPECT_EQ(s.model.MemoryFlag[3], 0);
}

TEST_F(HoldSensorStep, OnlyTheLowerLinePassesOnOneEventAndTheOtherWaitsForTheNext) {
    startOnFirstStep(s, {2, 5}, kind::HSensor, 4);
    s.model.HoldFlag[4] = 1;
    p.runThroughPhase(6);
    EXPECT_EQ(s.model.CurrentStep[2], 2);
    EXPECT_EQ(s.model.CurrentStep[5], 1);
    EXPECT_EQ(s.model.HoldFlag[4], 0);
    EXPECT_EQ(s.screen.rijschema.indicator[4], kGray);

    p.ticks(kCycle);
    EXPECT_EQ(s.model.CurrentStep[5], 1);
    p.board.setSensor(4, true);  // seen active once, in phase 2
    p.runThroughPhase(2);
    p.board.setSensor(4, false);
    p.runThroughPhase(6);
    EXPECT_EQ(s.model.CurrentStep[5], 2);
}

TEST_F(JumpAndSensorSteps, AJumpReachesASensorStepThatPassesInTheSamePhase) {
    setStep(s, 1, 1, kind::Jump, 5);
    setStep(s, 1, 5, kind::Sensor, 12);
    setStep(s, 2, 3, kind::Jump, 3);
    for (int line : {3, 4}) setStep(s, line, 1, kind::Sensor, 12);
    p.board.setSensor(12, true);
    p.ticks(kCycle);  // sensor 12 is read in phase 6
    for (int line : {1, 3, 4}) placeLineAt(s, line, 1);
    placeLineAt(s, 2, 3);

    p.runThroughPhase(3);
    EXPECT_EQ(s.model.CurrentStep[1], 6);
    EXPECT_TRUE(marked(s, 1, 6));
    EXPECT_FALSE(marked(s, 1, 5));
    EXPECT_FALSE(marked(s, 1, 1));
    // Several lines pass on the same sensor; the state is only read.
    EXPECT_EQ(s.model.CurrentStep[3], 2);
    EXPECT_EQ(s.model.CurrentStep[4], 2);
    EXPECT_EQ(s.model.SensorState[12], 1);
    p.ticks(3 * kCycle);
    EXPECT_EQ(s.model.CurrentStep[2], 3);  // a jump to itself holds the line, marked
    EXPECT_TRUE(marked(s, 2, 3));
}

// A Sensor step waits for a train on its contact now: a train that passed
// before the line came there (its hold flag latched) does not let it pass.
TEST_F(SensorStep, PassesOnATrainOnItsSensorNotOnOneThatPassedBefore) {
    setStep(s, 1, 1, kind::Sensor, 12);
    p.board.setSensor(12, true);
    p.ticks(kCycle);
    p.board.setSensor(12, false);
    p.ticks(kCycle);
    ASSERT_EQ(s.model.HoldFlag[12], 1);
    placeLineAt(s, 1, 1);
    p.ticks(2 * kCycle);
    EXPECT_EQ(s.model.CurrentStep[1], 1);
    p.board.setSensor(12, true);
    p.ticks(2 * kCycle);  // read in phase 6, the step in phase 3 of the next cycle
    EXPECT_EQ(s.model.CurrentStep[1], 2);
}

TEST_F(GreenStep, DeclaresTheLineReadyAndAProgramWithoutJumpRestsPastItsEnd) {
    setStep(s, 3, 24, kind::Green);
    setStep(s, 3, 25, kind::Green);
    s.model.GreenFlag[3] = 0;
    placeLineAt(s, 3, 24);
    p.ticks(kCycle);
    EXPECT_EQ(s.model.GreenFlag[3], 1);
    EXPECT_EQ(s.screen.rijschema.indicator[31], kGreen);
    EXPECT_EQ(s.model.CurrentStep[3], 25);
    p.ticks(3 * kCycle);
    EXPECT_EQ(s.model.CurrentStep[3], 26);
    for (int step = 1; step <= kSteps; ++step) EXPECT_FALSE(marked(s, 3, step));
}

TEST_F(GreenStep, SetsOnlyItsOwnLinesFlagAndIndicator) {
    for (int n = 1; n <= kLines; ++n) {
        s.model.GreenFlag[n] = n == 1 || n == 4 || n == 7 ? 1 : 0;  // line 5 between a set and a clear flag
        s.model.MemoryFlag[n] = n % 3 == 0 ? 1 : 0;
    }
    for (int n = 1; n <= kSensors; ++n) s.model.HoldFlag[n] = n % 4 == 0 ? 1 : 0;
    for (int shape = 1; shape <= 36; ++shape) s.screen.rijschema.indicator[shape] = 0x010101u * shape;
    setStep(s, 5, 3, kind::Green);
    placeLineAt(s, 5, 3);
    LineProgramModel expected = s.model;
    auto indicators = s.screen.rijschema.indicator;
    expected.GreenFlag[5] = 1;
    indicators[28 + 5] = kGreen;

    ExecuteGreenSteps(s);
    EXPECT_EQ(s.model.CurrentStep[5], 4);
    EXPECT_EQ(s.model.GreenFlag, expected.GreenFlag);
    EXPECT_EQ(s.model.MemoryFlag, expected.MemoryFlag);
    EXPECT_EQ(s.model.HoldFlag, expected.HoldFlag);
    EXPECT_EQ(s.screen.rijschema.indicator, indicators);
}

// Values that only a hand-edited file can bring.
TEST_F(HandEditedPrograms, KindsInTheUnusedSlotsNeverMoveAStoppedOrFinishedLine) {
    setStep(s, 1, 0, kind::Jump, 5);
    setStep(s, 4, 0, kind::MemMake, 1);
    s.model.StepKind[2][26] = kind::Pin;
    s.model.StepKind[3][26] = kind::Green;
    s.model.CurrentStep[2] = s.model.CurrentStep[3] = 26;
    s.model.GreenFlag[3] = 0;
    p.ticks(3 * kCycle);
    EXPECT_EQ(s.model.CurrentStep[1], 0);
    EXPECT_EQ(s.model.CurrentStep[2], 26);
    EXPECT_EQ(s.model.CurrentStep[3], 26);
    EXPECT_EQ(s.model.CurrentStep[4], 0);
    EXPECT_EQ(s.model.MemoryFlag[1], 0);
    EXPECT_EQ(s.model.GreenFlag[3], 0);
    EXPECT_TRUE(s.screen.display.logLines.empty());
}

TEST_F(HandEditedPrograms, OperandsOutsideTheirRangesWaitOrStayAndNeverLeaveTheTables) {
    setStep(s, 1, 1, kind::Sensor, 21);
    setStep(s, 2, 1, kind::HSensor, 0);
    setStep(s, 3, 1, kind::MemRead, 9);
    setStep(s, 4, 1, kind::Jump, 26);
    setStep(s, 5, 1, kind::Jump, 0);
    setStep(s, 6, 1, kind::Jump, std::numeric_limits<std::int32_t>::min());
    setStep(s, 7, 1, kind::MemMake, 9);
    setStep(s, 8, 1, kind::Sensor, -1);
    for (int sensor = 1; sensor <= kSensors; ++sensor) p.board.setSensor(sensor, true);
    for (int memory = 1; memory <= kMemories; ++memory) s.model.MemoryFlag[memory] = 1;
    p.ticks(kCycle);
    for (int line = 1; line <= kLines; ++line) placeLineAt(s, line, 1);
    p.ticks(3 * kCycle);
    for (int line : {1, 2, 3, 8}) EXPECT_EQ(s.model.CurrentStep[line], 1) << "line " << line;
    for (int line : {4, 5, 6}) {
        EXPECT_EQ(s.model.CurrentStep[line], 1) << "line " << line;
        EXPECT_TRUE(marked(s, line, 1));
    }
    // A memory that does not exist is not made, but the line goes on.
    EXPECT_EQ(s.model.CurrentStep[7], 2);
    for (int memory = 1; memory <= kMemories; ++memory) EXPECT_EQ(s.model.MemoryFlag[memory], 1);
    for (int shape = 21; shape <= 28; ++shape) EXPECT_EQ(s.screen.rijschema.indicator[shape], kWhite);
}

TEST(HandEditedPins, APinThatDoesNotExistIsLoggedAndSwitchesNothing) {
    for (const std::int32_t operand : {125 + 175, -5, std::numeric_limits<std::int32_t>::max()}) {
        TestProgram p;
        ProgramState& s = p.state;
        setStep(s, 1, 1, kind::Pin, operand);
        placeLineAt(s, 1, 1);
        p.ticks(2 * kCycle);
        EXPECT_EQ(s.model.CurrentStep[1], 2);
        ASSERT_EQ(s.screen.display.logLines.size(), 1u);
        EXPECT_EQ(newestLogLine(s),
                  "12:00  Pin " + std::to_string(std::int64_t{operand} + 1) + " bestaat niet");
        EXPECT_EQ(p.board.strobeCount(), 0u);
        EXPECT_TRUE(p.reporter.messages.empty());
    }
}

TEST_F(HandEditedPrograms, ATimerWithoutTimeLeftPassesAtOnce) {
    setStep(s, 1, 1, kind::Timer, -3);
    setStep(s, 2, 1, kind::Timer, 5);
    s.model.StepCounter[2][1] = std::numeric_limits<std::int32_t>::min();
    setStep(s, 3, 1, kind::Timer, 0);
    for (int line = 1; line <= 3; ++line) placeLineAt(s, line, 1);
    p.runThroughPhase(7);
    for (int line = 1; line <= 3; ++line) EXPECT_EQ(s.model.CurrentStep[line], 2) << "line " << line;
    EXPECT_EQ(s.model.StepCounter[1][1], -3);
    EXPECT_EQ(s.model.StepCounter[2][1], 5);
    EXPECT_EQ(s.model.StepCounter[3][1], 0);
}

}  // namespace
}  // namespace blokpost::test

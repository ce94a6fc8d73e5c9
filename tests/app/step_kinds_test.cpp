// The step kinds' table against the real cycle: the phases and turns it
// gives are where the main cycle calls each executor, and Controle's
// shortest round, worked out from them, is what the cycle really takes.

#include "app/main_cycle.h"
#include "check/controle.h"
#include "state/step_kinds.h"

#include "lines/line_program_support.h"
#include "support/test_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace blokpost::test {
namespace {

std::vector<StepKindRule> executedKinds() {
    std::vector<StepKindRule> kinds;
    for (const StepKindRule& rule : stepKindTable())
        if (rule.phase != 0) kinds.push_back(rule);
    return kinds;
}

// An operand with which a step of the kind at `step` passes at its executor's
// first call, given sensors 1 and 2 on and memories 1 and 2 set.
std::int32_t passingOperand(const StepKindRule& rule, int step) {
    if (rule.end == StepEnd::JumpTarget) return step + 1;
    return rule.wait == StepWait::Counter || rule.wait == StepWait::Chosen ? 0 : step;
}

// The program with sensors 1 and 2 on (read, and their hold flags latched).
struct ReadyProgram : TestProgram {
    explicit ReadyProgram(int minutesOfDay = 12 * 60) : TestProgram(minutesOfDay) {
        for (int sensor : {1, 2}) board.setSensor(sensor, true);
        runThroughPhase(8);
        state.model.MemoryFlag[1] = state.model.MemoryFlag[2] = 1;
    }
    void program(const StepKindRule& first, const StepKindRule& second) {
        setStep(state, 1, 1, first.name, passingOperand(first, 1));
        setStep(state, 1, 2, second.name, passingOperand(second, 2));
    }
};

// When line A leaves steps 1 and 2 within three cycles: the tick (counted from
// the first after it stood on step 1) and the phase.
struct Leaving {
    int tick = -1, phase = 0;
};
std::array<Leaving, 3> runUntilPastStepTwo(ReadyProgram& p) {
    std::array<Leaving, 3> left{};
    for (int tick = 0; tick < 3 * kPhasesPerCycle && left[2].tick < 0; ++tick) {
        const int before = p.state.model.CurrentStep[1];
        Hoofdlus(p.state);
        for (int step = before; step < p.state.model.CurrentStep[1] && step <= 2; ++step)
            if (step >= 1) left[static_cast<std::size_t>(step)] = {tick, p.state.cycle.Phase};
    }
    return left;
}

// Every pair of kinds one after the other: each step passes in its kind's
// phase, and the second in the same cycle exactly when its executor is
// called later in the cycle than the first's.
TEST(StepKindTable, TheCycleCallsEachKindInItsPhaseAndTurn) {
    for (const StepKindRule& first : executedKinds())
        for (const StepKindRule& second : executedKinds()) {
            SCOPED_TRACE(std::string(first.name) + " then " + second.name);
            ReadyProgram p;
            p.program(first, second);
            placeLineAt(p.state, 1, 1);
            const auto left = runUntilPastStepTwo(p);
            EXPECT_EQ(left[1].phase, first.phase);
            EXPECT_EQ(left[2].phase, second.phase);
            const bool sameCycle = cyclePlace(second.phase, second.turn) > cyclePlace(first.phase, first.turn);
            EXPECT_EQ(left[2].tick / kPhasesPerCycle, sameCycle ? 0 : 1);
        }
}

// A departure puts the line on step 1 in phase 8; only a kind called after
// the departures passes in that same tick.
TEST(StepKindTable, ADepartureComesBeforeTheKindsCalledAfterIt) {
    for (const StepKindRule& kind : executedKinds()) {
        SCOPED_TRACE(kind.name);
        ReadyProgram p(600);
        p.program(kind, stepKindRule(StepKindId::Timer));
        p.state.timetable.DepartureMinute[1] = 600;
        p.state.timetable.DepartureInterval[1] = 1;
        while (p.state.model.CurrentStep[1] == 0) Hoofdlus(p.state);
        EXPECT_EQ(p.state.cycle.Phase, kDeparturePhase);
        const bool sameTick = cyclePlace(kind.phase, kind.turn) > kDeparturePlace;
        EXPECT_EQ(p.state.model.CurrentStep[1], sameTick ? 2 : 1);
    }
}

// A chain of every kind, departing every 5 minutes: its MemMake, Jump,
// Sensor, MemRead, Pin and HSensor steps pass in the departure's next cycle,
// the Timer then holds it t seconds and the Green step comes in the Timer's
// last cycle. So t = 298 makes every departure and t = 299 misses every
// other one; Controle warns for the second and not the first.
TEST(ControleRound, WarnsExactlyWhenTheRealCycleMissesDepartures) {
    for (const int timer : {298, 299}) {
        SCOPED_TRACE("Timer " + std::to_string(timer));
        TestProgram p(600);
        ProgramState& s = p.state;
        const std::vector<std::pair<const char*, int>> chain = {
            {kind::MemMake, 1}, {kind::Jump, 3},    {kind::Sensor, 1},     {kind::MemRead, 1},
            {kind::Pin, 0},     {kind::HSensor, 1}, {kind::Timer, timer}, {kind::Green, 0}};
        for (std::size_t i = 0; i < chain.size(); ++i)
            setStep(s, 1, static_cast<int>(i) + 1, chain[i].first, chain[i].second);
        p.board.setSensor(1, true);
        s.timetable.DepartureMinute[1] = 601;
        s.timetable.DepartureInterval[1] = 5;
        int restarts = 0;
        while (s.clock.ClockMinutes < 617) {  // departures at 10:01, 10:06, 10:11 and 10:16
            const int before = s.model.CurrentStep[1];
            Hoofdlus(s);
            restarts += before != 1 && s.model.CurrentStep[1] == 1;
        }
        EXPECT_EQ(restarts, timer == 298 ? 4 : 2);

        const auto findings = Controleer({s.model, s.layout, s.pins.PinName, s.pins.PinAddress, s.timetable, ""});
        EXPECT_EQ(std::ranges::any_of(findings, [](const Finding& f) {
                      return f.line == 1 && f.step == 0 && f.level == FindingLevel::Waarschuwing;
                  }), restarts < 4);
    }
}

}  // namespace
}  // namespace blokpost::test

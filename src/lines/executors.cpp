#include "lines/executors.h"

#include "lines/flag_indicators.h"
#include "lines/step_marker.h"
#include "state/program_state.h"
#include "state/step_kinds.h"

#include <array>
#include <limits>

namespace blokpost {

namespace {

// The step of line L that an executor of `kindName` acts on, or 0 when the
// line's current step is not of that kind. Only steps 1..25 are ever acted
// on: a stopped line (step 0) and a finished one (step 26) stay where they
// are whatever a hand-edited file put into those slots.
int stepOfKind(const LineProgramModel& model, int line, StepKindId id) {
    const int step = model.CurrentStep[line];
    if (step < 1 || step > kSteps) return 0;
    return stepKindOf(model.StepKind[line][step]) == id ? step : 0;
}

std::int32_t operandAt(const LineProgramModel& model, int line, int step) { return model.StepOperand[line][step]; }

// True when the operand of line L's step is one the kind's executor acts on.
bool operandUsable(const LineProgramModel& model, int line, int step, StepKindId id) {
    return operandInRange(stepKindRule(id), operandAt(model, line, step));
}

// Moves line L from `step` (read at the start of its turn) to `target`.
void moveLine(ProgramState& s, int line, int step, int target) {
    MoveStepMarker(s, line, static_cast<std::uint8_t>(step), static_cast<std::uint8_t>(target));
    s.model.CurrentStep[line] = static_cast<std::uint8_t>(target);
}

void advance(ProgramState& s, int line, int step) { moveLine(s, line, step, step + 1); }

// Runs `act(line, step)` for lines 1..8 in order whose current step has the kind.
template <class Act>
void forEachLineAt(ProgramState& s, StepKindId id, Act&& act) {
    for (int line = 1; line <= kLines; ++line)
        if (const int step = stepOfKind(s.model, line, id)) act(line, step);
}

// The Pin executor's generator: a linear congruential sequence modulo 2^32,
// scaled to 0..7 by the upper bits so the sequence is the same after every start.
int nextRandomLine(std::uint32_t& state) {
    state = state * 134775813u + 1u;
    return static_cast<int>((static_cast<std::uint64_t>(state) * 8u) >> 32) + 1;
}

constexpr int kRandomDraws = 6;
// When no draw hits a waiting line, each hit overwrites: line 5 is preferred most.
constexpr std::array<int, kLines> kPinFallbackOrder{2, 4, 6, 8, 7, 1, 3, 5};

}  // namespace

void ExecutePinStep(ProgramState& s) {
    int chosen = 0;
    // All six draws are made on every call, so the sequence never depends on the lines.
    for (int draw = 0; draw < kRandomDraws; ++draw) {
        const int line = nextRandomLine(s.RandomState);
        if (stepOfKind(s.model, line, StepKindId::Pin)) chosen = line;
    }
    if (chosen == 0)
        for (int line : kPinFallbackOrder)
            if (stepOfKind(s.model, line, StepKindId::Pin)) chosen = line;
    if (chosen == 0) return;
    const int step = s.model.CurrentStep[chosen];
    // A pin that does not exist is still requested: the cycle drops it and
    // says so in the logbook, which tells the operator which step is wrong.
    s.model.PinRequest = operandAt(s.model, chosen, step);
    advance(s, chosen, step);
}

void ExecuteJumpSteps(ProgramState& s) {
    forEachLineAt(s, StepKindId::Jump, [&](int line, int step) {
        // A target that is no step keeps the line on its jump, as a jump to itself would.
        moveLine(s, line, step, stepAfter(stepKindRule(StepKindId::Jump), step, operandAt(s.model, line, step)));
    });
}

void ExecuteSensorSteps(ProgramState& s) {
    forEachLineAt(s, StepKindId::Sensor, [&](int line, int step) {
        if (operandUsable(s.model, line, step, StepKindId::Sensor) &&
            s.model.SensorState[operandAt(s.model, line, step)] == 1)
            advance(s, line, step);
    });
}

void ExecuteHoldSensorSteps(ProgramState& s) {
    forEachLineAt(s, StepKindId::HSensor, [&](int line, int step) {
        if (!operandUsable(s.model, line, step, StepKindId::HSensor)) return;
        const std::int32_t sensor = operandAt(s.model, line, step);
        if (s.model.HoldFlag[sensor] != 1) return;
        // The event is consumed: of several waiting lines only the lowest passes.
        s.model.HoldFlag[sensor] = 0;
        ShowFlag(s, FlagFamily::Hold, sensor);
        advance(s, line, step);
    });
}

void ExecuteTimerSteps(ProgramState& s) {
    forEachLineAt(s, StepKindId::Timer, [&](int line, int step) {
        std::int32_t& counter = s.model.StepCounter[line][step];
        if (counter != std::numeric_limits<std::int32_t>::min()) --counter;
        // A counter that has run out (or a negative time from a hand-edited
        // file) passes, and is reloaded for the step's next visit.
        if (counter < 0) {
            counter = operandAt(s.model, line, step);
            advance(s, line, step);
        }
        // The countdown goes into the cell of the step the timer stands on, also after it passed.
        s.screen.rijschema.cell[cellNumber(line, step)].text(line == 1 ? 8 : 10, 40, std::to_string(counter) + "s  ");
    });
}

void ExecuteMemMakeSteps(ProgramState& s) {
    forEachLineAt(s, StepKindId::MemMake, [&](int line, int step) {
        const std::int32_t memory = operandAt(s.model, line, step);
        if (operandUsable(s.model, line, step, StepKindId::MemMake)) {
            s.model.MemoryFlag[memory] = 1;
            ShowFlag(s, FlagFamily::Memory, memory);
        }
        advance(s, line, step);
    });
}

void ExecuteMemReadSteps(ProgramState& s) {
    forEachLineAt(s, StepKindId::MemRead, [&](int line, int step) {
        if (!operandUsable(s.model, line, step, StepKindId::MemRead)) return;
        const std::int32_t memory = operandAt(s.model, line, step);
        if (s.model.MemoryFlag[memory] != 1) return;
        s.model.MemoryFlag[memory] = 0;
        ShowFlag(s, FlagFamily::Memory, memory);
        advance(s, line, step);
    });
}

void ExecuteGreenSteps(ProgramState& s) {
    forEachLineAt(s, StepKindId::Green, [&](int line, int step) {
        s.model.GreenFlag[line] = 1;
        ShowFlag(s, FlagFamily::Green, line);
        advance(s, line, step);
    });
}

}  // namespace blokpost

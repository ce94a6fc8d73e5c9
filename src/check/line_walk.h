#pragma once
// Where a line goes from step 1: every step has one next step (a Jump its
// target, an empty or unknown step none, any other the step after it), so a
// line's run is one path that either stops or ends in a loop.

#include "state/model.h"
#include "state/step_kinds.h"

#include <array>
#include <string>
#include <vector>

namespace blokpost {

enum class StepRole {
    Empty,    // "" or "Leeg": the line stands still there
    Unknown,  // a text no executor acts on: the line stands still there too
    Jump,
    Passing,  // Pin, MemMake, Green: done in one go, never waiting
    Waiting,  // Timer, Sensor, HSensor, MemRead
};

StepRole roleOf(const std::string& kind);
bool isEmptyStep(const std::string& kind);

struct LineWalk {
    std::vector<int> path;  // the steps in the order the line runs them, each once
    int loopStart = 0;      // the step the path returns to, 0 when it stops
    int stopsAt = 0;        // the empty or unknown step it stands on, 26 past the end, 0 in a loop
    std::array<bool, kSteps + 2> reached{};
};

// The step after `step` of `line`; 0 when the line stands still on it.
int nextStep(const LineProgramModel& model, int line, int step);
LineWalk walkLine(const LineProgramModel& model, int line);
bool lineIsEmpty(const LineProgramModel& model, int line);

}  // namespace blokpost

#pragma once
// The step executors: one per instruction kind, each called by the main cycle
// in its own phase, acting on every line whose current step has its kind.
// The phase, the operand ranges, the waits and the ends are the step kinds'
// table (state/step_kinds.h); the main cycle's calls are held to it by a test.

namespace blokpost {

struct ProgramState;

void ExecutePinStep(ProgramState& state);          // phase 6, one line per cycle
void ExecuteJumpSteps(ProgramState& state);        // phase 3
void ExecuteSensorSteps(ProgramState& state);      // phase 3, after the jumps
void ExecuteHoldSensorSteps(ProgramState& state);  // phase 6, after the Pin step
void ExecuteTimerSteps(ProgramState& state);       // phase 7
void ExecuteMemMakeSteps(ProgramState& state);     // phase 2
void ExecuteMemReadSteps(ProgramState& state);     // phase 5
void ExecuteGreenSteps(ProgramState& state);       // phase 8, after the departures

}  // namespace blokpost

#include "lines/executors.h"

#include "app/program_state.h"

namespace blokpost {

// Filled in with the runtime.
void ExecutePinStep(ProgramState&) {}
void ExecuteJumpSteps(ProgramState&) {}
void ExecuteSensorSteps(ProgramState&) {}
void ExecuteHoldSensorSteps(ProgramState&) {}
void ExecuteTimerSteps(ProgramState&) {}
void ExecuteMemMakeSteps(ProgramState&) {}
void ExecuteMemReadSteps(ProgramState&) {}
void ExecuteGreenSteps(ProgramState&) {}

}  // namespace blokpost

#pragma once
// The 20 track sensors, read in four groups of five through the board's five
// digital inputs behind a selector driven by the two analog outputs.

namespace blokpost {

struct ProgramState;

// Puts group g's code (1..4) on the analog outputs.
void SelectSensorGroup(ProgramState& state, int group);
// Reads group g: live states, drawings of changed visible sensors, hold flags.
// A picture that cannot be loaded is reported and its drawing keeps its look.
void ReadSensorGroup(ProgramState& state, int group);

}  // namespace blokpost

#pragma once
// Starting and stopping lines by hand, and the red marker on the grid cell of
// each running line's current step.

#include <cstdint>
#include <string>

namespace blokpost {

struct ProgramState;
struct LineProgramModel;

// Unmarks line L's old step and marks its new one; steps outside 1..25 draw nothing.
void MoveStepMarker(ProgramState& state, int line, std::uint8_t oldStep, std::uint8_t newStep);
// The line buttons DienstA..DienstH: a running line stops, a stopped one starts at step 1;
// either way the line is no longer ready for the timetable (its green flag is cleared).
void ToggleLine(ProgramState& state, int line);
// The caption a line's button gets when the line is started.
std::string startedCaption(int line);
// A line whose every step is empty in the loaded service: started, it does
// nothing, which the operator is told.
bool lineHasNoSteps(const LineProgramModel& model, int line);

}  // namespace blokpost

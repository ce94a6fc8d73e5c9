#pragma once
// The layout's own clock, one second per main cycle, and the departures it
// drives: lines restarted at their departure minute and their boards renewed.

#include <cstdint>
#include <string>

namespace blokpost {

struct ProgramState;

// Once per cycle (phase 8): the clock's second, the clock face, the departures.
void RunDepartures(ProgramState& state);
// Hours (not wrapped at 24), a colon and two-digit minutes: 605 -> "10:05", 1500 -> "25:00".
std::string FormatClockTime(std::int32_t minutes);
// The texts of line L's departure board for departure time T, on the board's current picture.
void DrawBoardText(ProgramState& state, int line, std::int32_t time);
void DrawClockFace(ProgramState& state, std::int32_t minutes, int seconds);

}  // namespace blokpost

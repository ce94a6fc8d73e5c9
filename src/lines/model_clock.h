#pragma once
// The layout's own clock, one second per main cycle, and the departures it
// drives: lines restarted at their departure minute and their boards renewed.

#include <cstdint>
#include <optional>
#include <string>

namespace blokpost {

struct ProgramState;

// The second of a departure minute at which a ready line is restarted.
inline constexpr int kDepartureSecond = 4;

// Once per cycle (phase 8): the clock's second, the clock face, the departures.
void RunDepartures(ProgramState& state);
// True while the clock stands at line L's departure: the line in service, its
// departure minute and the departure second. Phase 8 of that second restarts it when ready.
bool AtDeparture(const ProgramState& state, int line);
// The minute of line L's next departure, or none when no departure will come:
// the line is not in service, or its minute is already past (it never fires).
std::optional<std::int32_t> NextDepartureMinute(const ProgramState& state, int line);
// Hours (not wrapped at 24), a colon and two-digit minutes: 605 -> "10:05", 1500 -> "25:00".
std::string FormatClockTime(std::int32_t minutes);
// The texts of line L's departure board for departure time T, on the board's current picture.
void DrawBoardText(ProgramState& state, int line, std::int32_t time);
void DrawClockFace(ProgramState& state, std::int32_t minutes, int seconds);

}  // namespace blokpost

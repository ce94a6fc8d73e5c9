#include "lines/model_clock.h"

#include "app/program_state.h"

namespace blokpost {

// Filled in with the runtime.
void RunDepartures(ProgramState& s) {
    if (++s.clock.ClockSeconds > 59) {
        s.clock.ClockSeconds = 0;
        ++s.clock.ClockMinutes;
    }
}

std::string FormatClockTime(std::int32_t m) {
    const int hours = m / 60, minutes = m % 60;
    return std::to_string(hours) + (minutes > 9 ? ":" : ":0") + std::to_string(minutes);
}

void DrawBoardText(ProgramState&, int, std::int32_t) {}
void DrawClockFace(ProgramState&, std::int32_t, int) {}

}  // namespace blokpost

#include "state/logbook.h"

#include "state/program_state.h"

namespace blokpost {

void WriteLogLine(ProgramState& s, const std::string& text) {
    auto& lines = s.screen.display.logLines;
    if (lines.size() >= kLogLines) lines.resize(kLogLines - 1);
    // The model clock is never wrapped; the stamp shows the hour of the day.
    // Floor division keeps a clock set before midnight in 0..23 as well.
    const int minutes = ((s.clock.ClockMinutes % 1440) + 1440) % 1440;
    const int m = minutes % 60, h = minutes / 60;
    lines.push_front(std::to_string(h) + (m < 10 ? ":0" : ":") + std::to_string(m) + "  " + text);
    s.logbookFile.append(s.paths, s.reporter, lines.front());
}

}  // namespace blokpost

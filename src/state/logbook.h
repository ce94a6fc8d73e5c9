#pragma once
// The logbook: the 14 newest entries, newest first, each stamped with the
// model clock's hour of the day and minute. Every entry also goes to the day
// file on disk (see LogbookFile).

#include <string>

namespace blokpost {

struct ProgramState;

inline constexpr std::size_t kLogLines = 14;

void WriteLogLine(ProgramState& state, const std::string& text);

}  // namespace blokpost

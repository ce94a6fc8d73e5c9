#pragma once
// The check of a layout before it runs: the line programs of one schedule
// variant against the track plan's drawings, the pin names and addresses and
// one timetable book. Every rule follows what the executors and the departures
// really do, so a finding names a line that will stall, a value the runtime
// cannot use, or a setting that probably is not what the operator meant.

#include "state/layout_table.h"
#include "state/model.h"
#include "state/timetable_tables.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace blokpost {

// Worst first: the order the findings are listed in.
enum class FindingLevel {
    Fout,          // the line will stall, or the data is invalid
    Waarschuwing,  // probably not what was meant
    Opmerking,     // worth knowing
};

struct Finding {
    FindingLevel level;
    int line;  // 1..8; the book's row is the line it times; 0 for the layout as a whole
    int step;  // 1..25, or 0 when the finding is about the line as a whole
    std::string text;
    bool operator==(const Finding&) const = default;
};

struct ControleInput {
    const LineProgramModel& programs;
    const LayoutTable& layout;
    const std::array<std::string, kPins>& pinNames;
    const std::array<std::uint8_t, kPins>& pinAddresses;
    const TimetableTables& book;
    std::string bookName;  // "Rood", "Blauw"; empty when no book was read
    // False before the layout store is read: drawings, pin names and
    // addresses are then the start values and are not checked.
    bool layoutRead = true;
};

// Every finding, worst first, then by line and step.
std::vector<Finding> Controleer(const ControleInput& input);

// "fout", "waarschuwing", "opmerking".
const char* levelName(FindingLevel level);

}  // namespace blokpost

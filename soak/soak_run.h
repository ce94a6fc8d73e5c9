#pragma once
// A long run of the whole logic without a real timer: the cycle ticks as
// fast as it can against the simulated board while an imaginary operator
// switches sensors, clicks pins and indicators, edits cells, loads schedules
// and the layout store and runs a timetable. After every tick the run checks
// what must always hold, and stops at the first breach.

#include <cstdint>
#include <string>

namespace blokpost::soak {

struct SoakResult {
    std::int64_t ticks = 0;
    std::int64_t departures = 0;   // lines restarted by the timetable
    std::int64_t pinsSwitched = 0;  // strobes seen by the simulated decoder
    std::int64_t edits = 0;         // operator actions taken
    std::string breach;             // empty when every check held
};

// Runs `ticks` ticks (8 make a second of layout time) from a fixed seed.
SoakResult runSoak(std::int64_t ticks, std::uint32_t seed);

}  // namespace blokpost::soak

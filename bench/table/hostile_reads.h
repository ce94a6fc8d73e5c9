#pragma once
// make bench's figures for data files that are no data files: what reading
// them costs in time and memory, each against its limit.

#include <string>
#include <vector>

namespace blokpost::bench {

struct HostileReadFigure {
    std::string what;
    double value;
    const char* unit;
    double target;
};

std::vector<HostileReadFigure> measureHostileReads();

}  // namespace blokpost::bench

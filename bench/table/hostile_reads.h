#pragma once
// make bench's figures for data files that are no data files: what reading
// them costs in time and memory, each against its limit.

#include "bench_rows.h"

#include <vector>

namespace blokpost::bench {

void measureHostileReads(std::vector<Row>& rows);

}  // namespace blokpost::bench

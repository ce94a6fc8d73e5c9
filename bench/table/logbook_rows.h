#pragma once
// make bench: what writing the logbook's day file costs the tick.

#include "bench_rows.h"

#include <QString>
#include <vector>

namespace blokpost::bench {

void measureLogbookEntries(const QString& root, std::vector<Row>& rows);

}  // namespace blokpost::bench

#pragma once
// make bench: what writing the logbook's day file costs the tick.

#include <QString>
#include <functional>
#include <string>

namespace blokpost::bench {

// Adds its rows as (what, value, unit, target; 0 = none).
using AddRow = std::function<void(const std::string&, double, const char*, double)>;
void measureLogbookEntries(const QString& root, const AddRow& add);

}  // namespace blokpost::bench

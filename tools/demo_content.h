#pragma once
// The pieces the demo files are made of: pin names, line programs and the
// placement of the drawings.

#include "state/layout_table.h"
#include "state/model.h"

#include <array>
#include <string>
#include <vector>

namespace blokpost::demo {

struct Step {
    std::string kind;
    int operand = 0;
};
using LineProgram = std::vector<Step>;             // steps 1.. in order, at most 25
using Schedule = std::array<LineProgram, kLines + 1>;  // lines [1..8]

// Pin names by pin index 0..125: points, signals and the few switched sections.
const std::array<std::string, kPins>& pinNames();
// The pin index of a named pin; throws std::logic_error for an unknown name.
int pinIndex(const std::string& name);

// Schedule variant 1..4: Normale dienst, Weekenddienst, Zomerdienst, Winterdienst.
Schedule schedule(int variant);

// Where the drawings and line buttons stand over the track plan.
LayoutTable layoutTable();

}  // namespace blokpost::demo

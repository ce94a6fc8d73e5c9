#pragma once
// The flags of the line-program model each have a round indicator on the
// grid window; whoever changes a flag recolours its indicator from here, so
// the colours stay with the flags whatever part of the program changes them.

#include "base/canvas.h"

namespace blokpost {

struct ProgramState;

// The three families of flags that have an indicator on the grid window.
enum class FlagFamily { Hold, Memory, Green };

struct IndicatorColours {
    Colour set;    // flag is 1
    Colour clear;  // flag is anything else
};
IndicatorColours indicatorColours(FlagFamily family);
// Shape1..Shape20 for the hold sensors, Shape21..Shape28 for the memories,
// Shape29..Shape36 for the lines' green flags; 0 for a number out of range.
int indicatorShape(FlagFamily family, int number);
// The flag itself, or null for a number out of range.
std::uint8_t* flagOf(ProgramState& state, FlagFamily family, int number);
// Recolours one indicator from its flag; whoever changes a flag calls this.
void ShowFlag(ProgramState& state, FlagFamily family, int number);

}  // namespace blokpost

#pragma once
// The Rijschema grid's own operations: selecting a cell for the palette, and
// the 36 round indicators that show and toggle the hold, memory and green flags.

#include "app/canvas.h"

#include <cstdint>

namespace blokpost {

struct ProgramState;

// Maak1..Maak200: selects cell n and shows the selection picture in it.
// Returns whether the palette may open; a missing selection picture is
// reported and keeps the palette closed (the selection has been made).
bool Maak(ProgramState& state, int cell);

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
// Recolours one indicator from its flag; whoever changes a flag calls this.
void ShowFlag(ProgramState& state, FlagFamily family, int number);

// MaakHold1..20, MaakMem1..8, MaakGreen1..8: a set flag (1) is cleared,
// anything else becomes 1, and the indicator follows.
void MaakHold(ProgramState& state, int sensor);
void MaakMem(ProgramState& state, int memory);
void MaakGreen(ProgramState& state, int line);

}  // namespace blokpost

#pragma once
// The Rijschema grid's own operations: selecting a cell for the palette, and
// the 36 round indicators that show and toggle the hold, memory and green flags.

#include "lines/flag_indicators.h"

namespace blokpost {

struct ProgramState;

// Maak1..Maak200: selects cell n and shows the selection picture in it.
// Returns whether the palette may open; a missing selection picture is
// reported and keeps the palette closed (the selection has been made).
bool Maak(ProgramState& state, int cell);

// MaakHold1..20, MaakMem1..8, MaakGreen1..8: a set flag (1) is cleared,
// anything else becomes 1, and the indicator follows.
void MaakHold(ProgramState& state, int sensor);
void MaakMem(ProgramState& state, int memory);
void MaakGreen(ProgramState& state, int line);

}  // namespace blokpost

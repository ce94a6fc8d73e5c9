#pragma once
// The two analog meters: a needle over a dial picture, drawn every cycle.

namespace blokpost {

struct ProgramState;

// Reads analog input n (1 or 2) and draws meter n, shown or not.
void DrawMeter(ProgramState& state, int meter);

}  // namespace blokpost

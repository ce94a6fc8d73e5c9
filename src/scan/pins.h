#pragma once
// Output pins: a pin is switched by putting its 7-bit address on digital
// outputs 1..7 and strobing output 8 for an external decoder. Pin drawing k
// on the main window shows the pair of pins 2k-1 and 2k.

namespace blokpost {

struct ProgramState;

// Click on pin drawing k (1..63): requests the pair's other pin.
void Plaat(ProgramState& state, int drawing);
// Phase 2: takes the request for output, shows its drawing, puts its address out.
void ServePinRequest(ProgramState& state);
// Phase 4: raises the strobe.
void StrobePinOutput(ProgramState& state);
// Loads pin index n's picture into its drawing; reports a missing picture and carries on.
void ShowPinDrawing(ProgramState& state, int pinIndex);
// True for a pin index that has a name, an address and a drawing.
bool isPinIndex(int pinIndex);

}  // namespace blokpost

#pragma once
// The heartbeat: a 125 ms tick advances the phase 1..8, and each phase does
// half of a sensor-group scan on the board and a fixed share of the work.
// Eight ticks make one cycle of about a second.

namespace blokpost {

struct ProgramState;


// One tick. Returns at once when called inside a running tick (a message box
// raised by a tick runs the event loop, and the timer keeps firing).
void Hoofdlus(ProgramState& state);
// The "K8055n" button: opens the board at address 0 and reports the result.
void Kaart(ProgramState& state);

}  // namespace blokpost

#pragma once
// The layout store "Vastedata/DataOpslag.txt": where the drawings and line
// buttons stand, the whole line-program model and the two meter names, 907
// lines in a fixed order. The Read / Save window reads it and applies it to
// the screen together with the pin addresses and names, or writes it back.

namespace blokpost {

struct ProgramState;

inline constexpr int kLayoutStoreLines = 907;

// "Read": the store, then the layout on the main window, the meter names,
// fresh pictures for the visible drawings, the pin addresses and names; then
// the window closes. A failure is reported and stops the Read where it
// happened: what was read or applied before stays, and the window stays open.
void Lezen(ProgramState& state);
// "Save": writes the store and closes the window. A failed save is reported
// and leaves the previous file as it was.
void Opslaan(ProgramState& state);
// "Enable": allows one Save.
void Vrijmaken(ProgramState& state);
// The window closes, however it is closed: Save is disabled again.
void Sluiten(ProgramState& state);

}  // namespace blokpost

#pragma once
// The layout store "Vastedata/DataOpslag.txt": where the drawings and line
// buttons stand, the whole line-program model and the two meter names, 907
// lines in a fixed order. The Read / Save window reads it and applies it to
// the screen together with the pin addresses and names, or writes it back.

#include <string>

namespace blokpost {

struct ProgramState;
struct LayoutTable;
struct LineProgramModel;
class TextFileReader;

inline constexpr int kLayoutStoreLines = 907;
inline constexpr const char* kLayoutStoreFile = "Vastedata/DataOpslag.txt";

// The store's values into the tables, each as it is read: a bad number
// throws OperationError with the values before it in place.
struct LayoutStoreTables {
    LayoutTable& layout;
    LineProgramModel& model;
    std::string& meterName1;
    std::string& meterName2;
};
void ReadLayoutStore(const LayoutStoreTables& into, TextFileReader& file);

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

#pragma once
// Names and addresses of the 126 output pins as the Give a Name window shows
// them: a grid of 126 rows (pin index 0..125) and three text columns, the
// pin's label, its name and its address. The grid is what the operator types
// into; the tables in ProgramState are what the program uses. The two meet
// only where a handler copies one into the other.

#include "state/pin_grid.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace blokpost {

struct ProgramState;

// The window's creation: every row from the pin tables ("Pin-1" .. "Pin-126").
void FillPinGrid(ProgramState& state);
// The operator typed into a cell; anything outside the grid is ignored.
void SetPinGridCell(ProgramState& state, int row, int column, const std::string& text);
// "Take it": pin 1..126 gets the address; then the whole address column is rewritten.
void TakeAddress(ProgramState& state, int pin, int address);
// The two saves report their own failure to the operator; the tables stay as they are.
// "Save Naam": the name column as typed, whole, into "Vastedata/NaamData.txt".
void NaamOpslaan(ProgramState& state);
// "Save Adres": the address table (not the grid) into "Vastedata/AdresData.txt".
void AdresOpslaan(ProgramState& state);
// "Reset?": after the operator's OK, names "Leeg0".."Leeg125" and addresses 0..125.
void ResetPinTables(ProgramState& state);

inline constexpr const char* kPinNameFile = "Vastedata/NaamData.txt";
inline constexpr const char* kPinAddressFile = "Vastedata/AdresData.txt";

// The files' values into the tables, each as it is read; `landed(i)` runs
// after pin index i got its value. A bad number throws OperationError.
class TextFileReader;
void ReadPinAddressTable(TextFileReader& file, std::array<std::uint8_t, 126>& addresses,
                         const std::function<void(int)>& landed = {});
void ReadPinNameTable(TextFileReader& file, std::array<std::string, 126>& names,
                      const std::function<void(int)>& landed = {});

// Reading back, used by the layout store's Read. Each throws OperationError
// where the file cannot be read; what was read before stays.
void ReadPinAddresses(ProgramState& state);
void ReadPinNames(ProgramState& state);

}  // namespace blokpost

#include "layout/pin_names.h"

#include "base/text_file.h"
#include "state/program_state.h"

namespace blokpost {

namespace {

std::string pinLabel(int row) { return "Pin-" + std::to_string(row + 1); }

void setCell(PinGrid& grid, int row, int column, std::string text) {
    grid.cell[row][column] = std::move(text);
    ++grid.revision;
}

void writeAddressColumn(ProgramState& s) {
    for (int row = 0; row < kPins; ++row)
        setCell(s.pinGrid, row, kPinAddressColumn, std::to_string(s.pins.PinAddress[row]));
}

}  // namespace

void FillPinGrid(ProgramState& s) {
    for (int row = 0; row < kPins; ++row) {
        setCell(s.pinGrid, row, kPinLabelColumn, pinLabel(row));
        setCell(s.pinGrid, row, kPinNameColumn, s.pins.PinName[row]);
    }
    writeAddressColumn(s);
}

void SetPinGridCell(ProgramState& s, int row, int column, const std::string& text) {
    if (row < 0 || row >= kPins || column < 0 || column >= kPinGridColumns) return;
    if (s.pinGrid.cell[row][column] != text) setCell(s.pinGrid, row, column, text);
}

void TakeAddress(ProgramState& s, int pin, int address) {
    if (pin < 1 || pin > kPins) return;  // the spin box keeps it within 1..126
    s.pins.PinAddress[pin - 1] = static_cast<std::uint8_t>(address);
    writeAddressColumn(s);
}

void NaamOpslaan(ProgramState& s) {
    guarded(s, [&] {
        TextFileWriter file(s.paths.forWriting(kPinNameFile));
        for (int row = 0; row < kPins; ++row) file.text(s.pinGrid.cell[row][kPinNameColumn]);
        file.commit();
    });
}

void AdresOpslaan(ProgramState& s) {
    guarded(s, [&] {
        TextFileWriter file(s.paths.forWriting(kPinAddressFile));
        for (int i = 0; i < kPins; ++i) file.number(s.pins.PinAddress[i]);
        file.commit();
    });
}

void ResetPinTables(ProgramState& s) {
    if (!s.reporter.confirm("Pas op (alle data wordt gewist), wissen?")) return;
    for (int row = 0; row < kPins; ++row) {
        const std::string name = "Leeg" + std::to_string(row);
        setCell(s.pinGrid, row, kPinLabelColumn, pinLabel(row));
        setCell(s.pinGrid, row, kPinNameColumn, name);
        setCell(s.pinGrid, row, kPinAddressColumn, std::to_string(row));
        s.pins.PinName[row] = name;
        s.pins.PinAddress[row] = static_cast<std::uint8_t>(row);
    }
}

void ReadPinAddressTable(TextFileReader& file, std::array<std::uint8_t, kPins>& addresses,
                         const std::function<void(int)>& landed) {
    for (int i = 0; i < kPins; ++i) {
        addresses[i] = static_cast<std::uint8_t>(file.readNumber() & 0xFF);
        if (landed) landed(i);
    }
}

void ReadPinNameTable(TextFileReader& file, std::array<std::string, kPins>& names,
                      const std::function<void(int)>& landed) {
    for (int i = 0; i < kPins; ++i) {
        names[i] = file.readText(kPinNameLength);
        if (landed) landed(i);
    }
}

void ReadPinAddresses(ProgramState& s) {
    TextFileReader file = TextFileReader::open(s.paths.find(kPinAddressFile), s.reporter);
    ReadPinAddressTable(file, s.pins.PinAddress, [&](int i) {
        setCell(s.pinGrid, i, kPinAddressColumn, std::to_string(s.pins.PinAddress[i]));
    });
}

void ReadPinNames(ProgramState& s) {
    TextFileReader file = TextFileReader::open(s.paths.find(kPinNameFile), s.reporter);
    ReadPinNameTable(file, s.pins.PinName, [&](int i) { setCell(s.pinGrid, i, kPinNameColumn, s.pins.PinName[i]); });
}

}  // namespace blokpost

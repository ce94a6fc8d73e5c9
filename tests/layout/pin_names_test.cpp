#include "base/text_file.h"
#include "layout/pin_names.h"
#include "support/test_program.h"
#include "write_limit/limited_writes.h"

#include <QFile>
#include <gtest/gtest.h>

namespace blokpost {
namespace {

using test::TestProgram;

struct PinNames : TestProgram {
    PinNames() { FillPinGrid(state); }
    const std::string& grid(int row, int column) const { return state.pinGrid.cell[row][column]; }
};

TEST(PinNames, TheGridStartsFromTheTables) {
    PinNames p;
    p.state.pins.PinName[7] = "Sein7";
    p.state.pins.PinAddress[125] = 3;
    FillPinGrid(p.state);
    EXPECT_EQ(p.grid(0, kPinLabelColumn), "Pin-1");
    EXPECT_EQ(p.grid(125, kPinLabelColumn), "Pin-126");
    EXPECT_EQ(p.grid(7, kPinNameColumn), "Sein7");
    EXPECT_EQ(p.grid(6, kPinNameColumn), "leeg6");
    EXPECT_EQ(p.grid(125, kPinAddressColumn), "3");
    EXPECT_EQ(p.grid(124, kPinAddressColumn), "124");
}

TEST(PinNames, TakeItChangesOnePinsAddress) {
    PinNames p;
    const PinGrid before = p.state.pinGrid;
    TakeAddress(p.state, 126, 0);
    EXPECT_EQ(p.state.pins.PinAddress[125], 0);
    EXPECT_EQ(p.grid(125, kPinAddressColumn), "0");
    for (int row = 0; row < 125; ++row) EXPECT_EQ(p.state.pinGrid.cell[row], before.cell[row]);
    // Typed digits are overwritten when the column is rewritten from the table.
    SetPinGridCell(p.state, 3, kPinAddressColumn, "99");
    TakeAddress(p.state, 1, 5);
    EXPECT_EQ(p.grid(3, kPinAddressColumn), "3");
    EXPECT_EQ(p.state.pins.PinAddress[0], 5);
    // Outside the grid and the spin box's range: nothing happens.
    const PinGrid kept = p.state.pinGrid;
    TakeAddress(p.state, 127, 1);
    TakeAddress(p.state, 0, 1);
    SetPinGridCell(p.state, 126, 0, "x");
    SetPinGridCell(p.state, 0, 3, "x");
    SetPinGridCell(p.state, -1, 0, "x");
    EXPECT_EQ(p.state.pinGrid.cell, kept.cell);
}

TEST(PinNames, SaveNaamWritesTheGridAsTypedAndReadingCutsToSeven) {
    PinNames p;
    SetPinGridCell(p.state, 0, kPinNameColumn, "Wisselstraat");
    NaamOpslaan(p.state);
    EXPECT_EQ(p.state.pins.PinName[0], "leeg0");  // the table waits for the next Read
    const std::string file = p.readFile("VasteData/NaamData.txt");
    EXPECT_EQ(file.substr(0, 21), "Wisselstraat\r\nleeg1\r\n");
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), kPins);

    ReadPinNames(p.state);
    EXPECT_EQ(p.state.pins.PinName[0], "Wissels");
    EXPECT_EQ(p.grid(0, kPinNameColumn), "Wissels");
    EXPECT_EQ(p.state.pins.PinName[125], "leeg125");
}

TEST(PinNames, SaveAdresWritesTheTableNotTheGrid) {
    PinNames p;
    SetPinGridCell(p.state, 2, kPinAddressColumn, "77");
    TakeAddress(p.state, 2, 100);
    SetPinGridCell(p.state, 2, kPinAddressColumn, "77");
    AdresOpslaan(p.state);
    const std::string file = p.readFile("VasteData/AdresData.txt");
    EXPECT_EQ(file.substr(0, 14), "0\r\n100\r\n2\r\n3\r\n");
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), kPins);
}

TEST(PinNames, ResetAsksFirstAndLeavesTheFilesAlone) {
    PinNames p;
    TakeAddress(p.state, 1, 9);
    SetPinGridCell(p.state, 0, kPinNameColumn, "typed");
    NaamOpslaan(p.state);
    const std::string names = p.readFile("VasteData/NaamData.txt");

    p.reporter.answer = false;
    ResetPinTables(p.state);
    EXPECT_EQ(p.reporter.questions, std::vector<std::string>{"Pas op (alle data wordt gewist), wissen?"});
    EXPECT_EQ(p.grid(0, kPinNameColumn), "typed");
    EXPECT_EQ(p.state.pins.PinAddress[0], 9);

    p.reporter.answer = true;
    ResetPinTables(p.state);
    EXPECT_EQ(p.grid(0, kPinNameColumn), "Leeg0");
    EXPECT_EQ(p.state.pins.PinName[125], "Leeg125");
    EXPECT_EQ(p.state.pins.PinAddress[0], 0);
    EXPECT_EQ(p.grid(0, kPinAddressColumn), "0");
    EXPECT_EQ(p.readFile("VasteData/NaamData.txt"), names);
}

// (A failed save keeps the file it would replace: FullDisk, for every save.)
TEST(PinNames, AFailedSaveOfAFileNotYetThereLeavesNone) {
    PinNames p;
    {
        const ScopedWriteFailure diskFull(100);
        NaamOpslaan(p.state);
    }
    EXPECT_EQ(p.reporter.messages.size(), 1u);
    EXPECT_FALSE(QFile::exists(p.folder.filePath("VasteData/NaamData.txt")));
}

}  // namespace
}  // namespace blokpost

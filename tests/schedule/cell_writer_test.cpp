#include "schedule/cell_writer.h"
#include "support/test_program.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

constexpr Colour kIconColour = 0xC0C0C0;
const char* const kIconFiles[] = {"PinMake", "Timer", "Jump", "Sensor", "SensorH", "MemMake", "MemRead", "Green", "Blanco"};

struct CellWriter : ::testing::Test, TestProgram {
    CellWriter() {
        // Each icon marked with a colour of its own at (1, 1), so a cell tells which icon it shows.
        QDir().mkpath(folder.filePath("VasteData"));
        for (std::uint32_t i = 0; i < std::size(kIconFiles); ++i) {
            QImage icon(68, 68, QImage::Format_RGB32);
            icon.fill(0xFF000000u | kIconColour);
            icon.setPixel(1, 1, 0xFF000000u | (i + 1));
            icon.save(folder.filePath(QStringLiteral("VasteData/%1.bmp").arg(kIconFiles[i])), "BMP");
        }
    }
    const Canvas& cell(int n) const { return state.screen.rijschema.cell[n]; }
    int iconOf(int n) const { return static_cast<int>(cell(n).pixel(1, 1)); }
    // A text box starts exactly at (x, y): white there, icon colour just left of it
    // (and above it, unless another text stands there).
    bool textBoxAt(int n, int x, int y, bool clearAbove = true) const {
        const Canvas& c = cell(n);
        return c.pixel(x, y) == kWhite && c.pixel(x - 1, y) == kIconColour &&
               (!clearAbove || c.pixel(x, y - 1) == kIconColour);
    }
    bool hasColour(int n, Colour colour, int x0, int y0, int x1, int y1) const {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (cell(n).pixel(x, y) == colour) return true;
        return false;
    }
};

struct KindCase {
    const char* kind;
    int icon;  // 1-based index into kIconFiles
    int fontSize;
    Colour colour;
    bool text1;
    int x;
    int y2;
};

TEST_F(CellWriter, EveryKindStoresItsInstructionAndDrawsItsIconAndTexts) {
    const KindCase cases[] = {
        {"Pin", 1, 10, kMaroon, true, 8, 40},      {"Timer", 2, 11, kBlue, true, 8, 40},
        {"Jump", 3, 18, kGray, false, 16, 25},     {"Sensor", 4, 18, kGreen, false, 16, 25},
        {"HSensor", 5, 18, kTeal, false, 16, 25},  {"MemMake", 6, 18, kRed, false, 16, 30},
        {"MemRead", 7, 18, kRed, false, 16, 30},
    };
    int n = 0;
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.kind);
        ++n;
        CelMaken(state, n, 7, c.kind);
        EXPECT_EQ(state.model.StepKind[1][n], c.kind);
        EXPECT_EQ(state.model.StepOperand[1][n], 7);
        EXPECT_EQ(state.model.StepCounter[1][n], 7);
        EXPECT_EQ(iconOf(n), c.icon);
        EXPECT_EQ(textBoxAt(n, c.x, 24), c.text1);
        EXPECT_TRUE(textBoxAt(n, c.x, c.y2, !c.text1));
        EXPECT_TRUE(hasColour(n, c.colour, c.x, c.y2, 68, 68));
        // The settings stay with the picture for the runtime's later texts.
        EXPECT_EQ(cell(n).fontSize(), c.fontSize);
        EXPECT_EQ(cell(n).fontColour(), c.colour);
        EXPECT_EQ(cell(n).brush(), kWhite);
    }
}

TEST_F(CellWriter, GreenAndBlancoDrawOnlyTheirIconsAndBlancoIsStoredAsLeeg) {
    CelMaken(state, 30, 5, "Green");
    EXPECT_EQ(state.model.StepKind[2][5], "Green");
    EXPECT_EQ(state.model.StepOperand[2][5], 5);
    EXPECT_EQ(iconOf(30), 8);
    CelMaken(state, 31, 9, "Blanco");
    EXPECT_EQ(state.model.StepKind[2][6], "Leeg");
    EXPECT_EQ(state.model.StepCounter[2][6], 9);
    EXPECT_EQ(iconOf(31), 9);
    for (int n : {30, 31}) {
        EXPECT_FALSE(hasColour(n, kWhite, 2, 2, 68, 68)) << n;
        EXPECT_EQ(cell(n).fontSize(), 8);  // fresh settings of a loaded picture
    }
}

TEST_F(CellWriter, PinCellsShowTheNumberFromOneAndThePinsName) {
    state.pins.PinName[0] = "Wissel1";
    CelMaken(state, 1, 0, "Pin");
    EXPECT_EQ(state.model.StepOperand[1][1], 0);
    const CellTexts first = cellTexts(state, "Pin", 0);
    EXPECT_EQ(first.text1, "Pin-1");
    EXPECT_EQ(first.text2, "Wissel1");
    EXPECT_EQ(cellTexts(state, "Pin", 125).text1, "Pin-126");
    EXPECT_EQ(cellTexts(state, "Pin", 125).text2, "leeg125");
    // Only an edited file holds a pin outside the tables; it is drawn without reading past them.
    EXPECT_EQ(cellTexts(state, "Pin", 126).text2, "?");
    EXPECT_EQ(cellTexts(state, "Pin", -1).text1, "Pin-0");
    EXPECT_EQ(cellTexts(state, "Pin", 2147483647).text1, "Pin-2147483648");
    EXPECT_EQ(cellTexts(state, "Timer", 3600).text1, "3600s ");
    EXPECT_EQ(cellTexts(state, "Timer", 3600).text2, "3600s ");
    EXPECT_EQ(cellTexts(state, "Jump", 8).text2, "8");
}

TEST_F(CellWriter, CellNumbersSplitIntoLineAndStep) {
    CelMaken(state, 25, 3, "Jump");
    EXPECT_EQ(state.model.StepKind[1][25], "Jump");
    CelMaken(state, 176, 4, "Sensor");
    EXPECT_EQ(state.model.StepKind[8][1], "Sensor");
    CelMaken(state, 200, 5, "MemMake");
    EXPECT_EQ(state.model.StepKind[8][25], "MemMake");
    // No cell selected yet: nothing is written anywhere.
    CelMaken(state, 0, 5, "Timer");
    CelMaken(state, 201, 5, "Timer");
    EXPECT_EQ(state.model.StepKind[1][0], "");
    EXPECT_EQ(state.screen.rijschema.cell[201].width(), 300);
}

TEST_F(CellWriter, ARedrawFromTheModelLooksExactlyAsTheCellWasWritten) {
    const char* kinds[] = {"Pin", "Timer", "Jump", "Sensor", "HSensor", "MemMake", "MemRead", "Green", "Blanco"};
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(kinds[i]);
        const int n = 26 + i;
        CelMaken(state, n, 12, kinds[i]);
        const QImage written = cell(n).image();
        state.screen.rijschema.cell[n].fill(kBlack);
        CelTekenen(state, 2, 1 + i, state.model.StepKind[2][1 + i]);
        EXPECT_EQ(cell(n).image(), written);
    }
    // Texts that are no kind, and the empty step, draw the blank icon.
    for (const char* other : {"", "pin", "Leeg", "Onzin"}) {
        CelTekenen(state, 3, 3, other);
        EXPECT_EQ(iconOf(cellNumber(3, 3)), 9) << other;
    }
    CelTekenen(state, 9, 1, "Pin");  // out of range: nothing happens
    CelTekenen(state, 1, 26, "Pin");
}

TEST_F(CellWriter, AMissingIconStopsTheDrawingAfterTheModelIsStored) {
    ASSERT_TRUE(QFile::remove(folder.filePath("VasteData/Timer.bmp")));
    const QImage before = cell(60).image();
    try {
        CelMaken(state, 60, 42, "Timer");
        FAIL() << "no error";
    } catch (const OperationError& error) {
        EXPECT_STREQ(error.what(), "Cannot open file \"VasteData/Timer.bmp\". No such file or directory.");
    }
    EXPECT_EQ(state.model.StepKind[3][10], "Timer");
    EXPECT_EQ(state.model.StepOperand[3][10], 42);
    EXPECT_EQ(state.model.StepCounter[3][10], 42);
    EXPECT_EQ(cell(60).image(), before);
}

}  // namespace
}  // namespace blokpost::test

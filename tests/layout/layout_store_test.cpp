#include "base/text_file.h"
#include "layout/layout_store.h"
#include "layout/layout_test_support.h"
#include "layout/pin_names.h"
#include "write_limit/limited_writes.h"

#include <QFile>
#include <gtest/gtest.h>
#include <random>

namespace blokpost {
namespace {

using test::LayoutProgram;

constexpr const char* kStore = "Vastedata/DataOpslag.txt";

TEST(LayoutStore, ASavedStoreReadsBackExactly) {
    LayoutProgram p;
    ProgramState& s = p.state;
    for (int e = 0; e < kLayoutElements; ++e) {
        s.layout.LayoutX[e] = e % 3 ? -e * 17 : 2000000000 + e;
        s.layout.LayoutY[e] = e * 5;
        s.layout.LayoutVisible[e] = static_cast<std::uint8_t>(e % 3);
    }
    for (int line = 1; line <= kLines; ++line) {
        for (int step = 0; step <= kSteps + 1; ++step) s.model.StepKind[line][step] = "k" + std::to_string(line * step);
        for (int step = 0; step <= kSteps; ++step) {
            s.model.StepOperand[line][step] = -line * step;
            s.model.StepCounter[line][step] = line + step;
        }
    }
    s.MeterName1 = "  Spanning baan 1  ";
    s.MeterName2 = "";
    Opslaan(s);
    const std::string file = p.readFile(kStore);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), kLayoutStoreLines);
    EXPECT_EQ(file.substr(file.size() - 23), "  Spanning baan 1  \r\n\r\n");

    const LayoutTable layout = s.layout;
    const LineProgramModel model = s.model;
    s.layout = defaultLayoutTable();
    s.model = LineProgramModel{};
    s.MeterName1 = s.MeterName2 = "x";
    Lezen(s);
    EXPECT_TRUE(p.reporter.messages.empty());
    EXPECT_EQ(s.layout.LayoutX, layout.LayoutX);
    EXPECT_EQ(s.layout.LayoutY, layout.LayoutY);
    EXPECT_EQ(s.layout.LayoutVisible, layout.LayoutVisible);
    EXPECT_EQ(s.model.StepKind, model.StepKind);  // slots 0 and 26 included
    EXPECT_EQ(s.model.StepOperand, model.StepOperand);
    EXPECT_EQ(s.model.StepCounter, model.StepCounter);
    EXPECT_EQ(s.MeterName1, "  Spanning baan 1  ");
    EXPECT_EQ(s.MeterName2, "");
}

TEST(LayoutStore, AReadAppliesTheLayoutCaptionsAndRestingPictures) {
    LayoutProgram p;
    ProgramState& s = p.state;
    std::string store = LayoutProgram::storeFile();
    // Element 5 hidden by a hand-edited 2; element 70 (sensor 8) hidden by 0.
    const auto setVisible = [&](int e, const char* value) {
        std::size_t at = 0;
        for (int line = 0; line < 2 * kLayoutElements + e; ++line) at = store.find('\n', at) + 1;
        store.replace(at, store.find('\r', at) - at, value);
    };
    setVisible(5, "2");
    setVisible(70, "0");
    p.writeFile(kStore, store);
    s.screen.main.drawing[6].fill(0x445566);
    s.screen.main.drawing[71].fill(0x445566);
    s.model.CurrentStep[2] = 4;
    s.model.HoldFlag[3] = 1;

    Lezen(s);
    EXPECT_TRUE(p.reporter.messages.empty());
    EXPECT_EQ(s.screen.main.element[0].x, 0);
    EXPECT_EQ(s.screen.main.element[90].x, 90);
    EXPECT_EQ(s.screen.main.element[90].y, 1090);
    EXPECT_TRUE(s.screen.main.element[90].visible);
    EXPECT_FALSE(s.screen.main.element[5].visible);
    EXPECT_EQ(s.layout.LayoutVisible[5], 2);
    EXPECT_EQ(s.layoutWindows.makeScreen.dot[6], kGray);
    EXPECT_EQ(s.layoutWindows.makeScreen.dot[7], kYellow);
    EXPECT_EQ(s.screen.main.meterButtonCaption[1], "V1");
    EXPECT_EQ(s.screen.main.meterWindowCaption[2], "V2");
    // Visible drawings show their resting pictures; hidden ones keep theirs.
    EXPECT_EQ(p.drawingColour(1), test::kBlankDrawing);
    EXPECT_EQ(p.drawingColour(6), 0x445566u);
    EXPECT_EQ(p.drawingColour(64), test::inactiveSensorColour(1));
    EXPECT_EQ(p.drawingColour(71), 0x445566u);
    EXPECT_EQ(p.drawingColour(83), test::inactiveSensorColour(20));
    // Run state and flags are not part of the store.
    EXPECT_EQ(s.model.CurrentStep[2], 4);
    EXPECT_EQ(s.model.HoldFlag[3], 1);
    EXPECT_EQ(s.model.StepKind[1][1], "Timer");
    EXPECT_EQ(s.model.StepCounter[8][25], 2 * kLines * 26 - 1);
}

TEST(LayoutStore, AReadLoadsAddressesAndNamesIntoTablesAndGrid) {
    LayoutProgram p;
    ProgramState& s = p.state;
    p.writeFile(kStore, LayoutProgram::storeFile());
    p.writeFile("Vastedata/AdresData.txt", "300\r\n-1\r\n  7 oud\r\n");
    p.writeFile("Vastedata/NaamData.txt", "Wisselstraat 12\r\nSein\r\n");
    Lezen(s);
    EXPECT_TRUE(p.reporter.messages.empty());
    EXPECT_EQ(s.pins.PinAddress[0], 44);
    EXPECT_EQ(s.pins.PinAddress[1], 255);
    EXPECT_EQ(s.pins.PinAddress[2], 7);
    EXPECT_EQ(s.pins.PinAddress[3], 0);  // the file ends early
    EXPECT_EQ(s.pinGrid.cell[0][kPinAddressColumn], "44");
    EXPECT_EQ(s.pins.PinName[0], "Wissels");
    EXPECT_EQ(s.pinGrid.cell[0][kPinNameColumn], "Wissels");
    EXPECT_EQ(s.pins.PinName[1], "Sein");
    EXPECT_EQ(s.pins.PinName[125], "");
    EXPECT_EQ(s.pinGrid.cell[125][kPinLabelColumn], "Pin-126");
}

// Without a store file a Read changes nothing: Enable stays off, the window stays open.
TEST(LayoutStore, AMissingStoreChangesNothingAndTheButtonsFollowReadEnableSaveAndClose) {
    LayoutProgram p;
    ReadSaveView& view = p.state.layoutWindows.readSave;
    const LayoutTable before = p.state.layout;
    const auto placements = p.state.screen.main.element;
    EXPECT_FALSE(view.saveEnabled);
    Lezen(p.state);
    EXPECT_FALSE(view.enableEnabled);
    EXPECT_FALSE(view.closeRequested);
    EXPECT_EQ(p.reporter.messages, std::vector<std::string>{"File not found"});
    EXPECT_EQ(p.state.layout.LayoutX, before.LayoutX);
    EXPECT_EQ(p.state.screen.main.element[83].y, placements[83].y);
    EXPECT_EQ(p.state.pins.PinName[0], "leeg0");

    p.writeFile(kStore, LayoutProgram::storeFile());
    Lezen(p.state);
    EXPECT_TRUE(view.enableEnabled);
    EXPECT_TRUE(view.closeRequested);
    view.closeRequested = false;
    Vrijmaken(p.state);
    EXPECT_TRUE(view.saveEnabled);
    Sluiten(p.state);  // closed by the title bar
    EXPECT_FALSE(view.saveEnabled);
    EXPECT_TRUE(view.enableEnabled);
    Vrijmaken(p.state);
    Opslaan(p.state);
    EXPECT_TRUE(view.closeRequested);
    EXPECT_FALSE(view.saveEnabled);
}

TEST(LayoutStore, ABadNumberKeepsWhatWasReadAndAppliesNothing) {
    LayoutProgram p;
    std::string store = LayoutProgram::storeFile();
    store.replace(store.find("\r\n1010\r\n"), 8, "\r\nten\r\n");  // LayoutY[10]
    p.writeFile(kStore, store);
    Lezen(p.state);
    EXPECT_EQ(p.reporter.messages, std::vector<std::string>{"Invalid numeric input"});
    EXPECT_EQ(p.state.layout.LayoutX[90], 90);
    EXPECT_EQ(p.state.layout.LayoutY[9], 1009);
    EXPECT_EQ(p.state.layout.LayoutY[11], defaultLayoutTable().LayoutY[11]);
    EXPECT_EQ(p.state.screen.main.element[90].x, designedPlacement(90).x);
    EXPECT_FALSE(p.state.layoutWindows.readSave.enableEnabled);
}

TEST(LayoutStore, AStoreThatBreaksOffHidesTheRestAtTheOrigin) {
    LayoutProgram p;
    const std::string store = LayoutProgram::storeFile();
    // Up to the visibility of element 40.
    std::size_t at = 0;
    for (int line = 0; line < 2 * kLayoutElements + 41; ++line) at = store.find('\n', at) + 1;
    p.writeFile(kStore, store.substr(0, at));
    p.state.model.StepKind[1][1] = "Pin";
    Lezen(p.state);
    EXPECT_TRUE(p.reporter.messages.empty());
    EXPECT_TRUE(p.state.screen.main.element[40].visible);
    EXPECT_FALSE(p.state.screen.main.element[41].visible);
    EXPECT_EQ(p.state.screen.main.element[41].x, 41);
    EXPECT_EQ(p.state.model.StepKind[1][1], "");
    EXPECT_EQ(p.state.MeterName1, "");
}

TEST(LayoutStore, AMissingPictureStopsTheReadBeforeAddressesAndNames) {
    LayoutProgram p;
    p.writeFile(kStore, LayoutProgram::storeFile());
    QFile::remove(p.folder.filePath("Tekeningen/Sen20L.bmp"));
    Lezen(p.state);
    ASSERT_EQ(p.reporter.messages.size(), 1u);
    EXPECT_NE(p.reporter.messages[0].find("Sen20L.bmp"), std::string::npos);
    EXPECT_EQ(p.state.screen.main.element[7].x, 7);
    EXPECT_EQ(p.state.screen.main.meterButtonCaption[1], "V1");
    EXPECT_EQ(p.drawingColour(82), test::inactiveSensorColour(19));
    EXPECT_EQ(p.state.pins.PinAddress[0], 0);
    EXPECT_FALSE(p.state.layoutWindows.readSave.closeRequested);
}

TEST(LayoutStore, AMissingAddressFileLeavesLayoutAppliedAndPinsAsTheyWere) {
    LayoutProgram p;
    p.writeFile(kStore, LayoutProgram::storeFile());
    QFile::remove(p.folder.filePath("Vastedata/AdresData.txt"));
    Lezen(p.state);
    EXPECT_EQ(p.reporter.messages, std::vector<std::string>{"File not found"});
    EXPECT_EQ(p.state.screen.main.element[7].x, 7);
    EXPECT_EQ(p.state.pins.PinAddress[5], 5);
    EXPECT_EQ(p.state.pins.PinName[5], "leeg5");
}

TEST(LayoutStore, AFailedSaveKeepsThePreviousStoreAndTheWindowOpen) {
    LayoutProgram p;
    const std::string previous = LayoutProgram::storeFile();
    p.writeFile(kStore, previous);
    Vrijmaken(p.state);
    {
        const ScopedWriteFailure diskFull(2000);
        Opslaan(p.state);
    }
    EXPECT_EQ(p.reporter.messages.size(), 1u);
    EXPECT_EQ(p.readFile(kStore), previous);
    EXPECT_FALSE(p.state.layoutWindows.readSave.closeRequested);
    EXPECT_TRUE(p.state.layoutWindows.readSave.saveEnabled);
}

// Hand-edited and damaged files: long lines, garbage, huge and negative
// numbers. Nothing may crash or reach outside a table.
TEST(LayoutStore, DamagedFilesNeverCrash) {
    LayoutProgram p;
    const char* files[] = {kStore, "Vastedata/AdresData.txt", "Vastedata/NaamData.txt"};
    std::mt19937 random(907);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(random() % 4000, '\0');
        for (char& c : bytes) c = random() % 3 ? "0123456789-\r\n \t"[random() % 16] : static_cast<char>(random());
        if (round % 10 == 0) bytes = std::string(10000, 'x') + "\r\n" + bytes;
        p.writeFile(files[round % 3], bytes);
        // A sound store lets the Read get as far as the address and name files.
        if (round % 3) p.writeFile(kStore, LayoutProgram::storeFile(round % 4));
        Lezen(p.state);
    }
    for (int k = 0; k < kPins; ++k) EXPECT_LE(p.state.pins.PinName[k].size(), 7u);
    for (int e = 0; e < kLayoutElements; ++e)
        EXPECT_EQ(p.state.screen.main.element[e].visible, p.state.layout.LayoutVisible[e] == 1);
}

}  // namespace
}  // namespace blokpost

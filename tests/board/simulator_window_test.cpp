#include "board/forms/simulator_window.h"

#include "app/forms/blokpost_app.h"
#include "board/driver_board.h"
#include "board/pins.h"
#include "board/simulator_view.h"
#include "board/usb_fake_k8055.h"
#include "support/test_program.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

struct SimulatorProgram {
    explicit SimulatorProgram(DriverBoard::Opener opener = {}) {
        auto owned = std::make_unique<DriverBoard>(std::move(opener));
        driver = owned.get();
        app = std::make_unique<BlokpostApp>(folder.path(), &reporter, std::move(owned));
        window = app->formAs<TForm21>(21);
        app->showForm(21);
    }
    ProgramState& state() { return app->state(); }
    void runThroughPhase(int phase) {
        do app->tick();
        while (state().cycle.Phase != phase);
    }

    QTemporaryDir folder;
    RecordingReporter reporter;
    DriverBoard* driver = nullptr;
    std::unique_ptr<BlokpostApp> app;
    TForm21* window = nullptr;
};

TEST(SimulatorWindow, ASensorClickedInTheWindowReachesTheProgramAtTheNextReadOfItsGroup) {
    SimulatorProgram p;
    p.runThroughPhase(4);
    p.window->Button[7]->click();
    EXPECT_TRUE(p.driver->simulation().sensor(7));
    p.runThroughPhase(3);
    EXPECT_EQ(p.state().model.SensorState[7], 0);
    p.runThroughPhase(4);  // group 2 is read
    EXPECT_EQ(p.state().model.SensorState[7], 1);
    EXPECT_EQ(p.state().model.HoldFlag[7], 1);

    p.window->Button[7]->click();
    p.runThroughPhase(4);
    EXPECT_EQ(p.state().model.SensorState[7], 0);
}

TEST(SimulatorWindow, TheSlidersSetTheAnalogInputsThatPhaseFiveReads) {
    SimulatorProgram p;
    p.window->TrackBar[2]->setValue(200);
    EXPECT_EQ(p.driver->simulation().analogInput(2), 200);
    EXPECT_EQ(p.driver->ReadAnalogChannel(2), 200);
}

TEST(SimulatorWindow, ShowsTheOutputsAndTheLastPinTheDecoderTook) {
    SimulatorProgram p;
    p.state().pins.PinName[9] = "Wis5B";
    Plaat(p.state(), 5);  // pin 10, address 9
    p.runThroughPhase(4);
    const SimulatorView view = simulatorView(p.driver, p.state());
    EXPECT_TRUE(view.lamp[1] && view.lamp[4] && view.lamp[8]);
    EXPECT_FALSE(view.lamp[2] || view.lamp[3] || view.lamp[5] || view.lamp[6] || view.lamp[7]);
    EXPECT_EQ(view.selectedGroup, "Groep 2: sensoren 6..10");
    EXPECT_EQ(view.lastPin, "Pin 10  Wis5B  (adres 9)");
    EXPECT_TRUE(view.simulating);
}

TEST(SimulatorWindow, APinIsFoundByItsAddress) {
    TestProgram p;
    p.state.pins.PinAddress[3] = 77;
    p.state.pins.PinAddress[50] = 77;
    EXPECT_EQ(decodedPinText(p.state, 77), "Pin 4  leeg3  (adres 77)");
    EXPECT_EQ(decodedPinText(p.state, 3), "Adres 3: geen pin");
    EXPECT_EQ(decodedPinText(p.state, -1), "nog geen");
}

TEST(SimulatorWindow, TheSensorsCannotBeSwitchedWhileARealBoardServesTheLayout) {
    FakeK8055 fake;
    SimulatorProgram p(fake.opener());
    EXPECT_TRUE(p.window->Button[1]->isEnabled());
    EXPECT_EQ(p.driver->OpenDevice(0), 0);
    p.app->syncAll();
    EXPECT_FALSE(p.window->Button[1]->isEnabled());
    EXPECT_FALSE(p.window->TrackBar[1]->isEnabled());
    EXPECT_EQ(simulatorView(p.driver, p.state()).status, "Kaart open: de echte kaart bedient de baan");
}

TEST(SimulatorWindow, UnderABoardLibraryOnlyTheStatusIsShown) {
    TestProgram p;
    const SimulatorView view = simulatorView(nullptr, p.state);
    EXPECT_FALSE(view.outputsKnown);
    EXPECT_FALSE(view.simulating);
}

}  // namespace
}  // namespace blokpost::test

#include "scan/forms/simulator_window.h"

#include "base/forms/spin_edit.h"
#include "board/driver_board.h"
#include "board/usb_fake_k8055.h"
#include "lines/step_marker.h"
#include "scan/pins.h"
#include "scan/simulator_view.h"
#include "support/app_program.h"
#include "support/test_input.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

struct SimulatorProgram : AppProgram {
    explicit SimulatorProgram(DriverBoard::Opener opener = {})
        : AppProgram(std::make_unique<DriverBoard>(std::move(opener))), window(form<TForm21>(21)) {
        app->showForm(21);
    }
    TForm21* window;
};

// The colour the button is painted in, beside its number.
QColor shownColour(QPushButton* button) { return button->grab().toImage().pixelColor(5, 5); }
bool showsOn(QPushButton* button) { return shownColour(button) == QColor(0xFF, 0xFF, 0x00); }
bool showsStanding(QPushButton* button) { return shownColour(button) == QColor(0xFF, 0x80, 0x00); }

// A click is a train passing the contact: on for 1.5 s, then off by itself.
// Whatever the phase of the click, the scan sees it: the hold flag latches and
// the sensor state reads 1 once.
TEST(SimulatorWindow, AClickedSensorIsOnForOneAndAHalfSecondsAndTheScanAlwaysSeesIt) {
    for (int phase = 1; phase <= 8; ++phase) {
        SCOPED_TRACE("clicked after phase " + std::to_string(phase));
        SimulatorProgram p;
        p.runThroughPhase(phase);
        p.window->Button[7]->click();
        EXPECT_TRUE(p.driver()->simulation().sensor(7));
        p.app->syncAll();
        EXPECT_TRUE(showsOn(p.window->Button[7]));
        bool seen = false;
        int ticksOn = 0;
        for (int tick = 0; tick < 24; ++tick) {
            p.app->tick();
            seen = seen || p.state().model.SensorState[7] == 1;
            if (p.driver()->simulation().sensor(7)) ++ticksOn;
        }
        EXPECT_TRUE(seen);
        EXPECT_EQ(p.state().model.HoldFlag[7], 1);
        EXPECT_EQ(ticksOn, 11) << "the next 12 ticks find it on; it goes off as the 12th ends";
        EXPECT_EQ(p.state().model.SensorState[7], 0);
        EXPECT_FALSE(showsOn(p.window->Button[7]));
        EXPECT_EQ(shownColour(p.window->Button[7]), QColor(0xC0, 0xC0, 0xC0));
    }
}

// A right click is a train that stops on the contact: on until a second right click.
TEST(SimulatorWindow, ARightClickedSensorStaysOnUntilRightClickedAgain) {
    SimulatorProgram p;
    rightPress(p.window->Button[4]);
    for (int tick = 0; tick < 80; ++tick) p.app->tick();
    EXPECT_TRUE(p.driver()->simulation().sensor(4));
    EXPECT_EQ(p.state().model.SensorState[4], 1);
    EXPECT_TRUE(showsStanding(p.window->Button[4]));
    rightPress(p.window->Button[4]);
    p.runThroughPhase(2);
    EXPECT_FALSE(p.driver()->simulation().sensor(4));
    EXPECT_EQ(p.state().model.SensorState[4], 0);
    EXPECT_FALSE(showsStanding(p.window->Button[4]) || showsOn(p.window->Button[4]));

    // A train passing stops: the pulse becomes a standing train.
    p.window->Button[5]->click();
    rightPress(p.window->Button[5]);
    for (int tick = 0; tick < 24; ++tick) p.app->tick();
    EXPECT_TRUE(p.driver()->simulation().sensor(5));
}

// "Automatisch rijden": a line waiting on a sensor gets its train after the travel time.
TEST(SimulatorWindow, WithAutomaticTrainsAWaitingLineGetsItsTrain) {
    SimulatorProgram p;
    EXPECT_FALSE(p.window->CheckBox1->isChecked());
    EXPECT_EQ(p.window->SpinEdit1->value(), 8);
    EXPECT_EQ(p.window->SpinEdit1->minimum(), 2);
    EXPECT_EQ(p.window->SpinEdit1->maximum(), 60);
    p.window->SpinEdit1->setValue(4);
    p.state().model.StepKind[2][1] = kind::Sensor;
    p.state().model.StepOperand[2][1] = 9;
    ToggleLine(p.state(), 2);
    for (int tick = 0; tick < 200; ++tick) p.app->tick();
    EXPECT_EQ(p.state().model.CurrentStep[2], 1) << "no train while the box is off";

    p.window->CheckBox1->click();
    int ticks = 0;
    while (p.state().model.CurrentStep[2] == 1 && ticks < 200) {
        p.app->tick();
        ++ticks;
    }
    EXPECT_EQ(p.state().model.CurrentStep[2], 2);
    // 3..5 s of travel, then up to two cycles until the read and the step see it.
    EXPECT_GE(ticks, 3 * 8);
    EXPECT_LE(ticks, 7 * 8);
}

TEST(SimulatorWindow, TheSlidersSetTheAnalogInputsThatPhaseFiveReads) {
    SimulatorProgram p;
    p.window->TrackBar[2]->setValue(200);
    EXPECT_EQ(p.driver()->simulation().analogInput(2), 200);
    EXPECT_EQ(p.driver()->ReadAnalogChannel(2), 200);
}

TEST(SimulatorWindow, ShowsTheOutputsAndTheLastPinTheDecoderTook) {
    SimulatorProgram p;
    p.state().pins.PinName[9] = "Wis5B";
    Plaat(p.state(), 5);  // pin 10, address 9
    p.runThroughPhase(4);
    const SimulatorView view = simulatorView(p.driver(), p.state());
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
    EXPECT_EQ(p.driver()->OpenDevice(0), 0);
    p.app->syncAll();
    EXPECT_FALSE(p.window->Button[1]->isEnabled());
    EXPECT_FALSE(p.window->TrackBar[1]->isEnabled());
    EXPECT_FALSE(p.window->CheckBox1->isEnabled());
    EXPECT_FALSE(p.window->SpinEdit1->isEnabled());
    // Opened, not yet heard from: it does not yet serve the layout.
    EXPECT_EQ(simulatorView(p.driver(), p.state()).status.rfind("Kaart open, wacht op antwoord", 0), 0u);
}

TEST(SimulatorWindow, UnderABoardLibraryOnlyTheStatusIsShown) {
    TestProgram p;
    const SimulatorView view = simulatorView(nullptr, p.state);
    EXPECT_FALSE(view.outputsKnown);
    EXPECT_FALSE(view.simulating);
}

}  // namespace
}  // namespace blokpost::test

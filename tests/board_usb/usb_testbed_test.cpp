// The program's own USB driver, unchanged, against a K8055 emulated at the
// kernel's USB interface: libusb enumerates the testbed's sysfs, opens the
// device node, takes the interface from a kernel driver and runs interrupt
// transfers that the emulated board answers. Whole cycles run through the
// program with the driver board behind it.

#include "app/main_cycle.h"
#include "board/board_choice.h"
#include "board/k8055_usb_board.h"
#include "board_usb/emulated_k8055.h"
#include "scan/pins.h"
#include "scan/simulator_view.h"
#include "support/app_program.h"

#include <QCoreApplication>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
// From the address sanitizer's runtime (its header does not come with every compiler).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace blokpost::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Clock = std::chrono::steady_clock;

using namespace std::chrono_literals;

// The program's own period: the board gets the time it has in the program to
// take each selection and send a report made under it, also on a loaded machine.
constexpr auto kTickPeriod = 125ms;
// A cycle standing still this long while the board floods its IN endpoint
// would keep some two thousand finished transfers (over 100 KB) if nothing
// bounded them; bounded, the standing cycle grows the heap by a few KB at most.
constexpr auto kStandStill = 2s;
constexpr std::size_t kStandStillHeapBound = 16 * 1024;

std::size_t heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

// The time after which a failing side is told, in ticks, with a second to spare.
constexpr int kTicksToTell = static_cast<int>((kSideFailureToldAfter + 1s) / kTickPeriod);

class UsbTestbed : public ::testing::Test, protected AppProgram {
protected:
    // Each tick at the cycle's pace; between ticks the event loop runs, as in
    // the program: transfers end and the input transfer stands again.
    UsbTestbed() : AppProgram(Later{}) {
        beforeTick = [this] {
            waitUntil(lastTick_ + kTickPeriod);
            lastTick_ = Clock::now();
        };
    }
    void SetUp() override {
        if (!UsbTestbedDirectory::active()) GTEST_FAIL() << "run under umockdev's preload library (ctest sets it up)";
        writePicture("VasteData/Wijzerplaat1.bmp", 159, 152);
        writePicture("VasteData/Wijzerplaat2.bmp", 159, 152);
    }
    void TearDown() override {
        app.reset();
        boards_.clear();
    }

    EmulatedK8055& addBoard(int address) {
        boards_.push_back(std::make_unique<EmulatedK8055>(testbed_.testbed(), address));
        return *boards_.back();
    }
    void start() { AppProgram::start(std::make_unique<DriverBoard>(usbBoardOpener())); }
    // "K8055n", expecting the board to be found once it has answered.
    void kaart() {
        Kaart(state());
        for (int i = 0; i < 8 && (reporter.messages.empty() || reporter.messages.back() != "Kaart gevonden"); ++i) tick();
        ASSERT_EQ(reporter.messages.back(), "Kaart gevonden");
    }

    // Runs the event loop until shortly before the next tick is due.
    void waitUntilJustBeforeNextTick() { waitUntil(lastTick_ + kTickPeriod - 30ms); }
    static void waitUntil(Clock::time_point until) {
        while (Clock::now() < until) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(1ms);
        }
    }
    std::string status() { return simulatorView(driver(), state()).status; }

private:
    UsbTestbedDirectory testbed_;
    std::vector<std::unique_ptr<EmulatedK8055>> boards_;
    Clock::time_point lastTick_ = Clock::now();
};

TEST_F(UsbTestbed, KaartOpensCardZeroTakingItFromTheKernelDriverAndGivesItBack) {
    EmulatedK8055& board = addBoard(0);
    board.setKernelDriver("daqboard");
    start();
    kaart();
    EXPECT_THAT(reporter.messages, ElementsAre("Kaart gevonden"));
    EXPECT_EQ(driver()->mode(), DriverBoard::Mode::RealBoardOpen);
    EXPECT_EQ(board.kernelDriver(), "");
    EXPECT_TRUE(board.interfaceClaimed());
    Kaart(state());  // the open board is kept, not opened twice
    EXPECT_EQ(reporter.messages.back(), "Kaart gevonden");
    EXPECT_EQ(board.traffic().opens, 1);
    app.reset();
    EXPECT_FALSE(board.interfaceClaimed());
    EXPECT_EQ(board.kernelDriver(), "daqboard");
}

TEST_F(UsbTestbed, ABoardHeldByAnotherProgramIsNamedSoInTheOperatorsWords) {
    addBoard(0);
    start();
    kaart();
    DriverBoard otherProgram(usbBoardOpener());
    EXPECT_EQ(otherProgram.OpenDevice(0), -1);
    EXPECT_THAT(otherProgram.openProblem(), HasSubstr("Een ander programma houdt de kaart bezet"));
    EXPECT_THAT(otherProgram.openProblem(), HasSubstr("(Claim: "));
}

// Card 0 serves the layout; card 1 beside it is found only at its own address.
TEST_F(UsbTestbed, WithTwoBoardsOnTheBusCardZeroServesTheLayoutAndCardOneIsLeftAlone) {
    EmulatedK8055& card1 = addBoard(1);
    card1.setSensor(3, true);
    start();
    Kaart(state());
    EXPECT_THAT(reporter.messages, ElementsAre("Geen kaart gevonden op 0"));
    EXPECT_EQ(card1.traffic().opens, 0);
    EmulatedK8055& card0 = addBoard(0);
    card0.setSensor(2, true);
    kaart();
    ticks(16);
    EXPECT_THAT(sensorsOn(), ElementsAre(2));
    EXPECT_EQ(card1.traffic().opens, 0);
    EXPECT_EQ(card1.outputs(), EmulatedOutputs{});
    DriverBoard other(usbBoardOpener());
    EXPECT_EQ(other.OpenDevice(1), 0);
}

TEST_F(UsbTestbed, SensorsReachTheProgramThroughTheSelectorAndAnalogInputsReachTheMeters) {
    EmulatedK8055& board = addBoard(0);
    for (int s : {2, 7, 13, 20}) board.setSensor(s, true);
    board.setAnalogInputs(0, 255);
    board.setCounters(40000, 7);
    start();
    kaart();
    ticks(16);
    for (int s = 1; s <= kSensors; ++s)
        EXPECT_EQ(state().model.SensorState[s], s == 2 || s == 7 || s == 13 || s == 20 ? 1 : 0) << "sensor " << s;
    // Input 0 stands the needle of meter 1 straight left, 255 that of meter 2 upright.
    const auto& meter = state().screen.display.meter;
    EXPECT_EQ(meter[1].pixel(35, 131), kBlack);
    EXPECT_NE(meter[1].pixel(138, 20), kBlack);
    EXPECT_EQ(meter[2].pixel(138, 20), kBlack);
    EXPECT_NE(meter[2].pixel(35, 131), kBlack);
    // The counters travel too, though the cycle has no use for them.
    const auto* usb = dynamic_cast<const K8055UsbBoard*>(driver()->realBoard());
    ASSERT_NE(usb, nullptr);
    EXPECT_EQ(usb->lastInput().counter[0], 40000);
    EXPECT_EQ(usb->lastInput().counter[1], 7);
}

TEST_F(UsbTestbed, AnUnpluggedBoardLeavesTheCycleRunningQuietlyUntilKaartOpensItAgain) {
    EmulatedK8055& board = addBoard(0);
    board.setSensor(4, true);
    start();
    kaart();
    ticks(8);
    ASSERT_EQ(state().model.SensorState[4], 1);

    board.unplug();
    ticks(8);
    EXPECT_EQ(driver()->mode(), DriverBoard::Mode::Unplugged);
    EXPECT_THAT(status(), HasSubstr("Kaart losgekoppeld"));
    EXPECT_THAT(reporter.messages, ElementsAre("Kaart gevonden", kBoardLostNotice));
    EXPECT_EQ(state().model.SensorState[4], 0);
    // Nothing more reaches the device, however long the layout runs.
    const int ioctls = board.traffic().ioctls;
    ticks(16);
    EXPECT_EQ(board.traffic().ioctls, ioctls);
    Kaart(state());
    EXPECT_EQ(reporter.messages.back(), "Geen kaart gevonden op 0");

    board.plugIn();
    kaart();
    ticks(8);
    EXPECT_EQ(driver()->mode(), DriverBoard::Mode::RealBoardOpen);
    EXPECT_EQ(state().model.SensorState[4], 1);

    // Unplugged again and plugged in until the bus's device numbers have gone
    // round to the one the open file had: that file stays dead, the board is
    // told lost once more and "K8055n" opens the new device.
    const std::string node = board.devnode();
    board.unplug();
    ticks(2);
    do {
        board.plugIn();
        if (board.devnode() != node) board.unplug();
    } while (!board.pluggedIn());
    ticks(8);
    EXPECT_EQ(driver()->mode(), DriverBoard::Mode::Unplugged);
    EXPECT_EQ(reporter.messages.back(), kBoardLostNotice);
    kaart();
    ticks(8);
    EXPECT_EQ(state().model.SensorState[4], 1);
}

// What only libusb shows of a failing side (the rest runs on the fake board's
// clock): reports of the wrong length, stalls cleared by a control request
// that may be slow or hang, no spin. Sensor 1 is on; 6, 11, 16 never read on.
TEST_F(UsbTestbed, AFailingSideReadsSensorsOffAndIsToldOnce) {
    struct Case {
        const char* what;
        std::function<void(EmulatedK8055&)> fault;
        DriverBoard::Mode mode;
        std::vector<std::string> told;
    };
    const std::vector<Case> cases = {
        {"IN stalls for good", [](EmulatedK8055& b) { b.setBehaviour(BoardBehaviour::StallsInputs); },
         DriverBoard::Mode::InputsSilent, {"Kaart gevonden", kInputsSilentNotice}},
        {"reports of 4 bytes", [](EmulatedK8055& b) { b.setInputReportLength(4); }, DriverBoard::Mode::InputsSilent,
         {"Kaart gevonden", kInputsSilentNotice}},
        {"reports of 16 bytes", [](EmulatedK8055& b) { b.setInputReportLength(16); }, DriverBoard::Mode::InputsSilent,
         {"Kaart gevonden", kInputsSilentNotice}},
        {"OUT stalls", [](EmulatedK8055& b) { b.setBehaviour(BoardBehaviour::StallsOutputs); },
         DriverBoard::Mode::OutputsRefused, {"Kaart gevonden", kOutputsRefusedNotice}},
        {"IN stalls once, the clear takes 25 ms",
         [](EmulatedK8055& b) { b.setControlTime(25ms), b.setBehaviour(BoardBehaviour::StallsInputOnce); },
         DriverBoard::Mode::RealBoardOpen, {"Kaart gevonden"}},
        {"IN stalls once, the control pipe hangs",
         [](EmulatedK8055& b) { b.setControlTime(-1ms), b.setBehaviour(BoardBehaviour::StallsInputOnce); },
         DriverBoard::Mode::InputsSilent, {"Kaart gevonden", kHaltStuckNotice, kInputsSilentNotice}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EmulatedK8055& board = addBoard(0);
        board.setSensor(1, true);
        start();
        kaart();
        ticks(8);
        ASSERT_THAT(sensorsOn(), ElementsAre(1));
        c.fault(board);
        const int inputTransfers = board.traffic().inputUrbs;
        for (int i = 0; i < kTicksToTell; ++i) {
            tick();
            EXPECT_THAT(sensorsOn(), testing::IsSubsetOf({1})) << "tick " << i;
            for (int s : {6, 11, 16}) EXPECT_EQ(state().model.HoldFlag[s], 0) << "sensor " << s;
        }
        EXPECT_EQ(driver()->mode(), c.mode);
        EXPECT_EQ(reporter.messages, c.told);
        const UsbTraffic traffic = board.traffic();
        // A stalled input is asked for again once its halt is cleared, at a tick's collect: no spin.
        if (c.mode == DriverBoard::Mode::InputsSilent) {
            EXPECT_LE(traffic.inputUrbs - inputTransfers, 2 * kTicksToTell + 1);
        }
        // Clears the board does not answer are tried again after a growing wait: 4 in 4 s.
        EXPECT_TRUE(traffic.endpointResets > 0 || traffic.clearHalts <= 5) << traffic.clearHalts << " clears";
        // Each clear the board answered reset the host's side of the endpoint too.
        if (c.mode == DriverBoard::Mode::RealBoardOpen) {
            EXPECT_EQ(traffic.endpointResets, traffic.clearHalts);
        }
        if (c.mode != DriverBoard::Mode::RealBoardOpen) {
            EXPECT_TRUE(c.mode == DriverBoard::Mode::OutputsRefused || sensorsOn().empty());
            Kaart(state());
            EXPECT_EQ(reporter.messages.back(), "Geen kaart gevonden op 0");
        } else {
            EXPECT_THAT(sensorsOn(), ElementsAre(1));
        }
        app.reset();
        reporter.messages.clear();
        board.unplug();
    }
}

TEST_F(UsbTestbed, ADeviceWhoseEndpointsDoNotFitIsRefusedNamingWhatDoesNotFit) {
    EmulatedK8055& board = addBoard(0);
    board.unplug();
    board.setInInterval(64);
    board.plugIn();
    start();
    Kaart(state());
    EXPECT_THAT(reporter.messages, ElementsAre("Geen kaart gevonden op 0"));
    EXPECT_THAT(driver()->openProblem(), HasSubstr("IN-eindpunt dat elke 64 ms gelezen wil worden"));
}

// A board pulled out while "K8055n" opens it is named gone, never a board
// that refuses its outputs.
TEST_F(UsbTestbed, ABoardPulledOutDuringKaartIsToldGone) {
    struct Case {
        UnplugMoment moment;
        const char* what;
        std::vector<std::string> told;
        DriverBoard::Mode mode;
        const char* problem;
    };
    const std::vector<Case> cases = {
        {UnplugMoment::AtClaim, "as the interface is taken", {"Geen kaart gevonden op 0"},
         DriverBoard::Mode::Simulated, "De kaart is weg: ze werd losgekoppeld terwijl ze geopend werd (Claim: "},
        {UnplugMoment::AtNextInputTransfer, "as the first input report is asked for", {kBoardLostNotice},
         DriverBoard::Mode::Unplugged, ""},
        {UnplugMoment::AtNextOutputTransfer, "as the cycle's outputs go out", {kBoardLostNotice},
         DriverBoard::Mode::Unplugged, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EmulatedK8055& board = addBoard(0);
        start();
        board.unplugAt(c.moment);
        Kaart(state());
        EXPECT_THAT(driver()->openProblem(), HasSubstr(c.problem));
        ticks(kTicksToTell);
        EXPECT_EQ(reporter.messages, c.told);
        EXPECT_EQ(driver()->mode(), c.mode);
        app.reset();
        reporter.messages.clear();
        board.unplug();
    }
}

// A board that takes up to 25 ms for every transfer, or floods its IN
// endpoint with a report every millisecond, serves the layout as a quick one
// does: every sensor of each group, the pin's address (outputs 1 and 4) then
// its strobe two ticks later, all clear in phase 8, and nothing told. While
// the cycle stands still the reports the bus keeps finishing take no memory
// beyond a small bound.
TEST_F(UsbTestbed, ASlowOrFloodingBoardServesTheLayoutAsAQuickOne) {
    writePicture("Tekeningen/Tek10.bmp", 159, 152);
    struct Case {
        const char* what;
        std::chrono::milliseconds transfer;
        std::chrono::milliseconds reportPeriod = EmulatedK8055::kReportPeriod;
    };
    const std::vector<Case> cases = {
        {"25 ms a transfer", 25ms}, {"a report every millisecond", 0ms, 1ms},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EmulatedK8055& board = addBoard(0);
        board.setTransferTime(c.transfer);
        board.setReportPeriod(c.reportPeriod);
        for (int s : {2, 7, 13, 20}) board.setSensor(s, true);
        start();
        kaart();
        runThroughPhase(8);
        ticks(8);
        EXPECT_THAT(sensorsOn(), ElementsAre(2, 7, 13, 20));
        Plaat(state(), 5);  // pin 10, address 9
        std::vector<std::uint8_t> digitalBeforeNextTick;
        for (int phase = 1; phase <= 8; ++phase) {
            tick();
            waitUntil(Clock::now() + kTickPeriod - 5ms);
            digitalBeforeNextTick.push_back(board.outputs().digital);
        }
        EXPECT_THAT(digitalBeforeNextTick, ElementsAre(0, 0x09, 0x09, 0x89, 0x89, 0x89, 0x89, 0));
        EXPECT_THAT(sensorsOn(), ElementsAre(2, 7, 13, 20));

        const UsbTraffic before = board.traffic();
        const int inputTransfersBefore = before.inputUrbs;
        const std::size_t heapBefore = heapInUse();
        waitUntil(Clock::now() + kStandStill);
        const std::size_t heapAfter = heapInUse();
        const std::size_t heapGrowth = heapAfter > heapBefore ? heapAfter - heapBefore : 0;
        // Readiness as the kernel gives it: a submission and a reap or two per transfer, no spin.
        const UsbTraffic after = board.traffic();
        EXPECT_LE(after.ioctls - before.ioctls, 4 * (after.inputUrbs - before.inputUrbs) + 20);
        EXPECT_LT(heapGrowth, kStandStillHeapBound)
            << board.traffic().inputUrbs - inputTransfersBefore << " input reports while standing still";
        ticks(8);
        EXPECT_THAT(sensorsOn(), ElementsAre(2, 7, 13, 20));
        EXPECT_THAT(reporter.messages, ElementsAre("Kaart gevonden"));
        EXPECT_EQ(driver()->mode(), DriverBoard::Mode::RealBoardOpen);
        app.reset();
        reporter.messages.clear();
        board.unplug();
    }
}

}  // namespace
}  // namespace blokpost::test

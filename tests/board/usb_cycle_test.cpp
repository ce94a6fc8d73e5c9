// The USB board under the running program: whole cycles through Hoofdlus on
// the fake board's clock, a board opened mid-cycle, each way the board can
// fail and what the operator is told.

#include "app/main_cycle.h"
#include "board/usb_fake_k8055.h"
#include "scan/pins.h"
#include "scan/simulator_view.h"
#include "support/app_program.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using namespace std::chrono_literals;

// The fake board outlives the program that drives it.
struct FakeHolder {
    FakeK8055 fake;
};

// Each tick 125 ms on the fake board's clock.
struct UsbProgram : FakeHolder, AppProgram {
    UsbProgram() : AppProgram(std::make_unique<DriverBoard>(fake.opener()), [this] { fake.advance(125ms); }) {}
    DriverBoard* board = driver();
    std::string status() { return simulatorView(board, state()).status; }
};

TEST(UsbCycle, SensorsAndAPinTravelThroughWholeCyclesOneReportATick) {
    UsbProgram p;
    Kaart(p.state());
    EXPECT_TRUE(p.reporter.messages.empty());  // said once the board has answered
    p.fake.sensors[2] = p.fake.sensors[7] = p.fake.sensors[13] = p.fake.sensors[20] = true;
    p.runThroughPhase(8);
    p.ticks(8);
    Plaat(p.state(), 5);  // pin 10, address 9
    p.fake.sent.clear();
    // The reports the board has taken when each tick ends: a report goes out
    // at the end of its tick and is seen taken at the next.
    std::vector<std::size_t> takenAtTick;
    for (int i = 0; i < 8; ++i) {
        p.tick();
        takenAtTick.push_back(p.fake.sent.size());
    }
    p.tick();
    // Address 9 on outputs 1 and 4 in phase 2, the strobe in phase 4, all off in phase 8;
    // the group codes in phases 1, 3, 5, 7. Phase 6 changes nothing and sends nothing.
    const auto report = [](std::uint8_t d, std::uint8_t a1, std::uint8_t a2) { return UsbReport{5, d, a1, a2, 0, 0, 0, 0}; };
    EXPECT_THAT(p.fake.sent, ElementsAre(report(0, 0, 255), report(0x09, 0, 255), report(0x09, 255, 255),
                                         report(0x89, 255, 255), report(0x89, 255, 0), report(0x89, 0, 0),
                                         report(0, 0, 0)));
    EXPECT_THAT(takenAtTick, ElementsAre(0, 1, 2, 3, 4, 5, 5, 6));
    EXPECT_THAT(p.sensorsOn(), ElementsAre(2, 7, 13, 20));
}

// "K8055n" pressed after each phase: the board starts from the outputs the
// cycle holds, so the decoder takes address 9 and sensor 16 is read as 16.
TEST(UsbCycle, ABoardOpenedMidCycleStartsFromTheCyclesOutputs) {
    for (int phase = 1; phase <= 8; ++phase) {
        SCOPED_TRACE(testing::Message() << "opened after phase " << phase);
        UsbProgram p;
        p.fake.sensors[16] = true;
        p.runThroughPhase(8);
        Plaat(p.state(), 5);
        p.runThroughPhase(phase);
        Kaart(p.state());
        // Out at once, not at the tick's end: the cycle's outputs as they stand.
        const auto& s = p.board->simulation();
        ASSERT_THAT(p.fake.offered, ElementsAre(UsbReport{5, s.digitalOutputs(), static_cast<std::uint8_t>(s.analogOutput(1)),
                                                          static_cast<std::uint8_t>(s.analogOutput(2)), 0, 0, 0, 0}));
        p.runThroughPhase(8);
        for (const UsbReport& sent : p.fake.sent) {
            if (sent[1] & 0x80) {
                EXPECT_EQ(sent[1] & 0x7F, 9) << "strobe with address " << (sent[1] & 0x7F);
            }
        }
        EXPECT_TRUE(p.sensorsOn().empty() || p.sensorsOn() == std::vector<int>{16});
        p.ticks(8);
        EXPECT_THAT(p.sensorsOn(), ElementsAre(16));
    }
}

// The fault table. Sensor 1 is on; 6, 11 and 16 are not. The board serves
// the layout for two seconds, then the fault comes (if any); for five
// seconds, and two more after a recovery, no sensor is read that the board
// did not show, and while the fault lasts the Simulator window never says the
// board serves the layout. Then the board is in the row's mode and the
// operator has been told exactly the row's notices.
struct FaultCase {
    const char* what;
    std::function<void(UsbProgram&)> plugged;  // the board as it is when "K8055n" opens it
    std::function<void(UsbProgram&)> fault;
    DriverBoard::Mode mode;
    std::vector<std::string> told;
    std::function<void(UsbProgram&)> recovery = nullptr;
};

const auto healthy = [](UsbProgram&) {};
const std::string kFound = "Kaart gevonden";
using Mode = DriverBoard::Mode;

const FaultCase kFaults[] = {
    {"healthy", healthy, healthy, Mode::RealBoardOpen, {kFound}},
    {"IN stalls once", healthy, [](UsbProgram& p) { p.fake.inputs = FakeSide::Fails; p.tick(); p.fake.inputs = FakeSide::Works; },
     Mode::RealBoardOpen, {kFound}},
    {"IN stalls", healthy, [](UsbProgram& p) { p.fake.inputs = FakeSide::Fails; }, Mode::InputsSilent,
     {kFound, kInputsSilentNotice}},
    {"IN silent", healthy, [](UsbProgram& p) { p.fake.inputs = FakeSide::Silent; }, Mode::InputsSilent,
     {kFound, kInputsSilentNotice}},
    {"another card's reports", healthy, [](UsbProgram& p) { p.fake.statusOffset = 2; }, Mode::InputsSilent,
     {kFound, kInputsSilentNotice}},
    {"a halt the board will not let be cleared", healthy,
     [](UsbProgram& p) { p.fake.inputs = FakeSide::Fails, p.fake.haltStuck = true; }, Mode::InputsSilent,
     {kFound, kHaltStuckNotice, kInputsSilentNotice}},
    {"OUT stalls", healthy, [](UsbProgram& p) { p.fake.outputs = FakeSide::Fails; }, Mode::OutputsRefused,
     {kFound, kOutputsRefusedNotice}},
    {"OUT times out", healthy, [](UsbProgram& p) { p.fake.outputs = FakeSide::Silent; }, Mode::OutputsRefused,
     {kFound, kOutputsRefusedNotice}},
    {"OUT refused, then taken again", healthy, [](UsbProgram& p) { p.fake.outputs = FakeSide::Fails; },
     Mode::RealBoardOpen, {kFound, kOutputsRefusedNotice}, [](UsbProgram& p) { p.fake.outputs = FakeSide::Works; }},
    {"board silent", healthy, [](UsbProgram& p) { p.fake.inputs = p.fake.outputs = FakeSide::Silent; },
     Mode::BoardSilent, {kFound, kBoardSilentNotice}},
    // The outputs prove themselves a tick before the inputs can: nothing is told on recovery.
    {"board silent, then answering again", healthy,
     [](UsbProgram& p) { p.fake.inputs = p.fake.outputs = FakeSide::Silent; }, Mode::RealBoardOpen,
     {kFound, kBoardSilentNotice}, [](UsbProgram& p) { p.fake.inputs = p.fake.outputs = FakeSide::Works; }},
    {"silent already when opened", [](UsbProgram& p) { p.fake.inputs = p.fake.outputs = FakeSide::Silent; }, healthy,
     Mode::BoardSilent, {kBoardSilentNotice}},
    {"unplugged", healthy, [](UsbProgram& p) { p.fake.plugged = false; }, Mode::Unplugged, {kFound, kBoardLostNotice}},
    {"slow, 25 ms a transfer", [](UsbProgram& p) { p.fake.transferTime = 25ms; }, healthy, Mode::RealBoardOpen,
     {kFound}},
    {"a report every poll of 1 ms", [](UsbProgram& p) { p.fake.interval = p.fake.reportPeriod = 1ms; }, healthy,
     Mode::RealBoardOpen, {kFound}},
    {"too slow, 80 ms a transfer", healthy, [](UsbProgram& p) { p.fake.transferTime = 80ms; }, Mode::BoardTooSlow,
     {kFound, kBoardTooSlowNotice}},
    // The program busy for 80 ms before group 2's selection: the board holds
    // four reports of group 1, makes no more and hands them over after it.
    {"busy before a selection, then no new reports", [](UsbProgram& p) { p.fake.interval = 10ms; },
     [](UsbProgram& p) {
         p.runThroughPhase(2);
         p.fake.advance(45ms);
         p.fake.busy(80ms);
         p.fake.quietFrom = p.fake.now;
         p.app->tick();
     },
     Mode::InputsSilent, {kFound, kInputsSilentNotice}},
    // Group 1's report, asked for before group 2's selection, comes only
    // after it, as group 2 is read: that read gives all off.
    {"a report handed over late", healthy,
     [](UsbProgram& p) {
         p.runThroughPhase(2);
         p.fake.lateUntil = p.fake.now + 250ms;
     },
     Mode::RealBoardOpen, {kFound}},
};

TEST(UsbCycle, EachFaultReadsNoSensorTheBoardDidNotShowAndIsToldAsItIs) {
    for (const FaultCase& c : kFaults) {
        SCOPED_TRACE(c.what);
        UsbProgram p;
        p.fake.sensors[1] = true;
        c.plugged(p);
        Kaart(p.state());
        p.ticks(16);
        c.fault(p);
        const auto watch = [&](int ticks, bool faulty) {
            for (int i = 0; i < ticks; ++i) {
                p.tick();
                EXPECT_THAT(p.sensorsOn(), testing::IsSubsetOf({1})) << "tick " << i;
                for (int s : {6, 11, 16}) EXPECT_EQ(p.state().model.HoldFlag[s], 0) << "sensor " << s;
                if (faulty && i >= 2) {
                    EXPECT_THAT(p.status(), Not(HasSubstr("bedient de baan"))) << "tick " << i;
                }
            }
        };
        watch(40, c.mode != Mode::RealBoardOpen || c.recovery);
        if (c.recovery) {
            c.recovery(p);
            watch(16, false);
        }
        EXPECT_EQ(p.board->mode(), c.mode);
        EXPECT_EQ(p.reporter.messages, c.told);
        Kaart(p.state());
        EXPECT_EQ(p.reporter.messages.back(), c.mode == Mode::RealBoardOpen ? kFound : "Geen kaart gevonden op 0");
        if (c.mode == Mode::RealBoardOpen) {
            EXPECT_THAT(p.sensorsOn(), ElementsAre(1));
        } else if (c.mode != Mode::OutputsRefused) {
            EXPECT_TRUE(p.sensorsOn().empty());
        }
    }
}

// In the first seconds of a failing side, before anything is told, "K8055n"
// does not call the board found, and sends it all its outputs again.
TEST(UsbCycle, KaartWhileASideHasJustStartedFailingFindsNoBoardAndSendsTheOutputsAgain) {
    UsbProgram p;
    Kaart(p.state());
    p.ticks(16);
    p.fake.inputs = FakeSide::Fails;
    p.ticks(8);
    ASSERT_EQ(p.board->mode(), Mode::Waiting);
    const std::size_t offered = p.fake.offered.size();
    Kaart(p.state());
    EXPECT_EQ(p.reporter.messages.back(), "Geen kaart gevonden op 0");
    EXPECT_EQ(p.board->openProblem(), kInputsSilentProblem);
    EXPECT_EQ(p.fake.offered.size(), offered + 1);
}

TEST(UsbCycle, AnUnpluggedBoardIsOpenedAgainWhenPluggedIn) {
    UsbProgram p;
    p.fake.sensors[4] = true;
    p.fake.analog = {200, 7};
    Kaart(p.state());
    p.ticks(8);
    p.fake.plugged = false;
    p.tick();
    const std::size_t offered = p.fake.offered.size();
    p.ticks(40);
    EXPECT_EQ(p.fake.offered.size(), offered);  // nothing more goes out
    EXPECT_EQ(p.board->ReadAnalogChannel(1), 0);
    // The simulation does not step in for a board that failed.
    p.board->simulation().setSensor(4, true);
    EXPECT_TRUE(p.sensorsOn().empty());
    p.fake.plugged = true;
    Kaart(p.state());
    p.ticks(8);
    EXPECT_THAT(p.reporter.messages, ElementsAre(kFound, kBoardLostNotice, kFound));
    EXPECT_THAT(p.sensorsOn(), ElementsAre(4));
    EXPECT_EQ(p.fake.connections, 2);
}

TEST(UsbCycle, WithoutABoardTheSimulationAnswers) {
    UsbProgram p;
    p.fake.plugged = false;
    Kaart(p.state());
    EXPECT_EQ(p.reporter.messages.back(), "Geen kaart gevonden op 0");
    EXPECT_EQ(p.board->mode(), DriverBoard::Mode::Simulated);
    p.board->simulation().setSensor(9, true);
    p.ticks(8);
    EXPECT_THAT(p.sensorsOn(), ElementsAre(9));
    EXPECT_TRUE(p.fake.sent.empty());
}

}  // namespace
}  // namespace blokpost::test

// The USB board under the running program: whole cycles through Hoofdlus on
// the fake board's clock, a board opened mid-cycle, each way the board can
// fail and what the operator is told.

#include "app/forms/blokpost_app.h"
#include "app/main_cycle.h"
#include "board/usb_fake_k8055.h"
#include "scan/pins.h"
#include "scan/simulator_view.h"
#include "support/test_program.h"

#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace std::chrono_literals;

struct UsbProgram {
    UsbProgram() {
        auto driver = std::make_unique<DriverBoard>(fake.opener());
        board = driver.get();
        app = std::make_unique<BlokpostApp>(folder.path(), &reporter, std::move(driver));
    }

    // One tick of 125 ms on the board's clock.
    void tick() {
        fake.advance(125ms);
        app->tick();
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) tick();
    }
    void runThroughPhase(int phase) {
        do tick();
        while (state().cycle.Phase != phase);
    }
    ProgramState& state() { return app->state(); }
    std::vector<int> sensorsOn() {
        std::vector<int> on;
        for (int s = 1; s <= kSensors; ++s)
            if (state().model.SensorState[s] == 1) on.push_back(s);
        return on;
    }
    std::string status() { return simulatorView(board, state()).status; }

    QTemporaryDir folder;
    FakeK8055 fake;
    RecordingReporter reporter;
    DriverBoard* board = nullptr;
    std::unique_ptr<BlokpostApp> app;
};

TEST(UsbCycle, SensorsAndAPinTravelThroughWholeCyclesOneReportATick) {
    UsbProgram p;
    Kaart(p.state());
    EXPECT_THAT(p.reporter.messages, ElementsAre("Kaart gevonden"));
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
        ASSERT_EQ(p.reporter.messages.back(), "Kaart gevonden");
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

// Sensor 1 is on; 6, 11 and 16 are not. Whatever fails, no sensor is read
// that the board did not show, the operator is told once, the Simulator says
// it while it lasts and "K8055n" does not call the board found.
TEST(UsbCycle, EachFailureReadsSensorsOffAndIsToldOnce) {
    struct Case {
        const char* what;
        std::function<void(FakeK8055&)> fault;
        DriverBoard::Mode mode;
        const char* notice;
        const char* status;
    };
    const Case cases[] = {
        {"inputs stall", [](FakeK8055& f) { f.inputs = FakeSide::Fails; }, DriverBoard::Mode::InputsSilent,
         kInputsSilentNotice, "geen ingangen"},
        {"inputs silent", [](FakeK8055& f) { f.inputs = FakeSide::Silent; }, DriverBoard::Mode::InputsSilent,
         kInputsSilentNotice, "geen ingangen"},
        {"outputs stall", [](FakeK8055& f) { f.outputs = FakeSide::Fails; }, DriverBoard::Mode::OutputsRefused,
         kOutputsRefusedNotice, "uitgangen komen niet aan"},
        {"board silent", [](FakeK8055& f) { f.inputs = f.outputs = FakeSide::Silent; }, DriverBoard::Mode::BoardSilent,
         kBoardSilentNotice, "Kaart stil"},
        {"unplugged", [](FakeK8055& f) { f.plugged = false; }, DriverBoard::Mode::Unplugged, kBoardLostNotice,
         "Kaart losgekoppeld"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UsbProgram p;
        p.fake.sensors[1] = true;
        Kaart(p.state());
        p.ticks(16);
        ASSERT_THAT(p.sensorsOn(), ElementsAre(1));
        c.fault(p.fake);
        for (int i = 0; i < 40; ++i) {
            p.tick();
            EXPECT_THAT(p.sensorsOn(), testing::IsSubsetOf({1})) << "tick " << i;
            for (int s : {6, 11, 16}) EXPECT_EQ(p.state().model.HoldFlag[s], 0) << "sensor " << s;
        }
        EXPECT_TRUE(p.sensorsOn().empty());
        EXPECT_EQ(p.board->mode(), c.mode);
        EXPECT_THAT(p.reporter.messages, ElementsAre("Kaart gevonden", c.notice));
        EXPECT_THAT(p.status(), HasSubstr(c.status));
        Kaart(p.state());
        EXPECT_EQ(p.reporter.messages.back(), "Geen kaart gevonden op 0");
    }
}

TEST(UsbCycle, ABoardThatWorksAgainIsFoundAndServesTheLayout) {
    for (bool unplug : {false, true}) {
        SCOPED_TRACE(unplug ? "unplugged and plugged in again" : "outputs refused, then taken");
        UsbProgram p;
        p.fake.sensors[4] = true;
        Kaart(p.state());
        p.ticks(8);
        if (unplug) p.fake.plugged = false;
        else p.fake.outputs = FakeSide::Fails;
        p.ticks(40);
        EXPECT_TRUE(p.sensorsOn().empty());
        // The simulation does not step in for a board that failed.
        p.board->simulation().setSensor(4, true);
        p.fake.plugged = true;
        p.fake.outputs = FakeSide::Works;
        Kaart(p.state());
        if (!unplug) {
            EXPECT_EQ(p.reporter.messages.back(), "Geen kaart gevonden op 0");
            p.ticks(2);
            Kaart(p.state());
        }
        EXPECT_EQ(p.reporter.messages.back(), "Kaart gevonden");
        p.ticks(8);
        EXPECT_EQ(p.board->mode(), DriverBoard::Mode::RealBoardOpen);
        EXPECT_THAT(p.sensorsOn(), ElementsAre(4));
        EXPECT_EQ(p.fake.connections, unplug ? 2 : 1);
    }
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

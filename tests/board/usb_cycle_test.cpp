// The USB board under the running program: the traffic of whole cycles, and
// a board unplugged and plugged in again while the layout runs.

#include "app/forms/blokpost_app.h"
#include "app/main_cycle.h"
#include "board/pins.h"
#include "board/simulator_view.h"
#include "board/usb_fake_k8055.h"
#include "support/test_program.h"

#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

using ::testing::ElementsAre;

struct UsbProgram {
    UsbProgram() {
        auto driver = std::make_unique<DriverBoard>(fake.opener());
        board = driver.get();
        app = std::make_unique<BlokpostApp>(folder.path(), &reporter, std::move(driver));
    }

    // One tick with `reports` input reports queued by the board since the last one.
    void tick(int reports = 3) {
        fake.poll(reports);
        fake.markTick();
        app->tick();
    }
    void cycles(int n) {
        for (int i = 0; i < 8 * n; ++i) tick();
    }
    ProgramState& state() { return app->state(); }

    QTemporaryDir folder;
    FakeK8055 fake;
    RecordingReporter reporter;
    DriverBoard* board = nullptr;
    std::unique_ptr<BlokpostApp> app;
};

// The traffic of each tick, without the tick marks.
std::vector<std::string> trafficPerTick(const std::string& traffic) {
    std::vector<std::string> ticks;
    for (char c : traffic) {
        if (c == '|') ticks.emplace_back();
        else if (!ticks.empty()) ticks.back() += c;
    }
    return ticks;
}

int readFetches(const std::string& tick) {
    int fetches = 0;
    for (std::size_t i = 0; i < tick.size(); ++i)
        if (tick[i] == 'r' && (i == 0 || tick[i - 1] != 'r')) ++fetches;
    return fetches;
}

TEST(UsbCycle, EachTickSendsAtMostOneReportAndFetchesInputAtMostOnce) {
    UsbProgram p;
    Kaart(p.state());
    EXPECT_THAT(p.reporter.messages, ElementsAre("Kaart gevonden"));
    p.fake.sensors[2] = p.fake.sensors[7] = p.fake.sensors[13] = p.fake.sensors[20] = true;
    p.cycles(2);
    Plaat(p.state(), 5);  // pin 10, address 9
    p.fake.sent.clear();
    p.fake.traffic.clear();
    p.cycles(1);

    const auto ticks = trafficPerTick(p.fake.traffic);
    ASSERT_EQ(ticks.size(), 8u);
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_LE(std::count(ticks[i].begin(), ticks[i].end(), 'w'), 1) << "phase " << i + 1;
        // Phases 2, 4, 6 and 8 read the inputs; phase 5 reads both analog channels.
        const bool reads = i % 2 == 1 || i == 4;
        EXPECT_EQ(readFetches(ticks[i]), reads ? 1 : 0) << "phase " << i + 1;
    }
    // Address 9 on outputs 1 and 4 in phase 2, the strobe in phase 4, all off in phase 8;
    // the group codes in phases 1, 3, 5, 7. Phase 6 changes nothing and sends nothing.
    const auto report = [](std::uint8_t d, std::uint8_t a1, std::uint8_t a2) { return UsbReport{5, d, a1, a2, 0, 0, 0, 0}; };
    EXPECT_THAT(p.fake.sent, ElementsAre(report(0, 0, 255), report(0x09, 0, 255), report(0x09, 255, 255),
                                         report(0x89, 255, 255), report(0x89, 255, 0), report(0x89, 0, 0),
                                         report(0, 0, 0)));
    for (int s = 1; s <= kSensors; ++s)
        EXPECT_EQ(p.state().model.SensorState[s], s == 2 || s == 7 || s == 13 || s == 20 ? 1 : 0) << "sensor " << s;
}

TEST(UsbCycle, AnUnpluggedBoardKeepsTheCycleGoingUntilKaartOpensItAgain) {
    UsbProgram p;
    Kaart(p.state());
    p.fake.sensors[4] = true;
    p.cycles(1);
    ASSERT_EQ(p.state().model.SensorState[4], 1);

    p.fake.plugged = false;
    p.cycles(1);
    EXPECT_EQ(p.board->mode(), DriverBoard::Mode::Unplugged);
    EXPECT_EQ(p.state().model.SensorState[4], 0);
    EXPECT_NE(simulatorView(p.board, p.state()).status.find("losgekoppeld"), std::string::npos);
    // Nothing is tried while it is gone, however long the layout runs.
    p.fake.traffic.clear();
    p.cycles(5);
    EXPECT_EQ(p.fake.traffic.find_first_not_of('|'), std::string::npos);
    // The simulation does not step in for a board that was unplugged.
    p.board->simulation().setSensor(4, true);
    p.cycles(1);
    EXPECT_EQ(p.state().model.SensorState[4], 0);

    Kaart(p.state());
    EXPECT_EQ(p.reporter.messages.back(), "Geen kaart gevonden op 0");
    EXPECT_EQ(p.board->mode(), DriverBoard::Mode::Unplugged);

    p.fake.plugged = true;
    Kaart(p.state());
    EXPECT_EQ(p.reporter.messages.back(), "Kaart gevonden");
    EXPECT_EQ(p.fake.connections, 2);
    p.fake.sent.clear();
    p.cycles(1);
    EXPECT_EQ(p.board->mode(), DriverBoard::Mode::RealBoardOpen);
    EXPECT_EQ(p.state().model.SensorState[4], 1);
    EXPECT_FALSE(p.fake.sent.empty());
}

TEST(UsbCycle, PressingKaartAgainKeepsTheOpenBoard) {
    UsbProgram p;
    Kaart(p.state());
    Kaart(p.state());
    EXPECT_THAT(p.reporter.messages, ElementsAre("Kaart gevonden", "Kaart gevonden"));
    EXPECT_EQ(p.fake.connections, 1);
}

TEST(UsbCycle, WithoutABoardTheSimulationAnswers) {
    UsbProgram p;
    p.fake.plugged = false;
    Kaart(p.state());
    EXPECT_EQ(p.reporter.messages.back(), "Geen kaart gevonden op 0");
    EXPECT_EQ(p.board->mode(), DriverBoard::Mode::Simulated);
    p.board->simulation().setSensor(9, true);
    p.cycles(1);
    EXPECT_EQ(p.state().model.SensorState[9], 1);
    EXPECT_EQ(p.fake.traffic.find_first_not_of('|'), std::string::npos);
}

}  // namespace
}  // namespace blokpost::test

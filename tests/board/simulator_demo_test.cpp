// The demo installation that `make run` lays out: written by its tool, read
// by the program's own readers, and run on the simulated board the way the
// README's first steps walk a newcomer through it.

#include "app/main_cycle.h"
#include "layout/layout_store.h"
#include "lines/step_marker.h"
#include "schedule/schedule_files.h"
#include "support/test_program.h"
#include "timetable/timetable.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <set>

#if defined(DEMO_TOOL_PATH) && defined(PICTURES_TOOL_PATH)

namespace blokpost::test {
namespace {

bool runTool(const char* tool, const QString& folder) {
    QProcess process;
    process.start(QString::fromLocal8Bit(tool), {folder});
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

struct DemoProgram : TestProgram {
    DemoProgram() {
        installed = runTool(PICTURES_TOOL_PATH, folder.path()) && runTool(DEMO_TOOL_PATH, folder.path());
    }
    bool installed = false;
};

const std::set<std::string> kAllKinds{kind::Pin,     kind::Timer,   kind::Jump,  kind::Sensor, kind::HSensor,
                                      kind::MemMake, kind::MemRead, kind::Green, kind::Leeg};

TEST(DemoInstallation, EveryFileLoadsThroughTheProgramsReaders) {
    DemoProgram p;
    ASSERT_TRUE(p.installed);
    Lezen(p.state);
    for (int variant = 1; variant <= 4; ++variant) MaakSchema(p.state, variant);
    LeesBlauw(p.state);
    LeesRood(p.state);
    EXPECT_TRUE(p.reporter.messages.empty()) << p.reporter.messages.front();

    EXPECT_EQ(p.state.pins.PinName[0], "Wis1A");
    EXPECT_EQ(p.state.pins.PinName[65], "Sein1G");
    EXPECT_EQ(p.state.pins.PinAddress[125], 125);
    EXPECT_EQ(p.state.MeterName1, "Volt");
    EXPECT_EQ(p.state.timetable.BoardTrain[1], "Stoptrein");
    EXPECT_EQ(p.state.timetable.DepartureInterval[3], 20);
}

TEST(DemoInstallation, TheNormalServiceUsesEveryInstructionConsistently) {
    DemoProgram p;
    ASSERT_TRUE(p.installed);
    Lezen(p.state);  // the store carries the normal service
    MaakSchema(p.state, 1);
    const LineProgramModel& m = p.state.model;
    std::set<std::string> kinds;
    std::set<int> made, read;
    for (int line = 1; line <= kLines; ++line) {
        for (int step = 1; step <= kSteps; ++step) {
            const std::string& k = m.StepKind[line][step];
            const int operand = m.StepOperand[line][step];
            if (k.empty()) continue;
            kinds.insert(k);
            if (k == kind::Pin) {
                EXPECT_NE(p.state.pins.PinName[operand].rfind("leeg", 0), 0u) << "an unnamed pin";
            } else if (k == kind::Jump) {
                EXPECT_TRUE(operand >= 1 && operand < step) << "line " << line;
            } else if (k == kind::Sensor || k == kind::HSensor) {
                EXPECT_TRUE(p.state.screen.main.element[kFirstSensorElement + operand - 1].visible)
                    << "sensor " << operand << " waited on but not shown";
            }
            if (k == kind::MemMake) made.insert(operand);
            if (k == kind::MemRead) read.insert(operand);
        }
    }
    EXPECT_EQ(kinds, kAllKinds);
    EXPECT_EQ(made, read) << "every memory handed over is taken, and every one taken is handed over";
}

// Clicks, in the simulation, every sensor that a running line waits for.
void clickAwaitedSensors(TestProgram& p) {
    for (int s = 1; s <= kSensors; ++s) p.board.setSensor(s, false);
    for (int line = 1; line <= kLines; ++line) {
        const int step = p.state.model.CurrentStep[line];
        if (step < 1 || step > kSteps) continue;
        const std::string& k = p.state.model.StepKind[line][step];
        if (k == kind::Sensor || k == kind::HSensor) p.board.setSensor(p.state.model.StepOperand[line][step], true);
    }
}

TEST(DemoInstallation, TheFourLinesOfTheNormalServiceRunTheirRoundsOnTheSimulatedBoard) {
    DemoProgram p;
    ASSERT_TRUE(p.installed);
    Lezen(p.state);
    MaakSchema(p.state, 1);
    for (int line = 1; line <= 4; ++line) ToggleLine(p.state, line);
    std::array<int, kLines + 1> rounds{};
    for (int cycle = 0; cycle < 400; ++cycle) {
        clickAwaitedSensors(p);
        const auto before = p.state.model.CurrentStep;
        p.ticks(8);
        for (int line = 1; line <= 4; ++line)
            if (p.state.model.CurrentStep[line] < before[line]) ++rounds[line];
    }
    EXPECT_TRUE(p.reporter.messages.empty()) << p.reporter.messages.front();
    // The stoptrein and the express rest after their Green step until the timetable sends them again;
    // the shuttle and the shunting loco have come round to wait for their next handover.
    EXPECT_EQ(p.state.model.StepKind[1][p.state.model.CurrentStep[1]], kind::Leeg);
    EXPECT_EQ(p.state.model.StepKind[3][p.state.model.CurrentStep[3]], kind::Leeg);
    EXPECT_EQ(p.state.model.GreenFlag[1], 1);
    EXPECT_EQ(p.state.model.GreenFlag[3], 1);
    EXPECT_EQ(rounds[2], 1);
    EXPECT_EQ(rounds[4], 1);
    EXPECT_EQ(p.state.model.CurrentStep[2], 1);
    EXPECT_EQ(p.state.model.CurrentStep[4], 1);
    // One round of each line switches 12 + 10 + 16 + 8 pins, each exactly once.
    EXPECT_EQ(p.board.strobeCount(), 46u);
}

TEST(DemoInstallation, AnOperatorsOwnFilesAreNeverOverwritten) {
    DemoProgram p;
    ASSERT_TRUE(p.installed);
    p.writeFile("VasteData/NaamData.txt", "Mijn1\r\n");
    p.writeFile("VasteData/Schema2Data.txt", "Pin\r\n");
    ASSERT_TRUE(runTool(DEMO_TOOL_PATH, p.folder.path()));
    EXPECT_EQ(p.readFile("VasteData/NaamData.txt"), "Mijn1\r\n");
    EXPECT_EQ(p.readFile("VasteData/Schema2Data.txt"), "Pin\r\n");
    const std::string book = p.readFile("VasteData/BoekjeRood.txt");
    EXPECT_EQ(std::count(book.begin(), book.end(), '\n'), 48);
    EXPECT_EQ(book.substr(0, 10), "Dijkstad\r\n");
}

}  // namespace
}  // namespace blokpost::test

#endif

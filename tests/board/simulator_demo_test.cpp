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
    EXPECT_EQ(p.state.timetable.DepartureInterval[3], 10);
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

bool restsOnAnEmptyStep(const LineProgramModel& m, int line) {
    const int step = m.CurrentStep[line];
    return step == kSteps + 1 || m.StepKind[line][step].empty() || m.StepKind[line][step] == kind::Leeg;
}

bool hasStep(const LineProgramModel& m, int line, const std::string& wanted) {
    for (int step = 1; step <= kSteps; ++step)
        if (m.StepKind[line][step] == wanted) return true;
    return false;
}

// Starts every line of the variant and plays the trains for a while. Lines
// that end in a Green step must rest after it, ready for their next
// departure; lines that repeat must have come round. Nobody may be left
// waiting for a handover that never comes.
void runVariant(DemoProgram& p, int variant) {
    Lezen(p.state);
    MaakSchema(p.state, variant);
    const LineProgramModel& m = p.state.model;
    std::array<int, kLines + 1> rounds{};
    for (int line = 1; line <= kLines; ++line)
        if (!m.StepKind[line][1].empty()) ToggleLine(p.state, line);
    for (int cycle = 0; cycle < 500; ++cycle) {
        clickAwaitedSensors(p);
        const auto before = m.CurrentStep;
        p.ticks(8);
        for (int line = 1; line <= kLines; ++line)
            if (m.CurrentStep[line] < before[line]) ++rounds[line];
    }
    EXPECT_TRUE(p.reporter.messages.empty()) << p.reporter.messages.front();
    for (int line = 1; line <= kLines; ++line) {
        if (m.StepKind[line][1].empty()) continue;
        SCOPED_TRACE("variant " + std::to_string(variant) + " line " + lineLetter(line));
        if (hasStep(m, line, kind::Green)) {
            EXPECT_TRUE(restsOnAnEmptyStep(m, line)) << "stuck at step " << int(m.CurrentStep[line]);
            EXPECT_EQ(m.GreenFlag[line], 1);
        } else {
            EXPECT_EQ(rounds[line], 1);
            EXPECT_EQ(m.StepKind[line][m.CurrentStep[line]], kind::MemRead) << "waits for its next handover";
        }
    }
}

TEST(DemoInstallation, EveryServiceRunsItsRoundsOnTheSimulatedBoard) {
    for (int variant = 1; variant <= 4; ++variant) {
        DemoProgram p;
        ASSERT_TRUE(p.installed);
        runVariant(p, variant);
        // One round of the normal service switches 12 + 10 + 16 + 8 pins, each exactly once.
        if (variant == 1) {
            EXPECT_EQ(p.board.strobeCount(), 46u);
        }
    }
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

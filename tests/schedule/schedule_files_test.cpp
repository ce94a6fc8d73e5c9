#include "base/text_file.h"
#include "schedule/schedule_files.h"
#include "support/test_program.h"
#include "write_limit/limited_writes.h"

#include <gtest/gtest.h>
#include <random>

namespace blokpost {
namespace {

using test::TestProgram;

// Every icon in its own colour, so a redrawn cell tells which icon it shows.
constexpr struct {
    const char* file;
    Colour colour;
} kIcons[] = {{"VasteData/PinMake.bmp", 0x110000}, {"VasteData/Timer.bmp", 0x220000},
              {"VasteData/Jump.bmp", 0x330000},    {"VasteData/Sensor.bmp", 0x440000},
              {"VasteData/SensorH.bmp", 0x550000}, {"VasteData/MemMake.bmp", 0x660000},
              {"VasteData/MemRead.bmp", 0x770000}, {"VasteData/Green.bmp", 0x880000},
              {"VasteData/Blanco.bmp", 0x990000}};
constexpr Colour kTimerIcon = 0x220000, kBlankIcon = 0x990000, kPinIcon = 0x110000;

struct Schedule : TestProgram {
    Schedule() {
        for (const auto& icon : kIcons) writePicture(icon.file, 68, 68, icon.colour);
    }
    LineProgramModel& model() { return state.model; }
    Colour cellColour(int line, int step) { return state.screen.rijschema.cell[cellNumber(line, step)].pixel(1, 1); }
    // Writes `text` as variant `variant`'s file and loads it.
    void load(int variant, const std::string& text) {
        writeFile("VasteData/Schema" + std::to_string(variant) + "Data.txt", text);
        MaakSchema(state, variant);
    }
};

// A schedule file with kind `kind`, operand `operand(n)` and counter `counter(n)` at cell n.
std::string scheduleFile(const std::function<std::string(int)>& kind, const std::function<int(int)>& operand,
                         const std::function<int(int)>& counter) {
    std::string text;
    for (int n = 1; n <= kCells; ++n) text += kind(n) + "\r\n";
    for (int n = 1; n <= kCells; ++n) text += std::to_string(operand(n)) + "\r\n";
    for (int n = 1; n <= kCells; ++n) text += std::to_string(counter(n)) + "\r\n";
    return text;
}

std::string allTimers() {
    return scheduleFile([](int) { return "Timer"; }, [](int n) { return n; }, [](int n) { return n; });
}

TEST(ScheduleFiles, ASavedScheduleReadsBackWithTimerCountersRestarted) {
    Schedule p;
    auto& m = p.model();
    const char* kinds[] = {"Pin", "Timer", "Jump", "Sensor", "HSensor", "MemMake", "MemRead", "Green", "Leeg", "",
                           "Blanco", " odd text "};
    for (int n = 1; n <= kCells; ++n) {
        const auto [line, step] = splitCellNumber(n);
        m.StepKind[line][step] = kinds[n % std::size(kinds)];
        m.StepOperand[line][step] = n % 2 ? n : -n * 1000;
        m.StepCounter[line][step] = n + 5;  // a running timer's remaining seconds
    }
    m.StepKind[3][0] = "slot 0";
    m.StepKind[3][26] = "slot 26";
    m.StepOperand[3][0] = 99;
    p.state.editor.CurrentVariant = 3;
    SchemaOpslaan(p.state);

    const std::string file = p.readFile("VasteData/Schema3Data.txt");
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 600);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\r'), 600);
    EXPECT_EQ(file.substr(0, 11), "Timer\r\nJump");

    const LineProgramModel saved = m;
    m = LineProgramModel{};
    m.StepKind[3][0] = "kept";
    MaakSchema(p.state, 3);
    EXPECT_TRUE(p.reporter.messages.empty());
    for (int line = 1; line <= kLines; ++line)
        for (int step = 1; step <= kSteps; ++step) {
            EXPECT_EQ(m.StepKind[line][step], saved.StepKind[line][step]);
            EXPECT_EQ(m.StepOperand[line][step], saved.StepOperand[line][step]);
            const bool timer = saved.StepKind[line][step] == "Timer";
            EXPECT_EQ(m.StepCounter[line][step], timer ? saved.StepOperand[line][step] : saved.StepCounter[line][step]);
        }
    // Only steps 1..25 travel in a schedule file.
    EXPECT_EQ(m.StepKind[3][0], "kept");
    EXPECT_EQ(m.StepKind[3][26], "");
    EXPECT_EQ(m.StepOperand[3][0], 0);
}

TEST(ScheduleFiles, ALoadShowsTheVariantItsPictureIfAnyAndRedrawsEveryCell) {
    Schedule p;
    p.writePicture("VasteData/Zomerdienst.bmp", 300, 121, 0x123456);
    p.model().CurrentStep[1] = 7;
    p.load(3, scheduleFile([](int n) { return n == 1 ? "Pin" : n == 2 ? "Timer" : n == 3 ? "Blanco" : ""; },
                           [](int) { return 4; }, [](int) { return 4; }));
    EXPECT_EQ(p.state.editor.CurrentVariant, 3);
    EXPECT_TRUE(p.state.screen.rijschema.saveEnabled);
    EXPECT_EQ(p.state.screen.rijschema.cell[kVariantPicture].pixel(5, 5), 0x123456u);
    EXPECT_EQ(p.cellColour(1, 1), kPinIcon);
    EXPECT_EQ(p.cellColour(1, 2), kTimerIcon);
    EXPECT_EQ(p.cellColour(1, 3), kBlankIcon);  // "Blanco" in a file is no kind: blank
    EXPECT_EQ(p.cellColour(8, 25), kBlankIcon);
    EXPECT_EQ(p.model().CurrentStep[1], 7);  // running lines go on where they are

    p.load(1, allTimers());  // variant 1 has no picture: passed over silently
    EXPECT_EQ(p.state.screen.rijschema.cell[kVariantPicture].pixel(5, 5), 0x123456u);
    EXPECT_EQ(p.cellColour(4, 4), kTimerIcon);
    EXPECT_TRUE(p.reporter.messages.empty());
}

TEST(ScheduleFiles, AMissingFileChangesNothingButTheVariantAndSaveThenCreatesIt) {
    Schedule p;
    p.model().StepKind[2][5] = "Jump";
    p.model().StepOperand[2][5] = 3;
    const Colour before = p.cellColour(2, 5);
    MaakSchema(p.state, 4);
    EXPECT_EQ(p.reporter.messages, std::vector<std::string>{"File not found"});
    EXPECT_EQ(p.state.editor.CurrentVariant, 4);
    EXPECT_TRUE(p.state.screen.rijschema.saveEnabled);
    EXPECT_EQ(p.model().StepKind[2][5], "Jump");
    EXPECT_EQ(p.cellColour(2, 5), before);

    SchemaOpslaan(p.state);
    const std::string file = p.readFile("VasteData/Schema4Data.txt");
    EXPECT_NE(file.find("\r\nJump\r\n"), std::string::npos);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 600);
}

TEST(ScheduleFiles, NothingIsSavedBeforeAVariantWasChosen) {
    Schedule p;
    SchemaOpslaan(p.state);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(p.readFile("VasteData/Schema" + std::to_string(k) + "Data.txt"), "");
    MaakSchema(p.state, 5);  // no such button
    EXPECT_EQ(p.state.editor.CurrentVariant, 0);
}

TEST(ScheduleFiles, ABadNumberStopsTheLoadWithWhatWasReadInPlace) {
    Schedule p;
    std::string text = scheduleFile([](int) { return "Timer"; }, [](int n) { return n; }, [](int) { return 9; });
    // Operand of cell 101 (line E step 1) is no number.
    const std::string good = "\r\n101\r\n";
    text.replace(text.find(good), good.size(), "\r\nlots\r\n");
    p.model().StepOperand[5][2] = -1;
    p.model().StepCounter[1][1] = -1;
    const Colour before = p.cellColour(1, 1);
    p.load(2, text);
    EXPECT_EQ(p.reporter.messages, std::vector<std::string>{"Invalid numeric input"});
    EXPECT_EQ(p.model().StepKind[8][25], "Timer");
    EXPECT_EQ(p.model().StepOperand[4][25], 100);
    EXPECT_EQ(p.model().StepOperand[5][2], -1);  // after the bad one: untouched
    EXPECT_EQ(p.model().StepCounter[1][1], -1);  // no Timer reset
    EXPECT_EQ(p.cellColour(1, 1), before);       // no redraw
}

TEST(ScheduleFiles, AShortFileGivesEmptiesAndZerosAndStillCompletes) {
    Schedule p;
    std::string kindsOnly;
    for (int n = 1; n <= kCells; ++n) kindsOnly += (n == 30 ? "Timer" : "Pin") + std::string("\r\n");
    p.model().StepOperand[2][5] = 7;
    p.model().StepCounter[2][5] = 7;
    p.load(1, kindsOnly);
    EXPECT_TRUE(p.reporter.messages.empty());
    EXPECT_EQ(p.model().StepKind[2][5], "Timer");
    EXPECT_EQ(p.model().StepOperand[2][5], 0);
    EXPECT_EQ(p.model().StepCounter[2][5], 0);
    EXPECT_EQ(p.cellColour(2, 5), kTimerIcon);

    p.load(1, "Jump\r\n");
    EXPECT_EQ(p.model().StepKind[1][1], "Jump");
    EXPECT_EQ(p.model().StepKind[1][2], "");
    EXPECT_EQ(p.cellColour(1, 2), kBlankIcon);
}

TEST(ScheduleFiles, ABlankLineInANumberBlockShiftsTheRestOfTheNumbers) {
    Schedule p;
    const std::string plain =
        scheduleFile([](int) { return "Jump"; }, [](int n) { return n; }, [](int n) { return 1000 + n; });
    // Line 601 is never reached by a well-formed file.
    p.load(1, plain + "999\r\n");
    EXPECT_EQ(p.model().StepCounter[8][25], 1200);

    std::string blanked = plain;
    blanked.replace(blanked.find("\r\n3\r\n"), 5, "\r\n\r\n");  // operand of cell 3 left blank
    p.load(1, blanked + "999\r\n");
    EXPECT_TRUE(p.reporter.messages.empty());
    EXPECT_EQ(p.model().StepOperand[1][2], 2);
    EXPECT_EQ(p.model().StepOperand[1][3], 4);
    EXPECT_EQ(p.model().StepOperand[8][25], 1001);
    EXPECT_EQ(p.model().StepCounter[1][1], 1002);
    EXPECT_EQ(p.model().StepCounter[8][25], 999);
}

TEST(ScheduleFiles, AMissingIconStopsTheRedrawAtThatCell) {
    Schedule p;
    QFile::remove(p.folder.filePath("VasteData/Jump.bmp"));
    const Colour before = p.cellColour(3, 11);
    p.load(1, scheduleFile([](int n) { return n == 60 ? "Jump" : "Timer"; }, [](int) { return 5; },
                           [](int) { return 5; }));
    ASSERT_EQ(p.reporter.messages.size(), 1u);
    EXPECT_NE(p.reporter.messages[0].find("Jump.bmp"), std::string::npos);
    EXPECT_EQ(p.model().StepKind[8][25], "Timer");  // the model is loaded whole
    EXPECT_EQ(p.cellColour(3, 9), kTimerIcon);      // cell 59
    EXPECT_EQ(p.cellColour(3, 11), before);          // cell 61
}

TEST(ScheduleFiles, AFailedSaveKeepsThePreviousFileAndSaysSo) {
    Schedule p;
    const std::string previous = allTimers();
    p.load(2, previous);
    p.model().StepKind[1][1] = "Pin";
    {
        const ScopedWriteFailure diskFull(700);
        SchemaOpslaan(p.state);
    }
    EXPECT_EQ(p.reporter.messages.size(), 1u);
    EXPECT_EQ(p.readFile("VasteData/Schema2Data.txt"), previous);
    EXPECT_EQ(p.model().StepKind[1][1], "Pin");
}

TEST(ScheduleFiles, DamagedFilesNeverCrashAndStayInsideTheTables) {
    Schedule p;
    const std::string damaged[] = {
        std::string(5000, 'K') + "\r\n" + std::string(20000, '9') + "\r\n",
        std::string(3000, '\0') + "\xff\xfe\x1a",
        allTimers().substr(0, 1234),
        scheduleFile([](int) { return "Pin"; }, [](int n) { return n % 2 ? -2147483647 - 1 : 2147483647; },
                     [](int) { return -5; }),
    };
    for (const std::string& bytes : damaged) p.load(1, bytes);
    EXPECT_EQ(p.model().StepOperand[1][1], -2147483647 - 1);
    EXPECT_EQ(p.cellColour(1, 1), kPinIcon);  // a pin with no name is still drawn

    std::mt19937 random(1234);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(random() % 2000, '\0');
        for (char& c : bytes) c = random() % 3 ? "0123456789-\r\n \t"[random() % 16] : static_cast<char>(random());
        p.load(1, bytes);
    }
    EXPECT_EQ(p.state.editor.CurrentVariant, 1);
}

}  // namespace
}  // namespace blokpost

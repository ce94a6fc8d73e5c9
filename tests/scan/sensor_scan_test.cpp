#include "scan/sensors.h"

#include "app/main_cycle.h"
#include "support/test_program.h"

#include <QDir>
#include <QFile>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace blokpost::test {
namespace {

using ::testing::ElementsAre;

constexpr Colour kActivePicture = 0xFF0000, kInactivePicture = 0x0000FF;

// The states of group g's five sensors after reading `inputs`.
std::string readGroup(TestProgram& p, int group, std::int32_t inputs) {
    p.board.digitalReads.push_back(inputs);
    ReadSensorGroup(p.state, group);
    std::string states;
    for (int sensor = 5 * group - 4; sensor <= 5 * group; ++sensor)
        states += static_cast<char>('0' + p.state.model.SensorState[sensor]);
    return states;
}

void showSensor(TestProgram& p, int sensor) {
    p.state.screen.main.element[kPinDrawings + sensor - 1].visible = true;
    const std::string name = "Tekeningen/Sen" + std::to_string(sensor);
    p.writePicture(name + "H.bmp", 96, 35, kActivePicture);
    p.writePicture(name + "L.bmp", 96, 35, kInactivePicture);
}

const Canvas& drawingOf(TestProgram& p, int sensor) { return p.state.screen.main.drawing[kPinDrawings + sensor]; }

// Input k of group g is sensor 5g - 5 + k. Values above 31 decode by
// successive subtraction: 33 takes the fifth sensor, then 8, 4 and 2 from
// the 17 left, and 3 remains, which is not 1. Only the low eight bits count.
TEST(SensorScan, InputKOfTheGroupIsSensorFirstPlusKMinusOne) {
    TestProgram p;
    const struct {
        int group;
        std::int32_t inputs;
        const char* states;
    } reads[] = {{1, 1, "10000"},  {2, 2, "01000"},   {3, 4, "00100"},   {4, 8, "00010"},       {4, 16, "00001"},
                 {2, 31, "11111"}, {2, 0, "00000"},   {3, 21, "10101"},  {1, 33, "01111"},      {1, 255, "01111"},
                 {1, 256 + 1, "10000"}};
    for (const auto& r : reads) EXPECT_EQ(readGroup(p, r.group, r.inputs), r.states) << r.inputs;
    EXPECT_EQ(p.state.model.SensorState[20], 1) << "other groups are untouched by a read";
}

TEST(SensorScan, HoldFlagsLatchAtEveryActiveReadAndAreNeverClearedByTheScan) {
    TestProgram p;
    ProgramState& s = p.state;
    const auto latched = [&] { return s.model.HoldFlag[8] == 1 && s.screen.rijschema.indicator[8] == kYellow; };
    readGroup(p, 2, 4);  // sensor 8
    EXPECT_TRUE(latched());
    s.model.HoldFlag[8] = 0;  // consumed while the sensor is still active
    s.screen.rijschema.indicator[8] = kGray;
    readGroup(p, 2, 4);
    EXPECT_TRUE(latched());
    readGroup(p, 2, 0);
    EXPECT_TRUE(latched());
    EXPECT_EQ(s.screen.rijschema.indicator[7], kWhite);
}

TEST(SensorScan, DrawingsChangeOnlyWhenTheSensorChangesWhileShown) {
    TestProgram p;
    showSensor(p, 3);
    const Canvas& drawing = drawingOf(p, 3);
    const Colour designed = drawing.pixel(5, 5);
    readGroup(p, 1, 0);
    EXPECT_EQ(drawing.pixel(5, 5), designed);  // inactive from the start: the designed picture stays
    readGroup(p, 1, 4);
    EXPECT_EQ(drawing.pixel(5, 5), kActivePicture);
    const std::uint64_t loaded = drawing.revision();
    readGroup(p, 1, 4);
    EXPECT_EQ(drawing.revision(), loaded);  // a steady sensor loads nothing
    readGroup(p, 1, 0);
    EXPECT_EQ(drawing.pixel(5, 5), kInactivePicture);

    // A hidden drawing misses the change and keeps its picture once shown.
    p.state.screen.main.element[kPinDrawings + 3 - 1].visible = false;
    readGroup(p, 1, 4);
    p.state.screen.main.element[kPinDrawings + 3 - 1].visible = true;
    readGroup(p, 1, 4);
    EXPECT_EQ(drawing.pixel(5, 5), kInactivePicture);
    readGroup(p, 1, 0);
    readGroup(p, 1, 4);
    EXPECT_EQ(drawing.pixel(5, 5), kActivePicture);
}

// The board calls of one whole cycle, tick by tick, when `address` goes out
// (-1: no pin). A picture never changes what the board gets.
std::vector<std::vector<std::string>> cycleCalls(int address = -1) {
    std::vector<std::string> phase2{"ReadAllDigital()"}, phase4{"ReadAllDigital()"};
    if (address >= 0) {
        for (int channel = 7; channel >= 1; --channel)
            if (address & (1 << (channel - 1))) phase2.push_back("SetDigitalChannel(" + std::to_string(channel) + ")");
        phase4.push_back("SetDigitalChannel(8)");
    }
    return {{"OutputAllAnalog(0,255)"}, phase2, {"OutputAllAnalog(255,255)"}, phase4,
            {"OutputAllAnalog(255,0)", "ReadAnalogChannel(1)", "ReadAnalogChannel(2)"},
            {"ReadAllDigital()"}, {"OutputAllAnalog(0,0)"}, {"ReadAllDigital()", "ClearAllDigital()"}};
}

std::vector<std::vector<std::string>> runCycle(TestProgram& p) {
    std::vector<std::vector<std::string>> perTick;
    for (int i = 0; i < 8; ++i) {
        p.ticks(1);
        perTick.push_back(p.board.takeCalls());
    }
    return perTick;
}

// Pins 9 and 20 at addresses 9 (outputs 4 and 1) and 20 (outputs 5 and 3), with their pictures.
void givePins9And20(TestProgram& p) {
    p.writePicture("Tekeningen/Tek10.bmp", 96, 35);
    p.writePicture("Tekeningen/Tek21.bmp", 96, 35);
    p.state.pins.PinAddress[9] = 9;
    p.state.pins.PinAddress[20] = 20;
}

std::string missing(const std::string& file) {
    return "Cannot open file \"" + file + "\". No such file or directory.";
}

// Sensor 2 is read in phase 2, right before the pin goes out and the MemMake steps run.
TEST(SensorPictureFailure, InPhaseTwoThePinTheMemMakeStepAndTheLogbookGoOnAsUsual) {
    TestProgram p;
    ProgramState& s = p.state;
    s.screen.main.element[kPinDrawings + 2 - 1].visible = true;  // sensor 2, without pictures
    const Colour designed = drawingOf(p, 2).pixel(5, 5);
    givePins9And20(p);
    s.model.StepKind[1][1] = kind::MemMake;
    s.model.StepOperand[1][1] = 3;
    s.model.CurrentStep[1] = 1;

    p.board.setSensor(2, true);
    s.model.PinRequest = 9;
    EXPECT_EQ(runCycle(p), cycleCalls(9));
    EXPECT_THAT(p.reporter.messages, ElementsAre(missing("Tekeningen/Sen2H.bmp")));
    EXPECT_EQ(drawingOf(p, 2).pixel(5, 5), designed);
    EXPECT_EQ(s.model.HoldFlag[2], 1);
    EXPECT_EQ(s.screen.rijschema.indicator[2], kYellow);
    EXPECT_EQ(s.model.MemoryFlag[3], 1);
    EXPECT_EQ(s.model.CurrentStep[1], 2);
    EXPECT_EQ(s.model.PinRequest, -1);
    EXPECT_EQ(s.screen.display.logLines.size(), 1u);  // logged once, not again next cycle
    EXPECT_EQ(s.clock.ClockSeconds, 1);

    // Falling and rising again: each missing picture is said once.
    p.board.setSensor(2, false);
    s.model.PinRequest = 20;
    EXPECT_EQ(runCycle(p), cycleCalls(20));
    p.board.setSensor(2, true);
    EXPECT_EQ(runCycle(p), cycleCalls());
    p.board.setSensor(2, false);
    EXPECT_EQ(runCycle(p), cycleCalls());
    EXPECT_THAT(p.reporter.messages, ElementsAre(missing("Tekeningen/Sen2H.bmp"), missing("Tekeningen/Sen2L.bmp")));
    EXPECT_EQ(p.board.lastDecodedAddress(), 20);
    EXPECT_EQ(p.board.strobeCount(), 2u);
    EXPECT_EQ(s.screen.display.logLines.size(), 2u);
    EXPECT_EQ(s.clock.ClockSeconds, 4);
}

// Sensor 17 is read in phase 8, right before the outputs are cleared, the clock
// second and the departures, and the Green steps.
TEST(SensorPictureFailure, InPhaseEightTheOutputsClearAndTheClockAndDeparturesRunEveryCycle) {
    TestProgram p;
    ProgramState& s = p.state;
    s.screen.main.element[kPinDrawings + 17 - 1].visible = true;
    givePins9And20(p);
    s.timetable.DepartureMinute[2] = 12 * 60;
    s.timetable.DepartureInterval[2] = 10;
    s.model.CurrentStep[2] = 7;
    s.model.StepKind[3][1] = kind::Green;
    s.model.CurrentStep[3] = 1;
    s.model.GreenFlag[3] = 0;

    for (int cycle = 1; cycle <= 6; ++cycle) {
        p.board.setSensor(17, cycle % 2 == 1);  // changes in every cycle
        const int pin = cycle == 1 ? 9 : cycle == 2 ? 20 : -1;
        s.model.PinRequest = pin;
        EXPECT_EQ(runCycle(p), cycleCalls(pin < 0 ? -1 : s.pins.PinAddress[pin])) << "cycle " << cycle;
        EXPECT_EQ(s.clock.ClockSeconds, cycle);
        if (cycle == 1) {
            EXPECT_EQ(s.model.GreenFlag[3], 1);  // the Green step ran
        }
        if (cycle == 2) {
            EXPECT_EQ(p.board.lastDecodedAddress(), 20);  // not ORed onto address 9
        }
    }
    EXPECT_EQ(s.model.CurrentStep[2], 1);  // restarted at second 4
    EXPECT_EQ(p.board.strobeCount(), 2u);
    EXPECT_THAT(p.reporter.messages, ElementsAre(missing("Tekeningen/Sen17H.bmp"), missing("Tekeningen/Sen17L.bmp")));
}

TEST(SensorPictureFailure, IsSaidAgainOnlyAfterThePictureHasLoadedAndTellsMissingFromDamaged) {
    TestProgram p;
    p.state.screen.main.element[kPinDrawings + 4 - 1].visible = true;
    p.writePicture("Tekeningen/Sen4L.bmp", 96, 35, kInactivePicture);
    p.writeFile("Tekeningen/Sen4H.bmp", "BM not really a bitmap");
    readGroup(p, 1, 8);
    readGroup(p, 1, 0);
    readGroup(p, 1, 8);
    const std::string damaged = "Cannot read picture \"Tekeningen/Sen4H.bmp\". The file is damaged or not a bitmap.";
    EXPECT_THAT(p.reporter.messages, ElementsAre(damaged));
    EXPECT_EQ(drawingOf(p, 4).pixel(5, 5), kInactivePicture);

    p.writePicture("Tekeningen/Sen4H.bmp", 96, 35, kActivePicture);
    readGroup(p, 1, 0);
    readGroup(p, 1, 8);
    EXPECT_EQ(drawingOf(p, 4).pixel(5, 5), kActivePicture);
    QFile::remove(p.folder.filePath(QStringLiteral("Tekeningen/Sen4H.bmp")));
    readGroup(p, 1, 0);
    readGroup(p, 1, 8);
    EXPECT_THAT(p.reporter.messages, ElementsAre(damaged, missing("Tekeningen/Sen4H.bmp")));

    // A folder where the picture should be.
    QFile::remove(p.folder.filePath(QStringLiteral("Tekeningen/Sen4L.bmp")));
    QDir(p.folder.path()).mkpath(QStringLiteral("Tekeningen/Sen4L.bmp"));
    readGroup(p, 1, 0);
    EXPECT_THAT(p.reporter.messages, ElementsAre(damaged, missing("Tekeningen/Sen4H.bmp"),
                                                 "Cannot open file \"Tekeningen/Sen4L.bmp\". It is not a readable file."));
}

// A picture that an ordinary user may not read is told so, not called
// damaged (root reads every file, so the test acts as another user).
TEST(SensorPictureFailure, APictureTheUserMayNotReadIsToldAsUnreadable) {
    if (::geteuid() != 0) GTEST_SKIP() << "acting as another user needs root";
    TestProgram p;
    p.state.screen.main.element[kPinDrawings + 4 - 1].visible = true;
    p.writePicture("Tekeningen/Sen4H.bmp", 96, 35, kActivePicture);
    for (const char* path : {"", "Tekeningen"})
        ASSERT_EQ(::chmod(QFile::encodeName(p.folder.filePath(QString::fromLatin1(path))).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(p.folder.filePath(QStringLiteral("Tekeningen/Sen4H.bmp"))).constData(), 0600), 0);
    constexpr uid_t kNobody = 65534;
    // Real and effective user both (a check for readability asks the real
    // one); root stays the saved user, to come back to.
    ASSERT_EQ(::setresuid(kNobody, kNobody, 0), 0);
    readGroup(p, 1, 8);
    ASSERT_EQ(::setresuid(0, 0, 0), 0);
    EXPECT_THAT(p.reporter.messages,
                ElementsAre("Cannot open file \"Tekeningen/Sen4H.bmp\". It is not a readable file."));
}

}  // namespace
}  // namespace blokpost::test

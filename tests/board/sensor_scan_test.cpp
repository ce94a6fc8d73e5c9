#include "board/sensors.h"

#include "app/main_cycle.h"
#include "support/test_program.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

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

TEST(SensorScan, InputKOfTheGroupIsSensorFirstPlusKMinusOne) {
    TestProgram p;
    EXPECT_EQ(readGroup(p, 1, 1), "10000");
    EXPECT_EQ(readGroup(p, 2, 2), "01000");
    EXPECT_EQ(readGroup(p, 3, 4), "00100");
    EXPECT_EQ(readGroup(p, 4, 8), "00010");
    EXPECT_EQ(readGroup(p, 4, 16), "00001");
    EXPECT_EQ(readGroup(p, 2, 31), "11111");
    EXPECT_EQ(readGroup(p, 2, 0), "00000");
    EXPECT_EQ(readGroup(p, 3, 21), "10101");
    // Other groups are untouched by a read.
    EXPECT_EQ(p.state.model.SensorState[20], 1);
}

TEST(SensorScan, ValuesAboveThirtyOneDecodeBySuccessiveSubtraction) {
    TestProgram p;
    // 33: the fifth sensor, then 17 left: 8, 4 and 2 are taken and 3 remains, which is not 1.
    EXPECT_EQ(readGroup(p, 1, 33), "01111");
    EXPECT_EQ(readGroup(p, 1, 255), "01111");
    // Only the low eight bits count.
    EXPECT_EQ(readGroup(p, 1, 256 + 1), "10000");
}

TEST(SensorScan, HoldFlagsLatchAtEveryActiveReadAndAreNeverClearedByTheScan) {
    TestProgram p;
    ProgramState& s = p.state;
    readGroup(p, 2, 4);  // sensor 8
    EXPECT_EQ(s.model.HoldFlag[8], 1);
    EXPECT_EQ(s.screen.rijschema.indicator[8], kYellow);
    s.model.HoldFlag[8] = 0;  // consumed while the sensor is still active
    s.screen.rijschema.indicator[8] = kGray;
    readGroup(p, 2, 4);
    EXPECT_EQ(s.model.HoldFlag[8], 1);
    EXPECT_EQ(s.screen.rijschema.indicator[8], kYellow);
    readGroup(p, 2, 0);
    EXPECT_EQ(s.model.HoldFlag[8], 1);
    EXPECT_EQ(s.screen.rijschema.indicator[8], kYellow);
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

TEST(SensorScan, AMissingPictureEndsTheTickAndTheGroupReadsNormallyNextCycle) {
    TestProgram p;
    ProgramState& s = p.state;
    p.state.screen.main.element[kPinDrawings + 2 - 1].visible = true;  // sensor 2, without pictures
    p.board.setSensor(2, true);
    s.model.PinRequest = 9;
    p.writePicture("Tekeningen/Tek10.bmp", 96, 35);
    p.runThroughPhase(1);
    p.board.takeCalls();
    p.ticks(1);  // phase 2: group 1 is read

    ASSERT_EQ(p.reporter.messages.size(), 1u);
    EXPECT_THAT(p.reporter.messages[0], HasSubstr("Tekeningen/Sen2H.bmp"));
    EXPECT_EQ(s.model.SensorState[2], 1);
    EXPECT_EQ(s.model.HoldFlag[2], 0);
    // The rest of the phase is skipped: the pin waits for the next cycle.
    EXPECT_THAT(p.board.takeCalls(), ::testing::ElementsAre("ReadAllDigital()"));
    EXPECT_EQ(s.model.PinRequest, 9);

    p.runThroughPhase(2);
    EXPECT_EQ(p.reporter.messages.size(), 1u);  // not retried while the sensor stays active
    EXPECT_EQ(s.model.HoldFlag[2], 1);
    EXPECT_EQ(s.model.PinRequest, -1);
    EXPECT_THAT(p.board.takeCalls(), Contains("SetDigitalChannel(4)"));  // address 9
}

}  // namespace
}  // namespace blokpost::test

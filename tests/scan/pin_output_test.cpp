#include "scan/pins.h"

#include "app/main_cycle.h"
#include "lines/line_program_support.h"
#include "support/test_program.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

using ::testing::ElementsAre;

// The board calls of the next cycle's phase 2 and phase 4 ticks, after running up to phase 1.
struct ServedCycle {
    std::vector<std::string> phase2;
    std::vector<std::string> phase4;
};

ServedCycle serveNextCycle(TestProgram& p) {
    p.runThroughPhase(1);
    p.board.takeCalls();
    ServedCycle served;
    p.ticks(1);
    served.phase2 = p.board.takeCalls();
    p.ticks(1);
    p.board.takeCalls();
    p.ticks(1);
    served.phase4 = p.board.takeCalls();
    p.runThroughPhase(8);
    return served;
}

TEST(PinClicks, AlternateBetweenThePairsEvenAndOddPin) {
    TestProgram p;
    ProgramState& s = p.state;
    p.writePicture("Tekeningen/Tek10.bmp", 96, 35, 0x00AA00);
    p.writePicture("Tekeningen/Tek9.bmp", 96, 35, 0xAA0000);

    Plaat(s, 5);
    EXPECT_EQ(s.model.PinRequest, 9);
    EXPECT_EQ(s.pins.PlateState[5], "A");
    ServedCycle served = serveNextCycle(p);
    EXPECT_EQ(newestLogLine(s), "12:00  leeg9");
    EXPECT_EQ(s.screen.main.drawing[5].pixel(1, 1), 0x00AA00u);
    EXPECT_THAT(served.phase2, ElementsAre("ReadAllDigital()", "SetDigitalChannel(4)", "SetDigitalChannel(1)"));
    EXPECT_THAT(served.phase4, ElementsAre("ReadAllDigital()", "SetDigitalChannel(8)"));

    Plaat(s, 5);
    EXPECT_EQ(s.model.PinRequest, 8);
    EXPECT_EQ(s.pins.PlateState[5], "B");
    served = serveNextCycle(p);
    EXPECT_EQ(s.screen.main.drawing[5].pixel(1, 1), 0xAA0000u);
    EXPECT_THAT(served.phase2, ElementsAre("ReadAllDigital()", "SetDigitalChannel(4)"));

    Plaat(s, 5);
    EXPECT_EQ(s.model.PinRequest, 9);
    EXPECT_TRUE(p.reporter.messages.empty());
}

TEST(PinClicks, TheLastWriterBeforePhaseTwoWins) {
    TestProgram p;
    ProgramState& s = p.state;
    // Two clicks before phase 1: only the later pin is logged and put out, both drawings toggle.
    Plaat(s, 2);
    Plaat(s, 7);
    serveNextCycle(p);
    EXPECT_EQ(s.pins.PlateState[2], "A");
    EXPECT_EQ(s.pins.PlateState[7], "A");
    EXPECT_EQ(s.screen.display.logLines.size(), 1u);
    EXPECT_EQ(newestLogLine(s), "12:00  leeg13");
    EXPECT_EQ(p.board.lastDecodedAddress(), 13);

    // A click between phase 1 and phase 2: the log names the earlier pin, the later one goes out.
    Plaat(s, 3);
    p.runThroughPhase(1);
    Plaat(s, 4);
    p.runThroughPhase(8);
    EXPECT_EQ(newestLogLine(s), "12:00  leeg5");
    EXPECT_EQ(p.board.lastDecodedAddress(), 7);
}

TEST(PinOutput, AddressZeroRaisesOnlyTheStrobeAndAddressesAbove127PutOutAllSevenBits) {
    TestProgram p;
    ProgramState& s = p.state;
    s.pins.PinAddress[0] = 0;
    s.model.PinRequest = 0;
    ServedCycle served = serveNextCycle(p);
    EXPECT_THAT(served.phase2, ElementsAre("ReadAllDigital()"));
    EXPECT_THAT(served.phase4, ElementsAre("ReadAllDigital()", "SetDigitalChannel(8)"));
    EXPECT_EQ(p.board.lastDecodedAddress(), 0);

    s.pins.PinAddress[50] = 200;
    s.model.PinRequest = 50;
    served = serveNextCycle(p);
    EXPECT_THAT(served.phase2,
                ElementsAre("ReadAllDigital()", "SetDigitalChannel(7)", "SetDigitalChannel(6)", "SetDigitalChannel(5)",
                            "SetDigitalChannel(4)", "SetDigitalChannel(3)", "SetDigitalChannel(2)",
                            "SetDigitalChannel(1)"));
    EXPECT_THAT(served.phase4, ElementsAre("ReadAllDigital()", "SetDigitalChannel(8)"));
    EXPECT_EQ(p.board.lastDecodedAddress(), 127);
}

TEST(PinOutput, AMissingDrawingIsReportedByItsPinNumberAndThePinStillGoesOut) {
    TestProgram p;
    ProgramState& s = p.state;
    const Colour designed = s.screen.main.drawing[63].pixel(1, 1);
    s.model.PinRequest = 125;
    serveNextCycle(p);
    ASSERT_EQ(p.reporter.messages.size(), 1u);
    EXPECT_EQ(p.reporter.messages[0], "kan plaatje Tek126.bmp niet vinden");
    EXPECT_EQ(s.screen.main.drawing[63].pixel(1, 1), designed);
    EXPECT_EQ(p.board.lastDecodedAddress(), 125);
}

TEST(PinOutput, ARequestForAPinThatDoesNotExistIsLoggedAndDropped) {
    TestProgram p;
    ProgramState& s = p.state;
    s.model.PinRequest = 126;
    ServedCycle served = serveNextCycle(p);
    EXPECT_EQ(newestLogLine(s), "12:00  Pin 127 bestaat niet");
    EXPECT_THAT(served.phase2, ElementsAre("ReadAllDigital()"));
    EXPECT_THAT(served.phase4, ElementsAre("ReadAllDigital()"));
    EXPECT_EQ(s.model.PinRequest, -1);
    EXPECT_TRUE(p.reporter.messages.empty());

    // Drawings outside 1..63 have no pins.
    Plaat(s, 0);
    Plaat(s, 64);
    EXPECT_EQ(s.model.PinRequest, -1);
}

}  // namespace
}  // namespace blokpost::test

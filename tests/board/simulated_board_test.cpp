#include "board/simulated_board.h"

#include <gtest/gtest.h>

#include <array>

namespace blokpost {
namespace {

TEST(SimulatedBoard, TheAnalogCodeSelectsWhichFiveSensorsTheInputsShow) {
    SimulatedBoard board;
    board.setSensor(1, true);
    board.setSensor(7, true);
    board.setSensor(15, true);
    board.setSensor(16, true);
    board.setSensor(20, true);
    board.OutputAllAnalog(0, 255);
    EXPECT_EQ(board.ReadAllDigital(), 1);
    board.OutputAllAnalog(255, 255);
    EXPECT_EQ(board.ReadAllDigital(), 2);
    board.OutputAllAnalog(255, 0);
    EXPECT_EQ(board.ReadAllDigital(), 16);
    board.OutputAllAnalog(0, 0);
    EXPECT_EQ(board.ReadAllDigital(), 1 + 16);
}

TEST(SimulatedBoard, TheDecoderTakesTheAddressWhenTheStrobeRises) {
    SimulatedBoard board;
    board.SetDigitalChannel(7);
    board.SetDigitalChannel(1);
    EXPECT_EQ(board.lastDecodedAddress(), -1);
    board.SetDigitalChannel(8);
    EXPECT_EQ(board.lastDecodedAddress(), 65);
    board.SetDigitalChannel(8);  // still high: no second strobe
    EXPECT_EQ(board.strobeCount(), 1u);
    board.ClearAllDigital();
    EXPECT_EQ(board.digitalOutputs(), 0);
    board.SetDigitalChannel(8);
    EXPECT_EQ(board.lastDecodedAddress(), 0);
    EXPECT_EQ(board.strobeCount(), 2u);
}

// One click, one train: whenever in the cycle a train passes, the scan sees
// its sensor in exactly one read, so its hold flag latches once; the button
// shows it at least 1.5 s and goes off once it has been read.
TEST(SimulatedBoard, APassingTrainIsReadExactlyOnceWheneverItComes) {
    constexpr int kSensor = 14;  // group 3: selected in phase 5, read in phase 6
    constexpr std::array<std::array<int, 2>, 4> kGroupCode{{{0, 255}, {255, 255}, {255, 0}, {0, 0}}};
    for (int clickedAt = 0; clickedAt < 8; ++clickedAt) {
        SCOPED_TRACE(testing::Message() << "clicked before tick " << clickedAt);
        SimulatedBoard board;
        int reads = 0;
        int shownTicks = 0;
        for (int tick = 0; tick < 40; ++tick) {
            if (tick == clickedAt) board.pulseSensor(kSensor);
            const int phase = tick % 8 + 1;
            const auto& code = kGroupCode[static_cast<std::size_t>((phase - 1) / 2)];
            if (phase % 2 == 1) board.OutputAllAnalog(code[0], code[1]);
            else if (phase == 6 && (board.ReadAllDigital() & (1 << 3))) ++reads;
            board.passTick();
            if (board.pulsing(kSensor)) ++shownTicks;
        }
        EXPECT_EQ(reads, 1);
        EXPECT_EQ(shownTicks, SimulatedBoard::kPulseTicks - 1);  // the click's own tick is the first
        EXPECT_FALSE(board.sensor(kSensor));
    }
    // Not read at all (the cycle stands still): the train stays on the contact.
    SimulatedBoard board;
    board.pulseSensor(kSensor);
    for (int tick = 0; tick < 40; ++tick) board.passTick();
    EXPECT_TRUE(board.pulsing(kSensor));
    board.OutputAllAnalog(255, 0);
    EXPECT_EQ(board.ReadAllDigital(), 1 << 3);
    EXPECT_FALSE(board.pulsing(kSensor));
}

}  // namespace
}  // namespace blokpost

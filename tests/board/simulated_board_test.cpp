#include "board/simulated_board.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace blokpost

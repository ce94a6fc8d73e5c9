#include "board/board_choice.h"
#include "board/usb_fake_k8055.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

using ::testing::ElementsAre;

UsbReport outputReport(std::uint8_t digital, std::uint8_t analog1, std::uint8_t analog2) {
    return {5, digital, analog1, analog2, 0, 0, 0, 0};
}

TEST(K8055Usb, EachInputIsTakenFromItsShuffledBit) {
    FakeK8055 fake;
    auto board = fake.open();
    // Inputs 1..5 travel in bits 0x10, 0x20, 0x01, 0x40, 0x80 of byte 0.
    const std::uint8_t wire[5] = {0x10, 0x20, 0x01, 0x40, 0x80};
    for (int k = 0; k < 5; ++k) {
        fake.queueRaw({wire[k], 1, 0, 0, 0, 0, 0, 0});
        EXPECT_EQ(board->ReadAllDigital(), 1 << k) << "input " << k + 1;
        board->endOfTick();
    }
    fake.queueRaw({0x0E, 1, 0, 0, 0, 0, 0, 0});  // bits that carry no input
    EXPECT_EQ(board->ReadAllDigital(), 0);
    board->endOfTick();
    fake.queueRaw({0xF1, 1, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(board->ReadAllDigital(), 31);
}

TEST(K8055Usb, OneChannelChangesWithoutDisturbingTheOtherOutputs) {
    FakeK8055 fake;
    auto board = fake.open();
    board->OutputAllAnalog(12, 200);
    board->endOfTick();
    board->SetDigitalChannel(3);
    board->endOfTick();
    board->SetDigitalChannel(8);
    board->endOfTick();
    board->OutputAllAnalog(-5, 300);  // out of range: held at the ends
    board->endOfTick();
    board->ClearAllDigital();
    board->endOfTick();
    EXPECT_THAT(fake.sent, ElementsAre(outputReport(0, 12, 200), outputReport(0x04, 12, 200),
                                       outputReport(0x84, 12, 200), outputReport(0x84, 0, 255),
                                       outputReport(0, 0, 255)));
}

TEST(K8055Usb, OutputsGoOutOnceAtTheEndOfATickAndOnlyWhenChanged) {
    FakeK8055 fake;
    auto board = fake.open();
    board->endOfTick();  // a newly opened board is told its outputs once
    ASSERT_EQ(fake.sent.size(), 1u);
    board->SetDigitalChannel(1);
    board->SetDigitalChannel(2);
    board->OutputAllAnalog(255, 0);
    EXPECT_EQ(fake.sent.size(), 1u);
    board->endOfTick();
    EXPECT_THAT(fake.sent.back(), outputReport(0x03, 255, 0));
    board->endOfTick();
    board->SetDigitalChannel(9);  // no such output
    board->SetDigitalChannel(0);
    board->OutputAllAnalog(255, 0);
    board->endOfTick();
    EXPECT_EQ(fake.sent.size(), 2u);
}

TEST(K8055Usb, AReportWithAnotherCardsStatusIsNotTaken) {
    FakeK8055 fake;
    fake.address = 1;
    auto board = fake.open();
    fake.queueRaw({0x10, 2, 40, 0, 0, 0, 0, 0});  // address 1 + 1
    EXPECT_EQ(board->ReadAllDigital(), 1);
    board->endOfTick();
    fake.queueRaw({0x20, 1, 99, 0, 0, 0, 0, 0});  // card 0's status
    fake.queueRaw({0x20, 0, 99, 0, 0, 0, 0, 0});
    EXPECT_EQ(board->ReadAllDigital(), 1);
    EXPECT_EQ(board->ReadAnalogChannel(1), 40);
    board->endOfTick();
    fake.queueRaw({0x01, 12, 7, 0, 0, 0, 0, 0});  // address 1 + 11: the newer model
    EXPECT_EQ(board->ReadAllDigital(), 4);
    EXPECT_EQ(board->ReadAnalogChannel(1), 7);
}

TEST(K8055Usb, CountersAreUnsigned) {
    K8055Input input;
    ASSERT_TRUE(decodeInputReport({0, 1, 0, 0, 0x40, 0x9C, 0xFF, 0xFF}, 0, input));
    EXPECT_EQ(input.counter[0], 40000);
    EXPECT_EQ(input.counter[1], 65535);
    FakeK8055 fake;
    auto board = fake.open();
    fake.queueReport(0, 0, 0, 32768, 1);
    board->ReadAllDigital();
    EXPECT_EQ(board->lastInput().counter[0], 32768);
    EXPECT_EQ(board->lastInput().counter[1], 1);
}

TEST(K8055Usb, QueuedReportsAreDrainedAndTheNewestIsUsedForTheWholeTick) {
    FakeK8055 fake;
    auto board = fake.open();
    fake.queueReport(1, 10, 20);
    fake.queueReport(2, 11, 21);
    fake.queueReport(4, 12, 22);
    EXPECT_EQ(board->ReadAnalogChannel(1), 12);
    fake.queueReport(8, 13, 23);  // arrives later in the same tick
    EXPECT_EQ(board->ReadAnalogChannel(2), 22);
    EXPECT_EQ(board->ReadAllDigital(), 4);
    EXPECT_EQ(fake.traffic, "rrrr");  // three reports, then nothing waiting
    board->endOfTick();
    EXPECT_EQ(board->ReadAllDigital(), 8);
    board->endOfTick();
    // Nothing new from the board: the last report stands.
    EXPECT_EQ(board->ReadAllDigital(), 8);
    EXPECT_EQ(board->ReadAnalogChannel(9), 0);
}

TEST(K8055Usb, AFetchEndsEvenWhenReportsNeverStop) {
    FakeK8055 fake;
    auto board = fake.open();
    for (int i = 0; i < 500; ++i) fake.queueReport(static_cast<std::uint8_t>(i % 32));
    board->ReadAllDigital();
    EXPECT_LE(fake.traffic.size(), 32u);
    EXPECT_FALSE(fake.queued.empty());
}

TEST(K8055Usb, AnUnpluggedBoardReadsZeroAndIsLeftAlone) {
    FakeK8055 fake;
    auto board = fake.open();
    fake.queueReport(31, 200, 100);
    EXPECT_EQ(board->ReadAllDigital(), 31);
    board->endOfTick();
    fake.plugged = false;
    fake.traffic.clear();
    EXPECT_EQ(board->ReadAllDigital(), 0);
    EXPECT_EQ(board->ReadAnalogChannel(1), 0);
    EXPECT_FALSE(board->connected());
    EXPECT_EQ(board->OpenDevice(0), -1);
    for (int tick = 0; tick < 50; ++tick) {
        board->SetDigitalChannel(1 + tick % 8);
        board->OutputAllAnalog(tick, 255 - tick);
        EXPECT_EQ(board->ReadAllDigital(), 0);
        board->endOfTick();
    }
    EXPECT_EQ(fake.traffic, "r");  // the one read that found it gone
}

TEST(K8055Usb, ABoardThatKeepsFailingIsTreatedAsGone) {
    FakeK8055 fake;
    auto board = fake.open();
    fake.queueReport(3);
    board->ReadAllDigital();
    board->endOfTick();
    fake.failing = true;
    int ticks = 0;
    while (board->connected() && ticks < 100) {
        board->SetDigitalChannel(1 + ticks % 8);
        // A failed read keeps the last report, as long as the outputs (the sensor selector) get through.
        EXPECT_EQ(board->ReadAllDigital(), ticks < kOutputRefusalsBeforeNotice ? 3 : 0) << "tick " << ticks;
        board->endOfTick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 4);  // two failing transfers a tick, eight in a row
    EXPECT_EQ(board->ReadAllDigital(), 0);
}

TEST(K8055Usb, AWriteThatFailsIsSentAgainAtTheNextTick) {
    FakeK8055 fake;
    auto board = fake.open();
    board->endOfTick();
    fake.failing = true;
    board->SetDigitalChannel(5);
    board->endOfTick();
    fake.failing = false;
    board->endOfTick();
    EXPECT_THAT(fake.sent, ElementsAre(outputReport(0, 0, 0), outputReport(0x10, 0, 0)));
}

TEST(K8055Usb, TheBusIsNotSearchedForACardAddressTheBoardCannotHave) {
    DriverBoard driver(usbBoardOpener());
    EXPECT_EQ(driver.OpenDevice(4), -1);
    EXPECT_EQ(driver.OpenDevice(-1), -1);
    EXPECT_EQ(driver.mode(), DriverBoard::Mode::Simulated);
}

}  // namespace
}  // namespace blokpost::test

#include "board/board_choice.h"
#include "board/usb_fake_k8055.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

using ::testing::ElementsAre;
using namespace std::chrono_literals;

UsbReport outputReport(std::uint8_t digital, std::uint8_t analog1, std::uint8_t analog2) {
    return {5, digital, analog1, analog2, 0, 0, 0, 0};
}

TEST(K8055Usb, InputReportsAreDecodedFromTheBoardsBitsForItsOwnCardOnly) {
    struct Case {
        UsbReport report;
        int address;
        bool taken;
        int digital, analog1, counter1, counter2;
    };
    const Case cases[] = {
        {{0x10, 1, 0, 0, 0, 0, 0, 0}, 0, true, 1, 0, 0, 0},
        {{0x20, 1, 0, 0, 0, 0, 0, 0}, 0, true, 2, 0, 0, 0},
        {{0x01, 1, 0, 0, 0, 0, 0, 0}, 0, true, 4, 0, 0, 0},
        {{0x40, 1, 0, 0, 0, 0, 0, 0}, 0, true, 8, 0, 0, 0},
        {{0x80, 1, 0, 0, 0, 0, 0, 0}, 0, true, 16, 0, 0, 0},
        {{0x0E, 1, 0, 0, 0, 0, 0, 0}, 0, true, 0, 0, 0, 0},  // bits that carry no input
        {{0xF1, 2, 40, 0, 0x40, 0x9C, 0xFF, 0xFF}, 1, true, 31, 40, 40000, 65535},
        {{0x01, 12, 7, 0, 0, 0, 0, 0}, 1, true, 4, 7, 0, 0},  // address + 11: the newer model
        {{0x20, 1, 99, 0, 0, 0, 0, 0}, 1, false, 0, 0, 0, 0},  // card 0's status
        {{0x20, 0, 99, 0, 0, 0, 0, 0}, 1, false, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        K8055Input input;
        ASSERT_EQ(decodeInputReport(c.report, c.address, input), c.taken) << int(c.report[0]) << "/" << int(c.report[1]);
        if (!c.taken) continue;
        EXPECT_EQ(input.digital, c.digital);
        EXPECT_EQ(input.analog[0], c.analog1);
        EXPECT_EQ(input.counter[0], c.counter1);
        EXPECT_EQ(input.counter[1], c.counter2);
    }
}

TEST(K8055Usb, OutputsGoOutOnceAtTheEndOfATickOnlyWhenChangedAndHeldInRange) {
    FakeK8055 fake;
    auto board = fake.open();
    board->endOfTick();  // a newly opened board is told its outputs once
    const auto tick = [&](auto change) {
        change();
        fake.advance(125ms);
        board->endOfTick();
    };
    tick([&] {
        board->SetDigitalChannel(1);
        board->SetDigitalChannel(2);
        board->OutputAllAnalog(255, 0);
    });
    tick([] {});
    tick([&] {
        board->SetDigitalChannel(9);  // no such output
        board->SetDigitalChannel(0);
        board->OutputAllAnalog(255, 0);
    });
    tick([&] { board->SetDigitalChannel(8); });
    tick([&] { board->OutputAllAnalog(-5, 300); });
    tick([&] { board->ClearAllDigital(); });
    fake.advance(125ms);
    board->endOfTick();
    EXPECT_THAT(fake.sent, ElementsAre(outputReport(0, 0, 0), outputReport(0x03, 255, 0), outputReport(0x83, 255, 0),
                                       outputReport(0x83, 0, 255), outputReport(0, 0, 255)));
}

// The meters keep a silent board's analog inputs for a second, then read 0.
TEST(K8055Usb, AnalogInputsOutliveTheirReportByOneSecond) {
    FakeK8055 fake;
    fake.analog = {200, 7};
    auto board = fake.open();
    std::vector<int> read;
    for (int tick = 0; tick < 16; ++tick) {
        if (tick == 4) fake.inputs = FakeSide::Silent;
        fake.advance(125ms);
        read.push_back(board->ReadAnalogChannel(1));
        board->endOfTick();
    }
    // The last report came at 0.5 s: read up to 1.5 s, not at 1.625 s.
    EXPECT_THAT(read, ElementsAre(200, 200, 200, 200, 200, 200, 200, 200, 200, 200, 200, 200, 0, 0, 0, 0));
}

TEST(K8055Usb, TheBusIsNotSearchedForACardAddressTheBoardCannotHave) {
    DriverBoard driver(usbBoardOpener());
    EXPECT_EQ(driver.OpenDevice(4), -1);
    EXPECT_EQ(driver.OpenDevice(-1), -1);
    EXPECT_EQ(driver.mode(), DriverBoard::Mode::Simulated);
}

}  // namespace
}  // namespace blokpost::test

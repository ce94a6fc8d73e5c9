#pragma once
// The K8055 board spoken to directly over USB.
//
// The board cannot report its outputs back, so the driver keeps all of them
// (eight digital outputs, two analog outputs) and sends them together in one
// report whenever they change. The board sends an input report about every
// 10 ms and reports can queue up, so a read drains what is waiting and uses
// the newest one.
//
// Traffic is bounded per tick of the main cycle: the first read of a tick
// fetches input, later reads in the same tick use that report; outputs
// changed during a tick go out once, in one report, when the tick ends.
// Time is bounded too: all transfers of one tick together wait at most
// kBoardTickBudgetMs for the board, so a board that stops answering cannot
// stretch a tick past its period.
//
// Outputs are watched on their own: a board that keeps taking input
// reports but refuses output reports (a stalled endpoint that clearing does
// not cure, reports that time out) leaves the layout unswitched and the
// sensor selector unset. After kOutputRefusalsBeforeNotice refusals in a row
// the board counts as refusing its outputs; its digital inputs then read as
// off, since nobody knows which sensor group they show.

#include "board/driver_board.h"
#include "board/usb_transport.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

namespace blokpost {

// The longest a tick waits for the board, reads and write together.
inline constexpr int kBoardTickBudgetMs = 40;
inline constexpr int kOutputRefusalsBeforeNotice = 3;

struct K8055Input {
    std::uint8_t digital = 0;                // inputs 1..5 as bits 0..4
    std::array<std::uint8_t, 2> analog{};    // analog inputs 1 and 2
    std::array<std::uint16_t, 2> counter{};  // the two counters
};

struct K8055Outputs {
    std::uint8_t digital = 0;  // output 1 = bit 0 .. output 8 = bit 7
    std::uint8_t analog1 = 0;
    std::uint8_t analog2 = 0;
    bool operator==(const K8055Outputs&) const = default;
};

// Decodes an input report. False when its status byte does not belong to the
// card address (address + 1, or address + 11 for the newer model).
bool decodeInputReport(const UsbReport& report, int address, K8055Input& input);
// The report that sets all outputs at once.
UsbReport encodeOutputReport(const K8055Outputs& outputs);

class K8055UsbBoard : public RealBoard {
public:
    K8055UsbBoard(std::unique_ptr<UsbTransport> transport, int address);

    std::int32_t OpenDevice(std::int32_t address) override;
    void OutputAllAnalog(std::int32_t value1, std::int32_t value2) override;
    std::int32_t ReadAllDigital() override;
    void SetDigitalChannel(std::int32_t channel) override;
    void ClearAllDigital() override;
    std::int32_t ReadAnalogChannel(std::int32_t channel) override;

    void endOfTick() override;
    bool connected() const override { return transport_ != nullptr; }
    int address() const override { return address_; }
    bool outputsGettingThrough() const override { return outputRefusalsInARow_ < kOutputRefusalsBeforeNotice; }
    bool retryOutputs() override;

    // The newest input report taken (zeros once unplugged).
    const K8055Input& lastInput() const { return input_; }
    const K8055Outputs& outputs() const { return outputs_; }

private:
    const K8055Input& input();
    void fetchNewestReport();
    void sendOutputs(int timeoutMs);
    // What the tick may still wait for the board; the tick's clock starts at its first transfer.
    int remainingBudgetMs();
    // A transfer went wrong: the board is dropped when it is gone or keeps failing.
    void noteFailure(UsbResult result);
    void disconnect();

    std::unique_ptr<UsbTransport> transport_;
    int address_;
    K8055Input input_;
    bool inputFetchedThisTick_ = false;
    K8055Outputs outputs_;
    std::optional<K8055Outputs> sent_;  // what the board holds; unknown until the first report
    int failuresInARow_ = 0;         // any transfer; a good one of either kind resets it
    int outputRefusalsInARow_ = 0;   // output reports only; only a report taken resets it
    std::optional<std::chrono::steady_clock::time_point> tickDeadline_;
};

// The driver's opener for boards reached through `connector` (libusb in the program).
DriverBoard::Opener k8055Opener(UsbConnector connector);

}  // namespace blokpost

#pragma once
// The K8055 board spoken to directly over USB.
//
// The board cannot report its outputs back, so the driver keeps all of them
// (eight digital outputs, two analog outputs) and sends them together in one
// report whenever they change, at the end of a tick. Nothing waits for the
// board: output reports go out as transfers with a deadline and an input
// transfer always stands submitted, so a tick costs the same whether the
// board answers in 1 ms or not at all.
//
// The digital inputs show whichever sensor group the analog outputs select.
// An input report therefore counts only for the selection it was made under:
// the transfer that carried it must have been submitted (the moment the
// board loads a fresh report) at least the board's sampling time after the
// output report that set the current selection was taken, and it must be
// recent. A read that has no such report reads all inputs off; no report
// of one group ever stands in for another.
//
// Inputs and outputs are watched apart. A side counts as failing from its
// first failed read or refused output report until it works again; the
// driver board tells the operator when it keeps failing.

#include "board/driver_board.h"
#include "board/usb_transport.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

namespace blokpost {

// An output report the board has not taken by then has failed.
inline constexpr std::chrono::milliseconds kOutputDeadline{100};
// With no input report for this long, the IN endpoint counts as silent.
inline constexpr std::chrono::milliseconds kInputSilentAfter{100};
// A report older than this says nothing about the analog inputs any more.
inline constexpr std::chrono::milliseconds kAnalogReportLifetime{1000};

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
    void seedOutputs(std::uint8_t digital, std::int32_t analog1, std::int32_t analog2) override;
    bool connected() const override { return transport_ != nullptr; }
    int address() const override { return address_; }
    std::optional<UsbClock::duration> inputsFailingFor() const override { return failingFor(inputsFailingSince_); }
    std::optional<UsbClock::duration> outputsFailingFor() const override { return failingFor(outputsFailingSince_); }
    void retryOutputs() override;

    // The newest input report taken (zeros once unplugged).
    const K8055Input& lastInput() const { return newest_.input; }
    const K8055Outputs& outputs() const { return outputs_; }

private:
    struct Arrival {
        K8055Input input;
        UsbClock::time_point endedAt{};
        UsbClock::time_point submittedAt{};
        bool any = false;
    };

    void collect();
    void takeOutputCompletion(const UsbCompletion& done);
    void sendPending();
    // Looks at the inputs once per tick: the report that counts for the selection, or none.
    void readOncePerTick();
    bool selectionConfirmed() const;
    std::optional<UsbClock::duration> failingFor(const std::optional<UsbClock::time_point>& since) const;
    void disconnect();

    std::unique_ptr<UsbTransport> transport_;
    int address_;
    K8055Outputs outputs_;                 // what the cycle wants on the board
    std::optional<K8055Outputs> held_;     // what the board has taken; unknown until the first report
    std::optional<K8055Outputs> inFlight_;  // the report under way
    // The selection (both analog outputs) the board holds, and since when.
    std::optional<std::pair<std::uint8_t, std::uint8_t>> heldSelection_;
    UsbClock::time_point selectionSince_{};
    Arrival newest_;
    bool readThisTick_ = false;
    std::uint8_t digitalThisTick_ = 0;
    std::optional<UsbClock::time_point> inputsFailingSince_;
    std::optional<UsbClock::time_point> outputsFailingSince_;
};

// The driver's opener for boards reached through `connector` (libusb in the program).
DriverBoard::Opener k8055Opener(UsbConnector connector);

}  // namespace blokpost

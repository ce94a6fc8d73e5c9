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
// An input report therefore counts only when the board made it after it took
// the selection (see kReportsTheBoardHolds for what the driver takes the
// board to be). Once the selection is taken it is sampling until a report
// proves itself made under it: its transfer was submitted two polling
// intervals after the selection was taken (the board loads a report when
// the one before is taken, from inputs sampled up to a poll earlier), and
// either that transfer was seen still waiting on the bus two polls after its
// submission (the board held none of its earlier reports then) or more
// reports have come since the selection than the board can hold plus the
// one it was sampling. From then on the reports count, while they are
// recent. A read that has no such report reads all inputs off; no report
// of one group ever stands in for another.
//
// Inputs and outputs are watched apart, each side unproven from the opening
// until it first works, working, or failing from its first failed read or
// refused output report until it works again. A side not yet given its
// chance (the inputs, until the outputs work) is unproven, not failing. The
// driver board names the board's mode from the two and tells the operator
// when a side keeps failing.

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
    std::optional<UsbClock::duration> inputsFailingFor() const override { return notWorkingFor(inputs_); }
    std::optional<UsbClock::duration> outputsFailingFor() const override { return notWorkingFor(outputs_); }
    bool reportsArriving() const override;
    bool bothSidesWork() const override { return inputs_.state == SideState::Working && outputs_.state == SideState::Working; }
    bool haltStuck() const override { return transport_ && transport_->haltStuck(); }
    void retryOutputs() override;

    enum class SideState { Unproven, Working, Failing };
    enum class SelectionState { NotTaken, Sampling, ReportsCount };
    SideState inputsState() const { return inputs_.state; }
    SideState outputsState() const { return outputs_.state; }
    SelectionState selectionState() const;

    // The newest input report taken (zeros once unplugged).
    const K8055Input& lastInput() const { return newest_.input; }
    const K8055Outputs& outputs() const { return wanted_; }

private:
    struct Arrival {
        K8055Input input;
        UsbClock::time_point endedAt{};
        bool any = false;
    };
    struct Side {
        SideState state = SideState::Unproven;
        UsbClock::time_point since{};  // when it became what it is; an unproven side's chance began then
    };
    // The selection (both analog outputs) the board has taken, and what its reports since prove.
    struct Selection {
        std::pair<std::uint8_t, std::uint8_t> value;
        UsbClock::time_point takenAt{};
        int reportsSince = 0;
        bool proven = false;
    };

    void collect();
    void takeOutputCompletion(const UsbCompletion& done);
    void takeInputReport(const UsbCompletion& done, const K8055Input& input);
    void sendPending();
    // Looks at the inputs once per tick: the report that counts for the selection, or none.
    void readOncePerTick();
    static void becomes(Side& side, SideState state, UsbClock::time_point at);
    std::optional<UsbClock::duration> notWorkingFor(const Side& side) const;
    void disconnect();

    std::unique_ptr<UsbTransport> transport_;
    int address_;
    K8055Outputs wanted_;                   // what the cycle wants on the board
    std::optional<K8055Outputs> held_;      // what the board has taken; unknown until it takes a report
    std::optional<K8055Outputs> inFlight_;  // the report under way
    std::optional<Selection> selection_;
    Arrival newest_;
    bool readThisTick_ = false;
    std::uint8_t digitalThisTick_ = 0;
    Side inputs_, outputs_;
};

// The driver's opener for boards reached through `connector` (libusb in the program).
DriverBoard::Opener k8055Opener(UsbConnector connector);

}  // namespace blokpost

#include "board/k8055_usb_board.h"

#include <algorithm>

namespace blokpost {

namespace {

constexpr std::uint8_t kSetOutputsCommand = 5;
// Where each digital input sits in byte 0 of an input report: input 1 .. input 5.
constexpr std::array<std::uint8_t, 5> kInputBits = {0x10, 0x20, 0x01, 0x40, 0x80};
constexpr int kOriginalStatusOffset = 1;
constexpr int kNewerModelStatusOffset = 11;

// The board sends every 10 ms: wait a little longer than that for a first
// report, and only a moment for each further one that is already queued.
// That moment is well under the 10 ms to the board's next report, yet long
// enough for a queued one to make the trip through libusb and the kernel on
// a busy machine; at 1 ms a drain could stop early and keep a stale report.
constexpr int kFirstReportWaitMs = 20;
constexpr int kQueuedReportWaitMs = 4;
// Bounds one fetch even if reports never stop arriving.
constexpr int kMaxReportsPerFetch = 32;
// A board that fails this many transfers in a row is treated as gone.
constexpr int kFailuresBeforeGone = 8;
// A healthy board takes an output report within one 10 ms poll of its endpoint.
constexpr int kWriteWaitMs = 20;
// Outside the cycle ("K8055n") a try of the outputs may wait longer.
constexpr int kRetryWaitMs = 100;
// Kept back from each transfer's wait: libusb cancels and reaps a transfer
// that timed out, and that must fit in the tick's budget too.
constexpr int kCancelReserveMs = 4;

std::uint8_t byteValue(std::int32_t value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

std::uint16_t littleEndian(std::uint8_t low, std::uint8_t high) {
    return static_cast<std::uint16_t>(low | (high << 8));
}

}  // namespace

bool decodeInputReport(const UsbReport& report, int address, K8055Input& input) {
    const int status = report[1];
    if (status != address + kOriginalStatusOffset && status != address + kNewerModelStatusOffset) return false;
    input.digital = 0;
    for (std::size_t k = 0; k < kInputBits.size(); ++k)
        if (report[0] & kInputBits[k]) input.digital = static_cast<std::uint8_t>(input.digital | (1u << k));
    input.analog = {report[2], report[3]};
    input.counter = {littleEndian(report[4], report[5]), littleEndian(report[6], report[7])};
    return true;
}

UsbReport encodeOutputReport(const K8055Outputs& outputs) {
    return {kSetOutputsCommand, outputs.digital, outputs.analog1, outputs.analog2, 0, 0, 0, 0};
}

K8055UsbBoard::K8055UsbBoard(std::unique_ptr<UsbTransport> transport, int address)
    : transport_(std::move(transport)), address_(address) {}

std::int32_t K8055UsbBoard::OpenDevice(std::int32_t address) {
    return connected() && address == address_ ? 0 : -1;
}

void K8055UsbBoard::OutputAllAnalog(std::int32_t value1, std::int32_t value2) {
    outputs_.analog1 = byteValue(value1);
    outputs_.analog2 = byteValue(value2);
}

void K8055UsbBoard::SetDigitalChannel(std::int32_t channel) {
    if (channel < 1 || channel > 8) return;
    outputs_.digital = static_cast<std::uint8_t>(outputs_.digital | (1u << (channel - 1)));
}

void K8055UsbBoard::ClearAllDigital() { outputs_.digital = 0; }

std::int32_t K8055UsbBoard::ReadAllDigital() {
    const std::uint8_t digital = input().digital;
    return outputsGettingThrough() ? digital : 0;
}

std::int32_t K8055UsbBoard::ReadAnalogChannel(std::int32_t channel) {
    if (channel != 1 && channel != 2) return 0;
    return input().analog[static_cast<std::size_t>(channel - 1)];
}

const K8055Input& K8055UsbBoard::input() {
    if (!inputFetchedThisTick_) {
        inputFetchedThisTick_ = true;
        fetchNewestReport();
    }
    return input_;
}

void K8055UsbBoard::fetchNewestReport() {
    int waitMs = kFirstReportWaitMs;
    for (int n = 0; n < kMaxReportsPerFetch && transport_; ++n) {
        const int budgetMs = remainingBudgetMs();
        if (budgetMs <= 0) return;
        UsbReport report{};
        const UsbResult result = transport_->read(report, std::min(waitMs, budgetMs));
        if (result == UsbResult::Timeout) return;
        if (result != UsbResult::Ok) {
            noteFailure(result);
            return;
        }
        failuresInARow_ = 0;
        // A report for another address is passed over; the older good one stays.
        decodeInputReport(report, address_, input_);
        waitMs = kQueuedReportWaitMs;
    }
}

void K8055UsbBoard::endOfTick() {
    inputFetchedThisTick_ = false;
    // With the budget spent the outputs wait for the next tick.
    if (transport_ && sent_ != outputs_)
        if (const int budgetMs = remainingBudgetMs(); budgetMs > 0) sendOutputs(std::min(kWriteWaitMs, budgetMs));
    tickDeadline_.reset();
}

bool K8055UsbBoard::retryOutputs() {
    if (transport_) sendOutputs(kRetryWaitMs);
    return transport_ && outputRefusalsInARow_ == 0;
}

int K8055UsbBoard::remainingBudgetMs() {
    const auto now = std::chrono::steady_clock::now();
    if (!tickDeadline_) tickDeadline_ = now + std::chrono::milliseconds(kBoardTickBudgetMs);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*tickDeadline_ - now).count();
    return static_cast<int>(left) - kCancelReserveMs;
}

void K8055UsbBoard::sendOutputs(int timeoutMs) {
    const UsbResult result = transport_->write(encodeOutputReport(outputs_), timeoutMs);
    if (result == UsbResult::Ok) {
        failuresInARow_ = 0;
        outputRefusalsInARow_ = 0;
        sent_ = outputs_;
    } else {
        // Not taken: the outputs stay pending and go out at the next tick's end.
        if (result != UsbResult::Gone) ++outputRefusalsInARow_;
        noteFailure(result == UsbResult::Timeout ? UsbResult::Failed : result);
    }
}

void K8055UsbBoard::noteFailure(UsbResult result) {
    if (result == UsbResult::Gone || ++failuresInARow_ >= kFailuresBeforeGone) disconnect();
}

void K8055UsbBoard::disconnect() {
    transport_.reset();
    input_ = {};
    sent_.reset();
    outputRefusalsInARow_ = 0;
}

DriverBoard::Opener k8055Opener(UsbConnector connector) {
    return [connector = std::move(connector)](std::int32_t address, std::string& problem) -> std::unique_ptr<RealBoard> {
        std::unique_ptr<UsbTransport> transport = connector(address, problem);
        if (!transport) return nullptr;
        auto board = std::make_unique<K8055UsbBoard>(std::move(transport), address);
        // A board counts as found only when it takes its outputs: one that
        // answers but refuses them would leave the layout unswitched.
        if (!board->retryOutputs()) {
            problem = kOutputsRefusedProblem;
            return nullptr;
        }
        return board;
    };
}

}  // namespace blokpost

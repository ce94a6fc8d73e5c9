#include "board/k8055_usb_board.h"

#include <algorithm>

namespace blokpost {

namespace {

constexpr std::uint8_t kSetOutputsCommand = 5;
// Where each digital input sits in byte 0 of an input report: input 1 .. input 5.
constexpr std::array<std::uint8_t, 5> kInputBits = {0x10, 0x20, 0x01, 0x40, 0x80};
constexpr int kOriginalStatusOffset = 1;
constexpr int kNewerModelStatusOffset = 11;

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

void K8055UsbBoard::seedOutputs(std::uint8_t digital, std::int32_t analog1, std::int32_t analog2) {
    outputs_.digital = digital;
    OutputAllAnalog(analog1, analog2);
    // Out at once: the decoder and the selector must not see a moment of zeros.
    sendPending();
}

std::int32_t K8055UsbBoard::ReadAllDigital() {
    readOncePerTick();
    return digitalThisTick_;
}

std::int32_t K8055UsbBoard::ReadAnalogChannel(std::int32_t channel) {
    if (channel != 1 && channel != 2) return 0;
    readOncePerTick();
    if (!newest_.any || !transport_ || transport_->now() - newest_.endedAt > kAnalogReportLifetime) return 0;
    return newest_.input.analog[static_cast<std::size_t>(channel - 1)];
}

void K8055UsbBoard::readOncePerTick() {
    if (readThisTick_) return;
    readThisTick_ = true;
    digitalThisTick_ = 0;
    collect();
    if (!transport_) return;
    const UsbClock::time_point now = transport_->now();
    const bool reportsArrive = newest_.any && now - newest_.endedAt < kInputSilentAfter;
    // The board loads its next report when the one before is taken, which is
    // when the transfer carrying it was submitted: that moment must lie past
    // the selection plus the board's sampling time.
    const bool confirmed = selectionConfirmed();
    if (confirmed && reportsArrive && newest_.submittedAt >= selectionSince_ + transport_->sampleTime()) {
        digitalThisTick_ = newest_.input.digital;
        inputsFailingSince_.reset();
        return;
    }
    // Without a selection the board has taken, the inputs show no known
    // group: that is the output side's failure, and the input side's only
    // when no report of any group arrives either.
    if ((confirmed || !reportsArrive) && !inputsFailingSince_) inputsFailingSince_ = now;
}

bool K8055UsbBoard::selectionConfirmed() const {
    return heldSelection_ && *heldSelection_ == std::pair(outputs_.analog1, outputs_.analog2);
}

void K8055UsbBoard::collect() {
    if (!transport_) return;
    for (const UsbCompletion& done : transport_->collect()) {
        if (done.result == UsbResult::Gone) {
            disconnect();
            return;
        }
        if (!done.input) {
            takeOutputCompletion(done);
            continue;
        }
        // A report for another card, or of the wrong size, is passed over.
        K8055Input input;
        if (done.result == UsbResult::Ok && decodeInputReport(done.report, address_, input))
            newest_ = {input, done.endedAt, done.submittedAt, true};
    }
}

void K8055UsbBoard::takeOutputCompletion(const UsbCompletion& done) {
    const std::optional<K8055Outputs> carried = std::exchange(inFlight_, std::nullopt);
    if (done.result != UsbResult::Ok || !carried) {
        // Not taken: the outputs go out again at the next tick's end.
        if (!outputsFailingSince_) outputsFailingSince_ = done.endedAt;
        return;
    }
    outputsFailingSince_.reset();
    held_ = carried;
    const std::pair selection(carried->analog1, carried->analog2);
    if (heldSelection_ != selection) {
        heldSelection_ = selection;
        selectionSince_ = done.endedAt;
    }
}

void K8055UsbBoard::sendPending() {
    if (!transport_ || held_ == outputs_ || transport_->sending()) return;
    if (transport_->send(encodeOutputReport(outputs_), kOutputDeadline)) inFlight_ = outputs_;
}

void K8055UsbBoard::endOfTick() {
    readThisTick_ = false;
    collect();
    sendPending();
}

void K8055UsbBoard::retryOutputs() {
    // The board may have lost what it held (a reset, a stall): send it all again.
    held_.reset();
    collect();
    sendPending();
}

std::optional<UsbClock::duration> K8055UsbBoard::failingFor(const std::optional<UsbClock::time_point>& since) const {
    if (!since || !transport_) return std::nullopt;
    return transport_->now() - *since;
}

void K8055UsbBoard::disconnect() {
    transport_.reset();
    newest_ = {};
    held_.reset();
    inFlight_.reset();
    heldSelection_.reset();
    inputsFailingSince_.reset();
    outputsFailingSince_.reset();
    digitalThisTick_ = 0;
}

DriverBoard::Opener k8055Opener(UsbConnector connector) {
    return [connector = std::move(connector)](std::int32_t address, std::string& problem) -> std::unique_ptr<RealBoard> {
        std::unique_ptr<UsbTransport> transport = connector(address, problem);
        if (!transport) return nullptr;
        return std::make_unique<K8055UsbBoard>(std::move(transport), address);
    };
}

}  // namespace blokpost

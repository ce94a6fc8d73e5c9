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
    : transport_(std::move(transport)), address_(address) {
    if (transport_) inputs_.since = outputs_.since = transport_->now();
}

std::int32_t K8055UsbBoard::OpenDevice(std::int32_t address) {
    return connected() && address == address_ ? 0 : -1;
}

void K8055UsbBoard::OutputAllAnalog(std::int32_t value1, std::int32_t value2) {
    wanted_.analog1 = byteValue(value1);
    wanted_.analog2 = byteValue(value2);
}

void K8055UsbBoard::SetDigitalChannel(std::int32_t channel) {
    if (channel < 1 || channel > 8) return;
    wanted_.digital = static_cast<std::uint8_t>(wanted_.digital | (1u << (channel - 1)));
}

void K8055UsbBoard::ClearAllDigital() { wanted_.digital = 0; }

void K8055UsbBoard::seedOutputs(std::uint8_t digital, std::int32_t analog1, std::int32_t analog2) {
    wanted_.digital = digital;
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

K8055UsbBoard::SelectionState K8055UsbBoard::selectionState() const {
    if (!selection_ || selection_->value != std::pair(wanted_.analog1, wanted_.analog2)) return SelectionState::NotTaken;
    return selection_->proven ? SelectionState::ReportsCount : SelectionState::Sampling;
}

bool K8055UsbBoard::reportsArriving() const {
    return transport_ && newest_.any && transport_->now() - newest_.endedAt < kInputSilentAfter;
}

void K8055UsbBoard::readOncePerTick() {
    if (readThisTick_) return;
    readThisTick_ = true;
    digitalThisTick_ = 0;
    collect();
    if (!transport_) return;
    const SelectionState selection = selectionState();
    if (selection == SelectionState::ReportsCount && reportsArriving()) {
        digitalThisTick_ = newest_.input.digital;
        becomes(inputs_, SideState::Working, transport_->now());
        return;
    }
    // Without a selection the board has taken, the inputs show no known
    // group: that is the output side's failure, and the input side's only
    // when no report of any group arrives either.
    if (selection != SelectionState::NotTaken || !reportsArriving()) becomes(inputs_, SideState::Failing, transport_->now());
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
        if (done.result == UsbResult::Ok && decodeInputReport(done.report, address_, input)) takeInputReport(done, input);
    }
}

void K8055UsbBoard::takeInputReport(const UsbCompletion& done, const K8055Input& input) {
    // A board heard again after a silence: each failing side's chance begins anew.
    const bool afterSilence = !newest_.any || done.endedAt - newest_.endedAt >= kInputSilentAfter;
    for (Side* side : {&inputs_, &outputs_})
        if (afterSilence && side->state == SideState::Failing) becomes(*side, SideState::Unproven, done.endedAt);
    newest_ = {input, done.endedAt, true};
    if (!selection_ || selection_->proven) return;
    ++selection_->reportsSince;
    // The board loads a report when the one before is taken: one asked for
    // two polls after the selection was taken was loaded after it, and made
    // after it when the board held none of its earlier reports then.
    const auto twoPolls = 2 * transport_->inputInterval();
    const bool loadedAfter = done.submittedAt >= selection_->takenAt + twoPolls;
    const bool waitedOnAnEmptyBoard = done.waitingAt >= done.submittedAt + twoPolls;
    const bool heldOnesAllGone = selection_->reportsSince > kReportsTheBoardHolds + 1;
    selection_->proven = loadedAfter && (waitedOnAnEmptyBoard || heldOnesAllGone);
}

void K8055UsbBoard::takeOutputCompletion(const UsbCompletion& done) {
    const std::optional<K8055Outputs> carried = std::exchange(inFlight_, std::nullopt);
    if (done.result != UsbResult::Ok || !carried) {
        // Not taken: the outputs go out again at the next tick's end.
        becomes(outputs_, SideState::Failing, done.endedAt);
        return;
    }
    // The inputs' chance begins when the board takes a selection again.
    if (outputs_.state == SideState::Failing && inputs_.state == SideState::Failing)
        becomes(inputs_, SideState::Unproven, done.endedAt);
    becomes(outputs_, SideState::Working, done.endedAt);
    held_ = carried;
    const std::pair value(carried->analog1, carried->analog2);
    if (!selection_ || selection_->value != value) selection_ = Selection{value, done.endedAt};
}

void K8055UsbBoard::becomes(Side& side, SideState state, UsbClock::time_point at) {
    if (side.state == state) return;
    // An unproven side that fails has failed since its chance began.
    if (!(side.state == SideState::Unproven && state == SideState::Failing)) side.since = at;
    side.state = state;
}

void K8055UsbBoard::sendPending() {
    if (!transport_ || held_ == wanted_ || transport_->sending()) return;
    if (transport_->send(encodeOutputReport(wanted_), kOutputDeadline)) inFlight_ = wanted_;
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

std::optional<UsbClock::duration> K8055UsbBoard::notWorkingFor(const Side& side) const {
    if (side.state == SideState::Working || !transport_) return std::nullopt;
    // Inputs that arrive for no selection taken yet wait for the outputs: that is not their failure.
    if (&side == &inputs_ && side.state == SideState::Unproven && reportsArriving()) return std::nullopt;
    return transport_->now() - side.since;
}

void K8055UsbBoard::disconnect() {
    transport_.reset();
    newest_ = {};
    held_.reset();
    inFlight_.reset();
    selection_.reset();
    inputs_ = outputs_ = {};
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

#include "board/driver_board.h"

namespace blokpost {

namespace {

bool failingLong(const std::optional<std::chrono::steady_clock::duration>& failingFor) {
    return failingFor && *failingFor >= kSideFailureToldAfter;
}

}  // namespace

std::int32_t DriverBoard::OpenDevice(std::int32_t address) {
    openProblem_.clear();
    // Opening it a second time would fail on the claimed interface. It counts
    // as found only while both its sides work; a failing side is tried again.
    if (device_ && device_->connected() && device_->address() == address) {
        const bool inputs = !device_->inputsFailingFor(), outputs = !device_->outputsFailingFor();
        if (inputs && outputs) return 0;
        device_->retryOutputs();
        openProblem_ = !inputs && !outputs ? kBoardSilentProblem : inputs ? kOutputsRefusedProblem : kInputsSilentProblem;
        return -1;
    }
    if (!opener_) return -1;
    std::unique_ptr<RealBoard> device = opener_(address, openProblem_);
    if (!device) return -1;
    device_ = std::move(device);
    toldMode_ = Mode::RealBoardOpen;
    device_->seedOutputs(simulation_.digitalOutputs(), simulation_.analogOutput(1), simulation_.analogOutput(2));
    return 0;
}

DriverBoard::Mode DriverBoard::mode() const {
    if (!device_) return Mode::Simulated;
    if (!device_->connected()) return Mode::Unplugged;
    const auto inputsFor = device_->inputsFailingFor(), outputsFor = device_->outputsFailingFor();
    const bool inputs = failingLong(inputsFor), outputs = failingLong(outputsFor);
    if (inputs && outputs) return Mode::BoardSilent;
    // While the other side is failing too, but not yet for long, it is not
    // yet known whether one side fails or the whole board is silent.
    if (outputs && !inputsFor) return Mode::OutputsRefused;
    if (inputs && !outputsFor) return Mode::InputsSilent;
    return Mode::RealBoardOpen;
}

void DriverBoard::OutputAllAnalog(std::int32_t value1, std::int32_t value2) {
    simulation_.OutputAllAnalog(value1, value2);
    if (device_) device_->OutputAllAnalog(value1, value2);
}

std::int32_t DriverBoard::ReadAllDigital() {
    return device_ ? device_->ReadAllDigital() : simulation_.ReadAllDigital();
}

void DriverBoard::SetDigitalChannel(std::int32_t channel) {
    simulation_.SetDigitalChannel(channel);
    if (device_) device_->SetDigitalChannel(channel);
}

void DriverBoard::ClearAllDigital() {
    simulation_.ClearAllDigital();
    if (device_) device_->ClearAllDigital();
}

std::int32_t DriverBoard::ReadAnalogChannel(std::int32_t channel) {
    return device_ ? device_->ReadAnalogChannel(channel) : simulation_.ReadAnalogChannel(channel);
}

void DriverBoard::endOfTick() {
    if (!device_) return;
    device_->endOfTick();
    noteMode();
}

void DriverBoard::noteMode() {
    const Mode now = mode();
    if (now == toldMode_) return;
    toldMode_ = now;
    switch (now) {
    case Mode::InputsSilent: notice_ = kInputsSilentNotice; break;
    case Mode::OutputsRefused: notice_ = kOutputsRefusedNotice; break;
    case Mode::BoardSilent: notice_ = kBoardSilentNotice; break;
    case Mode::Unplugged: notice_ = kBoardLostNotice; break;
    case Mode::RealBoardOpen:
    case Mode::Simulated: break;
    }
}

}  // namespace blokpost

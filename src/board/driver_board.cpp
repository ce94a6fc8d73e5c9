#include "board/driver_board.h"

namespace blokpost {

std::int32_t DriverBoard::OpenDevice(std::int32_t address) {
    openProblem_.clear();
    // Opening it a second time would fail on the claimed interface; one
    // that refuses its outputs is tried once more instead.
    if (device_ && device_->connected() && device_->address() == address) {
        if (device_->outputsGettingThrough() || device_->retryOutputs()) return 0;
        openProblem_ = kOutputsRefusedProblem;
        return -1;
    }
    if (!opener_) return -1;
    std::unique_ptr<RealBoard> device = opener_(address, openProblem_);
    if (!device) return -1;
    device_ = std::move(device);
    return 0;
}

DriverBoard::Mode DriverBoard::mode() const {
    if (!device_) return Mode::Simulated;
    if (!device_->connected()) return Mode::Unplugged;
    return device_->outputsGettingThrough() ? Mode::RealBoardOpen : Mode::OutputsRefused;
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
    const bool refusedBefore = mode() == Mode::OutputsRefused;
    device_->endOfTick();
    if (!refusedBefore && mode() == Mode::OutputsRefused) notice_ = kOutputsRefusedNotice;
}

}  // namespace blokpost

#include "board/driver_board.h"

namespace blokpost {

namespace {

// What the two sides of an open board say of it, where a side counts as
// failing once it has not worked for `toldAfter` without a break.
DriverBoard::Mode modeOfSides(const RealBoard& board, std::chrono::steady_clock::duration toldAfter) {
    const auto inputsFor = board.inputsFailingFor(), outputsFor = board.outputsFailingFor();
    const auto failing = [&](const auto& failingFor) { return failingFor && *failingFor >= toldAfter; };
    const bool inputs = failing(inputsFor), outputs = failing(outputsFor);
    // Reports that keep coming but never in time for their read: too slow, not silent.
    if (inputs && board.reportsArriving()) return DriverBoard::Mode::BoardTooSlow;
    if (inputs && outputs) return DriverBoard::Mode::BoardSilent;
    // While the other side is failing too, but not yet for long, it is not
    // yet known whether one side fails or the whole board is silent.
    if (outputs && !inputsFor) return DriverBoard::Mode::OutputsRefused;
    if (inputs && !outputsFor) return DriverBoard::Mode::InputsSilent;
    return inputsFor || outputsFor || !board.bothSidesWork() ? DriverBoard::Mode::Waiting : DriverBoard::Mode::RealBoardOpen;
}

}  // namespace

std::int32_t DriverBoard::OpenDevice(std::int32_t address) {
    openProblem_.clear();
    // Opening it a second time would fail on the claimed interface. It counts
    // as found only while both its sides work; a failing side is tried again.
    if (device_ && device_->connected() && device_->address() == address) {
        const Mode sides = modeOfSides(*device_, std::chrono::steady_clock::duration::zero());
        if (sides == Mode::RealBoardOpen) return 0;
        device_->retryOutputs();
        openProblem_ = sides == Mode::Waiting          ? kNotYetAnsweredProblem
                       : sides == Mode::BoardSilent    ? kBoardSilentProblem
                       : sides == Mode::OutputsRefused ? kOutputsRefusedProblem
                       : sides == Mode::BoardTooSlow   ? kBoardTooSlowProblem
                                                       : kInputsSilentProblem;
        return -1;
    }
    if (!opener_) return -1;
    std::unique_ptr<RealBoard> device = opener_(address, openProblem_);
    if (!device) return -1;
    device_ = std::move(device);
    toldMode_ = Mode::Waiting;
    announce_ = true;
    haltTold_ = false;
    device_->seedOutputs(simulation_.digitalOutputs(), simulation_.analogOutput(1), simulation_.analogOutput(2));
    return 0;
}

DriverBoard::Mode DriverBoard::mode() const {
    if (!device_) return Mode::Simulated;
    if (!device_->connected()) return Mode::Unplugged;
    return modeOfSides(*device_, kSideFailureToldAfter);
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
    if (device_->haltStuck() != haltTold_) {
        haltTold_ = !haltTold_;
        if (haltTold_) notice_ = kHaltStuckNotice;
    }
    const Mode now = mode();
    // Waiting tells nothing: a side may still answer, and one that recovers was told when it failed.
    if (now == Mode::Waiting || now == toldMode_) return;
    if (now == Mode::RealBoardOpen && announce_) notice_ = "Kaart gevonden";
    if (now == Mode::RealBoardOpen) announce_ = false;
    toldMode_ = now;
    switch (now) {
    case Mode::InputsSilent: notice_ = kInputsSilentNotice; break;
    case Mode::BoardTooSlow: notice_ = kBoardTooSlowNotice; break;
    case Mode::OutputsRefused: notice_ = kOutputsRefusedNotice; break;
    case Mode::BoardSilent: notice_ = kBoardSilentNotice; break;
    case Mode::Unplugged: notice_ = kBoardLostNotice; break;
    case Mode::Waiting:
    case Mode::RealBoardOpen:
    case Mode::Simulated: break;
    }
}

}  // namespace blokpost

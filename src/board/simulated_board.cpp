#include "board/simulated_board.h"

#include <algorithm>

namespace blokpost {

namespace {
bool high(int value) { return value >= 128; }
}  // namespace

void SimulatedBoard::OutputAllAnalog(std::int32_t value1, std::int32_t value2) {
    analogOut_ = {std::clamp(value1, 0, 255), std::clamp(value2, 0, 255)};
}

int SimulatedBoard::selectedGroup() const {
    // Codes (0,255), (255,255), (255,0), (0,0) select groups 1, 2, 3, 4.
    const bool a = high(analogOut_[0]), b = high(analogOut_[1]);
    if (!a && b) return 1;
    if (a && b) return 2;
    if (a && !b) return 3;
    return 4;
}

std::int32_t SimulatedBoard::ReadAllDigital() {
    const int first = 5 * (selectedGroup() - 1) + 1;
    std::int32_t mask = 0;
    for (int input = 0; input < 5; ++input) {
        const std::size_t s = index(first + input);
        if (standing_[s] || passingUnread_[s]) mask |= 1 << input;
        // The train has passed: the next read finds the contact open.
        passingUnread_[s] = false;
    }
    return mask;
}

void SimulatedBoard::SetDigitalChannel(std::int32_t channel) {
    if (channel < 1 || channel > 8) return;
    const bool strobeRising = channel == 8 && !(digital_ & 0x80);
    digital_ = static_cast<std::uint8_t>(digital_ | (1u << (channel - 1)));
    if (strobeRising) {
        lastAddress_ = digital_ & 0x7F;
        ++strobes_;
    }
}

std::int32_t SimulatedBoard::ReadAnalogChannel(std::int32_t channel) {
    return channel == 1 || channel == 2 ? analogIn_[static_cast<std::size_t>(channel - 1)] : 0;
}

void SimulatedBoard::setSensor(int sensor, bool active) {
    if (!valid(sensor)) return;
    standing_[index(sensor)] = active;
    passingUnread_[index(sensor)] = false;
    pulseTicksLeft_[index(sensor)] = 0;
}

void SimulatedBoard::pulseSensor(int sensor) {
    if (!valid(sensor)) return;
    // A standing train that is clicked drives on.
    standing_[index(sensor)] = false;
    passingUnread_[index(sensor)] = true;
    pulseTicksLeft_[index(sensor)] = kPulseTicks;
}

bool SimulatedBoard::pulsing(int sensor) const {
    return valid(sensor) && (pulseTicksLeft_[index(sensor)] > 0 || passingUnread_[index(sensor)]);
}

void SimulatedBoard::passTick() {
    for (int& left : pulseTicksLeft_)
        if (left > 0) --left;
}

bool SimulatedBoard::sensor(int sensor) const { return standing(sensor) || pulsing(sensor); }

void SimulatedBoard::setAnalogInput(int channel, int value) {
    if (channel == 1 || channel == 2) analogIn_[static_cast<std::size_t>(channel - 1)] = std::clamp(value, 0, 255);
}

int SimulatedBoard::analogInput(int channel) const {
    return channel == 1 || channel == 2 ? analogIn_[static_cast<std::size_t>(channel - 1)] : 0;
}

int SimulatedBoard::analogOutput(int channel) const {
    return channel == 1 || channel == 2 ? analogOut_[static_cast<std::size_t>(channel - 1)] : 0;
}

}  // namespace blokpost

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
    for (int input = 0; input < 5; ++input)
        if (sensors_[static_cast<std::size_t>(first + input)]) mask |= 1 << input;
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
    if (sensor < 1 || sensor > 20) return;
    sensors_[static_cast<std::size_t>(sensor)] = active;
    pulseTicksLeft_[static_cast<std::size_t>(sensor)] = 0;
}

void SimulatedBoard::pulseSensor(int sensor) {
    if (sensor < 1 || sensor > 20) return;
    sensors_[static_cast<std::size_t>(sensor)] = true;
    pulseTicksLeft_[static_cast<std::size_t>(sensor)] = kPulseTicks;
}

bool SimulatedBoard::pulsing(int sensor) const {
    return sensor >= 1 && sensor <= 20 && pulseTicksLeft_[static_cast<std::size_t>(sensor)] > 0;
}

void SimulatedBoard::passTick() {
    for (int s = 1; s <= 20; ++s) {
        int& left = pulseTicksLeft_[static_cast<std::size_t>(s)];
        if (left > 0 && --left == 0) sensors_[static_cast<std::size_t>(s)] = false;
    }
}

bool SimulatedBoard::sensor(int sensor) const {
    return sensor >= 1 && sensor <= 20 && sensors_[static_cast<std::size_t>(sensor)];
}

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

#pragma once
// A board without hardware that behaves like the wired layout: the analog
// outputs drive the sensor selector (one group of five sensors on the five
// inputs), and the digital outputs drive the pin decoder (address on outputs
// 1..7, taken when output 8 strobes).
//
// A sensor models a contact in the track: a passing train closes it for a
// moment (a pulse, long enough for the scan to see it), a standing train
// keeps it closed until it leaves. Time passes in the ticks of the cycle.

#include "board/board.h"

#include <array>
#include <cstdint>

namespace blokpost {

class SimulatedBoard : public Board {
public:
    // There is no real board to open.
    std::int32_t OpenDevice(std::int32_t) override { return -1; }
    void OutputAllAnalog(std::int32_t value1, std::int32_t value2) override;
    std::int32_t ReadAllDigital() override;
    void SetDigitalChannel(std::int32_t channel) override;
    void ClearAllDigital() override { digital_ = 0; }
    std::int32_t ReadAnalogChannel(std::int32_t channel) override;

    // A pulse lasts 1.5 s: every group is read once in 8 ticks, so 12 ticks
    // hold the contact closed across at least one read of its group.
    static constexpr int kPulseTicks = 12;

    // The simulated layout, sensors 1..20 and analog inputs 1..2 (0..255).
    // A train standing on the contact, or gone: on or off until changed.
    void setSensor(int sensor, bool active);
    // A train passing: on now, off by itself after kPulseTicks ticks.
    void pulseSensor(int sensor);
    bool sensor(int sensor) const;
    // On, and going off by itself.
    bool pulsing(int sensor) const;
    // On until switched off: a train standing on the contact.
    bool standing(int sensor) const { return this->sensor(sensor) && !pulsing(sensor); }
    // One tick of 125 ms has passed: pulses run down.
    void passTick();
    void setAnalogInput(int channel, int value);
    int analogInput(int channel) const;

    // What the board puts out.
    // The group 1..4 that the analog outputs select.
    int selectedGroup() const;
    std::uint8_t digitalOutputs() const { return digital_; }
    int analogOutput(int channel) const;
    // The address the decoder took at the last strobe, -1 before the first.
    int lastDecodedAddress() const { return lastAddress_; }
    std::uint64_t strobeCount() const { return strobes_; }

private:
    std::array<bool, 21> sensors_{};
    std::array<int, 21> pulseTicksLeft_{};  // > 0 while a pulse holds the sensor on
    std::array<int, 2> analogIn_{};
    std::array<int, 2> analogOut_{};
    std::uint8_t digital_ = 0;
    int lastAddress_ = -1;
    std::uint64_t strobes_ = 0;
};

}  // namespace blokpost

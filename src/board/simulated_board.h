#pragma once
// A board without hardware that behaves like the wired layout: the analog
// outputs drive the sensor selector (one group of five sensors on the five
// inputs), and the digital outputs drive the pin decoder (address on outputs
// 1..7, taken when output 8 strobes).
//
// A sensor models a contact in the track: a passing train closes it until
// the scan has read its group once (one train, one event: a second read would
// latch its hold flag again after a line took it), a standing train keeps it
// closed until it leaves. Time passes in the ticks of the cycle.

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

    // A passing train is shown for at least 1.5 s (12 ticks), long enough to
    // see; the contact itself opens at the first read of its group.
    static constexpr int kPulseTicks = 12;

    // The simulated layout, sensors 1..20 and analog inputs 1..2 (0..255).
    // A train standing on the contact, or gone: on or off until changed.
    void setSensor(int sensor, bool active);
    // A train passing: the contact reads on until its group is read, and the
    // sensor shows on for kPulseTicks ticks or until that read, whichever is later.
    void pulseSensor(int sensor);
    // On: a train standing or passing.
    bool sensor(int sensor) const;
    // A train passing, going off by itself.
    bool pulsing(int sensor) const;
    // On until switched off: a train standing on the contact.
    bool standing(int sensor) const { return valid(sensor) && standing_[index(sensor)]; }
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
    static bool valid(int sensor) { return sensor >= 1 && sensor <= 20; }
    static std::size_t index(int sensor) { return static_cast<std::size_t>(sensor); }

    std::array<bool, 21> standing_{};
    std::array<bool, 21> passingUnread_{};  // a passing train the scan has not read yet
    std::array<int, 21> pulseTicksLeft_{};  // > 0 while a passing train is still shown
    std::array<int, 2> analogIn_{};
    std::array<int, 2> analogOut_{};
    std::uint8_t digital_ = 0;
    int lastAddress_ = -1;
    std::uint64_t strobes_ = 0;
};

}  // namespace blokpost

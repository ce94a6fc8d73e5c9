#pragma once
// A board without hardware that behaves like the wired layout: the analog
// outputs drive the sensor selector (one group of five sensors on the five
// inputs), and the digital outputs drive the pin decoder (address on outputs
// 1..7, taken when output 8 strobes).

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

    // The simulated layout, sensors 1..20 and analog inputs 1..2 (0..255).
    void setSensor(int sensor, bool active);
    bool sensor(int sensor) const;
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
    std::array<int, 2> analogIn_{};
    std::array<int, 2> analogOut_{};
    std::uint8_t digital_ = 0;
    int lastAddress_ = -1;
    std::uint64_t strobes_ = 0;
};

}  // namespace blokpost

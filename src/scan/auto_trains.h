#pragma once
// Trains that drive themselves on the simulated board, so a schedule can be
// tried at the desk. Every running line that waits on a "Sensor" or
// "HSensor" step gets its train: after a travel time the train passes the
// awaited sensor (a pulse of the simulated contact). The travel time varies
// by up to a quarter either way, so lines do not stay in lock step.
//
// The trains only answer waiting steps: they read the model and touch
// nothing but the simulated sensors. Time passes in ticks of 125 ms.

#include "state/model.h"

#include <array>
#include <cstdint>
#include <random>

namespace blokpost {

class SimulatedBoard;

class AutoTrains {
public:
    static constexpr int kTicksPerSecond = 8;
    static constexpr int kShortestTravelSeconds = 2;
    static constexpr int kLongestTravelSeconds = 60;
    static constexpr int kStartTravelSeconds = 8;

    explicit AutoTrains(std::uint32_t seed) : random_(seed) {}

    // Off at start. Switching off sends every train home.
    void setEnabled(bool on);
    bool enabled() const { return enabled_; }
    // Held to 2..60 s; trains already under way keep their time.
    void setTravelSeconds(int seconds);
    int travelSeconds() const { return travelSeconds_; }

    // One tick: trains move on, and a train that arrives pulses its sensor
    // unless the sensor is already on. Call once after every tick of the cycle.
    void tick(const LineProgramModel& model, SimulatedBoard& board);

    // Ticks until line 1..8's train reaches its sensor; -1 when it has none.
    int ticksToArrival(int line) const;

private:
    // What a line waits for and how far its train still has to go.
    struct Train {
        int step = 0;  // 0 = no train
        int sensor = 0;
        bool hold = false;
        int ticksLeft = 0;
    };
    int travelTicks();

    bool enabled_ = false;
    int travelSeconds_ = kStartTravelSeconds;
    std::array<Train, kLines + 1> trains_{};
    std::mt19937 random_;
};

}  // namespace blokpost

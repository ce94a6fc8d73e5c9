#pragma once
// What the simulator window shows: the board as the program sees it. Its
// outputs come from the driver's simulation, which every output also reaches
// when a real board is open; its inputs are the simulated layout's while the
// simulation runs, and what the program last read otherwise.

#include <array>
#include <string>

namespace blokpost {

class DriverBoard;
struct ProgramState;

struct SimulatorView {
    std::string status;
    std::string problem;                  // why the last "K8055n" found no usable board
    bool outputsKnown = false;            // false when a board library is in use
    std::array<bool, 9> lamp{};           // digital outputs [1..8]
    std::array<int, 3> analogOutput{};    // [1..2]
    std::string selectedGroup;
    std::string lastPin;
    bool simulating = false;              // sensors and analog inputs can be set
    std::array<bool, 21> sensor{};        // [1..20]
    std::array<bool, 21> standing{};      // [1..20] on until switched off, not a passing pulse
    std::array<int, 3> analogInput{};     // [1..2]
};

// `driver` is null when a board library serves the board.
SimulatorView simulatorView(const DriverBoard* driver, const ProgramState& state);
// The pin that the decoder takes for `address`, by number and name; the first
// of several pins that share the address.
std::string decodedPinText(const ProgramState& state, int address);

}  // namespace blokpost

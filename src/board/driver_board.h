#pragma once
// The program's own driver, used when no board library is installed: a
// simulated board until OpenDevice finds a real one, then the real board.
// Every output also goes to the simulation, so the simulator window shows
// what the program puts out whichever board is behind it.

#include "board/simulated_board.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace blokpost {

// A board on the bus as the driver holds it.
class RealBoard : public Board {
public:
    // The tick of the main cycle has ended: outputs changed during it go out now.
    virtual void endOfTick() = 0;
    // False once the board has gone (unplugged); it then reads 0 and drops writes.
    virtual bool connected() const = 0;
    virtual int address() const = 0;
    // False while the board refuses the output reports it is sent.
    virtual bool outputsGettingThrough() const { return true; }
    // Sends the outputs at once; true when the board took them.
    virtual bool retryOutputs() { return true; }
};

// Why "K8055n" found no usable board when the board refuses its outputs.
inline constexpr const char* kOutputsRefusedProblem =
    "De kaart antwoordt, maar neemt geen uitgangen aan (wissels, seinen en sensorkeuze)";
// Told to the operator once when an open board starts refusing its outputs.
inline constexpr const char* kOutputsRefusedNotice =
    "De kaart neemt geen uitgangen meer aan: wissels, seinen en sensorkeuze bereiken de baan niet";

class DriverBoard : public Board {
public:
    // Finds and opens the board with the given card address; null when none
    // is there, with `problem` saying why when there is more to say.
    using Opener = std::function<std::unique_ptr<RealBoard>(std::int32_t address, std::string& problem)>;
    enum class Mode { Simulated, RealBoardOpen, OutputsRefused, Unplugged };

    explicit DriverBoard(Opener opener = {}) : opener_(std::move(opener)) {}

    // Keeps the board that is open; otherwise looks for one and, when found,
    // takes it instead of the simulation or of a board that has been unplugged.
    std::int32_t OpenDevice(std::int32_t address) override;
    void OutputAllAnalog(std::int32_t value1, std::int32_t value2) override;
    std::int32_t ReadAllDigital() override;
    void SetDigitalChannel(std::int32_t channel) override;
    void ClearAllDigital() override;
    std::int32_t ReadAnalogChannel(std::int32_t channel) override;

    // Called after every tick of the main cycle.
    void endOfTick();
    // What the operator should be told since the last call; empty when nothing.
    std::string takeNotice() { return std::exchange(notice_, {}); }

    SimulatedBoard& simulation() { return simulation_; }
    const SimulatedBoard& simulation() const { return simulation_; }
    Mode mode() const;
    bool realBoardOpen() const { return mode() == Mode::RealBoardOpen; }
    RealBoard* realBoard() { return device_.get(); }
    // Why the last OpenDevice found no usable board, when there is more to say than "none".
    const std::string& openProblem() const { return openProblem_; }

private:
    Opener opener_;
    SimulatedBoard simulation_;
    std::unique_ptr<RealBoard> device_;
    std::string openProblem_;
    std::string notice_;
};

}  // namespace blokpost

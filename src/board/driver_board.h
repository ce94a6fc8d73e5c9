#pragma once
// The program's own driver, used when no board library is installed: a
// simulated board until OpenDevice finds a real one, then the real board.

#include "board/simulated_board.h"

#include <functional>
#include <memory>

namespace blokpost {

class DriverBoard : public Board {
public:
    // Finds and opens the board with the given card address; null when none is there.
    using Opener = std::function<std::unique_ptr<Board>(std::int32_t address)>;

    explicit DriverBoard(Opener opener = {}) : opener_(std::move(opener)) {}

    std::int32_t OpenDevice(std::int32_t address) override;
    void OutputAllAnalog(std::int32_t value1, std::int32_t value2) override { active().OutputAllAnalog(value1, value2); }
    std::int32_t ReadAllDigital() override { return active().ReadAllDigital(); }
    void SetDigitalChannel(std::int32_t channel) override { active().SetDigitalChannel(channel); }
    void ClearAllDigital() override { active().ClearAllDigital(); }
    std::int32_t ReadAnalogChannel(std::int32_t channel) override { return active().ReadAnalogChannel(channel); }

    SimulatedBoard& simulation() { return simulation_; }
    bool realBoardOpen() const { return device_ != nullptr; }
    Board* realBoard() { return device_.get(); }

private:
    Board& active() { return device_ ? *device_ : simulation_; }

    Opener opener_;
    SimulatedBoard simulation_;
    std::unique_ptr<Board> device_;
};

}  // namespace blokpost

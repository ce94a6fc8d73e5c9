#pragma once
// A board that writes down every call, answers reads from queues set by the
// test, and otherwise behaves like the simulated layout.

#include "board/simulated_board.h"

#include <deque>
#include <string>
#include <vector>

namespace blokpost::test {

class RecordingBoard : public SimulatedBoard {
public:
    std::int32_t OpenDevice(std::int32_t address) override;
    void OutputAllAnalog(std::int32_t value1, std::int32_t value2) override;
    std::int32_t ReadAllDigital() override;
    void SetDigitalChannel(std::int32_t channel) override;
    void ClearAllDigital() override;
    std::int32_t ReadAnalogChannel(std::int32_t channel) override;

    std::vector<std::string> calls;
    // When not empty, ReadAllDigital answers from here instead of the simulated sensors.
    std::deque<std::int32_t> digitalReads;
    std::int32_t openResult = -1;

    std::vector<std::string> takeCalls();
};

}  // namespace blokpost::test

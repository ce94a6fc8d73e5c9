#pragma once
// The line-program model: eight lines (A..H) of 25 steps, what each line is
// doing, and the flags through which lines wait on sensors and on each other.
// Tables are indexed as the operator numbers things: lines 1..8, steps
// 0..26/0..25, sensors 1..20, memories 1..8; index 0 of a 1-based table is unused.

#include <array>
#include <cstdint>
#include <string>

namespace blokpost {

inline constexpr int kLines = 8;
inline constexpr int kSteps = 25;
inline constexpr int kCells = kLines * kSteps;
inline constexpr int kSensors = 20;
inline constexpr int kMemories = 8;
inline constexpr int kPins = 126;

// Instruction kinds as stored; compared exactly, case included.
namespace kind {
inline constexpr const char* Pin = "Pin";
inline constexpr const char* Timer = "Timer";
inline constexpr const char* Jump = "Jump";
inline constexpr const char* Sensor = "Sensor";
inline constexpr const char* HSensor = "HSensor";
inline constexpr const char* MemMake = "MemMake";
inline constexpr const char* MemRead = "MemRead";
inline constexpr const char* Green = "Green";
inline constexpr const char* Leeg = "Leeg";
inline constexpr const char* Blanco = "Blanco";  // the palette's name for an empty step
}  // namespace kind

struct LineProgramModel {
    // [line 1..8][step 0..26]; steps 0 and 26 are read by stopped and finished lines and stay empty.
    std::array<std::array<std::string, kSteps + 2>, kLines + 1> StepKind{};
    // [line 1..8][step 0..25]
    std::array<std::array<std::int32_t, kSteps + 1>, kLines + 1> StepOperand{};
    std::array<std::array<std::int32_t, kSteps + 1>, kLines + 1> StepCounter{};
    // 0 = stopped, 1..25 = current step, 26 = past the last step.
    std::array<std::uint8_t, kLines + 1> CurrentStep{};

    std::array<std::uint8_t, kSensors + 1> SensorState{};
    std::array<std::uint8_t, kSensors + 1> HoldFlag{};
    std::array<std::uint8_t, kMemories + 1> MemoryFlag{};
    std::array<std::uint8_t, kLines + 1> GreenFlag{};

    // 0-based pin index waiting to be switched; -1 = none. One slot: the last writer wins.
    std::int32_t PinRequest = -1;
};

struct LineAndStep {
    int line;
    int step;
};

// Cell 1..200 of the schedule grid: (line - 1) * 25 + step.
inline int cellNumber(int line, int step) { return (line - 1) * kSteps + step; }
// Splits a cell number by repeated subtraction, as the grid does.
inline LineAndStep splitCellNumber(int cell) {
    LineAndStep at{1, cell};
    while (at.step > kSteps) {
        ++at.line;
        at.step -= kSteps;
    }
    return at;
}
inline char lineLetter(int line) { return static_cast<char>('A' + line - 1); }

}  // namespace blokpost

#pragma once
// The step kinds in one table: for each kind the operand its executor acts
// on, the main-cycle phase it runs in, what it waits on and how it ends.
// The executors, the line walk, the check, the automatic trains, the pin
// output and the line watch take their rules from here; none keeps its own
// copy of a range, a phase or a wait. What must stay in code elsewhere (the
// main cycle's calls in each phase) is held to this table by a test that
// runs the real cycle over every pair of kinds.
//
// This interface is shared by several subsystems: add to it, but change
// what is here only with all of them.

#include <cstdint>
#include <span>
#include <string>

namespace blokpost {

// Every kind a step can hold. Empty is "" or "Leeg"; Unknown any other text
// no executor acts on. Both leave the line standing on the step.
enum class StepKindId : std::uint8_t { Empty, Unknown, Pin, Timer, Jump, Sensor, HSensor, MemMake, MemRead, Green };

// What a step waits on before it ends.
enum class StepWait : std::uint8_t {
    Never,        // done in its executor's first turn
    Chosen,       // one line's Pin step per cycle is served
    Counter,      // a Timer's counter running out: operand + 1 turns
    SensorState,  // the sensor reads on at that moment
    HoldFlag,     // the sensor has been seen on since its flag was last cleared
    MemoryFlag,   // the memory has been set
    Ever,         // an empty or unknown step: the line stands there for good
};

// Where the line goes when the step ends.
enum class StepEnd : std::uint8_t {
    NextStep,    // step + 1 (26 after step 25: the line has run off its program)
    JumpTarget,  // the operand
    None,        // it never ends
};

// What the executor does with an operand outside [first, last].
enum class OutsideRange : std::uint8_t {
    NotUsed,       // the operand means nothing: any value will do
    Dropped,       // Pin: requested, the cycle drops it and logs "Pin n bestaat niet"; the line goes on
    PassesAtOnce,  // Timer: a negative time passes at its first turn
    StaysOnJump,   // Jump: the line stays on its jump for good
    WaitsForever,  // Sensor, HSensor, MemRead: reads no flag, never passes
    SetsNothing,   // MemMake: sets no memory, the line goes on
};

struct StepKindRule {
    StepKindId id;
    const char* name;     // as stored (compared exactly); "" for Empty and Unknown
    const char* onGrid;   // the word its cell's picture shows, as the operator reads the grid
    const char* operand;  // what the operand means, as the operator reads it
    std::int32_t first;   // the operand range the executor acts on
    std::int32_t last;
    OutsideRange outside;
    int phase;  // main-cycle phase 1..8 of the executor; 0 = none
    int turn;   // order among the calls of that phase (see phaseTurn)
    StepWait wait;
    bool consumes;  // passing clears the flag it waited on (one waiting line takes it)
    StepEnd end;
};

// Order of the calls within one cycle: phase first, then turn. The
// departures run in phase 8 before the Green steps.
inline constexpr int kDeparturePhase = 8;
inline constexpr int kDepartureTurn = 0;
inline constexpr int kPhasesPerCycle = 8;

// Every kind, Empty and Unknown included, in the order of StepKindId.
std::span<const StepKindRule> stepKindTable();
const StepKindRule& stepKindRule(StepKindId id);
// The kind a stored text names: "" and "Leeg" are Empty, any text that is
// not one of the eight executed kinds is Unknown.
StepKindId stepKindOf(const std::string& stored);
inline const StepKindRule& stepKindRule(const std::string& stored) { return stepKindRule(stepKindOf(stored)); }

inline bool operandInRange(const StepKindRule& rule, std::int32_t operand) {
    return operand >= rule.first && operand <= rule.last;
}
inline bool waitsBeforeEnding(const StepKindRule& rule) {
    return rule.wait != StepWait::Never && rule.wait != StepWait::Ever;
}
// The step the line goes to when this step ends: step + 1, the jump's
// target (a target outside 1..25 keeps the line on its jump), or 0 when the
// line stands on the step for good.
int stepAfter(const StepKindRule& rule, int step, std::int32_t operand);

// Place of a call within its cycle, 0..kCyclePlaces - 1: a line moved by
// one call is seen by every call at a later place of the same cycle.
inline constexpr int kTurnsPerPhase = 4;
inline constexpr int kCyclePlaces = kPhasesPerCycle * kTurnsPerPhase;
inline constexpr int cyclePlace(int phase, int turn) { return (phase - 1) * kTurnsPerPhase + turn; }
inline constexpr int kDeparturePlace = cyclePlace(kDeparturePhase, kDepartureTurn);

// Counting calls from the start of a run (cycle * kCyclePlaces + place): the
// first call of the kind's executor after `at`, which is when a line that
// came to such a step at `at` is first looked at. -1 for a kind no executor runs.
std::int64_t nextCallAfter(std::int64_t at, const StepKindRule& rule);

}  // namespace blokpost

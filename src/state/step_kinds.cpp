#include "state/step_kinds.h"

#include "state/model.h"

#include <array>
#include <limits>

namespace blokpost {

namespace {

constexpr std::int32_t kAny = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMost = std::numeric_limits<std::int32_t>::max();

using W = StepWait;
using E = StepEnd;
using O = OutsideRange;

// The executors' phases: 2 MemMake; 3 Jump, then Sensor; 5 MemRead;
// 6 Pin, then HSensor; 7 Timer; 8 the departures, then Green.
constexpr std::array<StepKindRule, 10> kTable{{
    {StepKindId::Empty, "", "", "niet gebruikt", kAny, kMost, O::NotUsed, 0, 0, W::Ever, false, E::None},
    {StepKindId::Unknown, "", "", "niet gebruikt", kAny, kMost, O::NotUsed, 0, 0, W::Ever, false, E::None},
    {StepKindId::Pin, kind::Pin, "PIN", "pin (nummer - 1)", 0, kPins - 1, O::Dropped, 6, 1, W::Chosen, false,
     E::NextStep},
    {StepKindId::Timer, kind::Timer, "TIMER", "seconden", 0, kMost, O::PassesAtOnce, 7, 1, W::Counter, false,
     E::NextStep},
    {StepKindId::Jump, kind::Jump, "JUMP", "stap", 1, kSteps, O::StaysOnJump, 3, 1, W::Never, false, E::JumpTarget},
    {StepKindId::Sensor, kind::Sensor, "SENSOR", "sensor", 1, kSensors, O::WaitsForever, 3, 2, W::SensorState, false,
     E::NextStep},
    {StepKindId::HSensor, kind::HSensor, "HOLD", "sensor", 1, kSensors, O::WaitsForever, 6, 2, W::HoldFlag, true,
     E::NextStep},
    {StepKindId::MemMake, kind::MemMake, "MEM SET", "geheugen", 1, kMemories, O::SetsNothing, 2, 1, W::Never, false,
     E::NextStep},
    {StepKindId::MemRead, kind::MemRead, "MEM ?", "geheugen", 1, kMemories, O::WaitsForever, 5, 1, W::MemoryFlag, true,
     E::NextStep},
    {StepKindId::Green, kind::Green, "GROEN", "niet gebruikt", kAny, kMost, O::NotUsed, 8, 1, W::Never, false,
     E::NextStep},
}};

}  // namespace

std::span<const StepKindRule> stepKindTable() { return kTable; }

const StepKindRule& stepKindRule(StepKindId id) { return kTable[static_cast<std::size_t>(id)]; }

StepKindId stepKindOf(const std::string& stored) {
    if (stored.empty() || stored == kind::Leeg) return StepKindId::Empty;
    for (const StepKindRule& rule : kTable)
        if (*rule.name && stored == rule.name) return rule.id;
    return StepKindId::Unknown;
}

int stepAfter(const StepKindRule& rule, int step, std::int32_t operand) {
    switch (rule.end) {
        case StepEnd::NextStep: return step + 1;
        case StepEnd::JumpTarget: return operandInRange(rule, operand) ? operand : step;
        case StepEnd::None: return 0;
    }
    return 0;
}

std::int64_t nextCallAfter(std::int64_t at, const StepKindRule& rule) {
    if (rule.phase == 0) return -1;
    const std::int64_t place = cyclePlace(rule.phase, rule.turn);
    std::int64_t call = at - at % kCyclePlaces + place;
    return call > at ? call : call + kCyclePlaces;
}

}  // namespace blokpost

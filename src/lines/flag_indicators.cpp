#include "lines/flag_indicators.h"

#include "state/program_state.h"

#include <array>

namespace blokpost {

namespace {

struct FamilyTable {
    IndicatorColours colours;
    int firstShape;
    int count;
};

const std::array<FamilyTable, 3> kFamilies{{
    {{kYellow, kGray}, 1, kSensors},   // Hold
    {{kAqua, kGray}, 21, kMemories},   // Memory
    {{kGreen, kRed}, 29, kLines},      // Green
}};

const FamilyTable& table(FlagFamily family) { return kFamilies[static_cast<std::size_t>(family)]; }

}  // namespace

IndicatorColours indicatorColours(FlagFamily family) { return table(family).colours; }

int indicatorShape(FlagFamily family, int number) {
    const FamilyTable& t = table(family);
    return number >= 1 && number <= t.count ? t.firstShape + number - 1 : 0;
}

std::uint8_t* flagOf(ProgramState& s, FlagFamily family, int number) {
    if (indicatorShape(family, number) == 0) return nullptr;
    switch (family) {
    case FlagFamily::Hold: return &s.model.HoldFlag[number];
    case FlagFamily::Memory: return &s.model.MemoryFlag[number];
    case FlagFamily::Green: return &s.model.GreenFlag[number];
    }
    return nullptr;
}

void ShowFlag(ProgramState& s, FlagFamily family, int number) {
    const std::uint8_t* value = flagOf(s, family, number);
    if (!value) return;
    const IndicatorColours colours = indicatorColours(family);
    s.screen.rijschema.indicator[indicatorShape(family, number)] = *value == 1 ? colours.set : colours.clear;
}

}  // namespace blokpost

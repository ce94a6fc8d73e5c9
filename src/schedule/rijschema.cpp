#include "schedule/rijschema.h"

#include "app/program_state.h"
#include "schedule/cell_writer.h"

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

std::uint8_t* flag(ProgramState& s, FlagFamily family, int number) {
    if (indicatorShape(family, number) == 0) return nullptr;
    switch (family) {
    case FlagFamily::Hold: return &s.model.HoldFlag[number];
    case FlagFamily::Memory: return &s.model.MemoryFlag[number];
    case FlagFamily::Green: return &s.model.GreenFlag[number];
    }
    return nullptr;
}

void toggle(ProgramState& s, FlagFamily family, int number) {
    std::uint8_t* value = flag(s, family, number);
    if (!value) return;
    *value = *value == 1 ? 0 : 1;
    ShowFlag(s, family, number);
}

}  // namespace

bool Maak(ProgramState& s, int cell) {
    if (cell < 1 || cell > kCells) return false;
    s.editor.SelectedCell = static_cast<std::uint8_t>(cell);
    constexpr const char* kSelection = "VasteData/Wie.bmp";
    if (s.screen.rijschema.cell[cell].load(s.paths.find(kSelection))) return true;
    s.reporter.message(cannotOpenMessage(kSelection));
    return false;
}

IndicatorColours indicatorColours(FlagFamily family) { return table(family).colours; }

int indicatorShape(FlagFamily family, int number) {
    const FamilyTable& t = table(family);
    return number >= 1 && number <= t.count ? t.firstShape + number - 1 : 0;
}

void ShowFlag(ProgramState& s, FlagFamily family, int number) {
    const std::uint8_t* value = flag(s, family, number);
    if (!value) return;
    const IndicatorColours colours = indicatorColours(family);
    s.screen.rijschema.indicator[indicatorShape(family, number)] = *value == 1 ? colours.set : colours.clear;
}

void MaakHold(ProgramState& s, int sensor) { toggle(s, FlagFamily::Hold, sensor); }
void MaakMem(ProgramState& s, int memory) { toggle(s, FlagFamily::Memory, memory); }
void MaakGreen(ProgramState& s, int line) { toggle(s, FlagFamily::Green, line); }

}  // namespace blokpost

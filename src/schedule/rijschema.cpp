#include "schedule/rijschema.h"

#include "schedule/cell_writer.h"
#include "state/program_state.h"

namespace blokpost {

namespace {

void toggle(ProgramState& s, FlagFamily family, int number) {
    std::uint8_t* value = flagOf(s, family, number);
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

void MaakHold(ProgramState& s, int sensor) { toggle(s, FlagFamily::Hold, sensor); }
void MaakMem(ProgramState& s, int memory) { toggle(s, FlagFamily::Memory, memory); }
void MaakGreen(ProgramState& s, int line) { toggle(s, FlagFamily::Green, line); }

}  // namespace blokpost

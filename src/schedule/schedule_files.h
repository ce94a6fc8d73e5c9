#pragma once
// The four stored variants of the whole schedule, one file each in VasteData:
// 600 lines, the kinds of line A..H steps 1..25, then their operands, then
// their counters.

#include <cstdint>

namespace blokpost {

struct ProgramState;

// The variant buttons "Normale dienst" .. "Winterdienst" (variant 1..4):
// loads the variant into the model and redraws the grid. A failure is
// reported to the operator and stops the load where it happened.
void MaakSchema(ProgramState& state, int variant);
// "Save dienst": writes the model into the file of the variant loaded last.
// A failed save is reported and leaves the previous file as it was.
void SchemaOpslaan(ProgramState& state);
// Redraws all 200 grid cells from the model; throws OperationError when an
// icon cannot be loaded, leaving the later cells as they were.
void SchemaTekenen(ProgramState& state);

}  // namespace blokpost

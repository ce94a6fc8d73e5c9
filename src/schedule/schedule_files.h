#pragma once
// The four stored variants of the whole schedule, one file each in VasteData.

#include <cstdint>

namespace blokpost {

struct ProgramState;

// The variant buttons "Normale dienst" .. "Winterdienst" (variant 1..4).
void MaakSchema(ProgramState& state, int variant);
// "Save dienst": writes the model into the file of the variant loaded last.
void SchemaOpslaan(ProgramState& state);
// Redraws all 200 grid cells from the model.
void SchemaTekenen(ProgramState& state);

}  // namespace blokpost

#pragma once
// The four stored variants of the whole schedule, one file each in VasteData:
// 600 lines, the kinds of line A..H steps 1..25, then their operands, then
// their counters.

#include <cstdint>

namespace blokpost {

struct ProgramState;
struct LineProgramModel;
class TextFileReader;

inline constexpr int kVariants = 4;

// "Normale dienst" .. "Winterdienst" for variant 1..4; empty for any other.
const char* VariantName(int variant);
// "VasteData/Schema1Data.txt" .. for variant 1..4; empty for any other.
const char* VariantFile(int variant);
// A variant file's values into steps 1..25 of every line, the Timer steps
// ready to count down afresh. Each value lands as it is read: a bad number
// throws OperationError with the values before it in place.
void ReadVariant(LineProgramModel& model, TextFileReader& file);

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

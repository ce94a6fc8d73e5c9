#pragma once
// A grid cell of the schedule: the instruction's icon with its operand written
// on it. The palette writes a cell (model and picture), a schedule load redraws
// all of them from the model; both look alike because both use one table.

#include "base/canvas.h"

#include <cstdint>
#include <string>

namespace blokpost {

struct ProgramState;

// How one instruction kind is drawn in its 68 x 68 cell.
struct CellAppearance {
    const char* icon;      // picture in the data folder, e.g. "VasteData/Timer.bmp"
    int fontSize = 0;      // points; 0 for the kinds that carry no text
    Colour colour = kBlack;
    bool hasText1 = false;  // text 1 stands at (x, 24)
    int x = 0;
    int y2 = 0;             // text 2 stands at (x, y2)
};

// The look of a kind text; any text that is no instruction kind looks blank.
const CellAppearance& cellAppearance(const std::string& kindText);

// The texts drawn on a cell of the given kind and operand; empty where the kind has none.
struct CellTexts {
    std::string text1;
    std::string text2;
};
CellTexts cellTexts(const ProgramState& state, const std::string& kindText, std::int32_t operand);

// Stores the instruction in the model at the cell's line and step ("Blanco"
// is stored as "Leeg"), then draws the cell. A missing icon throws
// OperationError after the model has been stored; the cell then keeps its picture.
void CelMaken(ProgramState& state, int cell, std::int32_t operand, const std::string& kindText);
// Draws one cell from the operand in the model, storing nothing.
void CelTekenen(ProgramState& state, int line, int step, const std::string& kindText);

// The standard report of a picture or file that cannot be opened.
std::string cannotOpenMessage(const std::string& file);

}  // namespace blokpost

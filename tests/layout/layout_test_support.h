#pragma once
// A program with the pictures and files that the layout store's Read needs.

#include "support/test_program.h"

#include <string>

namespace blokpost::test {

inline constexpr Colour kBlankDrawing = 0x101010;
// Sensor s's inactive picture has colour 0x200000 + s, its active one 0x300000 + s.
inline Colour inactiveSensorColour(int sensor) { return 0x200000u + static_cast<Colour>(sensor); }
inline Colour activeSensorColour(int sensor) { return 0x300000u + static_cast<Colour>(sensor); }

struct LayoutProgram : TestProgram {
    LayoutProgram();
    // A store file of 907 lines: element e at (e, 1000 + e), every element shown.
    static std::string storeFile(int visible = 1);
    // A file of one value per line.
    static std::string lines(int count, const std::function<std::string(int)>& value);
    Colour drawingColour(int k) const { return state.screen.main.drawing[k].pixel(1, 1); }
};

}  // namespace blokpost::test

#pragma once
// Make Ligics: the instruction palette. Each of its nine buttons writes one
// instruction into the grid cell selected last and closes the palette.

#include "desk/forms/window.h"

#include <array>

class QPushButton;

namespace blokpost {

class SpinEdit;

class TForm5 : public Window {
public:
    explicit TForm5(WindowHost& app);

    // SpinEdit1..SpinEdit7; [0] unused.
    std::array<blokpost::SpinEdit*, 8> SpinEdits{};
    // The buttons "Make Pin" .. "Green" in their designed order.
    std::array<QPushButton*, 9> Button{};

private:
    void writeInstruction(int button);
};

}  // namespace blokpost

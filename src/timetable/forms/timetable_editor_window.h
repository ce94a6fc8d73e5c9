#pragma once
// Maak spoorboekje: the eight timetable rows, "Make Final", and the two
// books "Rood" and "Blauw" with "Save". The rows' values live in the logic;
// every change of a control is written there at once, and sync() writes back
// what the logic changed (snapped intervals, a book read).

#include "desk/forms/window.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace blokpost {

class TForm18 : public Window {
public:
    explicit TForm18(WindowHost& app);
    void sync() override;

    // Row r holds SpinEdit(3r-2) Freq, SpinEdit(3r-1) +min, SpinEdit(3r) perron,
    // and Edit(3r-2) Naar, Edit(3r-1) via, Edit(3r) type; [0] unused.
    std::array<QSpinBox*, 25> SpinEdit{};
    std::array<QLineEdit*, 25> Edit{};
    QPushButton* Button1;  // "Make Final"
    QPushButton* Button2;  // "Rood"
    QPushButton* Button3;  // "Blauw"
    QPushButton* Button4;  // "Save"
    QLabel* Label1;        // "Spoorboekje", coloured after the book read last
    QLabel* Image1;        // the decorative photograph
    // The column words over the rows, left to right: Freq, +min, Naar, via, perron, type.
    std::array<QLabel*, 6> Header{};

private:
    void buildHeader();
    void buildRow(int row);
    QPushButton* addButton(const QString& caption, int x, int y, int width, void (*operation)(ProgramState&));
    // Writes every control's value into the logic's rows.
    void collectRows();
};

}  // namespace blokpost

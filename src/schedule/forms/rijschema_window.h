#pragma once
// Rijschema: the schedule grid of 8 lines by 25 steps, the hold, memory and
// green indicators, and the schedule variants. The runtime draws on the same
// cells and indicators, so the window is a live view while the layout runs.

#include "base/canvas.h"
#include "base/forms/canvas_view.h"
#include "desk/forms/window.h"
#include "schedule/forms/indicator_shape.h"
#include "state/model.h"

#include <array>
#include <memory>
#include <vector>

class QFrame;
class QPushButton;

namespace blokpost {

class ControleWindow;
struct Finding;

class TForm4 : public Window {
public:
    // `controle` is the window that lists the check's findings; the desk places it.
    TForm4(WindowHost& app, ControleWindow& controle);
    ~TForm4() override;
    void sync() override;
    // The grid of cells that the palette and the pin names fill.
    QRect workArea() const override;
    // The hold, memory and green indicators, "Give the pin a name" and the
    // column of service buttons with "Save dienst" and "Controle".
    QList<QRect> mustReachAreas() const override;

    // Image1..Image200 the cells, Image201 the variant picture; [0] unused.
    std::array<CanvasView*, kCells + 2> Image{};
    // Shape1..Shape36; [0] unused.
    std::array<IndicatorShape*, 37> Shape{};
    // Button1..Button4 the variants, Button5 "Save dienst", Button6 "Give the pin a name",
    // Button7 "Controle"; [0] unused.
    std::array<QPushButton*, 8> Button{};

    // "Controle": checks the model against the timetable and opens the findings beside the grid.
    void controle();
    ControleWindow* controleWindow() const { return &controle_; }
    // The frame that marks the cell of the finding clicked last; hidden until then.
    QFrame* cellMark = nullptr;

private:
    void buildGrid();
    void buildIndicators();
    void buildCaptions();
    void buildButtons();
    std::vector<Finding> check();
    void checkAfterLoad();
    void listFindings(std::vector<Finding> findings);
    void showControle();
    void markCell(int line, int step);
    void addIndicator(int shape, int x, int y, const std::function<void()>& onPress);
    QPushButton* addButton(int number, const QString& caption, const QRect& place,
                           const std::function<void()>& action);

    ControleWindow& controle_;
    std::uint32_t loadsChecked_ = 0;
    // The fouts the operator was last told of: the same ones are not told again.
    std::vector<Finding> foutsTold_;
};

}  // namespace blokpost

#pragma once
// Form2, "Make Screen": one radio button and overview dot per layout element,
// the "Visible" box and two spin boxes that show, hide and move the chosen
// element on the main window, its preview, and the two meter names.

#include "base/forms/canvas_view.h"
#include "desk/forms/window.h"
#include "schedule/forms/indicator_shape.h"

#include <array>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace blokpost {

class TForm2 : public Window {
public:
    explicit TForm2(WindowHost& app);
    void sync() override;

    std::array<QRadioButton*, 92> RadioButton{};  // [1..91]
    std::array<IndicatorShape*, 92> Shape{};      // [1..91], the overview dots
    QButtonGroup* radioGroup = nullptr;
    QCheckBox* Visible = nullptr;
    QSpinBox* SpinEdit1 = nullptr;  // left
    QSpinBox* SpinEdit2 = nullptr;  // top
    CanvasView* Image1 = nullptr;   // preview
    QLineEdit* Edit1 = nullptr;     // name of meter 1
    QLineEdit* Edit2 = nullptr;     // name of meter 2

private:
    void buildElementChoice();
    void buildPlacementControls();
    void buildMeterNames();
    void buildLabels();
};

}  // namespace blokpost

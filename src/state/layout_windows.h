#pragma once
// What the Make Screen and Read / Save windows show, kept by the logic so
// that their handlers can be run and checked without widgets.

#include "base/canvas.h"
#include "state/layout_table.h"

#include <array>
#include <string>

namespace blokpost {

// Form2, "Make Screen".
struct MakeScreenView {
    MakeScreenView();

    int checkedRadio = 0;         // RadioButton1..RadioButton91; 0 = none checked yet
    std::string SelectedElement;  // key of the element chosen last ("A1", "S20", "Kn8"); "" = none
    std::string previewName;      // the file shown in the preview; "" = none
    Canvas preview;               // Image1, sized to its picture
    std::array<Colour, kLayoutElements + 1> dot{};  // Shape1..Shape91 fill; [0] unused
    bool visibleChecked = false;  // the "Visible" check box
    int left = 0;                 // SpinEdit1
    int top = 0;                  // SpinEdit2
};

// Form3, "Read / Save". "Read" is always enabled.
struct ReadSaveView {
    bool enableEnabled = false;   // "Enable": from the first Read that got past the store file
    bool saveEnabled = false;     // "Save": from "Enable" until the window closes
    bool closeRequested = false;  // a finished Read or Save closes the window
};

struct LayoutWindows {
    MakeScreenView makeScreen;
    ReadSaveView readSave;
};

}  // namespace blokpost

#pragma once
// What the windows show, kept by the logic: the pictures it draws on, the
// indicator colours, captions and control placements. The windows copy these
// onto their controls after every tick and every handler; nothing here knows
// about widgets.

#include "base/canvas.h"
#include "state/layout_table.h"
#include "state/model.h"

#include <array>
#include <deque>
#include <string>

namespace blokpost {

struct ControlPlacement {
    int x = 0;
    int y = 0;
    bool visible = false;
};

inline constexpr int kPinDrawings = 63;
inline constexpr int kIndicators = 36;
inline constexpr int kVariantPicture = 201;  // Image201 of the Rijschema window

// Form1, the main window.
struct MainWindowView {
    Canvas trackPlan;                                      // Image84
    std::array<Canvas, kPinDrawings + kSensors + 1> drawing;  // Image1..Image83; [0] unused
    std::array<ControlPlacement, kLayoutElements> element;    // Image1..Image83, Button6..Button13
    std::array<std::string, kLines + 1> lineCaption;          // Button6..Button13, [1..8]
    std::array<std::string, 3> meterButtonCaption;            // [1] Button14, [2] Button15
    std::array<std::string, 3> meterWindowCaption;            // [1] Form6, [2] Form7
};

// Form4, the Rijschema window.
struct RijschemaView {
    std::array<Canvas, kVariantPicture + 1> cell;  // Image1..Image200; [201] the variant picture
    std::array<Colour, kIndicators + 1> indicator;  // Shape1..Shape36 fill
    bool saveEnabled = false;                       // "Save dienst"
};

// The small display windows.
struct DisplayViews {
    std::array<Canvas, 3> meter;         // [1] Form6, [2] Form7
    std::array<Canvas, kLines + 1> board;  // [1..8] Form8..Form15
    Canvas clock;                        // Form16
    bool clockShown = false;             // the clock is drawn only while its window is shown
    std::deque<std::string> logLines;    // Form20, newest first
};

struct Screen {
    MainWindowView main;
    RijschemaView rijschema;
    DisplayViews display;
};

// The windows as designed, before anything is loaded or drawn.
Screen designedScreen();
// A stopped line's button caption: the same at the start and after a stop.
std::string lineStartCaption(int line);
// Main window control of layout element e as the window is designed.
ControlPlacement designedPlacement(int element);

}  // namespace blokpost

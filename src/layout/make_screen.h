#pragma once
// Make Screen: the operator chooses one of the 91 layout elements (63 pin
// drawings, 20 sensor drawings, 8 line buttons), shows or hides it and moves
// it on the main window pixel by pixel, and names the two voltmeters. Every
// change goes straight into the layout table and onto the main window.

#include <string>

namespace blokpost {

struct ProgramState;

// The key by which the window names element e: "A1".."A63", "S1".."S20", "Kn1".."Kn8".
std::string ElementKey(int element);
// The element a key names, or -1.
int elementOfKey(const std::string& key);
// The picture previewed for element e: a pin drawing's odd pin, a sensor's
// active picture, or the line-button picture.
std::string previewPicture(int element);
// Caption of radio button k (1..91).
std::string radioCaption(int radio);

// A radio button was clicked; `radio` is the checked one (1..91). Shows the
// element's values in the check box and spin boxes; a missing preview
// picture is reported and leaves those showing the previous element.
void Wie(ProgramState& state, int radio);
// The "Visible" check box changed: shows or hides the chosen element, then
// repaints every overview dot.
void PasAan(ProgramState& state, bool checked);
// SpinEdit1 / SpinEdit2 changed: moves the chosen element's left / top edge.
void Horizontaal(ProgramState& state, int left);
void Vertikaal(ProgramState& state, int top);
// Edit1 / Edit2 changed: the meter's name, its window caption and its main-window button.
void Meter1maken(ProgramState& state, const std::string& name);
void Meter2maken(ProgramState& state, const std::string& name);

// Every overview dot: yellow for an element shown, gray otherwise.
void RecolourOverview(ProgramState& state);

}  // namespace blokpost

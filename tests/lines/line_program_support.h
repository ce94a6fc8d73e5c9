#pragma once
// Writing line programs and reading the grid the way an operator sees it.

#include "base/canvas.h"
#include "lines/step_marker.h"
#include "state/program_state.h"

#include <cstdint>
#include <initializer_list>
#include <string>

namespace blokpost::test {

// Stores a step as the editor does: operand and counter alike.
inline void setStep(ProgramState& s, int line, int step, const std::string& kind, std::int32_t operand = 0) {
    s.model.StepKind[line][step] = kind;
    s.model.StepOperand[line][step] = operand;
    s.model.StepCounter[line][step] = operand;
}

// Puts a line on a step with its marker, as a start or a jump would.
inline void placeLineAt(ProgramState& s, int line, int step) {
    MoveStepMarker(s, line, s.model.CurrentStep[line], static_cast<std::uint8_t>(step));
    s.model.CurrentStep[line] = static_cast<std::uint8_t>(step);
}

// Gives each of `lines` the same first step and starts it there.
inline void startOnFirstStep(ProgramState& s, std::initializer_list<int> lines, const std::string& kind,
                             std::int32_t operand) {
    for (int line : lines) {
        setStep(s, line, 1, kind, operand);
        placeLineAt(s, line, 1);
    }
}

// The logbook's top line, or nothing when it is empty.
inline std::string newestLogLine(const ProgramState& s) {
    return s.screen.display.logLines.empty() ? std::string() : s.screen.display.logLines.front();
}

inline bool marked(const ProgramState& s, int line, int step) {
    return s.screen.rijschema.cell[cellNumber(line, step)].pixel(2, 2) == kRed;
}

// True when `picture` shows `text` at (x, y) exactly as the drawing surface
// renders it with the given font size and the picture's brush and font colour.
// Only pixels that the text fully determines are compared: the text is drawn
// on two different backgrounds, and pixels that blend with them are skipped.
inline bool showsText(const Canvas& picture, int x, int y, const std::string& text, int fontSize) {
    auto render = [&](Colour background) {
        Canvas scratch(picture.width(), picture.height(), background);
        scratch.setFontSize(fontSize);
        scratch.setBrush(picture.brush());
        scratch.setFontColour(picture.fontColour());
        scratch.text(x, y, text);
        return scratch;
    };
    constexpr Colour kFirst = 0x123456, kSecond = 0x654321;
    const Canvas first = render(kFirst), second = render(kSecond);
    bool drawn = false;
    for (int py = 0; py < picture.height(); ++py)
        for (int px = 0; px < picture.width(); ++px) {
            const Colour expected = first.pixel(px, py);
            if (expected != second.pixel(px, py)) continue;
            drawn = true;
            if (picture.pixel(px, py) != expected) return false;
        }
    return drawn;
}

}  // namespace blokpost::test

#include "lines/step_marker.h"

#include "lines/flag_indicators.h"
#include "state/logbook.h"
#include "state/program_state.h"

namespace blokpost {

namespace {

void fillFromCorner(Canvas& cell, Colour colour) {
    cell.setBrush(colour);
    cell.floodFill(2, 2, kBlack);
    cell.setBrush(kWhite);
}

}  // namespace

std::string startedCaption(int line) { return std::string("Stop-") + lineLetter(line); }

void MoveStepMarker(ProgramState& s, int line, std::uint8_t oldStep, std::uint8_t newStep) {
    if (line < 1 || line > kLines) return;
    for (int k = 1; k <= kSteps; ++k) {
        Canvas& cell = s.screen.rijschema.cell[cellNumber(line, k)];
        // Unmarking comes first, so a move to the same step leaves it marked.
        if (oldStep == k) fillFromCorner(cell, cell.brush());
        if (newStep == k) fillFromCorner(cell, kRed);
    }
}

void ToggleLine(ProgramState& s, int line) {
    if (line < 1 || line > kLines) return;
    const std::string name = std::string("Lijn-") + lineLetter(line);
    const std::uint8_t step = s.model.CurrentStep[line];
    // A start begins a round, which the timetable must not cut short: the line is
    // ready again at its Green step. A stop keeps the timetable from starting the
    // line again until the operator starts it or sets its green indicator.
    s.model.GreenFlag[line] = 0;
    ShowFlag(s, FlagFamily::Green, line);
    if (step != 0) {
        MoveStepMarker(s, line, step, 0);
        s.model.CurrentStep[line] = 0;
        s.screen.main.lineCaption[line] = lineStartCaption(line);
        // Line G's stop entry has always been written with a space.
        WriteLogLine(s, line == 7 ? "Lijn G gestopt" : name + " gestopt");
    } else {
        MoveStepMarker(s, line, 0, 1);
        s.model.CurrentStep[line] = 1;
        s.screen.main.lineCaption[line] = startedCaption(line);
        WriteLogLine(s, name + " gestart");
        if (lineHasNoSteps(s.model, line))
            s.reporter.message(name + " is gestart, maar heeft in deze dienst geen stappen: hij doet niets. Laad een "
                                      "dienst met stappen voor lijn " + std::string(1, lineLetter(line)) +
                               ", of stop hem weer.");
    }
}

bool lineHasNoSteps(const LineProgramModel& model, int line) {
    for (int step = 1; step <= kSteps; ++step) {
        const std::string& kind = model.StepKind[line][step];
        if (!kind.empty() && kind != kind::Leeg) return false;
    }
    return true;
}

}  // namespace blokpost

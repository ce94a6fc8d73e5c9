#include "scan/pins.h"

#include "board/board.h"
#include "state/program_state.h"
#include "state/step_kinds.h"

namespace blokpost {

// The pins that exist are those a Pin step may name.
bool isPinIndex(int n) { return operandInRange(stepKindRule(StepKindId::Pin), n); }

void Plaat(ProgramState& s, int k) {
    if (k < 1 || k > kPinDrawings) return;
    std::string& plate = s.pins.PlateState[k];
    // "A" after the even pin of the pair was asked for, "B" after the odd one.
    const bool evenShown = plate == "A";
    s.model.PinRequest = evenShown ? 2 * k - 2 : 2 * k - 1;
    plate.assign(1, evenShown ? 'B' : 'A');
}

void ShowPinDrawing(ProgramState& s, int n) {
    if (!isPinIndex(n)) return;
    const std::string name = "Tek" + std::to_string(n + 1) + ".bmp";
    if (!s.screen.main.drawing[n / 2 + 1].load(s.paths.find("Tekeningen/" + name)))
        s.reporter.message("kan plaatje " + name + " niet vinden");
}

void ServePinRequest(ProgramState& s) {
    // A request outside the pin tables (only a hand-edited file can make one)
    // has no drawing and no address: it is dropped and nothing is switched.
    s.cycle.PinOutput = isPinIndex(s.model.PinRequest) ? s.model.PinRequest : -1;
    ShowPinDrawing(s, s.cycle.PinOutput);
    if (s.cycle.PinOutput < 0) return;
    int a = s.pins.PinAddress[s.cycle.PinOutput];
    for (int channel = 7; channel >= 1; --channel) {
        const int bit = 1 << (channel - 1);
        if (a >= bit) {
            s.board.SetDigitalChannel(channel);
            a -= bit;
        }
    }
    s.cycle.PinOutput = a;
}

void StrobePinOutput(ProgramState& s) { s.board.SetDigitalChannel(8); }

}  // namespace blokpost

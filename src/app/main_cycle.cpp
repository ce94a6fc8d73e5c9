#include "app/main_cycle.h"

#include "board/board.h"
#include "lines/executors.h"
#include "lines/model_clock.h"
#include "scan/meters.h"
#include "scan/pins.h"
#include "scan/sensors.h"
#include "state/logbook.h"
#include "state/program_state.h"

namespace blokpost {

namespace {

void logPendingPin(ProgramState& s) {
    const std::int32_t n = s.model.PinRequest;
    if (n == -1) return;
    // Only a hand-edited file brings a pin that does not exist; say which one, as a pin number.
    WriteLogLine(s, isPinIndex(n) ? s.pins.PinName[n]
                                  : "Pin " + std::to_string(std::int64_t{n} + 1) + " bestaat niet");
}

void runPhase(ProgramState& s, int phase) {
    switch (phase) {
    case 1:
        SelectSensorGroup(s, 1);
        logPendingPin(s);
        break;
    case 2:
        ReadSensorGroup(s, 1);
        ServePinRequest(s);
        s.model.PinRequest = -1;
        ExecuteMemMakeSteps(s);
        break;
    case 3:
        SelectSensorGroup(s, 2);
        ExecuteJumpSteps(s);
        ExecuteSensorSteps(s);
        break;
    case 4:
        ReadSensorGroup(s, 2);
        if (s.cycle.PinOutput >= 0) StrobePinOutput(s);
        break;
    case 5:
        SelectSensorGroup(s, 3);
        ExecuteMemReadSteps(s);
        DrawMeter(s, 1);
        DrawMeter(s, 2);
        break;
    case 6:
        ReadSensorGroup(s, 3);
        ExecutePinStep(s);
        ExecuteHoldSensorSteps(s);
        break;
    case 7:
        SelectSensorGroup(s, 4);
        ExecuteTimerSteps(s);
        break;
    case 8:
        ReadSensorGroup(s, 4);
        s.board.ClearAllDigital();
        RunDepartures(s);
        ExecuteGreenSteps(s);
        break;
    }
}

}  // namespace

void Hoofdlus(ProgramState& s) {
    if (s.cycle.inTick) return;
    struct TickGuard {
        bool& flag;
        explicit TickGuard(bool& f) : flag(f) { flag = true; }
        ~TickGuard() { flag = false; }
    } guard(s.cycle.inTick);
    s.cycle.Phase = s.cycle.Phase >= 8 ? 1 : s.cycle.Phase + 1;
    // Picture failures inside a tick are reported where they happen and the
    // tick goes on; nothing the board gets depends on a picture.
    guarded(s, [&] { runPhase(s, s.cycle.Phase); });
}

void Kaart(ProgramState& s) {
    if (s.board.OpenDevice(0) != 0) s.reporter.message("Geen kaart gevonden op 0");
    // A board not yet heard from is announced by its driver once it answers.
    else if (s.board.answered()) s.reporter.message("Kaart gevonden");
}

}  // namespace blokpost

#include "board/sensors.h"

#include "app/program_state.h"
#include "schedule/rijschema.h"

namespace blokpost {

namespace {

struct GroupCode {
    int output1;
    int output2;
};
// Consecutive codes differ in one output only.
constexpr GroupCode kGroupCodes[5] = {{0, 0}, {0, 255}, {255, 255}, {255, 0}, {0, 0}};

std::string sensorPicture(int sensor, bool active) {
    return "Tekeningen/Sen" + std::to_string(sensor) + (active ? "H.bmp" : "L.bmp");
}

}  // namespace

void SelectSensorGroup(ProgramState& s, int group) {
    if (group < 1 || group > 4) return;
    s.board.OutputAllAnalog(kGroupCodes[group].output1, kGroupCodes[group].output2);
}

void ReadSensorGroup(ProgramState& s, int group) {
    if (group < 1 || group > 4) return;
    const int first = 5 * (group - 1) + 1;
    auto& state = s.model.SensorState;
    for (int sensor = first; sensor < first + 5; ++sensor) s.SensorPrevious[sensor] = state[sensor];

    // Successive subtraction from the top input down: input k carries 2^(k-1).
    int m = s.board.ReadAllDigital() & 0xFF;
    for (int k = 4; k >= 1; --k) {
        const int bit = 1 << k;
        const bool on = m > bit - 1;
        state[first + k] = on ? 1 : 0;
        if (on) m -= bit;
    }
    state[first] = m == 1 ? 1 : 0;

    for (int sensor = first; sensor < first + 5; ++sensor) {
        const int image = kPinDrawings + sensor;
        if (!s.screen.main.element[image - 1].visible || s.SensorPrevious[sensor] == state[sensor]) continue;
        const std::string file = sensorPicture(sensor, state[sensor] == 1);
        if (!s.screen.main.drawing[image].load(s.paths.find(file)))
            throw OperationError("Cannot open file \"" + file + "\". No such file or directory.");
    }
    for (int sensor = first; sensor < first + 5; ++sensor) {
        if (state[sensor] != 1) continue;
        s.model.HoldFlag[sensor] = 1;
        ShowFlag(s, FlagFamily::Hold, sensor);
    }
}

}  // namespace blokpost

#include "scan/sensors.h"

#include "board/board.h"
#include "lines/flag_indicators.h"
#include "state/program_state.h"

#include <QFileInfo>

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

// Says why a picture did not load: a missing file, or one that is there but
// cannot be read as a picture.
std::string pictureFailure(const std::string& file, const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return "Cannot open file \"" + file + "\". No such file or directory.";
    if (!info.isFile() || !info.isReadable()) return "Cannot open file \"" + file + "\". It is not a readable file.";
    return "Cannot read picture \"" + file + "\". The file is damaged or not a bitmap.";
}

// A drawing whose picture cannot be loaded keeps its old look. The failure is
// said once per picture, and again only after that picture has loaded once;
// the scan and the rest of the tick go on as if it had loaded.
void showSensorPicture(ProgramState& s, int sensor, bool active) {
    const std::string file = sensorPicture(sensor, active);
    const QString path = s.paths.find(file);
    bool& reported = s.SensorPictureReported[sensor][active ? 1 : 0];
    if (s.screen.main.drawing[kPinDrawings + sensor].load(path)) {
        reported = false;
    } else if (!reported) {
        reported = true;
        s.reporter.message(pictureFailure(file, path));
    }
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
        showSensorPicture(s, sensor, state[sensor] == 1);
    }
    for (int sensor = first; sensor < first + 5; ++sensor) {
        if (state[sensor] != 1) continue;
        s.model.HoldFlag[sensor] = 1;
        ShowFlag(s, FlagFamily::Hold, sensor);
    }
}

}  // namespace blokpost

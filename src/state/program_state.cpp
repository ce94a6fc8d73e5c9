#include "state/program_state.h"

#include <QTime>

namespace blokpost {

void setStartPinNames(std::array<std::string, kPins>& names, std::array<std::uint8_t, kPins>& addresses) {
    for (int i = 0; i < kPins; ++i) {
        names[i] = "leeg" + std::to_string(i);
        addresses[i] = static_cast<std::uint8_t>(i);
    }
}

void FormCreate(ProgramState& s, int minutesOfDay) {
    // A missing track plan is not worth a message: the designed picture stays.
    s.screen.main.trackPlan.load(s.paths.find("Tekeningen/Spoortekening.bmp"));
    setStartPinNames(s.pins.PinName, s.pins.PinAddress);
    s.clock.ClockMinutes = minutesOfDay;
    s.clock.ClockSeconds = 0;
    s.layout = defaultLayoutTable();
    s.MeterName1 = "meter1";
    s.MeterName2 = "meter2";
    for (int line = 1; line <= kLines; ++line) {
        s.timetable.DepartureMinute[line] = 0;
        s.timetable.DepartureInterval[line] = 0;
        s.model.GreenFlag[line] = 1;
    }
}

void FormCreate(ProgramState& s) {
    const QTime now = QTime::currentTime();
    FormCreate(s, now.hour() * 60 + now.minute());
}

}  // namespace blokpost

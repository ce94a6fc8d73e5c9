#include "web/page_state.h"

#include "lines/model_clock.h"
#include "state/program_state.h"
#include "watch/line_watch.h"
#include "web/json_text.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace blokpost {

namespace {

// Hours of the day, minutes and seconds: the logbook's hour of the day.
std::string timeOfDay(std::int64_t seconds) {
    const std::int64_t day = ((seconds % 86400) + 86400) % 86400;
    const int second = static_cast<int>(day % 60);
    std::string text = FormatClockTime(static_cast<std::int32_t>(day / 60));
    text += ':';
    text += static_cast<char>('0' + second / 10);
    text += static_cast<char>('0' + second % 10);
    return text;
}

const char* markClass(LineMark mark) {
    switch (mark) {
    case LineMark::Stalled:
        return "stil";
    case LineMark::MemoryNobodySets:
        return "geheugen";
    case LineMark::None:
        break;
    }
    return "";
}

// A time on a step as it stood at the model clock's last second: every line's
// count moves on with the clock, in the one message a second brings, instead
// of each in a message of its own at the tick it came on its step.
double onClockSecond(const ProgramState& s, double seconds) {
    const double sinceClockSecond = (s.cycle.Phase % 8) / 8.0;  // the clock moves on in phase 8
    return std::max(0.0, std::floor(seconds - sinceClockSecond));
}

std::string letter(int line) { return std::string(1, lineLetter(line)); }

void lines(JsonText& json, const ProgramState& s, const LineWatch& watch) {
    json.key("lijnen").beginArray();
    for (const LineSnapshot& line : watch.snapshot(s)) {
        const bool onStep = line.run == LineRun::Running;
        const std::string note = line.markWords.empty() || line.departureNote.empty()
                                     ? line.markWords + line.departureNote
                                     : line.markWords + " " + line.departureNote;
        json.beginObject()
            .key("nr").value(line.line)
            .key("lijn").value(letter(line.line))
            .key("loopt").value(line.step != 0)
            .key("staat").value(line.state)
            .key("stap").value(line.step)
            .key("wacht").value(line.words)
            .key("sinds").value(onStep ? DurationInWords(onClockSecond(s, line.sinceSeconds)) : std::string())
            .key("normaal").value(line.usualSeconds ? DurationInWords(*line.usualSeconds) : std::string())
            .key("merk").value(markClass(line.mark))
            .key("merkTekst").value(note)
            .key("knop").value(lineHasButton(s, line.line))
            .endObject();
    }
    json.endArray();
}

void flags(JsonText& json, const ProgramState& s) {
    json.key("sensoren").beginArray();
    for (int sensor = 1; sensor <= kSensors; ++sensor)
        json.beginObject()
            .key("nr").value(sensor)
            .key("aan").value(s.model.SensorState[sensor] == 1)
            .key("vast").value(s.model.HoldFlag[sensor] == 1)
            .endObject();
    json.endArray().key("geheugens").beginArray();
    for (int memory = 1; memory <= kMemories; ++memory) json.value(s.model.MemoryFlag[memory] == 1);
    json.endArray();
}

// The lines in service, their next departure first.
void boards(JsonText& json, const ProgramState& s) {
    const TimetableTables& t = s.timetable;
    std::vector<int> inService;
    for (int line = 1; line <= kLines; ++line)
        if (t.DepartureInterval[line] > 0) inService.push_back(line);
    std::stable_sort(inService.begin(), inService.end(),
                     [&](int a, int b) { return t.DepartureMinute[a] < t.DepartureMinute[b]; });
    json.key("borden").beginArray();
    for (const int line : inService)
        json.beginObject()
            .key("lijn").value(letter(line))
            .key("tijd").value(FormatClockTime(t.DepartureMinute[line]))
            .key("naar").value(t.BoardDestination[line])
            .key("via").value(t.BoardVia[line])
            .key("trein").value(t.BoardTrain[line])
            .key("spoor").value(int{t.BoardPlatform[line]})
            .endObject();
    json.endArray();
}

}  // namespace

bool lineHasButton(const ProgramState& s, int line) {
    return line >= 1 && line <= kLines && s.screen.main.element[kFirstLineButtonElement + line - 1].visible;
}

QByteArray pageStateJson(const ProgramState& s, const LineWatch& watch) {
    JsonText json;
    json.beginObject().key("klok").value(timeOfDay(std::int64_t{s.clock.ClockMinutes} * 60 + s.clock.ClockSeconds));
    lines(json, s, watch);
    flags(json, s);
    boards(json, s);
    json.key("logboek").beginArray();
    for (const std::string& line : s.screen.display.logLines) json.value(line);
    json.endArray().endObject();
    return json.text();
}

}  // namespace blokpost

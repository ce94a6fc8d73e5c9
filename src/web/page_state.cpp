#include "web/page_state.h"

#include "lines/model_clock.h"
#include "state/program_state.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <vector>

namespace blokpost {

namespace {

// Stored texts are 8-bit Latin-1, one byte one letter.
QString text(const std::string& stored) { return QString::fromLatin1(stored.data(), static_cast<qsizetype>(stored.size())); }

// Hours of the day, minutes and seconds: the logbook's hour of the day.
QString timeOfDay(std::int64_t seconds) {
    const std::int64_t day = ((seconds % 86400) + 86400) % 86400;
    return QString::fromStdString(FormatClockTime(static_cast<std::int32_t>(day / 60))) +
           QStringLiteral(":%1").arg(day % 60, 2, 10, QLatin1Char('0'));
}

QJsonArray lines(const ProgramState& s, const StepTimes& times) {
    QJsonArray all;
    for (int line = 1; line <= kLines; ++line) {
        const int step = s.model.CurrentStep[line];
        all.append(QJsonObject{
            {QStringLiteral("lijn"), QString(QLatin1Char(lineLetter(line)))},
            {QStringLiteral("stap"), step},
            {QStringLiteral("loopt"), step != 0},
            {QStringLiteral("wacht"), QString::fromStdString(stepInWords(s, line))},
            {QStringLiteral("sinds"), timeOfDay(times.since(line))},
            {QStringLiteral("klaar"), s.model.GreenFlag[line] == 1},
            {QStringLiteral("knop"), lineHasButton(s, line)},
        });
    }
    return all;
}

QJsonArray sensors(const ProgramState& s) {
    QJsonArray all;
    for (int sensor = 1; sensor <= kSensors; ++sensor)
        all.append(QJsonObject{{QStringLiteral("nr"), sensor},
                               {QStringLiteral("aan"), s.model.SensorState[sensor] == 1},
                               {QStringLiteral("vast"), s.model.HoldFlag[sensor] == 1}});
    return all;
}

QJsonArray memories(const ProgramState& s) {
    QJsonArray all;
    for (int memory = 1; memory <= kMemories; ++memory) all.append(s.model.MemoryFlag[memory] == 1);
    return all;
}

// The lines in service, their next departure first.
QJsonArray boards(const ProgramState& s) {
    const TimetableTables& t = s.timetable;
    std::vector<int> inService;
    for (int line = 1; line <= kLines; ++line)
        if (t.DepartureInterval[line] > 0) inService.push_back(line);
    std::stable_sort(inService.begin(), inService.end(),
                     [&](int a, int b) { return t.DepartureMinute[a] < t.DepartureMinute[b]; });
    QJsonArray all;
    for (const int line : inService)
        all.append(QJsonObject{{QStringLiteral("lijn"), QString(QLatin1Char(lineLetter(line)))},
                               {QStringLiteral("tijd"), QString::fromStdString(FormatClockTime(t.DepartureMinute[line]))},
                               {QStringLiteral("naar"), text(t.BoardDestination[line])},
                               {QStringLiteral("via"), text(t.BoardVia[line])},
                               {QStringLiteral("trein"), text(t.BoardTrain[line])},
                               {QStringLiteral("spoor"), t.BoardPlatform[line]}});
    return all;
}

QJsonArray logbook(const ProgramState& s) {
    QJsonArray all;
    for (const std::string& line : s.screen.display.logLines) all.append(text(line));
    return all;
}

std::string withOperand(const char* words, std::int32_t operand) { return words + std::to_string(operand); }

}  // namespace

void StepTimes::notice(const ProgramState& s) {
    const std::int64_t now = layoutSeconds(s);
    for (int line = 1; line <= kLines; ++line) {
        const auto i = static_cast<std::size_t>(line);
        if (!first_ && step_[i] == s.model.CurrentStep[line]) continue;
        step_[i] = s.model.CurrentStep[line];
        since_[i] = now;
    }
    first_ = false;
}

std::int64_t layoutSeconds(const ProgramState& s) {
    return std::int64_t{s.clock.ClockMinutes} * 60 + s.clock.ClockSeconds;
}

std::string stepInWords(const ProgramState& s, int line) {
    const int step = s.model.CurrentStep[line];
    if (step == 0) return "gestopt";
    if (step > kSteps) return "aan het einde van het programma";
    const std::string& kind = s.model.StepKind[line][step];
    const std::int32_t operand = s.model.StepOperand[line][step];
    if (kind == kind::Pin) return "zet pin " + (operand >= 0 && operand < kPins ? s.pins.PinName[operand] : std::to_string(operand + 1));
    if (kind == kind::Timer) return withOperand("wacht nog ", s.model.StepCounter[line][step]) + " s";
    if (kind == kind::Jump) return withOperand("springt naar stap ", operand);
    if (kind == kind::Sensor) return withOperand("wacht op sensor ", operand);
    if (kind == kind::HSensor) return withOperand("wacht op vastgehouden sensor ", operand);
    if (kind == kind::MemMake) return withOperand("zet geheugen ", operand);
    if (kind == kind::MemRead) return withOperand("wacht op geheugen ", operand);
    if (kind == kind::Green) return "meldt zich klaar voor vertrek";
    return "lege stap";
}

bool lineHasButton(const ProgramState& s, int line) {
    return line >= 1 && line <= kLines && s.screen.main.element[kFirstLineButtonElement + line - 1].visible;
}

QByteArray pageStateJson(const ProgramState& s, const StepTimes& times) {
    const QJsonObject page{
        {QStringLiteral("klok"), timeOfDay(layoutSeconds(s))},
        {QStringLiteral("lijnen"), lines(s, times)},
        {QStringLiteral("sensoren"), sensors(s)},
        {QStringLiteral("geheugens"), memories(s)},
        {QStringLiteral("borden"), boards(s)},
        {QStringLiteral("logboek"), logbook(s)},
    };
    return QJsonDocument(page).toJson(QJsonDocument::Compact);
}

}  // namespace blokpost

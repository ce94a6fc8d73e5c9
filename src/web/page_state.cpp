#include "web/page_state.h"

#include "lines/model_clock.h"
#include "state/program_state.h"
#include "watch/line_watch.h"

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

QString markClass(LineMark mark) {
    switch (mark) {
    case LineMark::Stalled:
        return QStringLiteral("stil");
    case LineMark::MemoryNobodySets:
        return QStringLiteral("geheugen");
    case LineMark::None:
        break;
    }
    return {};
}

QJsonArray lines(const ProgramState& s, const LineWatch& watch) {
    QJsonArray all;
    for (const LineSnapshot& line : watch.snapshot(s)) {
        const bool onStep = line.run == LineRun::Running;
        const std::string note = line.markWords.empty() || line.departureNote.empty()
                                     ? line.markWords + line.departureNote
                                     : line.markWords + " " + line.departureNote;
        all.append(QJsonObject{
            {QStringLiteral("nr"), line.line},
            {QStringLiteral("lijn"), QString(QLatin1Char(lineLetter(line.line)))},
            {QStringLiteral("loopt"), line.step != 0},
            {QStringLiteral("staat"), QString::fromStdString(line.state)},
            {QStringLiteral("stap"), line.step},
            {QStringLiteral("wacht"), QString::fromStdString(line.words)},
            {QStringLiteral("sinds"), onStep ? QString::fromStdString(DurationInWords(line.sinceSeconds)) : QString()},
            {QStringLiteral("normaal"),
             line.usualSeconds ? QString::fromStdString(DurationInWords(*line.usualSeconds)) : QString()},
            {QStringLiteral("merk"), markClass(line.mark)},
            {QStringLiteral("merkTekst"), QString::fromStdString(note)},
            {QStringLiteral("knop"), lineHasButton(s, line.line)},
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

}  // namespace

static std::int64_t layoutSeconds(const ProgramState& s) {
    return std::int64_t{s.clock.ClockMinutes} * 60 + s.clock.ClockSeconds;
}

bool lineHasButton(const ProgramState& s, int line) {
    return line >= 1 && line <= kLines && s.screen.main.element[kFirstLineButtonElement + line - 1].visible;
}

QByteArray pageStateJson(const ProgramState& s, const LineWatch& watch) {
    const QJsonObject page{
        {QStringLiteral("klok"), timeOfDay(layoutSeconds(s))},
        {QStringLiteral("lijnen"), lines(s, watch)},
        {QStringLiteral("sensoren"), sensors(s)},
        {QStringLiteral("geheugens"), memories(s)},
        {QStringLiteral("borden"), boards(s)},
        {QStringLiteral("logboek"), logbook(s)},
    };
    return QJsonDocument(page).toJson(QJsonDocument::Compact);
}

}  // namespace blokpost

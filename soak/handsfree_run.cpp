#include "handsfree_run.h"

#include "app/main_cycle.h"
#include "artwork/artwork.h"
#include "base/logbook_file.h"
#include "board/simulated_board.h"
#include "demo_installation.h"
#include "layout/layout_store.h"
#include "lines/step_marker.h"
#include "scan/auto_trains.h"
#include "schedule/schedule_files.h"
#include "state/program_state.h"
#include "timetable/timetable.h"
#include "watch/line_watch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

namespace blokpost::handsfree {

namespace {

class KeepingReporter : public Reporter {
public:
    void message(const std::string& text) override { messages.push_back(text); }
    bool confirm(const std::string&) override { return true; }
    std::vector<std::string> messages;
};

// The computer's clock of the run: it starts late in the evening, so even an
// hour passes midnight and the logbook opens a second day file.
const QDateTime kComputerStart(QDate(2026, 12, 7), QTime(23, 40, 0));
// The layout clock starts just after the books' departures, so the lines
// started by hand have their round done before the first departure comes.
constexpr int kLayoutStart = 8 * 60 + 6;
constexpr int kLinesInService = 4;
constexpr int kDepartureSecond = 4;

std::string where(int line, int step) { return std::string("line ") + lineLetter(line) + " step " + std::to_string(step); }

std::string kindAt(const LineProgramModel& m, int line, int step) {
    const std::string& k = m.StepKind[line][step];
    return k.empty() ? kind::Leeg : k;
}

// Rood for the weekday services, Blauw for the weekend and summer.
bool bluebook(int variant) { return variant == 2 || variant == 3; }

// Watches the lines tick by tick.
class Observer {
public:
    Observer(const ProgramState& s, VariantResult& result) : s_(s), result_(result) {}

    void before() {
        step_ = s_.model.CurrentStep;
        green_ = s_.model.GreenFlag;
    }

    // After tick `tick`; returns the first breach.
    std::string after(std::int64_t tick) {
        const LineProgramModel& m = s_.model;
        const bool departureSecond = s_.cycle.Phase == 8 && s_.clock.ClockSeconds == 4;
        for (int line = 1; line <= kLines; ++line) {
            const int before = step_[line], now = m.CurrentStep[line];
            const bool departs = departureSecond && s_.timetable.DepartureInterval[line] > 0 &&
                                 s_.timetable.DepartureMinute[line] == s_.clock.ClockMinutes;
            LineFigures& figures = result_.lines[line];
            if (departs) {
                if (green_[line] != 1) {
                    ++figures.departuresMissed;
                } else if (now != 1) {
                    return "line " + std::string(1, lineLetter(line)) + " was not restarted by its departure";
                } else {
                    ++figures.departuresTaken;
                }
            }
            if (now == before) {
                if (std::string breach = checkWait(line, tick, false); !breach.empty()) return breach;
                continue;
            }
            if (std::string breach = checkWait(line, tick, true); !breach.empty()) return breach;
            const std::string left = before >= 1 && before <= kSteps ? kindAt(m, line, before) : "";
            if (!left.empty()) watchOvertaking(line, left, m.StepOperand[line][before], tick);
            if (left == kind::Green || (left == kind::Jump && now < before)) ++figures.rounds;
            if (now == 1 && left != kind::Jump && !(departs && green_[line] == 1) && before != 0)
                return "line " + std::string(1, lineLetter(line)) + " restarted outside its departure minute";
            arrived_[line] = tick;
        }
        return {};
    }

    // The waits still going on at the end count as well.
    std::string finish(std::int64_t tick) {
        for (int line = 1; line <= kLines; ++line)
            if (std::string breach = checkWait(line, tick, true); !breach.empty()) return breach;
        return {};
    }

private:
    // Memories are made by leaving a MemMake step and taken by leaving a MemRead step.
    void watchOvertaking(int line, const std::string& left, std::int32_t memory, std::int64_t tick) {
        if (memory < 1 || memory > kMemories) return;
        if (left == kind::MemMake) made_[memory] = tick + 1;
        const Overtaking& o = kDijkstadOvertaking;
        if (left != kind::MemRead || line != o.waitingLine || memory != o.passedMemory) return;
        if (made_[o.passedMemory] > made_[o.standingMemory])
            ++result_.overtakingsInStep;
        else
            ++result_.overtakingsOutOfStep;
    }

    // A wait is checked while it goes on, so a stall is caught at its bound.
    std::string checkWait(int line, std::int64_t tick, bool ended) {
        const int step = step_[line];
        if (step < 1 || step > kSteps) return {};
        const std::string k = kindAt(s_.model, line, step);
        const double seconds = static_cast<double>(tick - arrived_[line]) / 8.0;
        const double bound = boundFor(result_.bounds, k, s_.model.StepOperand[line][step]);
        if (seconds > bound)
            return where(line, step) + " (" + k + ") waited " + std::to_string(seconds) + " s, more than " +
                   std::to_string(bound) + " s";
        if (ended) {
            LongestWait& longest = result_.longestWait[k];
            if (seconds > longest.seconds) longest = {seconds, where(line, step)};
        }
        return {};
    }

    const ProgramState& s_;
    VariantResult& result_;
    std::array<std::uint8_t, kLines + 1> step_{};
    std::array<std::uint8_t, kLines + 1> green_{};
    std::array<std::int64_t, kLines + 1> arrived_{};
    // The tick after which each memory was last made; 0 = not yet.
    std::array<std::int64_t, kMemories + 1> made_{};
};

// The layout clock runs, no line started yet, until the stoptrein's next
// departure is `seconds` away.
void runClockUntilDeparture(ProgramState& s, SimulatedBoard& board, int seconds) {
    const std::int64_t departs = std::int64_t{s.timetable.DepartureMinute[1]} * 60 + kDepartureSecond;
    while (departs - (std::int64_t{s.clock.ClockMinutes} * 60 + s.clock.ClockSeconds) > seconds) {
        Hoofdlus(s);
        board.passTick();
    }
}

// What each day file must hold: "HH:MM:SS  " and the entry, by date.
using DayFiles = std::map<QDate, std::string>;

std::string compareDayFiles(const QString& root, const DayFiles& expected) {
    QDir folder(QDir(root).filePath(QStringLiteral("Logboek")));
    const QStringList names = folder.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    if (names.size() != static_cast<qsizetype>(expected.size()))
        return std::to_string(names.size()) + " day files, " + std::to_string(expected.size()) + " days written";
    for (const auto& [day, contents] : expected) {
        QFile file(QDir(root).filePath(QString::fromStdString(LogbookFile::dayFile(day))));
        if (!file.open(QIODevice::ReadOnly)) return "no day file " + LogbookFile::dayFile(day);
        const QByteArray held = file.readAll();
        if (held.toStdString() == contents) continue;
        // Name the first line that differs.
        const auto heldLines = held.split('\n');
        const auto wanted = QByteArray::fromStdString(contents).split('\n');
        for (qsizetype i = 0; i < std::min(heldLines.size(), wanted.size()); ++i)
            if (heldLines[i] != wanted[i])
                return LogbookFile::dayFile(day) + " line " + std::to_string(i + 1) + " holds \"" +
                       heldLines[i].trimmed().toStdString() + "\", expected \"" + wanted[i].trimmed().toStdString() +
                       "\"";
        return LogbookFile::dayFile(day) + " holds " + std::to_string(heldLines.size()) + " lines, expected " +
               std::to_string(wanted.size());
    }
    return {};
}

// Counts the ticks with a marked line; true at the first stall told.
bool noteMarks(const ProgramState& s, const LineWatch& watch, VariantResult& result) {
    bool marked = false;
    for (int line = 1; line <= kLines; ++line) marked = marked || watch.mark(line) != LineMark::None;
    result.markedTicks += marked;
    if (watch.stallsTold() == 0) return false;
    for (const LineSnapshot& line : watch.snapshot(s))
        if (line.mark == LineMark::Stalled)
            result.firstStall = {line.line, line.step, line.sinceSeconds, line.usualSeconds.value_or(0)};
    return true;
}

}  // namespace

WaitBounds waitBounds(int travelSeconds, int longestIntervalMinutes) {
    WaitBounds b;
    const double scan = 2.0;  // the read of the sensor's group, then the step's phase
    b.pin = kLinesInService * 2.0;
    b.timerBeyondCount = 2.0;
    b.sensor = 1.25 * travelSeconds + scan;
    b.holdSensor = 2 * b.sensor;
    b.memRead = 2.0 * 60 * longestIntervalMinutes;
    b.rest = 60.0 * longestIntervalMinutes + 60;
    b.instant = 1.0;
    return b;
}

double boundFor(const WaitBounds& b, const std::string& k, std::int32_t operand) {
    if (k == kind::Pin) return b.pin;
    if (k == kind::Timer) return operand + b.timerBeyondCount;
    if (k == kind::Sensor) return b.sensor;
    if (k == kind::HSensor) return b.holdSensor;
    if (k == kind::MemRead) return b.memRead;
    if (k == kind::Jump || k == kind::MemMake || k == kind::Green) return b.instant;
    return b.rest;
}

VariantResult runVariant(int variant, std::int64_t ticks, std::uint32_t seed, HandStart start) {
    const int travelSeconds = start.travelSeconds;
    VariantResult result;
    result.variant = variant;
    result.book = bluebook(variant) ? "Blauw" : "Rood";
    QTemporaryDir folder;
    artwork::writeMissingPictures(folder.path());
    demo::writeMissingDemoFiles(folder.path());

    SimulatedBoard board;
    KeepingReporter reporter;
    ProgramState s(board, reporter, DataPaths(folder.path()));
    FormCreate(s, kLayoutStart);
    std::int64_t tick = 0;
    s.logbookFile.setClock([&tick] { return kComputerStart.addMSecs(tick * 125); });

    guarded(s, [&] { Lezen(s); });
    guarded(s, [&] { MaakSchema(s, variant); });
    guarded(s, [&] { bluebook(variant) ? LeesBlauw(s) : LeesRood(s); });
    if (start.secondsBeforeDeparture >= 0) runClockUntilDeparture(s, board, start.secondsBeforeDeparture);
    // Lines A..D, as far as the variant gives them a program; a line that an
    // earlier departure has started already is left running, as an operator
    // presses only the buttons that read "Start".
    for (int line = 1; line <= kLinesInService; ++line)
        if (!s.model.StepKind[line][1].empty() && s.model.CurrentStep[line] == 0) ToggleLine(s, line);
    int longestInterval = 0;
    for (int line = 1; line <= kLines; ++line) longestInterval = std::max(longestInterval, s.timetable.DepartureInterval[line]);
    result.bounds = waitBounds(travelSeconds, longestInterval);

    AutoTrains trains(seed);
    trains.setTravelSeconds(travelSeconds);
    trains.setEnabled(true);

    // Every entry as it must stand in its day file, also those written by the start buttons.
    DayFiles expected;
    std::uint64_t entriesSeen = 0;
    auto collectEntries = [&] {
        const std::uint64_t fresh = s.logbookFile.entries() - entriesSeen;
        const auto& lines = s.screen.display.logLines;
        if (fresh > lines.size()) return false;
        const QDateTime now = kComputerStart.addMSecs(tick * 125);
        for (std::uint64_t i = fresh; i > 0; --i)
            expected[now.date()] += now.time().toString(QStringLiteral("HH:mm:ss")).toStdString() + "  " +
                                   lines[static_cast<std::size_t>(i - 1)] + "\r\n";
        entriesSeen = s.logbookFile.entries();
        return true;
    };
    collectEntries();

    Observer observer(s, result);
    LineWatch watch;
    for (tick = 0; tick < ticks; ++tick) {
        observer.before();
        watch.before(s);
        Hoofdlus(s);
        watch.after(s);
        trains.tick(s.model, board);
        if (start.deadSensor && tick >= start.deadFromTick) board.setSensor(start.deadSensor, false);
        board.passTick();
        if (!collectEntries()) {
            result.breach = "more entries in one tick than the logbook shows";
            break;
        }
        if (noteMarks(s, watch, result)) break;
        if (!start.deadSensor) result.breach = observer.after(tick);
        if (!result.breach.empty()) break;
    }
    result.ticks = tick;
    if (result.breach.empty() && !start.deadSensor) result.breach = observer.finish(tick);
    if (result.breach.empty() && result.overtakingsOutOfStep > 0)
        result.breach = "line A left Dijkstad before line C had passed it in " +
                        std::to_string(result.overtakingsOutOfStep) + " of " +
                        std::to_string(result.overtakingsOutOfStep + result.overtakingsInStep) + " rounds";
    result.logEntries = static_cast<std::int64_t>(s.logbookFile.entries());
    result.dayFiles = static_cast<std::int64_t>(expected.size());
    result.messages = reporter.messages;
    if (result.breach.empty() && !start.deadSensor && !result.messages.empty())
        result.breach = "the operator was told: " + result.messages.front();
    s.logbookFile.settle();
    if (result.breach.empty()) result.breach = compareDayFiles(folder.path(), expected);
    return result;
}

const char* variantName(int variant) {
    static constexpr const char* kNames[] = {"", "Normale dienst", "Weekenddienst", "Zomerdienst", "Winterdienst"};
    return variant >= 1 && variant <= 4 ? kNames[variant] : "";
}

}  // namespace blokpost::handsfree

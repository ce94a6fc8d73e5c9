#include "watch/line_watch.h"

#include "lines/model_clock.h"
#include "state/program_state.h"
#include "state/step_kinds.h"

#include <algorithm>
#include <cmath>

namespace blokpost {

namespace {

bool isStep(int step) { return step >= 1 && step <= kSteps; }

const std::string& kindAt(const LineProgramModel& m, int line, int step) { return m.StepKind[line][step]; }

StepKindId idAt(const LineProgramModel& m, int line, int step) { return stepKindOf(kindAt(m, line, step)); }

bool isEmptyKind(const std::string& k) { return stepKindOf(k) == StepKindId::Empty; }

// The steps that wait on something outside their own turn: these are learnt
// and judged. The others end in their first turn, or never.
bool waits(const std::string& k) { return waitsBeforeEnding(stepKindRule(k)); }

bool hasSteps(const LineProgramModel& m, int line) {
    for (int step = 1; step <= kSteps; ++step)
        if (!isEmptyKind(kindAt(m, line, step))) return true;
    return false;
}

// A line that will run again: on a step, or ready for a departure that will come.
bool willRun(const ProgramState& s, int line) {
    const int step = s.model.CurrentStep[line];
    if (isStep(step) && !isEmptyKind(kindAt(s.model, line, step))) return true;
    return s.model.GreenFlag[line] == 1 && NextDepartureMinute(s, line).has_value();
}

// The lines other than `waiting` whose programs set memory `memory`.
std::vector<int> settersOf(const LineProgramModel& m, int memory, int waiting) {
    std::vector<int> setters;
    for (int line = 1; line <= kLines; ++line) {
        if (line == waiting) continue;
        for (int step = 1; step <= kSteps; ++step)
            if (idAt(m, line, step) == StepKindId::MemMake && m.StepOperand[line][step] == memory) {
                setters.push_back(line);
                break;
            }
    }
    return setters;
}

// Why no running line will set the memory line L waits for; empty when one will.
std::string memoryNobodySets(const ProgramState& s, int line) {
    const int step = s.model.CurrentStep[line];
    if (!isStep(step)) return {};
    const StepKindRule& rule = stepKindRule(kindAt(s.model, line, step));
    const std::int32_t memory = s.model.StepOperand[line][step];
    if (rule.wait != StepWait::MemoryFlag || !operandInRange(rule, memory) || s.model.MemoryFlag[memory] == 1)
        return {};
    const std::vector<int> setters = settersOf(s.model, memory, line);
    const std::string m = std::to_string(memory);
    if (setters.empty()) return "Geen lijn zet geheugen " + m + ".";
    std::string stopped;
    for (int setter : setters) {
        if (willRun(s, setter)) return {};
        stopped += std::string(stopped.empty() ? "" : ", ") + lineLetter(setter);
    }
    return "Niemand zet geheugen " + m + " nog (" + stopped + " gestopt).";
}

std::string lineName(int line) { return std::string("Lijn ") + lineLetter(line); }

std::string stateInWords(const ProgramState& s, int line, LineRun run) {
    if (run == LineRun::Running) return "rijdt";
    if (s.model.GreenFlag[line] == 1) {
        const std::optional<std::int32_t> next = NextDepartureMinute(s, line);
        return next ? "wacht op vertrek " + FormatClockTime(*next) : "klaar, geen vertrek";
    }
    if (run == LineRun::Stopped) return "gestopt";
    return s.model.CurrentStep[line] > kSteps ? "voorbij de laatste stap" : "staat op een lege stap";
}

LineRun runOf(const ProgramState& s, int line) {
    const int step = s.model.CurrentStep[line];
    if (step == 0) return s.model.GreenFlag[line] == 1 ? LineRun::Resting : LineRun::Stopped;
    if (isStep(step) && !isEmptyKind(kindAt(s.model, line, step))) return LineRun::Running;
    return LineRun::Resting;
}

// The operand as the grid shows it, saying when the executor cannot act on it.
std::string operandWords(const StepKindRule& rule, std::int32_t operand, std::int64_t shown) {
    const std::string n = std::to_string(shown);
    return operandInRange(rule, operand) ? n : n + " (bestaat niet)";
}

}  // namespace

double StallRule::stalledAfter(double usualSeconds) {
    return std::max(kFactor * usualSeconds, usualSeconds + kMarginSeconds);
}

void UsualWait::learn(double seconds) {
    passes_[static_cast<std::size_t>(next_)] = seconds;
    next_ = (next_ + 1) % StallRule::kPassesKept;
    count_ = std::min(count_ + 1, StallRule::kPassesKept);
}

std::optional<double> UsualWait::usual() const {
    if (count_ < StallRule::kPassesBeforeJudging) return std::nullopt;
    std::array<double, StallRule::kPassesKept> sorted = passes_;
    const auto end = sorted.begin() + count_;
    std::sort(sorted.begin(), end);
    const std::size_t middle = static_cast<std::size_t>(count_ / 2);
    return count_ % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

void LineWatch::before(const ProgramState& s) { greenBefore_ = s.model.GreenFlag; }

void LineWatch::after(ProgramState& s) {
    ++ticks_;
    for (int line = 1; line <= kLines; ++line) {
        follow(s, line);
        judge(s, line);
        noticeDeparture(s, line);
    }
}

LineWatch::Learnt& LineWatch::learnt(const LineProgramModel& m, int line, int step) {
    Learnt& l = learnt_[static_cast<std::size_t>(line)][static_cast<std::size_t>(step)];
    // An edited step is another wait: what was learnt of the old one no longer holds.
    if (l.kind != kindAt(m, line, step) || l.operand != m.StepOperand[line][step])
        l = Learnt{kindAt(m, line, step), m.StepOperand[line][step], {}};
    return l;
}

double LineWatch::secondsOnStep(int line) const {
    return static_cast<double>(ticks_ - lines_[static_cast<std::size_t>(line)].since) / kTicksPerSecond;
}

// A line that moved on from a waiting step by itself (to the next step)
// teaches how long that wait lasts; a restart or a stop teaches nothing.
void LineWatch::follow(ProgramState& s, int line) {
    Watched& w = lines_[static_cast<std::size_t>(line)];
    const int now = s.model.CurrentStep[line];
    if (now == w.step) return;
    if (isStep(w.step) && waits(kindAt(s.model, line, w.step)) &&
        now == stepAfter(stepKindRule(kindAt(s.model, line, w.step)), w.step, s.model.StepOperand[line][w.step]))
        learnt(s.model, line, w.step).wait.learn(secondsOnStep(line));
    w.step = now;
    w.since = ticks_;
    w.told = false;
    w.mark = LineMark::None;
}

void LineWatch::judge(ProgramState& s, int line) {
    Watched& w = lines_[static_cast<std::size_t>(line)];
    w.mark = LineMark::None;
    if (!isStep(w.step) || !waits(kindAt(s.model, line, w.step))) return;
    // A line left waiting by a stopped one is the operator's doing, not a stall.
    if (!memoryNobodySets(s, line).empty()) {
        w.mark = LineMark::MemoryNobodySets;
        return;
    }
    const std::optional<double> usual = learnt(s.model, line, w.step).wait.usual();
    const double waited = secondsOnStep(line);
    if (!usual || waited < StallRule::stalledAfter(*usual)) return;
    w.mark = LineMark::Stalled;
    if (w.told) return;
    w.told = true;
    ++stallsTold_;
    s.reporter.message(lineName(line) + " wacht al " + DurationInWords(waited) + " op stap " +
                       std::to_string(w.step) + " (" + StepInWords(s, line, w.step) + "); normaal is " +
                       DurationInWords(*usual) +
                       ". Kijk of de trein daar stilstaat of ontspoord is; de lijn gaat vanzelf verder zodra "
                       "hij er is.");
}

void LineWatch::noticeDeparture(const ProgramState& s, int line) {
    if (s.cycle.Phase != 8 || !AtDeparture(s, line)) return;
    Watched& w = lines_[static_cast<std::size_t>(line)];
    if (greenBefore_[static_cast<std::size_t>(line)] == 1) {
        w.departureNote.clear();
        return;
    }
    w.departureNote = "Vertrek " + FormatClockTime(s.clock.ClockMinutes) + " gemist: niet klaar.";
}

std::optional<double> LineWatch::usual(const ProgramState& s, int line, int step) const {
    if (line < 1 || line > kLines || !isStep(step) || !waits(kindAt(s.model, line, step))) return std::nullopt;
    const Learnt& l = learnt_[static_cast<std::size_t>(line)][static_cast<std::size_t>(step)];
    if (l.kind != kindAt(s.model, line, step) || l.operand != s.model.StepOperand[line][step]) return std::nullopt;
    return l.wait.usual();
}

std::vector<LineSnapshot> LineWatch::snapshot(const ProgramState& s) const {
    std::vector<LineSnapshot> rows;
    for (int line = 1; line <= kLines; ++line) {
        if (!hasSteps(s.model, line)) continue;
        const Watched& w = lines_[static_cast<std::size_t>(line)];
        LineSnapshot row;
        row.line = line;
        row.run = runOf(s, line);
        row.state = stateInWords(s, line, row.run);
        row.step = s.model.CurrentStep[line];
        row.words = StepInWords(s, line, row.step);
        row.sinceSeconds = w.step == row.step ? secondsOnStep(line) : 0;
        row.usualSeconds = usual(s, line, row.step);
        row.mark = w.mark;
        if (w.mark == LineMark::Stalled)
            row.markWords = "Staat stil! Normaal " + DurationInWords(row.usualSeconds.value_or(0)) + ".";
        if (w.mark == LineMark::MemoryNobodySets) row.markWords = memoryNobodySets(s, line);
        row.departureNote = w.departureNote;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string StepInWords(const ProgramState& s, int line, int step) {
    if (step == 0) return "";
    if (!isStep(step)) return "voorbij de laatste stap";
    const StepKindRule& rule = stepKindRule(kindAt(s.model, line, step));
    const std::int32_t operand = s.model.StepOperand[line][step];
    const std::string n = operandWords(rule, operand, operand);
    const std::string word = std::string(rule.onGrid) + ": ";
    switch (rule.id) {
        case StepKindId::Pin: {
            const std::string name =
                operandInRange(rule, operand) ? " " + s.pins.PinName[static_cast<std::size_t>(operand)] : "";
            return word + "zet pin " + operandWords(rule, operand, std::int64_t{operand} + 1) + name;
        }
        case StepKindId::Timer:
            return word + std::to_string(std::max(0, s.model.StepCounter[line][step])) + " van " +
                   std::to_string(operand) + " s";
        case StepKindId::Sensor:
        case StepKindId::HSensor: return word + "wacht op sensor " + n;
        case StepKindId::MemRead: return word + "wacht op geheugen " + n;
        case StepKindId::MemMake: return word + "zet geheugen " + n;
        case StepKindId::Jump: return word + "naar stap " + n;
        case StepKindId::Green: return word + "klaar voor vertrek";
        case StepKindId::Unknown: return "onbekend: \"" + kindAt(s.model, line, step) + "\" blijft staan";
        case StepKindId::Empty: break;
    }
    return "lege stap";
}

std::string DurationInWords(double seconds) {
    const std::int64_t whole = std::llround(std::max(0.0, seconds));
    if (whole < 60) return std::to_string(whole) + " s";
    // Minutes and seconds, both below 60, in two digits.
    const auto two = [](std::int64_t v) { return std::string{char('0' + v / 10), char('0' + v % 10)}; };
    const std::int64_t hours = whole / 3600, minutes = whole / 60 % 60, rest = whole % 60;
    if (hours == 0) return std::to_string(minutes) + ":" + two(rest);
    return std::to_string(hours) + ":" + two(minutes) + ":" + two(rest);
}

}  // namespace blokpost

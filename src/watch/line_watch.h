#pragma once
// The line watch: what every line is doing and waiting for, and whether a
// wait has gone on far beyond what is usual for it. It learns from the rounds
// it sees how long each waiting step of each line usually lasts, and marks a
// line whose wait lasts well beyond that: a train that stopped on dirty track
// or derailed. It also notices a line waiting on a memory that no running
// line will set any more, and a departure that passed a line that was not
// ready. It only notices: nothing it finds changes the layout; the operator
// decides.
//
// The watch reads the program's tables around each tick of the cycle and
// costs the tick a few comparisons per line. Everything a view shows comes
// from snapshot(): plain texts and numbers, no widgets.

#include "state/model.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace blokpost {

struct ProgramState;

// When a wait counts as stalled. A wait is judged only once its step has been
// passed kPassesBeforeJudging times; its usual time is the median of the last
// kPassesKept passes, so one odd round (a train held by hand, a late start)
// does not move it. A wait is stalled when it lasts three times its usual time
// and at least 30 s more: a factor alone would cry over a wait of 2 s that
// takes 7, and a margin alone would never notice on a wait of ten minutes; the
// trains' own spread (a quarter either way) and a missed read of a contact
// (a second) stay well inside both.
struct StallRule {
    static constexpr int kPassesBeforeJudging = 3;
    static constexpr int kPassesKept = 9;
    static constexpr double kFactor = 3.0;
    static constexpr double kMarginSeconds = 30.0;
    // How long a wait of `usualSeconds` may last before it counts as stalled.
    static double stalledAfter(double usualSeconds);
};

// The usual time of one waiting step: the median of its last passes.
class UsualWait {
public:
    void learn(double seconds);
    // None until the step has been passed often enough to judge it.
    std::optional<double> usual() const;
    int passes() const { return count_; }

private:
    std::array<double, StallRule::kPassesKept> passes_{};
    int count_ = 0;  // passes seen, at most kPassesKept
    int next_ = 0;   // where the next pass is written
};

enum class LineRun { Stopped, Running, Resting };
enum class LineMark { None, Stalled, MemoryNobodySets };

// One line as a view shows it.
struct LineSnapshot {
    int line = 0;             // 1..8
    LineRun run = LineRun::Stopped;
    std::string state;        // "rijdt", "gestopt", "wacht op vertrek 10:13"
    int step = 0;             // 0 = stopped, 26 = past the last step
    std::string words;        // the current step: "SENSOR: wacht op sensor 14"
    double sinceSeconds = 0;  // layout time on this step
    std::optional<double> usualSeconds;  // none while the step is not judged
    LineMark mark = LineMark::None;
    std::string markWords;       // what the mark means, in words
    std::string departureNote;   // a departure that passed the line, in words
};

class LineWatch {
public:
    static constexpr int kTicksPerSecond = 8;

    // Around every tick of the cycle: before() just ahead of it, after() just
    // behind it. after() tells the operator once per stall.
    void before(const ProgramState& state);
    void after(ProgramState& state);

    // The lines that have steps, A first.
    std::vector<LineSnapshot> snapshot(const ProgramState& state) const;
    LineMark mark(int line) const { return lines_[static_cast<std::size_t>(line)].mark; }
    // Stalls told to the operator since the start.
    std::int64_t stallsTold() const { return stallsTold_; }
    // The usual time of line L's step as it stands now, if judged.
    std::optional<double> usual(const ProgramState& state, int line, int step) const;

private:
    struct Watched {
        int step = 0;
        std::int64_t since = 0;  // the tick the line came on its step
        bool told = false;       // the operator heard of this stall
        LineMark mark = LineMark::None;
        std::string departureNote;
    };
    // What a step's usual time was learnt for: changing the step forgets it.
    struct Learnt {
        std::string kind;
        std::int32_t operand = 0;
        UsualWait wait;
    };

    void follow(ProgramState& state, int line);
    void judge(ProgramState& state, int line);
    void noticeDeparture(const ProgramState& state, int line);
    Learnt& learnt(const LineProgramModel& model, int line, int step);
    double secondsOnStep(int line) const;

    std::array<Watched, kLines + 1> lines_{};
    std::array<std::array<Learnt, kSteps + 1>, kLines + 1> learnt_{};
    std::array<std::uint8_t, kLines + 1> greenBefore_{};
    std::int64_t ticks_ = 0;
    std::int64_t stallsTold_ = 0;
};

// Line L's current step in the grid's words, with the names the layout gives.
std::string StepInWords(const ProgramState& state, int line, int step);
// A duration as the window shows it: "45 s", "2:05", "1:02:05".
std::string DurationInWords(double seconds);

}  // namespace blokpost

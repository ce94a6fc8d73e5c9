#pragma once
// The demo proven hands-free: the demo installation's layout read, one
// schedule variant loaded with its timetable book, lines A..D started, and
// then the whole logic ticks without a real timer on the simulated board,
// where trains drive themselves. After every tick the run checks that
//   - no line waits on one step longer than its program and the timetable
//     allow (the bounds per step kind below);
//   - a departure restarts its line at step 1, and lines restart at their
//     departure minutes only;
//   - the stoptrein (line A) leaves Dijkstad only after the express (line C)
//     has passed it there in the same round: line A takes memory 4 only when
//     line C made it after line A's own memory 3;
// and it counts the rounds each line completes. At the end the day files of
// the logbook must hold every logbook entry, in order, each with the time
// of the computer when it was written.

#include "state/model.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace blokpost::handsfree {

inline constexpr std::int64_t kTicksPerHour = 8 * 3600;

// The longest a line may wait on one step, in seconds of layout time.
struct WaitBounds {
    // "Pin": one pin goes out per second, to one of the lines waiting for a
    // pin; with four lines a step waits a few seconds at most.
    double pin = 0;
    // "Timer" of N seconds: counted down once a second, so N + 2 at most.
    double timerBeyondCount = 0;
    // "Sensor": the train's longest travel (a quarter over the set time) and
    // two cycles for the read of the sensor's group and the step's phase.
    double sensor = 0;
    // "HSensor": as "Sensor", twice: another line waiting on the same hold
    // sensor may take the first train's event.
    double holdSensor = 0;
    // "MemRead": the handover comes once per round of the line that makes
    // it, and rounds are paced by the timetable: two departure intervals.
    double memRead = 0;
    // An empty step after "Green": the line rests until its next departure,
    // one departure interval and the minute of the departure itself.
    double rest = 0;
    // "Jump", "MemMake", "Green": done in their phase, within one cycle.
    double instant = 0;
};
WaitBounds waitBounds(int travelSeconds, int longestIntervalMinutes);
// The bound for a step of `kind` with `operand`.
double boundFor(const WaitBounds& bounds, const std::string& kind, std::int32_t operand);

struct LineFigures {
    std::int64_t rounds = 0;             // Green steps passed, or jumps back to the start
    std::int64_t departuresTaken = 0;    // restarted by the timetable
    std::int64_t departuresMissed = 0;   // not ready at its departure minute
};

struct LongestWait {
    double seconds = 0;
    std::string where;  // "line A step 3"
};

// The overtaking in Dijkstad: line A makes memory 3 (standing in Dijkstad)
// and waits for memory 4, which line C makes once it has passed.
struct Overtaking {
    int waitingLine = 1;
    int standingMemory = 3;
    int passedMemory = 4;
};
inline constexpr Overtaking kDijkstadOvertaking{};

struct VariantResult {
    int variant = 0;
    std::string book;  // "Rood" or "Blauw"
    std::int64_t ticks = 0;
    WaitBounds bounds;
    std::array<LineFigures, kLines + 1> lines{};
    std::map<std::string, LongestWait> longestWait;  // by step kind ("Leeg" for a rest)
    std::int64_t overtakingsInStep = 0;     // line A left Dijkstad after line C passed
    std::int64_t overtakingsOutOfStep = 0;  // line A left on a memory 4 of an earlier round
    std::int64_t logEntries = 0;
    std::int64_t dayFiles = 0;
    std::vector<std::string> messages;  // what the operator would have been told
    std::int64_t markedTicks = 0;       // ticks on which the line watch marked any line
    // The first stall the line watch told: where, after how long, against what usual wait.
    struct Stall {
        int line = 0, step = 0;
        double waited = 0, usual = 0;
    } firstStall;
    std::string breach;                 // the first check that failed; empty when all held
};

// "Normale dienst" .. "Winterdienst" for variant 1..4.
const char* variantName(int variant);

// How the operator starts the day.
struct HandStart {
    // Lines A..D are started at once, at 8:06 on the layout clock (just after
    // the books' departures), or, when 0 or more, this many seconds before the
    // stoptrein's first departure.
    int secondsBeforeDeparture = -1;
    int travelSeconds = 8;
    // A contact that no train closes any more from this tick on (dirty
    // track): the run then stops at the watch's first stall, and the bounds
    // per step are not checked.
    int deadSensor = 0;
    std::int64_t deadFromTick = 0;
};

// Runs `ticks` ticks (8 a second) of schedule variant 1..4, the trains'
// variation drawn from `seed`.
VariantResult runVariant(int variant, std::int64_t ticks, std::uint32_t seed, HandStart start = {});

}  // namespace blokpost::handsfree

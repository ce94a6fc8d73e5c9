#include "watch/line_watch.h"

#include "lines/line_program_support.h"
#include "support/test_program.h"

#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

// The watch around ticks that change nothing but what the test sets: a line
// waits on its step for `seconds`, then the test moves it on.
struct Watched {
    TestProgram p;
    LineWatch watch;
    ProgramState& s = p.state;

    void pass(double seconds) {
        for (int t = 0; t < static_cast<int>(seconds * LineWatch::kTicksPerSecond); ++t) {
            watch.before(s);
            watch.after(s);
        }
    }
    void moveTo(int line, std::initializer_list<int> steps) {
        for (int step : steps) {
            s.model.CurrentStep[line] = static_cast<std::uint8_t>(step);
            pass(0.125);
        }
    }
    // Line A waits `seconds` on its Sensor step 2 and moves on; then stands on step 1 again.
    void round(double seconds) {
        moveTo(1, {2});
        pass(seconds - 0.125);
        moveTo(1, {3, 1});
    }
    Watched() {
        setStep(s, 1, 1, kind::Pin, 4);
        setStep(s, 1, 2, kind::Sensor, 14);
        setStep(s, 1, 3, kind::Green);
        moveTo(1, {1});
    }
};

TEST(LineWatch, UsualTimeIsTheMedianOfTheLastPassesOnceThereAreAFew) {
    const struct {
        std::vector<double> passes;
        std::optional<double> usual;
    } cases[] = {
        {{}, std::nullopt},
        {{8, 9}, std::nullopt},  // not seen often enough: not judged
        {{8, 300, 9}, 9},                               // one odd round does not move it
        {{8, 9, 10, 11}, 9.5},
        {{500, 8, 8, 8, 8, 500, 500, 500, 500, 8}, 8},  // only the last nine count
    };
    for (const auto& c : cases) {
        UsualWait wait;
        for (double seconds : c.passes) wait.learn(seconds);
        EXPECT_EQ(wait.usual(), c.usual) << c.passes.size() << " passes";
    }
}

TEST(LineWatch, AStallIsMarkedAtThreeTimesItsUsualAndAtLeastThirtySecondsMoreToldOnceAndClearedWhenTheLineMovesOn) {
    const struct {
        double usual, stalledAfter;
        const char* told;
    } cases[] = {
        // Below 15 s the margin counts, above it the factor.
        {8, 38, "Lijn A wacht al 38 s op stap 2 (SENSOR: wacht op sensor 14); normaal is 8 s."},
        {20, 60, "Lijn A wacht al 1:00 op stap 2 (SENSOR: wacht op sensor 14); normaal is 20 s."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.usual);
        Watched w;
        for (int i = 0; i < 2; ++i) w.round(c.usual);
        w.s.model.CurrentStep[1] = 0;  // a stop and a start in the middle teach nothing
        w.moveTo(1, {2, 0, 1, 2});
        w.pass(100);
        EXPECT_EQ(w.watch.mark(1), LineMark::None) << "two passes are not enough to judge";
        w.moveTo(1, {3, 1});  // a third, odd pass does not move the usual time
        ASSERT_EQ(w.watch.usual(w.s, 1, 2), c.usual);

        w.moveTo(1, {2});
        w.pass(c.stalledAfter - 0.125);
        EXPECT_EQ(w.watch.mark(1), LineMark::None);
        w.pass(0.125);
        EXPECT_EQ(w.watch.mark(1), LineMark::Stalled);
        w.pass(600);
        ASSERT_EQ(w.p.reporter.messages.size(), 1u);
        EXPECT_EQ(w.p.reporter.messages[0], std::string(c.told) + " Kijk of de trein daar stilstaat of ontspoord is; "
                                                                  "de lijn gaat vanzelf verder zodra hij er is.");
        EXPECT_EQ(w.watch.snapshot(w.s)[0].markWords, "Staat stil! Normaal " + DurationInWords(c.usual) + ".");
        w.moveTo(1, {3});
        EXPECT_EQ(w.watch.mark(1), LineMark::None);
        EXPECT_EQ(w.watch.snapshot(w.s)[0].markWords, "");
        w.moveTo(1, {1, 2});
        w.pass(3600);
        EXPECT_EQ(w.p.reporter.messages.size(), 2u) << "the next stall is told again";
    }
    Watched w;
    for (int i = 0; i < 3; ++i) w.round(8);
    setStep(w.s, 1, 2, kind::Sensor, 15);  // an edited step is learnt anew
    EXPECT_EQ(w.watch.usual(w.s, 1, 2), std::nullopt);
}

TEST(LineWatch, ALineWaitingOnAMemoryThatNoRunningLineWillSetIsNoticed) {
    const struct {
        const char* what;
        int setterStep;
        std::uint8_t setterGreen, memory, departureInterval;
        bool setterHasStep;
        const char* words;
    } cases[] = {
        {"setter running", 1, 0, 0, 0, true, ""},
        {"setter stopped", 0, 0, 0, 0, true, "Niemand zet geheugen 3 nog (A gestopt)."},
        {"setter ready for its departure", 0, 1, 0, 10, true, ""},
        {"setter ready, no departure", 0, 1, 0, 0, true, "Niemand zet geheugen 3 nog (A gestopt)."},
        {"memory already set", 0, 0, 1, 0, true, ""},
        {"nobody sets it", 1, 0, 0, 0, false, "Geen lijn zet geheugen 3."},
    };
    for (const auto& c : cases) {
        Watched w;
        setStep(w.s, 1, 4, kind::MemMake, c.setterHasStep ? 3 : 5);
        setStep(w.s, 2, 1, kind::MemRead, 3);
        setStep(w.s, 2, 4, kind::MemMake, 3);  // the waiting line cannot set it while it waits
        w.s.model.GreenFlag[1] = c.setterGreen;
        w.s.model.MemoryFlag[3] = c.memory;
        w.s.timetable.DepartureInterval[1] = c.departureInterval;
        w.s.timetable.DepartureMinute[1] = w.s.clock.ClockMinutes + 5;
        w.moveTo(1, {c.setterStep});
        w.moveTo(2, {1});
        EXPECT_EQ(w.watch.snapshot(w.s)[1].markWords, c.words) << c.what;
        EXPECT_EQ(w.watch.mark(2), *c.words ? LineMark::MemoryNobodySets : LineMark::None) << c.what;
    }
}

// Judged by the green flag ahead of the departure's tick: the departure
// itself takes the flag down. Only phase 8 departs.
TEST(LineWatch, ADepartureThatPassesALineNotReadyIsSaidInWords) {
    const struct {
        std::uint8_t greenBefore, greenAfter;
        int phase;
        const char* note;
    } cases[] = {{1, 0, 8, ""}, {0, 0, 8, "Vertrek 12:00 gemist: niet klaar."}, {0, 0, 1, ""}};
    for (const auto& c : cases) {
        Watched w;
        w.s.timetable.DepartureInterval[1] = 10;
        w.s.timetable.DepartureMinute[1] = w.s.clock.ClockMinutes;
        w.s.clock.ClockSeconds = 4;
        w.s.cycle.Phase = c.phase;
        w.s.model.GreenFlag[1] = c.greenBefore;
        w.watch.before(w.s);
        w.s.model.GreenFlag[1] = c.greenAfter;
        w.watch.after(w.s);
        EXPECT_EQ(w.watch.snapshot(w.s)[0].departureNote, c.note) << int(c.greenBefore) << " " << c.phase;
    }
}

TEST(LineWatch, EachStepIsSaidInTheGridsWordsWithTheLayoutsNames) {
    Watched w;
    w.s.pins.PinName[4] = "Wis3A";
    const struct {
        const char* k;
        std::int32_t operand;
        const char* words;
    } cases[] = {
        {kind::Pin, 4, "PIN: zet pin 5 Wis3A"},
        {kind::Sensor, 21, "SENSOR: wacht op sensor 21 (bestaat niet)"},
        {kind::HSensor, 7, "HOLD: wacht op sensor 7"},
        {kind::MemRead, 3, "MEM ?: wacht op geheugen 3"},
        {kind::Timer, 20, "TIMER: 12 van 20 s"},
        {kind::Leeg, 0, "lege stap"},
    };
    for (const auto& c : cases) {
        setStep(w.s, 1, 5, c.k, c.operand);
        w.s.model.StepCounter[1][5] = 12;
        EXPECT_EQ(StepInWords(w.s, 1, 5), c.words);
    }
}

}  // namespace
}  // namespace blokpost::test

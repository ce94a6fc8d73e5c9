#include "lines/model_clock.h"

#include "lines/step_marker.h"
#include "schedule/rijschema.h"

#include "line_program_support.h"
#include "support/test_program.h"

#include <QFile>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace blokpost::test {
namespace {

constexpr Colour kBoardBackground = 0x204060;
constexpr Colour kFaceBackground = 0xE0E0E0;

// One second of the model clock is one cycle of eight ticks.
void runSeconds(TestProgram& p, int seconds) { p.ticks(8 * seconds); }

void writeBoardPicture(const TestProgram& p) { p.writePicture("VasteData/Bord.bmp", 332, 143, kBoardBackground); }

void departEvery(ProgramState& s, int line, std::int32_t minute, std::int32_t interval) {
    s.timetable.DepartureMinute[line] = minute;
    s.timetable.DepartureInterval[line] = interval;
}

TEST(ModelClock, PassesMidnightWithoutWrappingAndDepartsThere) {
    TestProgram p(1439);
    ProgramState& s = p.state;
    departEvery(s, 1, 1440, 60);
    runSeconds(p, 59);
    EXPECT_EQ(s.clock.ClockMinutes, 1439);
    EXPECT_EQ(s.clock.ClockSeconds, 59);
    runSeconds(p, 1);
    EXPECT_EQ(s.clock.ClockMinutes, 1440);
    EXPECT_EQ(s.clock.ClockSeconds, 0);
    runSeconds(p, 4);
    EXPECT_EQ(s.model.CurrentStep[1], 1);
    runSeconds(p, 26);
    EXPECT_EQ(s.timetable.DepartureMinute[1], 1500);
}

TEST(ModelClock, FormatsHoursWithoutWrappingAndMinutesInTwoDigits) {
    const std::pair<std::int32_t, const char*> times[] = {
        {0, "0:00"},     {9, "0:09"},     {10, "0:10"},   {605, "10:05"},
        {1440, "24:00"}, {1500, "25:00"}, {-65, "-1:05"}, {std::numeric_limits<std::int32_t>::min(), "-35791394:08"}};
    for (const auto& [minutes, text] : times) EXPECT_EQ(FormatClockTime(minutes), text) << minutes;
}

// Line C leaves at 10:00 every half hour, standing on step 12.
TEST(Departures, LineCIsRestartedAtSecondFourOnlyWhenReadyAndItsBoardRenewedEitherWay) {
    for (const std::uint8_t ready : {1, 0}) {
        SCOPED_TRACE(ready ? "ready" : "not ready");
        TestProgram p(600);
        ProgramState& s = p.state;
        writeBoardPicture(p);
        departEvery(s, 3, 600, 30);
        s.model.GreenFlag[3] = ready;
        placeLineAt(s, 3, 12);
        const Canvas& board = s.screen.display.board[3];

        runSeconds(p, 3);
        EXPECT_EQ(s.model.CurrentStep[3], 12);
        runSeconds(p, 1);
        EXPECT_EQ(s.model.CurrentStep[3], ready ? 1 : 12);
        EXPECT_EQ(marked(s, 3, 1), ready == 1);
        EXPECT_EQ(marked(s, 3, 12), ready == 0);
        EXPECT_EQ(s.screen.main.lineCaption[3], ready ? "Stop-C" : "Start Lijn C");
        EXPECT_EQ(s.screen.rijschema.indicator[31], ready ? kRed : kWhite);
        EXPECT_EQ(s.model.GreenFlag[3], 0);
        EXPECT_TRUE(s.screen.display.logLines.empty());

        runSeconds(p, 4);
        EXPECT_NE(board.pixel(2, 2), kBoardBackground);
        runSeconds(p, 1);
        EXPECT_EQ(board.pixel(2, 2), kBoardBackground);
        runSeconds(p, 11);
        EXPECT_TRUE(showsText(board, 15, 16, "10:30", 18));
        runSeconds(p, 9);
        EXPECT_EQ(s.timetable.DepartureMinute[3], 600);
        runSeconds(p, 1);
        EXPECT_EQ(s.timetable.DepartureMinute[3], 630);
    }
}

// The timetable restarts only a line that is ready. A line never touched by
// hand is ready from the start; a start by hand begins a round that the
// timetable must not cut short, and a stop keeps the line stopped, until the
// line passes its Green step or the operator clicks its green indicator.
TEST(Departures, HandStartsAndStopsKeepTheTimetableOffTheLineUntilItIsReady) {
    struct Case {
        const char* name;
        std::vector<std::function<void(ProgramState&)>> byHand;
        int stepAfterDepartures;
    };
    const auto toggle = [](ProgramState& s) { ToggleLine(s, 3); };
    const auto midRound = [](ProgramState& s) { placeLineAt(s, 3, 12); };
    const auto greenClicked = [](ProgramState& s) { MaakGreen(s, 3); };
    const Case cases[] = {
        {"never started by hand", {}, 1},
        {"started by hand, mid-round at the departure", {toggle, midRound}, 12},
        {"stopped by hand", {toggle, toggle}, 0},
        {"ready mid-round, then stopped by hand", {midRound, toggle}, 0},
        {"stopped, then handed back by its green indicator", {toggle, toggle, greenClicked}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestProgram p(600);
        ProgramState& s = p.state;
        departEvery(s, 3, 601, 1);
        for (const auto& action : c.byHand) action(s);
        runSeconds(p, 3 * 60);  // departures at 10:01, 10:02 and 10:03
        EXPECT_EQ(s.model.CurrentStep[3], c.stepAfterDepartures);
    }
}

TEST(Departures, EachLineRenewsItsBoardAtItsOwnSeconds) {
    TestProgram p(600);
    ProgramState& s = p.state;
    writeBoardPicture(p);
    for (int line = 1; line <= kLines; ++line) departEvery(s, line, 600, 10);
    const int reload[kLines + 1] = {0, 8, 8, 9, 9, 7, 7, 9, 8};
    const int text[kLines + 1] = {0, 18, 16, 20, 19, 17, 17, 19, 19};
    for (int second = 1; second <= 31; ++second) {
        std::array<std::uint64_t, kLines + 1> before{};
        for (int line = 1; line <= kLines; ++line) before[line] = s.screen.display.board[line].revision();
        RunDepartures(s);
        for (int line = 1; line <= kLines; ++line) {
            const bool drawn = s.screen.display.board[line].revision() != before[line];
            EXPECT_EQ(drawn, second == reload[line] || second == text[line]) << "line " << line << " second " << second;
        }
    }
    for (int line = 1; line <= kLines; ++line) {
        EXPECT_TRUE(showsText(s.screen.display.board[line], 15, 16, "10:10", 18)) << "line " << line;
        EXPECT_EQ(s.timetable.DepartureMinute[line], 610);
    }
}

TEST(Departures, ALineWithoutIntervalOrWithAPastMinuteNeverDeparts) {
    TestProgram p(600);
    ProgramState& s = p.state;
    writeBoardPicture(p);
    departEvery(s, 1, 600, 0);
    departEvery(s, 2, 599, 5);
    const std::uint64_t board1 = s.screen.display.board[1].revision(), board2 = s.screen.display.board[2].revision();
    runSeconds(p, 120);
    EXPECT_EQ(s.model.CurrentStep[1], 0);
    EXPECT_EQ(s.model.CurrentStep[2], 0);
    EXPECT_EQ(s.timetable.DepartureMinute[1], 600);
    EXPECT_EQ(s.timetable.DepartureMinute[2], 599);
    EXPECT_EQ(s.screen.display.board[1].revision(), board1);
    EXPECT_EQ(s.screen.display.board[2].revision(), board2);
}

TEST(Departures, AMissingBoardPictureIsReportedOnceAndTheTimetableGoesOn) {
    TestProgram p(600);
    ProgramState& s = p.state;
    for (int line = 1; line <= 4; ++line) departEvery(s, line, 600, 1);
    // A line that is not in the timetable finishes its "Green" step in the failing tick.
    setStep(s, 5, 1, kind::Green);
    s.model.GreenFlag[5] = 0;
    runSeconds(p, 7);
    placeLineAt(s, 5, 1);
    runSeconds(p, 1);  // second 8: lines A and B fail to reload
    EXPECT_EQ(s.model.GreenFlag[5], 1);
    EXPECT_EQ(s.model.CurrentStep[5], 2);

    runSeconds(p, 2 * 60 + 30);  // to 10:02:38
    ASSERT_EQ(p.reporter.messages.size(), 1u);
    EXPECT_EQ(p.reporter.messages[0], "kan plaatje Bord.bmp niet vinden");
    for (int line = 1; line <= 4; ++line) {
        EXPECT_EQ(s.model.CurrentStep[line], 1);
        EXPECT_EQ(s.timetable.DepartureMinute[line], 603);
        EXPECT_TRUE(showsText(s.screen.display.board[line], 15, 16, "10:03", 18)) << "line " << line;
    }

    // Once the picture is back it is used; when it goes again, that is said again.
    writeBoardPicture(p);
    runSeconds(p, 60);
    EXPECT_EQ(s.screen.display.board[1].pixel(2, 2), kBoardBackground);
    ASSERT_TRUE(QFile::remove(p.folder.filePath("VasteData/Bord.bmp")));
    runSeconds(p, 60);
    EXPECT_EQ(p.reporter.messages.size(), 2u);
}

// In phase 8 the departures come before the Green steps: a line that only
// reaches its Green step in the departure second is not ready yet.
TEST(Departures, ALineOnItsGreenStepAtSecondFourWithItsFlagOffMissesTheDeparture) {
    TestProgram p(600);
    ProgramState& s = p.state;
    departEvery(s, 2, 600, 15);
    setStep(s, 2, 6, kind::Green);
    s.model.GreenFlag[2] = 0;
    runSeconds(p, 3);
    placeLineAt(s, 2, 6);
    runSeconds(p, 1);
    EXPECT_EQ(s.model.CurrentStep[2], 7);
    EXPECT_EQ(s.model.GreenFlag[2], 1);  // ready, for the next departure
    EXPECT_FALSE(marked(s, 2, 1));
}

TEST(BoardText, ShowsTimeDestinationPlatformViaAndTrainAtTheirPlaces) {
    TestProgram p;
    ProgramState& s = p.state;
    TimetableTables& t = s.timetable;
    t.BoardDestination[6] = "Zwolle";
    t.BoardPlatform[6] = 4;
    t.BoardVia[6] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabc";  // longer than a file gives
    t.BoardTrain[6] = "IC 1234";
    DrawBoardText(s, 6, 605);
    const Canvas& board = s.screen.display.board[6];
    EXPECT_TRUE(showsText(board, 15, 16, "10:05", 18));
    EXPECT_TRUE(showsText(board, 15, 50, "Zwolle", 18));
    EXPECT_TRUE(showsText(board, 277, 32, "4", 18));
    EXPECT_TRUE(showsText(board, 15, 86, "via ABCDEFGHIJKLMNOPQRSTUVWXY", 12));
    EXPECT_TRUE(showsText(board, 120, 16, "IC 1234", 12));
}

class ClockFace : public ::testing::Test {
protected:
    void SetUp() override { p.writePicture("VasteData/klok.bmp", 121, 122, kFaceBackground); }

    const Canvas& faceAt(std::int32_t minutes, int seconds) {
        DrawClockFace(p.state, minutes, seconds);
        return p.state.screen.display.clock;
    }

    TestProgram p;
};

// Single pixels that tell each hand's place at a few times.
TEST_F(ClockFace, TheHandsStandWhereTheTimeSays) {
    const struct {
        std::int32_t minutes;
        int seconds, x, y;
        std::uint32_t colour;
        const char* what;
    } pixels[] = {
        {180, 0, 90, 60, kBlack, "three o'clock: the hour hand towards three"},
        {180, 0, 60, 40, kRed, "the second hand over the minute hand"},
        {180, 0, 60, 24, kWhite, "the circle on the second hand"},
        {180, 0, 60, 60, kWhite, "the hub"},
        {180, 0, 30, 60, kFaceBackground, "nothing towards nine"},
        {180, 0, 60, 100, kFaceBackground, "nor towards six"},
        {9 * 60 + 30, 15, 60, 100, kBlack, "half past nine: the minute hand down"},
        {9 * 60 + 30, 15, 100, 61, kRed, "the second hand near three"},
        {9 * 60 + 30, 15, 60, 24, kFaceBackground, "no hand up"},
        {9 * 60 + 30, 15, 35, 53, kBlack, "the hour hand halfway between nine and ten"},
        // At minute 10 the minute hand ends 41.57 pixels right of the centre: cut, it stops at 101.
        {10, 30, 101, 36, kBlack, "the minute hand cut toward the centre"},
        {10, 30, 102, 36, kFaceBackground, "and not rounded"},
    };
    for (const auto& c : pixels) EXPECT_EQ(faceAt(c.minutes, c.seconds).pixel(c.x, c.y), c.colour) << c.what;
}

// The face drawn again from the geometry of the hands: the hour hand 35
// long and rounded, pen 4; the minute hand 48 long and cut toward the centre,
// pen 3; the red second hand 50 long, pen 2, with its circle 36 out; the hub.
TEST_F(ClockFace, EveryHandHasItsLengthWidthAndRoundingAtAnyTime) {
    Canvas background;
    ASSERT_TRUE(background.load(p.state.paths.find("VasteData/klok.bmp")));
    auto nearest = [](double x) { return static_cast<int>(std::nearbyint(x)); };
    auto cut = [](double x) { return static_cast<int>(std::trunc(x)); };
    constexpr double kPi = 3.14159265358979323846;
    for (std::int32_t minutes = 0; minutes < 24 * 60; minutes += 13) {
        const int seconds = minutes % 60;
        Canvas expected = background;
        const double a = (minutes / 60.0 / 12.0) * 2 * kPi + kPi / 2;
        const double b = (minutes / 60.0) * 2 * kPi + kPi / 2;
        const double d = (seconds / 59.0) * 2 * kPi + kPi / 2;
        const double c = seconds > 0 ? d : kPi / 2;
        expected.setPen(kBlack, 4);
        expected.line(60, 60, 60 - nearest(35 * std::cos(a)), 60 - nearest(35 * std::sin(a)));
        expected.setPen(kBlack, 3);
        expected.line(60, 60, 60 - cut(48 * std::cos(b)), 60 - cut(48 * std::sin(b)));
        expected.setPen(kRed, 2);
        expected.line(60, 60, 60 - nearest(50 * std::cos(c)), 60 - nearest(50 * std::sin(c)));
        const int dx = nearest(36 * std::cos(d)), dy = nearest(36 * std::sin(d));
        expected.ellipse(55 - dx, 55 - dy, 65 - dx, 65 - dy);
        expected.setBrush(kWhite);
        expected.ellipse(56, 56, 64, 64);
        ASSERT_EQ(faceAt(minutes, seconds).image(), expected.image()) << minutes << " min " << seconds << " s";
    }
}

TEST_F(ClockFace, SecondFiftyNineLooksLikeSecondZero) {
    const QImage atZero = faceAt(725, 0).image();
    EXPECT_EQ(faceAt(725, 59).image(), atZero);
    EXPECT_NE(faceAt(725, 30).image(), atZero);
}

TEST_F(ClockFace, IsDrawnEverySecondOnlyWhileItsWindowIsShown) {
    ProgramState& s = p.state;
    const std::uint64_t hidden = s.screen.display.clock.revision();
    p.ticks(8);
    EXPECT_EQ(s.screen.display.clock.revision(), hidden);
    s.screen.display.clockShown = true;
    p.ticks(8 * 15);  // second 15: the second hand near three
    EXPECT_EQ(s.screen.display.clock.pixel(100, 61), kRed);
    p.ticks(8);  // redrawn from the picture: the old hand is gone
    EXPECT_NE(s.screen.display.clock.pixel(100, 61), kRed);
}

TEST_F(ClockFace, AMissingPictureLeavesTheHandsOnTheOldFace) {
    ASSERT_TRUE(QFile::remove(p.folder.filePath("VasteData/klok.bmp")));
    const Canvas& face = faceAt(180, 0);
    EXPECT_EQ(face.pixel(90, 60), kBlack);
    EXPECT_EQ(face.pixel(30, 60), kWhite);  // the designed face
    EXPECT_TRUE(p.reporter.messages.empty());
}

}  // namespace
}  // namespace blokpost::test

#include "lines/model_clock.h"

#include "lines/flag_indicators.h"
#include "lines/step_marker.h"
#include "state/program_state.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace blokpost {

namespace {

// Seconds within the departure minute at which each line's board is renewed.
struct BoardSeconds {
    int reload;
    int text;
};
constexpr std::array<BoardSeconds, kLines + 1> kBoardSeconds{{
    {0, 0}, {8, 18}, {8, 16}, {9, 20}, {9, 19}, {7, 17}, {7, 17}, {9, 19}, {8, 19},
}};
constexpr int kNextDepartureSecond = 30;

constexpr const char* kBoardPicture = "VasteData/Bord.bmp";
constexpr const char* kClockPicture = "VasteData/klok.bmp";
constexpr std::size_t kViaTextLength = 29;

// Minutes that hand-edited timetables may push past the clock's range stay at its end.
std::int32_t addMinutes(std::int32_t minute, std::int32_t interval) {
    const std::int64_t sum = std::int64_t{minute} + interval;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, std::numeric_limits<std::int32_t>::min(),
                                                               std::numeric_limits<std::int32_t>::max()));
}

void advanceClock(ModelClock& clock) {
    if (++clock.ClockSeconds > 59) {
        clock.ClockSeconds = 0;
        ++clock.ClockMinutes;
    }
}

// The line goes back to step 1 from wherever it is, and is no longer ready.
void restartLine(ProgramState& s, int line) {
    MoveStepMarker(s, line, s.model.CurrentStep[line], 1);
    s.model.CurrentStep[line] = 1;
    s.screen.main.lineCaption[line] = startedCaption(line);
    s.model.GreenFlag[line] = 0;
    ShowFlag(s, FlagFamily::Green, line);
}

// A missing board picture is said once; the boards are drawn on their old
// pictures until it can be read again, so the departures themselves go on.
void reloadBoardPicture(ProgramState& s, int line) {
    if (s.screen.display.board[line].load(s.paths.find(kBoardPicture))) {
        s.BoardPictureMissingReported = false;
    } else if (!s.BoardPictureMissingReported) {
        s.BoardPictureMissingReported = true;
        s.reporter.message("kan plaatje Bord.bmp niet vinden");
    }
}

void runDeparture(ProgramState& s, int line) {
    TimetableTables& t = s.timetable;
    const int second = s.clock.ClockSeconds;
    if (second == kDepartureSecond && s.model.GreenFlag[line] == 1) restartLine(s, line);
    if (second == kBoardSeconds[line].reload) reloadBoardPicture(s, line);
    // The board shows the departure after this one.
    if (second == kBoardSeconds[line].text)
        DrawBoardText(s, line, addMinutes(t.DepartureMinute[line], t.DepartureInterval[line]));
    if (second == kNextDepartureSecond)
        t.DepartureMinute[line] = addMinutes(t.DepartureMinute[line], t.DepartureInterval[line]);
}

// A hand from the clock's centre (60, 60); at angle pi/2 it points straight up.
template <class Round>
void drawHand(Canvas& face, double length, double angle, Round round) {
    constexpr int kCentre = 60;
    face.line(kCentre, kCentre, kCentre - round(length * std::cos(angle)), kCentre - round(length * std::sin(angle)));
}

int truncated(double x) { return static_cast<int>(std::trunc(x)); }

}  // namespace

void RunDepartures(ProgramState& s) {
    advanceClock(s.clock);
    if (s.screen.display.clockShown) DrawClockFace(s, s.clock.ClockMinutes, s.clock.ClockSeconds);
    for (int line = 1; line <= kLines; ++line) {
        // Compared for equality only: a departure minute already past never fires.
        if (s.timetable.DepartureMinute[line] == s.clock.ClockMinutes && s.timetable.DepartureInterval[line] > 0)
            runDeparture(s, line);
    }
}

bool AtDeparture(const ProgramState& s, int line) {
    return s.timetable.DepartureInterval[line] > 0 && s.timetable.DepartureMinute[line] == s.clock.ClockMinutes &&
           s.clock.ClockSeconds == kDepartureSecond;
}

std::optional<std::int32_t> NextDepartureMinute(const ProgramState& s, int line) {
    const TimetableTables& t = s.timetable;
    if (t.DepartureInterval[line] <= 0 || t.DepartureMinute[line] < s.clock.ClockMinutes) return std::nullopt;
    // Until second 30 the minute of the departure just gone still stands in the table.
    if (t.DepartureMinute[line] == s.clock.ClockMinutes && s.clock.ClockSeconds >= kDepartureSecond)
        return addMinutes(t.DepartureMinute[line], t.DepartureInterval[line]);
    return t.DepartureMinute[line];
}

std::string FormatClockTime(std::int32_t minutes) {
    // Only hand-edited timetables bring times before midnight; they keep their sign.
    const std::int64_t m = minutes, size = m < 0 ? -m : m;
    const std::int64_t hours = size / 60, rest = size % 60;
    std::string text = m < 0 ? "-" : "";
    text += std::to_string(hours);
    text += rest > 9 ? ":" : ":0";
    text += std::to_string(rest);
    return text;
}

void DrawBoardText(ProgramState& s, int line, std::int32_t time) {
    if (line < 1 || line > kLines) return;
    Canvas& board = s.screen.display.board[line];
    const TimetableTables& t = s.timetable;
    // Face and colour are the board picture's own; only the sizes are set here.
    board.setFontSize(18);
    board.text(15, 16, FormatClockTime(time));
    board.text(15, 50, t.BoardDestination[line]);
    board.text(277, 32, std::to_string(t.BoardPlatform[line]));
    board.setFontSize(12);
    board.text(15, 86, ("via " + t.BoardVia[line]).substr(0, kViaTextLength));
    board.text(120, 16, t.BoardTrain[line]);
}

void DrawClockFace(ProgramState& s, std::int32_t minutes, int seconds) {
    Canvas& face = s.screen.display.clock;
    // Without its picture the hands go over what the face shows already.
    face.load(s.paths.find(kClockPicture));
    constexpr double kQuarter = std::numbers::pi / 2, kTurn = 2 * std::numbers::pi;
    const double hourAngle = (minutes / 60.0 / 12.0) * kTurn + kQuarter;
    const double minuteAngle = (minutes / 60.0) * kTurn + kQuarter;
    // The second hand divides by 59: it stands straight up at second 59 as at second 0.
    const double secondAngle = (seconds / 59.0) * kTurn + kQuarter;

    face.setPen(kBlack, 4);
    drawHand(face, 35, hourAngle, roundHalfEven);
    face.setPenWidth(3);
    drawHand(face, 48, minuteAngle, truncated);
    face.setPen(kRed, 2);
    drawHand(face, 50, seconds > 0 ? secondAngle : kQuarter, roundHalfEven);

    const int dx = roundHalfEven(36 * std::cos(secondAngle)), dy = roundHalfEven(36 * std::sin(secondAngle));
    face.ellipse(55 - dx, 55 - dy, 65 - dx, 65 - dy);
    face.setBrush(kWhite);
    face.ellipse(56, 56, 64, 64);
}

}  // namespace blokpost

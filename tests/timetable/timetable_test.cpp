#include "timetable/timetable.h"

#include "base/text_file.h"
#include "lines/model_clock.h"
#include "state/program_state.h"
#include "support/test_program.h"

#include <QFileInfo>
#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr int at(int hours, int minutes) { return hours * 60 + minutes; }
constexpr Colour kBackground = 0x123456;

// A program with the board background installed, so publishing can draw.
struct Timetable : TestProgram {
    explicit Timetable(int minutesOfDay) : TestProgram(minutesOfDay) {
        writePicture("VasteData/Bord.bmp", 332, 143, kBackground);
    }
    TimetableRow& row(int r) { return state.timetableEditor.row[r]; }
    void serve(int r, int freq, int plusMin) { row(r).Freq = freq, row(r).PlusMin = plusMin; }
    const std::vector<std::string>& list() const { return state.timetableEditor.list; }
    bool boardDrawn(int r) const { return state.screen.display.board[r].pixel(330, 141) == kBackground; }
    void press(void (*handler)(ProgramState&)) { guarded(state, [&] { handler(state); }); }
};

// Six lines per row: destination, via, train, platform, interval, minute past the hour.
std::string bookRow(const std::string& destination, const std::string& via, const std::string& train,
                    const std::string& platform, const std::string& interval, const std::string& offset) {
    std::string out;
    for (const std::string* line : {&destination, &via, &train, &platform, &interval, &offset}) out += *line + "\r\n";
    return out;
}

TEST(MakeFinal, SnapsEveryIntervalToADivisorOfTheHourAndShowsItInTheRow) {
    const int expected[31] = {0,  1,  2,  3,  4,  5,  6,  10, 10, 10, 10, 12, 12, 15, 15, 15,
                              20, 20, 20, 20, 20, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30};
    for (int freq = 0; freq <= 30; ++freq) EXPECT_EQ(SnapInterval(freq), expected[freq]) << freq;

    Timetable p(at(13, 47));
    p.row(1).Freq = 8;
    p.row(2).Freq = 25;
    p.row(3).Freq = 6;
    MaakLijnen(p.state);
    EXPECT_EQ(p.row(1).Freq, 10);
    EXPECT_EQ(p.row(2).Freq, 30);
    EXPECT_EQ(p.row(3).Freq, 6);
    EXPECT_EQ(p.state.timetable.DepartureInterval[1], 10);
    EXPECT_EQ(p.state.timetable.DepartureInterval[2], 30);
    EXPECT_TRUE(p.state.timetableEditor.saveEnabled);
}

TEST(MakeFinal, TakesTheTextsOverCutToTheirSlots) {
    Timetable p(at(10, 0));
    p.row(4).Naar = "Amsterdam Centraal";
    p.row(4).Via = "Utrecht, Hilversum en Amersfoort";
    p.row(4).Type = "Intercity direct";
    p.row(4).Perron = 7;
    MaakLijnen(p.state);
    const TimetableTables& t = p.state.timetable;
    EXPECT_EQ(t.BoardDestination[4], "Amsterdam Centr");
    EXPECT_EQ(t.BoardVia[4], "Utrecht, Hilversum en Ame");
    EXPECT_EQ(t.BoardTrain[4], "Intercity ");
    EXPECT_EQ(t.BoardPlatform[4], 7);
    EXPECT_EQ(t.BoardDestination[5], "Plaats");
    EXPECT_EQ(t.BoardPlatform[5], 5);
}

// Each time the list is made anew from the row's first departure; rows out of service are not listed.
TEST(MakeFinal, NextDepartureLiesStrictlyAfterTheCurrentMinute) {
    const std::pair<int, int> nowAndFirst[] = {{at(13, 47), at(13, 50)}, {at(13, 50), at(14, 5)}};
    for (const auto& [now, first] : nowAndFirst) {
        Timetable p(now);
        p.serve(3, 15, 5);
        MaakLijnen(p.state);
        EXPECT_EQ(p.state.timetable.DepartureMinute[3], first) << FormatClockTime(now);
        std::vector<std::string> expected;
        for (int m = first; m < now + 60; m += 15) expected.push_back(FormatClockTime(m) + " Spoor 3  Plaats via Edit1");
        EXPECT_THAT(p.list(), ElementsAreArray(expected)) << FormatClockTime(now);
    }
}

TEST(MakeFinal, DrawsTheBoardsOfRowsInServiceOnly) {
    Timetable p(at(13, 47));
    p.serve(3, 15, 5);
    MaakLijnen(p.state);
    EXPECT_TRUE(p.boardDrawn(3));
    EXPECT_FALSE(p.boardDrawn(1));
    EXPECT_EQ(p.state.timetable.DepartureMinute[1], at(13, 0));  // unadvanced

    // The board is the background with the same texts the scheduler draws.
    Timetable expected(at(13, 47));
    expected.state.timetable = p.state.timetable;
    ASSERT_TRUE(expected.state.screen.display.board[3].load(expected.state.paths.find("VasteData/Bord.bmp")));
    DrawBoardText(expected.state, 3, at(13, 50));
    EXPECT_EQ(p.state.screen.display.board[3].image(), expected.state.screen.display.board[3].image());
}

TEST(MakeFinal, MissingBoardBackgroundStopsAtThatRow) {
    TestProgram p(at(13, 47));
    for (int r = 1; r <= kLines; ++r) p.state.timetableEditor.row[r].Freq = 10;
    guarded(p.state, [&] { MaakLijnen(p.state); });
    ASSERT_EQ(p.reporter.messages.size(), 1u);
    EXPECT_THAT(p.reporter.messages[0], ::testing::HasSubstr("Bord.bmp"));
    EXPECT_EQ(p.state.timetable.DepartureInterval[1], 10);
    EXPECT_EQ(p.state.timetable.DepartureInterval[2], 0);  // never reached
    EXPECT_THAT(p.state.timetableEditor.list, IsEmpty());  // cleared, not listed
    EXPECT_FALSE(p.state.timetableEditor.saveEnabled);
}

TEST(DepartureList, ListsEachRowAsOftenAsItsIntervalFitsTheHourInTimeThenRowOrder) {
    Timetable p(at(13, 47));
    p.serve(2, 5, 50);
    p.serve(3, 30, 20);  // 13:50 and 14:20, after row 2 in the same minute
    MaakLijnen(p.state);
    std::vector<std::string> expected;
    for (int minute = at(13, 50); minute <= at(14, 45); minute += 5) {
        expected.push_back(FormatClockTime(minute) + " Spoor 2  Plaats via Edit1");
        if (minute == at(13, 50) || minute == at(14, 20))
            expected.push_back(FormatClockTime(minute) + " Spoor 3  Plaats via Edit1");
    }
    EXPECT_THAT(p.list(), ElementsAreArray(expected));
    EXPECT_EQ(p.state.timetable.DepartureMinute[2], at(13, 50));  // listing works on copies
}

TEST(DepartureList, RunsOnPastMidnightAndListsARowOutOfServiceOnceWithinTheHour) {
    Timetable p(at(24, 5));
    p.serve(1, 0, 5);  // this very minute
    p.serve(2, 0, 4);  // already past
    p.serve(3, 30, 10);
    MaakLijnen(p.state);
    EXPECT_FALSE(p.boardDrawn(1));
    EXPECT_THAT(p.list(), ElementsAre("24:05 Spoor 1  Plaats via Edit1", "24:10 Spoor 3  Plaats via Edit1",
                                      "24:40 Spoor 3  Plaats via Edit1"));
}

TEST(DepartureList, RefrechListsAnewFromTheClockWithoutChangingTheTables) {
    Timetable p(at(13, 47));
    EXPECT_THAT(p.list(), IsEmpty());  // no placeholder text before the first list
    p.serve(1, 15, 5);
    MaakLijnen(p.state);
    // During the departure minute, before the scheduler has moved the row on.
    p.state.clock.ClockMinutes = at(13, 50);
    Opnieuw(p.state);
    EXPECT_EQ(p.list().front(), "13:50 Spoor 1  Plaats via Edit1");
    EXPECT_EQ(p.list().size(), 4u);
    EXPECT_EQ(p.state.timetable.DepartureMinute[1], at(13, 50));
}

TEST(Books, ReadingFillsTheRowsAndPublishesWithoutSnappingAndAppendsTheList) {
    Timetable p(at(13, 47));
    std::string book = bookRow("Zwolle", "Deventer", "Stoptrein", "3", "7", "5");
    for (int r = 2; r <= kLines; ++r) book += bookRow("X", "Y", "Z", "1", "0", "0");
    p.writeFile("VasteData/BoekjeRood.txt", book);

    p.press(LeesRood);
    EXPECT_THAT(p.reporter.messages, IsEmpty());
    EXPECT_EQ(p.state.timetable.ActiveBook, "Rood");
    EXPECT_EQ(p.state.timetableEditor.labelColour, kRed);
    EXPECT_TRUE(p.state.timetableEditor.saveEnabled);
    EXPECT_EQ(p.row(1).Naar, "Zwolle");
    EXPECT_EQ(p.row(1).Via, "Deventer");
    EXPECT_EQ(p.row(1).Type, "Stoptrein");
    EXPECT_EQ(p.row(1).Freq, 7);  // not snapped
    EXPECT_EQ(p.row(1).PlusMin, 5);
    EXPECT_EQ(p.row(1).Perron, 3);
    EXPECT_EQ(p.state.timetable.DepartureInterval[1], 7);
    EXPECT_EQ(p.state.timetable.DepartureMinute[1], at(13, 54));  // 13:05 + 7 k
    EXPECT_TRUE(p.boardDrawn(1));

    const std::size_t hour = 8;  // 13:54 .. 14:43 every 7 minutes
    ASSERT_EQ(p.list().size(), hour);
    EXPECT_EQ(p.list()[0], "13:54 Spoor 3  Zwolle via Deventer");
    p.press(LeesRood);
    ASSERT_EQ(p.list().size(), 2 * hour);
    EXPECT_EQ(p.list()[hour], "13:54 Spoor 3  Zwolle via Deventer");

    p.press(LeesBlauw);  // missing: the message, but the blue book is chosen
    EXPECT_THAT(p.reporter.messages, ElementsAre("File not found"));
    EXPECT_EQ(p.state.timetable.ActiveBook, "Blauw");
    EXPECT_EQ(p.state.timetableEditor.labelColour, kBlue);
}

TEST(Books, ABadNumberKeepsWhatWasReadButNeitherFillsNorPublishes) {
    Timetable p(at(13, 47));
    p.writeFile("VasteData/BoekjeRood.txt",
                bookRow("Zwolle", "Deventer", "Sprinter", "3", "10", "5") + bookRow("Emmen", "Assen", "IC", "4", "tien", "0"));
    p.press(LeesRood);
    EXPECT_THAT(p.reporter.messages, ElementsAre("Invalid numeric input"));
    const TimetableTables& t = p.state.timetable;
    EXPECT_EQ(t.BoardDestination[1], "Zwolle");
    EXPECT_EQ(t.DepartureInterval[1], 10);
    EXPECT_EQ(t.BoardDestination[2], "Emmen");
    EXPECT_EQ(t.BoardPlatform[2], 4);
    EXPECT_EQ(t.DepartureInterval[2], 0);
    EXPECT_EQ(t.ActiveBook, "Rood");
    EXPECT_EQ(p.state.timetableEditor.labelColour, kRed);
    EXPECT_EQ(p.row(1).Naar, "Plaats");  // editor not filled
    EXPECT_EQ(t.DepartureMinute[1], 0);   // not published
    EXPECT_THAT(p.list(), IsEmpty());
    EXPECT_FALSE(p.state.timetableEditor.saveEnabled);
    EXPECT_FALSE(p.boardDrawn(1));
}

TEST(Books, AShortBookReadsEmptyAndZeroAndOutOfRangeValuesArriveAtTheSpinBounds) {
    Timetable p(at(10, 0));
    p.writeFile("VasteData/BoekjeBlauw.txt",
                bookRow("Een heel lange bestemming", "via", "Stoptrein extra", "300", "45", "75") +
                    bookRow("B", "", "", "256", "-3", "-1 rest of the line") + "C\r\n");
    p.press(LeesBlauw);
    EXPECT_THAT(p.reporter.messages, IsEmpty());
    const TimetableTables& t = p.state.timetable;
    EXPECT_EQ(t.BoardDestination[1], "Een heel lange ");
    EXPECT_EQ(t.BoardTrain[1], "Stoptrein ");
    EXPECT_EQ(t.BoardPlatform[1], 44);  // low 8 bits of 300
    EXPECT_EQ(t.BoardPlatform[2], 0);
    EXPECT_EQ(p.row(1).Perron, 9);
    EXPECT_EQ(p.row(1).Freq, 30);
    EXPECT_EQ(p.row(1).PlusMin, 59);
    EXPECT_EQ(p.row(2).Perron, 1);
    EXPECT_EQ(p.row(2).Freq, 0);
    EXPECT_EQ(p.row(2).PlusMin, 0);
    EXPECT_EQ(t.DepartureInterval[1], 30);  // published from the row
    EXPECT_EQ(t.DepartureMinute[1], at(10, 59));
    // The file ends within row 3.
    EXPECT_EQ(t.BoardDestination[3], "C");
    EXPECT_EQ(t.BoardVia[3], "");
    EXPECT_EQ(p.row(8).Naar, "");
    EXPECT_EQ(p.row(8).Perron, 1);
    EXPECT_EQ(t.BoardPlatform[8], 0);
}

TEST(Books, SaveBeforeAnyBookWasReadWritesNothing) {
    Timetable p(at(13, 47));
    MaakLijnen(p.state);
    p.press(SaveBoekje);
    EXPECT_THAT(p.reporter.messages, IsEmpty());
    EXPECT_FALSE(QFileInfo::exists(p.state.paths.find("VasteData/BoekjeRood.txt")));
    EXPECT_FALSE(QFileInfo::exists(p.state.paths.find("VasteData/BoekjeBlauw.txt")));
}

TEST(Books, SavedBookReadsBackAsSaved) {
    Timetable p(at(13, 47));
    p.press(LeesBlauw);  // no book yet: the blue one is chosen
    p.row(1).Naar = "Zwolle";
    p.row(1).Via = "Deventer";
    p.serve(1, 20, 12);
    p.row(6).Perron = 2;
    p.row(6).Type = "IC";
    p.press(MaakLijnen);
    p.row(1).PlusMin = 14;  // taken from the row at the moment of saving
    p.row(1).Naar = "Typed after Make Final";
    p.press(SaveBoekje);
    EXPECT_THAT(p.reporter.messages, ElementsAre("File not found"));

    const std::string saved = p.readFile("VasteData/BoekjeBlauw.txt");
    EXPECT_THAT(saved, ::testing::StartsWith("Zwolle\r\nDeventer\r\nSprinter\r\n1\r\n20\r\n14\r\nPlaats\r\n"));
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 48);

    Timetable q(at(13, 47));
    q.writeFile("VasteData/BoekjeBlauw.txt", saved);
    q.press(LeesBlauw);
    const TimetableTables &read = q.state.timetable, &written = p.state.timetable;
    EXPECT_EQ(read.BoardDestination, written.BoardDestination);
    EXPECT_EQ(read.BoardVia, written.BoardVia);
    EXPECT_EQ(read.BoardTrain, written.BoardTrain);
    EXPECT_EQ(read.BoardPlatform, written.BoardPlatform);
    EXPECT_EQ(read.DepartureInterval, written.DepartureInterval);
    EXPECT_EQ(read.DepartureOffset, written.DepartureOffset);
    EXPECT_EQ(q.row(1).PlusMin, 14);
    EXPECT_EQ(q.state.timetable.DepartureMinute[1], at(13, 54));
}

}  // namespace
}  // namespace blokpost::test

#include "timetable/timetable.h"

#include "base/text_file.h"
#include "lines/model_clock.h"
#include "state/program_state.h"

#include <algorithm>

namespace blokpost {

namespace {

constexpr int kMinutesListed = 60;
constexpr const char* kBoardBackground = "Vastedata/Bord.bmp";

struct Book {
    BookFile stored;
    Colour colour;
};
constexpr Book kRood{kBookFiles[0], kRed};
constexpr Book kBlauw{kBookFiles[1], kBlue};

// A typed text as the tables keep it: cut to its slot.
std::string takeText(std::string text, std::size_t slot) {
    if (text.size() > slot) text.resize(slot);
    return text;
}

void ReadBook(ProgramState& s, const Book& book) {
    // Colour and book are chosen before the file is opened: when it cannot be
    // read, a later "Save" creates it from the tables.
    s.timetableEditor.labelColour = book.colour;
    s.timetable.ActiveBook = book.stored.name;

    TextFileReader in = TextFileReader::open(s.paths.find(book.stored.file), s.reporter);
    ReadBookRows(s.timetable, in);
    ++s.editor.LoadsDone;
    s.timetableEditor.saveEnabled = true;
    FillTimetableRows(s);
}

std::string departureLine(const TimetableTables& t, int r, std::int32_t minute) {
    return FormatClockTime(minute) + " Spoor " + std::to_string(t.BoardPlatform[r]) + "  " +
           t.BoardDestination[r] + " via " + t.BoardVia[r];
}

}  // namespace

void ReadBookRows(TimetableTables& t, TextFileReader& in) {
    for (int r = 1; r <= kLines; ++r) {
        t.BoardDestination[r] = in.readText(kDestinationLength);
        t.BoardVia[r] = in.readText(kViaLength);
        t.BoardTrain[r] = in.readText(kTrainLength);
        t.BoardPlatform[r] = static_cast<std::uint8_t>(in.readNumber() & 0xFF);
        t.DepartureInterval[r] = in.readNumber();
        t.DepartureOffset[r] = in.readNumber();
    }
}

int SnapInterval(int freq) {
    if (freq >= 21) return 30;
    if (freq >= 16) return 20;
    if (freq >= 13) return 15;
    if (freq == 11) return 12;
    if (freq >= 7 && freq <= 9) return 10;
    return freq;
}

void MaakLijnen(ProgramState& s) {
    ClearDepartureList(s);
    TimetableTables& t = s.timetable;
    for (int r = 1; r <= kLines; ++r) {
        TimetableRow& row = s.timetableEditor.row[r];
        row.Freq = SnapInterval(row.Freq);
        t.BoardDestination[r] = takeText(row.Naar, kDestinationLength);
        t.BoardVia[r] = takeText(row.Via, kViaLength);
        t.BoardTrain[r] = takeText(row.Type, kTrainLength);
        t.BoardPlatform[r] = static_cast<std::uint8_t>(row.Perron);
    }
    PublishTimetable(s);
}

void PublishTimetable(ProgramState& s) {
    TimetableTables& t = s.timetable;
    const std::int32_t now = s.clock.ClockMinutes;
    for (int r = 1; r <= kLines; ++r) {
        const TimetableRow& row = s.timetableEditor.row[r];
        t.DepartureInterval[r] = row.Freq;
        t.DepartureMinute[r] = row.PlusMin + 60 * (now / 60);
        if (t.DepartureInterval[r] <= 0) continue;
        // The next departure lies strictly after the current minute.
        while (t.DepartureMinute[r] <= now) t.DepartureMinute[r] += t.DepartureInterval[r];
        DrawDepartureBoard(s, r, t.DepartureMinute[r]);
    }
    ListDepartures(s);
    s.timetableEditor.saveEnabled = true;
}

void DrawDepartureBoard(ProgramState& s, int r, std::int32_t time) {
    if (!s.screen.display.board[r].load(s.paths.find(kBoardBackground)))
        throw OperationError(std::string("Cannot open file \"") + kBoardBackground + "\". No such file or directory.");
    DrawBoardText(s, r, time);
}

void LeesRood(ProgramState& s) { ReadBook(s, kRood); }
void LeesBlauw(ProgramState& s) { ReadBook(s, kBlauw); }

void FillTimetableRows(ProgramState& s) {
    const TimetableTables& t = s.timetable;
    for (int r = 1; r <= kLines; ++r) {
        TimetableRow& row = s.timetableEditor.row[r];
        row.Naar = t.BoardDestination[r];
        row.Via = t.BoardVia[r];
        row.Type = t.BoardTrain[r];
        row.Freq = kFreqRange.clamp(t.DepartureInterval[r]);
        row.PlusMin = kPlusMinRange.clamp(t.DepartureOffset[r]);
        row.Perron = kPerronRange.clamp(t.BoardPlatform[r]);
    }
    PublishTimetable(s);
}

void SaveBoekje(ProgramState& s) {
    TimetableTables& t = s.timetable;
    for (int r = 1; r <= kLines; ++r) t.DepartureOffset[r] = s.timetableEditor.row[r].PlusMin;

    const Book* book =
        t.ActiveBook == kBlauw.stored.name ? &kBlauw : t.ActiveBook == kRood.stored.name ? &kRood : nullptr;
    if (!book) return;
    TextFileWriter out(s.paths.forWriting(book->stored.file));
    for (int r = 1; r <= kLines; ++r) {
        out.text(t.BoardDestination[r]);
        out.text(t.BoardVia[r]);
        out.text(t.BoardTrain[r]);
        out.number(t.BoardPlatform[r]);
        out.number(t.DepartureInterval[r]);
        out.number(t.DepartureOffset[r]);
    }
    out.commit();
}

void ListDepartures(ProgramState& s) {
    const TimetableTables& t = s.timetable;
    // Working copies, wide enough that a huge interval from a broken book cannot overflow.
    std::array<std::int64_t, kLines + 1> next{};
    std::copy(t.DepartureMinute.begin(), t.DepartureMinute.end(), next.begin());
    const std::int32_t now = s.clock.ClockMinutes;
    for (std::int32_t minute = now; minute < now + kMinutesListed; ++minute) {
        for (int r = 1; r <= kLines; ++r) {
            if (next[r] != minute) continue;
            s.timetableEditor.list.push_back(departureLine(t, r, minute));
            next[r] += t.DepartureInterval[r];
        }
    }
}

void ClearDepartureList(ProgramState& s) { s.timetableEditor.list.clear(); }

void Opnieuw(ProgramState& s) {
    ClearDepartureList(s);
    ListDepartures(s);
}

}  // namespace blokpost

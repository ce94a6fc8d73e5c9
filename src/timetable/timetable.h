#pragma once
// The timetable: the editor's eight rows (one per line), making them
// effective on the model clock, the two stored books "Rood" and "Blauw",
// the departure boards, and the Spoorboekje list of the coming hour.
//
// The editor's controls are mirrored in the program state (TimetableEditor),
// so every operation works on plain values and the windows only copy them to
// and from their controls.

#include "state/timetable_editor.h"

#include <array>
#include <cstdint>

namespace blokpost {

struct ProgramState;

// "Make Final": snaps the intervals, takes the rows' texts and platforms over, publishes.
void MaakLijnen(ProgramState& state);
// Computes each row's next departure, draws the boards, lists the hour, enables "Save".
void PublishTimetable(ProgramState& state);
// The board background with the texts of row r's departure at model-clock minute T.
void DrawDepartureBoard(ProgramState& state, int row, std::int32_t time);
// "Rood" and "Blauw": read a book into the tables, then fill and publish the rows.
void LeesRood(ProgramState& state);
void LeesBlauw(ProgramState& state);

struct BookFile {
    const char* name;
    const char* file;
};
inline constexpr std::array<BookFile, 2> kBookFiles{{{"Rood", "Vastedata/BoekjeRood.txt"},
                                                     {"Blauw", "Vastedata/BoekjeBlauw.txt"}}};
class TextFileReader;
struct TimetableTables;
// A book's 48 values into the tables' rows 1..8, as stored: the interval is
// held to the editor's range only when the rows are filled.
void ReadBookRows(TimetableTables& tables, TextFileReader& file);
// The tables into the editor's rows (held to the spin ranges), then publish.
void FillTimetableRows(ProgramState& state);
// "Save": writes the tables into the book read last; nothing when none was read.
void SaveBoekje(ProgramState& state);

// Appends the departures of the 60 minutes from the model clock on, in time order.
void ListDepartures(ProgramState& state);
void ClearDepartureList(ProgramState& state);
// "Refrech": the list anew.
void Opnieuw(ProgramState& state);

// The interval a Freq value is snapped to, so every interval but 0 divides the hour.
int SnapInterval(int freq);

}  // namespace blokpost

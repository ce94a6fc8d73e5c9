#pragma once
// The timetable editor's eight rows and the Spoorboekje list, mirrored from
// their controls so that every operation works on plain values.

#include "base/canvas.h"
#include "state/model.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace blokpost {

// The value ranges of the editor's spin boxes.
struct SpinRange {
    int low;
    int high;
    int clamp(std::int64_t value) const {
        return static_cast<int>(value < low ? low : value > high ? high : value);
    }
};
inline constexpr SpinRange kFreqRange{0, 30};
inline constexpr SpinRange kPlusMinRange{0, 59};
inline constexpr SpinRange kPerronRange{1, 9};

// One row of the editor, row r = line r.
struct TimetableRow {
    int Freq = 0;                    // SpinEdit(3r-2): minutes between departures, 0 = not in service
    int PlusMin = 0;                 // SpinEdit(3r-1): minute past the hour
    std::string Naar = "Plaats";     // Edit(3r-2): destination
    std::string Via = "Edit1";       // Edit(3r-1): route
    int Perron = 1;                  // SpinEdit(3r): platform
    std::string Type = "Sprinter";   // Edit(3r): kind of train
};

// What the editor "Maak spoorboekje" and the window "Spoorboekje" show.
struct TimetableEditor {
    TimetableEditor();

    std::array<TimetableRow, kLines + 1> row;  // [1..8]
    bool saveEnabled = false;                  // "Save": enabled by the first publish or book read
    Colour labelColour = kGray;                // Label1's text: the book read last
    std::vector<std::string> list;  // RichEdit1 of the Spoorboekje window, empty until something is listed
};

}  // namespace blokpost

#pragma once
// The whole state of a running Blokpost, owned by one object and passed by
// reference to every operation. It lives from start to end of the program.

#include "base/logbook_file.h"
#include "base/paths.h"
#include "base/reporter.h"
#include "state/layout_table.h"
#include "state/layout_windows.h"
#include "state/model.h"
#include "state/pin_grid.h"
#include "state/screen.h"
#include "state/timetable_editor.h"
#include "state/timetable_tables.h"

#include <array>
#include <cstdint>
#include <string>

namespace blokpost {

class Board;

struct CycleState {
    std::uint8_t Phase = 0;        // 0 before the first tick, then 1..8
    std::int32_t PinOutput = -1;   // the request being put out in this cycle; -1 = none
    bool inTick = false;           // a tick never starts inside another one
};

struct PinTables {
    std::array<std::string, kPins> PinName{};         // at most 7 characters
    std::array<std::uint8_t, kPins> PinAddress{};
    std::array<std::string, kPinDrawings + 1> PlateState{};  // [1..63]: "", "A" or "B"
};

// The names and addresses the pins have before their files are read: pin n
// is "leeg<n>" at address n.
void setStartPinNames(std::array<std::string, kPins>& names, std::array<std::uint8_t, kPins>& addresses);

struct ModelClock {
    std::int32_t ClockMinutes = 0;  // minutes since midnight, never wrapped
    std::uint8_t ClockSeconds = 0;
};

struct EditorState {
    std::uint8_t SelectedCell = 0;    // grid cell clicked last
    std::uint8_t CurrentVariant = 0;  // schedule variant loaded last, 0 = none
    std::uint32_t LoadsDone = 0;      // variants and books loaded: the check follows every load
};

struct ProgramState {
    ProgramState(Board& board, Reporter& reporter, DataPaths paths)
        : board(board), reporter(reporter), paths(std::move(paths)), screen(designedScreen()) {}

    Board& board;
    Reporter& reporter;
    DataPaths paths;

    CycleState cycle;
    LineProgramModel model;
    std::array<std::uint8_t, kSensors + 1> SensorPrevious{};
    PinTables pins;
    ModelClock clock;
    std::string MeterName1;
    std::string MeterName2;
    LayoutTable layout;
    TimetableTables timetable;
    TimetableEditor timetableEditor;
    EditorState editor;
    PinGrid pinGrid;                // the Give a Name window's grid
    LayoutWindows layoutWindows;    // Make Screen and Read / Save
    std::uint32_t RandomState = 0;  // the Pin executor's generator; never reseeded
    bool BoardPictureMissingReported = false;  // said once; quiet until the board picture loads again
    // [sensor 1..20][0 = "L", 1 = "H"]: a failed sensor picture is said once, until it loads again.
    std::array<std::array<bool, 2>, kSensors + 1> SensorPictureReported{};

    Screen screen;
    LogbookFile logbookFile;  // every logbook entry, also on disk
};

// The main window's creation handler: the start values of the shared state.
// `minutesOfDay` is the local time of day, hours * 60 + minutes.
void FormCreate(ProgramState& state, int minutesOfDay);
// Loads the track plan and sets the start values, reading the local time.
void FormCreate(ProgramState& state);

// Runs one handler of the operator; a failed file operation stops it and is
// reported, and so is anything else it throws (even running out of memory).
template <class Handler>
bool guarded(ProgramState& state, Handler&& handler) {
    try {
        handler();
        return true;
    } catch (const OperationError& error) {
        state.reporter.message(error.what());
    } catch (const std::exception& error) {
        state.reporter.message(unexpectedFailureMessage(&error));
    } catch (...) {
        state.reporter.message(unexpectedFailureMessage(nullptr));
    }
    return false;
}

}  // namespace blokpost

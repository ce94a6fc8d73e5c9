#pragma once
// Where the windows stand on the operator's desk. Every window gets a first
// place designed from the screen and the main window's parts, so that what
// the operator works with does not open under another window:
// - nothing covers the main window's button row;
// - the small display windows are tiled along the bottom edge of the screen
//   from the right, then along the right edge, never on top of each other,
//   and off the track plan and the line buttons while there is room;
// - the Rijschema takes the corner where it covers least of the line buttons
//   and the track plan; the windows opened from another open beside the part
//   of it that they edit;
// - a window larger than the room below the button row is cut down to it and
//   scrolls its content; the Rijschema also leaves the line buttons' captions free;
// - remembered places that no longer fit the screens are placed again, around
//   the places that still fit, as the designed places are;
// - every window stays wholly on the screen.
// All rectangles are window frames (title bar and border included) in
// desktop coordinates.

#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <array>
#include <map>

namespace blokpost {

// The windows on the desk, by form number.
namespace desk {
constexpr int kMakeScreen = 2;
constexpr int kReadSave = 3;
constexpr int kRijschema = 4;
constexpr int kPalette = 5;
constexpr int kMeter1 = 6;
constexpr int kMeter2 = 7;
constexpr int kFirstBoard = 8;
constexpr int kLastBoard = 15;
constexpr int kClock = 16;
constexpr int kTimetable = 17;
constexpr int kTimetableEditor = 18;
constexpr int kGiveName = 19;
constexpr int kLogbook = 20;
constexpr int kSimulator = 21;
constexpr int kLinesWindow = 22;
constexpr int kFirstForm = 2;
constexpr int kLastForm = 22;

// The display windows in the order they are tiled: the clock and the two
// meters in the corner, the departure boards next to them, then the logbook
// and the lines.
constexpr std::array<int, 13> kTileOrder{kClock, kMeter1, kMeter2, 8,  9,  10,
                                         11,     12,      13,      14, 15, kLinesWindow, kLogbook};

// The window a form is opened from, or 0 when it opens from the button row.
int openedFrom(int form);
// The windows that stay above the others: the display windows and the
// Simulator, which the operator watches and clicks while working in the
// large editing windows, and the two windows that share the Simulator's corner.
bool staysOnTop(int form);
}  // namespace desk

// What the placement rules see of the screen and the main window.
struct DeskScreen {
    QRect screen;       // the available part of the screen the main window is on
    QMargins frame;     // the window manager's frame around a window's client area
    QRect buttonRow;    // the main window's button row
    QRect trackPlan;    // the track plan picture
    QRect lineButtons;  // the places of all eight line buttons
    // The left parts of the line buttons that show their whole captions.
    QRect lineButtonCaptions;
};

using DeskPlaces = std::array<QRect, desk::kLastForm + 1>;
using ClientSizes = std::array<QSize, desk::kLastForm + 1>;

// The parts of the parent windows that a window opened from them edits, in
// the parent's client coordinates.
struct WorkAreas {
    QRect rijschemaGrid;
    QRect timetableList;
};

// Windows that keep a place of their own (frames in desktop coordinates).
using KeptPlaces = std::map<int, QRect>;

// The client size a window opens with on this screen: its designed size, or
// as much of it as fits below the button row (for the Rijschema also right
// of the line buttons' captions), with room for the scroll bar of a cut side.
QSize fittedClientSize(int form, const QSize& designed, const DeskScreen& desk, int scrollBarExtent);

// The first place of every window 2..21 ([0] and [1] stay empty); windows in
// `kept` stand there, and the display windows are tiled around them.
DeskPlaces designDesk(const DeskScreen& desk, const ClientSizes& client, const WorkAreas& work,
                      const KeptPlaces& kept = {});

// The remembered places (frame top-left corners) that still fit: wholly on
// one of the screens and off the button row. The others are placed again.
KeptPlaces placesThatFit(const std::map<int, QPoint>& remembered, const ClientSizes& client, const DeskScreen& desk,
                         const QList<QRect>& screens);

// A window of `frameSize` beside `work` (desktop coordinates) rather than
// over it: below, above, right or left, whichever covers least of it.
QRect besideWork(const QSize& frameSize, const QRect& work, const DeskScreen& desk);

// A designed place moved onto the screen as far as its size allows (the
// title bar always on it) and off the button row.
QRect keepOnScreen(const QRect& frame, const DeskScreen& desk);

}  // namespace blokpost

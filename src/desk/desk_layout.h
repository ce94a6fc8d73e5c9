#pragma once
// Where the windows stand on the operator's desk. Every window gets a first
// place designed from the screen and the main window's parts, so that what
// the operator works with does not open under another window:
// - nothing covers the main window's button row;
// - the small display windows are tiled along the bottom edge of the screen
//   from the right, then along the right edge, never on top of each other,
//   the Simulator, the line buttons or the Rijschema's controls, and off the
//   Rijschema's grid and the track plan while there is room (on a laptop with
//   every one of them open there is not: the last ones overlap the others);
// - the Rijschema takes the corner where it covers least of the line buttons
//   and the track plan; the windows opened from another open beside the part
//   of it that they edit;
// - a window larger than the room below the button row is cut down to it and
//   scrolls its content; the Rijschema also leaves the line buttons' captions free;
// - remembered places that no longer fit the screens, or where a small window
//   would cover the Simulator or a control the operator must reach, are
//   placed again, around the places that still fit, as the designed places are;
// - a part the operator must see (the cell a finding points at) is scrolled
//   clear of the small windows, and the windows opened from its window move off it;
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
constexpr int kControle = 23;
constexpr int kFirstForm = 2;
constexpr int kLastForm = 23;

// The display windows in the order they are tiled: the clock and the two
// meters in the corner, the logbook and the lines, which find no room once
// the boards fill the rows, next to them, then the departure boards. A new
// display window is placed by the desk once it is listed here.
constexpr std::array<int, 13> kTileOrder{kClock, kMeter1, kMeter2, kLogbook, kLinesWindow, 8, 9,
                                         10,     11,      12,      13,       14,           15};

// The window a form is opened from, or 0 when it opens from the button row.
int openedFrom(int form);

// The layers, from the track plan up:
// - the Rijschema, the one large editing window, above the track plan;
// - the small windows the operator watches and clicks while working in it
//   (the display windows, the Simulator, the Spoorboekje) above the Rijschema;
// - in the same top layer, a window the operator opens for a task (the
//   palette, Controle, Give a Name, Make Screen, Read/save, the timetable
//   editor) comes up above them whole; a click on a small window brings that
//   one forward again, a click on the task window brings it back.
enum class Layer { Editor, Small, Task };
Layer layerOf(int form);
// Every window but the Rijschema stays above the Rijschema and the track plan.
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
// the parent's client coordinates, and the Rijschema's controls that no
// small window may cover, in its designed (unscrolled) content.
struct WorkAreas {
    QRect rijschemaGrid;
    QRect timetableList;
    QList<QRect> rijschemaControls;
};

// Where a part of a window's designed content shows on the desktop when the
// operator scrolls to it: at its place while it fits in the client area, else
// anywhere from there to the client's edge it is scrolled up or left to.
QRect reachableOnScreen(const QRect& part, const QRect& clientOnScreen);

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
// one of the screens and off the button row, and for a display window off the
// line buttons, the Simulator and the Rijschema's controls. The others are
// placed again.
KeptPlaces placesThatFit(const std::map<int, QPoint>& remembered, const ClientSizes& client, const DeskScreen& desk,
                         const QList<QRect>& screens, const WorkAreas& work);

// A window of `frameSize` beside `work` (desktop coordinates) rather than
// over it: below, above, right or left, whichever covers least of it, of the
// line buttons, of the controls the operator must reach and of the small
// windows the operator watches, the line buttons weighing most.
QRect besideWork(const QSize& frameSize, const QRect& work, const DeskScreen& desk,
                 const QList<QRect>& mustReach = {}, const QList<QRect>& watched = {});

// The Rijschema's controls on the desktop, where the Rijschema stands at `frame`.
QList<QRect> rijschemaControlsOnScreen(const QRect& frame, const QSize& client, const WorkAreas& work,
                                       const QMargins& margins);

// A window moved off `area` that the operator must see (the cell a finding
// points at): below it where there is room, else above, else beside it, in
// the same column or row as far as it can; wholly on the screen and off the
// button row and the line buttons. It stays where it does not cover the area
// or where no side has room.
QRect clearOf(const QRect& frame, const QRect& area, const DeskScreen& desk);

// The scroll offset within (0,0)..`most` nearest `now` at which `part` of the
// scrolled content shows whole in `viewport` (desktop coordinates) and under
// none of `covering`; `now` where there is none.
QPoint offsetShowing(const QRect& part, const QRect& viewport, const QPoint& now, const QPoint& most,
                     const QList<QRect>& covering);

// A designed place moved onto the screen as far as its size allows (the
// title bar always on it) and off the button row.
QRect keepOnScreen(const QRect& frame, const DeskScreen& desk);

}  // namespace blokpost

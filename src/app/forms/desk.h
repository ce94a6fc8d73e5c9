#pragma once
// The operator's desk at run time: opens every window the first time at its
// designed place, or where the operator left it (also in an earlier run),
// notices when the operator moves a window, and keeps those places in
// "VasteData/Vensters.ini" (written a second after a move and when the
// program ends).

#include "desk/desk_layout.h"
#include "desk/window_places.h"

#include <QObject>
#include <QTimer>
#include <map>
#include <set>

namespace blokpost {

class BlokpostApp;
class Window;

class Desk : public QObject {
public:
    explicit Desk(BlokpostApp& app);
    ~Desk() override;

    // Watches Form2..Form21 for the operator's moves; called once they exist.
    void watchWindows();
    // Shows a window without blocking the others; the first time at its first place.
    void show(int form);
    // Scrolls `window` until `part` shows clear of the small windows, and
    // moves the windows opened from it off the part.
    void bringIntoView(Window& window, QWidget& part);
    // Writes the places when one changed since the last save.
    void saveIfChanged();

    // The screen and the main window as the placement rules see them now.
    DeskScreen screenNow() const;
    // Where each window opens this run: its remembered place while that fits
    // the screens, the others designed around those.
    DeskPlaces firstPlaces() const;
    const WindowPlaces& remembered() const { return remembered_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where a window opens this run: where the operator left it while that
    // still fits the screens, else its first place.
    QPoint openingPlace(int form) const;
    ClientSizes fittedSizes(const DeskScreen& desk) const;
    WorkAreas workAreas() const;
    // What a window opened from another keeps clear of: the Rijschema's
    // controls, and the small windows open but its parent.
    QList<QRect> controlsOnScreen() const;
    QList<QRect> watchedOnScreen(int form) const;
    KeptPlaces keptPlaces(const DeskScreen& desk, const ClientSizes& sizes) const;
    DeskPlaces designedAround(const DeskScreen& desk, const ClientSizes& sizes, const KeptPlaces& kept) const;
    // The small windows float above the others, which stay above the main window.
    void setLayer(Window& window) const;
    void keepAboveTrackPlan(Window& window) const;
    void placeAt(int form, const QPoint& topLeft);
    void moveFrameTo(QWidget& window, const QPoint& topLeft) const;
    // Where a window's client area starts within its frame.
    QPoint clientOffset() const;
    void learnFrame(const QWidget& window);
    void noticeMove(int form, const QWidget& window);
    QString settingsPath(bool forWriting) const;

    BlokpostApp& app_;
    std::map<const QObject*, int> watched_;
    WindowPlaces remembered_;
    // Where the program itself last put each window, to tell the operator's moves apart.
    std::map<int, QPoint> placedAt_;
    // Windows that stand where they opened; they follow when the frame becomes known.
    std::set<int> opened_;
    // Windows moved off a part of their parent the operator must see.
    std::set<int> setAside_;
    // Windows just shown, whose moves are still the window manager's.
    std::set<int> settling_;
    // Until a window has been shown the window manager's frame is not known;
    // this generous guess keeps the first window's neighbours clear of it.
    QMargins frame_{8, 31, 8, 8};
    bool frameKnown_ = false;
    bool changed_ = false;
    bool failureReported_ = false;
    QTimer saveTimer_;
};

}  // namespace blokpost

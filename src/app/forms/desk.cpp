#include "app/forms/desk.h"

#include "app/forms/blokpost_app.h"
#include "app/forms/main_window.h"
#include "state/program_state.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWindow>

namespace blokpost {

namespace {

// A window dragged across the desk moves many times; it is saved once it rests.
constexpr int kSaveDelayMs = 1000;
// No operator moves a window this soon after it opened: a move by then is the
// window manager's own placement.
constexpr int kSettleMs = 500;

QMargins frameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                    frame.bottom() - client.bottom());
}

// The part of a window that a window opened from it edits, on the desktop.
QRect workOnDesktop(const Window& window) { return window.workArea().translated(window.geometry().topLeft()); }

}  // namespace

Desk::Desk(BlokpostApp& app) : app_(app) {
    remembered_ = readWindowPlaces(settingsPath(false));
    saveTimer_.setSingleShot(true);
    saveTimer_.setInterval(kSaveDelayMs);
    connect(&saveTimer_, &QTimer::timeout, this, [this] { saveIfChanged(); });
}

Desk::~Desk() {
    // Ending the program: a failure now can no longer be shown to anyone.
    failureReported_ = true;
    saveIfChanged();
}

QString Desk::settingsPath(bool forWriting) const {
    // Matched apart from the program's own files, whose folder matches it
    // remembers only once they are first used.
    const DataPaths paths(app_.state().paths.root());
    return forWriting ? paths.forWriting(kWindowPlacesFile) : paths.find(kWindowPlacesFile);
}

void Desk::watchWindows() {
    for (int form = desk::kFirstForm; form <= desk::kLastForm; ++form) {
        Window* window = app_.form(form);
        watched_[window] = form;
        window->installEventFilter(this);
        setLayer(*window);
    }
}

void Desk::setLayer(Window& window) const {
    // Clicked last, the Rijschema must not come over the small windows the operator watches.
    if (!desk::staysOnTop(watched_.at(&window))) window.setWindowFlag(Qt::WindowStaysOnTopHint, false);
}

void Desk::keepAboveTrackPlan(Window& window) const {
    // Kept above the main window, a large window does not vanish behind the
    // track plan. Its window is made once it has its place, as showing it would.
    QWindow* main = app_.form(1)->windowHandle();
    if (desk::staysOnTop(watched_.at(&window)) || !main) return;
    window.winId();
    window.windowHandle()->setTransientParent(main);
}

DeskScreen Desk::screenNow() const {
    const auto* main = app_.formAs<TForm1>(1);
    const QScreen* screen = main->screen() ? main->screen() : QGuiApplication::primaryScreen();
    DeskScreen desk;
    desk.screen = screen ? screen->availableGeometry() : QRect(0, 0, main->width(), main->height());
    desk.frame = frame_;
    // The main window fills the screen without a border.
    const QPoint origin = main->isVisible() ? main->geometry().topLeft() : desk.screen.topLeft();
    desk.buttonRow = main->buttonRowArea().translated(origin);
    desk.trackPlan = main->trackPlanArea().translated(origin);
    desk.lineButtons = main->lineButtonsArea().translated(origin);
    desk.lineButtonCaptions = main->lineButtonCaptionsArea().translated(origin);
    return desk;
}

ClientSizes Desk::fittedSizes(const DeskScreen& desk) const {
    const int scrollBar = app_.form(1)->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    ClientSizes sizes{};
    for (int n = desk::kFirstForm; n <= desk::kLastForm; ++n)
        sizes[n] = fittedClientSize(n, app_.form(n)->designedSize(), desk, scrollBar);
    return sizes;
}

KeptPlaces Desk::keptPlaces(const DeskScreen& desk, const ClientSizes& sizes) const {
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) screens.push_back(screen->availableGeometry());
    return placesThatFit(remembered_, sizes, desk, screens, workAreas());
}

DeskPlaces Desk::firstPlaces() const {
    const DeskScreen desk = screenNow();
    const ClientSizes sizes = fittedSizes(desk);
    return designedAround(desk, sizes, keptPlaces(desk, sizes));
}

DeskPlaces Desk::designedAround(const DeskScreen& desk, const ClientSizes& sizes, const KeptPlaces& kept) const {
    return designDesk(desk, sizes, workAreas(), kept);
}

void Desk::placeAt(int form, const QPoint& topLeft) {
    placedAt_[form] = topLeft;
    opened_.insert(form);
    Window* window = app_.form(form);
    window->fitInto(fittedSizes(screenNow())[form]);
    moveFrameTo(*window, topLeft);
}

void Desk::moveFrameTo(QWidget& window, const QPoint& topLeft) const {
    // A window's position is that of its frame, but a window the window
    // manager has not framed yet would be put there with its client area. Once
    // the frame is known the client area is placed below it instead, which
    // does not depend on when the window manager frames the window.
    if (frameKnown_)
        window.setGeometry(QRect(topLeft + clientOffset(), window.size()));
    else
        window.move(topLeft);
}

QPoint Desk::clientOffset() const { return {frame_.left(), frame_.top()}; }

WorkAreas Desk::workAreas() const {
    auto* rijschema = app_.form(desk::kRijschema);
    return {rijschema->workArea(), app_.form(desk::kTimetable)->workArea(), rijschema->mustReachAreas()};
}

QList<QRect> Desk::controlsOnScreen() const {
    const Window& rijschema = *app_.form(desk::kRijschema);
    if (!rijschema.isVisible()) return {};
    return rijschemaControlsOnScreen(rijschema.frameGeometry(), rijschema.size(), workAreas(), frame_);
}

QList<QRect> Desk::watchedOnScreen(int form) const {
    QList<QRect> clear;
    for (int other = desk::kFirstForm; other <= desk::kLastForm; ++other)
        if (other != form && other != desk::openedFrom(form) && desk::layerOf(other) == desk::Layer::Small &&
            app_.form(other)->isVisible())
            clear.push_back(app_.form(other)->frameGeometry());
    return clear;
}

QPoint Desk::openingPlace(int form) const {
    const DeskScreen desk = screenNow();
    const ClientSizes sizes = fittedSizes(desk);
    const KeptPlaces kept = keptPlaces(desk, sizes);
    // Without a place of its own, beside what the operator works on in the
    // window it was opened from, clear of what the operator must reach and watches.
    const int parent = desk::openedFrom(form);
    if (!kept.contains(form) && parent != 0 && app_.form(parent)->isVisible())
        return besideWork(sizes[form].grownBy(frame_), workOnDesktop(*app_.form(parent)), desk, controlsOnScreen(),
                          watchedOnScreen(form))
            .topLeft();
    return designedAround(desk, sizes, kept)[form].topLeft();
}

void Desk::show(int form) {
    Window* window = app_.form(form);
    // Moved off a cell only while it stays open: opened again, it comes back.
    const bool setAside = !window->isVisible() && setAside_.erase(form) > 0;
    if (!placedAt_.contains(form) || setAside) placeAt(form, openingPlace(form));
    settling_.insert(form);
    QTimer::singleShot(kSettleMs, this, [this, form] { settling_.erase(form); });
    keepAboveTrackPlan(*window);
    window->showWindow();
    // Asked for, a task window comes up above the small windows, ready for the keyboard.
    if (desk::layerOf(form) == desk::Layer::Task) window->activateWindow();
}

void Desk::bringIntoView(Window& window, QWidget& part) {
    const int form = watched_.at(&window);
    window.scrollClearOf(part, watchedOnScreen(form));
    const QRect shown(part.mapToGlobal(QPoint()), part.size());
    const DeskScreen desk = screenNow();
    for (int other = desk::kFirstForm; other <= desk::kLastForm; ++other) {
        QWidget& opened = *app_.form(other);
        if (desk::openedFrom(other) != form || !opened.isVisible()) continue;
        // Moved by the desk for now, not remembered as the operator's place.
        const QPoint to = clearOf(opened.frameGeometry(), shown, desk).topLeft();
        if (to == opened.frameGeometry().topLeft()) continue;
        placedAt_[other] = to;
        setAside_.insert(other);
        moveFrameTo(opened, to);
    }
}

void Desk::learnFrame(const QWidget& window) {
    // Learnt once: every window has the same frame, and a window manager that
    // framed some differently must not set the windows moving to and fro.
    const QMargins margins = frameMargins(window);
    if (frameKnown_ || margins.isNull()) return;
    frameKnown_ = true;
    if (margins == frame_) return;
    frame_ = margins;
    // The places were worked out with a guessed frame: put the windows that
    // stand there where the real frame puts them.
    for (int form : std::set<int>(opened_))
        if (app_.form(form)->isVisible()) placeAt(form, openingPlace(form));
}

void Desk::noticeMove(int form, const QWidget& window) {
    const QPoint now = window.frameGeometry().topLeft();
    // Only the windows the desk opened: a window shown some other way has no place of its own yet.
    const auto placed = placedAt_.find(form);
    if (placed == placedAt_.end() || placed->second == now) return;
    // Not framed yet, a window placed below the known frame stands where it was put.
    if (frameKnown_ && window.geometry().topLeft() == placed->second + clientOffset()) return;
    if (settling_.erase(form) > 0) {
        // Some window managers pull a window taller than the screen up over
        // the button row when they first show it; it goes back below the row, once.
        moveFrameTo(*app_.form(form), placed->second);
        return;
    }
    placedAt_[form] = now;
    opened_.erase(form);
    remembered_[form] = now;
    changed_ = true;
    saveTimer_.start();
}

bool Desk::eventFilter(QObject* watched, QEvent* event) {
    const auto found = watched_.find(watched);
    if (found != watched_.end() && (event->type() == QEvent::Move || event->type() == QEvent::Show)) {
        const auto& window = *static_cast<QWidget*>(watched);
        if (window.isVisible()) {
            learnFrame(window);
            if (event->type() == QEvent::Move) noticeMove(found->second, window);
        }
    }
    return QObject::eventFilter(watched, event);
}

void Desk::saveIfChanged() {
    if (!changed_) return;
    try {
        writeWindowPlaces(settingsPath(true), remembered_);
        changed_ = false;
    } catch (const OperationError& failure) {
        // Said once: the layout runs on, and the next move tries again.
        if (!failureReported_) app_.state().reporter.message(std::string("Vensters.ini: ") + failure.what());
        failureReported_ = true;
    }
}

}  // namespace blokpost

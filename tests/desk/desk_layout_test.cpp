// The designed desk, worked out from the program's real windows for the
// screens an operator is likely to have.

#include "app/forms/main_window.h"
#include "desk/desk_layout.h"
#include "desk/forms/window.h"
#include "support/app_program.h"

#include <QWindow>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace blokpost::test {
namespace {

using namespace desk;

const QMargins kOpenboxFrame(1, 20, 1, 1);
const QMargins kWideFrame(8, 31, 8, 8);

constexpr int kScrollBar = 16;

struct Desk : ::testing::Test, AppProgram {
    Desk() {
        const auto* main = form<TForm1>(1);
        parts.buttonRow = main->buttonRowArea();
        parts.trackPlan = main->trackPlanArea();
        parts.lineButtons = main->lineButtonsArea();
        parts.lineButtonCaptions = main->lineButtonCaptionsArea();
        for (int form = kFirstForm; form <= kLastForm; ++form) designed[form] = app->form(form)->designedSize();
        work = {app->form(kRijschema)->workArea(), app->form(kTimetable)->workArea(), app->form(kRijschema)->mustReachAreas()};
    }

    DeskScreen screen(int width, int height, const QMargins& frame, const QPoint& origin = {}) const {
        DeskScreen desk = parts;
        desk.screen = QRect(origin, QSize(width, height));
        desk.buttonRow.translate(origin);
        desk.trackPlan.translate(origin);
        desk.lineButtons.translate(origin);
        desk.lineButtonCaptions.translate(origin);
        desk.frame = frame;
        return desk;
    }
    ClientSizes fitted(const DeskScreen& desk) const {
        ClientSizes sizes{};
        for (int form = kFirstForm; form <= kLastForm; ++form)
            sizes[form] = fittedClientSize(form, designed[form], desk, kScrollBar);
        return sizes;
    }
    DeskPlaces design(const DeskScreen& desk, const KeptPlaces& kept = {}) const {
        return designDesk(desk, fitted(desk), work, kept);
    }
    // The display windows on the Simulator or on a control of the Rijschema.
    std::string onWhatMustStayFree(const DeskScreen& desk, const DeskPlaces& places) const {
        QList<QRect> free = rijschemaControlsOnScreen(places[kRijschema], fitted(desk)[kRijschema], work, desk.frame);
        free << places[kSimulator];
        std::string forms;
        for (int form : kTileOrder)
            for (const QRect& r : free)
                if (places[form].intersects(r)) forms += std::to_string(form) + " ";
        return forms;
    }
    QRect onScreen(const QRect& workArea, const QRect& parentFrame, const QMargins& frame) const {
        return workArea.translated(parentFrame.topLeft() + QPoint(frame.left(), frame.top()));
    }

    DeskScreen parts;
    ClientSizes designed{};
    WorkAreas work;
};

// The small windows that stay above the others must not stand on each other:
// the pairs that do, as "8+20 9+20".
std::string overlappingSmallWindows(const DeskPlaces& places) {
    std::vector<int> small(kTileOrder.begin(), kTileOrder.end());
    small.push_back(kSimulator);
    std::string pairs;
    for (std::size_t i = 0; i < small.size(); ++i)
        for (std::size_t j = i + 1; j < small.size(); ++j)
            if (places[small[i]].intersects(places[small[j]]))
                pairs += std::to_string(small[i]) + "+" + std::to_string(small[j]) + " ";
    return pairs;
}

// On a laptop the windows an operator keeps open (the README's walk, the
// meters, the lines) find room beside each other; the boards that find none
// are placed last. The pairs that overlap all the same.
std::string overlappingKeptOpen(const DeskPlaces& places) {
    constexpr std::array keptOpen{kClock, kMeter1, kMeter2, kFirstBoard, kFirstBoard + 2, kLogbook, kLinesWindow, kSimulator};
    std::string pairs;
    for (int form : keptOpen)
        for (int other : keptOpen)
            if (other > form && places[form].intersects(places[other]))
                pairs += std::to_string(form) + "+" + std::to_string(other) + " ";
    return pairs;
}

struct Screen {
    int width;
    int height;
    QMargins frame;
    // With a wide frame a laptop screen has no room for all the small windows
    // side by side: they and the Simulator take 88 % of it.
    bool roomForAll = true;
};
// A laptop has no room for all of them off the Simulator and the Rijschema's controls: see overlappingKeptOpen.
const Screen kScreens[] = {{1920, 1080, kOpenboxFrame}, {1920, 1080, kWideFrame},        {1366, 768, kOpenboxFrame, false},
                           {1366, 768, kWideFrame, false}, {1280, 1024, kOpenboxFrame}, {2560, 1440, kWideFrame}};

// On every screen: the display windows never on each other, on the line
// buttons, on the Simulator or on a Rijschema control the operator must reach;
// no window on the button row; a window larger than the room below the button
// row cut down to it (it scrolls) and every window wholly on the screen, title
// bar and all; the Rijschema leaving the line buttons' captions in sight.
TEST_F(Desk, OnEveryScreenEachWindowOpensWhollyInItsOwnRoom) {
    for (const Screen& s : kScreens) {
        SCOPED_TRACE(testing::Message() << s.width << "x" << s.height << " top frame " << s.frame.top());
        const DeskScreen desk = screen(s.width, s.height, s.frame);
        const ClientSizes sizes = fitted(desk);
        const DeskPlaces places = design(desk);
        if (s.roomForAll) {
            EXPECT_EQ(overlappingSmallWindows(places), "");
        }
        EXPECT_EQ(onWhatMustStayFree(desk, places), "");
        for (int form : kTileOrder) {
            EXPECT_EQ(places[form].size(), designed[form].grownBy(s.frame)) << "form " << form;
            EXPECT_FALSE(places[form].intersects(desk.lineButtons)) << "form " << form;
        }
        for (int form = kFirstForm; form <= kLastForm; ++form) {
            EXPECT_FALSE(places[form].intersects(desk.buttonRow)) << "form " << form;
            EXPECT_TRUE(desk.screen.contains(places[form])) << "form " << form;
            EXPECT_EQ(places[form].size(), sizes[form].grownBy(s.frame)) << "form " << form;
        }
        EXPECT_FALSE(places[kRijschema].intersects(parts.lineButtonCaptions));
        EXPECT_EQ(places[kRijschema].bottom(), s.height - 1);
    }
    // "Start Lijn A" whole, centred on its 89-pixel button.
    EXPECT_GE(parts.lineButtonCaptions.width(), 60);
    EXPECT_LE(parts.lineButtonCaptions.width(), 89);
}

// The Rijschema on a laptop: cut to the room right of the line buttons'
// captions and below the button row. A window that fits keeps its designed
// size; a cut side leaves room for its scroll bar.
TEST_F(Desk, AWindowTooLargeIsCutDownToTheRoomWithItsScrollBar) {
    const DeskScreen laptop = screen(1366, 768, kOpenboxFrame);
    const QSize rijschema = fitted(laptop)[kRijschema];
    EXPECT_EQ(rijschema.width(), 1366 - parts.lineButtonCaptions.right() - 1 - 2);
    EXPECT_EQ(rijschema.height(), 768 - parts.buttonRow.height() - 21);
    EXPECT_EQ(fitted(laptop)[kSimulator], designed[kSimulator]);
    EXPECT_EQ(fittedClientSize(kReadSave, QSize(300, 900), laptop, kScrollBar), QSize(300 + kScrollBar, 722));
    EXPECT_EQ(fittedClientSize(kReadSave, QSize(2000, 300), laptop, kScrollBar), QSize(1366 - 2, 300 + kScrollBar));
}

TEST_F(Desk, OnAFullHdScreenTheDisplayWindowsKeepOffTheTrackPlan) {
    const DeskPlaces places = design(screen(1920, 1080, kOpenboxFrame));
    // Off the part of the track plan that the Rijschema leaves in sight.
    const QRect rijschema = places[kRijschema];
    for (int form : kTileOrder) {
        const QRect covered = places[form].intersected(parts.trackPlan);
        EXPECT_TRUE(covered.isEmpty() || rijschema.contains(covered)) << "form " << form;
    }
    // Along the bottom edge from the right: the clock, the meters, the two
    // tall windows, then the boards in order, past the Rijschema's buttons.
    EXPECT_EQ(places[kClock].bottomRight(), QPoint(1919, 1079));
    EXPECT_EQ(places[kMeter1].right() + 1, places[kClock].left());
    EXPECT_EQ(places[kMeter2].right() + 1, places[kMeter1].left());
    EXPECT_EQ(places[kLogbook].right() + 1, places[kMeter2].left());
    EXPECT_EQ(places[kLinesWindow].right() + 1, places[kLogbook].left());
    EXPECT_LT(places[kFirstBoard].right(), places[kLinesWindow].left());
    EXPECT_LT(places[kFirstBoard + 1].right(), places[kFirstBoard].left());
    EXPECT_EQ(std::pair(places[kFirstBoard].bottom(), places[kFirstBoard + 1].bottom()), std::pair(1079, 1079));
}

TEST_F(Desk, WindowsOpenedFromAnotherOpenBesideWhatTheyEdit) {
    const DeskScreen desk = screen(1920, 1080, kOpenboxFrame);
    const DeskPlaces places = design(desk);
    const QRect grid = onScreen(work.rijschemaGrid, places[kRijschema], desk.frame);
    const QRect list = onScreen(work.timetableList, places[kTimetable], desk.frame);
    EXPECT_FALSE(places[kPalette].intersects(grid));
    EXPECT_FALSE(places[kTimetableEditor].intersects(list));
    // "Give a Name" cannot clear a grid this size; it covers less of it than a centred window.
    const QSize giveName = designed[kGiveName].grownBy(desk.frame);
    const QRect centred(desk.screen.center() - QPoint(giveName.width() / 2, giveName.height() / 2), giveName);
    const auto covered = [&](const QRect& r) { return r.intersected(grid).width() * r.intersected(grid).height(); };
    EXPECT_LT(covered(places[kGiveName]), covered(centred));

    // A Rijschema the operator moved to the top left: the palette goes below its grid.
    const QRect movedGrid = onScreen(work.rijschemaGrid, QRect(QPoint(0, 40), QSize(1837, 876)), desk.frame);
    const QRect palette = besideWork(designed[kPalette].grownBy(desk.frame), movedGrid, desk);
    EXPECT_FALSE(palette.intersects(movedGrid));
    EXPECT_TRUE(desk.screen.contains(palette));
}

// Only the Rijschema stays below the small windows, above the track plan:
// clicking it never buries the small ones, and every other window (a small
// one or one asked for a task) can come above the others.
TEST_F(Desk, TheSmallWindowsAndTheTaskWindowsStayAboveTheRijschemaWhichStaysAboveTheTrackPlan) {
    app->form(1)->show();
    const QWindow* main = app->form(1)->windowHandle();
    ASSERT_NE(main, nullptr);
    for (int form = kFirstForm; form <= kLastForm; ++form) {
        app->showForm(form);
        const QWidget* window = app->form(form);
        EXPECT_EQ(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint), form != kRijschema) << "form " << form;
    }
    ASSERT_NE(app->form(kRijschema)->windowHandle(), nullptr);
    EXPECT_EQ(app->form(kRijschema)->windowHandle()->transientParent(), main);
}

// Remembered places that no longer fit the screens (another size, a screen
// that is gone, a place on the button row) are placed again together, around
// the remembered places that still fit, without the windows kept open overlapping
// (also with nothing remembered).
TEST_F(Desk, RememberedPlacesThatNoLongerFitArePlacedAgainAroundThoseThatStillFit) {
    const auto remember = [](const DeskPlaces& places) {
        std::map<int, QPoint> corners;
        for (int form = kFirstForm; form <= kLastForm; ++form) corners[form] = places[form].topLeft();
        return corners;
    };
    const QRect laptop(0, 0, 1366, 768);
    const QRect monitor(1366, 0, 1920, 1080);
    struct Case {
        const char* name;
        std::map<int, QPoint> remembered;
        QList<QRect> screens;
    };
    const Case cases[] = {
        {"nothing remembered", {}, {laptop}},
        {"left on a 1920x1080 screen", remember(design(screen(1920, 1080, kOpenboxFrame))), {laptop}},
        {"left on a second screen that is gone",
         remember(design(screen(1920, 1080, kOpenboxFrame, monitor.topLeft()))), {laptop}},
        {"the Rijschema over the button row", {{kRijschema, {0, 0}}, {kFirstBoard, {10, 100}}}, {laptop}},
        {"the Simulator off the screen, a board and a meter in its corner",
         {{kSimulator, {1300, 500}}, {kFirstBoard, {900, 100}}, {kMeter1, {1100, 200}}},
         {laptop}},
    };
    const DeskScreen desk = screen(1366, 768, kOpenboxFrame);
    const ClientSizes sizes = fitted(desk);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const KeptPlaces kept = placesThatFit(c.remembered, sizes, desk, c.screens, work);
        const DeskPlaces places = design(desk, kept);
        EXPECT_EQ(overlappingKeptOpen(places), "");
        EXPECT_EQ(onWhatMustStayFree(desk, places), "");
        if (c.remembered.contains(kSimulator) && !kept.contains(kSimulator)) {
            EXPECT_FALSE(kept.contains(kFirstBoard)) << "a Simulator placed again takes its corner back";
        }
        for (int form = kFirstForm; form <= kLastForm; ++form) {
            EXPECT_TRUE(desk.screen.contains(places[form])) << "form " << form;
            EXPECT_FALSE(places[form].intersects(desk.buttonRow)) << "form " << form;
            if (kept.contains(form)) {
                EXPECT_EQ(places[form].topLeft(), c.remembered.at(form)) << "form " << form << " still fits";
            }
        }
    }
    // Places on a screen that is still there are kept as they are.
    const DeskScreen onMonitor = screen(1920, 1080, kOpenboxFrame, monitor.topLeft());
    EXPECT_EQ(placesThatFit(remember(design(onMonitor)), fitted(onMonitor), desk, {laptop, monitor}, work).size(),
              std::size_t(kLastForm - kFirstForm + 1));
}

// Of sides that cover the work alike, a window opened beside it takes the
// first in its order: below, ending at the work's right end; above where the
// screen ends below the work.
TEST(BesideWork, OfSidesThatTieTheFirstInOrderIsTaken) {
    DeskScreen desk;
    desk.screen = QRect(0, 0, 1920, 1080);
    struct Case {
        QRect work;
        QPoint corner;
    };
    for (const Case& c : {Case{QRect(500, 300, 600, 300), QPoint(800, 600)},
                          Case{QRect(500, 800, 600, 280), QPoint(800, 600)}}) {
        const QPoint corner = besideWork(QSize(300, 200), c.work, desk).topLeft();
        EXPECT_EQ(std::pair(corner.x(), corner.y()), std::pair(c.corner.x(), c.corner.y())) << c.work.y();
    }
}

}  // namespace
}  // namespace blokpost::test

// The designed desk, worked out from the program's real windows for the
// screens an operator is likely to have.

#include "app/desk_layout.h"
#include "app/forms/blokpost_app.h"
#include "app/forms/main_window.h"
#include "app/forms/window.h"
#include "support/recording_board.h"
#include "support/test_program.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

using namespace desk;

const QMargins kOpenboxFrame(1, 20, 1, 1);
const QMargins kWideFrame(8, 31, 8, 8);

struct Desk : ::testing::Test {
    Desk() {
        const auto* main = app.formAs<TForm1>(1);
        parts.buttonRow = main->buttonRowArea();
        parts.trackPlan = main->trackPlanArea();
        parts.lineButtons = main->lineButtonsArea();
        for (int form = kFirstForm; form <= kLastForm; ++form) sizes[form] = app.form(form)->size();
        work = {app.form(kRijschema)->workArea(), app.form(kTimetable)->workArea()};
    }

    DeskScreen screen(int width, int height, const QMargins& frame) const {
        DeskScreen desk = parts;
        desk.screen = QRect(0, 0, width, height);
        desk.frame = frame;
        return desk;
    }
    DeskPlaces design(const DeskScreen& desk) const { return designDesk(desk, sizes, work); }
    QRect onScreen(const QRect& workArea, const QRect& parentFrame, const QMargins& frame) const {
        return workArea.translated(parentFrame.topLeft() + QPoint(frame.left(), frame.top()));
    }

    QTemporaryDir folder;
    RecordingReporter reporter;
    BlokpostApp app{folder.path(), &reporter, std::make_unique<RecordingBoard>()};
    DeskScreen parts;
    ClientSizes sizes{};
    WorkAreas work;
};

struct Screen {
    int width;
    int height;
    QMargins frame;
};
const Screen kScreens[] = {{1920, 1080, kOpenboxFrame}, {1920, 1080, kWideFrame}, {1366, 768, kOpenboxFrame},
                           {1366, 768, kWideFrame},     {1280, 1024, kOpenboxFrame}, {2560, 1440, kWideFrame}};

TEST_F(Desk, DisplayWindowsNeverOpenOnTopOfEachOtherNorAnyWindowOnTheButtonRow) {
    for (const Screen& s : kScreens) {
        SCOPED_TRACE(testing::Message() << s.width << "x" << s.height << " top frame " << s.frame.top());
        const DeskScreen desk = screen(s.width, s.height, s.frame);
        const DeskPlaces places = design(desk);
        for (std::size_t i = 0; i < kTileOrder.size(); ++i) {
            const QRect& tile = places[kTileOrder[i]];
            EXPECT_EQ(tile.size(), sizes[kTileOrder[i]].grownBy(s.frame)) << "form " << kTileOrder[i];
            for (std::size_t j = i + 1; j < kTileOrder.size(); ++j)
                EXPECT_FALSE(tile.intersects(places[kTileOrder[j]]))
                    << "forms " << kTileOrder[i] << " and " << kTileOrder[j];
            EXPECT_FALSE(tile.intersects(desk.lineButtons)) << "form " << kTileOrder[i];
        }
        for (int form = kFirstForm; form <= kLastForm; ++form)
            EXPECT_FALSE(places[form].intersects(desk.buttonRow)) << "form " << form;
    }
}

TEST_F(Desk, EveryWindowOpensOnTheScreenAsFarAsItsSizeAllows) {
    for (const Screen& s : kScreens) {
        SCOPED_TRACE(testing::Message() << s.width << "x" << s.height << " top frame " << s.frame.top());
        const DeskScreen desk = screen(s.width, s.height, s.frame);
        const DeskPlaces places = design(desk);
        for (int form = kFirstForm; form <= kLastForm; ++form) {
            const QRect& place = places[form];
            const bool fits = place.width() <= s.width && place.height() <= s.height - desk.buttonRow.height();
            if (fits) {
                EXPECT_TRUE(desk.screen.contains(place)) << "form " << form;
            } else {
                // The title bar, with the window's caption at its left, is on the screen.
                EXPECT_GE(place.left(), 0) << "form " << form;
                EXPECT_GE(place.top(), 0) << "form " << form;
                EXPECT_LE(place.top() + s.frame.top(), s.height) << "form " << form;
            }
        }
    }
}

TEST_F(Desk, OnAFullHdScreenTheDisplayWindowsKeepOffTheTrackPlan) {
    const DeskPlaces places = design(screen(1920, 1080, kOpenboxFrame));
    for (int form : kTileOrder) EXPECT_FALSE(places[form].intersects(parts.trackPlan)) << "form " << form;
    // Along the bottom edge from the right: the clock, the meters, the boards in order.
    EXPECT_EQ(places[kClock].bottomRight(), QPoint(1919, 1079));
    EXPECT_EQ(places[kMeter1].right() + 1, places[kClock].left());
    EXPECT_EQ(places[kMeter2].right() + 1, places[kMeter1].left());
    EXPECT_EQ(places[kFirstBoard].right() + 1, places[kMeter2].left());
    for (int board = kFirstBoard; board <= kLastBoard; ++board) {
        EXPECT_EQ(places[board].bottom(), board < kFirstBoard + 4 ? 1079 : places[kFirstBoard].top() - 1) << board;
        if (board % 4 != 0) {
            EXPECT_EQ(places[board].right() + 1, places[board - 1].left()) << board;
        }
    }
}

TEST_F(Desk, TheRijschemaLeavesEveryLineButtonAndTheTopOfTheTrackPlanInSight) {
    for (const QMargins& frame : {kOpenboxFrame, kWideFrame}) {
        const DeskScreen desk = screen(1920, 1080, frame);
        const QRect rijschema = design(desk)[kRijschema];
        const QRect firstButton(parts.lineButtons.topLeft(), QSize(parts.lineButtons.width(), 25));
        EXPECT_FALSE(rijschema.contains(firstButton));
        EXPECT_GT(rijschema.left(), firstButton.left());
        EXPECT_EQ(rijschema.bottom(), 1079);
    }
}

TEST_F(Desk, WindowsOpenedFromAnotherOpenBesideWhatTheyEdit) {
    const DeskScreen desk = screen(1920, 1080, kOpenboxFrame);
    const DeskPlaces places = design(desk);
    const QRect grid = onScreen(work.rijschemaGrid, places[kRijschema], desk.frame);
    const QRect list = onScreen(work.timetableList, places[kTimetable], desk.frame);
    EXPECT_FALSE(places[kPalette].intersects(grid));
    EXPECT_FALSE(places[kTimetableEditor].intersects(list));
    // "Give a Name" cannot clear a grid this size; it covers less of it than a centred window.
    const QSize giveName = sizes[kGiveName].grownBy(desk.frame);
    const QRect centred(desk.screen.center() - QPoint(giveName.width() / 2, giveName.height() / 2), giveName);
    const auto covered = [&](const QRect& r) { return r.intersected(grid).width() * r.intersected(grid).height(); };
    EXPECT_LT(covered(places[kGiveName]), covered(centred));

    // A Rijschema the operator moved to the top left: the palette goes below its grid.
    const QRect movedGrid = onScreen(work.rijschemaGrid, QRect(QPoint(0, 40), QSize(1837, 876)), desk.frame);
    const QRect palette = besideWork(sizes[kPalette].grownBy(desk.frame), movedGrid, desk);
    EXPECT_FALSE(palette.intersects(movedGrid));
    EXPECT_TRUE(desk.screen.contains(palette));
}

TEST_F(Desk, ARememberedPlaceOffEveryScreenComesBackOntoTheNearest) {
    const QRect laptop(0, 0, 1366, 768);
    const QRect monitor(1366, 0, 1920, 1080);
    const QRect board(QPoint(2000, 900), QSize(334, 164));
    // Still there on the second monitor: kept.
    EXPECT_EQ(bringOntoScreens(board, {laptop, monitor}), board);
    // The monitor is gone: onto the laptop's screen, its right and bottom edges on the screen's.
    EXPECT_EQ(bringOntoScreens(board, {laptop}), QRect(QPoint(1032, 604), QSize(334, 164)));
    // Half over the left edge: onto the screen it overlaps.
    EXPECT_EQ(bringOntoScreens(QRect(-100, 300, 334, 164), {laptop, monitor}).topLeft(), QPoint(0, 300));
    // Larger than the screen: its title bar at the top left.
    EXPECT_EQ(bringOntoScreens(QRect(-400, -50, 1837, 876), {laptop}).topLeft(), QPoint(0, 0));
}

}  // namespace
}  // namespace blokpost::test

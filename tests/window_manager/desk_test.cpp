// The desk under a real window manager on a 1366x768 screen: the frame it
// learns, where the windows open, and the place the operator moves one to.
// Frames and moves here are the window manager's; the offscreen platform has neither.

#include "app/forms/desk.h"
#include "app/forms/main_window.h"
#include "check/forms/controle_window.h"
#include "desk/desk_layout.h"
#include "desk/forms/window.h"
#include "lines/flag_indicators.h"
#include "schedule/forms/rijschema_window.h"
#include "support/app_program.h"

#include <QDeadlineTimer>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegion>
#include <QScrollArea>
#include <QScrollBar>
#include <QScreen>
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace blokpost::test {
namespace {

using namespace desk;

QMargins frameOf(const QWidget& window) {
    const QRect frame = window.frameGeometry(), client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

// How much of `area` (desktop coordinates) of `window` shows on its screen,
// in percent: what no window above it in the window manager's stacking covers.
int visiblePercent(const BlokpostApp& app, const QWidget& window, const QRect& area) {
    QProcess xprop;
    xprop.start("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"});
    xprop.waitForFinished();
    const QRect onScreen = area.intersected(window.screen()->geometry());
    QRegion shown(onScreen);
    bool above = false;
    for (const QString& id : QString::fromLatin1(xprop.readAllStandardOutput()).section('#', 1).split(',')) {
        for (int form = 1; above && form <= kLastForm; ++form)
            if (app.form(form)->isVisible() && app.form(form)->winId() == id.trimmed().toULong(nullptr, 16))
                shown -= app.form(form)->frameGeometry();
        above = above || window.winId() == id.trimmed().toULong(nullptr, 16);
    }
    qint64 left = 0;
    for (const QRect& r : shown) left += qint64(r.width()) * r.height();
    return int(100 * left / std::max<qint64>(1, qint64(onScreen.width()) * onScreen.height()));
}

struct DeskUnderWindowManager : ::testing::Test, AppProgram {
    DeskUnderWindowManager() : AppProgram(Later{}) {}
    void start(const std::string& rememberedPlaces = "") {
        if (!rememberedPlaces.empty()) writeFile("VasteData/Vensters.ini", "[Vensters]\n" + rememberedPlaces);
        AppProgram::start();
        app->start();
        ASSERT_TRUE(spinUntil([&] { return app->form(1)->isVisible(); }));
    }
    // Opens the windows and waits until the window manager has framed them all.
    void open(std::initializer_list<int> forms) {
        for (int form : forms) app->showForm(form);
        for (int form : forms)
            ASSERT_TRUE(spinUntil([&] { return !frameOf(*app->form(form)).isNull(); })) << "Form" << form;
    }
    // Once every window stands at the place the desk designs for it now;
    // else which stand elsewhere.
    ::testing::AssertionResult atTheirPlaces(std::initializer_list<int> forms) {
        const auto misplaced = [&] {
            std::string list;
            const DeskPlaces places = app->desk().firstPlaces();
            for (int form : forms) {
                const QPoint at = app->form(form)->frameGeometry().topLeft(), place = places[form].topLeft();
                if (at != place)
                    list += QString::asprintf(" Form%d at %d,%d not %d,%d", form, at.x(), at.y(), place.x(), place.y()).toStdString();
            }
            return list;
        };
        if (spinUntil([&] { return misplaced().empty(); })) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << misplaced();
    }
};

// Opened faster than the window manager frames them, the frame becomes known
// while some stand framed and others are still being framed; every window then
// stands where the real frame puts it, on this screen, the first one shown
// included. So too with places left, in an earlier run, on a second screen to
// the right of this one that is gone.
struct DeskOpening : DeskUnderWindowManager, ::testing::WithParamInterface<const char*> {};
TEST_P(DeskOpening, TheFrameIsLearntAndEveryWindowStandsAtItsPlaceOnThisScreen) {
    start(GetParam());
    const std::initializer_list<int> forms{kClock, kMeter1, kMeter2, 8, 9, 10, 11, 12, 13, 14, 15, kLogbook, kSimulator};
    open(forms);
    EXPECT_EQ(app->desk().screenNow().frame, frameOf(*app->form(kClock)));
    EXPECT_TRUE(atTheirPlaces(forms));
    for (int form : forms)
        EXPECT_TRUE(app->desk().screenNow().screen.contains(app->form(form)->frameGeometry())) << "Form" << form;
}
INSTANTIATE_TEST_SUITE_P(Remembered, DeskOpening, ::testing::Values("", "Form16=1500,300\nForm6=1800,300\nForm21=2400,100\n"),
                         [](const auto& places) { return places.param[0] ? "OnAScreenThatIsGone" : "Nothing"; });

TEST_F(DeskUnderWindowManager, AWindowTheOperatorMovesIsRememberedOnceItRests) {
    start();
    open({kClock});
    ASSERT_TRUE(atTheirPlaces({kClock}));
    // Past the moment the window manager still places a window it just showed.
    QDeadlineTimer settled(1000);
    spinUntil([&] { return settled.hasExpired(); });

    // Moved as another program (or the operator's drag) moves it: through the window manager.
    QWidget& clock = *app->form(kClock);
    const QPoint before = clock.frameGeometry().topLeft();
    ASSERT_EQ(QProcess::execute("xdotool", {"windowmove", QString::number(clock.winId()), "200", "150"}), 0);
    ASSERT_TRUE(spinUntil([&] { return clock.frameGeometry().topLeft() != before; }));
    const QPoint movedTo = clock.frameGeometry().topLeft();

    // Written while the program runs on, not only when it ends.
    const std::string expected = "Form16=" + std::to_string(movedTo.x()) + "," + std::to_string(movedTo.y());
    const QString places = folder.filePath(QStringLiteral("VasteData/Vensters.ini"));
    EXPECT_TRUE(spinUntil([&] { return readBytes(places).find(expected) != std::string::npos; }))
        << expected << " not in:\n" << readBytes(places);
    EXPECT_EQ(app->desk().remembered().at(kClock), movedTo);
}

// "Lijnen" opens beside the display windows an operator keeps open, wholly on
// a laptop's screen, off the button row, the line buttons and every other window.
TEST_F(DeskUnderWindowManager, TheLinesWindowOpensBesideTheOpenDisplayWindows) {
    start();
    const std::initializer_list<int> forms{kClock, kMeter1, kMeter2, 8, 10, kLogbook, kSimulator, kLinesWindow};
    open(forms);
    ASSERT_TRUE(atTheirPlaces(forms));
    const QRect lines = app->form(kLinesWindow)->frameGeometry();
    const DeskScreen desk = app->desk().screenNow();
    EXPECT_TRUE(desk.screen.contains(lines));
    EXPECT_FALSE(lines.intersects(desk.buttonRow) || lines.intersects(desk.lineButtons));
    for (int form : forms)
        EXPECT_TRUE(form == kLinesWindow || !lines.intersects(app->form(form)->frameGeometry())) << "Form" << form;
}

// On this screen (1366x768, and 1920x1080 once more) with the small windows
// of the README's walk open, what the operator must reach shows whole; so
// does each window the operator then asks for, wholly on the screen.
TEST_F(DeskUnderWindowManager, WhatTheOperatorAsksForOrMustReachShowsWhole) {
    // Bord3 kept, in an earlier run, where it would cover the laptop's green indicators.
    start("Form10=140,60\n");
    open({kRijschema, kSimulator, kLogbook, kFirstBoard, kFirstBoard + 2, kClock});
    auto& grid = *form<TForm4>(kRijschema);
    const auto* main = form<TForm1>(1);
    using Part = std::tuple<std::string, const QWidget*, std::function<QRect()>>;
    // A control of the grid as the operator reaches it: from the unscrolled
    // grid, scrolled only as far as it takes to show it whole.
    const auto whole = [](QWidget* w, Window* scrolled = nullptr) {
        return [=] {
            if (auto* scroll = scrolled ? scrolled->findChild<QScrollArea*>() : nullptr) {
                scroll->horizontalScrollBar()->setValue(0);
                scroll->verticalScrollBar()->setValue(0);
                scroll->ensureWidgetVisible(w, 0, 0);
            }
            return QRect(w->mapToGlobal(QPoint()), w->size());
        };
    };
    const Part lines{"line buttons", main, [main] { return main->lineButtonCaptionsArea().translated(main->mapToGlobal(QPoint())); }};
    std::vector<Part> parts{lines, {"Simulator", app->form(kSimulator), whole(app->form(kSimulator))}};
    for (int b : {1, 2, 3, 4, 5, 6, 7}) parts.emplace_back("Button" + std::to_string(b), &grid, whole(grid.Button[b], &grid));
    for (const auto& [family, n] : {std::pair(FlagFamily::Hold, 1), {FlagFamily::Hold, 10}, {FlagFamily::Hold, 20}, {FlagFamily::Memory, 1},
                                    {FlagFamily::Memory, 8}, {FlagFamily::Green, 1}, {FlagFamily::Green, 8}})
        parts.emplace_back("indicator " + std::to_string(indicatorShape(family, n)), &grid, whole(grid.Shape[indicatorShape(family, n)], &grid));
    std::string covered;
    const auto allShow = [&] {
        covered.clear();
        for (const auto& [name, window, area] : parts)
            if (const int shown = visiblePercent(*app, *window, area()); shown < 100) covered += " " + name + " " + std::to_string(shown) + "%";
        return covered.empty();
    };
    EXPECT_TRUE(spinUntil(allShow)) << covered;
    const std::pair<int, std::function<void()>> asked[] = {
        {kPalette, [&] { app->showForm(kPalette); }},   {kControle, [&] { grid.Button[7]->click(); }},
        {kGiveName, [&] { grid.Button[6]->click(); }},  {kMakeScreen, [&] { app->showForm(kMakeScreen); }},
        {kReadSave, [&] { app->showForm(kReadSave); }}, {kTimetableEditor, [&] { app->showForm(kTimetable); app->showForm(kTimetableEditor); }}};
    for (const auto& [asks, ask] : asked) {
        ask();
        parts = {lines, {"Form" + std::to_string(asks), app->form(asks), whole(app->form(asks))}};
        EXPECT_TRUE(spinUntil([&] { return app->form(asks)->isVisible() && allShow(); })) << covered;
        EXPECT_TRUE(app->desk().screenNow().screen.contains(app->form(asks)->frameGeometry())) << "Form" << asks;
    }
    // A click on a finding brings its cell into view, with the Controle list
    // whole: one cell on a line the boards stand over, one low in the grid.
    for (const auto& [line, step] : {std::pair(3, 4), {7, 3}}) {
        state().model.StepKind[line][step] = kind::MemRead;
        state().model.StepOperand[line][step] = 8;
    }
    for (int task : {kPalette, kGiveName, kMakeScreen, kReadSave, kTimetableEditor, kTimetable}) app->form(task)->hide();
    grid.Button[7]->click();
    ControleWindow& controle = *grid.controleWindow();
    const QPoint ownPlace = controle.frameGeometry().topLeft();
    for (int row : {0, 1}) {
        controle.list->setCurrentRow(row);
        parts = {lines, {"finding " + std::to_string(row), &grid, whole(grid.cellMark)}, {"Controle", &controle, whole(&controle)}};
        EXPECT_TRUE(spinUntil(allShow)) << covered;
    }
    // Moved off a cell only while it stays open.
    controle.hide();
    grid.Button[7]->click();
    EXPECT_TRUE(spinUntil([&] { return controle.isVisible() && controle.frameGeometry().topLeft() == ownPlace; }));
}

}  // namespace
}  // namespace blokpost::test

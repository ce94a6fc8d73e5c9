// On the screen the display runs at (1366x768 and 1920x1080), with the small
// windows of the README's walk open: every window the operator then asks for
// comes up whole, and nothing the operator must reach is covered. What is
// visible is measured from the window manager's own stacking order.

#include "app/forms/blokpost_app.h"
#include "app/forms/main_window.h"
#include "check/forms/controle_window.h"
#include "desk/desk_layout.h"
#include "desk/forms/window.h"
#include "lines/flag_indicators.h"
#include "schedule/forms/rijschema_window.h"
#include "support/test_program.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QPushButton>
#include <QRegion>
#include <QScreen>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>

namespace blokpost::test {
namespace {

using namespace desk;

bool eventsUntil(const std::function<bool()>& done, int ms = 10'000) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

// The client windows from the bottom of the stack up, as the window manager keeps them.
std::vector<WId> stackingOrder() {
    QProcess xprop;
    xprop.start("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"});
    xprop.waitForFinished();
    std::vector<WId> ids;
    const QString out = QString::fromLatin1(xprop.readAllStandardOutput());
    for (const QString& word : out.section('#', 1).split(',', Qt::SkipEmptyParts)) ids.push_back(word.trimmed().toULong(nullptr, 16));
    return ids;
}

qint64 areaOf(const QRegion& region) {
    qint64 area = 0;
    for (const QRect& r : region) area += qint64(r.width()) * r.height();
    return area;
}

struct AskedWindows : ::testing::Test {
    void SetUp() override {
        app = std::make_unique<BlokpostApp>(program.folder.path(), &reporter, std::make_unique<RecordingBoard>());
        app->start();
        ASSERT_TRUE(eventsUntil([&] { return app->form(1)->isVisible(); }));
    }
    TForm4& grid() { return *app->formAs<TForm4>(kRijschema); }
    void open(int form, const std::function<void()>& how) {
        how();
        ASSERT_TRUE(eventsUntil([&] { return app->form(form)->isVisible() && app->form(form)->frameGeometry() != app->form(form)->geometry(); }))
            << "Form" << form;
    }
    // The percentage of `area` (desktop coordinates) of `window` that no window above it covers, on the screen.
    int visiblePercent(const QWidget& window, const QRect& area) const {
        // Only the part on the screen counts: the main window's design runs past a laptop's bottom edge.
        const QRect onScreen = area.intersected(window.screen()->geometry());
        QRegion shown(onScreen);
        bool above = false;
        for (WId id : stackingOrder()) {
            if (id == window.winId()) above = true;
            else if (above)
                for (int form = 1; form <= kLastForm; ++form)
                    if (app->form(form)->isVisible() && app->form(form)->winId() == id)
                        shown -= app->form(form)->frameGeometry();
        }
        return int(100 * areaOf(shown) / std::max<qint64>(1, qint64(onScreen.width()) * onScreen.height()));
    }
    // Each window's client area, and each control, with how much of it shows; empty when all of it shows.
    using Part = std::pair<std::string, std::function<std::pair<const QWidget*, QRect>()>>;
    std::string covered(const std::vector<Part>& parts) const {
        std::string list;
        for (const auto& [name, where] : parts) {
            const auto [window, area] = where();
            if (const int percent = visiblePercent(*window, area); percent < 100)
                list += " " + name + " " + std::to_string(percent) + "%";
        }
        return list;
    }
    std::string coveredWhenSettled(const std::function<std::string()>& measure) const {
        std::string last;
        eventsUntil([&] { return (last = measure()).empty(); }, 3000);
        return last;
    }
    std::pair<const QWidget*, QRect> client(int form) const {
        const QWidget* w = app->form(form);
        return {w, QRect(w->mapToGlobal(QPoint(0, 0)), w->size())};
    }
    // A control of the Rijschema, scrolled into sight as the operator scrolls to it.
    std::pair<const QWidget*, QRect> control(QWidget& widget) {
        grid().scrollTo(widget);
        QCoreApplication::processEvents();
        return {&grid(), QRect(widget.mapToGlobal(QPoint(0, 0)), widget.size())};
    }

    TestProgram program;
    RecordingReporter reporter;
    std::unique_ptr<BlokpostApp> app;
};

TEST_F(AskedWindows, EachComesUpWholeAndNothingToReachIsCoveredWithTheSmallWindowsOpen) {
    const QSize screen = app->form(1)->screen()->size();
    SCOPED_TRACE(std::to_string(screen.width()) + "x" + std::to_string(screen.height()));
    for (int form : {kRijschema, kSimulator, kLogbook, kFirstBoard, kFirstBoard + 2, kClock})
        open(form, [&] { app->showForm(form); });
    auto* main = app->formAs<TForm1>(1);
    const Part lineButtons{"line buttons", [&] {
        return std::pair<const QWidget*, QRect>(main, main->lineButtonCaptionsArea().translated(main->mapToGlobal(QPoint(0, 0))));
    }};
    std::vector<Part> toReach{lineButtons, {"Simulator", [&] { return client(kSimulator); }}};
    for (int b = 1; b <= 7; ++b)
        if (b != 6) toReach.push_back({"Rijschema Button" + std::to_string(b), [&, b] { return control(*grid().Button[b]); }});
    for (int sensor = 1; sensor <= kSensors; sensor += 9)
        toReach.push_back({"hold indicator " + std::to_string(sensor),
                           [&, sensor] { return control(*grid().Shape[indicatorShape(FlagFamily::Hold, sensor)]); }});
    EXPECT_EQ(coveredWhenSettled([&] { return covered(toReach); }), "");

    // Each asked for in turn, the others left open: the new one whole, the line buttons in sight.
    const std::pair<int, std::function<void()>> asked[] = {
        {kPalette, [&] { app->showForm(kPalette); }},
        {kControle, [&] { grid().Button[7]->click(); }},
        {kGiveName, [&] { grid().Button[6]->click(); }},
        {kMakeScreen, [&] { app->showForm(kMakeScreen); }},
        {kReadSave, [&] { app->showForm(kReadSave); }},
        {kTimetableEditor, [&] { app->showForm(kTimetable); app->showForm(kTimetableEditor); }},
    };
    for (const auto& [form, how] : asked) {
        open(form, how);
        EXPECT_EQ(coveredWhenSettled([&] {
                      return covered({{"Form" + std::to_string(form), [&, form] { return client(form); }}, lineButtons});
                  }),
                  "")
            << "after Form" << form;
        EXPECT_TRUE(app->form(form)->screen()->availableGeometry().contains(app->form(form)->frameGeometry()))
            << "Form" << form;
    }
}

}  // namespace
}  // namespace blokpost::test

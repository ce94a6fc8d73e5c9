// Messages the operator must see: nothing thrown out of a handler, a tick or
// any event ends the program, and no message box is buried under the
// maximised main window.

#include "base/forms/guarded_application.h"
#include "base/forms/message_box_reporter.h"
#include "state/program_state.h"
#include "support/test_program.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QWidget>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

namespace blokpost::test {
namespace {

TEST(ExceptionGuard, AnyExceptionOfAHandlerIsReportedAndTheProgramCarriesOn) {
    TestProgram p;
    EXPECT_FALSE(guarded(p.state, [] { throw std::bad_alloc(); }));
    EXPECT_FALSE(guarded(p.state, [] { throw std::logic_error("table index"); }));
    EXPECT_FALSE(guarded(p.state, [] { throw 7; }));
    ASSERT_EQ(p.reporter.messages.size(), 3u);
    EXPECT_EQ(p.reporter.messages[0].rfind("Not enough memory", 0), 0u) << p.reporter.messages[0];
    EXPECT_NE(p.reporter.messages[1].find("table index"), std::string::npos);
    EXPECT_EQ(p.reporter.messages[2].rfind("Unexpected error", 0), 0u);
    // The cycle runs on after a handler failed.
    p.ticks(3);
    EXPECT_EQ(p.state.cycle.Phase, 3);
}

class ThrowingObject : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) throw std::bad_alloc();
        return QObject::event(event);
    }
};

// Whatever escapes an event (a click, a timer tick, a repaint) stops at the
// application, which reports it; the event loop goes on.
TEST(ExceptionGuard, AnExceptionOutOfAnEventIsReportedByTheApplication) {
    auto* application = GuardedApplication::instance();
    ASSERT_NE(application, nullptr);
    RecordingReporter reporter;
    application->reportTo(&reporter);
    ThrowingObject object;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&object, &event));
    application->reportTo(nullptr);
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].rfind("Not enough memory", 0), 0u);
}

std::vector<QMessageBox*> visibleBoxes() {
    std::vector<QMessageBox*> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) boxes.push_back(box);
    return boxes;
}

// A board library refused at start speaks before the main window is shown:
// its box opens once the main window stands, and belongs to it, so the
// window manager keeps it on top.
TEST(MessageBoxes, AMessageRaisedBeforeTheMainWindowIsShownOpensOnTopOfIt) {
    QWidget mainWindow;
    MessageBoxReporter reporter;
    reporter.keepAbove(&mainWindow);
    reporter.message("Board library lacks ReadAnalogChannel; it is not used.");
    QCoreApplication::processEvents();
    EXPECT_TRUE(visibleBoxes().empty());
    EXPECT_EQ(reporter.waiting().size(), 1u);

    mainWindow.showMaximized();
    QCoreApplication::processEvents();
    ASSERT_EQ(visibleBoxes().size(), 1u);
    EXPECT_EQ(visibleBoxes()[0]->parentWidget(), &mainWindow);
    EXPECT_TRUE(reporter.waiting().empty());

    // Raised from a window that stays on top (Read / Save), it stands above that too.
    reporter.message("File not found");
    ASSERT_EQ(visibleBoxes().size(), 2u);
    for (QMessageBox* box : visibleBoxes()) {
        EXPECT_EQ(box->parentWidget(), &mainWindow);
        EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
    }
    for (QMessageBox* box : visibleBoxes()) box->close();
}

}  // namespace
}  // namespace blokpost::test

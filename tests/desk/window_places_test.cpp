// The places the operator left the windows in: the settings file, and the
// round trip through a closed and restarted program.

#include "app/forms/desk.h"
#include "desk/desk_layout.h"
#include "desk/forms/window.h"
#include "desk/window_places.h"
#include "support/app_program.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QScrollArea>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

using namespace desk;

struct WindowPlacesFile : ::testing::Test {
    QString path(const char* name = "Vensters.ini") const { return folder.filePath(QString::fromLatin1(name)); }
    void write(const std::string& text) const { writeBytes(path(), text); }
    QTemporaryDir folder;
};

TEST_F(WindowPlacesFile, WrittenPlacesReadBackTheSame) {
    const WindowPlaces places{{kRijschema, QPoint(83, 204)}, {kFirstBoard, QPoint(-1200, 40)}, {kSimulator, QPoint(0, 0)}};
    writeWindowPlaces(path(), places);
    EXPECT_EQ(readWindowPlaces(path()), places);
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("[Vensters]\r\nForm4=83,204\r\n"));
}

TEST_F(WindowPlacesFile, DamagedLinesAreSkippedAndTheRestIsKept) {
    write("[Vensters]\n"
          "Form8=10,20\n"
          "Form9=10\n"              // no y
          "Form10=a,b\n"            // no numbers
          "Form11=10,20,30\n"       // a third number
          "Form1=5,5\n"             // the main window is not placed
          "Form24=5,5\n"            // no such window
          "Form12=2000000000,0\n"   // far off any desktop
          "Form13 = 7 , -8 \r\n"    // blanks and a CR LF line end
          "\x01\xff garbage\n"
          "[Other]\n"
          "Form14=1,2\n");
    EXPECT_EQ(readWindowPlaces(path()), (WindowPlaces{{8, QPoint(10, 20)}, {13, QPoint(7, -8)}}));
}

TEST_F(WindowPlacesFile, AMissingUnreadableOrOversizedFileGivesNoPlaces) {
    EXPECT_TRUE(readWindowPlaces(path("missing.ini")).empty());
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("folder.ini")));
    EXPECT_TRUE(readWindowPlaces(path("folder.ini")).empty());
    write("[Vensters]\nForm8=10,20\n" + std::string(100 * 1024, ';'));
    EXPECT_TRUE(readWindowPlaces(path()).empty());
}

// A program on a temporary installation; closing it is destroying it.
struct WindowRoundTrip : ::testing::Test, AppProgram {
    WindowRoundTrip() : AppProgram(Later{}) {}
    QPoint placeOf(int form) const { return app->form(form)->frameGeometry().topLeft(); }
    static void settle() { QCoreApplication::processEvents(); }
    // The operator moves a window a while after it opened.
    void moveByHand(int form, const QPoint& to) const {
        QThread::msleep(600);
        settle();
        app->form(form)->move(to);
        settle();
    }
    QString settings() const { return folder.filePath(QStringLiteral("VasteData/Vensters.ini")); }
    void writeSettings(const QByteArray& text) const {
        QDir(folder.path()).mkpath(QStringLiteral("VasteData"));
        writeBytes(settings(), text.toStdString());
    }
    QPoint designed(int form) const { return designedPlaces()[form].topLeft(); }
    DeskPlaces designedPlaces() const { return app->desk().firstPlaces(); }
};

TEST_F(WindowRoundTrip, AMovedWindowOpensWhereItWasLeftAfterARestart) {
    start();
    app->showForm(kFirstBoard);
    settle();
    EXPECT_EQ(placeOf(kFirstBoard), designed(kFirstBoard));
    // Opening a window at its designed place is no move of the operator's.
    EXPECT_TRUE(app->desk().remembered().empty());

    moveByHand(kFirstBoard, QPoint(200, 440));  // off the Simulator and the Rijschema's controls
    app->form(kFirstBoard)->hide();
    app->showForm(kFirstBoard);
    settle();
    EXPECT_EQ(placeOf(kFirstBoard), QPoint(200, 440));
    close();
    EXPECT_TRUE(QFile::exists(settings()));

    start();
    app->showForm(kFirstBoard);
    app->showForm(kFirstBoard + 1);
    settle();
    EXPECT_EQ(placeOf(kFirstBoard), QPoint(200, 440));
    EXPECT_EQ(placeOf(kFirstBoard + 1), designed(kFirstBoard + 1));
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(WindowRoundTrip, AWindowManagerPullingANewWindowOverTheButtonRowIsOverruled) {
    start();
    app->showForm(kRijschema);
    settle();
    const QPoint place = designed(kRijschema);
    ASSERT_EQ(placeOf(kRijschema), place);
    // As a window manager does with a window taller than the screen.
    app->form(kRijschema)->move(place.x(), 0);
    settle();
    EXPECT_EQ(placeOf(kRijschema), place);
    EXPECT_TRUE(app->desk().remembered().empty());
}

TEST_F(WindowRoundTrip, ADamagedFileGivesTheDesignedPlacesWithoutAMessage) {
    QByteArray damaged("[Vensters]\nForm8=oops\nForm9");
    damaged.append('\0').append("=1,1\n");
    writeSettings(damaged);
    start();
    app->showForm(kFirstBoard);
    app->showForm(kFirstBoard + 1);
    settle();
    EXPECT_EQ(placeOf(kFirstBoard), designed(kFirstBoard));
    EXPECT_EQ(placeOf(kFirstBoard + 1), designed(kFirstBoard + 1));
    EXPECT_TRUE(reporter.messages.empty());
}

// A remembered place that no longer fits the screen opens as designed; a
// window larger than the screen opens cut down below the button row, its
// content scrolled.
TEST_F(WindowRoundTrip, APlaceThatNoLongerFitsOpensAsDesignedAndALargeWindowScrolls) {
    struct Case {
        int form;
        const char* places;
    };
    // The last: the Simulator placed again takes its corner from the clock kept there.
    for (const Case& c : {Case{kClock, "Form16=5000,-3000"}, Case{kClock, "Form16=-5000,-3000"},
                          Case{kClock, "Form16=0,0"}, Case{kRijschema, "Form4=0,0"},
                          Case{kClock, "Form21=5000,5000\r\nForm16=600,100"}}) {
        SCOPED_TRACE(testing::Message() << "form " << c.form << ": " << c.places);
        writeSettings(QByteArray("[Vensters]\r\n") + c.places + "\r\n");
        start();
        app->showForm(c.form);
        settle();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect frame = app->form(c.form)->frameGeometry();
        EXPECT_EQ(frame.topLeft(), designed(c.form));
        EXPECT_NE(frame.topLeft(), QPoint(600, 100));
        EXPECT_TRUE(screen.contains(frame)) << frame.x() << "," << frame.y();
        EXPECT_FALSE(frame.intersects(app->desk().screenNow().buttonRow));
        const bool cut = app->form(c.form)->designedSize() != app->form(c.form)->size();
        EXPECT_EQ(app->form(c.form)->findChild<QScrollArea*>() != nullptr, cut);
        close();
    }
    // The test screen is smaller than the Rijschema.
    EXPECT_LT(QGuiApplication::primaryScreen()->availableGeometry().width(), 1835);
}

TEST_F(WindowRoundTrip, ASaveThatFailsIsSaidOnceAndTheProgramRunsOn) {
    // A folder where the file should be: every save fails.
    QDir(folder.path()).mkpath(QStringLiteral("VasteData/Vensters.ini"));
    start();
    app->showForm(kLogbook);
    settle();
    moveByHand(kLogbook, QPoint(30, 60));
    app->desk().saveIfChanged();
    moveByHand(kLogbook, QPoint(40, 60));
    app->desk().saveIfChanged();
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages.front().rfind("Vensters.ini: ", 0), 0u);
    EXPECT_EQ(placeOf(kLogbook), QPoint(40, 60));
}

}  // namespace
}  // namespace blokpost::test

// The main window as the operator uses it: the mouse on the pin drawings.

#include "app/forms/main_window.h"
#include "schedule/forms/rijschema_window.h"
#include "support/app_program.h"
#include "support/test_input.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QPushButton>
#include <QUrl>
#include <QWindow>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

// Pressed at one point of the widget, released at another (possibly off it).
void pressAndRelease(QWidget* widget, Qt::MouseButton button, QPointF releasedAt = QPointF(5, 5)) {
    sendMouse(widget, QEvent::MouseButtonPress, button, QPointF(5, 5));
    sendMouse(widget, QEvent::MouseButtonRelease, button, releasedAt);
}

struct MainWindow : ::testing::Test, AppProgram {
    TForm1* main() { return form<TForm1>(1); }
    QPushButton* button(const QString& text) {
        const auto buttons = main()->findChildren<QPushButton*>();
        return *std::find_if(buttons.begin(), buttons.end(), [&](auto* b) { return b->text() == text; });
    }
};

TEST_F(MainWindow, APinDrawingSwitchesOnlyOnALeftClickPressedAndReleasedOnIt) {
    QWidget* drawing = main()->Image[5];
    pressAndRelease(drawing, Qt::RightButton);
    pressAndRelease(drawing, Qt::MiddleButton);
    pressAndRelease(drawing, Qt::LeftButton, QPointF(150, 5));  // dragged off to the right
    pressAndRelease(drawing, Qt::LeftButton, QPointF(5, -3));   // and off the top
    EXPECT_EQ(std::pair(state().model.PinRequest, state().pins.PlateState[5]), std::pair(-1, std::string()));
    pressAndRelease(drawing, Qt::LeftButton, QPointF(95, 34));  // the far corner is still on it
    EXPECT_EQ(std::pair(state().model.PinRequest, state().pins.PlateState[5]), std::pair(9, std::string("A")));
    pressAndRelease(drawing, Qt::LeftButton);
    EXPECT_EQ(std::pair(state().model.PinRequest, state().pins.PlateState[5]), std::pair(8, std::string("B")));

    // A right press held while the left button clicks does not count twice.
    sendMouse(drawing, QEvent::MouseButtonPress, Qt::LeftButton, QPointF(5, 5));
    sendMouse(drawing, QEvent::MouseButtonRelease, Qt::RightButton, QPointF(5, 5));
    EXPECT_EQ(state().pins.PlateState[5], "B");
    sendMouse(drawing, QEvent::MouseButtonRelease, Qt::LeftButton, QPointF(5, 5));
    EXPECT_EQ(state().pins.PlateState[5], "A");
}

// While lines run, "Exit" asks once and the cycle runs on; a press within ten seconds ends the program.
TEST_F(MainWindow, ExitAsksOnceWhileLinesRun) {
    int quits = 0;
    main()->quit = [&] { ++quits; };
    main()->lineButton[1]->click();  // in a service without steps for it: it says it does nothing
    EXPECT_NE(reporter.messages.at(0).find("geen stappen"), std::string::npos);
    QPushButton* exit = button("Exit");
    exit->click();
    EXPECT_EQ(std::pair(quits, reporter.messages.back().rfind("Lijn A rijdt nog", 0)), std::pair(0, 0ul));
    ticks(80);  // ten seconds on, the operator chose to run on: asked again
    exit->click();
    EXPECT_EQ(std::pair(quits, reporter.messages.back().rfind("Lijn A rijdt nog", 0)), std::pair(0, 0ul));
    exit->click();
    EXPECT_EQ(quits, 1);
}

// Stands in for the desktop's viewer.
class Viewer : public QObject {
    Q_OBJECT
public:
    Viewer() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~Viewer() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

// "Help" opens the first-steps guide beside the program in the desktop's
// viewer; without one it says where the same steps are.
TEST_F(MainWindow, HelpOpensTheFirstStepsGuide) {
    Viewer viewer;
    QPushButton* help = button("Help");
    help->click();
    EXPECT_NE(reporter.messages.at(0).find("README.md"), std::string::npos) << reporter.messages[0];
    const QString guide = QCoreApplication::applicationDirPath() + QStringLiteral("/first-steps.html");
    writeBytes(guide, "<html></html>");
    help->click();
    QFile::remove(guide);
    EXPECT_EQ(viewer.opened, QList<QUrl>({QUrl::fromLocalFile(guide)}));
}

TEST_F(MainWindow, TheGridIndicatorsStillAnswerAPressOfAnyButton) {
    auto* grid = form<TForm4>(4);
    sendMouse(grid->Shape[3], QEvent::MouseButtonPress, Qt::MiddleButton, QPointF(5, 5));
    EXPECT_EQ(state().model.HoldFlag[3], 1);
    sendMouse(grid->Shape[3], QEvent::MouseButtonPress, Qt::LeftButton, QPointF(5, 5));
    EXPECT_EQ(state().model.HoldFlag[3], 0);
    sendMouse(grid->Shape[3], QEvent::MouseButtonRelease, Qt::LeftButton, QPointF(5, 5));
    EXPECT_EQ(state().model.HoldFlag[3], 0);  // the release does nothing more
}

TEST_F(MainWindow, OnlyExitEndsTheProgramNotACloseFromTheWindowManager) {
    main()->show();
    QCloseEvent fromWindowManager;
    QApplication::sendEvent(main()->windowHandle(), &fromWindowManager);
    EXPECT_FALSE(fromWindowManager.isAccepted());
    EXPECT_TRUE(main()->isVisible());
    EXPECT_TRUE(main()->close());
}

}  // namespace
}  // namespace blokpost::test

#include "main_window_test.moc"

// blokpost-screenshots OUTPUT-FOLDER
//   lays the pictures out in a scratch installation, sets up a small working
//   scene (drawings on the plan, a few steps written, two lines running, the
//   meters, boards, clock and logbook filled in), and renders every window
//   Form1..Form20 into OUTPUT-FOLDER/formNN-name.png; then the Browser window
//   and the two pages of the view in the browser as headless Chromium shows
//   them (browser-*.png), when Chromium is installed.

#include "app/forms/blokpost_app.h"
#include "app/main_cycle.h"
#include "artwork/artwork.h"
#include "board/simulated_board.h"
#include "desk/forms/window.h"
#include "lines/model_clock.h"
#include "lines/step_marker.h"
#include "schedule/cell_writer.h"
#include "schedule/rijschema.h"
#include "state/logbook.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <unistd.h>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

namespace blokpost {
namespace {

class PrintingReporter : public Reporter {
public:
    void message(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
    bool confirm(const std::string&) override { return true; }
};

struct Step {
    int line;
    int step;
    const char* kind;
    int operand;
};

// A short program on lines A and B, one instruction of every kind.
constexpr Step kSteps[] = {
    {1, 1, "Pin", 0},     {1, 2, "Timer", 20},  {1, 3, "Sensor", 3},  {1, 4, "Pin", 65},
    {1, 5, "HSensor", 4}, {1, 6, "MemMake", 2}, {1, 7, "Jump", 1},    {2, 1, "Green", 5},
    {2, 2, "MemRead", 2}, {2, 3, "Pin", 3},     {2, 4, "Timer", 45},  {2, 5, "Blanco", 5},
    {2, 6, "Jump", 2},
};

// Drawings laid over the free middle of the plan: two points, two signals, three sensors.
struct Placement {
    int element;  // layout element: pin drawing k is k - 1, sensor s is 62 + s
    int x;
    int y;
    int pin;      // pin whose picture is shown; 0 for a sensor
};
constexpr Placement kPlacements[] = {
    {0, 470, 190, 1},   {32, 590, 190, 66}, {33, 710, 190, 67}, {1, 830, 190, 4},
    {65, 470, 240, 0},  {66, 590, 240, 0},  {73, 710, 240, 0},
};

void layOutScene(BlokpostApp& app, SimulatedBoard& board) {
    ProgramState& s = app.state();
    s.clock.ClockMinutes = 10 * 60 + 27;
    s.pins.PinName[0] = "W1 rt";
    s.pins.PinName[3] = "W2 af";
    s.pins.PinName[65] = "S1 gr";
    for (const Placement& at : kPlacements) {
        s.screen.main.element[at.element] = {at.x, at.y, true};
        Canvas& drawing = s.screen.main.drawing[at.element + 1];
        if (at.pin > 0) {
            drawing.load(s.paths.find("Tekeningen/Tek" + std::to_string(at.pin) + ".bmp"));
        } else {
            const int sensor = at.element - 62;
            drawing.load(s.paths.find("Tekeningen/Sen" + std::to_string(sensor) + (sensor == 3 ? "H" : "L") + ".bmp"));
        }
    }
    for (int line = 1; line <= 4; ++line) s.screen.main.element[82 + line].visible = true;

    for (const Step& step : kSteps) CelMaken(s, cellNumber(step.line, step.step), step.operand, step.kind);
    s.screen.rijschema.cell[kVariantPicture].load(s.paths.find("VasteData/Normaledienst.bmp"));
    MaakHold(s, 3);
    MaakHold(s, 12);
    MaakMem(s, 2);
    for (int line = 1; line <= 4; ++line) {
        MaakGreen(s, line);
        MaakGreen(s, line);
    }
    MaakGreen(s, 5);
    ToggleLine(s, 1);
    ToggleLine(s, 2);
    MoveStepMarker(s, 2, 1, 4);
    s.model.CurrentStep[2] = 4;

    board.setAnalogInput(1, 150);
    board.setAnalogInput(2, 60);
    for (int line = 1; line <= kLines; ++line) {
        s.timetable.BoardDestination[line] = line % 2 ? "Dijkstad" : "Zandhaven";
        s.timetable.BoardVia[line] = "Hoogveen, Goederen";
        s.timetable.BoardTrain[line] = line % 2 ? "Sprinter" : "Intercity";
        s.timetable.BoardPlatform[line] = static_cast<std::uint8_t>(line % 3 + 1);
        s.screen.display.board[line].load(s.paths.find("VasteData/Bord.bmp"));
        DrawBoardText(s, line, s.clock.ClockMinutes + 3 * line);
    }
    for (int tick = 0; tick < 5; ++tick) Hoofdlus(s);  // through phase 5: both meters
    DrawClockFace(s, s.clock.ClockMinutes, 42);
    WriteLogLine(s, "W1 rt");
    WriteLogLine(s, "S1 gr");
    app.syncAll();
}

// Chromium draws the page while this program serves it.
bool shootPage(const QString& url, const QString& file, const QSize& size) {
    QTemporaryDir profile;
    QStringList arguments{QStringLiteral("--headless=new"), QStringLiteral("--disable-gpu"),
                          QStringLiteral("--hide-scrollbars"), QStringLiteral("--no-first-run"),
                          QStringLiteral("--user-data-dir=") + profile.path(),
                          QStringLiteral("--window-size=%1,%2").arg(size.width()).arg(size.height()),
                          QStringLiteral("--virtual-time-budget=3000"), QStringLiteral("--screenshot=") + file, url};
    if (geteuid() == 0) arguments.prepend(QStringLiteral("--no-sandbox"));
    QProcess chromium;
    chromium.setStandardErrorFile(QProcess::nullDevice());
    chromium.start(QStringLiteral("chromium"), arguments);
    QElapsedTimer waited;
    waited.start();
    while (chromium.state() != QProcess::NotRunning && waited.elapsed() < 60000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        chromium.waitForFinished(10);
    }
    return chromium.exitStatus() == QProcess::NormalExit && QFileInfo::exists(file);
}

int shootBrowserView(BlokpostApp& app, const QString& output) {
    ProgramState& s = app.state();
    for (int line = 1; line <= 6; ++line) {
        s.timetable.DepartureMinute[line] = s.clock.ClockMinutes + 4 * line - 1;
        s.timetable.DepartureInterval[line] = 30;
    }
    // Line C waits on a memory no line sets: the watch marks it.
    s.model.StepKind[3][1] = "MemRead";
    s.model.StepOperand[3][1] = 7;
    ToggleLine(s, 3);
    app.tick();
    if (!app.webView().switchOn(false, 0)) return 1;
    app.showBrowserWindow();
    app.syncAll();
    int failures = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowTitle() == QLatin1String("Browser"))
            failures += !window->grab().save(QDir(output).filePath(QStringLiteral("browser-window.png")));
    const QString base = app.webView().operatorAddress();
    const struct {
        const char* page;
        const char* file;
        QSize size;
    } shots[] = {{"", "browser-operator.png", {1280, 800}},
                 {"", "browser-operator-phone.png", {412, 915}},
                 {"bezoekers", "browser-visitors.png", {1280, 720}}};
    for (const auto& shot : shots)
        failures += !shootPage(base + QLatin1String(shot.page), QDir(output).filePath(QLatin1String(shot.file)), shot.size);
    return failures;
}

QString fileName(int form, const QString& caption) {
    QString slug = caption.toLower();
    slug.replace(QRegularExpression(QStringLiteral("[^a-z0-9]+")), QStringLiteral("-"));
    return QStringLiteral("form%1-%2.png").arg(form, 2, 10, QLatin1Char('0')).arg(slug);
}

}  // namespace
}  // namespace blokpost

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: blokpost-screenshots OUTPUT-FOLDER\n");
        return 2;
    }
    using namespace blokpost;
    const QString output = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(output);
    QTemporaryDir installation;
    if (!installation.isValid() || !artwork::writeMissingPictures(installation.path()).isEmpty()) {
        std::fprintf(stderr, "cannot lay out the pictures\n");
        return 1;
    }
    PrintingReporter reporter;
    auto board = std::make_unique<SimulatedBoard>();
    SimulatedBoard& boardView = *board;
    BlokpostApp app(installation.path(), &reporter, std::move(board));
    layOutScene(app, boardView);

    int failures = 0;
    for (int n = 1; n <= 20; ++n) {
        Window* window = app.form(n);
        window->show();
        QApplication::processEvents();
        const QString file = QDir(output).filePath(fileName(n, window->windowTitle()));
        if (!window->grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            ++failures;
        }
        window->hide();
    }
    if (!QStandardPaths::findExecutable(QStringLiteral("chromium")).isEmpty()) failures += shootBrowserView(app, output);
    std::printf("blokpost-screenshots: windows written to %s\n", qPrintable(output));
    return failures == 0 ? 0 : 1;
}

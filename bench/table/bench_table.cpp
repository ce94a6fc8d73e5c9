// make bench's summary: one table of the figures that matter to an operator,
// each against its target, measured on a real installation folder (the
// pictures and the demo files) with all eight lines running.

#include "app/forms/blokpost_app.h"
#include "app/main_cycle.h"
#include "artwork/artwork.h"
#include "base/canvas.h"
#include "bench_rows.h"
#include "board/driver_board.h"
#include "demo_installation.h"
#include "hostile_reads.h"
#include "layout/layout_store.h"
#include "lines/step_marker.h"
#include "logbook_rows.h"
#include "picture_load_time.h"
#include "schedule/schedule_files.h"
#include "timetable/timetable.h"
#include "usb_rows.h"
#include "web_rows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

namespace {

using namespace blokpost;
using Clock = std::chrono::steady_clock;

std::int64_t nanosecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count();
}

using bench::median;
using bench::Row;

double residentMegabytes() { return bench::statusMegabytes("VmRSS:"); }

void printTable(const std::vector<Row>& rows) {
    std::printf("\n| Measure | Figure | Target | |\n|---|---:|---:|---|\n");
    for (const Row& r : rows) bench::printRow(r);
}

void layOut(const QString& root) {
    demo::writeMissingDemoFiles(root);
    artwork::writeMissingPictures(root);
}

// The program as an operator starts it, up to its first tick.
void measureStart(const QString& root, std::vector<Row>& rows, Clock::time_point processStart,
                  std::int64_t layoutNanoseconds) {
    SilentReporter quiet;
    BlokpostApp app(root, &quiet);
    bool ticked = false;
    double toFirstTick = 0;
    app.start();
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!ticked && app.state().cycle.Phase >= 1) {
            ticked = true;
            toFirstTick = static_cast<double>(nanosecondsSince(processStart) - layoutNanoseconds) / 1e6;
            QCoreApplication::quit();
        }
    });
    poll.start();
    QApplication::exec();
    rows.push_back({"start of the program to its first tick", toFirstTick, "ms", 300});
    rows.push_back({"resident memory after start", residentMegabytes(), "MB", 60});
}

void startAllLines(ProgramState& s);

// The whole program's tick (the cycle, the watch, every window's refresh) with the browser view.
void measureBrowserView(const QString& root, std::vector<Row>& rows) {
    SilentReporter quiet;
    BlokpostApp app(root, &quiet);
    startAllLines(app.state());
    bench::measureBrowserView(app, rows);
}

// All eight lines running: lines E..H run copies of the demo's lines A..D.
void startAllLines(ProgramState& s) {
    guarded(s, [&] { Lezen(s); });
    guarded(s, [&] { MaakSchema(s, 1); });
    for (int line = 5; line <= kLines; ++line) {
        s.model.StepKind[line] = s.model.StepKind[line - 4];
        s.model.StepOperand[line] = s.model.StepOperand[line - 4];
        s.model.StepCounter[line] = s.model.StepCounter[line - 4];
    }
    guarded(s, [&] { SchemaTekenen(s); });
    guarded(s, [&] { LeesRood(s); });
    for (int line = 1; line <= kLines; ++line) ToggleLine(s, line);
    s.screen.display.clockShown = true;
}

void measureCycle(const QString& root, std::vector<Row>& rows) {
    SimulatedBoard board;
    SilentReporter reporter;
    ProgramState s(board, reporter, DataPaths(root));
    FormCreate(s, 10 * 60);
    startAllLines(s);

    std::mt19937 random(5);
    constexpr int kCycles = 3000;
    std::vector<std::vector<double>> phase(9);
    std::vector<double> cycle, cycleLogic;
    double worstTick = 0;
    for (int c = 0; c < kCycles; ++c) {
        for (int k = 0; k < 3; ++k) {  // sensors change every cycle
            const int sensor = 1 + static_cast<int>(random() % kSensors);
            board.setSensor(sensor, !board.sensor(sensor));
        }
        board.setAnalogInput(1, static_cast<int>(random() % 256));
        std::int64_t cycleNs = 0;
        const std::int64_t loadsBefore = pictureLoadNanoseconds();
        for (int tick = 0; tick < 8; ++tick) {
            const auto started = Clock::now();
            Hoofdlus(s);
            const std::int64_t ns = nanosecondsSince(started);
            cycleNs += ns;
            phase[s.cycle.Phase].push_back(static_cast<double>(ns) / 1e3);
            worstTick = std::max(worstTick, static_cast<double>(ns) / 1e6);
        }
        cycle.push_back(static_cast<double>(cycleNs) / 1e6);
        cycleLogic.push_back(static_cast<double>(cycleNs - (pictureLoadNanoseconds() - loadsBefore)) / 1e6);
    }
    for (int p = 1; p <= 8; ++p)
        rows.push_back({"phase " + std::to_string(p) + " (median tick)", median(phase[p]), "us", 0});
    rows.push_back({"whole cycle, picture loads included (median)", median(cycle), "ms", 0});
    rows.push_back({"whole-cycle logic, picture loads aside (median)", median(cycleLogic), "ms", 0.2});
    rows.push_back({"worst tick of " + std::to_string(kCycles * 8) + ", picture loads included", worstTick, "ms", 2});
}

template <class Operation>
double medianMilliseconds(int runs, Operation operation) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto started = Clock::now();
        operation();
        times.push_back(static_cast<double>(nanosecondsSince(started)) / 1e6);
    }
    return median(times);
}

void measureLoads(const QString& root, std::vector<Row>& rows) {
    SimulatedBoard board;
    SilentReporter reporter;
    ProgramState s(board, reporter, DataPaths(root));
    FormCreate(s, 10 * 60);
    rows.push_back({"schedule variant load with the redraw of 200 cells (median)",
                    medianMilliseconds(30, [&] { MaakSchema(s, 1); }), "ms", 50});
    rows.push_back({"layout store Read with its pictures, names and addresses (median)",
                    medianMilliseconds(30, [&] { Lezen(s); }), "ms", 50});
}

}  // namespace

int main(int argc, char** argv) {
    const auto processStart = Clock::now();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // Laying out the installation is not part of the program's start.
    QTemporaryDir folder;
    const auto layoutStart = Clock::now();
    layOut(folder.path());
    const std::int64_t layoutNanoseconds = nanosecondsSince(layoutStart);

    std::vector<Row> rows;
    measureStart(folder.path(), rows, processStart, layoutNanoseconds);
    measureCycle(folder.path(), rows);
    measureLoads(folder.path(), rows);
    bench::measureHostileReads(rows);
    bench::measureLogbookEntries(folder.path(), rows);
    measureBrowserView(folder.path(), rows);
    printTable(rows);
    printEmulatedUsbRows();
    return 0;
}

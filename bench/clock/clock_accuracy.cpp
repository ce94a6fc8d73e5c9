// Runs the real cycle timer against the wall clock and reports how exact the
// model clock keeps time: drift, and the spread of the tick period.
// Usage: blokpost_clock_accuracy [seconds]   (default 600)

#include "app/cycle_timer.h"
#include "app/main_cycle.h"
#include "board/simulated_board.h"
#include "state/program_state.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {


double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1));
    return values[index];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 600;

    QTemporaryDir folder;
    blokpost::SimulatedBoard board;
    blokpost::SilentReporter reporter;
    blokpost::ProgramState state(board, reporter, blokpost::DataPaths(folder.path()));
    blokpost::FormCreate(state, 600);

    QElapsedTimer wall;
    std::vector<double> periods;
    periods.reserve(static_cast<std::size_t>(seconds) * 8 + 8);
    std::int64_t firstTickNs = -1;
    std::int64_t lastTickNs = -1;
    blokpost::CycleTimer timer([&] {
        const std::int64_t now = wall.nsecsElapsed();
        if (lastTickNs >= 0) periods.push_back(static_cast<double>(now - lastTickNs) / 1e6);
        if (firstTickNs < 0) firstTickNs = now;
        lastTickNs = now;
        blokpost::Hoofdlus(state);
    });
    const std::int64_t startMinutes = state.clock.ClockMinutes;
    wall.start();
    timer.start();
    QTimer::singleShot(seconds * 1000, &application, [&] { QCoreApplication::quit(); });
    QGuiApplication::exec();

    // The model clock gains one second every eight ticks: compare the time it
    // showed at the last tick with the wall time that passed since the first.
    const double wallSeconds = static_cast<double>(lastTickNs - firstTickNs) / 1e9;
    const double modelSeconds = static_cast<double>(periods.size()) / 8.0;
    const double driftPercent = (modelSeconds - wallSeconds) / wallSeconds * 100.0;
    const double modelClockSeconds =
        static_cast<double>(state.clock.ClockMinutes - startMinutes) * 60.0 + state.clock.ClockSeconds;
    std::printf("clock accuracy over %.1f s of wall time, %zu tick periods\n", wallSeconds, periods.size());
    std::printf("  model clock drift      %+.4f %%  (model clock advanced %.0f s)\n", driftPercent, modelClockSeconds);
    std::printf("  tick period median     %.2f ms\n", percentile(periods, 0.5));
    std::printf("  tick period p99        %.2f ms\n", percentile(periods, 0.99));
    std::printf("  tick period minimum    %.2f ms\n", percentile(periods, 0.0));
    std::printf("  tick period maximum    %.2f ms\n", percentile(periods, 1.0));
    std::printf("  backlog dropped        %lld ms\n", static_cast<long long>(timer.droppedMilliseconds()));
    return 0;
}

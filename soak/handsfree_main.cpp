// make handsfree: the demo runs by itself, 24 hours of layout time for each
// schedule variant, with every check of the hands-free run after every tick;
// once with the lines started well ahead of the first departure, once with
// them started just before it.
// Usage: blokpost_handsfree_run [hours] [seed]

#include "handsfree_run.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace blokpost::handsfree;

constexpr int kJustBefore = 45;  // seconds before the stoptrein's first departure: it stands in Dijkstad then

// Runs one variant and prints its figures; false when a check failed.
bool runAndReport(int variant, double hours, std::uint32_t seed, HandStart start) {
    QElapsedTimer timer;
    timer.start();
    const VariantResult r = runVariant(variant, static_cast<std::int64_t>(hours * kTicksPerHour), seed, start);
    std::printf("%s with book %s, lines started %s: %.1f hours of layout time in %.1f s\n", variantName(variant),
                r.book.c_str(), start.secondsBeforeDeparture < 0 ? "at 8:06" : "45 s before a departure",
                static_cast<double>(r.ticks) / kTicksPerHour, static_cast<double>(timer.elapsed()) / 1000.0);
    for (int line = 1; line <= 4; ++line) {
        const LineFigures& f = r.lines[line];
        std::printf("  line %c: %lld rounds, departures taken %lld, missed %lld\n", blokpost::lineLetter(line),
                    static_cast<long long>(f.rounds), static_cast<long long>(f.departuresTaken),
                    static_cast<long long>(f.departuresMissed));
    }
    for (const auto& [kind, wait] : r.longestWait)
        std::printf("  longest wait on %-7s %7.1f s (%s), bound %s%.1f s\n", kind.c_str(), wait.seconds,
                    wait.where.c_str(), kind == "Timer" ? "its count + " : "", boundFor(r.bounds, kind, 0));
    std::printf("  overtakings in Dijkstad in step: %lld of %lld\n", static_cast<long long>(r.overtakingsInStep),
                static_cast<long long>(r.overtakingsInStep + r.overtakingsOutOfStep));
    std::printf("  logbook: %lld entries in %lld day files\n", static_cast<long long>(r.logEntries),
                static_cast<long long>(r.dayFiles));
    if (r.breach.empty()) return true;
    std::printf("  BREACH at tick %lld: %s\n", static_cast<long long>(r.ticks), r.breach.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const double hours = argc > 1 ? std::atof(argv[1]) : 24.0;
    const auto seed = static_cast<std::uint32_t>(argc > 2 ? std::atoll(argv[2]) : 20261207);
    bool held = true;
    for (const HandStart start : {HandStart{}, HandStart{kJustBefore}})
        for (int variant = 1; variant <= 4; ++variant) held = runAndReport(variant, hours, seed + variant, start) && held;
    std::printf(held ? "every check held in every variant\n" : "a check failed\n");
    return held ? 0 : 1;
}

// make soak: 24 hours of layout time (691,200 ticks) through the whole logic.
// Usage: blokpost_soak [ticks] [seed]

#include "soak_run.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const long long ticks = argc > 1 ? std::atoll(argv[1]) : 691200;
    const auto seed = static_cast<std::uint32_t>(argc > 2 ? std::atoll(argv[2]) : 20261207);
    QElapsedTimer timer;
    timer.start();
    const auto result = blokpost::soak::runSoak(ticks, seed);
    std::printf("soak: %lld ticks (%.1f hours of layout time) in %.1f s\n", static_cast<long long>(result.ticks),
                static_cast<double>(result.ticks) / 8.0 / 3600.0, static_cast<double>(timer.elapsed()) / 1000.0);
    std::printf("  departures %lld, pins switched %lld, operator actions %lld\n",
                static_cast<long long>(result.departures), static_cast<long long>(result.pinsSwitched),
                static_cast<long long>(result.edits));
    if (!result.breach.empty()) {
        std::printf("  BREACH at tick %lld: %s\n", static_cast<long long>(result.ticks), result.breach.c_str());
        return 1;
    }
    std::printf("  every check held after every tick\n");
    return 0;
}

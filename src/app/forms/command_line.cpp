#include "app/forms/command_line.h"

#include "app/forms/blokpost_app.h"

#include <QCoreApplication>
#include <QTimer>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace blokpost {

namespace {

constexpr const char* kHelp =
    "Usage: blokpost [OPTION]\n"
    "Automates a model railway layout through a K8055 USB board.\n"
    "\n"
    "The program works in the folder it is started in: the data files in\n"
    "VasteData, the pictures in Tekeningen and the logbook's day files in\n"
    "Logboek. Installed from the package, start it through the launcher\n"
    "'blokpost [FOLDER]', which prepares that folder (see blokpost(1)).\n"
    "\n"
    "  --controle     check the four schedule variants with both timetable\n"
    "                 books, print the findings and end (1 on a fault)\n"
    "  --proefrit N   start as usual and end after N cycles of the main cycle\n"
    "  --help         show this help and end\n"
    "  --version      show the version and end\n"
    "\n"
    "Qt's own options, such as -platform offscreen, are accepted as well.\n";

// A whole number 1..86400 (a day of layout time), else nothing.
std::optional<int> cycleCount(const char* text) {
    const std::string_view digits(text);
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value < 1 || value > 86400)
        return std::nullopt;
    return value;
}

int refuse(const char* problem, const char* word) {
    std::fprintf(stderr, "blokpost: %s: %s\nTry 'blokpost --help'.\n", problem, word);
    return 2;
}

}  // namespace

CommandLine readCommandLine(int argc, char** argv) {
    CommandLine command;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word(argv[i]);
        if (word == "--help" || word == "-h") {
            std::fputs(kHelp, stdout);
            command.exitCode = 0;
        } else if (word == "--version") {
            std::printf("blokpost %s\n", BLOKPOST_VERSION);
            command.exitCode = 0;
        } else if (word == "--proefrit") {
            if (i + 1 >= argc) return {refuse("a number of cycles is missing after", argv[i]), 0};
            const std::optional<int> cycles = cycleCount(argv[++i]);
            if (!cycles) return {refuse("not a number of cycles from 1 to 86400", argv[i]), 0};
            command.trialCycles = *cycles;
        }
        if (command.exitCode) return command;
    }
    return command;
}

void endAfterCycles(BlokpostApp& app, int cycles) {
    auto layoutSeconds = [&app] {
        const ModelClock& clock = app.state().clock;
        return static_cast<long long>(clock.ClockMinutes) * 60 + clock.ClockSeconds;
    };
    auto* watch = new QTimer(QCoreApplication::instance());
    QObject::connect(watch, &QTimer::timeout, watch, [=, start = layoutSeconds()] {
        const long long gone = layoutSeconds() - start;
        if (gone < cycles) return;
        std::printf("blokpost: proefrit van %lld cycli gereden\n", gone);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    watch->start(50);
}

}  // namespace blokpost

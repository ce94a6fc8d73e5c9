#include "app/forms/command_line.h"

#include "app/forms/blokpost_app.h"

#include <QCoreApplication>
#include <QTimer>
#include <charconv>
#include <cstdio>
#include <ostream>
#include <string_view>

namespace blokpost {

namespace {

#if BLOKPOST_HOME_LAYOUT
#define BLOKPOST_FOLDER_HELP "FOLDER (by default ~/Blokpost).\nA new or empty folder gets the demo layout first; a folder with files in\nit is used as it is, nothing is added to it."
#else
#define BLOKPOST_FOLDER_HELP "FOLDER (by default the folder it is started in)."
#endif

constexpr const char* kHelp =
    "Usage: blokpost [OPTION...] [FOLDER]\n"
    "Automates a model railway layout through a K8055 USB board, in\n" BLOKPOST_FOLDER_HELP
    "\n"
    "The data files are in FOLDER/VasteData, the pictures in Tekeningen and\n"
    "the logbook's day files in Logboek.\n"
    "\n"
    "  --controle       check the four schedule variants with both timetable\n"
    "                   books, print the findings and end (1 on a fault);\n"
    "                   needs no display and never lays anything out\n"
    "  --proefrit=N     start as usual and end after N cycles of the main\n"
    "                   cycle (1 to 86400; also --proefrit N)\n"
    "  -platform NAME   Qt's platform, such as offscreen\n"
    "  -h, --help       show this help and end\n"
    "  --version        show the version and end\n"
    "\n"
    "F1 or \"Help\" in the main window opens the first-steps guide.\n"
    "See blokpost(1).\n";

// Qt's own options that take a value and that the application reads itself.
constexpr std::string_view kQtOptionsWithValue[] = {"-platform", "-display", "-style", "-qwindowgeometry", "-session"};

// A whole number 1..86400 (a day of layout time), else nothing.
std::optional<int> cycleCount(std::string_view digits) {
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value < 1 || value > 86400)
        return std::nullopt;
    return value;
}

bool isQtOptionWithValue(std::string_view word) {
    for (std::string_view option : kQtOptionsWithValue)
        if (word == option || (word.size() == option.size() + 1 && word.substr(1) == option)) return true;
    return false;
}

// Reads the words one by one; the first fault ends the reading.
class Reader {
public:
    Reader(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
        : argc_(argc), argv_(argv), out_(out), err_(err) {}

    CommandLine read() {
        bool optionsEnded = false;
        for (i_ = 1; i_ < argc_ && !command_.exitCode; ++i_) {
            const std::string_view word(argv_[i_]);
            if (optionsEnded || word.empty() || word.front() != '-') takeFolder(word);
            else if (word == "--") optionsEnded = true;
            else option(word);
        }
        return command_;
    }

private:
    void option(std::string_view word) {
        const std::size_t equals = word.find('=');
        const std::string_view name = word.substr(0, equals);
        const std::optional<std::string_view> attached =
            equals == std::string_view::npos ? std::nullopt : std::optional(word.substr(equals + 1));
        if (word == "--help" || word == "-h") answer(kHelp);
        else if (word == "--version") answer("blokpost " BLOKPOST_VERSION "\n");
        else if (word == "--controle") command_.controle = true;
        else if (name == "--proefrit") trialRun(attached);
        else if (isQtOptionWithValue(word)) qtOption(word);
        else refuse("unknown option", word);
    }

    void trialRun(std::optional<std::string_view> attached) {
        const std::optional<std::string_view> text = attached ? attached : value();
        if (!text) return refuse("a number of cycles is missing after", "--proefrit");
        const std::optional<int> cycles = cycleCount(*text);
        if (!cycles) return refuse("not a number of cycles from 1 to 86400", *text);
        command_.trialCycles = *cycles;
    }

    void qtOption(std::string_view word) {
        const std::optional<std::string_view> text = value();
        if (!text) refuse("a value is missing after", word);
    }

    void takeFolder(std::string_view word) {
        if (!command_.folder.isEmpty()) return refuse("one folder only, not also", word);
        command_.folder = QString::fromLocal8Bit(word.data(), static_cast<qsizetype>(word.size()));
        if (command_.folder.isEmpty()) refuse("an empty folder name", word);
    }

    std::optional<std::string_view> value() {
        if (i_ + 1 >= argc_) return std::nullopt;
        return std::string_view(argv_[++i_]);
    }

    void answer(const char* text) {
        out_ << text;
        command_.exitCode = 0;
    }

    void refuse(const char* problem, std::string_view word) {
        err_ << "blokpost: " << problem << ": " << word << "\nTry 'blokpost --help'.\n";
        command_.exitCode = 2;
    }

    const int argc_;
    const char* const* argv_;
    std::ostream& out_;
    std::ostream& err_;
    int i_ = 1;
    CommandLine command_;
};

}  // namespace

CommandLine readCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    return Reader(argc, argv, out, err).read();
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

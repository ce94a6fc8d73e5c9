#pragma once
// Feeds fuzzer input to one of the file readers: the bytes become the file in
// a temporary installation, and the operator's handler reads it into a program
// that lives for the whole run, as a real one would. The sanitizers catch any
// read outside a table; the checks below catch values a table must never hold.

#include "base/text_file.h"
#include "board/simulated_board.h"
#include "state/program_state.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace blokpost::fuzz {


struct Harness {
    Harness() : state(board, reporter, DataPaths(folder.path())) {
        FormCreate(state, 600);
        QDir(folder.path()).mkdir("VasteData");
        QDir(folder.path()).mkdir("Tekeningen");
    }

    void write(const char* relative, const std::uint8_t* data, std::size_t size) {
        QFile file(folder.filePath(relative));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }

    // What no file may bring about, whatever it holds.
    void checkInvariants() const {
        for (int line = 1; line <= kLines; ++line)
            if (state.model.CurrentStep[line] > kSteps + 1) std::abort();
        for (const std::string& name : state.pins.PinName)
            if (name.size() > 7) std::abort();
        // However long a line of the file, no text keeps more than a line may hold.
        for (int line = 1; line <= kLines; ++line)
            for (const std::string& kind : state.model.StepKind[line])
                if (kind.size() > TextFileReader::kMaxLineLength) std::abort();
        if (state.MeterName1.size() > TextFileReader::kMaxLineLength) std::abort();
        for (int line = 1; line <= kLines; ++line) {
            if (state.timetable.BoardDestination[line].size() > 15) std::abort();
            if (state.timetable.BoardVia[line].size() > 25) std::abort();
            if (state.timetable.BoardTrain[line].size() > 10) std::abort();
        }
    }

    QTemporaryDir folder;
    SimulatedBoard board;
    SilentReporter reporter;
    ProgramState state;
};

inline Harness& harness() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)application;
    static Harness instance;
    return instance;
}

}  // namespace blokpost::fuzz

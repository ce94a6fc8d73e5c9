#pragma once
// A fresh program per test: a temporary installation folder, a recording
// board and reporter, and the start values set as at program start.

#include "state/program_state.h"
#include "support/recording_board.h"

#include <QTemporaryDir>
#include <functional>
#include <string>
#include <vector>

namespace blokpost::test {

// A whole file written (the test fails when it cannot be opened) or read ("" when it cannot).
void writeBytes(const QString& path, const std::string& bytes);
std::string readBytes(const QString& path);
// A file below an installation folder, folders made as needed; a small bitmap likewise.
void writeFileIn(const QTemporaryDir& folder, const std::string& relative, const std::string& contents);
void writePictureIn(const QTemporaryDir& folder, const std::string& relative, int width, int height,
                    unsigned colour = 0xFFFFFF);

// Runs the event loop until `done` or a generous deadline; false when the deadline came first.
bool spinUntil(const std::function<bool()>& done, int deadlineMs = 20000);

// The message of the OperationError the action throws, or "" when it throws none.
inline std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const OperationError& error) {
        return error.what();
    }
    return {};
}

class RecordingReporter : public Reporter {
public:
    void message(const std::string& text) override;
    bool confirm(const std::string& question) override;

    std::vector<std::string> messages;
    std::vector<std::string> questions;
    bool answer = true;
    // Runs inside message(), as a modal box's event loop would run other events.
    std::function<void()> whileShown;
};

struct TestProgram {
    // Starts at 12:00 on the model clock unless told otherwise.
    explicit TestProgram(int minutesOfDay = 12 * 60);

    // Writes a file below the installation folder, making folders as needed.
    void writeFile(const std::string& relative, const std::string& contents) const {
        writeFileIn(folder, relative, contents);
    }
    std::string readFile(const std::string& relative) const;
    // Writes a small bitmap below the installation folder.
    void writePicture(const std::string& relative, int width, int height, unsigned colour = 0xFFFFFF) const {
        writePictureIn(folder, relative, width, height, colour);
    }
    // Runs n ticks of the main cycle.
    void ticks(int n);
    // Runs ticks until the cycle has finished phase `phase`.
    void runThroughPhase(int phase);

    QTemporaryDir folder;
    RecordingBoard board;
    RecordingReporter reporter;
    ProgramState state;
};

}  // namespace blokpost::test

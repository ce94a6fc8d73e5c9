#pragma once
// The command line, read in one place before anything is made:
//   blokpost [OPTION...] [FOLDER]
// --help and --version answer at once; an option the program does not know,
// a missing or bad value, or a second folder is refused with 2, so nothing
// is created, laid out or opened for a start that was mistyped. A trial run
// starts the program as usual and ends it after a number of cycles of the
// main cycle, so an installation can be checked without anyone at the desk.
// Qt's own options that make sense here (-platform and the like) are checked
// for their value and left in the arguments for the application to read.

#include <QString>
#include <iosfwd>
#include <optional>

namespace blokpost {

class BlokpostApp;

struct CommandLine {
    std::optional<int> exitCode;  // set: answered or refused, end with this code
    bool controle = false;        // --controle: check the folder and end
    int trialCycles = 0;          // 0: run until the operator presses "Exit"
    QString folder;               // empty: the default folder
};

// Reads the options, printing help or the version to `out` and what is wrong
// with them to `err`.
CommandLine readCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// Ends the program once the layout clock has gone `cycles` seconds on: one
// second per main cycle, so the cycle has run that often.
void endAfterCycles(BlokpostApp& app, int cycles);

}  // namespace blokpost

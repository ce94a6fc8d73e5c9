#pragma once
// What the program does with its command line. --help and --version answer
// at once, before any window or display is needed. A trial run starts the
// program as usual and ends it after a number of cycles of the main cycle,
// so an installation can be checked without anyone at the desk.
// Options the program does not know here (Qt's own, such as -platform) are
// left for the application to read.

#include <optional>

namespace blokpost {

class BlokpostApp;

struct CommandLine {
    std::optional<int> exitCode;  // set: answered or refused, end with this code
    int trialCycles = 0;          // 0: run until the operator presses "Exit"
};

// Reads the options, printing help, the version or what is wrong with them.
CommandLine readCommandLine(int argc, char** argv);

// Ends the program once the layout clock has gone `cycles` seconds on: one
// second per main cycle, so the cycle has run that often.
void endAfterCycles(BlokpostApp& app, int cycles);

}  // namespace blokpost

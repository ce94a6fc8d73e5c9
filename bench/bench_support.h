#pragma once
// A program state in a temporary installation folder for the benchmarks.

#include "board/simulated_board.h"
#include "state/program_state.h"

#include <QTemporaryDir>
#include <string>
#include <vector>

namespace blokpost::bench {


struct BenchProgram {
    BenchProgram() : state(board, reporter, DataPaths(folder.path())) { FormCreate(state, 600); }

    QTemporaryDir folder;
    SimulatedBoard board;
    SilentReporter reporter;
    ProgramState state;
};

}  // namespace blokpost::bench

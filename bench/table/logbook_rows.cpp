#include "logbook_rows.h"

#include "board/simulated_board.h"
#include "state/logbook.h"
#include "state/program_state.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace blokpost::bench {

void measureLogbookEntries(const QString& root, std::vector<Row>& rows) {
    using Clock = std::chrono::steady_clock;
    constexpr int kEntries = 5000;
    SimulatedBoard board;
    SilentReporter reporter;
    std::vector<double> micro;
    {
        ProgramState s(board, reporter, DataPaths(root));
        FormCreate(s, 10 * 60);
        // Back to back, far faster than a layout makes them: every entry
        // finds the helper still writing or syncing the ones before.
        for (int i = 0; i < kEntries; ++i) {
            const auto started = Clock::now();
            WriteLogLine(s, "Wis" + std::to_string(i % 32) + "A");
            micro.push_back(std::chrono::duration<double, std::micro>(Clock::now() - started).count());
        }
    }
    std::sort(micro.begin(), micro.end());
    rows.push_back({"logbook entry with its day-file line (median of " + std::to_string(kEntries) + ")",
                    micro[micro.size() / 2], "us", 0});
    rows.push_back({"logbook entry with its day-file line (worst of " + std::to_string(kEntries) + ")",
                    micro.back() / 1000.0, "ms", 2});
}

}  // namespace blokpost::bench

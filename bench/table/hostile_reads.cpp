#include "hostile_reads.h"

#include "board/simulated_board.h"
#include "layout/layout_store.h"
#include "schedule/schedule_files.h"
#include "state/program_state.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <sys/stat.h>
#include <unistd.h>

namespace blokpost::bench {

namespace {

constexpr long long kSparseBytes = 2LL << 30;
constexpr double kTimeLimitMs = 50;          // as a normal load
constexpr double kMemoryLimitMegabytes = 8;  // the read limit is 0.5 MB

// The peak resident memory starts again from what is resident now.
void resetPeakResident() {
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly)) clearRefs.write("5");
}

struct Cost {
    double milliseconds;
    double peakGrowthMegabytes;
};

template <class Operation>
Cost measure(Operation operation) {
    resetPeakResident();
    const double before = statusMegabytes("VmRSS:");
    const auto started = std::chrono::steady_clock::now();
    operation();
    const auto elapsed = std::chrono::steady_clock::now() - started;
    return {std::chrono::duration<double, std::milli>(elapsed).count(), statusMegabytes("VmHWM:") - before};
}

}  // namespace

void measureHostileReads(std::vector<Row>& rows) {
    QTemporaryDir folder;
    QDir(folder.path()).mkdir("VasteData");
    SimulatedBoard board;
    SilentReporter reporter;
    ProgramState s(board, reporter, DataPaths(folder.path()));
    FormCreate(s, 600);
    const auto add = [&](const std::string& what, Cost cost) {
        rows.push_back({what + ": time", cost.milliseconds, "ms", kTimeLimitMs});
        rows.push_back({what + ": peak resident growth", cost.peakGrowthMegabytes, "MB", kMemoryLimitMegabytes});
    };

    // The largest: a sparse file of 2 GB, one line of zero bytes.
    const QString schedule = folder.filePath("VasteData/Schema1Data.txt");
    QFile(schedule).open(QIODevice::WriteOnly);
    if (::truncate(QFile::encodeName(schedule).constData(), kSparseBytes) == 0)
        add("schedule variant load of a 2 GB file", measure([&] { MaakSchema(s, 1); }));

    const QString store = folder.filePath("VasteData/DataOpslag.txt");
    QFile::link(QStringLiteral("/dev/zero"), store);
    add("layout store Read of a link to /dev/zero", measure([&] { Lezen(s); }));
    QFile::remove(store);
    if (::mkfifo(QFile::encodeName(store).constData(), 0644) == 0)
        add("layout store Read of a FIFO", measure([&] { Lezen(s); }));
}

}  // namespace blokpost::bench

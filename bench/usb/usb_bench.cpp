// The own USB driver against a K8055 emulated at the kernel's USB interface:
// what each tick of the cycle asks of the bus and how long the board holds
// it. Runs under umockdev's preload library (the benchmark table starts it
// that way) and prints its rows of the table.

#include "app/main_cycle.h"
#include "app/program_state.h"
#include "board/board_choice.h"
#include "board_usb/emulated_k8055.h"
#include "table/bench_rows.h"

#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using namespace blokpost;
using namespace blokpost::test;
using Clock = std::chrono::steady_clock;

constexpr auto kPeriod = std::chrono::milliseconds(125);  // the cycle's timer

struct TickFigures {
    std::vector<int> phase;
    std::vector<double> milliseconds;
    std::vector<int> outputTransfers;
    std::vector<int> inputTransfers;
};

// Runs `ticks` ticks of the cycle at its own pace against `board`.
TickFigures run(ProgramState& state, DriverBoard& driver, EmulatedK8055& board, int ticks) {
    TickFigures figures;
    auto next = Clock::now();
    for (int i = 0; i < ticks; ++i) {
        std::this_thread::sleep_until(next);
        next += kPeriod;
        const UsbTraffic before = board.traffic();
        const auto start = Clock::now();
        Hoofdlus(state);
        driver.endOfTick();
        figures.milliseconds.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        figures.phase.push_back(state.cycle.Phase);
        const UsbTraffic after = board.traffic();
        figures.outputTransfers.push_back(after.outputUrbs - before.outputUrbs);
        figures.inputTransfers.push_back(after.inputUrbs - before.inputUrbs);
        if (std::getenv("USB_BENCH_TRACE"))
            std::fprintf(stderr, "phase %d: %.2f ms, %d out, %d in\n", state.cycle.Phase, figures.milliseconds.back(),
                         figures.outputTransfers.back(), figures.inputTransfers.back());
    }
    return figures;
}

template <class T>
T most(const std::vector<T>& values) {
    return values.empty() ? T{} : *std::max_element(values.begin(), values.end());
}

using bench::median;

void row(const char* what, double value, const char* unit, double target) {
    bench::printRow({what, value, unit, target});
}

// One program with the driver board and the emulated card 0, opened with "K8055n".
struct Bench {
    Bench() : board(bus.testbed(), 0), driver(usbBoardOpener()), state(driver, reporter, DataPaths(folder.path())) {
        FormCreate(state, 600);
        board.setSensor(2, true);
        board.setSensor(13, true);
        Kaart(state);
    }
    UsbTestbedDirectory bus;
    EmulatedK8055 board;
    QTemporaryDir folder;
    SilentReporter reporter;
    DriverBoard driver;
    ProgramState state;
};

}  // namespace

int main() {
    if (UsbTestbedDirectory probe; !UsbTestbedDirectory::active()) {
        std::fprintf(stderr, "blokpost_usb_bench: run under umockdev's preload library\n");
        return 1;
    }
    // The board's stated budget of 40 ms plus 2 ms for the cycle, fixed here
    // so that a budget that grows shows as over the target.
    const double worstAllowed = 42.0;
    {
        Bench b;
        if (!b.driver.realBoardOpen()) return 1;
        const TickFigures healthy = run(b.state, b.driver, b.board, 64);
        row("emulated K8055: output reports per tick (most)", most(healthy.outputTransfers), "", 1);
        std::vector<int> reading, others;  // phases 2, 4, 6, 8 read the sensors, phase 5 the meters
        for (std::size_t i = 0; i < healthy.inputTransfers.size(); ++i) {
            const bool reads = healthy.phase[i] % 2 == 0 || healthy.phase[i] == 5;
            (reads ? reading : others).push_back(healthy.inputTransfers[i]);
        }
        // A reading tick drains the reports the board has buffered (four) and takes the newest.
        row("emulated K8055: IN transfers of a reading tick, buffered reports drained (most)", most(reading), "", 0);
        row("emulated K8055: IN transfers of a tick that reads nothing (most)", most(others), "", 0);
        row("emulated K8055: tick in cycle logic and driver (median)", median(healthy.milliseconds), "ms", 0);
        row("emulated K8055: tick in cycle logic and driver (worst)", most(healthy.milliseconds), "ms", worstAllowed);
    }
    {
        Bench b;
        b.board.setBehaviour(BoardBehaviour::Silent);
        // Until the driver gives the silent board up.
        const TickFigures silent = run(b.state, b.driver, b.board, 16);
        row("board stops answering: tick (median)", median(silent.milliseconds), "ms", 0);
        row("board stops answering: worst tick", most(silent.milliseconds), "ms", worstAllowed);
    }
    for (BoardBehaviour refusal : {BoardBehaviour::IgnoresOutputs, BoardBehaviour::StallsOutputs}) {
        Bench b;
        b.board.setBehaviour(refusal);
        const TickFigures refusing = run(b.state, b.driver, b.board, 16);
        row(refusal == BoardBehaviour::IgnoresOutputs ? "board lets output reports time out: worst tick"
                                                       : "board stalls its OUT endpoint: worst tick",
            most(refusing.milliseconds), "ms", worstAllowed);
    }
    return 0;
}

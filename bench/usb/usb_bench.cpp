// The own USB driver against a K8055 emulated at the kernel's USB interface:
// what each tick of the cycle asks of the bus and how long it takes, for a
// board that answers in 1 to 25 ms, one whose IN endpoint is halted with a
// slow or hung control pipe, and a silent one. Between ticks the
// event loop runs, as in the program. Runs under umockdev's preload library
// (the benchmark table starts it that way) and prints its rows of the table.

#include "app/main_cycle.h"
#include "board/board_choice.h"
#include "board_usb/emulated_k8055.h"
#include "state/program_state.h"
#include "table/bench_rows.h"

#include <QCoreApplication>
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
        while (Clock::now() < next) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
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

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (UsbTestbedDirectory probe; !UsbTestbedDirectory::active()) {
        std::fprintf(stderr, "blokpost_usb_bench: run under umockdev's preload library\n");
        return 1;
    }
    // The driver never waits for the board: a tick's time must not grow
    // with the board's slowness, and stays far below the 125 ms period.
    const double worstAllowed = 10.0;
    {
        Bench b;
        if (b.driver.mode() == DriverBoard::Mode::Simulated) return 1;
        const TickFigures healthy = run(b.state, b.driver, b.board, 64);
        row("emulated K8055: output reports per tick (most)", most(healthy.outputTransfers), "", 1);
    }
    for (int transferMs : {1, 8, 15, 25}) {
        Bench b;
        b.board.setTransferTime(std::chrono::milliseconds(transferMs));
        const TickFigures slow = run(b.state, b.driver, b.board, 48);
        const std::string board = "board of " + std::to_string(transferMs) + " ms a transfer: tick";
        row((board + " (median)").c_str(), median(slow.milliseconds), "ms", 0);
        row((board + " (worst)").c_str(), most(slow.milliseconds), "ms", worstAllowed);
    }
    // A halted IN endpoint whose clear the control pipe answers in 25 ms, or
    // not before the kernel's 5 s: the clear runs beside the ticks, which
    // keep the healthy board's time.
    {
        Bench b;
        const TickFigures healthy = run(b.state, b.driver, b.board, 48);
        row("healthy board: tick (median)", median(healthy.milliseconds), "ms", 0);
        row("healthy board: tick (worst)", most(healthy.milliseconds), "ms", worstAllowed);
    }
    for (int clearMs : {25, 5000}) {
        Bench b;
        b.board.setControlTime(std::chrono::milliseconds(clearMs));
        b.board.setBehaviour(BoardBehaviour::StallsInputs);
        const TickFigures halted = run(b.state, b.driver, b.board, 48);
        const std::string board = "IN endpoint halted, its clear taking " + std::to_string(clearMs) + " ms: tick";
        row((board + " (median)").c_str(), median(halted.milliseconds), "ms", 0);
        row((board + " (worst)").c_str(), most(halted.milliseconds), "ms", worstAllowed);
    }
    {
        Bench b;
        b.board.setBehaviour(BoardBehaviour::Silent);
        const TickFigures silent = run(b.state, b.driver, b.board, 48);
        row("silent board: tick (median)", median(silent.milliseconds), "ms", 0);
        row("silent board: tick (worst)", most(silent.milliseconds), "ms", worstAllowed);
    }
    return 0;
}

// The running layout: eight lines at work on mixed programs while the
// sensors change every cycle and every line departs once a model minute.

#include "app/main_cycle.h"
#include "bench_support.h"
#include "lines/executors.h"
#include "lines/model_clock.h"
#include "lines/step_marker.h"
#include "scan/sensors.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <string>
#include <utility>

namespace blokpost::bench {
namespace {

constexpr int kTicksPerCycle = 8;

// Every line waits on a sensor and on a hold sensor, requests a pin, counts a
// short timer, hands a memory to the next line and takes its own, declares
// itself ready and jumps back to the start.
void startMixedPrograms(ProgramState& s) {
    for (int line = 1; line <= kLines; ++line) {
        const std::pair<const char*, int> program[] = {
            {kind::Sensor, line},     {kind::Pin, 10 * line},           {kind::Timer, 1},
            {kind::MemMake, line % kMemories + 1}, {kind::MemRead, line}, {kind::HSensor, line + 10},
            {kind::Green, 0},         {kind::Jump, 1},
        };
        int step = 0;
        for (const auto& [kindName, operand] : program) {
            ++step;
            s.model.StepKind[line][step] = kindName;
            s.model.StepOperand[line][step] = operand;
            s.model.StepCounter[line][step] = operand;
        }
        MoveStepMarker(s, line, 0, 1);
        s.model.CurrentStep[line] = 1;
        s.timetable.DepartureMinute[line] = s.clock.ClockMinutes;
        s.timetable.DepartureInterval[line] = 1;
    }
}

void changeSensors(SimulatedBoard& board, int cycle) {
    for (int sensor = 1; sensor <= kSensors; ++sensor) board.setSensor(sensor, (sensor + cycle) % 3 == 0);
}

void writePicture(const BenchProgram& p, const QString& relative, int width, int height, unsigned colour) {
    const QString path = p.folder.filePath(relative);
    QDir().mkpath(QFileInfo(path).path());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(colour | 0xFF000000u));
    image.save(path, "BMP");
}

// Every picture the running layout reads, with every sensor drawing and the clock shown.
void layOutInstallation(BenchProgram& p) {
    for (int pin = 1; pin <= kPins; ++pin)
        writePicture(p, QStringLiteral("Tekeningen/Tek%1.bmp").arg(pin), 96, 35, 0x40A040);
    for (int sensor = 1; sensor <= kSensors; ++sensor) {
        writePicture(p, QStringLiteral("Tekeningen/Sen%1H.bmp").arg(sensor), 96, 35, 0xFF0000);
        writePicture(p, QStringLiteral("Tekeningen/Sen%1L.bmp").arg(sensor), 96, 35, 0x00FF00);
        p.state.screen.main.element[kPinDrawings + sensor - 1].visible = true;
    }
    writePicture(p, QStringLiteral("VasteData/Wijzerplaat1.bmp"), 159, 152, 0xFFFFFF);
    writePicture(p, QStringLiteral("VasteData/Wijzerplaat2.bmp"), 159, 152, 0xFFFFFF);
    writePicture(p, QStringLiteral("VasteData/Bord.bmp"), 332, 143, 0x000080);
    writePicture(p, QStringLiteral("VasteData/klok.bmp"), 121, 122, 0xFFFFFF);
    p.state.screen.display.clockShown = true;
}

// Times every tick of the cycles the benchmark runs: the mean of each phase
// and the slowest single tick.
class TickTimes {
public:
    void runCycle(BenchProgram& p, int cycle) {
        changeSensors(p.board, cycle);
        for (int tick = 0; tick < kTicksPerCycle; ++tick) {
            const auto start = Clock::now();
            Hoofdlus(p.state);
            const double took = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
            const int phase = p.state.cycle.Phase;
            total_[phase] += took;
            if (took > worst_) {
                worst_ = took;
                worstPhase_ = phase;
            }
        }
        ++cycles_;
    }

    void report(benchmark::State& run) const {
        for (int phase = 1; phase <= kTicksPerCycle; ++phase)
            run.counters["phase" + std::to_string(phase) + "_us"] = total_[phase] / std::max(cycles_, 1);
        run.counters["worst_tick_us"] = worst_;
        run.counters["worst_phase"] = worstPhase_;
    }

private:
    using Clock = std::chrono::steady_clock;
    std::array<double, kTicksPerCycle + 1> total_{};
    double worst_ = 0;
    int worstPhase_ = 0;
    int cycles_ = 0;
};

// The runtime's own work of one cycle: the sensor scan (drawings hidden), the
// eight executors with their marker moves and countdowns, and the clock. The
// meters and the pin drawing, which read a picture every cycle, are left out.
void runRuntimeWork(ProgramState& s) {
    for (int group = 1; group <= 4; ++group) {
        SelectSensorGroup(s, group);
        ReadSensorGroup(s, group);
        switch (group) {
        case 1:
            s.model.PinRequest = -1;
            ExecuteMemMakeSteps(s);
            break;
        case 2:
            ExecuteJumpSteps(s);
            ExecuteSensorSteps(s);
            ExecuteMemReadSteps(s);
            break;
        case 3:
            ExecutePinStep(s);
            ExecuteHoldSensorSteps(s);
            ExecuteTimerSteps(s);
            break;
        default:
            RunDepartures(s);
            ExecuteGreenSteps(s);
        }
    }
}

void BM_MixedCycleRuntimeWork(benchmark::State& run) {
    BenchProgram p;
    writePicture(p, QStringLiteral("VasteData/Bord.bmp"), 332, 143, 0x000080);
    startMixedPrograms(p.state);
    int cycle = 0;
    for (auto _ : run) {
        changeSensors(p.board, ++cycle);
        runRuntimeWork(p.state);
    }
}
BENCHMARK(BM_MixedCycleRuntimeWork)->Unit(benchmark::kMicrosecond);

// Whole cycles in an installation without pictures: every look-up fails.
void BM_MixedCycleLogic(benchmark::State& run) {
    BenchProgram p;
    startMixedPrograms(p.state);
    TickTimes times;
    int cycle = 0;
    for (auto _ : run) times.runCycle(p, ++cycle);
    times.report(run);
}
BENCHMARK(BM_MixedCycleLogic)->Unit(benchmark::kMicrosecond);

// Whole cycles with every picture in place, over two model minutes so that
// every board is reloaded and redrawn.
void BM_MixedCycleWithPictures(benchmark::State& run) {
    BenchProgram p;
    layOutInstallation(p);
    startMixedPrograms(p.state);
    TickTimes times;
    int cycle = 0;
    for (auto _ : run) times.runCycle(p, ++cycle);
    times.report(run);
}
BENCHMARK(BM_MixedCycleWithPictures)->Iterations(120)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace blokpost::bench

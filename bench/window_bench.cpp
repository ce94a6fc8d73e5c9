// The operator's windows: phase 5 with both meters (two dial pictures read
// from disk every cycle), and a redraw of all 200 grid cells as after a
// schedule load.

#include "app/main_cycle.h"
#include "bench_support.h"
#include "schedule/cell_writer.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <benchmark/benchmark.h>

namespace blokpost::bench {
namespace {

// Pictures of the installation's sizes, written the way the installation's are.
void writePicture(const BenchProgram& p, const QString& relative, int width, int height) {
    QDir().mkpath(QFileInfo(p.folder.filePath(relative)).path());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.save(p.folder.filePath(relative), "BMP");
}

void BM_Phase5WithMeters(benchmark::State& run) {
    BenchProgram p;
    writePicture(p, QStringLiteral("VasteData/Wijzerplaat1.bmp"), 159, 152);
    writePicture(p, QStringLiteral("VasteData/Wijzerplaat2.bmp"), 159, 152);
    p.board.setAnalogInput(1, 100);
    p.board.setAnalogInput(2, 200);
    for (auto _ : run) {
        p.state.cycle.Phase = 4;
        Hoofdlus(p.state);
    }
}
BENCHMARK(BM_Phase5WithMeters)->Unit(benchmark::kMicrosecond);

void BM_RedrawAllCells(benchmark::State& run) {
    BenchProgram p;
    const char* icons[] = {"PinMake", "Timer", "Jump", "Sensor", "SensorH", "MemMake", "MemRead", "Green", "Blanco"};
    for (const char* icon : icons) writePicture(p, QStringLiteral("VasteData/%1.bmp").arg(icon), 68, 68);
    // Every kind in turn, with texts where the kind has them.
    const char* kinds[] = {"Pin", "Timer", "Jump", "Sensor", "HSensor", "MemMake", "MemRead", "Green", "Leeg"};
    for (int line = 1; line <= kLines; ++line)
        for (int step = 1; step <= kSteps; ++step) {
            p.state.model.StepKind[line][step] = kinds[(line + step) % 9];
            p.state.model.StepOperand[line][step] = step;
        }
    for (auto _ : run)
        for (int line = 1; line <= kLines; ++line)
            for (int step = 1; step <= kSteps; ++step) CelTekenen(p.state, line, step, p.state.model.StepKind[line][step]);
}
BENCHMARK(BM_RedrawAllCells)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace blokpost::bench

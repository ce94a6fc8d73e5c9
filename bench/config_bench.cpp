// Loading stored configuration: a schedule variant with the redraw of all
// 200 cells, and a whole layout store Read with its pictures. Real files in
// a temporary installation folder; each should stay well under 50 ms.

#include "bench_support.h"
#include "layout/layout_store.h"
#include "schedule/schedule_files.h"
#include "state/program_state.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <benchmark/benchmark.h>

namespace blokpost::bench {
namespace {

void writeFile(const BenchProgram& p, const std::string& relative, const std::string& contents) {
    const QString path = p.folder.filePath(QString::fromStdString(relative));
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(contents.data(), static_cast<qint64>(contents.size()));
}

void writePicture(const BenchProgram& p, const std::string& relative, int width, int height) {
    const QString path = p.folder.filePath(QString::fromStdString(relative));
    QDir().mkpath(QFileInfo(path).path());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.save(path, "BMP");
}

std::string numberedLines(int count, int offset) {
    std::string text;
    for (int i = 0; i < count; ++i) text += std::to_string(offset + i) + "\r\n";
    return text;
}

void BM_LoadScheduleVariant(benchmark::State& run) {
    BenchProgram p;
    for (const char* icon : {"PinMake", "Timer", "Jump", "Sensor", "SensorH", "MemMake", "MemRead", "Green", "Blanco"})
        writePicture(p, std::string("VasteData/") + icon + ".bmp", 68, 68);
    writePicture(p, "VasteData/Normaledienst.bmp", 300, 121);
    // Every kind in turn, so every cell look is drawn.
    const char* kinds[] = {"Pin", "Timer", "Jump", "Sensor", "HSensor", "MemMake", "MemRead", "Green", "Leeg"};
    std::string file;
    for (int n = 0; n < kCells; ++n) file += std::string(kinds[n % 9]) + "\r\n";
    file += numberedLines(kCells, 1) + numberedLines(kCells, 1);
    writeFile(p, "VasteData/Schema1Data.txt", file);
    for (auto _ : run) MaakSchema(p.state, 1);
}
BENCHMARK(BM_LoadScheduleVariant)->Unit(benchmark::kMillisecond);

void BM_ReadLayoutStore(benchmark::State& run) {
    BenchProgram p;
    writePicture(p, "Tekeningen/Blanco.bmp", 96, 35);
    for (int s = 1; s <= kSensors; ++s) writePicture(p, "Tekeningen/Sen" + std::to_string(s) + "L.bmp", 96, 35);
    // Every drawing shown, so the Read loads every picture it can.
    std::string store = numberedLines(kLayoutElements, 0) + numberedLines(kLayoutElements, 100);
    for (int e = 0; e < kLayoutElements; ++e) store += "1\r\n";
    for (int i = 0; i < kLines * 27; ++i) store += "Timer\r\n";
    store += numberedLines(2 * kLines * 26, 1) + "meter1\r\nmeter2\r\n";
    writeFile(p, "Vastedata/DataOpslag.txt", store);
    writeFile(p, "Vastedata/AdresData.txt", numberedLines(kPins, 0));
    writeFile(p, "Vastedata/NaamData.txt", numberedLines(kPins, 1000));
    for (auto _ : run) Lezen(p.state);
}
BENCHMARK(BM_ReadLayoutStore)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace blokpost::bench

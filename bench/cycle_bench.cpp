// The cost of each phase of the main cycle and of a whole cycle.

#include "app/main_cycle.h"
#include "bench_support.h"

#include <benchmark/benchmark.h>

namespace blokpost::bench {
namespace {

void BM_Phase(benchmark::State& run) {
    BenchProgram p;
    const int phase = static_cast<int>(run.range(0));
    for (auto _ : run) {
        run.PauseTiming();
        p.state.cycle.Phase = static_cast<std::uint8_t>(phase - 1);
        run.ResumeTiming();
        Hoofdlus(p.state);
    }
}
BENCHMARK(BM_Phase)->DenseRange(1, 8)->Unit(benchmark::kMicrosecond);

void BM_WholeCycle(benchmark::State& run) {
    BenchProgram p;
    for (auto _ : run)
        for (int tick = 0; tick < 8; ++tick) Hoofdlus(p.state);
}
BENCHMARK(BM_WholeCycle)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace blokpost::bench

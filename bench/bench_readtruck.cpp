// ReadTruck over realistic lines; reports lines per second.

#include "BenchLines.h"
#include "records/modUDTs.h"

#include <benchmark/benchmark.h>
#include <cstddef>
#include <string>
#include <vector>

namespace {

// More lines than fit in the branch predictor's memory, few enough to stay in
// cache: the figure is the parser's, not the memory's.
constexpr std::size_t kLineCount = 4096;

void BM_ReadTruck(benchmark::State& state) {
    const std::vector<std::string> lines = axlewise::bench::MakeTruckLines(kLineCount, 42);
    std::size_t i = 0;
    for (auto _ : state) {
        axlewise::TruckRecord record = axlewise::ReadTruck(lines[i]);
        benchmark::DoNotOptimize(record);
        i = (i + 1) % kLineCount;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("items are lines");
}
BENCHMARK(BM_ReadTruck);

}  // namespace

BENCHMARK_MAIN();

// ReadTruck over realistic lines; reports lines per second.

#include "BenchLines.h"
#include "records/modUDTs.h"

#include <benchmark/benchmark.h>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace {

// More lines than fit in the branch predictor's memory, few enough to stay in
// cache: the figure is the parser's, not the memory's.
constexpr std::size_t kLineCount = 4096;

// A line on its own: the record takes a copy of it.
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

// As the loaders read: each line is a slice of the loaded text, which the
// record shares instead of copying.
void BM_ReadTruckSlice(benchmark::State& state) {
    const std::vector<std::string> lines = axlewise::bench::MakeTruckLines(kLineCount, 42);
    std::string all;
    std::vector<std::size_t> starts;
    for (const std::string& line : lines) {
        starts.push_back(all.size());
        all += line;
        all += '\n';
    }
    const auto text = std::make_shared<const std::string>(std::move(all));
    std::vector<axlewise::SharedText> slices;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        slices.emplace_back(text, std::string_view(*text).substr(starts[k], lines[k].size()));
    }
    std::size_t i = 0;
    for (auto _ : state) {
        axlewise::TruckRecord record = axlewise::ReadTruck(slices[i]);
        benchmark::DoNotOptimize(record);
        i = (i + 1) % slices.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("items are lines");
}
BENCHMARK(BM_ReadTruckSlice);

}  // namespace

BENCHMARK_MAIN();

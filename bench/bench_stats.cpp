// The whole-file statistics of 1,000,000 realistic trucks: feeding every truck
// to the accumulator and working out the figures, as the Summary window does
// for a loaded file; and the figures alone, the part that does not grow with
// the trucks.

#include "BenchLines.h"
#include "checks/LoadChecks.h"
#include "records/modUDTs.h"
#include "stats/SiteStats.h"

#include <benchmark/benchmark.h>
#include <cstddef>
#include <vector>

namespace {

constexpr std::size_t kTrucks = 1000000;

struct CheckedTrucks {
    std::vector<axlewise::TruckRecord> trucks;
    std::vector<axlewise::CheckMask> failed;
};

// Read and checked once for every benchmark below: the work before statistics.
const CheckedTrucks& Trucks() {
    static const CheckedTrucks checked = [] {
        using namespace axlewise;
        CheckedTrucks made;
        made.trucks.reserve(kTrucks);
        made.failed.reserve(kTrucks);
        LoadChecker checker;
        for (const std::string& line : bench::MakeTruckLines(kTrucks, 42)) {
            TruckRecord truck = ReadTruck(line);
            truck.RawLine = {};  // the statistics never read the line
            const TruckIndex number = static_cast<TruckIndex>(made.trucks.size()) + 1;
            made.failed.push_back(checker.next(truck, number));
            made.trucks.push_back(std::move(truck));
        }
        return made;
    }();
    return checked;
}

void BM_StatisticsOfAMillionTrucks(benchmark::State& state) {
    const CheckedTrucks& checked = Trucks();
    for (auto _ : state) {
        axlewise::StatsAccumulator accumulator;
        for (std::size_t i = 0; i < checked.trucks.size(); ++i) {
            accumulator.add(static_cast<axlewise::TruckIndex>(i) + 1, checked.trucks[i],
                            checked.failed[i]);
        }
        axlewise::SiteStats stats = accumulator.result();
        benchmark::DoNotOptimize(stats);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kTrucks));
    state.SetLabel("items are trucks");
}
BENCHMARK(BM_StatisticsOfAMillionTrucks)->Unit(benchmark::kMillisecond);

void BM_FiguresOfAMillionTrucks(benchmark::State& state) {
    const CheckedTrucks& checked = Trucks();
    axlewise::StatsAccumulator accumulator;
    for (std::size_t i = 0; i < checked.trucks.size(); ++i) {
        accumulator.add(static_cast<axlewise::TruckIndex>(i) + 1, checked.trucks[i],
                        checked.failed[i]);
    }
    for (auto _ : state) {
        axlewise::SiteStats stats = accumulator.result();
        benchmark::DoNotOptimize(stats);
    }
}
BENCHMARK(BM_FiguresOfAMillionTrucks)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

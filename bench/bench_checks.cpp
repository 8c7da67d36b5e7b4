// CheckTruck and the ORDER check over realistic lines; reports trucks per second.

#include "BenchLines.h"
#include "checks/CheckFields.h"
#include "checks/LoadChecks.h"
#include "checks/OrderCheck.h"
#include "checks/TruckChecks.h"
#include "records/modUDTs.h"

#include <benchmark/benchmark.h>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// As in bench_readtruck: more trucks than the branch predictor remembers, few
// enough to stay in cache.
constexpr std::size_t kTruckCount = 4096;

std::vector<axlewise::TruckRecord> Trucks() {
    std::vector<axlewise::TruckRecord> trucks;
    trucks.reserve(kTruckCount);
    for (const std::string& line : axlewise::bench::MakeTruckLines(kTruckCount, 42)) {
        trucks.push_back(axlewise::ReadTruck(line));
    }
    return trucks;
}

// What the window does for the truck on show: its checks, DUPLICATE against the
// truck before it in the list.
void BM_CheckTruck(benchmark::State& state) {
    const std::vector<axlewise::TruckRecord> trucks = Trucks();
    std::size_t i = 1;
    for (auto _ : state) {
        std::vector<axlewise::CheckFailure> failures =
            axlewise::CheckTruck(trucks[i], &trucks[i - 1], static_cast<axlewise::TruckIndex>(i));
        benchmark::DoNotOptimize(failures);
        i = i + 1 < kTruckCount ? i + 1 : 1;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("items are trucks");
}
BENCHMARK(BM_CheckTruck);

// Every check failing at once, messages and all: the cost of a bad record.
void BM_CheckTruckFailing(benchmark::State& state) {
    using namespace axlewise;
    TruckRecord truck = Trucks().front();
    const auto set = [&truck](int index, int value) {
        truck.Data[static_cast<std::size_t>(index)] = static_cast<std::int16_t>(value);
    };
    set(kSpeedField, 0);
    set(kMinuteField, 61);
    set(kGvwField, LargestValue(kGvwField));  // AXLE_SUM and FIELD_MAX
    set(kLengthField, 1);                     // WHEELBASE
    for (auto _ : state) {
        std::vector<axlewise::CheckFailure> failures = axlewise::CheckTruck(truck, &truck, 1);
        benchmark::DoNotOptimize(failures);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("items are trucks");
}
BENCHMARK(BM_CheckTruckFailing);

// The checks as a load keeps them with every truck: the mask alone,
// DUPLICATE against the truck before, and ORDER (what LoadChecker does).
void BM_FailedChecks(benchmark::State& state) {
    const std::vector<axlewise::TruckRecord> trucks = Trucks();
    std::size_t i = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(axlewise::FailedChecks(trucks[i], &trucks[i - 1]));
        i = i + 1 < kTruckCount ? i + 1 : 1;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("items are trucks");
}
BENCHMARK(BM_FailedChecks);

void BM_LoadChecker(benchmark::State& state) {
    const std::vector<axlewise::TruckRecord> trucks = Trucks();
    axlewise::LoadChecker checker;
    std::size_t i = 0;
    axlewise::TruckIndex number = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(checker.next(trucks[i], ++number));
        i = (i + 1) % kTruckCount;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("items are trucks");
}
BENCHMARK(BM_LoadChecker);

// ORDER over a file's trucks in passing order.
void BM_OrderCheck(benchmark::State& state) {
    const std::vector<axlewise::TruckRecord> trucks = Trucks();
    axlewise::OrderCheck order;
    std::size_t i = 0;
    axlewise::TruckIndex number = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(order.next(trucks[i], ++number));
        i = (i + 1) % kTruckCount;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("items are trucks");
}
BENCHMARK(BM_OrderCheck);

}  // namespace

BENCHMARK_MAIN();

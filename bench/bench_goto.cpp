// The Go menu's searches over 1,000,000 trucks held: the next failing truck
// when only the last one fails, and the first truck at or after a time that
// only the last one reaches.

#include "BenchLines.h"
#include "display/GoTo.h"
#include "loading/TruckFile.h"
#include "records/BrowserState.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace axlewise;

constexpr std::size_t kTrucks = 1'000'000;

// 1,000,000 generated trucks in passing order, none failing a check but the
// last, whose SPEED is 0.
const BrowserState& Held() {
    static const BrowserState state = [] {
        std::string text = bench::MakeTruckText(kTrucks, 7);
        const std::size_t lastLine = text.size() - 79;  // 78 columns and the break
        text.replace(lastLine + 18, 3, "  0");          // SPEED, columns 19-21
        BrowserState held;
        LoadTruckText(held, std::move(text), 0);
        return held;
    }();
    return state;
}

void BM_NextFailing_OnlyTheLastFails(benchmark::State& state) {
    const BrowserState& held = Held();
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindFailing(held, 1, kEveryCheck, Direction::Forward));
    }
    state.SetLabel("the truck found: " +
                   std::to_string(*FindFailing(held, 1, kEveryCheck, Direction::Forward)));
}
BENCHMARK(BM_NextFailing_OnlyTheLastFails)->Unit(benchmark::kMillisecond);

void BM_GoToTime_OnlyTheLastMatches(benchmark::State& state) {
    const BrowserState& held = Held();
    const TruckRecord& last = held.Truck(held.NoTrucks);
    const PassageTime when = PassageTimeOf(last);
    for (auto _ : state) {
        benchmark::DoNotOptimize(FirstPassingAtOrAfter(held, when));
    }
    state.SetLabel("the truck found: " + std::to_string(*FirstPassingAtOrAfter(held, when)));
}
BENCHMARK(BM_GoToTime_OnlyTheLastMatches)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

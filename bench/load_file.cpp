// load_file FILE [IGNORE]
//
// Reads FILE in one go and loads it into a fresh BrowserState through the same
// code the window uses, and prints the trucks added, the lines read, the wall
// time of read and load together (and the processor time), lines per second and
// the peak resident memory.

#include "PeakMemory.h"
#include "loading/TruckFile.h"
#include "records/BrowserState.h"
#include "records/RuntimeError.h"

#include <chrono>
#include <ctime>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    using namespace axlewise;
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s FILE [IGNORE]\n", argv[0]);
        return 2;
    }
    try {
        const TruckIndex ignore = argc == 3 ? IgnoreCount(argv[2]) : 0;
        BrowserState state;

        const std::clock_t cpuStart = std::clock();
        const auto start = std::chrono::steady_clock::now();
        const LoadResult result = LoadTruckText(state, *ReadFileBytes(argv[1]), ignore);
        const auto stop = std::chrono::steady_clock::now();
        const std::clock_t cpuStop = std::clock();

        const double seconds = std::chrono::duration<double>(stop - start).count();
        std::printf("trucks:        %lld\n", static_cast<long long>(state.NoTrucks));
        std::printf("lines:         %lld\n", static_cast<long long>(result.lines));
        std::printf("seconds:       %.3f\n", seconds);
        // Processor time of this process: differs from the wall time when other
        // programs compete for the processor.
        std::printf("cpu seconds:   %.3f\n",
                    static_cast<double>(cpuStop - cpuStart) / CLOCKS_PER_SEC);
        std::printf("lines/second:  %.0f\n",
                    seconds > 0 ? static_cast<double>(result.lines) / seconds : 0.0);
        std::printf("echo bytes:    %zu\n", result.echo.size());
        std::printf("peak memory:   %.1f MiB\n",
                    static_cast<double>(bench::PeakResidentBytes()) / (1024.0 * 1024.0));
        if (result.failure) {
            std::printf("stopped:       %s\n", result.failure->text().c_str());
            return 1;
        }
    } catch (const RuntimeError& error) {
        std::fprintf(stderr, "%s: error %d: %s\n", argv[1], error.code(), error.what());
        return 1;
    }
    return 0;
}

// libFuzzer target: the input as a truck file's contents, loaded with
// LoadTruckText into a state that already holds two trucks. The first byte
// chooses how the file is loaded, the rest is the file:
//   bits 0-1  head lines to ignore, 0..3
//   bits 2-3  when the progress callback cancels: 1 at its first call, 2 at its
//             second, otherwise never
//   bits 4-6  all set: the file repeated until it holds more than 4096 lines,
//             so that progress is asked again after trucks were added and a
//             cancel then has trucks to take back (rare and kept small, since
//             such loads are slow to check)

#include "FuzzChecks.h"
#include "ReferenceReading.h"
#include "loading/TruckFile.h"
#include "records/BrowserState.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

using namespace axlewise;
using namespace axlewise::fuzz;

namespace {

// The echo: UTF-8, '\n' breaks only, one '\n' per line read, and the same text
// as the reference lines read, each as Readable gives it and followed by '\n'.
void CheckEcho(const LoadResult& result, const std::vector<std::string_view>& lines) {
    const std::string_view echo = result.echo.view();
    CheckOrDie(IsUtf8(echo), "the echo is not valid UTF-8");
    CheckOrDie(echo.find('\r') == std::string_view::npos, "the echo holds a CR");
    CheckOrDie(std::count(echo.begin(), echo.end(), '\n') == result.lines,
               "the echo does not hold one break per line read");
    std::string expected;
    for (TruckIndex n = 0; n < result.lines; ++n) {
        expected += Readable(lines[static_cast<std::size_t>(n)]);
        expected += '\n';
    }
    CheckOrDie(echo == expected, "the echo is not the lines read");
}

// Every added truck keeps its line as a slice of the echo: a whole line,
// starting at a line start and followed by its break.
void CheckRawLinesInEcho(const BrowserState& state, const StateSnapshot& before,
                         const LoadResult& result) {
    const std::string_view echo = result.echo.view();
    for (TruckIndex i = before.count() + 1; i <= state.NoTrucks; ++i) {
        const SharedText& raw = state.Truck(i).RawLine;
        CheckOrDie(raw.block() == result.echo.block(), "a RawLine is not a slice of the echo");
        const std::string_view line = raw.view();
        const auto offset = static_cast<std::size_t>(line.data() - echo.data());
        CheckOrDie(line.data() >= echo.data() && offset + line.size() < echo.size(),
                   "a RawLine lies outside the echo");
        CheckOrDie(offset == 0 || echo[offset - 1] == '\n', "a RawLine starts inside a line");
        CheckOrDie(echo[offset + line.size()] == '\n', "a RawLine ends inside a line");
    }
}

// ReadTruckLines asks for progress before every 4096th line; a text of more
// lines than that is asked twice. Larger texts would only slow the fuzzer down.
constexpr std::size_t kLinesForSecondProgress = 4097;
constexpr std::size_t kLargestRepeated = std::size_t{64} << 10;

// The contents, ended by a break, written out as many times as it takes to
// make kLinesForSecondProgress lines, unless that grows too large.
std::string Repeated(const std::string& contents) {
    std::string unit = contents;
    if (unit.empty() || (unit.back() != '\n' && unit.back() != '\r')) {
        unit += '\n';
    }
    const std::size_t linesPerUnit = ReferenceLines(unit).size();
    const std::size_t copies = (kLinesForSecondProgress + linesPerUnit - 1) / linesPerUnit;
    if (copies * unit.size() > kLargestRepeated) {
        return contents;
    }
    std::string repeated;
    repeated.reserve(copies * unit.size());
    for (std::size_t i = 0; i < copies; ++i) {
        repeated += unit;
    }
    return repeated;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SelfCheckReference();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const TruckIndex ignoreLines = data[0] & 3;
    const int cancelMode = (data[0] >> 2) & 3;
    const int cancelAt = cancelMode == 3 ? 0 : cancelMode;
    std::string contents(reinterpret_cast<const char*>(data) + 1, size - 1);
    if ((data[0] & 0x70) == 0x70) {
        contents = Repeated(contents);
    }

    BrowserState state = StateWithTwoTrucks();
    const StateSnapshot before(state);
    ProgressProbe probe(cancelAt);
    LoadResult result;
    try {
        result = LoadTruckText(state, contents, ignoreLines, std::ref(probe));
    } catch (...) {
        Die("LoadTruckText raised");
    }
    if (probe.cancelled()) {
        CheckCancelled(state, before, result);
        return 0;
    }

    // The text as the loader should read it: a byte order mark at the start
    // skipped, lines split at LF, CRLF and CR, each line UTF-8 or read as Latin-1.
    std::string_view body = contents;
    if (body.substr(0, 3) == "\xEF\xBB\xBF") {
        body.remove_prefix(3);
    }
    const std::vector<std::string_view> lines = ReferenceLines(body);
    CheckLoad(state, before, result, lines, LineText::Readable, ignoreLines);
    CheckEcho(result, lines);
    CheckRawLinesInEcho(state, before, result);
    return 0;
}

// TextBuffer on a text of 1,000,000 realistic truck lines (79 MB), as the
// file-contents box holds a loaded file: loading it, typing and pasting at its
// middle line, reading it whole, and the lookups that map a scroll position to
// a line. "edits" is the number of scattered edits made before the timing.

#include "BenchLines.h"
#include "text/TextBuffer.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using axlewise::ByteOffset;
using axlewise::ByteRange;
using axlewise::LineNumber;
using axlewise::SharedText;
using axlewise::TextBuffer;

constexpr std::int64_t kLines = 1'000'000;
constexpr LineNumber kMiddle{500'000};

// The text as a load gives it, built once.
const SharedText& LoadedText() {
    static const SharedText text = axlewise::bench::MakeSharedTruckText(kLines, 42);
    return text;
}

// A user's edits spread over the text: a character typed, a line pasted, a
// few characters removed, at random places.
void EditScattered(TextBuffer& buffer, std::int64_t count) {
    std::mt19937_64 random(7);
    for (std::int64_t i = 0; i < count; ++i) {
        const ByteOffset at(static_cast<std::int64_t>(
            random() % static_cast<std::uint64_t>(buffer.size().value())));
        switch (i % 3) {
            case 0:
                buffer.insert(at, "x");
                break;
            case 1:
                buffer.insert(at, "a pasted line\n");
                break;
            default:
                buffer.remove(
                    {at, std::min(buffer.size(),
                                  at + ByteOffset(1 + static_cast<std::int64_t>(random() % 20)))});
        }
    }
}

// The loaded text after `edits` scattered edits.
std::unique_ptr<TextBuffer> EditedBuffer(std::int64_t edits) {
    auto buffer = std::make_unique<TextBuffer>();
    buffer->setText(LoadedText());
    EditScattered(*buffer, edits);
    return buffer;
}

std::int64_t HeapBytes() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}

void BM_SetText(benchmark::State& state) {
    const SharedText& text = LoadedText();
    TextBuffer buffer;
    const std::int64_t before = HeapBytes();
    for (auto _ : state) {
        buffer.setText(text);
    }
    // What the box costs on top of the text: its line index and a few spans.
    state.counters["heap bytes/line"] =
        static_cast<double>(HeapBytes() - before) / static_cast<double>(kLines);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_SetText)->Unit(benchmark::kMillisecond);

// A character inserted at the start of line 500,000 (found through lineStart)
// and undone again, so that every iteration edits the same text.
void BM_InsertCharAtMiddleLine(benchmark::State& state) {
    const auto buffer = EditedBuffer(state.range(0));
    for (auto _ : state) {
        buffer->insert(buffer->lineStart(kMiddle), "x");
        buffer->undo();
    }
    state.SetLabel("an insert and its undo");
}
BENCHMARK(BM_InsertCharAtMiddleLine)
    ->ArgName("edits")
    ->Arg(0)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);

// Typing at line 500,000: each character extends the piece the one before it
// started, within one undo step.
void BM_TypeAtMiddleLine(benchmark::State& state) {
    const auto buffer = EditedBuffer(state.range(0));
    ByteOffset at = buffer->lineStart(kMiddle);
    for (auto _ : state) {
        buffer->insert(at, "x", true);
        ++at;
    }
}
BENCHMARK(BM_TypeAtMiddleLine)->ArgName("edits")->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);

// 100,000 lines (7.8 MB) pasted at line 500,000 of the freshly loaded text.
void BM_Paste100kLinesAtMiddleLine(benchmark::State& state) {
    const std::string paste = axlewise::bench::MakeTruckText(100'000, 43);
    TextBuffer buffer;
    for (auto _ : state) {
        state.PauseTiming();
        buffer.setText(LoadedText());
        state.ResumeTiming();
        buffer.insert(buffer.lineStart(kMiddle), paste);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(paste.size()));
}
BENCHMARK(BM_Paste100kLinesAtMiddleLine)->Unit(benchmark::kMillisecond);

// The whole text read a piece at a time, into a string that already has room,
// after an edit at line 500,000 (and the scattered edits before it).
void BM_ReadWholeText(benchmark::State& state) {
    const auto buffer = EditedBuffer(state.range(0));
    buffer->insert(buffer->lineStart(kMiddle), "x");
    std::string out;
    out.reserve(buffer->size().index());
    for (auto _ : state) {
        out.clear();
        buffer->forEachPiece({ByteOffset(0), buffer->size()},
                             [&out](std::string_view piece) { out += piece; });
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * buffer->size().value());
}
BENCHMARK(BM_ReadWholeText)->ArgName("edits")->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond);

// The whole text as one new block, after an edit at line 500,000.
void BM_SharedTextAfterEdit(benchmark::State& state) {
    TextBuffer buffer;
    buffer.setText(LoadedText());
    buffer.insert(buffer.lineStart(kMiddle), "x");
    for (auto _ : state) {
        const SharedText text = buffer.sharedText();
        benchmark::DoNotOptimize(text.view().data());
    }
    state.SetBytesProcessed(state.iterations() * buffer.size().value());
}
BENCHMARK(BM_SharedTextAfterEdit)->Unit(benchmark::kMillisecond);

// The unedited text: the loaded block itself, no copy.
void BM_SharedTextUnedited(benchmark::State& state) {
    TextBuffer buffer;
    buffer.setText(LoadedText());
    for (auto _ : state) {
        const SharedText text = buffer.sharedText();
        benchmark::DoNotOptimize(text.view().data());
    }
}
BENCHMARK(BM_SharedTextUnedited);

// Random lines and offsets, drawn before the timing.
template <typename Lookup>
void RandomLookups(benchmark::State& state, bool lines, Lookup lookup) {
    const auto buffer = EditedBuffer(state.range(0));
    std::mt19937_64 random(11);
    const auto range = static_cast<std::uint64_t>(lines ? buffer->lineCount().value()
                                                        : buffer->size().value() + 1);
    std::vector<std::int64_t> targets(4096);
    for (std::int64_t& target : targets) {
        target = static_cast<std::int64_t>(random() % range);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lookup(*buffer, targets[i]));
        i = (i + 1) % targets.size();
    }
}

// A scroll position (a line) to the offset where that line starts.
void BM_LineStartOfRandomLine(benchmark::State& state) {
    RandomLookups(state, true,
                  [](const TextBuffer& b, std::int64_t n) { return b.lineStart(LineNumber(n)); });
}
BENCHMARK(BM_LineStartOfRandomLine)->ArgName("edits")->Arg(0)->Arg(1000)->Arg(10000);

// An offset (the caret) to its line.
void BM_LineAtRandomOffset(benchmark::State& state) {
    RandomLookups(state, false,
                  [](const TextBuffer& b, std::int64_t at) { return b.lineAt(ByteOffset(at)); });
}
BENCHMARK(BM_LineAtRandomOffset)->ArgName("edits")->Arg(0)->Arg(1000)->Arg(10000);

}  // namespace

BENCHMARK_MAIN();

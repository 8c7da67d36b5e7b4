// Find in the file-contents box holding 1,000,000 realistic truck lines
// (79 MB): a string found only on the last line, searched from the start,
// exactly and with letters folded, in the loaded text and in an edited one;
// and the box's side of following the panel: the line of the truck on show
// marked and scrolled into view at line 500,000. Offscreen, in the window's
// Editor size and font.
//   build/bench/bench_find

#include "BenchLines.h"
#include "drawing/Layout.h"
#include "text/Find.h"
#include "text/LineIndex.h"
#include "text/TextBuffer.h"
#include "window/TextBox.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <memory>
#include <string>

namespace {

using namespace axlewise;

constexpr std::size_t kLines = 1'000'000;

const SharedText& LoadedText() {
    static const SharedText text = bench::MakeSharedTruckText(kLines, 42);
    return text;
}

// The last line, without its break.
std::string LastLine() {
    const std::string_view text = LoadedText().view();
    const std::size_t start = text.rfind('\n', text.size() - 2) + 1;
    return std::string(text.substr(start, text.size() - 1 - start));
}

// The loaded text, and the same text edited: a word typed at the end of the
// last line (which the folded needles look for) and a line typed at line
// 500,000, so that the search walks five pieces.
TextBuffer& Loaded() {
    static TextBuffer buffer;
    static const bool set = [] {
        buffer.setText(LoadedText(), LineIndex::Of(LoadedText().view()));
        return true;
    }();
    (void)set;
    return buffer;
}

TextBuffer& Edited() {
    static TextBuffer buffer;
    static const bool set = [] {
        buffer.setText(LoadedText(), LineIndex::Of(LoadedText().view()));
        buffer.insert(buffer.lineEnd(LineNumber(kLines - 1)),
                      " \xC3\x9C"
                      "berl\xC3\xA4nge");
        buffer.insert(buffer.lineStart(LineNumber(500'000)), "typed\n");
        return true;
    }();
    (void)set;
    return buffer;
}

// One search from the start of the text; the match must be on the last line.
void Search(benchmark::State& state, const TextBuffer& buffer, const std::string& needle,
            bool matchCase) {
    const ByteOffset lastLine = buffer.lineStart(buffer.lineCount() - LineNumber(2));
    const ByteRange start{ByteOffset(0), ByteOffset(0)};
    FoundText found;
    for (auto _ : state) {
        found = Find(buffer, needle, start, {matchCase, false});
        benchmark::DoNotOptimize(found);
    }
    if (found.result != FindResult::Found || found.range.from < lastLine) {
        state.SkipWithError("the needle is not found only on the last line");
    }
    state.SetBytesProcessed(state.iterations() * buffer.size().value());
}

void BM_FindLastLine_Whole_MatchCase(benchmark::State& state) {
    Search(state, Loaded(), LastLine(), true);
}
BENCHMARK(BM_FindLastLine_Whole_MatchCase)->Unit(benchmark::kMillisecond);

// The first 20 columns (date, time, lane): digits and blanks, no letter to
// fold, so folded or not it is the same search.
void BM_FindLastLine_Columns1To20(benchmark::State& state) {
    Search(state, Loaded(), LastLine().substr(0, 20), false);
}
BENCHMARK(BM_FindLastLine_Columns1To20)->Unit(benchmark::kMillisecond);

void BM_FindLastLine_Edited_MatchCase(benchmark::State& state) {
    Search(state, Edited(),
           "\xC3\x9C"
           "berl\xC3\xA4nge",
           true);
}
BENCHMARK(BM_FindLastLine_Edited_MatchCase)->Unit(benchmark::kMillisecond);

// Folded: ASCII and Latin-1 letters in both cases.
void BM_FindLastLine_Edited_Folded(benchmark::State& state) {
    Search(state, Edited(),
           "\xC3\xBC"
           "BERL\xC3\x84NGE",
           false);
}
BENCHMARK(BM_FindLastLine_Edited_Folded)->Unit(benchmark::kMillisecond);

// Folded, a letter between digits: the letter is scanned for.
void BM_FindLastLine_Edited_FoldedDigitsAndLetter(benchmark::State& state) {
    Search(state, Edited(), LastLine().substr(70) + " \xC3\xBC", false);
}
BENCHMARK(BM_FindLastLine_Edited_FoldedDigitsAndLetter)->Unit(benchmark::kMillisecond);

// Backward from the end to a string only on the first line.
void BM_FindFirstLine_Backward(benchmark::State& state) {
    const TextBuffer& buffer = Loaded();
    const std::string needle = buffer.text({ByteOffset(0), buffer.lineEnd(LineNumber(0))});
    const ByteRange end{buffer.size(), buffer.size()};
    FoundText found;
    for (auto _ : state) {
        found = Find(buffer, needle, end, {true, true});
        benchmark::DoNotOptimize(found);
    }
    if (found.result != FindResult::Found || found.range.from != ByteOffset(0)) {
        state.SkipWithError("the needle is not found only on the first line");
    }
    state.SetBytesProcessed(state.iterations() * buffer.size().value());
}
BENCHMARK(BM_FindFirstLine_Backward)->Unit(benchmark::kMillisecond);

// The box in a shown window as after a load, in the window's Editor size and font.
struct Box {
    Box() : window(std::make_unique<QWidget>()) {
        window->setFont(WindowFont(kWindowPoints));
        window->resize(460, 160);
        box = new TextBox(window.get());
        box->setGeometry(10, 10, 433, 113);
        window->show();
        box->setFocus();
        box->setText(LoadedText(), LineIndex::Of(LoadedText().view()));
        QApplication::processEvents();
    }

    std::unique_ptr<QWidget> window;
    TextBox* box = nullptr;
};

Box& TheBox() {
    static Box box;
    return box;
}

// The box's find from the start: the search, the selection, the view
// scrolled to the last line.
void BM_BoxFindLastLine(benchmark::State& state) {
    TextBox* box = TheBox().box;
    const std::string needle = LastLine();
    FindResult result = FindResult::NotFound;
    for (auto _ : state) {
        state.PauseTiming();
        box->setCursorPosition(ByteOffset(0));
        state.ResumeTiming();
        result = box->find(needle, true, false);
    }
    if (result != FindResult::Found ||
        box->buffer().lineAt(box->cursorPosition()) != LineNumber(kLines - 1)) {
        state.SkipWithError("not found on the last line");
    }
}
BENCHMARK(BM_BoxFindLastLine)->Unit(benchmark::kMillisecond);

// What the window does on Next: the truck's line marked and revealed. Each
// step goes to a line not laid out before (the view follows a line at a time
// when walking; a jump puts the line in the middle), as the window's Next
// does; with a repaint, as the user sees it, or the calls alone.
void MarkAndReveal(benchmark::State& state, bool jump, bool repaint) {
    TextBox* box = TheBox().box;
    box->revealLine(LineNumber(500'000));
    std::int64_t step = 0;
    for (auto _ : state) {
        ++step;
        // Walking: 500,001, 500,002, ...; jumping: 500,000 and a line far
        // before it in turn, a new one each time.
        const LineNumber line = !jump           ? LineNumber(500'000 + step % 400'000)
                                : step % 2 == 0 ? LineNumber(500'000)
                                                : LineNumber(step % 400'000);
        box->setMarkedLine(line);
        box->revealLine(line);
        if (repaint) {
            box->viewport()->repaint();
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_MarkAndReveal_Walk(benchmark::State& state) {
    MarkAndReveal(state, false, false);
}
BENCHMARK(BM_MarkAndReveal_Walk)->Unit(benchmark::kMicrosecond);

void BM_MarkAndReveal_Jump(benchmark::State& state) {
    MarkAndReveal(state, true, false);
}
BENCHMARK(BM_MarkAndReveal_Jump)->Unit(benchmark::kMicrosecond);

void BM_MarkAndReveal_Walk_Repainted(benchmark::State& state) {
    MarkAndReveal(state, false, true);
}
BENCHMARK(BM_MarkAndReveal_Walk_Repainted)->Unit(benchmark::kMicrosecond);

void BM_MarkAndReveal_Jump_Repainted(benchmark::State& state) {
    MarkAndReveal(state, true, true);
}
BENCHMARK(BM_MarkAndReveal_Jump_Repainted)->Unit(benchmark::kMicrosecond);

}  // namespace

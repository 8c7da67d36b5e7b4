// The file-contents box holding 1,000,000 realistic truck lines (79 MB), as
// after a load: keys pressed with the caret at line 500,000, each through Qt's
// key handling (the shortcut override first) and followed by a repaint of the
// view, as a user sees it; and setText of the whole text with the load's line
// index. Offscreen, in the window's Editor size and font.
//   build/bench/bench_textbox

#include "BenchLines.h"
#include "drawing/Layout.h"
#include "text/LineIndex.h"
#include "window/TextBox.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>

#include <memory>
#include <string>

namespace {

using axlewise::ByteOffset;
using axlewise::LineIndex;
using axlewise::LineNumber;
using axlewise::SharedText;
using axlewise::TextBox;

constexpr std::size_t kLines = 1'000'000;

const SharedText& LoadedText() {
    static const SharedText text = axlewise::bench::MakeSharedTruckText(kLines, 42);
    return text;
}

// The box in a shown window, the text loaded, the caret at line 500,000.
struct Box {
    Box() : window(std::make_unique<QWidget>()) {
        window->setFont(axlewise::WindowFont(axlewise::kWindowPoints));
        window->resize(460, 160);
        box = new TextBox(window.get());
        box->setGeometry(10, 10, 433, 113);
        window->show();
        box->setFocus();
        box->setText(LoadedText(), LineIndex::Of(LoadedText().view()));
        box->setCursorPosition(box->buffer().lineStart(LineNumber(500'000)));
        QApplication::processEvents();
    }

    // A key pressed and released, then the view painted.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}, const QString& text = {}) {
        QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(box, &down);
        QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(box, &up);
        box->viewport()->repaint();
    }

    std::unique_ptr<QWidget> window;
    TextBox* box = nullptr;
};

Box& TheBox() {
    static Box box;
    return box;
}

// Two keys an iteration that leave the text and caret as they were.
template <typename Keys>
void KeyPairs(benchmark::State& state, Keys keys) {
    Box& box = TheBox();
    box.box->setCursorPosition(box.box->buffer().lineStart(LineNumber(500'000)));
    for (auto _ : state) {
        keys(box);
    }
    state.SetItemsProcessed(state.iterations() * 2);
    state.SetLabel("items: keys");
}

void BM_TypeThenBackspace(benchmark::State& state) {
    KeyPairs(state, [](Box& box) {
        box.press(Qt::Key_X, {}, QStringLiteral("x"));
        box.press(Qt::Key_Backspace);
    });
}
BENCHMARK(BM_TypeThenBackspace)->Unit(benchmark::kMicrosecond);

void BM_RightThenLeft(benchmark::State& state) {
    KeyPairs(state, [](Box& box) {
        box.press(Qt::Key_Right);
        box.press(Qt::Key_Left);
    });
}
BENCHMARK(BM_RightThenLeft)->Unit(benchmark::kMicrosecond);

void BM_DownThenUp(benchmark::State& state) {
    KeyPairs(state, [](Box& box) {
        box.press(Qt::Key_Down);
        box.press(Qt::Key_Up);
    });
}
BENCHMARK(BM_DownThenUp)->Unit(benchmark::kMicrosecond);

void BM_PageDownThenPageUp(benchmark::State& state) {
    KeyPairs(state, [](Box& box) {
        box.press(Qt::Key_PageDown);
        box.press(Qt::Key_PageUp);
    });
}
BENCHMARK(BM_PageDownThenPageUp)->Unit(benchmark::kMicrosecond);

void BM_ReturnThenBackspace(benchmark::State& state) {
    KeyPairs(state, [](Box& box) {
        box.press(Qt::Key_Return);
        box.press(Qt::Key_Backspace);
    });
}
BENCHMARK(BM_ReturnThenBackspace)->Unit(benchmark::kMicrosecond);

void BM_UndoThenRedo(benchmark::State& state) {
    Box& box = TheBox();
    box.box->setCursorPosition(box.box->buffer().lineStart(LineNumber(500'000)));
    box.press(Qt::Key_X, {}, QStringLiteral("x"));
    for (auto _ : state) {
        box.press(Qt::Key_Z, Qt::ControlModifier);
        box.press(Qt::Key_Y, Qt::ControlModifier);
    }
    state.SetItemsProcessed(state.iterations() * 2);
    state.SetLabel("items: keys (Ctrl+Z, Ctrl+Y)");
}
BENCHMARK(BM_UndoThenRedo)->Unit(benchmark::kMicrosecond);

// A new text of 1,000,000 lines with the index a load builds, as frmMain
// gives it: the box's share of showing a loaded file.
void BM_SetTextWithIndex(benchmark::State& state) {
    Box& box = TheBox();
    const LineIndex index = LineIndex::Of(LoadedText().view());
    for (auto _ : state) {
        state.PauseTiming();
        LineIndex copy = index;
        state.ResumeTiming();
        box.box->setText(LoadedText(), std::move(copy));
        box.box->viewport()->repaint();
    }
}
BENCHMARK(BM_SetTextWithIndex)->Unit(benchmark::kMillisecond);

}  // namespace

#include "text/TextBuffer.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <utility>
#include <vector>

namespace axlewise {

namespace {

using Offset = TextBuffer::Offset;
using Line = TextBuffer::Line;

enum class Source : std::uint8_t { Original, Added };

// A run of bytes of one buffer, [start, start + length), holding `breaks` line
// breaks; the first of them is the buffer's break number firstBreak (its place
// in the buffer's break index), so that a break is found without a search.
struct Span {
    Source source = Source::Original;
    Offset start = 0;
    Offset length = 0;
    Line firstBreak = 0;
    Line breaks = 0;
};

bool Continues(const Span& before, const Span& after) {
    return before.source == after.source && before.start + before.length == after.start;
}

// Appends span to spans, joined to the last one when it continues it in the same
// buffer: typing at the end of the last typed text grows one span instead of
// adding one per character, and an undo puts a split span back together.
void AppendJoined(std::vector<Span>& spans, const Span& span) {
    if (span.length == 0) {
        return;
    }
    if (!spans.empty() && Continues(spans.back(), span)) {
        spans.back().length += span.length;
        spans.back().breaks += span.breaks;
    } else {
        spans.push_back(span);
    }
}

// Appends the offsets of the '\n's of text, counted from base, to breaks. One
// memchr per line: the library's scan is far faster than a loop over bytes.
void IndexBreaks(std::string_view text, Offset base, std::vector<Offset>& breaks) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* from = begin;
    while (from != end) {
        const void* found = std::memchr(from, '\n', static_cast<std::size_t>(end - from));
        if (!found) {
            break;
        }
        const char* const at = static_cast<const char*>(found);
        breaks.push_back(base + (at - begin));
        from = at + 1;
    }
}

std::size_t Index(std::ptrdiff_t i) {
    return static_cast<std::size_t>(i);
}

}  // namespace

// The text is the spans in order. Beside them run two prefix sums, where each
// span starts in the text and how many breaks come before it (each with a last
// entry for the whole text), so that an offset or a line is found by a binary
// search over the spans and then one over the span's part of its buffer's break
// index. An edit rewrites a few spans in place and the sums after them: a
// memmove and a loop over the spans, microseconds even after tens of thousands
// of scattered edits, and no bookkeeping that could go wrong.
struct TextBuffer::Impl {
    // An undo step: at `at`, the spans in `removed` were replaced by those in
    // `inserted`. Spans, not bytes, so that removing a whole large text copies
    // nothing; the bytes stay in their buffers, which only ever grow.
    struct Step {
        Offset at = 0;
        std::vector<Span> removed;
        Offset removedLength = 0;
        std::vector<Span> inserted;
        Offset insertedLength = 0;
    };

    SharedText original;
    std::vector<Offset> originalBreaks;
    std::string added;
    std::vector<Offset> addedBreaks;

    std::vector<Span> spans;
    std::vector<Offset> spanOffsets{0};  // spans.size() + 1 entries
    std::vector<Line> spanLines{0};      // spans.size() + 1 entries

    std::vector<Step> undoSteps;
    std::vector<Step> redoSteps;
    // The last step was typed and may still grow.
    bool typingOpen = false;

    std::string_view bytes(Source source) const {
        return source == Source::Original ? original.view() : std::string_view(added);
    }
    const std::vector<Offset>& breaksOf(Source source) const {
        return source == Source::Original ? originalBreaks : addedBreaks;
    }

    Offset size() const { return spanOffsets.back(); }
    Line breakCount() const { return spanLines.back(); }

    // Undoes (forward false) or redoes the last step of `from` and moves it to
    // `to`; the range of the text it put back.
    std::optional<Range> takeStep(std::vector<Step>& from, std::vector<Step>& to, bool forward) {
        // Undo and redo end a typed run, even with no step to take.
        typingOpen = false;
        if (from.empty()) {
            return std::nullopt;
        }
        to.push_back(std::move(from.back()));
        from.pop_back();
        const Step& step = to.back();
        const Offset replaced = forward ? step.removedLength : step.insertedLength;
        const Offset putBack = forward ? step.insertedLength : step.removedLength;
        splice(step.at, step.at + replaced, forward ? step.inserted : step.removed);
        return Range{step.at, step.at + putBack};
    }

    // The span that holds offset, or spans.size() for offset == size().
    std::size_t spanAt(Offset offset) const {
        return Index(std::upper_bound(spanOffsets.begin(), spanOffsets.end(), offset) -
                     spanOffsets.begin() - 1);
    }

    // How many of span's breaks lie in its first `length` bytes.
    Line breaksBefore(const Span& span, Offset length) const {
        const auto first = breaksOf(span.source).begin() + span.firstBreak;
        return std::lower_bound(first, first + span.breaks, span.start + length) - first;
    }

    // [from, to) of span.
    Span slice(const Span& span, Offset from, Offset to) const {
        const Line before = breaksBefore(span, from);
        return {span.source, span.start + from, to - from, span.firstBreak + before,
                breaksBefore(span, to) - before};
    }

    // Offset of the break number b of the text (0 <= b < breakCount()).
    Offset breakOffset(Line b) const {
        const std::size_t k =
            Index(std::upper_bound(spanLines.begin(), spanLines.end(), b) - spanLines.begin() - 1);
        const Span& span = spans[k];
        return spanOffsets[k] + breaksOf(span.source)[Index(span.firstBreak + b - spanLines[k])] -
               span.start;
    }

    Span append(std::string_view text) {
        Span span{Source::Added, static_cast<Offset>(added.size()),
                  static_cast<Offset>(text.size()), static_cast<Line>(addedBreaks.size()), 0};
        IndexBreaks(text, span.start, addedBreaks);
        added.append(text);
        span.breaks = static_cast<Line>(addedBreaks.size()) - span.firstBreak;
        return span;
    }

    // Replaces [from, to) of the text by the spans `with`; returns the spans taken out.
    std::vector<Span> splice(Offset from, Offset to, const std::vector<Span>& with) {
        const std::size_t count = spans.size();
        const std::size_t first = spanAt(from);
        const std::size_t last = spanAt(to);  // == count when to is the end
        const Offset fromInSpan = from - spanOffsets[first];
        const Offset toInSpan = to - spanOffsets[last];

        std::vector<Span> removed;
        for (std::size_t k = first; from < to && k <= last && k < count; ++k) {
            const Offset a = k == first ? fromInSpan : 0;
            const Offset b = k == last ? toInSpan : spans[k].length;
            AppendJoined(removed, slice(spans[k], a, b));
        }

        // The spans from the one before the edit to the last one it touches are
        // rebuilt, so that the new ones join their neighbours where they continue
        // them (the rest of the last span, or the whole of it, follows them).
        const std::size_t lo = first > 0 ? first - 1 : 0;
        const std::size_t hi = std::min(last + 1, count);
        std::vector<Span> rebuilt;
        if (lo < first) {
            AppendJoined(rebuilt, spans[lo]);
        }
        if (first < count) {
            AppendJoined(rebuilt, slice(spans[first], 0, fromInSpan));
        }
        for (const Span& span : with) {
            AppendJoined(rebuilt, span);
        }
        if (last < count) {
            AppendJoined(rebuilt, slice(spans[last], toInSpan, spans[last].length));
        }

        const auto at = spans.begin() + static_cast<std::ptrdiff_t>(lo);
        const std::size_t replaced = hi - lo;
        const std::size_t kept = std::min(replaced, rebuilt.size());
        std::copy_n(rebuilt.begin(), kept, at);
        if (rebuilt.size() > replaced) {
            spans.insert(at + static_cast<std::ptrdiff_t>(kept),
                         rebuilt.begin() + static_cast<std::ptrdiff_t>(kept), rebuilt.end());
        } else {
            spans.erase(at + static_cast<std::ptrdiff_t>(kept),
                        at + static_cast<std::ptrdiff_t>(replaced));
        }
        updateSums(lo);
        return removed;
    }

    // Recomputes the sums after span `from`, whose own entries are unchanged.
    void updateSums(std::size_t from) {
        spanOffsets.resize(spans.size() + 1);
        spanLines.resize(spans.size() + 1);
        for (std::size_t k = from; k < spans.size(); ++k) {
            spanOffsets[k + 1] = spanOffsets[k] + spans[k].length;
            spanLines[k + 1] = spanLines[k] + spans[k].breaks;
        }
    }

    template <typename Visit>
    void visitRange(Offset from, Offset to, Visit&& visit) const {
        for (std::size_t k = spanAt(from); from < to; ++k) {
            const Span& span = spans[k];
            const Offset begin = from - spanOffsets[k];
            const Offset end = std::min(span.length, to - spanOffsets[k]);
            visit(bytes(span.source)
                      .substr(static_cast<std::size_t>(span.start + begin),
                              static_cast<std::size_t>(end - begin)));
            from = spanOffsets[k] + end;
        }
    }
};

TextBuffer::TextBuffer() : impl_(std::make_unique<Impl>()) {}
TextBuffer::~TextBuffer() = default;

void TextBuffer::setText(const SharedText& text) {
    std::vector<Offset> breaks;
    IndexBreaks(text.view(), 0, breaks);
    // Growth by doubling may leave up to twice the room; the index is kept for
    // as long as the text, so it gives the rest back.
    breaks.shrink_to_fit();
    setText(text, std::move(breaks));
}

void TextBuffer::setText(const SharedText& text, std::vector<Offset> breaks) {
    Impl& d = *impl_;
    d.original = text;
    d.originalBreaks = std::move(breaks);
    assert(static_cast<std::size_t>(std::count(text.view().begin(), text.view().end(), '\n')) ==
           d.originalBreaks.size());
    // Fresh vectors rather than clear(): the old add buffer and history go now,
    // not when they are next outgrown.
    d.added = {};
    d.addedBreaks = {};
    d.undoSteps = {};
    d.redoSteps = {};
    d.typingOpen = false;

    const std::string_view view = d.original.view();
    d.spans.clear();
    if (!view.empty()) {
        d.spans.push_back({Source::Original, 0, static_cast<Offset>(view.size()), 0,
                           static_cast<Line>(d.originalBreaks.size())});
    }
    d.updateSums(0);
}

TextBuffer::Range TextBuffer::replace(Offset from, Offset to, std::string_view text,
                                      bool mergeTyping) {
    Impl& d = *impl_;
    assert(0 <= from && from <= to && to <= d.size());
    const Offset length = static_cast<Offset>(text.size());
    // Nothing to do: no step, and the redo steps stay.
    if (from == to && text.empty()) {
        return {from, from};
    }

    std::vector<Span> inserted;
    if (!text.empty()) {
        inserted.push_back(d.append(text));
    }
    std::vector<Span> removed = d.splice(from, to, inserted);
    d.redoSteps.clear();

    Impl::Step* const last = d.undoSteps.empty() ? nullptr : &d.undoSteps.back();
    if (mergeTyping && d.typingOpen && last && from == to &&
        last->at + last->insertedLength == from) {
        AppendJoined(last->inserted, inserted.front());
        last->insertedLength += length;
    } else {
        d.undoSteps.push_back({from, std::move(removed), to - from, std::move(inserted), length});
    }
    d.typingOpen = mergeTyping;
    return {from, from + length};
}

bool TextBuffer::canUndo() const {
    return !impl_->undoSteps.empty();
}
bool TextBuffer::canRedo() const {
    return !impl_->redoSteps.empty();
}

std::optional<TextBuffer::Range> TextBuffer::undo() {
    return impl_->takeStep(impl_->undoSteps, impl_->redoSteps, false);
}

std::optional<TextBuffer::Range> TextBuffer::redo() {
    return impl_->takeStep(impl_->redoSteps, impl_->undoSteps, true);
}

void TextBuffer::closeUndoStep() {
    impl_->typingOpen = false;
}

TextBuffer::Offset TextBuffer::size() const {
    return impl_->size();
}

TextBuffer::Line TextBuffer::lineCount() const {
    return impl_->breakCount() + 1;
}

TextBuffer::Offset TextBuffer::lineStart(Line n) const {
    assert(0 <= n && n < lineCount());
    return n == 0 ? 0 : impl_->breakOffset(n - 1) + 1;
}

TextBuffer::Offset TextBuffer::lineEnd(Line n) const {
    assert(0 <= n && n < lineCount());
    return n == impl_->breakCount() ? impl_->size() : impl_->breakOffset(n);
}

TextBuffer::Line TextBuffer::lineAt(Offset offset) const {
    const Impl& d = *impl_;
    assert(0 <= offset && offset <= d.size());
    const std::size_t k = d.spanAt(offset);
    if (k == d.spans.size()) {
        return d.breakCount();
    }
    return d.spanLines[k] + d.breaksBefore(d.spans[k], offset - d.spanOffsets[k]);
}

char TextBuffer::at(Offset offset) const {
    const Impl& d = *impl_;
    assert(0 <= offset && offset < d.size());
    const std::size_t k = d.spanAt(offset);
    const Span& span = d.spans[k];
    return d.bytes(span.source)[static_cast<std::size_t>(span.start + offset - d.spanOffsets[k])];
}

std::string TextBuffer::text(Offset from, Offset to) const {
    assert(0 <= from && from <= to && to <= size());
    std::string out;
    out.reserve(static_cast<std::size_t>(to - from));
    impl_->visitRange(from, to, [&out](std::string_view piece) { out += piece; });
    return out;
}

void TextBuffer::forEachPiece(Offset from, Offset to,
                              const std::function<void(std::string_view)>& visit) const {
    assert(0 <= from && from <= to && to <= size());
    impl_->visitRange(from, to, visit);
}

SharedText TextBuffer::sharedText() const {
    const Impl& d = *impl_;
    if (d.spans.empty()) {
        return {};
    }
    // The loaded slice is still the text, or one stretch of it (head lines
    // deleted, say): a slice of the same block, no copy. Edits undone back to it
    // have been joined into one span again.
    if (d.spans.size() == 1 && d.spans.front().source == Source::Original) {
        const Span& span = d.spans.front();
        if (span.length == static_cast<Offset>(d.original.size())) {
            return d.original;
        }
        return SharedText(d.original.block(),
                          d.original.view().substr(static_cast<std::size_t>(span.start),
                                                   static_cast<std::size_t>(span.length)));
    }
    auto block = std::make_shared<const std::string>(text(0, d.size()));
    return SharedText(block, *block);
}

}  // namespace axlewise

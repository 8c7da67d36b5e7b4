#include "text/TextBuffer.h"

#include "records/Utf8.h"
#include "text/PieceList.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <utility>
#include <vector>

namespace axlewise {

namespace {

using pieces::Line;
using pieces::Offset;
using pieces::PieceList;
using pieces::Span;

// New text goes into chunks of at least this size, so that typing appends to
// one chunk for a long while; a larger paste gets a chunk of its own size.
constexpr Offset kChunkBytes = 64 * 1024;

bool Continues(const Span& before, const Span& after) {
    return before.block == after.block && before.start + before.length == after.start;
}

// Appends span to spans, joined to the last one when it continues it in the same
// block: typing at the end of the last typed text grows one span instead of
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

Offset Length(const std::vector<Span>& spans) {
    Offset length = 0;
    for (const Span& span : spans) {
        length += span.length;
    }
    return length;
}

}  // namespace

// An edit rewrites a few spans in place and the sums after them: a memmove and
// a loop over the spans, microseconds even after tens of thousands of
// scattered edits, and no bookkeeping that could go wrong. The piece list is
// shared with snapshots, and copied before an edit while one holds it.
struct TextBuffer::Impl {
    // An undo step: at `at`, the spans in `removed` were replaced by those in
    // `inserted`. Spans, not bytes, so that removing a whole large text copies
    // nothing; the bytes stay in their blocks, which never change. A step
    // `withPrevious` is undone and redone together with the one before it.
    struct Step {
        Offset at = 0;
        std::vector<Span> removed;
        Offset removedLength = 0;
        std::vector<Span> inserted;
        Offset insertedLength = 0;
        bool withPrevious = false;
    };

    SharedText original;
    pieces::Blocks blocks{nullptr};
    std::vector<LineIndex> breaks{LineIndex()};
    // The chunk new text is appended to: the last block, while chunk is set.
    char* chunk = nullptr;
    Offset chunkUsed = 0;
    Offset chunkCapacity = 0;

    std::shared_ptr<PieceList> list = std::make_shared<PieceList>();

    std::vector<Step> undoSteps;
    std::vector<Step> redoSteps;
    // The last step was typed and may still grow.
    bool typingOpen = false;
    std::uint64_t revision = 0;
    Edit lastEdit;

    // The piece list, copied first when a snapshot shares it.
    PieceList& writable() {
        if (list.use_count() > 1) {
            list = std::make_shared<PieceList>(*list);
        }
        return *list;
    }

    Offset size() const { return list->size(); }
    Line breakCount() const { return list->lines.back(); }

    // How many of span's breaks lie in its first `length` bytes.
    Line breaksBefore(const Span& span, Offset length) const {
        return breaks[span.block].countBefore(span.firstBreak, span.breaks,
                                              ByteOffset(span.start + length));
    }

    // [from, to) of span.
    Span slice(const Span& span, Offset from, Offset to) const {
        const Line before = breaksBefore(span, from);
        return {span.block, span.start + from, to - from, span.firstBreak + before,
                breaksBefore(span, to) - before};
    }

    // Offset of the break number b of the text (0 <= b < breakCount()).
    Offset breakOffset(Line b) const {
        const PieceList& l = *list;
        const std::size_t k = static_cast<std::size_t>(
            std::upper_bound(l.lines.begin(), l.lines.end(), b) - l.lines.begin() - 1);
        const Span& span = l.spans[k];
        return l.offsets[k] + breaks[span.block][span.firstBreak + b - l.lines[k]].value() -
               span.start;
    }

    Span append(std::string_view text) {
        const auto length = static_cast<Offset>(text.size());
        if (!chunk || chunkCapacity - chunkUsed < length) {
            const Offset capacity = std::max(kChunkBytes, length);
            std::shared_ptr<char[]> made(new char[static_cast<std::size_t>(capacity)]);
            chunk = made.get();
            blocks.emplace_back(made, made.get());
            breaks.emplace_back();
            chunkUsed = 0;
            chunkCapacity = capacity;
        }
        const auto block = static_cast<std::uint32_t>(blocks.size() - 1);
        LineIndex& index = breaks.back();
        Span span{block, chunkUsed, length, index.size(), 0};
        index.appendBreaksOf(text, ByteOffset(chunkUsed));
        std::memcpy(chunk + chunkUsed, text.data(), text.size());
        span.breaks = index.size() - span.firstBreak;
        chunkUsed += length;
        return span;
    }

    // The spans of [from, to).
    std::vector<Span> spansOf(Offset from, Offset to) const {
        std::vector<Span> out;
        const PieceList& l = *list;
        for (std::size_t k = l.spanAt(from); from < to; ++k) {
            const Offset a = from - l.offsets[k];
            const Offset b = std::min(l.spans[k].length, to - l.offsets[k]);
            AppendJoined(out, slice(l.spans[k], a, b));
            from = l.offsets[k] + b;
        }
        return out;
    }

    // Replaces [from, to) of the text by the spans `with`; returns the spans taken out.
    std::vector<Span> splice(Offset from, Offset to, const std::vector<Span>& with) {
        std::vector<Span> removed = spansOf(from, to);
        PieceList& l = writable();
        std::vector<Span>& spans = l.spans;
        const std::size_t count = spans.size();
        const std::size_t first = l.spanAt(from);
        const std::size_t last = l.spanAt(to);  // == count when to is the end
        const Offset fromInSpan = from - l.offsets[first];
        const Offset toInSpan = to - l.offsets[last];

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
        l.updateSums(lo);
        return removed;
    }

    // A new step: the text changed, what was to redo is gone.
    void record(Step step) {
        undoSteps.push_back(std::move(step));
        redoSteps.clear();
        ++revision;
    }

    // Applies one step forward (redo) or backward (undo); the range it put back.
    ByteRange apply(const Step& step, bool forward) {
        const Offset replaced = forward ? step.removedLength : step.insertedLength;
        const Offset putBack = forward ? step.insertedLength : step.removedLength;
        splice(step.at, step.at + replaced, forward ? step.inserted : step.removed);
        lastEdit = {ByteOffset(step.at), ByteOffset(step.at + replaced),
                    ByteOffset(step.at + putBack)};
        return {ByteOffset(step.at), ByteOffset(step.at + putBack)};
    }

    // Undoes (forward false) or redoes the last step of `from`, with the steps
    // that go with it, and moves them to `to`; the range the last one put back.
    std::optional<ByteRange> takeStep(std::vector<Step>& from, std::vector<Step>& to,
                                      bool forward) {
        // Undo and redo end a typed run, even with no step to take.
        typingOpen = false;
        if (from.empty()) {
            return std::nullopt;
        }
        ByteRange range;
        // The steps of a group are a move: text of one length taken out at one
        // place and put in at another, which leaves the stretch from the lower
        // place to the higher one plus that length as long as it was.
        Offset low = from.back().at;
        Offset high = low;
        bool group = false;
        for (;;) {
            to.push_back(std::move(from.back()));
            from.pop_back();
            range = apply(to.back(), forward);
            const Step& step = to.back();
            low = std::min(low, step.at);
            high = std::max(high, step.at + std::max(step.removedLength, step.insertedLength));
            // Undo goes on while the step just undone belongs to the one before;
            // redo while the next one belongs to the one just redone.
            const bool more =
                forward ? !from.empty() && from.back().withPrevious : to.back().withPrevious;
            if (!more || from.empty()) {
                break;
            }
            group = true;
        }
        if (group) {
            lastEdit = {ByteOffset(low), ByteOffset(high), ByteOffset(high)};
        }
        ++revision;
        return range;
    }
};

TextBuffer::TextBuffer() : impl_(std::make_unique<Impl>()) {}
TextBuffer::~TextBuffer() = default;

void TextBuffer::setText(const SharedText& text) {
    setText(text, LineIndex::Of(text.view()));
}

void TextBuffer::setText(const SharedText& text, LineIndex breaks) {
    Impl& d = *impl_;
    assert(breaks.describes(text.view()));
    d.original = text;
    // Fresh containers rather than clear(): the old chunks and history go now,
    // not when they are next outgrown.
    d.blocks = {std::shared_ptr<const char>(text.block(), text.view().data())};
    d.breaks = {};
    d.breaks.push_back(std::move(breaks));
    d.chunk = nullptr;
    d.chunkUsed = d.chunkCapacity = 0;
    d.undoSteps = {};
    d.redoSteps = {};
    d.typingOpen = false;
    ++d.revision;
    d.lastEdit = {};

    d.list = std::make_shared<PieceList>();
    if (!text.empty()) {
        d.list->spans.push_back(
            {pieces::kOriginal, 0, static_cast<Offset>(text.size()), 0, d.breaks.front().size()});
    }
    d.list->updateSums(0);
}

ByteRange TextBuffer::replace(ByteRange range, std::string_view text, bool mergeTyping) {
    Impl& d = *impl_;
    const Offset from = range.from.value();
    const Offset to = range.to.value();
    assert(0 <= from && from <= to && to <= d.size());
    const auto length = static_cast<Offset>(text.size());
    // Nothing to do: no step, and the redo steps stay.
    if (from == to && text.empty()) {
        return range;
    }

    std::vector<Span> inserted;
    if (!text.empty()) {
        inserted.push_back(d.append(text));
    }
    std::vector<Span> removed = d.splice(from, to, inserted);

    Impl::Step* const last = d.undoSteps.empty() ? nullptr : &d.undoSteps.back();
    if (mergeTyping && d.typingOpen && last && from == to &&
        last->at + last->insertedLength == from) {
        AppendJoined(last->inserted, inserted.front());
        last->insertedLength += length;
        d.redoSteps.clear();
        ++d.revision;
    } else {
        d.record({from, std::move(removed), to - from, std::move(inserted), length});
    }
    d.lastEdit = {range.from, range.to, range.from + ByteOffset(length)};
    d.typingOpen = mergeTyping;
    return {range.from, range.from + ByteOffset(length)};
}

ByteRange TextBuffer::move(ByteRange range, ByteOffset to) {
    Impl& d = *impl_;
    assert(to <= range.from || to >= range.to);
    d.typingOpen = false;
    if (range.empty() || to == range.from || to == range.to) {
        return range;
    }
    const Offset length = range.size().value();
    std::vector<Span> moved = d.splice(range.from.value(), range.to.value(), {});
    const Offset at = to > range.to ? to.value() - length : to.value();
    d.splice(at, at, moved);
    d.record({range.from.value(), moved, length, {}, 0});
    d.undoSteps.push_back({at, {}, 0, std::move(moved), length, true});
    const Offset low = std::min(range.from.value(), at);
    const Offset high = std::max(range.from.value(), at) + length;
    d.lastEdit = {ByteOffset(low), ByteOffset(high), ByteOffset(high)};
    return {ByteOffset(at), ByteOffset(at + length)};
}

ByteRange TextBuffer::copy(ByteRange range, ByteOffset to) {
    Impl& d = *impl_;
    d.typingOpen = false;
    if (range.empty()) {
        return {to, to};
    }
    std::vector<Span> copied = d.spansOf(range.from.value(), range.to.value());
    d.splice(to.value(), to.value(), copied);
    const Offset length = Length(copied);
    d.record({to.value(), {}, 0, std::move(copied), length});
    d.lastEdit = {to, to, to + ByteOffset(length)};
    return {to, to + ByteOffset(length)};
}

bool TextBuffer::canUndo() const {
    return !impl_->undoSteps.empty();
}
bool TextBuffer::canRedo() const {
    return !impl_->redoSteps.empty();
}

std::optional<ByteRange> TextBuffer::undo() {
    return impl_->takeStep(impl_->undoSteps, impl_->redoSteps, false);
}

std::optional<ByteRange> TextBuffer::redo() {
    return impl_->takeStep(impl_->redoSteps, impl_->undoSteps, true);
}

void TextBuffer::closeUndoStep() {
    impl_->typingOpen = false;
}

TextBuffer::Edit TextBuffer::lastEdit() const {
    return impl_->lastEdit;
}

std::uint64_t TextBuffer::revision() const {
    return impl_->revision;
}

ByteOffset TextBuffer::size() const {
    return ByteOffset(impl_->size());
}

LineNumber TextBuffer::lineCount() const {
    return LineNumber(impl_->breakCount() + 1);
}

ByteOffset TextBuffer::lineStart(LineNumber n) const {
    assert(LineNumber(0) <= n && n < lineCount());
    return n == LineNumber(0) ? ByteOffset(0) : ByteOffset(impl_->breakOffset(n.value() - 1) + 1);
}

ByteOffset TextBuffer::lineEnd(LineNumber n) const {
    assert(LineNumber(0) <= n && n < lineCount());
    return n.value() == impl_->breakCount() ? size() : ByteOffset(impl_->breakOffset(n.value()));
}

LineNumber TextBuffer::lineAt(ByteOffset offset) const {
    const Impl& d = *impl_;
    assert(ByteOffset(0) <= offset && offset <= size());
    const PieceList& l = *d.list;
    const std::size_t k = l.spanAt(offset.value());
    if (k == l.spans.size()) {
        return LineNumber(d.breakCount());
    }
    return LineNumber(l.lines[k] + d.breaksBefore(l.spans[k], offset.value() - l.offsets[k]));
}

char TextBuffer::at(ByteOffset offset) const {
    const Impl& d = *impl_;
    assert(ByteOffset(0) <= offset && offset < size());
    const PieceList& l = *d.list;
    const std::size_t k = l.spanAt(offset.value());
    const Span& span = l.spans[k];
    return d.blocks[span.block].get()[span.start + offset.value() - l.offsets[k]];
}

std::string TextBuffer::text(ByteRange range) const {
    assert(ByteOffset(0) <= range.from && range.from <= range.to && range.to <= size());
    std::string out;
    out.reserve(range.size().index());
    pieces::VisitRange(*impl_->list, impl_->blocks, range.from.value(), range.to.value(),
                       [&out](std::string_view piece) { out += piece; });
    return out;
}

void TextBuffer::forEachPiece(ByteRange range,
                              const std::function<void(std::string_view)>& visit) const {
    assert(ByteOffset(0) <= range.from && range.from <= range.to && range.to <= size());
    pieces::VisitRange(*impl_->list, impl_->blocks, range.from.value(), range.to.value(), visit);
}

std::int64_t TextBuffer::countChars(ByteRange range) const {
    std::int64_t count = 0;
    ByteOffset at = range.from;
    while (at < range.to) {
        // Piece by piece from `at`; a character cut by a piece's end is read
        // whole from the text, and counting goes on after it.
        bool cut = false;
        pieces::VisitRange(
            *impl_->list, impl_->blocks, at.value(), range.to.value(), [&](std::string_view piece) {
                if (cut) {
                    return;
                }
                const ByteOffset end = at + ByteOffset(static_cast<std::int64_t>(piece.size()));
                const Utf8Count part = CountUtf8Chars(piece, end < range.to);
                count += part.chars;
                at += ByteOffset(static_cast<std::int64_t>(part.bytes));
                cut = at < end;
            });
        if (cut) {
            ++count;
            at = nextChar(at);
        }
    }
    return count;
}

ByteOffset TextBuffer::charStart(ByteOffset offset) const {
    const ByteOffset from = std::max(ByteOffset(0), offset - ByteOffset(3));
    const ByteOffset to = std::min(size(), offset + ByteOffset(3));
    const std::string around = text({from, to});
    return from +
           ByteOffset(static_cast<std::int64_t>(Utf8CharStart(around, (offset - from).index())));
}

ByteOffset TextBuffer::nextChar(ByteOffset offset) const {
    if (offset >= size()) {
        return size();
    }
    const std::string ahead = text({offset, std::min(size(), offset + ByteOffset(4))});
    return offset + ByteOffset(static_cast<std::int64_t>(Utf8CharLength(ahead, 0)));
}

ByteOffset TextBuffer::previousChar(ByteOffset offset) const {
    return offset <= ByteOffset(0) ? ByteOffset(0) : charStart(offset - ByteOffset(1));
}

SharedText TextBuffer::sharedText() const {
    return *snapshot().join();
}

TextSnapshot TextBuffer::snapshot() const {
    TextSnapshot snapshot;
    snapshot.pieces_ = impl_->list;
    snapshot.blocks_ = impl_->blocks;
    snapshot.original_ = impl_->original;
    snapshot.revision_ = impl_->revision;
    return snapshot;
}

}  // namespace axlewise

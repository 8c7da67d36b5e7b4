#include "text/EditSession.h"

#include "records/Utf8.h"

#include <algorithm>

namespace axlewise {

namespace {

// Cut lines are rare; a few are remembered.
constexpr std::size_t kKeptLongLines = 64;

}  // namespace

EditSession::EditSession()
    : cuts_(kKeptLongLines, kKeptLongLines), chars_(kKeptLongLines, kKeptLongLines) {}

void EditSession::setText(const SharedText& text, LineIndex breaks) {
    dropPreedit();
    dragging_ = false;
    buffer_.setText(text, std::move(breaks));
    cuts_.clear();
    chars_.clear();
    anchor_ = position_ = ByteOffset(0);
    wantedX_.reset();
    changes_.text = true;
    for (LineListener* listener : listeners_) {
        listener->textReplaced();
    }
}

// ---- Caret and selection -----------------------------------------------------

ByteRange EditSession::selection() const {
    return {std::min(anchor_, position_), std::max(anchor_, position_)};
}

ByteOffset EditSession::snap(ByteOffset offset) const {
    const ByteOffset at = buffer_.charStart(std::clamp(offset, ByteOffset(0), buffer_.size()));
    const LineNumber line = buffer_.lineAt(at);
    const ByteOffset start = buffer_.lineStart(line);
    const ByteOffset lineBytes = buffer_.lineEnd(line) - start;
    if (ShownLine::MayBeCut(lineBytes) && at - start > cutOf(line, lineBytes)) {
        return start + lineBytes;
    }
    return at;
}

void EditSession::setCaret(ByteOffset anchor, ByteOffset position) {
    anchor_ = anchor;
    position_ = position;
    wantedX_.reset();
}

void EditSession::select(ByteOffset anchor, ByteOffset position) {
    buffer_.closeUndoStep();
    dropPreedit();
    setCaret(snap(anchor), snap(position));
}

void EditSession::moveTo(ByteOffset position, bool keepAnchor) {
    select(keepAnchor ? anchor_ : position, position);
}

void EditSession::selectAll() {
    select(ByteOffset(0), buffer_.size());
}

// ---- Mouse selection -----------------------------------------------------------

void EditSession::beginDrag(SelectUnit unit, ByteRange origin, bool keepAnchor) {
    if (unit == SelectUnit::Character) {
        moveTo(origin.from, keepAnchor);
        origin = {position_, position_};
    } else {
        select(origin.from, origin.to);
        origin = selection();
    }
    dragging_ = true;
    dragUnit_ = unit;
    dragOrigin_ = origin;
}

void EditSession::dragTo(ByteRange target) {
    if (!dragging_) {
        return;
    }
    // Characters move the caret alone; words and lines keep the whole unit
    // first pressed on selected, whichever way the pointer goes.
    if (dragUnit_ == SelectUnit::Character) {
        select(anchor_, target.to);
    } else if (target.from < dragOrigin_.from) {
        select(dragOrigin_.to, target.from);
    } else {
        select(dragOrigin_.from, std::max(target.to, dragOrigin_.to));
    }
}

// ---- Edits ---------------------------------------------------------------------

LineChange EditSession::linesChanged(LineNumber linesBefore) {
    const TextBuffer::Edit edit = buffer_.lastEdit();
    const LineNumber first = buffer_.lineAt(edit.from);
    const LineNumber newLast = buffer_.lineAt(edit.newTo);
    const LineChange change{first, newLast - (buffer_.lineCount() - linesBefore), newLast};
    tell(change);
    return change;
}

void EditSession::tell(const LineChange& change) {
    cuts_.linesReplaced(change);
    chars_.linesReplaced(change);
    changes_.text = true;
    for (LineListener* listener : listeners_) {
        listener->linesReplaced(change);
    }
}

std::optional<LineChange> EditSession::replace(ByteRange range, std::string_view text,
                                               bool typing) {
    // Whole characters, but not snapped out of a hidden part: Delete takes a
    // hidden line's characters one at a time.
    const auto whole = [this](ByteOffset at) {
        return buffer_.charStart(std::clamp(at, ByteOffset(0), buffer_.size()));
    };
    range = {whole(std::min(range.from, range.to)), whole(std::max(range.from, range.to))};
    if (range.empty() && text.empty()) {
        return std::nullopt;
    }
    dropPreedit();
    dragging_ = false;
    const LineNumber linesBefore = buffer_.lineCount();
    const LineNumber first = buffer_.lineAt(range.from);
    // A long line edited within keeps its character count, so that it is not
    // counted again.
    std::optional<std::int64_t> chars;
    if (const std::int64_t* known = chars_.find(first);
        known && buffer_.lineAt(range.to) == first) {
        chars = *known - buffer_.countChars(range) + CountUtf8Chars(text).chars;
    }
    const ByteRange inserted = buffer_.replace(range, text, typing);
    const LineChange change = linesChanged(linesBefore);
    if (chars && change.newLast == first) {
        chars_.put(first, *chars, 1);
    }
    // A break deleted at the end of a cut line joins the next line to it:
    // the caret then stands in the hidden part, and moves to the line's end.
    const ByteOffset caret = snap(inserted.to);
    setCaret(caret, caret);
    return change;
}

std::optional<LineChange> EditSession::replaceSelection(std::string_view text, bool typing) {
    return replace(selection(), text, typing);
}

std::optional<LineChange> EditSession::deleteTo(ByteOffset to) {
    if (hasSelection()) {
        return replaceSelection({}, false);
    }
    return replace({std::min(position_, to), std::max(position_, to)}, {}, false);
}

std::optional<LineChange> EditSession::undo() {
    return stepHistory(&TextBuffer::undo);
}

std::optional<LineChange> EditSession::redo() {
    return stepHistory(&TextBuffer::redo);
}

// One step of the history either way: the lines it rewrote are told, and the
// step's text is selected as it stands after the step.
std::optional<LineChange> EditSession::stepHistory(std::optional<ByteRange> (TextBuffer::*step)()) {
    dropPreedit();
    dragging_ = false;
    const LineNumber linesBefore = buffer_.lineCount();
    const std::optional<ByteRange> range = (buffer_.*step)();
    if (!range) {
        return std::nullopt;
    }
    const LineChange change = linesChanged(linesBefore);
    setCaret(snap(range->from), snap(range->to));
    return change;
}

std::optional<LineChange> EditSession::dropSelection(ByteOffset at, bool copy) {
    at = snap(at);
    const ByteRange source = selection();
    if (source.empty() || (source.from < at && at < source.to)) {
        return std::nullopt;
    }
    dropPreedit();
    dragging_ = false;
    buffer_.closeUndoStep();
    if (!copy && (at == source.from || at == source.to)) {
        return std::nullopt;  // already there
    }
    const LineNumber linesBefore = buffer_.lineCount();
    const ByteRange placed = copy ? buffer_.copy(source, at) : buffer_.move(source, at);
    const LineChange change = linesChanged(linesBefore);
    setCaret(snap(placed.from), snap(placed.to));
    return change;
}

// ---- Input method --------------------------------------------------------------

void EditSession::dropPreeditQuietly() {
    if (preedit_.empty()) {
        return;
    }
    preedit_.clear();
    preeditCursor_ = Utf16Index(0);
    const LineNumber line = buffer_.lineAt(position_);
    for (LineListener* listener : listeners_) {
        listener->linesReplaced({line, line, line});
    }
}

void EditSession::dropPreedit() {
    if (!preedit_.empty()) {
        dropPreeditQuietly();
        changes_.resetInput = true;
    }
}

void EditSession::inputMethod(std::string_view commit, Utf16Index replaceFrom,
                              Utf16Index replaceLength, std::u16string preedit,
                              Utf16Index preeditCursor) {
    dropPreeditQuietly();
    const bool replaces = replaceLength > Utf16Index(0) || replaceFrom != Utf16Index(0);
    if (!commit.empty() || replaces) {
        ByteRange range = selection();
        if (replaces) {
            // The replaced units are given around the caret, in the caret's line.
            const LineNumber line = buffer_.lineAt(position_);
            const ByteOffset start = buffer_.lineStart(line);
            const ShownLine shown = shownLine(line);
            const Utf16Index units(static_cast<std::int64_t>(shown.text().size()));
            const Utf16Index caret = shown.textIndex(position_ - start);
            const Utf16Index from = std::clamp(caret + replaceFrom, Utf16Index(0), units);
            const Utf16Index to = std::clamp(from + replaceLength, from, units);
            range = {start + shown.textByte(from), start + shown.textByte(to)};
        }
        replace(range, commit, true);
    }
    // A mouse selection goes on (and drops this pre-edit when it moves the
    // caret); a commit, being an edit, has ended it.
    preedit_ = std::move(preedit);
    preeditCursor_ = std::clamp(preeditCursor, Utf16Index(0),
                                Utf16Index(static_cast<std::int64_t>(preedit_.size())));
    if (!preedit_.empty()) {
        const LineNumber line = buffer_.lineAt(position_);
        for (LineListener* listener : listeners_) {
            listener->linesReplaced({line, line, line});
        }
    }
}

InputContext EditSession::inputContext() const {
    const LineNumber line = buffer_.lineAt(position_);
    const ByteOffset start = buffer_.lineStart(line);
    ShownLine shown = shownLine(line);
    InputContext context;
    context.cursor = shown.textIndex(position_ - start);
    if (anchor_ < start) {
        context.anchor = Utf16Index(0);
    } else {
        context.anchor = shown.textIndex(anchor_ - start);
    }
    context.surrounding = shown.text();
    return context;
}

// ---- Lines ---------------------------------------------------------------------

ByteOffset EditSession::cutOf(LineNumber line, ByteOffset lineBytes) const {
    if (const ByteOffset* known = cuts_.find(line)) {
        return *known;
    }
    const ByteOffset start = buffer_.lineStart(line);
    const ByteOffset take = std::min(lineBytes, ShownLine::kShownBytes);
    const ShownLine shown(buffer_.text({start, start + take}), lineBytes);
    cuts_.put(line, shown.shownBytes(), 1);
    cuts_.trim(line, line);
    return shown.shownBytes();
}

std::int64_t EditSession::charsOf(LineNumber line) const {
    if (const std::int64_t* known = chars_.find(line)) {
        return *known;
    }
    const std::int64_t count = buffer_.countChars({buffer_.lineStart(line), buffer_.lineEnd(line)});
    chars_.put(line, count, 1);
    chars_.trim(line, line);
    return count;
}

ShownLine EditSession::shownLine(LineNumber n) const {
    const ByteOffset start = buffer_.lineStart(n);
    const ByteOffset lineBytes = buffer_.lineEnd(n) - start;
    const ByteOffset take = std::min(lineBytes, ShownLine::kShownBytes);
    ShownLine shown(buffer_.text({start, start + take}), lineBytes);
    if (shown.cut()) {
        shown.setHiddenChars(charsOf(n) - shown.shownChars());
    }
    if (!preedit_.empty() && buffer_.lineAt(position_) == n) {
        shown.placePreedit(position_ - start,
                           Utf16Index(static_cast<std::int64_t>(preedit_.size())));
    }
    return shown;
}

ByteRange EditSession::lineWithBreak(LineNumber n) const {
    const ByteOffset end = buffer_.lineEnd(n);
    return {buffer_.lineStart(n), end < buffer_.size() ? end + ByteOffset(1) : end};
}

EditSession::Changes EditSession::takeChanges() {
    Changes out = changes_;
    const bool hadSelection = reportedAnchor_ != reportedPosition_;
    const bool moved = position_ != reportedPosition_;
    out.caret = moved;
    out.selection = (hadSelection || hasSelection()) && (moved || anchor_ != reportedAnchor_);
    reportedAnchor_ = anchor_;
    reportedPosition_ = position_;
    changes_ = {};
    return out;
}

}  // namespace axlewise

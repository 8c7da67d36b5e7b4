#pragma once

#include "records/SharedText.h"
#include "text/LineIndex.h"
#include "text/TextSnapshot.h"
#include "text/Units.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace axlewise {

// The text of the file-contents box: UTF-8 with '\n' line breaks, kept as a
// piece table over blocks that never change. A loaded file's text is viewed,
// never copied: the buffer holds the load's block (the one its trucks slice)
// and its line index, and edits add pieces over it, with new text appended to
// chunks of its own. Typing at line 500,000 of 1,000,000 costs about what
// typing at line 1 does.
//
// Offsets run from 0 to size(). The buffer takes any bytes; callers that want
// whole characters keep offsets on the boundaries charStart gives. Lines are
// counted from 0 and split at '\n' only: a text of n breaks has n + 1 lines (an
// empty text has one empty line; a text that ends with a break has an empty
// last line).
class TextBuffer {
public:
    TextBuffer();
    ~TextBuffer();
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    // Replaces the whole text by a view of text (no copy of its bytes) and its
    // line index, built here in one pass when none is given. Clears the undo
    // history.
    void setText(const SharedText& text);
    void setText(const SharedText& text, LineIndex breaks);

    // Replaces range by text. One undo step, unless mergeTyping is set, this
    // edit removes nothing, and the previous step was also a merging one that
    // ended where this one starts: then both undo together, as typed words do
    // (typing over a selection starts such a step). Returns the range of the
    // new text. Replacing nothing by nothing changes nothing.
    ByteRange replace(ByteRange range, std::string_view text, bool mergeTyping = false);
    ByteRange insert(ByteOffset at, std::string_view text, bool mergeTyping = false) {
        return replace({at, at}, text, mergeTyping);
    }
    void remove(ByteRange range) { replace(range, {}); }
    // Moves the text of range to `to` (a place outside it, or one of its ends)
    // or copies it there, without copying its bytes: one undo step. Returns the
    // range the text now has there.
    ByteRange move(ByteRange range, ByteOffset to);
    ByteRange copy(ByteRange range, ByteOffset to);

    // Undo and redo one step. They return the range of the text the step put
    // back (empty where it only removed text), for the caret and the selection;
    // nothing when there is no step to take.
    bool canUndo() const;
    bool canRedo() const;
    std::optional<ByteRange> undo();
    std::optional<ByteRange> redo();
    // Ends the current merging step, so that the next typed text starts a new one.
    void closeUndoStep();

    // The stretch the last change (edit, undo or redo) rewrote: [from, oldTo)
    // of the text before it is [from, newTo) now, the rest is as it was.
    struct Edit {
        ByteOffset from;
        ByteOffset oldTo;
        ByteOffset newTo;
    };
    Edit lastEdit() const;

    // A number that changes with every change of the text: setText, an edit
    // that changes something, undo and redo.
    std::uint64_t revision() const;

    ByteOffset size() const;
    bool empty() const { return size() == ByteOffset(0); }
    LineNumber lineCount() const;
    // Offset of the first byte of line n (0 <= n < lineCount()).
    ByteOffset lineStart(LineNumber n) const;
    // Offset of the '\n' that ends line n, or size() for the last line.
    ByteOffset lineEnd(LineNumber n) const;
    // The line that holds offset (0 <= offset <= size()); a break belongs to the
    // line it ends.
    LineNumber lineAt(ByteOffset offset) const;

    // The byte at offset (0 <= offset < size()).
    char at(ByteOffset offset) const;
    // A copy of range.
    std::string text(ByteRange range) const;
    // Calls visit with the text of range in order, a contiguous piece at a
    // time, without copying.
    void forEachPiece(ByteRange range, const std::function<void(std::string_view)>& visit) const;
    // Characters in range, as the UTF-8 module counts them (records/Utf8.h),
    // also where a character lies across two pieces.
    std::int64_t countChars(ByteRange range) const;
    // The start of the character that holds offset (0 <= offset <= size()), and
    // the starts of the characters after and before it (clamped to the text).
    ByteOffset charStart(ByteOffset offset) const;
    ByteOffset nextChar(ByteOffset offset) const;
    ByteOffset previousChar(ByteOffset offset) const;

    // The whole text as one SharedText: a slice of the loaded block while the
    // text is one stretch of it (no copy), otherwise the pieces joined once.
    SharedText sharedText() const;
    // The text as it is now, to be read on any thread (see TextSnapshot).
    TextSnapshot snapshot() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace axlewise

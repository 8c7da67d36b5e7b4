#pragma once

#include "records/SharedText.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace axlewise {

// The text of the file-contents box: UTF-8 with '\n' line breaks, kept as a
// piece table over blocks that never change. A loaded file's text is viewed,
// never copied: the box holds the load's block (the one its trucks slice) and
// a line index, and edits add pieces over it, with new text appended to a
// buffer of its own. Typing at line 500,000 of 1,000,000 costs about what
// typing at line 1 does.
//
// Offsets are bytes from the start of the text, 0..size(). Callers keep them
// on UTF-8 character boundaries and give valid UTF-8; the buffer does not
// check. Lines are counted from 0 and split at '\n' only: a text of n breaks
// has n + 1 lines (an empty text has one empty line; a text that ends with a
// break has an empty last line).
class TextBuffer {
public:
    using Offset = std::int64_t;
    using Line = std::int64_t;

    // A stretch of the text, [from, to).
    struct Range {
        Offset from = 0;
        Offset to = 0;
    };

    TextBuffer();
    ~TextBuffer();
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    // Replaces the whole text by a view of text (no copy of its bytes) and
    // builds the line index in one pass over it: at most 8 bytes a line.
    // Clears the undo history.
    void setText(const SharedText& text);
    // The same with the index already built: breaks holds the offset of every
    // '\n' of text in order, as a load finds them (at most 16 bytes a line).
    void setText(const SharedText& text, std::vector<Offset> breaks);

    // Replaces [from, to) by text; from <= to. One undo step, unless mergeTyping
    // is set, this edit removes nothing, and the previous step was also a
    // merging one that ended where this one starts: then both undo together, as
    // typed words do (typing over a selection starts such a step).
    // Returns the range of the new text.
    Range replace(Offset from, Offset to, std::string_view text, bool mergeTyping = false);
    Range insert(Offset at, std::string_view text, bool mergeTyping = false) {
        return replace(at, at, text, mergeTyping);
    }
    void remove(Offset from, Offset to) { replace(from, to, {}); }

    // Undo and redo one step. They return the range of the text the step put
    // back (empty where it only removed text), for the caret and the selection;
    // nothing when there is no step to take.
    bool canUndo() const;
    bool canRedo() const;
    std::optional<Range> undo();
    std::optional<Range> redo();
    // Ends the current merging step, so that the next typed text starts a new one.
    void closeUndoStep();

    Offset size() const;
    bool empty() const { return size() == 0; }
    Line lineCount() const;
    // Offset of the first byte of line n (0 <= n < lineCount()).
    Offset lineStart(Line n) const;
    // Offset of the '\n' that ends line n, or size() for the last line.
    Offset lineEnd(Line n) const;
    // The line that holds offset (0 <= offset <= size()); a break belongs to the
    // line it ends.
    Line lineAt(Offset offset) const;

    // The byte at offset (0 <= offset < size()).
    char at(Offset offset) const;
    // A copy of [from, to).
    std::string text(Offset from, Offset to) const;
    // Calls visit with the text of [from, to) in order, a contiguous piece at a
    // time, without copying.
    void forEachPiece(Offset from, Offset to,
                      const std::function<void(std::string_view)>& visit) const;
    // The whole text as one SharedText: a slice of the loaded block when the
    // text is still one stretch of it (no copy), otherwise the pieces joined once.
    SharedText sharedText() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace axlewise

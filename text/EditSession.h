#pragma once

#include "records/SharedText.h"
#include "text/LineCache.h"
#include "text/LineIndex.h"
#include "text/ShownLine.h"
#include "text/TextBuffer.h"
#include "text/Units.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace axlewise {

// Told of every change to how lines are shown, as it happens, so that views
// kept per line (layouts, row counts) never outlive what they were made of.
class LineListener {
public:
    virtual ~LineListener() = default;
    // Lines were replaced, or one line (first == oldLast == newLast) changed in
    // place: its text, or the pre-edit shown in it.
    virtual void linesReplaced(const LineChange& change) = 0;
    // The whole text was replaced.
    virtual void textReplaced() = 0;
};

// How a mouse selection grows: by characters, whole words or whole lines.
enum class SelectUnit { Character, Word, Line };

// What an input method is told about the caret's line: its shown text
// (without pre-edit and mark) and the caret and anchor in it, within
// 0..surrounding.size() (an anchor on another line is at an end).
struct InputContext {
    std::u16string surrounding;
    Utf16Index cursor;
    Utf16Index anchor;
};

// The editing state of the box, without Qt: the text, the caret, the anchor
// and the x kept through Up and Down, a mouse selection by unit, an input
// method's pre-edit, and the edits with their undo steps. Every offset it
// keeps is on a character boundary and outside the hidden part of a cut line
// (see ShownLine); every edit, undo and redo ends a mouse selection in
// progress and drops a pre-edit, and tells the listeners which lines changed.
class EditSession {
public:
    EditSession();

    // The text, read only: every change goes through the session.
    const TextBuffer& buffer() const { return buffer_; }
    void addListener(LineListener* listener) { listeners_.push_back(listener); }

    // Replaces the whole text: no undo history, the caret at the start.
    void setText(const SharedText& text, LineIndex breaks);
    void setText(const SharedText& text) { setText(text, LineIndex::Of(text.view())); }

    // ---- Caret and selection
    ByteOffset position() const { return position_; }
    ByteOffset anchor() const { return anchor_; }
    ByteRange selection() const;
    bool hasSelection() const { return anchor_ != position_; }
    // The nearest place the caret may stand: offset clamped to the text, moved
    // to the start of the character it is in, and to the line's end from the
    // hidden part of a cut line.
    ByteOffset snap(ByteOffset offset) const;
    // Selects from anchor to position (both snapped), the caret at position.
    // Like every caret move, it ends a typed run and drops a pre-edit.
    void select(ByteOffset anchor, ByteOffset position);
    // Moves the caret to position (snapped), keeping the anchor or not.
    void moveTo(ByteOffset position, bool keepAnchor);
    void selectAll();
    // The x (in pixels) the caret keeps through Up and Down; cleared by every
    // other move and edit.
    std::optional<double> wantedX() const { return wantedX_; }
    void setWantedX(double x) { wantedX_ = x; }

    // ---- Mouse selection: a press begins it at origin (a place, a word, a
    // line), each move extends it by whole units to target; an edit ends it.
    void beginDrag(SelectUnit unit, ByteRange origin, bool keepAnchor);
    void dragTo(ByteRange target);
    void endDrag() { dragging_ = false; }
    bool dragging() const { return dragging_; }
    SelectUnit dragUnit() const { return dragUnit_; }

    // ---- Edits; each returns the lines it changed, nothing when it changed
    // nothing. Typed text (typing set) joins the typed run before it into one
    // undo step; anything else starts a step of its own.
    std::optional<LineChange> replace(ByteRange range, std::string_view text, bool typing);
    std::optional<LineChange> replaceSelection(std::string_view text, bool typing);
    // Deletes the selection, or without one the text from the caret to `to`.
    std::optional<LineChange> deleteTo(ByteOffset to);
    std::optional<LineChange> undo();
    std::optional<LineChange> redo();
    // Moves the selection to `at`, or copies it there, as one undo step, and
    // selects it there. Nothing happens at a place inside the selection.
    std::optional<LineChange> dropSelection(ByteOffset at, bool copy);

    // ---- Input method
    // An input method's event: the pre-edit shown so far goes (the input
    // method is not reset: it sent this), the units [caret + replaceFrom,
    // + replaceLength) of the caret's line, or the selection, are replaced by
    // commit, and preedit is shown at the caret with its cursor at
    // preeditCursor.
    void inputMethod(std::string_view commit, Utf16Index replaceFrom, Utf16Index replaceLength,
                     std::u16string preedit, Utf16Index preeditCursor);
    const std::u16string& preedit() const { return preedit_; }
    Utf16Index preeditCursor() const { return preeditCursor_; }
    // Drops the pre-edit for the box's own reasons: the input method must be
    // reset (see Changes::resetInput).
    void dropPreedit();
    InputContext inputContext() const;

    // ---- Lines as shown
    // Line n as shown (0 <= n < lineCount), with the pre-edit on the caret's
    // line and the count of hidden characters of a cut line.
    ShownLine shownLine(LineNumber n) const;
    // Line n with the break after it, if any.
    ByteRange lineWithBreak(LineNumber n) const;

    // What changed since the last call, for signals and the input method.
    struct Changes {
        bool text = false;
        bool caret = false;      // the caret moved
        bool selection = false;  // the selection is another one
        bool resetInput = false;
    };
    Changes takeChanges();

private:
    void setCaret(ByteOffset anchor, ByteOffset position);
    void dropPreeditQuietly();
    // After the buffer changed from linesBefore lines: which lines, the
    // views told.
    LineChange linesChanged(LineNumber linesBefore);
    void tell(const LineChange& change);
    std::optional<LineChange> stepHistory(std::optional<ByteRange> (TextBuffer::*step)());
    ByteOffset cutOf(LineNumber line, ByteOffset lineBytes) const;
    std::int64_t charsOf(LineNumber line) const;

    TextBuffer buffer_;
    ByteOffset anchor_;
    ByteOffset position_;
    std::optional<double> wantedX_;
    bool dragging_ = false;
    SelectUnit dragUnit_ = SelectUnit::Character;
    ByteRange dragOrigin_;
    std::u16string preedit_;
    Utf16Index preeditCursor_;
    std::vector<LineListener*> listeners_;
    // Of lines that may be cut: where the shown part ends, and the characters
    // of the whole line (counting a long line takes a while).
    mutable LineCache<ByteOffset> cuts_;
    mutable LineCache<std::int64_t> chars_;
    Changes changes_;
    ByteOffset reportedAnchor_;
    ByteOffset reportedPosition_;
};

}  // namespace axlewise

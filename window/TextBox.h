#pragma once

#include "records/SharedText.h"
#include "text/EditSession.h"
#include "text/Find.h"
#include "text/LineIndex.h"
#include "text/TextBuffer.h"
#include "text/TextSnapshot.h"
#include "text/Units.h"
#include "window/textbox/EditCommands.h"
#include "window/textbox/LineLayouts.h"
#include "window/textbox/ScrollState.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QElapsedTimer>

#include <cstdint>
#include <optional>
#include <string_view>

class QMenu;

namespace axlewise {

// A multi-line plain-text box over an EditSession: it shows, edits and
// scrolls the session's text without copying it into a Qt document. Only the
// lines in view are laid out (LineLayouts); a line is shown no further than
// its first 65,536 UTF-16 units, the rest counted in a mark (ShownLine). Long
// lines wrap at the viewport width, on screen only, and the scroll bar counts
// rows (ScrollState). Keys mean what KeyActionFor says; Tab moves the focus.
// A selection can be dragged to move it, or with Ctrl to copy it.
// Ctrl+Return asks for the caret's line to be shown as a truck; one line may
// be marked with a band, for the truck on show.
//
// Positions are byte offsets into the UTF-8 text; the box keeps its caret and
// selection on character boundaries.
class TextBox : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);
    ~TextBox() override;

    // Replaces the whole text by a view of text (no copy of its bytes), with
    // the line index a load already built or one built here: clears the undo
    // history, puts the caret and the view at the start.
    void setText(const SharedText& text);
    void setText(const SharedText& text, LineIndex lineBreaks);
    // The whole text; no copy while it is still the text given to setText.
    SharedText text() const;
    // No text at all; hasTextChanged tells when this changes.
    bool isEmpty() const { return session_.buffer().empty(); }
    // The text as it is now, for reading on another thread (TextSnapshot).
    TextSnapshot snapshot() const { return session_.buffer().snapshot(); }
    // Changes with every change of the text (TextBuffer::revision).
    std::uint64_t revision() const { return session_.buffer().revision(); }

    // The model, read only: the box makes every change to it itself.
    const TextBuffer& buffer() const { return session_.buffer(); }

    // The caret. setCursorPosition clears the selection; the offset is put
    // where the caret may stand (EditSession::snap).
    ByteOffset cursorPosition() const { return session_.position(); }
    void setCursorPosition(ByteOffset offset);
    // The other end of the selection (== cursorPosition() when none).
    ByteOffset anchorPosition() const { return session_.anchor(); }
    ByteRange selection() const { return session_.selection(); }
    bool hasSelection() const { return session_.hasSelection(); }
    // Selects from anchor to position, the caret at position, both snapped.
    void setSelection(ByteOffset anchor, ByteOffset position);
    QString selectedText() const;

    // The text shown for line n: its first characters, a pre-edit, the mark.
    QString shownLineText(LineNumber n) const;
    // The first line in view and the row of it at the top.
    LineNumber firstVisibleLine() const { return scroll_.top().line; }
    int firstVisibleRow() const { return scroll_.top().row; }
    // The rows line n takes at the box's width.
    int rowCount(LineNumber n) const { return layouts_.rows(n); }
    // The caret's rectangle in viewport coordinates.
    QRect cursorRect() const;

    // Finds needle (UTF-8) in the text from the selection, as Find does
    // (text/Find.h), selects the match, the caret at its end going forward
    // and at its start going backward, and scrolls it into view. Matches the
    // caret cannot stand at the start of (inside a character, in the hidden
    // part of a cut line) are passed over. Wrapped when the search went
    // round the end (or the start); nothing changes when it finds nothing.
    FindResult find(std::string_view needle, bool matchCase, bool backward);

    // Marks line n with a band across the box, under its text, in the
    // palette's highlight colour made faint; nothing marks no line. Not a
    // selection: the caret and the selection stay. The mark stays on line n
    // through edits (the caller moves or clears it), and goes when an edit
    // leaves fewer lines than n + 1; a line past the end marks nothing.
    void setMarkedLine(std::optional<LineNumber> n);
    std::optional<LineNumber> markedLine() const { return marked_; }
    // Scrolls so that line n is in view, without moving the caret: not at
    // all when it is wholly in view, as little as shows it when it is near,
    // otherwise to the middle of the view (ScrollState::revealLine).
    void revealLine(LineNumber n);

    // The context menu the box shows, for the caller to own: Undo, Redo, Cut,
    // Copy, Paste, Delete and Select All, each enabled when it can act; then
    // Find... and Show This Truck, enabled when the box holds text.
    QMenu* createStandardContextMenu(QWidget* parent = nullptr);

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

public slots:
    void undo();
    void redo();
    void cut();
    void copy();
    void paste();
    void selectAll();

signals:
    void textChanged();
    void cursorPositionChanged();
    void selectionChanged();
    // The box came to hold text (true) or became empty (false).
    void hasTextChanged(bool hasText);
    // "Find..." was chosen in the context menu.
    void findRequested();
    // Ctrl+Return or "Show This Truck": the line the caret is on.
    void showTruckRequested(LineNumber line);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    enum class Reveal { No, Caret };

    // After every change: the top row put back on a row that exists, the
    // caret scrolled into view if asked, the scroll bar, the input method,
    // the signals. Every entry point ends here.
    void sync(Reveal reveal);
    void updateScrollBar();
    void command(KeyCommand command);
    void offerSelection();
    void dragTo(QPointF point);
    void dragSelectionOut();
    void restartBlink();
    // The place under a point of the viewport.
    ByteOffset offsetAt(QPointF point) const;

    EditSession session_;
    LineLayouts layouts_;
    ScrollState scroll_;
    EditCommands commands_;

    QBasicTimer blinkTimer_;
    bool caretOn_ = false;
    QBasicTimer autoScrollTimer_;
    QPointF dragPoint_;
    QElapsedTimer sinceDoubleClick_;
    QPointF doubleClickPoint_;
    // A press inside the selection may start moving it: where it was, and
    // where the selection would be dropped (shown as a second caret).
    bool pressInSelection_ = false;
    QPointF pressPoint_;
    std::optional<ByteOffset> dropAt_;
    int wheelRemainder_ = 0;
    bool settingScrollBar_ = false;
    std::optional<LineNumber> marked_;
    bool hadText_ = false;
};

}  // namespace axlewise

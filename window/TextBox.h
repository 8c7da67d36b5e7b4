#pragma once

#include "text/TextBuffer.h"
#include "records/SharedText.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QClipboard>
#include <QElapsedTimer>
#include <QInputMethodEvent>

#include <compare>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class QMenu;
class QTextLine;

namespace axlewise {

// A multi-line plain-text box over a TextBuffer: it shows, edits and scrolls
// the buffer's text without copying it into a Qt document. Only the lines in
// view are laid out (and cached); a line is laid out no further than its first
// kMaxShownChars characters, the rest being shown as a mark that counts them.
// Long lines wrap at the viewport width, on screen only; Tab moves the focus.
//
// Positions are byte offsets into the buffer's UTF-8 text (0..size()), as in
// TextBuffer; the box keeps its caret and selection on character boundaries.
class TextBox : public QAbstractScrollArea {
    Q_OBJECT

public:
    using Offset = TextBuffer::Offset;
    using Line = TextBuffer::Line;
    using Range = TextBuffer::Range;

    // The most UTF-16 code units of a line that are laid out and shown.
    static constexpr int kMaxShownChars = 65536;

    explicit TextBox(QWidget* parent = nullptr);
    ~TextBox() override;

    // Replaces the whole text by a view of text (no copy of its bytes): clears
    // the undo history, puts the caret and the view at the start.
    void setText(const SharedText& text);
    // The same with the line index a load already built: the offset of every
    // '\n' of text, in order.
    void setText(const SharedText& text, std::vector<std::int64_t> lineBreaks);
    // The whole text; no copy while it is still the text given to setText.
    SharedText text() const;

    // The model, read only: the box makes every change to it itself.
    const TextBuffer& buffer() const { return buffer_; }

    // The caret, as a byte offset. setCursorPosition clears the selection; an
    // offset outside the text is clamped to it, one inside a character moves
    // to the character's start, one in the hidden part of a long line to the
    // line's end.
    Offset cursorPosition() const { return position_; }
    void setCursorPosition(Offset offset);
    // The other end of the selection (== cursorPosition() when none).
    Offset anchorPosition() const { return anchor_; }
    // The selected bytes, from <= to (empty when nothing is selected).
    Range selection() const;
    bool hasSelection() const { return anchor_ != position_; }
    // Selects from anchor to position, the caret at position; both are put
    // on places the caret may be, as by setCursorPosition.
    void setSelection(Offset anchor, Offset position);
    QString selectedText() const;

    // The text shown for line n (0 <= n < lineCount): the line's first
    // characters, and after them the mark for the characters not shown.
    QString shownLineText(Line n) const;
    // The first line in view and the screen row of it at the top.
    Line firstVisibleLine() const { return top_.line; }
    int firstVisibleRow() const { return top_.row; }
    // The caret's rectangle in viewport coordinates.
    QRect cursorRect() const;

    // The context menu the box shows, for the caller to own: Undo, Redo, Cut,
    // Copy, Paste, Delete and Select All, each enabled when it can act.
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
    void timerEvent(QTimerEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct LineView;
    // A screen row: row `row` of logical line `line`.
    struct RowPos {
        Line line = 0;
        int row = 0;
        auto operator<=>(const RowPos&) const = default;
    };
    enum class DragUnit { None, Character, Word, Line };
    enum class Move {
        NextChar,
        PreviousChar,
        NextWord,
        PreviousWord,
        NextRow,
        PreviousRow,
        NextPage,
        PreviousPage,
        RowStart,
        RowEnd,
        LineStart,
        LineEnd,
        Start,
        End
    };

    // ---- Laid-out lines
    LineView& view(Line n) const;
    void buildView(Line n, LineView& into) const;
    void breakRows(LineView& into) const;
    Offset totalChars(Line n, Offset start, Offset end) const;
    void dropViews();
    // An edit replaced lines [first, oldLast] by [first, newLast]; chars is
    // the new character count of a long line edited within.
    void linesReplaced(Line first, Line oldLast, Line newLast,
                       std::optional<Offset> chars = std::nullopt);
    void trimViews() const;
    qreal textWidth() const;
    qreal topY() const;

    // ---- Places
    int toDisplay(const LineView& view, Offset inLine) const;
    Offset toLineOffset(const LineView& view, int index) const;
    int caretIndex(const LineView& view, Offset inLine) const;
    Offset snap(Offset offset) const;
    RowPos rowOf(Offset offset) const;
    QTextLine rowLine(RowPos pos) const;
    std::optional<RowPos> nextRow(RowPos pos) const;
    std::optional<RowPos> previousRow(RowPos pos) const;
    RowPos rowAt(QPointF point) const;
    Offset offsetInRow(RowPos pos, qreal x) const;
    Offset offsetAt(QPointF point) const;
    qreal caretX() const;
    Offset moved(Offset from, Move move) const;
    Range wordAt(RowPos pos, qreal x) const;
    Range lineWithBreak(Line line) const;
    Offset previousCodePoint(Offset offset) const;
    Offset nextCodePoint(Offset offset) const;

    // ---- Scrolling
    // The top row when the view is scrolled to the end, and the scroll bar's
    // guess of its line until that is needed.
    RowPos bottom() const;
    Line likelyBottomLine() const;
    // The lowest top row that shows row whole.
    RowPos topShowing(RowPos row) const;
    void setTop(RowPos top);
    void scrollRows(int rows);
    void ensureCaretVisible();
    void updateScrollBar();
    // The rows that fit whole in the view from the top row in view, or from top.
    int rowsInView() const;
    int rowsFrom(RowPos top) const;

    // ---- Caret, selection and edits
    void setCaret(Offset anchor, Offset position);
    void caretChanged(Offset oldAnchor, Offset oldPosition);
    void moveCaret(Offset position, bool keepAnchor);
    void moveBy(Move move, bool keepAnchor);
    void replaceSelection(std::string_view text, bool typing);
    void replaceRange(Offset from, Offset to, std::string_view text, bool typing);
    void replaceText(const SharedText& text, std::optional<std::vector<std::int64_t>> lineBreaks);
    // After the text changed: the caret and selection, the scroll bar, the view.
    void edited(Offset anchor, Offset position);
    // Before the text changes: a primary selection still offered as a range of
    // it keeps the text it had.
    void settleLiveSelection();
    void deleteTo(Offset to);
    void applyHistory(bool redo);
    void insertFromClipboard(QClipboard::Mode mode);
    void offerSelection();
    void clearPreedit();
    bool handleKey(QKeyEvent* event);
    bool handlesShortcut(QKeyEvent* event) const;
    void dragTo(QPointF point);
    void restartBlink();

    TextBuffer buffer_;
    Offset anchor_ = 0;
    Offset position_ = 0;
    // The x the caret keeps through Up and Down (negative: its own).
    qreal wantedX_ = -1;
    RowPos top_;

    mutable std::map<Line, std::unique_ptr<LineView>> views_;
    // Character counts of the lines too long to show whole.
    mutable std::map<Line, Offset> longLineChars_;
    mutable std::optional<RowPos> bottom_;
    qreal viewWidth_ = -1;

    QString preedit_;
    QList<QInputMethodEvent::Attribute> preeditAttributes_;
    int preeditCursor_ = 0;

    QBasicTimer blinkTimer_;
    bool caretOn_ = false;
    QBasicTimer autoScrollTimer_;
    DragUnit drag_ = DragUnit::None;
    // A large primary selection offered as a range of the text, read only when
    // another program asks; it is copied before the text changes.
    QPointer<QMimeData> liveSelection_;
    Range dragOrigin_;
    QPointF dragPoint_;
    QElapsedTimer sinceDoubleClick_;
    QPointF doubleClickPoint_;
    int wheelRemainder_ = 0;
    bool settingScrollBar_ = false;
};

}  // namespace axlewise

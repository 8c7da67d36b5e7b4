#pragma once

#include "text/EditSession.h"
#include "text/LineCache.h"
#include "text/ShownLine.h"
#include "window/textbox/ScrollState.h"

#include <QFont>
#include <QList>
#include <QPointF>
#include <QString>
#include <QTextLayout>

#include <functional>

namespace axlewise {

// A line laid out for the screen: the line as shown (ShownLine: its text, the
// pre-edit at the caret, the mark for a cut line) and its rows.
struct LineView {
    ShownLine shown;
    QTextLayout layout;
    qreal height = 0;

    int rows() const { return std::max(layout.lineCount(), 1); }
    QTextLine row(int row) const { return layout.lineAt(std::clamp(row, 0, rows() - 1)); }
};

// The moves of the caret that stay within what one line's layout knows, or
// step over a break: by characters and words as the eye sees them (grapheme
// clusters, word boundaries), to the ends of a row, a line or the text.
enum class CaretMove {
    NextChar,
    PreviousChar,
    NextWord,
    PreviousWord,
    RowStart,
    RowEnd,
    LineStart,
    LineEnd,
    Start,
    End
};

// The laid-out lines of the box: made from the session's shown lines only
// when asked for, kept in a LineCache that the session's edits renumber, and
// broken into rows at the view's width. Places on the screen are given in
// pixels from the text's left edge (x) within a row.
class LineLayouts : public RowGeometry, public LineListener {
public:
    explicit LineLayouts(const EditSession& session);

    void setFont(const QFont& font);
    const QFont& font() const { return font_; }
    // The width rows are broken at, in pixels (at least 1).
    void setWidth(qreal width);
    qreal width() const { return width_; }
    // How the pre-edit is drawn: ranges within it; none underlines it all.
    void setPreeditFormats(QList<QTextLayout::FormatRange> formats);
    // Told of the rows of every line laid out.
    void setRowsNoted(std::function<void(LineNumber, int)> noted) { noted_ = std::move(noted); }

    // Line n (0 <= n < lineCount()) laid out; the reference lives until the
    // line changes or trim drops it.
    const LineView& view(LineNumber n) const;
    // Over the budget, keeps only the lines [from, to].
    void trim(LineNumber from, LineNumber to) const { cache_.trim(from, to); }
    // Over the budget, keeps only the lines in scroll's view and one either side.
    void trimToView(const ScrollState& scroll) const;
    void clear() { cache_.clear(); }

    LineNumber lineCount() const override;
    int rows(LineNumber line) const override { return view(line).rows(); }
    double rowHeight(LineNumber line, int row) const override;
    double typicalRowHeight() const override;

    void linesReplaced(const LineChange& change) override { cache_.linesReplaced(change); }
    void textReplaced() override { cache_.clear(); }

    // The row the caret is drawn on when it stands at offset.
    RowPos rowOf(ByteOffset offset) const;
    // The display index the caret is drawn at when it stands at offset.
    Utf16Index caretIndex(ByteOffset offset) const;
    // The x of the caret standing at offset.
    qreal caretX(ByteOffset offset) const;
    // The place nearest x in a row.
    ByteOffset offsetInRow(RowPos pos, qreal x) const;
    // The word under x in a row; the hidden part of a cut line over its mark.
    ByteRange wordAt(RowPos pos, qreal x) const;
    // Where a move takes the caret from `from`.
    ByteOffset moved(ByteOffset from, CaretMove move) const;
    // Hit testing in the view that scroll describes: the row at y (pixels from
    // the view's top), and the y of the top of line n, found from the top row
    // (far out of view the walk stops, as the line is then simply off screen).
    RowPos rowAt(const ScrollState& scroll, qreal y) const;
    // What a mouse selection by unit reaches at point (x from the text's left
    // edge, y from the view's top); past the top or the bottom of the view, on
    // the row just out of view, so that the view follows a row at a time.
    ByteRange unitAt(const ScrollState& scroll, QPointF point, SelectUnit unit) const;
    qreal lineTop(const ScrollState& scroll, LineNumber n) const;
    // The y of the top line's first row: above the view's top margin when the
    // view starts lower in that line.
    qreal topLineY(const ScrollState& scroll) const;

    // The mark after the shown part of a cut line.
    static QString MarkText(std::int64_t hidden);

private:
    void build(LineNumber n, LineView& into) const;
    void breakRows(LineView& into) const;

    const EditSession& session_;
    QFont font_;
    qreal width_ = 1;
    QList<QTextLayout::FormatRange> preeditFormats_;
    std::function<void(LineNumber, int)> noted_;
    mutable LineCache<LineView> cache_;
};

}  // namespace axlewise

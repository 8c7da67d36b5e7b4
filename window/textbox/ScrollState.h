#pragma once

#include "text/EditSession.h"
#include "text/Units.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace axlewise {

// A screen row: row `row` (from 0) of line `line`, as the line is laid out.
struct RowPos {
    LineNumber line;
    int row = 0;

    friend bool operator==(const RowPos& a, const RowPos& b) {
        return a.line == b.line && a.row == b.row;
    }
    friend bool operator!=(const RowPos& a, const RowPos& b) { return !(a == b); }
    friend bool operator<(const RowPos& a, const RowPos& b) {
        return a.line < b.line || (a.line == b.line && a.row < b.row);
    }
};

// The rows of the lines as they are laid out, for ScrollState to walk over.
class RowGeometry {
public:
    virtual ~RowGeometry() = default;
    virtual LineNumber lineCount() const = 0;
    // Rows of line (at least 1) and the height of one of them, in pixels.
    virtual int rows(LineNumber line) const = 0;
    virtual double rowHeight(LineNumber line, int row) const = 0;
    // The height of a row of the font, for guesses about lines not laid out.
    virtual double typicalRowHeight() const = 0;
};

// Where the box is scrolled to, without Qt: the row at the top of the view,
// and the scroll bar's value, range and page step, all counted in rows, so
// that a long wrapped line scrolls row by row. A line counts as one row until
// it is laid out; the rows of the wrapped lines met so far are remembered, so
// the bar's value of a row stays the same while nothing changes. The first
// row has a margin above it, the view one below its last row.
class ScrollState : public LineListener {
public:
    static constexpr double kMargin = 4;

    explicit ScrollState(const RowGeometry& geometry) : geometry_(geometry) {}

    // The viewport's height in pixels.
    void setViewHeight(double height);
    double viewHeight() const { return viewHeight_; }

    RowPos top() const { return top_; }
    // The y of the top row's top: the margin above the first row only.
    double topMargin() const { return top_ == RowPos{} ? kMargin : 0; }
    // Scrolls to top, put on a row that exists and no lower than bottom().
    void setTop(RowPos top);
    // The same top again, after its line was laid out anew.
    void clampTop() { setTop(top_); }
    // Scrolls down (rows > 0) or up by rows, as far as there are rows.
    void scrollRows(std::int64_t rows);
    // Scrolls as little as shows row whole.
    void scrollToShow(RowPos row);
    // Scrolls so that line (clamped to the lines) is in view: not at all when
    // all its rows are; as little as shows it when it is within a page of
    // the view; otherwise with the line in the middle of the view. Of a line
    // taller than the view, its first rows are shown.
    void revealLine(LineNumber line);

    std::optional<RowPos> next(RowPos pos) const;
    std::optional<RowPos> previous(RowPos pos) const;
    // The row `rows` rows after from (before it when negative), stopping at
    // the first or the last row, and how many rows were stepped.
    struct Step {
        RowPos row;
        std::int64_t rows = 0;
    };
    Step step(RowPos from, std::int64_t rows) const;
    // Rows that fit whole in the view from the top row, or from top (at least 1).
    int rowsInView() const { return rowsFrom(top_); }
    int rowsFrom(RowPos top) const;
    // The lowest top row that shows row whole.
    RowPos topShowing(RowPos row) const;
    // The top row when the view is scrolled to the end.
    RowPos bottom() const;

    // The scroll bar: the value of the top row, the highest value, a page.
    std::int64_t barValue() const { return rowNumber(top_); }
    std::int64_t barMaximum() const;
    int pageStep() const { return rowsInView(); }
    // Scrolls to the row the bar's value stands for.
    void setBarValue(std::int64_t value);

    // Line was laid out in `rows` rows.
    void noteRows(LineNumber line, int rows);
    // Every line may now take another number of rows (a new width or font).
    void forgetRows();

    void linesReplaced(const LineChange& change) override;
    void textReplaced() override;

private:
    struct Wrapped {
        LineNumber line;
        std::int64_t extra = 0;   // rows past the first
        std::int64_t before = 0;  // extra rows of the wrapped lines above it
    };

    // The number of a row when each line above has the rows known of it.
    std::int64_t rowNumber(RowPos pos) const;
    std::int64_t extraBefore(LineNumber line) const;
    void sumFrom(std::size_t index);

    const RowGeometry& geometry_;
    RowPos top_;
    double viewHeight_ = 0;
    mutable std::optional<RowPos> bottom_;
    std::vector<Wrapped> wrapped_;  // by line
};

}  // namespace axlewise

#include "window/textbox/ScrollState.h"

#include <algorithm>
#include <cmath>

namespace axlewise {

namespace {

// The first of the lines known to wrap (kept by line) at or after `line`.
template <typename List>
auto WrappedFrom(List& wrapped, LineNumber line) {
    return std::lower_bound(wrapped.begin(), wrapped.end(), line,
                            [](const auto& known, LineNumber value) { return known.line < value; });
}

// Wrapped lines remembered at most; past this the ones farthest from the top
// are forgotten (they count as one row until laid out again), which moves the
// bar a little but keeps every step cheap.
constexpr std::size_t kKeptWrapped = 1 << 16;

}  // namespace

void ScrollState::setViewHeight(double height) {
    if (height != viewHeight_) {
        viewHeight_ = height;
        bottom_.reset();
    }
}

void ScrollState::setTop(RowPos top) {
    top.line = std::clamp(top.line, LineNumber(0), geometry_.lineCount() - LineNumber(1));
    top.row = std::clamp(top.row, 0, geometry_.rows(top.line) - 1);
    // Only a top near the end needs the exact bottom, which lays out the last
    // page of lines.
    const std::int64_t fit = static_cast<std::int64_t>(
        std::max(1.0, std::floor(viewHeight_ / geometry_.typicalRowHeight())));
    if (bottom_ || top.line.value() + rowsFrom(top) + fit >= geometry_.lineCount().value()) {
        top = std::min(top, bottom());
    }
    top_ = top;
}

ScrollState::Step ScrollState::step(RowPos from, std::int64_t rows) const {
    Step step{from, 0};
    for (; step.rows < rows; ++step.rows) {
        const std::optional<RowPos> after = next(step.row);
        if (!after) {
            return step;
        }
        step.row = *after;
    }
    for (; step.rows < -rows; ++step.rows) {
        const std::optional<RowPos> before = previous(step.row);
        if (!before) {
            return step;
        }
        step.row = *before;
    }
    return step;
}

void ScrollState::scrollRows(std::int64_t rows) {
    setTop(step(top_, rows).row);
}

void ScrollState::scrollToShow(RowPos row) {
    if (row < top_) {
        setTop(row);
        return;
    }
    const RowPos lowest = topShowing(row);
    if (top_ < lowest) {
        setTop(lowest);
    }
}

void ScrollState::revealLine(LineNumber line) {
    line = std::clamp(line, LineNumber(0), geometry_.lineCount() - LineNumber(1));
    const RowPos first{line, 0};
    const int rows = geometry_.rows(line);
    const RowPos last{line, rows - 1};
    const int inView = rowsInView();
    const RowPos lowest = step(top_, inView - 1).row;  // the last row in view
    if (!(first < top_) && !(lowest < last)) {
        return;
    }
    // Near the view, the view moves as little as the caret makes it move, so
    // that stepping through lines one by one scrolls them one by one; a jump
    // puts the line where the eye finds it, with lines around it on both sides.
    const LineNumber page(inView);
    if (line + page >= top_.line && line <= lowest.line + page) {
        scrollToShow(last);
        scrollToShow(first);
        return;
    }
    setTop(step(first, -std::max(0, (inView - rows) / 2)).row);
}

std::optional<RowPos> ScrollState::next(RowPos pos) const {
    if (pos.row + 1 < geometry_.rows(pos.line)) {
        return RowPos{pos.line, pos.row + 1};
    }
    if (pos.line + LineNumber(1) < geometry_.lineCount()) {
        return RowPos{pos.line + LineNumber(1), 0};
    }
    return std::nullopt;
}

std::optional<RowPos> ScrollState::previous(RowPos pos) const {
    if (pos.row > 0) {
        return RowPos{pos.line, pos.row - 1};
    }
    if (pos.line > LineNumber(0)) {
        const LineNumber line = pos.line - LineNumber(1);
        return RowPos{line, geometry_.rows(line) - 1};
    }
    return std::nullopt;
}

int ScrollState::rowsFrom(RowPos top) const {
    int rows = 0;
    double used = 0;
    const double room = viewHeight_ - kMargin - (top == RowPos{} ? kMargin : 0);
    for (std::optional<RowPos> pos = top; pos; pos = next(*pos)) {
        used += geometry_.rowHeight(pos->line, pos->row);
        if (used > room) {
            break;
        }
        ++rows;
    }
    return std::max(rows, 1);
}

RowPos ScrollState::topShowing(RowPos row) const {
    const double room = viewHeight_ - kMargin;
    RowPos top = row;
    double used = geometry_.rowHeight(row.line, row.row);
    while (const std::optional<RowPos> before = previous(top)) {
        const double height = geometry_.rowHeight(before->line, before->row);
        if (used + height > room) {
            break;
        }
        used += height;
        top = *before;
    }
    // Only the text's first row has the top margin above it.
    if (top == RowPos{} && top != row && used > room - kMargin) {
        top = next(top).value_or(top);
    }
    return top;
}

RowPos ScrollState::bottom() const {
    if (!bottom_) {
        const LineNumber last = geometry_.lineCount() - LineNumber(1);
        bottom_ = topShowing({last, geometry_.rows(last) - 1});
    }
    return *bottom_;
}

std::int64_t ScrollState::extraBefore(LineNumber line) const {
    const auto at = WrappedFrom(wrapped_, line);
    if (at == wrapped_.begin()) {
        return 0;
    }
    const Wrapped& last = *std::prev(at);
    return last.before + last.extra;
}

std::int64_t ScrollState::rowNumber(RowPos pos) const {
    return pos.line.value() + extraBefore(pos.line) + pos.row;
}

std::int64_t ScrollState::barMaximum() const {
    std::int64_t maximum = 0;
    if (bottom_) {
        maximum = rowNumber(*bottom_);
    } else {
        // As if the lines not yet laid out took one row each.
        const std::int64_t total =
            geometry_.lineCount().value() + extraBefore(geometry_.lineCount());
        const auto fit = static_cast<std::int64_t>(
            std::max(1.0, std::floor((viewHeight_ - 2 * kMargin) / geometry_.typicalRowHeight())));
        maximum = std::max<std::int64_t>(0, total - fit);
    }
    // Never below the top's own value, which the bar shows.
    return std::max(maximum, barValue());
}

void ScrollState::setBarValue(std::int64_t value) {
    if (value >= barMaximum()) {
        setTop(bottom());
        return;
    }
    // The last wrapped line that starts at or above the value: the value is in
    // its rows, or in the one-row lines after it.
    const auto after = std::upper_bound(
        wrapped_.begin(), wrapped_.end(), value,
        [](std::int64_t v, const Wrapped& w) { return v < w.line.value() + w.before; });
    RowPos pos{LineNumber(value), 0};
    if (after != wrapped_.begin()) {
        const Wrapped& wrapped = *std::prev(after);
        const std::int64_t start = wrapped.line.value() + wrapped.before;
        if (value - start <= wrapped.extra) {
            pos = {wrapped.line, static_cast<int>(value - start)};
        } else {
            pos = {LineNumber(value - wrapped.before - wrapped.extra), 0};
        }
    }
    setTop(pos);
}

void ScrollState::sumFrom(std::size_t index) {
    for (std::size_t k = index; k < wrapped_.size(); ++k) {
        wrapped_[k].before = k == 0 ? 0 : wrapped_[k - 1].before + wrapped_[k - 1].extra;
    }
}

void ScrollState::noteRows(LineNumber line, int rows) {
    const auto at = WrappedFrom(wrapped_, line);
    const auto index = static_cast<std::size_t>(at - wrapped_.begin());
    const bool known = at != wrapped_.end() && at->line == line;
    const std::int64_t extra = std::max(rows, 1) - 1;
    if (known && at->extra == extra) {
        return;
    }
    if (known && extra == 0) {
        wrapped_.erase(at);
    } else if (known) {
        at->extra = extra;
    } else if (extra > 0) {
        wrapped_.insert(at, {line, extra, 0});
    } else {
        return;
    }
    sumFrom(index);
    if (wrapped_.size() > kKeptWrapped) {
        // Keep the half nearest the top.
        const auto nearest = WrappedFrom(wrapped_, top_.line);
        const auto half = static_cast<std::ptrdiff_t>(kKeptWrapped / 4);
        const auto from = nearest - std::min(half, nearest - wrapped_.begin());
        const auto to = nearest + std::min(half, wrapped_.end() - nearest);
        wrapped_ = std::vector<Wrapped>(from, to);
        sumFrom(0);
    }
}

void ScrollState::forgetRows() {
    wrapped_.clear();
    bottom_.reset();
}

void ScrollState::linesReplaced(const LineChange& change) {
    const LineNumber shift = change.shift();
    const auto first = WrappedFrom(wrapped_, change.first);
    auto last = first;
    while (last != wrapped_.end() && last->line <= change.oldLast) {
        ++last;
    }
    const auto index = static_cast<std::size_t>(first - wrapped_.begin());
    wrapped_.erase(first, last);
    for (std::size_t k = index; k < wrapped_.size(); ++k) {
        wrapped_[k].line += shift;
    }
    sumFrom(index);

    // The rows at the bottom stay where they are unless the edit reached them.
    if (bottom_ && change.oldLast < bottom_->line) {
        bottom_->line += shift;
    } else {
        bottom_.reset();
    }
    if (top_.line > change.oldLast) {
        top_.line += shift;
    } else if (top_.line > change.first) {
        top_ = {change.first, 0};
    }
    // A top row in the first line is put back on a row that exists by the
    // next clampTop, once the line can be laid out anew.
}

void ScrollState::textReplaced() {
    top_ = {};
    wrapped_.clear();
    bottom_.reset();
}

}  // namespace axlewise

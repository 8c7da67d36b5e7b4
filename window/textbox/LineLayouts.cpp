#include "window/textbox/LineLayouts.h"

#include "window/textbox/BoxClipboard.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <vector>

namespace axlewise {

namespace {

// Qt breaks a row at a word boundary by searching the whole run of text up to
// the next place a line may break, so a long run without one costs time
// quadratic in its length. A row that faces a longer run than it could ever
// hold (no character is narrower than a pixel) is broken anywhere instead,
// which gives the same row.
constexpr int kLongestRun = 1024;
// Laid-out lines kept, and the characters they may hold, before those out of
// view are dropped: a long line's layout takes megabytes, and laying out
// again what scrolls back is cheap.
constexpr std::size_t kKeptViews = 256;
constexpr std::size_t kKeptChars = 1 << 20;

int ToInt(Utf16Index index) {
    return static_cast<int>(index.value());
}

}  // namespace

LineLayouts::LineLayouts(const EditSession& session)
    : session_(session), cache_(kKeptViews, kKeptChars) {}

void LineLayouts::setFont(const QFont& font) {
    font_ = font;
    cache_.clear();
}

void LineLayouts::setWidth(qreal width) {
    width = std::max<qreal>(width, 1);
    if (width != width_) {
        width_ = width;
        cache_.clear();
    }
}

void LineLayouts::setPreeditFormats(QList<QTextLayout::FormatRange> formats) {
    preeditFormats_ = std::move(formats);
}

LineNumber LineLayouts::lineCount() const {
    return session_.buffer().lineCount();
}

double LineLayouts::rowHeight(LineNumber line, int row) const {
    return view(line).row(row).height();
}

double LineLayouts::typicalRowHeight() const {
    return std::max(1.0, QFontMetricsF(font_).height());
}

const LineView& LineLayouts::view(LineNumber n) const {
    if (const LineView* kept = cache_.find(n)) {
        return *kept;
    }
    auto made = std::make_unique<LineView>();
    build(n, *made);
    const auto cost = static_cast<std::size_t>(made->layout.text().size());
    const int rows = made->rows();
    const LineView& view = cache_.put(n, std::move(made), cost);
    if (noted_) {
        noted_(n, rows);
    }
    return view;
}

QString LineLayouts::MarkText(std::int64_t hidden) {
    QLocale locale;
    locale.setNumberOptions(QLocale::DefaultNumberOptions);  // with thousands separators
    return QStringLiteral(" ") + QChar(0x2026) + QLatin1Char(' ') +
           (hidden == 1 ? QStringLiteral("1 more character not shown")
                        : QStringLiteral("%1 more characters not shown")
                              .arg(locale.toString(static_cast<qlonglong>(hidden))));
}

void LineLayouts::build(LineNumber n, LineView& into) const {
    into.shown = session_.shownLine(n);
    const ShownLine& shown = into.shown;
    QString text = ToQString(shown.text());
    QList<QTextLayout::FormatRange> formats;
    if (shown.preeditAt() >= Utf16Index(0)) {
        const int at = ToInt(shown.preeditAt());
        text.insert(at, ToQString(session_.preedit()));
        for (const QTextLayout::FormatRange& range : preeditFormats_) {
            formats.append({at + range.start, range.length, range.format});
        }
        if (formats.isEmpty()) {
            QTextCharFormat underline;
            underline.setFontUnderline(true);
            formats.append({at, ToInt(shown.preeditLength()), underline});
        }
    }
    if (shown.cut()) {
        const QString mark = MarkText(shown.hiddenChars());
        into.shown.setMarkLength(Utf16Index(mark.size()));
        text += mark;
    }
    into.layout.setText(text);
    into.layout.setFont(font_);
    into.layout.setFormats(formats);
    into.layout.setCacheEnabled(true);
    breakRows(into);
}

void LineLayouts::breakRows(LineView& into) const {
    const QString& text = into.layout.text();
    const qsizetype longestRun = std::max<qsizetype>(kLongestRun, static_cast<qsizetype>(width_));
    // The places a row may end, for choosing how to break each row.
    std::vector<qsizetype> breaks;
    if (text.size() > longestRun) {
        QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text);
        while (finder.toNextBoundary() >= 0) {
            breaks.push_back(finder.position());
        }
    }
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    into.layout.setTextOption(option);
    into.layout.beginLayout();
    qreal y = 0;
    qsizetype rowStart = 0;
    for (;;) {
        if (!breaks.empty()) {
            const auto next = std::upper_bound(breaks.begin(), breaks.end(), rowStart);
            const bool unbroken = next == breaks.end() || *next - rowStart > longestRun;
            option.setWrapMode(unbroken ? QTextOption::WrapAnywhere
                                        : QTextOption::WrapAtWordBoundaryOrAnywhere);
            into.layout.setTextOption(option);
        }
        QTextLine row = into.layout.createLine();
        if (!row.isValid()) {
            break;
        }
        row.setLineWidth(width_);
        row.setPosition(QPointF(0, y));
        y += row.height();
        rowStart = row.textStart() + row.textLength();
    }
    into.layout.endLayout();
    into.height = y;
}

Utf16Index LineLayouts::caretIndex(ByteOffset offset) const {
    const TextBuffer& buffer = session_.buffer();
    const LineNumber line = buffer.lineAt(offset);
    return view(line).shown.caretIndex(offset - buffer.lineStart(line), session_.preeditCursor());
}

RowPos LineLayouts::rowOf(ByteOffset offset) const {
    const LineNumber line = session_.buffer().lineAt(offset);
    const LineView& v = view(line);
    const QTextLine row = v.layout.lineForTextPosition(ToInt(caretIndex(offset)));
    return {line, row.isValid() ? row.lineNumber() : v.rows() - 1};
}

qreal LineLayouts::caretX(ByteOffset offset) const {
    const LineView& v = view(session_.buffer().lineAt(offset));
    const int index = ToInt(caretIndex(offset));
    const QTextLine row = v.layout.lineForTextPosition(index);
    return row.isValid() ? row.cursorToX(index) : 0;
}

ByteOffset LineLayouts::offsetInRow(RowPos pos, qreal x) const {
    const LineView& v = view(pos.line);
    const QTextLine row = v.row(pos.row);
    int index = row.xToCursor(x);
    // The end of a wrapped row is the start of the next one, where the caret
    // would be drawn; stay on the row that was aimed at.
    const int rowEnd = row.textStart() + row.textLength();
    if (row.lineNumber() + 1 < v.rows() && row.textLength() > 0 && index >= rowEnd) {
        index = v.layout.previousCursorPosition(rowEnd);
    }
    return session_.buffer().lineStart(pos.line) + v.shown.byteAt(Utf16Index(index));
}

RowPos LineLayouts::rowAt(const ScrollState& scroll, qreal y) const {
    const RowPos top = scroll.top();
    if (y < scroll.topMargin()) {
        return top;
    }
    qreal lineY = topLineY(scroll);
    const LineNumber last = lineCount() - LineNumber(1);
    for (LineNumber line = top.line;; ++line) {
        const LineView& v = view(line);
        if (y < lineY + v.height || line == last) {
            for (int row = line == top.line ? top.row : 0; row < v.rows(); ++row) {
                const QTextLine text = v.row(row);
                if (y < lineY + text.y() + text.height()) {
                    return {line, row};
                }
            }
            return {line, v.rows() - 1};
        }
        lineY += v.height;
    }
}

ByteRange LineLayouts::unitAt(const ScrollState& scroll, QPointF point, SelectUnit unit) const {
    const RowPos top = scroll.top();
    RowPos row;
    if (point.y() < 0) {
        row = scroll.previous(top).value_or(top);
    } else if (point.y() >= scroll.viewHeight()) {
        // The row just below the view.
        row = scroll.step(top, scroll.rowsInView()).row;
    } else {
        row = rowAt(scroll, point.y());
    }
    switch (unit) {
        case SelectUnit::Character: {
            const ByteOffset at = offsetInRow(row, point.x());
            return {at, at};
        }
        case SelectUnit::Word:
            return wordAt(row, point.x());
        case SelectUnit::Line:
            break;
    }
    return session_.lineWithBreak(row.line);
}

qreal LineLayouts::topLineY(const ScrollState& scroll) const {
    const RowPos top = scroll.top();
    return scroll.topMargin() - view(top.line).row(top.row).y();
}

void LineLayouts::trimToView(const ScrollState& scroll) const {
    const LineNumber top = scroll.top().line;
    trim(top - LineNumber(1), top + LineNumber(scroll.rowsInView() + 1));
}

qreal LineLayouts::lineTop(const ScrollState& scroll, LineNumber n) const {
    const RowPos top = scroll.top();
    const qreal height = scroll.viewHeight();
    qreal y = topLineY(scroll);
    if (n >= top.line) {
        for (LineNumber line = top.line; line < n && y < 2 * height + ScrollState::kMargin;
             ++line) {
            y += view(line).height;
        }
    } else {
        for (LineNumber line = top.line - LineNumber(1); line >= n && y > -2 * height; --line) {
            y -= view(line).height;
        }
    }
    return y;
}

ByteRange LineLayouts::wordAt(RowPos pos, qreal x) const {
    const LineView& v = view(pos.line);
    const ByteOffset start = session_.buffer().lineStart(pos.line);
    const int own = ToInt(v.shown.ownLength());
    int index = v.row(pos.row).xToCursor(x, QTextLine::CursorOnCharacter);
    if (v.shown.cut() && index >= own) {
        // The mark stands for the hidden part.
        return {start + v.shown.shownBytes(), start + v.shown.lineBytes()};
    }
    index = std::min(index, own - 1);  // past the end of the line: its last word
    if (index < 0) {
        return {start, start};
    }
    const QString text = v.layout.text().left(own);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    finder.setPosition(index);
    const qsizetype from = finder.isAtBoundary() ? index : finder.toPreviousBoundary();
    finder.setPosition(index);
    qsizetype to = finder.toNextBoundary();
    if (to < 0) {
        to = text.size();
    }
    return {start + v.shown.byteAt(Utf16Index(std::max<qsizetype>(from, 0))),
            start + v.shown.byteAt(Utf16Index(to))};
}

ByteOffset LineLayouts::moved(ByteOffset from, CaretMove move) const {
    const TextBuffer& buffer = session_.buffer();
    const LineNumber line = buffer.lineAt(from);
    const ByteOffset start = buffer.lineStart(line);
    const LineView& v = view(line);
    const ShownLine& shown = v.shown;
    const ByteOffset inLine = from - start;
    const int index = ToInt(shown.indexOf(inLine));
    const int own = ToInt(shown.ownLength());
    const bool atEnd = inLine >= shown.lineBytes();
    const bool lastLine = line + LineNumber(1) == buffer.lineCount();
    const auto at = [&](int display) { return start + shown.byteAt(Utf16Index(display)); };
    switch (move) {
        case CaretMove::NextChar:
        case CaretMove::NextWord:
            if (atEnd) {
                return lastLine ? from : from + ByteOffset(1);  // over the break
            }
            if (index >= own) {
                return start + shown.lineBytes();  // over the mark, to the line's true end
            }
            return at(v.layout.nextCursorPosition(index, move == CaretMove::NextChar
                                                             ? QTextLayout::SkipCharacters
                                                             : QTextLayout::SkipWords));
        case CaretMove::PreviousChar:
        case CaretMove::PreviousWord:
            if (inLine == ByteOffset(0)) {
                return line == LineNumber(0) ? from : from - ByteOffset(1);
            }
            if (index > own) {
                return start + shown.shownBytes();  // from the true end back over the mark
            }
            return at(v.layout.previousCursorPosition(index, move == CaretMove::PreviousChar
                                                                 ? QTextLayout::SkipCharacters
                                                                 : QTextLayout::SkipWords));
        case CaretMove::RowStart:
        case CaretMove::RowEnd: {
            const QTextLine row = v.layout.lineForTextPosition(ToInt(caretIndex(from)));
            if (!row.isValid()) {
                return from;
            }
            if (move == CaretMove::RowStart) {
                return at(std::min(row.textStart(), own));
            }
            int end = row.textStart() + row.textLength();
            // A row that wrapped at a space ends before it, as in Qt's own boxes.
            if (row.lineNumber() + 1 < v.rows() && row.textLength() > 0 && end <= own &&
                v.layout.text().at(end - 1).isSpace()) {
                --end;
            }
            return at(end);
        }
        case CaretMove::LineStart:
            return start;
        case CaretMove::LineEnd:
            return start + shown.lineBytes();
        case CaretMove::Start:
            return ByteOffset(0);
        case CaretMove::End:
            return buffer.size();
    }
    return from;
}

}  // namespace axlewise

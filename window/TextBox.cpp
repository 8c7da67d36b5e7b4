#include "window/TextBox.h"

#include "records/Utf8.h"
#include "drawing/Utf8Text.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace axlewise {

namespace {

using Offset = TextBox::Offset;
using Line = TextBox::Line;

// The space around the text, as QPlainTextEdit's document margin.
constexpr int kMargin = 4;
// A character takes at most 4 bytes, so this many bytes of a line hold its
// first kMaxShownChars characters whenever it has that many.
constexpr Offset kMaxShownBytes = 4 * Offset{TextBox::kMaxShownChars};
// Qt breaks a row at a word boundary by searching the whole run of text up to
// the next place a line may break, so a long run without one costs time
// quadratic in its length. A row that faces a longer run than it could ever
// hold (no character is narrower than a pixel) is broken anywhere instead,
// which gives the same row.
constexpr int kLongestRun = 1024;
// Laid-out lines kept, and the characters they may hold, before those out of
// view are dropped.
constexpr std::size_t kKeptViews = 256;
constexpr qsizetype kKeptChars = 1 << 20;
constexpr std::size_t kKeptLongLines = 64;
// A selection up to this size is copied when offered as the primary
// selection; a larger one is read only when another program asks for it.
constexpr Offset kCopiedSelection = 1 << 20;
constexpr int kAutoScrollMs = 50;

const QString& PlainText() {
    static const QString type = QStringLiteral("text/plain");
    return type;
}

bool IsContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Characters (code points) in UTF-8 text: the bytes that do not continue one.
Offset CountChars(std::string_view text) {
    Offset count = 0;
    for (const char byte : text) {
        count += IsContinuation(byte) ? 0 : 1;
    }
    return count;
}

int ToInt(Offset value) {
    return static_cast<int>(std::clamp<Offset>(value, 0, std::numeric_limits<int>::max()));
}

// UTF-8 decoded to UTF-16, with the byte each code unit came from.
struct Decoded {
    QString text;
    std::vector<std::int32_t> byteOf;  // one per code unit, then the end
    std::int32_t bytes = 0;            // how many bytes were decoded
};

// The code point of one well-formed UTF-8 sequence.
char32_t CodePoint(std::string_view sequence) {
    static constexpr unsigned char kLeadBits[] = {0x7F, 0x1F, 0x0F, 0x07};
    char32_t code = static_cast<unsigned char>(sequence[0]) & kLeadBits[sequence.size() - 1];
    for (std::size_t k = 1; k < sequence.size(); ++k) {
        code = (code << 6) | (static_cast<unsigned char>(sequence[k]) & 0x3Fu);
    }
    return code;
}

// True when tail is the start of a well-formed sequence that only lacks the
// bytes after it.
bool CutShort(std::string_view tail) {
    return tail.size() < 4 &&
           Utf8SequenceLength(std::string(tail) + "\x80\x80\x80", 0) > tail.size();
}

// Decodes at most maxUnits UTF-16 code units of bytes. A byte that does not
// begin a valid sequence becomes one U+FFFD, so every byte stays reachable.
// `cut` says the bytes were cut from a longer text: a sequence cut short at
// their end is then left undecoded instead of being replaced.
Decoded DecodeUtf8(std::string_view bytes, bool cut, int maxUnits) {
    Decoded out;
    const std::size_t n = bytes.size();
    const std::size_t units = std::min(n, static_cast<std::size_t>(maxUnits));
    out.text.reserve(static_cast<qsizetype>(units));
    out.byteOf.reserve(units + 1);
    std::size_t i = 0;
    while (i < n) {
        std::size_t length = Utf8SequenceLength(bytes, i);
        char32_t code = 0xFFFD;
        if (length > 0) {
            code = CodePoint(bytes.substr(i, length));
        } else if (cut && CutShort(bytes.substr(i))) {
            break;
        } else {
            length = 1;
        }
        const qsizetype size = code >= 0x10000 ? 2 : 1;
        if (out.text.size() + size > maxUnits) {
            break;
        }
        const auto at = static_cast<std::int32_t>(i);
        if (size == 2) {
            out.text.append(QChar(QChar::highSurrogate(code)));
            out.text.append(QChar(QChar::lowSurrogate(code)));
            out.byteOf.push_back(at);
            out.byteOf.push_back(at);
        } else {
            out.text.append(QChar(static_cast<char16_t>(code)));
            out.byteOf.push_back(at);
        }
        i += length;
    }
    out.bytes = static_cast<std::int32_t>(i);
    out.byteOf.push_back(out.bytes);
    return out;
}

// Text from the clipboard or an input method as the buffer keeps it: every
// line break ('\r\n', '\r', U+2028, U+2029) made '\n'; nothing else changes.
std::string BufferText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            if (i + 1 < text.size() && text.at(i + 1) == u'\n') {
                ++i;
            }
            out.append(u'\n');
        } else if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            out.append(u'\n');
        } else {
            out.append(c);
        }
    }
    return out.toStdString();
}

// The mark after the shown part of a long line.
QString HiddenMark(Offset hidden) {
    QLocale locale;
    locale.setNumberOptions(QLocale::DefaultNumberOptions);  // with thousands separators
    return QStringLiteral(" ") + QChar(0x2026) + QLatin1Char(' ') +
           (hidden == 1 ? QStringLiteral("1 more character not shown")
                        : QStringLiteral("%1 more characters not shown")
                              .arg(locale.toString(static_cast<qlonglong>(hidden))));
}

// Text for the clipboard, converted only when asked for: either a copy of the
// bytes, or, for a large primary selection, a range of a box's text read when
// another program pastes it.
class TextMime : public QMimeData {
public:
    explicit TextMime(std::string bytes) : bytes_(std::move(bytes)) {}
    TextMime(const TextBox* box, TextBox::Range range) : live_(true), box_(box), range_(range) {}

    // Takes a copy of the range now, so that later edits of the box do not
    // change what is pasted.
    void settle() {
        if (live_ && box_) {
            bytes_ = box_->buffer().text(range_.from, range_.to);
        }
        live_ = false;
    }

    QStringList formats() const override { return {PlainText()}; }
    bool hasFormat(const QString& type) const override { return type == PlainText(); }

protected:
    QVariant retrieveData(const QString& type, QMetaType) const override {
        if (type != PlainText()) {
            return {};
        }
        if (!live_) {
            return FromUtf8(bytes_);
        }
        if (!box_) {
            return QString();
        }
        const TextBuffer& buffer = box_->buffer();
        const Offset to = std::min(range_.to, buffer.size());
        return FromUtf8(buffer.text(std::min(range_.from, to), to));
    }

private:
    bool live_ = false;
    std::string bytes_;
    QPointer<const TextBox> box_;
    TextBox::Range range_;
};

}  // namespace

// A logical line laid out for the screen: the text shown (its first
// characters, a pre-edit at the caret, the mark for the rest) and its rows.
struct TextBox::LineView {
    QTextLayout layout;
    // The byte of the line each display index stands for, for the indexes
    // [0, ownLength]; the indexes of the mark all stand for the line's end.
    std::vector<std::int32_t> byteOf;
    int ownLength = 0;  // display units of the line's own text, pre-edit included
    Offset shownBytes = 0;
    Offset lineBytes = 0;
    bool truncated = false;
    int preeditAt = -1;  // display index of the pre-edit, -1 for none
    qreal height = 0;

    int rows() const { return layout.lineCount(); }
    int length() const { return static_cast<int>(layout.text().size()); }
};

TextBox::TextBox(QWidget* parent) : QAbstractScrollArea(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(1);
    updateScrollBar();
}

TextBox::~TextBox() = default;

// ---- Text ------------------------------------------------------------------

void TextBox::setText(const SharedText& text) {
    replaceText(text, std::nullopt);
}

void TextBox::setText(const SharedText& text, std::vector<std::int64_t> lineBreaks) {
    replaceText(text, std::move(lineBreaks));
}

void TextBox::replaceText(const SharedText& text,
                          std::optional<std::vector<std::int64_t>> lineBreaks) {
    const Offset oldAnchor = anchor_;
    const Offset oldPosition = position_;
    settleLiveSelection();
    // A drag still going on belongs to the old text.
    drag_ = DragUnit::None;
    autoScrollTimer_.stop();
    sinceDoubleClick_.invalidate();
    preedit_.clear();
    if (lineBreaks) {
        buffer_.setText(text, std::move(*lineBreaks));
    } else {
        buffer_.setText(text);
    }
    views_.clear();
    longLineChars_.clear();
    bottom_.reset();
    anchor_ = position_ = 0;
    wantedX_ = -1;
    top_ = {};
    updateScrollBar();
    viewport()->update();
    caretChanged(oldAnchor, oldPosition);
    emit textChanged();
}

SharedText TextBox::text() const {
    return buffer_.sharedText();
}

void TextBox::setCursorPosition(Offset offset) {
    const Offset at = snap(offset);
    moveCaret(at, false);
}

TextBox::Range TextBox::selection() const {
    return {std::min(anchor_, position_), std::max(anchor_, position_)};
}

void TextBox::setSelection(Offset anchor, Offset position) {
    buffer_.closeUndoStep();
    clearPreedit();
    setCaret(snap(anchor), snap(position));
    wantedX_ = -1;
    ensureCaretVisible();
    restartBlink();
    offerSelection();
}

QString TextBox::selectedText() const {
    const Range range = selection();
    return FromUtf8(buffer_.text(range.from, range.to));
}

QString TextBox::shownLineText(Line n) const {
    return view(std::clamp<Line>(n, 0, buffer_.lineCount() - 1)).layout.text();
}

// ---- Laid-out lines ----------------------------------------------------------

TextBox::LineView& TextBox::view(Line n) const {
    std::unique_ptr<LineView>& slot = views_[n];
    if (!slot) {
        auto made = std::make_unique<LineView>();
        buildView(n, *made);
        slot = std::move(made);
    }
    return *slot;
}

void TextBox::buildView(Line n, LineView& into) const {
    const Offset start = buffer_.lineStart(n);
    const Offset end = buffer_.lineEnd(n);
    into.lineBytes = end - start;
    // Never more than kMaxShownBytes of the line are read or converted.
    const Offset take = std::min(into.lineBytes, kMaxShownBytes);
    const std::string bytes = buffer_.text(start, start + take);
    Decoded decoded = DecodeUtf8(bytes, take < into.lineBytes, kMaxShownChars);
    into.shownBytes = decoded.bytes;
    into.truncated = into.shownBytes < into.lineBytes;
    into.byteOf = std::move(decoded.byteOf);
    QString text = std::move(decoded.text);

    QList<QTextLayout::FormatRange> formats;
    into.preeditAt = -1;
    if (!preedit_.isEmpty() && buffer_.lineAt(position_) == n) {
        const auto caret = static_cast<std::int32_t>(std::min(position_ - start, into.shownBytes));
        const auto at = std::lower_bound(into.byteOf.begin(), into.byteOf.end(), caret);
        into.preeditAt = static_cast<int>(at - into.byteOf.begin());
        into.byteOf.insert(at, static_cast<std::size_t>(preedit_.size()), caret);
        text.insert(into.preeditAt, preedit_);
        for (const QInputMethodEvent::Attribute& attribute : preeditAttributes_) {
            if (attribute.type != QInputMethodEvent::TextFormat) {
                continue;
            }
            const QTextCharFormat format = attribute.value.value<QTextFormat>().toCharFormat();
            if (format.isValid() && attribute.length > 0) {
                formats.append({into.preeditAt + attribute.start, attribute.length, format});
            }
        }
        if (formats.isEmpty()) {
            QTextCharFormat underline;
            underline.setFontUnderline(true);
            formats.append({into.preeditAt, static_cast<int>(preedit_.size()), underline});
        }
    }
    into.ownLength = static_cast<int>(text.size());
    if (into.truncated) {
        const Offset shownChars = CountChars(
            std::string_view(bytes).substr(0, static_cast<std::size_t>(into.shownBytes)));
        text += HiddenMark(totalChars(n, start, end) - shownChars);
    }

    into.layout.setText(text);
    into.layout.setFont(font());
    into.layout.setFormats(formats);
    into.layout.setCacheEnabled(true);
    breakRows(into);
}

void TextBox::breakRows(LineView& into) const {
    const QString& text = into.layout.text();
    const qreal width = textWidth();
    const qsizetype longestRun = std::max<qsizetype>(kLongestRun, static_cast<qsizetype>(width));
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
        row.setLineWidth(width);
        row.setPosition(QPointF(0, y));
        y += row.height();
        rowStart = row.textStart() + row.textLength();
    }
    into.layout.endLayout();
    into.height = y;
}

TextBox::Offset TextBox::totalChars(Line n, Offset start, Offset end) const {
    const auto found = longLineChars_.find(n);
    if (found != longLineChars_.end()) {
        return found->second;
    }
    Offset count = 0;
    buffer_.forEachPiece(start, end,
                         [&count](std::string_view piece) { count += CountChars(piece); });
    if (longLineChars_.size() >= kKeptLongLines) {
        longLineChars_.clear();
    }
    longLineChars_[n] = count;
    return count;
}

void TextBox::dropViews() {
    views_.clear();
    bottom_.reset();
}

void TextBox::linesReplaced(Line first, Line oldLast, Line newLast, std::optional<Offset> chars) {
    const Line shift = newLast - oldLast;
    const auto renumber = [&](auto& map) {
        map.erase(map.lower_bound(first), map.upper_bound(oldLast));
        if (shift == 0) {
            return;
        }
        using Node = typename std::remove_reference_t<decltype(map)>::node_type;
        std::vector<Node> moved;
        for (auto it = map.upper_bound(oldLast); it != map.end();) {
            Node node = map.extract(it++);
            node.key() += shift;
            moved.push_back(std::move(node));
        }
        for (Node& node : moved) {
            map.insert(std::move(node));
        }
    };
    renumber(views_);
    renumber(longLineChars_);
    if (chars && first == newLast) {
        longLineChars_[first] = *chars;
    }
    // The rows at the bottom stay where they are unless the edit reached them.
    if (bottom_ && oldLast < bottom_->line) {
        bottom_->line += shift;
    } else {
        bottom_.reset();
    }
    if (top_.line > oldLast) {
        top_.line += shift;
    } else if (top_.line > first) {
        top_ = {first, 0};
    } else if (top_.line == first) {
        top_.row = std::min(top_.row, view(first).rows() - 1);
    }
}

void TextBox::trimViews() const {
    qsizetype chars = 0;
    for (const auto& [line, kept] : views_) {
        chars += kept->layout.text().size();
    }
    if (views_.size() <= kKeptViews && chars <= kKeptChars) {
        return;
    }
    // Over the budget, only the lines in view stay: a long line's layout
    // takes megabytes, and laying out again what scrolls back is cheap.
    const Line from = top_.line - 1;
    const Line to = top_.line + rowsInView() + 1;
    for (auto it = views_.begin(); it != views_.end();) {
        it = it->first < from || it->first > to ? views_.erase(it) : std::next(it);
    }
}

qreal TextBox::textWidth() const {
    return std::max(1, viewport()->width() - 2 * kMargin);
}

qreal TextBox::topY() const {
    // As in QPlainTextEdit, the top margin is above the text's first row only.
    return top_ == RowPos{} ? kMargin : 0;
}

// ---- Places ------------------------------------------------------------------

int TextBox::toDisplay(const LineView& view, Offset inLine) const {
    if (view.truncated && inLine >= view.lineBytes) {
        return view.length();
    }
    if (inLine > view.shownBytes) {
        return view.ownLength;
    }
    // The first index of the byte: before a pre-edit at it, if there is one.
    const auto end = view.byteOf.begin() + view.ownLength + 1;
    return static_cast<int>(std::lower_bound(view.byteOf.begin(), end, inLine) -
                            view.byteOf.begin());
}

TextBox::Offset TextBox::toLineOffset(const LineView& view, int index) const {
    if (index > view.ownLength) {
        return view.lineBytes;
    }
    return view.byteOf[static_cast<std::size_t>(std::max(index, 0))];
}

TextBox::Offset TextBox::snap(Offset offset) const {
    const Offset size = buffer_.size();
    offset = std::clamp<Offset>(offset, 0, size);
    for (int i = 0; i < 3 && offset > 0 && offset < size && IsContinuation(buffer_.at(offset));
         ++i) {
        --offset;
    }
    const Line line = buffer_.lineAt(offset);
    const Offset start = buffer_.lineStart(line);
    const Offset end = buffer_.lineEnd(line);
    // Only a line of more bytes than can be shown can hide a part.
    if (end - start > kMaxShownChars && offset - start > view(line).shownBytes) {
        return end;
    }
    return offset;
}

int TextBox::caretIndex(const LineView& view, Offset inLine) const {
    const int index = toDisplay(view, inLine);
    return view.preeditAt >= 0 && index == view.preeditAt ? index + preeditCursor_ : index;
}

TextBox::RowPos TextBox::rowOf(Offset offset) const {
    const Line line = buffer_.lineAt(offset);
    const LineView& v = view(line);
    const QTextLine row =
        v.layout.lineForTextPosition(caretIndex(v, offset - buffer_.lineStart(line)));
    return {line, row.isValid() ? row.lineNumber() : v.rows() - 1};
}

QTextLine TextBox::rowLine(RowPos pos) const {
    return view(pos.line).layout.lineAt(pos.row);
}

std::optional<TextBox::RowPos> TextBox::nextRow(RowPos pos) const {
    if (pos.row + 1 < view(pos.line).rows()) {
        return RowPos{pos.line, pos.row + 1};
    }
    if (pos.line + 1 < buffer_.lineCount()) {
        return RowPos{pos.line + 1, 0};
    }
    return std::nullopt;
}

std::optional<TextBox::RowPos> TextBox::previousRow(RowPos pos) const {
    if (pos.row > 0) {
        return RowPos{pos.line, pos.row - 1};
    }
    if (pos.line > 0) {
        return RowPos{pos.line - 1, view(pos.line - 1).rows() - 1};
    }
    return std::nullopt;
}

TextBox::Offset TextBox::offsetInRow(RowPos pos, qreal x) const {
    const LineView& v = view(pos.line);
    const QTextLine row = v.layout.lineAt(pos.row);
    int index = row.xToCursor(x);
    // The end of a wrapped row is the start of the next one, where the caret
    // would be drawn; stay on the row that was aimed at.
    const int rowEnd = row.textStart() + row.textLength();
    if (pos.row + 1 < v.rows() && row.textLength() > 0 && index >= rowEnd) {
        index = v.layout.previousCursorPosition(rowEnd);
    }
    return buffer_.lineStart(pos.line) + toLineOffset(v, index);
}

TextBox::RowPos TextBox::rowAt(QPointF point) const {
    if (point.y() < topY()) {
        return top_;
    }
    qreal y = topY() - rowLine(top_).y();
    const Line lines = buffer_.lineCount();
    for (Line line = top_.line;; ++line) {
        const LineView& v = view(line);
        if (point.y() < y + v.height || line + 1 == lines) {
            for (int row = line == top_.line ? top_.row : 0; row < v.rows(); ++row) {
                const QTextLine text = v.layout.lineAt(row);
                if (point.y() < y + text.y() + text.height()) {
                    return {line, row};
                }
            }
            return {line, v.rows() - 1};
        }
        y += v.height;
    }
}

TextBox::Offset TextBox::offsetAt(QPointF point) const {
    return offsetInRow(rowAt(point), point.x() - kMargin);
}

qreal TextBox::caretX() const {
    const Line line = buffer_.lineAt(position_);
    const LineView& v = view(line);
    const int index = caretIndex(v, position_ - buffer_.lineStart(line));
    const QTextLine row = v.layout.lineForTextPosition(index);
    return row.isValid() ? row.cursorToX(index) : 0;
}

TextBox::Offset TextBox::previousCodePoint(Offset offset) const {
    Offset at = std::max<Offset>(offset - 1, 0);
    for (int i = 0; i < 3 && at > 0 && IsContinuation(buffer_.at(at)); ++i) {
        --at;
    }
    return at;
}

TextBox::Offset TextBox::nextCodePoint(Offset offset) const {
    const Offset size = buffer_.size();
    Offset at = std::min(offset + 1, size);
    for (int i = 0; i < 3 && at < size && IsContinuation(buffer_.at(at)); ++i) {
        ++at;
    }
    return at;
}

TextBox::Offset TextBox::moved(Offset from, Move move) const {
    const Line line = buffer_.lineAt(from);
    const Offset start = buffer_.lineStart(line);
    const LineView& v = view(line);
    const Offset inLine = from - start;
    const int index = toDisplay(v, inLine);
    const bool atEnd = inLine >= v.lineBytes;
    const bool lastLine = line + 1 == buffer_.lineCount();
    switch (move) {
        case Move::NextChar:
        case Move::NextWord:
            if (atEnd) {
                return lastLine ? from : from + 1;  // over the break
            }
            if (index >= v.ownLength) {
                return start + v.lineBytes;  // over the mark, to the line's true end
            }
            return start +
                   toLineOffset(v, v.layout.nextCursorPosition(
                                       index, move == Move::NextChar ? QTextLayout::SkipCharacters
                                                                     : QTextLayout::SkipWords));
        case Move::PreviousChar:
        case Move::PreviousWord:
            if (inLine == 0) {
                return line == 0 ? from : from - 1;
            }
            if (index > v.ownLength) {
                return start + v.shownBytes;
            }
            return start + toLineOffset(v, v.layout.previousCursorPosition(
                                               index, move == Move::PreviousChar
                                                          ? QTextLayout::SkipCharacters
                                                          : QTextLayout::SkipWords));
        case Move::RowStart:
        case Move::RowEnd: {
            const QTextLine row = v.layout.lineForTextPosition(caretIndex(v, inLine));
            if (!row.isValid()) {
                return from;
            }
            if (move == Move::RowStart) {
                return start + toLineOffset(v, std::min(row.textStart(), v.ownLength));
            }
            int end = row.textStart() + row.textLength();
            // A row that wrapped at a space ends before it, as in Qt's own boxes.
            if (row.lineNumber() + 1 < v.rows() && row.textLength() > 0 && end <= v.ownLength &&
                v.layout.text().at(end - 1).isSpace()) {
                --end;
            }
            return start + toLineOffset(v, end);
        }
        case Move::LineStart:
            return start;
        case Move::LineEnd:
            return start + v.lineBytes;
        case Move::Start:
            return 0;
        case Move::End:
            return buffer_.size();
        case Move::NextRow:
        case Move::PreviousRow:
        case Move::NextPage:
        case Move::PreviousPage:
            break;
    }
    return from;
}

TextBox::Range TextBox::wordAt(RowPos pos, qreal x) const {
    const LineView& v = view(pos.line);
    const Offset start = buffer_.lineStart(pos.line);
    int index = v.layout.lineAt(pos.row).xToCursor(x, QTextLine::CursorOnCharacter);
    if (v.truncated && index >= v.ownLength) {
        return {start + v.shownBytes, start + v.lineBytes};  // the mark: the hidden part
    }
    if (index >= v.ownLength) {
        index = v.ownLength - 1;  // past the end of the line: its last word
    }
    if (index < 0) {
        return {start, start};
    }
    const QString own = v.layout.text().left(v.ownLength);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, own);
    finder.setPosition(index);
    const qsizetype from = finder.isAtBoundary() ? index : finder.toPreviousBoundary();
    finder.setPosition(index);
    qsizetype to = finder.toNextBoundary();
    if (to < 0) {
        to = own.size();
    }
    return {start + toLineOffset(v, static_cast<int>(std::max<qsizetype>(from, 0))),
            start + toLineOffset(v, static_cast<int>(to))};
}

TextBox::Range TextBox::lineWithBreak(Line line) const {
    const Offset end = buffer_.lineEnd(line);
    return {buffer_.lineStart(line), end < buffer_.size() ? end + 1 : end};
}

// ---- Scrolling -------------------------------------------------------------

TextBox::Line TextBox::likelyBottomLine() const {
    if (bottom_) {
        return bottom_->line;
    }
    // As if each of the last lines took one row of the font's height; the
    // true bottom is found when the view comes near it.
    const qreal room = viewport()->height() - 2 * kMargin;
    const auto fit = static_cast<Line>(std::max(1.0, room / QFontMetricsF(font()).height()));
    return std::max<Line>(0, buffer_.lineCount() - fit);
}

TextBox::RowPos TextBox::bottom() const {
    if (!bottom_) {
        const Line last = buffer_.lineCount() - 1;
        bottom_ = topShowing({last, view(last).rows() - 1});
    }
    return *bottom_;
}

TextBox::RowPos TextBox::topShowing(RowPos row) const {
    const qreal room = viewport()->height() - kMargin;
    RowPos top = row;
    qreal used = rowLine(row).height();
    while (const std::optional<RowPos> before = previousRow(top)) {
        const qreal height = rowLine(*before).height();
        if (used + height > room) {
            break;
        }
        used += height;
        top = *before;
    }
    // Only the text's first row has the top margin above it.
    if (top == RowPos{} && top != row && used > room - kMargin) {
        top = nextRow(top).value_or(top);
    }
    return top;
}

void TextBox::setTop(RowPos top) {
    top.line = std::clamp<Line>(top.line, 0, buffer_.lineCount() - 1);
    top.row = std::clamp(top.row, 0, view(top.line).rows() - 1);
    // Only a top near the end needs the exact bottom, which lays out the last
    // page of lines.
    if (bottom_ || top.line + rowsFrom(top) >= likelyBottomLine()) {
        top = std::min(top, bottom());
    }
    if (top != top_) {
        top_ = top;
        viewport()->update();
    }
    updateScrollBar();
}

void TextBox::scrollRows(int rows) {
    RowPos pos = top_;
    for (int i = 0; i < rows; ++i) {
        const std::optional<RowPos> after = nextRow(pos);
        if (!after) {
            break;
        }
        pos = *after;
    }
    for (int i = 0; i > rows; --i) {
        const std::optional<RowPos> before = previousRow(pos);
        if (!before) {
            break;
        }
        pos = *before;
    }
    setTop(pos);
}

void TextBox::ensureCaretVisible() {
    const RowPos caret = rowOf(position_);
    if (caret < top_) {
        setTop(caret);
        return;
    }
    const RowPos lowest = topShowing(caret);
    if (top_ < lowest) {
        setTop(lowest);
    }
}

void TextBox::updateScrollBar() {
    QScrollBar* bar = verticalScrollBar();
    settingScrollBar_ = true;
    bar->setRange(0, ToInt(likelyBottomLine()));
    // The page step counts the lines with a row in view.
    int lines = 0;
    qreal y = topY() - rowLine(top_).y();
    const int height = viewport()->height();
    for (Line line = top_.line; line < buffer_.lineCount() && y < height; ++line) {
        y += view(line).height;
        ++lines;
    }
    bar->setPageStep(std::max(lines, 1));
    bar->setValue(ToInt(top_.line));
    settingScrollBar_ = false;
}

int TextBox::rowsInView() const {
    return rowsFrom(top_);
}

int TextBox::rowsFrom(RowPos top) const {
    int rows = 0;
    qreal used = 0;
    const qreal room = viewport()->height() - kMargin - (top == RowPos{} ? kMargin : 0);
    for (std::optional<RowPos> pos = top; pos; pos = nextRow(*pos)) {
        used += rowLine(*pos).height();
        if (used > room) {
            break;
        }
        ++rows;
    }
    return std::max(rows, 1);
}

void TextBox::scrollContentsBy(int, int) {
    if (settingScrollBar_) {
        return;
    }
    const QScrollBar* bar = verticalScrollBar();
    const int value = bar->value();
    if (value == bar->maximum()) {
        setTop(bottom());
    } else if (value != top_.line) {
        setTop({value, 0});
    }
}

// ---- Caret, selection and edits -------------------------------------------

void TextBox::setCaret(Offset anchor, Offset position) {
    const Offset oldAnchor = anchor_;
    const Offset oldPosition = position_;
    anchor_ = anchor;
    position_ = position;
    caretChanged(oldAnchor, oldPosition);
}

void TextBox::caretChanged(Offset oldAnchor, Offset oldPosition) {
    const bool moved = position_ != oldPosition;
    const bool hadSelection = oldAnchor != oldPosition;
    const bool reselected =
        (hadSelection || hasSelection()) && (anchor_ != oldAnchor || position_ != oldPosition);
    if (!moved && !reselected) {
        return;
    }
    viewport()->update();
    if (hasFocus()) {
        QGuiApplication::inputMethod()->update(Qt::ImQueryInput);
    }
    if (moved) {
        emit cursorPositionChanged();
    }
    if (reselected) {
        emit selectionChanged();
    }
}

void TextBox::moveCaret(Offset position, bool keepAnchor) {
    buffer_.closeUndoStep();
    clearPreedit();
    setCaret(keepAnchor ? anchor_ : position, position);
    wantedX_ = -1;
    ensureCaretVisible();
    restartBlink();
    if (keepAnchor) {
        offerSelection();
    }
}

void TextBox::moveBy(Move move, bool keepAnchor) {
    const bool rows = move == Move::NextRow || move == Move::PreviousRow;
    const bool page = move == Move::NextPage || move == Move::PreviousPage;
    if (!rows && !page) {
        // Left and Right end a selection at its side.
        if (hasSelection() && !keepAnchor &&
            (move == Move::NextChar || move == Move::PreviousChar)) {
            const Range range = selection();
            moveCaret(move == Move::NextChar ? range.to : range.from, false);
            return;
        }
        moveCaret(moved(position_, move), keepAnchor);
        return;
    }
    const bool down = move == Move::NextRow || move == Move::NextPage;
    const qreal x = wantedX_ >= 0 ? wantedX_ : caretX();
    const int count = page ? std::max(1, rowsInView() - 1) : 1;
    RowPos pos = rowOf(position_);
    int done = 0;
    for (; done < count; ++done) {
        const std::optional<RowPos> next = down ? nextRow(pos) : previousRow(pos);
        if (!next) {
            break;
        }
        pos = *next;
    }
    Offset to = offsetInRow(pos, x);
    if (done == 0) {
        // On the first or last row: a page move or a selection goes to the end.
        if (!page && !keepAnchor) {
            return;
        }
        to = down ? buffer_.size() : 0;
    }
    if (page) {
        scrollRows(down ? done : -done);
    }
    moveCaret(to, keepAnchor);
    wantedX_ = x;
}

void TextBox::replaceSelection(std::string_view text, bool typing) {
    const Range range = selection();
    replaceRange(range.from, range.to, text, typing);
}

void TextBox::replaceRange(Offset from, Offset to, std::string_view text, bool typing) {
    if (from == to && text.empty()) {
        return;
    }
    clearPreedit();
    const Line first = buffer_.lineAt(from);
    const Line oldLast = buffer_.lineAt(to);
    // A long line edited within keeps its character count up to date, so that
    // it is not counted again.
    std::optional<Offset> chars;
    const auto known = longLineChars_.find(first);
    if (first == oldLast && known != longLineChars_.end()) {
        Offset removed = 0;
        buffer_.forEachPiece(from, to,
                             [&removed](std::string_view piece) { removed += CountChars(piece); });
        chars = known->second - removed + CountChars(text);
    }
    const auto breaks = static_cast<Line>(std::count(text.begin(), text.end(), '\n'));
    settleLiveSelection();
    buffer_.replace(from, to, text, typing);
    linesReplaced(first, oldLast, first + breaks, chars);
    const Offset caret = from + static_cast<Offset>(text.size());
    edited(caret, caret);
}

void TextBox::edited(Offset anchor, Offset position) {
    setCaret(anchor, position);
    wantedX_ = -1;
    updateScrollBar();
    ensureCaretVisible();
    restartBlink();
    viewport()->update();
    emit textChanged();
}

void TextBox::deleteTo(Offset to) {
    if (hasSelection()) {
        replaceSelection({}, false);
    } else {
        replaceRange(std::min(position_, to), std::max(position_, to), {}, false);
    }
}

void TextBox::applyHistory(bool redo) {
    clearPreedit();
    const Line linesBefore = buffer_.lineCount();
    if (redo ? !buffer_.canRedo() : !buffer_.canUndo()) {
        return;
    }
    settleLiveSelection();
    const std::optional<Range> range = redo ? buffer_.redo() : buffer_.undo();
    if (!range) {
        return;
    }
    // A step replaces one stretch of text: the lines before range->from are
    // untouched, and the change in the count of lines tells how many the
    // replaced text spanned.
    const Line first = buffer_.lineAt(range->from);
    const Line newLast = buffer_.lineAt(range->to);
    linesReplaced(first, newLast - (buffer_.lineCount() - linesBefore), newLast);
    edited(snap(range->from), snap(range->to));
}

void TextBox::undo() {
    applyHistory(false);
}

void TextBox::redo() {
    applyHistory(true);
}

void TextBox::copy() {
    if (!hasSelection()) {
        return;
    }
    const Range range = selection();
    QGuiApplication::clipboard()->setMimeData(new TextMime(buffer_.text(range.from, range.to)),
                                              QClipboard::Clipboard);
}

void TextBox::cut() {
    if (!hasSelection()) {
        return;
    }
    copy();
    replaceSelection({}, false);
}

void TextBox::paste() {
    insertFromClipboard(QClipboard::Clipboard);
}

void TextBox::selectAll() {
    buffer_.closeUndoStep();
    clearPreedit();
    setCaret(0, buffer_.size());
    restartBlink();
    offerSelection();
}

void TextBox::insertFromClipboard(QClipboard::Mode mode) {
    const QString text = QGuiApplication::clipboard()->text(mode);
    if (text.isEmpty()) {
        return;
    }
    buffer_.closeUndoStep();
    replaceSelection(BufferText(text), false);
}

void TextBox::offerSelection() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!hasSelection() || !clipboard->supportsSelection()) {
        return;
    }
    const Range range = selection();
    if (range.to - range.from <= kCopiedSelection) {
        clipboard->setMimeData(new TextMime(buffer_.text(range.from, range.to)),
                               QClipboard::Selection);
        return;
    }
    auto* live = new TextMime(this, range);
    liveSelection_ = live;
    clipboard->setMimeData(live, QClipboard::Selection);
}

void TextBox::settleLiveSelection() {
    if (liveSelection_) {
        static_cast<TextMime*>(liveSelection_.data())->settle();
        liveSelection_ = nullptr;
    }
}

void TextBox::clearPreedit() {
    if (preedit_.isEmpty()) {
        return;
    }
    views_.erase(buffer_.lineAt(position_));
    preedit_.clear();
    preeditAttributes_.clear();
    preeditCursor_ = 0;
    QGuiApplication::inputMethod()->reset();
}

QMenu* TextBox::createStandardContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("qt_edit_menu"));
    const auto add = [this, menu](const QString& text, QKeySequence::StandardKey key,
                                  const QString& name, bool enabled, auto slot) {
        const QKeySequence shortcut(key);
        QAction* action =
            menu->addAction(shortcut.isEmpty() ? text
                                               : text + QLatin1Char('\t') +
                                                     shortcut.toString(QKeySequence::NativeText));
        action->setObjectName(name);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, slot);
    };
    const QMimeData* pasted = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    const bool all = selection().from == 0 && selection().to == buffer_.size();
    add(QStringLiteral("&Undo"), QKeySequence::Undo, QStringLiteral("edit-undo"), buffer_.canUndo(),
        &TextBox::undo);
    add(QStringLiteral("&Redo"), QKeySequence::Redo, QStringLiteral("edit-redo"), buffer_.canRedo(),
        &TextBox::redo);
    menu->addSeparator();
    add(QStringLiteral("Cu&t"), QKeySequence::Cut, QStringLiteral("edit-cut"), hasSelection(),
        &TextBox::cut);
    add(QStringLiteral("&Copy"), QKeySequence::Copy, QStringLiteral("edit-copy"), hasSelection(),
        &TextBox::copy);
    add(QStringLiteral("&Paste"), QKeySequence::Paste, QStringLiteral("edit-paste"),
        pasted != nullptr && pasted->hasText(), &TextBox::paste);
    add(QStringLiteral("Delete"), QKeySequence::Delete, QStringLiteral("edit-delete"),
        hasSelection(), [this] { replaceSelection({}, false); });
    menu->addSeparator();
    add(QStringLiteral("Select All"), QKeySequence::SelectAll, QStringLiteral("select-all"),
        !buffer_.empty() && !all, &TextBox::selectAll);
    return menu;
}

// ---- Keys ------------------------------------------------------------------

namespace {

struct KeyMove {
    QKeySequence::StandardKey key;
    int move;  // a TextBox::Move
    bool select;
};

// True for a key event whose text is typed into the box, as Qt's own boxes
// decide it: printable text, not given with Ctrl (Ctrl+Alt is AltGr).
bool IsTyped(const QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty()) {
        return false;
    }
    const QChar c = text.at(0);
    if (c.category() == QChar::Other_Format) {
        return true;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers == Qt::ControlModifier ||
        modifiers == (Qt::ShiftModifier | Qt::ControlModifier)) {
        return false;
    }
    return c.isPrint() || c.category() == QChar::Other_PrivateUse ||
           (c.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate());
}

bool Is(const QKeyEvent* event, QKeyCombination combination) {
    return event->keyCombination() == combination;
}

}  // namespace

bool TextBox::handleKey(QKeyEvent* event) {
    using K = QKeySequence;
    static constexpr KeyMove kMoves[] = {
        {K::MoveToNextChar, static_cast<int>(Move::NextChar), false},
        {K::MoveToPreviousChar, static_cast<int>(Move::PreviousChar), false},
        {K::SelectNextChar, static_cast<int>(Move::NextChar), true},
        {K::SelectPreviousChar, static_cast<int>(Move::PreviousChar), true},
        {K::MoveToNextWord, static_cast<int>(Move::NextWord), false},
        {K::MoveToPreviousWord, static_cast<int>(Move::PreviousWord), false},
        {K::SelectNextWord, static_cast<int>(Move::NextWord), true},
        {K::SelectPreviousWord, static_cast<int>(Move::PreviousWord), true},
        {K::MoveToNextLine, static_cast<int>(Move::NextRow), false},
        {K::MoveToPreviousLine, static_cast<int>(Move::PreviousRow), false},
        {K::SelectNextLine, static_cast<int>(Move::NextRow), true},
        {K::SelectPreviousLine, static_cast<int>(Move::PreviousRow), true},
        {K::MoveToNextPage, static_cast<int>(Move::NextPage), false},
        {K::MoveToPreviousPage, static_cast<int>(Move::PreviousPage), false},
        {K::SelectNextPage, static_cast<int>(Move::NextPage), true},
        {K::SelectPreviousPage, static_cast<int>(Move::PreviousPage), true},
        {K::MoveToStartOfLine, static_cast<int>(Move::RowStart), false},
        {K::MoveToEndOfLine, static_cast<int>(Move::RowEnd), false},
        {K::SelectStartOfLine, static_cast<int>(Move::RowStart), true},
        {K::SelectEndOfLine, static_cast<int>(Move::RowEnd), true},
        {K::MoveToStartOfBlock, static_cast<int>(Move::LineStart), false},
        {K::MoveToEndOfBlock, static_cast<int>(Move::LineEnd), false},
        {K::SelectStartOfBlock, static_cast<int>(Move::LineStart), true},
        {K::SelectEndOfBlock, static_cast<int>(Move::LineEnd), true},
        {K::MoveToStartOfDocument, static_cast<int>(Move::Start), false},
        {K::MoveToEndOfDocument, static_cast<int>(Move::End), false},
        {K::SelectStartOfDocument, static_cast<int>(Move::Start), true},
        {K::SelectEndOfDocument, static_cast<int>(Move::End), true},
    };
    for (const KeyMove& entry : kMoves) {
        if (event->matches(entry.key)) {
            moveBy(static_cast<Move>(entry.move), entry.select);
            return true;
        }
    }
    // The platform's bindings first; the usual keys also where a platform
    // binds them to nothing.
    const bool shiftDelete = Is(event, Qt::ShiftModifier | Qt::Key_Delete);
    if (event->matches(K::SelectAll)) {
        selectAll();
    } else if (event->matches(K::Copy) || Is(event, Qt::ControlModifier | Qt::Key_Insert)) {
        copy();
    } else if (event->matches(K::Cut) || shiftDelete) {
        cut();
    } else if (event->matches(K::Paste) || Is(event, Qt::ShiftModifier | Qt::Key_Insert)) {
        paste();
    } else if (event->matches(K::Undo)) {
        undo();
    } else if (event->matches(K::Redo) || Is(event, Qt::ControlModifier | Qt::Key_Y) ||
               Is(event, Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z)) {
        redo();
    } else if (event->matches(K::DeleteEndOfWord)) {
        deleteTo(moved(position_, Move::NextWord));
    } else if (event->matches(K::DeleteStartOfWord)) {
        deleteTo(moved(position_, Move::PreviousWord));
    } else if (event->matches(K::Delete)) {
        // The next character as the eye sees it, or over the hidden part of
        // a long line one code point at a time.
        const Offset next = moved(position_, Move::NextChar);
        const Line line = buffer_.lineAt(position_);
        const LineView& v = view(line);
        const bool hiddenNext = v.truncated &&
                                position_ - buffer_.lineStart(line) >= v.shownBytes &&
                                position_ - buffer_.lineStart(line) < v.lineBytes;
        deleteTo(hiddenNext ? nextCodePoint(position_) : next);
    } else if (event->key() == Qt::Key_Backspace &&
               (event->modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier) {
        // One code point, so that an accent typed after its letter goes alone.
        deleteTo(previousCodePoint(position_));
    } else if (event->matches(K::InsertParagraphSeparator) ||
               event->matches(K::InsertLineSeparator)) {
        // A break is a step of its own, between the typed runs around it.
        buffer_.closeUndoStep();
        replaceSelection("\n", false);
    } else if (IsTyped(event)) {
        replaceSelection(BufferText(event->text()), true);
    } else {
        return false;
    }
    return true;
}

bool TextBox::handlesShortcut(QKeyEvent* event) const {
    using K = QKeySequence;
    static constexpr K::StandardKey kKeys[] = {
        K::MoveToNextChar,
        K::MoveToPreviousChar,
        K::SelectNextChar,
        K::SelectPreviousChar,
        K::MoveToNextWord,
        K::MoveToPreviousWord,
        K::SelectNextWord,
        K::SelectPreviousWord,
        K::MoveToNextLine,
        K::MoveToPreviousLine,
        K::SelectNextLine,
        K::SelectPreviousLine,
        K::MoveToNextPage,
        K::MoveToPreviousPage,
        K::SelectNextPage,
        K::SelectPreviousPage,
        K::MoveToStartOfLine,
        K::MoveToEndOfLine,
        K::SelectStartOfLine,
        K::SelectEndOfLine,
        K::MoveToStartOfBlock,
        K::MoveToEndOfBlock,
        K::SelectStartOfBlock,
        K::SelectEndOfBlock,
        K::MoveToStartOfDocument,
        K::MoveToEndOfDocument,
        K::SelectStartOfDocument,
        K::SelectEndOfDocument,
        K::SelectAll,
        K::Copy,
        K::Cut,
        K::Paste,
        K::Undo,
        K::Redo,
        K::Delete,
        K::DeleteEndOfWord,
        K::DeleteStartOfWord,
        K::InsertParagraphSeparator,
        K::InsertLineSeparator,
    };
    for (const K::StandardKey key : kKeys) {
        if (event->matches(key)) {
            return true;
        }
    }
    return event->key() == Qt::Key_Backspace || Is(event, Qt::ControlModifier | Qt::Key_Y) ||
           Is(event, Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z) ||
           Is(event, Qt::ControlModifier | Qt::Key_Insert) ||
           Is(event, Qt::ShiftModifier | Qt::Key_Insert) ||
           Is(event, Qt::ShiftModifier | Qt::Key_Delete) ||
           // Typed text only without modifiers, as Qt's own boxes claim it, so
           // that Alt+letter still reaches the window's actions.
           ((event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0 &&
            IsTyped(event));
}

bool TextBox::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (handlesShortcut(key)) {
            key->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    if (handleKey(event)) {
        event->accept();
    } else {
        event->ignore();
    }
}

// ---- Mouse -----------------------------------------------------------------

void TextBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPointF point = event->position();
    const bool third =
        sinceDoubleClick_.isValid() &&
        sinceDoubleClick_.elapsed() < QApplication::doubleClickInterval() &&
        (point - doubleClickPoint_).manhattanLength() < QApplication::startDragDistance();
    sinceDoubleClick_.invalidate();
    dragPoint_ = point;
    if (third) {
        const Range line = lineWithBreak(rowAt(point).line);
        buffer_.closeUndoStep();
        clearPreedit();
        setCaret(line.from, line.to);
        ensureCaretVisible();
        restartBlink();
        dragOrigin_ = line;
        drag_ = DragUnit::Line;
        return;
    }
    moveCaret(offsetAt(point), (event->modifiers() & Qt::ShiftModifier) != 0);
    drag_ = DragUnit::Character;
}

void TextBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPointF point = event->position();
    const Range word = wordAt(rowAt(point), point.x() - kMargin);
    buffer_.closeUndoStep();
    clearPreedit();
    setCaret(word.from, word.to);
    restartBlink();
    dragOrigin_ = word;
    drag_ = DragUnit::Word;
    dragPoint_ = point;
    sinceDoubleClick_.start();
    doubleClickPoint_ = point;
}

void TextBox::mouseMoveEvent(QMouseEvent* event) {
    if (drag_ == DragUnit::None || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    dragPoint_ = event->position();
    dragTo(dragPoint_);
    const bool outside = dragPoint_.y() < 0 || dragPoint_.y() >= viewport()->height();
    if (outside) {
        autoScrollTimer_.start(kAutoScrollMs, this);
    } else {
        autoScrollTimer_.stop();
    }
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (drag_ != DragUnit::None) {
            drag_ = DragUnit::None;
            autoScrollTimer_.stop();
            offerSelection();
        }
        return;
    }
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        // X11's middle-click paste of the primary selection, at the click.
        moveCaret(offsetAt(event->position()), false);
        insertFromClipboard(QClipboard::Selection);
        return;
    }
    event->ignore();
}

void TextBox::dragTo(QPointF point) {
    const qreal x = point.x() - kMargin;
    // Past the top or the bottom, the row just out of view: the caret goes
    // there and the view follows it, a row at a time.
    RowPos row;
    if (point.y() < 0) {
        row = previousRow(top_).value_or(top_);
    } else if (point.y() >= viewport()->height()) {
        RowPos last = top_;
        for (int i = 1; i < rowsInView(); ++i) {
            last = nextRow(last).value_or(last);
        }
        row = nextRow(last).value_or(last);
    } else {
        row = rowAt(point);
    }
    Range target;
    switch (drag_) {
        case DragUnit::None:
            return;
        case DragUnit::Character:
            target.from = target.to = offsetInRow(row, x);
            break;
        case DragUnit::Word:
            target = wordAt(row, x);
            break;
        case DragUnit::Line:
            target = lineWithBreak(row.line);
            break;
    }
    if (drag_ == DragUnit::Character) {
        setCaret(anchor_, target.to);
    } else if (target.from < dragOrigin_.from) {
        setCaret(dragOrigin_.to, target.from);
    } else {
        setCaret(dragOrigin_.from, std::max(target.to, dragOrigin_.to));
    }
    ensureCaretVisible();
    restartBlink();
}

void TextBox::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    // 120 units are one notch of the wheel, QApplication::wheelScrollLines() rows.
    wheelRemainder_ += delta * QApplication::wheelScrollLines();
    const int rows = wheelRemainder_ / 120;
    wheelRemainder_ -= rows * 120;
    scrollRows(-rows);
    event->accept();
}

void TextBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

// ---- Focus, caret and timers -------------------------------------------------

void TextBox::restartBlink() {
    caretOn_ = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0) {
        blinkTimer_.start(flash / 2, this);
    } else {
        blinkTimer_.stop();
    }
    viewport()->update();
}

void TextBox::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    restartBlink();
}

void TextBox::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    blinkTimer_.stop();
    caretOn_ = false;
    viewport()->update();
}

void TextBox::timerEvent(QTimerEvent* event) {
    if (event->timerId() == blinkTimer_.timerId()) {
        caretOn_ = !caretOn_;
        viewport()->update();
    } else if (event->timerId() == autoScrollTimer_.timerId()) {
        dragTo(dragPoint_);
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

// ---- Input methods -----------------------------------------------------------

void TextBox::inputMethodEvent(QInputMethodEvent* event) {
    // The old pre-edit goes without resetting the input method: this event
    // is the input method's own, and may carry on composing.
    if (!preedit_.isEmpty()) {
        views_.erase(buffer_.lineAt(position_));
        preedit_.clear();
    }
    const std::string commit = BufferText(event->commitString());
    const bool replaces = event->replacementLength() > 0 || event->replacementStart() != 0;
    if (!commit.empty() || replaces) {
        Range range = selection();
        if (replaces) {
            // The replaced stretch is given around the caret, in code units of
            // the caret's line.
            const Line line = buffer_.lineAt(position_);
            const Offset start = buffer_.lineStart(line);
            const LineView& v = view(line);
            const int caret = toDisplay(v, position_ - start);
            const int from = std::clamp(caret + event->replacementStart(), 0, v.ownLength);
            const int to = std::clamp(from + event->replacementLength(), from, v.ownLength);
            range = {start + toLineOffset(v, from), start + toLineOffset(v, to)};
        }
        replaceRange(range.from, range.to, commit, true);
    }
    const Line line = buffer_.lineAt(position_);
    views_.erase(line);
    preedit_ = event->preeditString();
    preeditAttributes_ = event->attributes();
    preeditCursor_ = static_cast<int>(preedit_.size());
    for (const QInputMethodEvent::Attribute& attribute : preeditAttributes_) {
        if (attribute.type == QInputMethodEvent::Cursor) {
            preeditCursor_ = std::clamp(attribute.start, 0, static_cast<int>(preedit_.size()));
        }
    }
    ensureCaretVisible();
    restartBlink();
    event->accept();
}

QVariant TextBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    const Line line = buffer_.lineAt(position_);
    const Offset start = buffer_.lineStart(line);
    const LineView& v = view(line);
    // The line's own text, without the pre-edit, and places in it.
    QString surrounding = v.layout.text().left(v.ownLength);
    const auto preeditLength = static_cast<int>(preedit_.size());
    const auto ownIndex = [&v, preeditLength](int index) {
        return v.preeditAt >= 0 && index > v.preeditAt
                   ? index - std::min(index - v.preeditAt, preeditLength)
                   : index;
    };
    if (v.preeditAt >= 0) {
        surrounding.remove(v.preeditAt, preedit_.size());
    }
    const int caret = ownIndex(toDisplay(v, position_ - start));
    switch (query) {
        case Qt::ImEnabled:
            return true;
        case Qt::ImHints:
            return static_cast<int>(Qt::ImhMultiLine);
        case Qt::ImCursorRectangle:
            return QRectF(cursorRect().translated(viewport()->geometry().topLeft()));
        case Qt::ImFont:
            return font();
        case Qt::ImCursorPosition:
            return caret;
        case Qt::ImAnchorPosition:
            if (anchor_ < start) {
                return 0;
            }
            if (anchor_ > start + v.lineBytes) {
                return static_cast<int>(surrounding.size());
            }
            return ownIndex(toDisplay(v, anchor_ - start));
        case Qt::ImSurroundingText:
            return surrounding;
        case Qt::ImTextBeforeCursor:
            return surrounding.left(caret);
        case Qt::ImTextAfterCursor:
            return surrounding.mid(caret);
        case Qt::ImCurrentSelection: {
            // No more than a long line's worth: input methods ask often.
            const Range range = selection();
            return FromUtf8(
                buffer_.text(range.from, std::min(range.to, range.from + kMaxShownBytes)));
        }
        case Qt::ImMaximumTextLength:
            return QVariant();
        default:
            return QAbstractScrollArea::inputMethodQuery(query);
    }
}

// ---- Painting and geometry ---------------------------------------------------

QRect TextBox::cursorRect() const {
    const RowPos caret = rowOf(position_);
    const int height = viewport()->height();
    // The top of the caret's line, found from the top line in view; far out
    // of view the walk stops, as the rectangle is then simply off screen.
    qreal y = topY() - rowLine(top_).y();
    if (caret.line >= top_.line) {
        for (Line line = top_.line; line < caret.line && y < 2 * height + kMargin; ++line) {
            y += view(line).height;
        }
    } else {
        for (Line line = top_.line - 1; line >= caret.line && y > -2 * height; --line) {
            y -= view(line).height;
        }
    }
    const LineView& v = view(caret.line);
    const QTextLine row = v.layout.lineAt(caret.row);
    const int index = caretIndex(v, position_ - buffer_.lineStart(caret.line));
    const int width = style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this);
    return QRectF(kMargin + row.cursorToX(index), y + row.y(), width, row.height()).toRect();
}

void TextBox::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRectF clip = event->rect();
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    const QPalette& colours = palette();
    painter.setPen(colours.color(group, QPalette::Text));
    QTextCharFormat selected;
    selected.setBackground(colours.brush(group, QPalette::Highlight));
    selected.setForeground(colours.brush(group, QPalette::HighlightedText));
    QTextCharFormat mark;
    mark.setForeground(colours.brush(group, QPalette::Link));
    const int caretWidth = style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this);
    const bool caretShown = hasFocus() && caretOn_;
    const Range range = selection();
    const Line caretLine = buffer_.lineAt(position_);
    const qreal height = viewport()->height();

    qreal y = topY() - rowLine(top_).y();
    for (Line line = top_.line; line < buffer_.lineCount() && y < height; ++line) {
        const LineView& v = view(line);
        const Offset start = buffer_.lineStart(line);
        const Offset end = start + v.lineBytes;
        QList<QTextLayout::FormatRange> ranges;
        if (v.truncated) {
            ranges.append({v.ownLength, v.length() - v.ownLength, mark});
        }
        const Offset from = std::max(range.from, start);
        const Offset to = std::min(range.to, end + 1);
        if (from < to) {
            // A selected break shows as a selected space after the line.
            const int a = toDisplay(v, from - start);
            const int b = to > end ? v.length() + 1 : toDisplay(v, to - start);
            ranges.append({a, b - a, selected});
        }
        const QPointF origin(kMargin, y);
        if (y + v.height >= clip.top()) {
            v.layout.draw(&painter, origin, ranges, clip);
            if (caretShown && line == caretLine) {
                v.layout.drawCursor(&painter, origin, caretIndex(v, position_ - start), caretWidth);
            }
        }
        y += v.height;
    }
    trimViews();
}

void TextBox::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    const qreal width = textWidth();
    if (width != viewWidth_) {
        viewWidth_ = width;
        views_.clear();
    }
    bottom_.reset();
    setTop(top_);
}

void TextBox::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        dropViews();
        setTop(top_);
    } else if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        viewport()->update();
    }
}

}  // namespace axlewise

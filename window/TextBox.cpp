#include "window/TextBox.h"

#include "window/textbox/BoxClipboard.h"
#include "window/textbox/InputMethod.h"
#include "window/textbox/KeyMap.h"

#include <QAction>
#include <QApplication>
#include <QDrag>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <limits>

namespace axlewise {

namespace {

constexpr qreal kMargin = ScrollState::kMargin;
constexpr int kAutoScrollMs = 50;
// The marked line's band: the highlight colour, faint enough that the text,
// a selection and the caret on it read as they do elsewhere.
constexpr int kBandAlpha = 60;

int ToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<int>::max()));
}

}  // namespace

TextBox::TextBox(QWidget* parent)
    : QAbstractScrollArea(parent),
      layouts_(session_),
      scroll_(layouts_),
      commands_(session_, layouts_, scroll_) {
    session_.addListener(&layouts_);
    session_.addListener(&scroll_);
    layouts_.setRowsNoted([this](LineNumber line, int rows) { scroll_.noteRows(line, rows); });
    layouts_.setFont(font());
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(1);
    sync(Reveal::No);
}

TextBox::~TextBox() = default;

// ---- The one ending of every change ------------------------------------------

void TextBox::sync(Reveal reveal) {
    // A line laid out anew (an edit, a pre-edit come or gone, a new width) may
    // have fewer rows than the top row was.
    scroll_.clampTop();
    if (reveal == Reveal::Caret) {
        scroll_.scrollToShow(layouts_.rowOf(session_.position()));
    }
    updateScrollBar();
    viewport()->update();
    const EditSession::Changes changes = session_.takeChanges();
    if (changes.text) {
        // A selection being moved by the mouse belongs to the old text, as a
        // drag by units does in the session.
        pressInSelection_ = false;
        dropAt_.reset();
        if (marked_ && *marked_ >= session_.buffer().lineCount()) {
            marked_.reset();
        }
    }
    if (changes.caret || changes.selection || changes.text) {
        restartBlink();
        if (hasFocus()) {
            QGuiApplication::inputMethod()->update(Qt::ImQueryInput);
        }
    }
    if (changes.caret) {
        emit cursorPositionChanged();
    }
    if (changes.selection) {
        emit selectionChanged();
    }
    if (changes.text) {
        emit textChanged();
        if (hadText_ == isEmpty()) {
            hadText_ = !isEmpty();
            emit hasTextChanged(hadText_);
        }
    }
    // Last: an input method may answer a reset with events of its own.
    if (changes.resetInput) {
        QGuiApplication::inputMethod()->reset();
    }
}

void TextBox::updateScrollBar() {
    QScrollBar* bar = verticalScrollBar();
    settingScrollBar_ = true;
    bar->setRange(0, ToInt(scroll_.barMaximum()));
    bar->setPageStep(scroll_.pageStep());
    bar->setValue(ToInt(scroll_.barValue()));
    settingScrollBar_ = false;
}

void TextBox::scrollContentsBy(int, int) {
    if (!settingScrollBar_) {
        scroll_.setBarValue(verticalScrollBar()->value());
        sync(Reveal::No);
    }
}

// ---- Text, caret and selection ---------------------------------------------

void TextBox::setText(const SharedText& text) {
    setText(text, LineIndex::Of(text.view()));
}

void TextBox::setText(const SharedText& text, LineIndex lineBreaks) {
    // A drag still going on belongs to the old text.
    autoScrollTimer_.stop();
    sinceDoubleClick_.invalidate();
    pressInSelection_ = false;
    dropAt_.reset();
    session_.setText(text, std::move(lineBreaks));
    sync(Reveal::No);
}

SharedText TextBox::text() const {
    return session_.buffer().sharedText();
}

void TextBox::setCursorPosition(ByteOffset offset) {
    session_.moveTo(offset, false);
    sync(Reveal::Caret);
}

void TextBox::setSelection(ByteOffset anchor, ByteOffset position) {
    session_.select(anchor, position);
    offerSelection();
    sync(Reveal::Caret);
}

QString TextBox::selectedText() const {
    return ToQString(session_.buffer().text(session_.selection()));
}

QString TextBox::shownLineText(LineNumber n) const {
    const LineNumber last = session_.buffer().lineCount() - LineNumber(1);
    return layouts_.view(std::clamp(n, LineNumber(0), last)).layout.text();
}

FindResult TextBox::find(std::string_view needle, bool matchCase, bool backward) {
    const FindOptions options{matchCase, backward};
    ByteRange from = session_.selection();
    bool wrapped = false;
    std::optional<ByteRange> firstPassed;
    for (;;) {
        const FoundText found = Find(session_.buffer(), needle, from, options);
        if (found.result == FindResult::NotFound) {
            return FindResult::NotFound;
        }
        wrapped = wrapped || found.result == FindResult::Wrapped;
        const ByteRange match = found.range;
        if (session_.snap(match.from) == match.from) {
            backward ? session_.select(match.to, match.from)
                     : session_.select(match.from, match.to);
            break;
        }
        // A match the caret cannot reach would be found again and again:
        // the search goes on from it, until it comes round to the first one
        // passed over.
        if (firstPassed == match) {
            return FindResult::NotFound;
        }
        firstPassed = firstPassed.value_or(match);
        from = match;
    }
    sync(Reveal::Caret);
    return wrapped ? FindResult::Wrapped : FindResult::Found;
}

void TextBox::setMarkedLine(std::optional<LineNumber> n) {
    if (n && (*n < LineNumber(0) || *n >= session_.buffer().lineCount())) {
        n.reset();
    }
    if (n != marked_) {
        marked_ = n;
        viewport()->update();
    }
}

void TextBox::revealLine(LineNumber n) {
    scroll_.revealLine(n);
    // Lines laid out on the way are trimmed here as a paint would: called
    // for line after line while no paint comes (a hidden window), the
    // layouts kept would otherwise grow without end.
    layouts_.trimToView(scroll_);
    sync(Reveal::No);
}

void TextBox::command(KeyCommand command) {
    commands_.perform(command);
    sync(EditCommands::RevealsCaret(command) ? Reveal::Caret : Reveal::No);
}

void TextBox::undo() {
    command(KeyCommand::Undo);
}

void TextBox::redo() {
    command(KeyCommand::Redo);
}

void TextBox::copy() {
    command(KeyCommand::Copy);
}

void TextBox::cut() {
    command(KeyCommand::Cut);
}

void TextBox::paste() {
    command(KeyCommand::Paste);
}

void TextBox::selectAll() {
    command(KeyCommand::SelectAll);
}

void TextBox::offerSelection() {
    BoxClipboard::offerSelection(session_.buffer(), session_.selection());
}

// ---- Keys ------------------------------------------------------------------

bool TextBox::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const std::optional<KeyAction> action = KeyActionFor(*key);
        if (action && action->overridesShortcuts) {
            key->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    const std::optional<KeyAction> action = KeyActionFor(*event);
    if (!action) {
        event->ignore();
        return;
    }
    if (action->command == KeyCommand::ShowTruck) {
        emit showTruckRequested(session_.buffer().lineAt(session_.position()));
        event->accept();
        return;
    }
    // A key acts on the text as it is, without a pre-edit in it.
    session_.dropPreedit();
    commands_.perform(*action, event->text());
    sync(EditCommands::RevealsCaret(action->command) ? Reveal::Caret : Reveal::No);
    event->accept();
}

// ---- Mouse -----------------------------------------------------------------

ByteOffset TextBox::offsetAt(QPointF point) const {
    return layouts_.offsetInRow(layouts_.rowAt(scroll_, point.y()), point.x() - kMargin);
}

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
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    const ByteOffset at = offsetAt(point);
    const ByteRange selected = session_.selection();
    if (third) {
        session_.beginDrag(SelectUnit::Line,
                           session_.lineWithBreak(layouts_.rowAt(scroll_, point.y()).line), false);
    } else if (!shift && selected.from < at && at < selected.to) {
        // Perhaps the start of moving the selection: decided by the next moves.
        session_.dropPreedit();
        pressInSelection_ = true;
        pressPoint_ = point;
    } else {
        session_.beginDrag(SelectUnit::Character, {at, at}, shift);
    }
    sync(Reveal::Caret);
}

void TextBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPointF point = event->position();
    pressInSelection_ = false;
    dropAt_.reset();
    const RowPos row = layouts_.rowAt(scroll_, point.y());
    session_.beginDrag(SelectUnit::Word, layouts_.wordAt(row, point.x() - kMargin), false);
    dragPoint_ = point;
    sinceDoubleClick_.start();
    doubleClickPoint_ = point;
    sync(Reveal::Caret);
}

void TextBox::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        return;
    }
    const QPointF point = event->position();
    if (pressInSelection_) {
        if ((point - pressPoint_).manhattanLength() >= QApplication::startDragDistance()) {
            if (viewport()->rect().contains(point.toPoint())) {
                dropAt_ = offsetAt(point);
            } else {
                dragSelectionOut();
            }
            viewport()->update();
        }
        return;
    }
    if (!session_.dragging()) {
        return;
    }
    dragPoint_ = point;
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
        if (pressInSelection_) {
            pressInSelection_ = false;
            const bool copying = (event->modifiers() & Qt::ControlModifier) != 0;
            if (dropAt_) {
                session_.dropSelection(offsetAt(event->position()), copying);
            } else {
                session_.moveTo(offsetAt(pressPoint_), false);  // a plain click
            }
            dropAt_.reset();
        } else if (session_.dragging()) {
            session_.endDrag();
            autoScrollTimer_.stop();
            offerSelection();
        }
        sync(Reveal::Caret);
        return;
    }
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        // X11's middle-click paste of the primary selection, at the click.
        session_.moveTo(offsetAt(event->position()), false);
        if (const std::string pasted = BoxClipboard::text(QClipboard::Selection); !pasted.empty()) {
            session_.replaceSelection(pasted, false);
        }
        sync(Reveal::Caret);
        return;
    }
    event->ignore();
}

void TextBox::dragTo(QPointF point) {
    session_.dragTo(
        layouts_.unitAt(scroll_, {point.x() - kMargin, point.y()}, session_.dragUnit()));
    sync(Reveal::Caret);
}

void TextBox::dragSelectionOut() {
    // Out of the box, to another program or back: a drag of Qt's own, which
    // ends with the drop.
    pressInSelection_ = false;
    dropAt_.reset();
    const std::uint64_t before = revision();
    const ByteRange moved = session_.selection();
    auto* drag = new QDrag(this);
    drag->setMimeData(BoxClipboard::dragData(session_.buffer(), moved));
    const Qt::DropAction done = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    // Moved to another program: the text goes here, unless a drop in this box
    // has already moved it.
    if (done == Qt::MoveAction && drag->target() != viewport() && revision() == before) {
        session_.replace(moved, {}, false);
    }
    sync(Reveal::Caret);
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
    scroll_.scrollRows(-rows);
    sync(Reveal::No);
    event->accept();
}

void TextBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

QMenu* TextBox::createStandardContextMenu(QWidget* parent) {
    QMenu* menu = commands_.menu(parent, [this](KeyCommand chosen) { command(chosen); });
    menu->addSeparator();
    QAction* find = menu->addAction(QStringLiteral("Find..."));
    find->setObjectName(QStringLiteral("edit-find"));
    find->setEnabled(!isEmpty());
    connect(find, &QAction::triggered, this, &TextBox::findRequested);
    const QString key =
        QKeySequence(Qt::ControlModifier | Qt::Key_Return).toString(QKeySequence::NativeText);
    QAction* show = menu->addAction(QStringLiteral("Show This Truck") + u'\t' + key);
    show->setObjectName(QStringLiteral("show-truck"));
    show->setEnabled(!isEmpty());
    // The caret's line when chosen: the menu leaves the caret where it was.
    connect(show, &QAction::triggered, this,
            [this] { emit showTruckRequested(session_.buffer().lineAt(session_.position())); });
    return menu;
}

// ---- Drops from outside ------------------------------------------------------

void TextBox::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasText()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void TextBox::dragMoveEvent(QDragMoveEvent* event) {
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    dropAt_ = offsetAt(event->position());
    viewport()->update();
    event->acceptProposedAction();
}

void TextBox::dragLeaveEvent(QDragLeaveEvent*) {
    dropAt_.reset();
    viewport()->update();
}

void TextBox::dropEvent(QDropEvent* event) {
    dropAt_.reset();
    const ByteOffset at = offsetAt(event->position());
    if (event->source() == this || event->source() == viewport()) {
        // The selection dragged out and back: moved, or copied with Ctrl.
        const bool copying = event->dropAction() == Qt::CopyAction;
        session_.dropSelection(at, copying);
        event->setDropAction(copying ? Qt::CopyAction : Qt::MoveAction);
    } else {
        session_.moveTo(at, false);
        session_.replaceSelection(FromOutside(event->mimeData()->text()), false);
        event->setDropAction(Qt::CopyAction);
    }
    event->accept();
    sync(Reveal::Caret);
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
    ApplyInputMethodEvent(*event, session_, layouts_);
    sync(Reveal::Caret);
    event->accept();
}

QVariant TextBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
        case Qt::ImEnabled:
            return true;
        case Qt::ImHints:
            return static_cast<int>(Qt::ImhMultiLine);
        case Qt::ImCursorRectangle:
            return QRectF(cursorRect().translated(viewport()->geometry().topLeft()));
        case Qt::ImFont:
            return font();
        case Qt::ImMaximumTextLength:
            return QVariant();
        default:
            break;
    }
    const QVariant answer = InputMethodAnswer(query, session_);
    return answer.isValid() ? answer : QAbstractScrollArea::inputMethodQuery(query);
}

// ---- Painting and geometry ---------------------------------------------------

QRect TextBox::cursorRect() const {
    const ByteOffset caret = session_.position();
    const RowPos row = layouts_.rowOf(caret);
    const QTextLine text = layouts_.view(row.line).row(row.row);
    const int width = style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this);
    const qreal x = kMargin + text.cursorToX(static_cast<int>(layouts_.caretIndex(caret).value()));
    return QRectF(x, layouts_.lineTop(scroll_, row.line) + text.y(), width, text.height()).toRect();
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
    const TextBuffer& buffer = session_.buffer();
    const ByteRange range = selection();
    const LineNumber caretLine = buffer.lineAt(session_.position());
    const LineNumber dropLine = dropAt_ ? buffer.lineAt(*dropAt_) : LineNumber(-1);
    const qreal height = viewport()->height();
    const RowPos top = scroll_.top();
    QColor band = colours.color(group, QPalette::Highlight);
    band.setAlpha(kBandAlpha);

    qreal y = layouts_.topLineY(scroll_);
    for (LineNumber line = top.line; line < buffer.lineCount() && y < height; ++line) {
        const LineView& v = layouts_.view(line);
        const ShownLine& shown = v.shown;
        const ByteOffset start = buffer.lineStart(line);
        const ByteOffset end = start + shown.lineBytes();
        QList<QTextLayout::FormatRange> ranges;
        if (shown.cut()) {
            const int own = static_cast<int>(shown.ownLength().value());
            ranges.append({own, static_cast<int>(shown.length().value()) - own, mark});
        }
        const ByteOffset from = std::max(range.from, start);
        const ByteOffset to = std::min(range.to, end + ByteOffset(1));
        if (from < to) {
            // A selected break shows as a selected space after the line.
            const auto a = static_cast<int>(shown.indexOf(from - start).value());
            const auto b = static_cast<int>(to > end ? shown.length().value() + 1
                                                     : shown.indexOf(to - start).value());
            ranges.append({a, b - a, selected});
        }
        const QPointF origin(kMargin, y);
        if (y + v.height >= clip.top()) {
            if (marked_ && line == *marked_) {
                // Across the whole width, margins included, under the text.
                painter.fillRect(QRectF(0, y, viewport()->width(), v.height), band);
            }
            v.layout.draw(&painter, origin, ranges, clip);
            if (hasFocus() && caretOn_ && line == caretLine) {
                v.layout.drawCursor(
                    &painter, origin,
                    static_cast<int>(layouts_.caretIndex(session_.position()).value()), caretWidth);
            }
            if (line == dropLine) {
                v.layout.drawCursor(&painter, origin,
                                    static_cast<int>(shown.indexOf(*dropAt_ - start).value()),
                                    caretWidth);
            }
        }
        y += v.height;
    }
    layouts_.trimToView(scroll_);
}

void TextBox::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    const qreal width = std::max(1, viewport()->width() - 2 * static_cast<int>(kMargin));
    if (width != layouts_.width()) {
        layouts_.setWidth(width);
        scroll_.forgetRows();
    }
    scroll_.setViewHeight(viewport()->height());
    sync(Reveal::No);
}

void TextBox::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        layouts_.setFont(font());
        scroll_.forgetRows();
        sync(Reveal::No);
    } else if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        viewport()->update();
    }
}

}  // namespace axlewise

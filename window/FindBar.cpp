#include "window/FindBar.h"

#include "window/TextBox.h"
#include "window/textbox/BoxClipboard.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace axlewise {

namespace {

// A selection of at most this many bytes, on one line, is taken into the
// field when the bar opens: a word or a field of a truck line, not a page.
constexpr std::int64_t kPrefillBytes = 200;
// Room between the box and the bar below it.
constexpr int kGap = 6;

}  // namespace

FindBar::FindBar(TextBox* box) : QWidget(box->window(), Qt::Tool), box_(box) {
    setObjectName(QStringLiteral("FindBar"));
    setWindowTitle(QStringLiteral("Find"));
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("txtFind"));
    field_->setMinimumWidth(160);
    matchCase_ = new QCheckBox(QStringLiteral("Match case"), this);
    matchCase_->setObjectName(QStringLiteral("chkMatchCase"));
    previous_ = new QPushButton(QStringLiteral("Previous"), this);
    previous_->setObjectName(QStringLiteral("btnFindPrevious"));
    next_ = new QPushButton(QStringLiteral("Next"), this);
    next_->setObjectName(QStringLiteral("btnFindNext"));
    // Enter on a focused button presses that button, not Next.
    previous_->setAutoDefault(true);
    next_->setAutoDefault(true);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lblFindStatus"));
    // Room for the longer status, so the bar keeps its size as it changes.
    status_->setMinimumWidth(
        status_->fontMetrics().horizontalAdvance(QStringLiteral("Search wrapped")));

    auto* row = new QHBoxLayout(this);
    row->addWidget(field_, 1);
    row->addWidget(matchCase_);
    row->addWidget(previous_);
    row->addWidget(next_);
    row->addWidget(status_);

    connect(next_, &QPushButton::clicked, this, [this] { findNext(); });
    connect(previous_, &QPushButton::clicked, this, [this] { findPrevious(); });
    // A status belongs to the search it reports.
    connect(field_, &QLineEdit::textEdited, status_, &QLabel::clear);
    connect(matchCase_, &QCheckBox::toggled, status_, &QLabel::clear);
}

void FindBar::open() {
    if (box_ && box_->hasSelection()) {
        const ByteRange selected = box_->selection();
        if (selected.size().value() <= kPrefillBytes) {
            const std::string text = box_->buffer().text(selected);
            if (text.find('\n') == std::string::npos) {
                field_->setText(ToQString(text));
                status_->clear();
            }
        }
    }
    if (!placed_) {
        place();
    }
    // A tool window stays above its window: shown and active is enough.
    show();
    activateWindow();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

void FindBar::place() {
    if (!box_) {
        return;
    }
    placed_ = true;
    adjustSize();
    // Below the box's window, left edges with the box, so that the bar hides
    // neither the box's lines nor the picture under them; kept on the box's
    // screen (over the window's foot when the screen has no room below it).
    const QWidget* window = box_->window();
    QPoint at(box_->mapToGlobal(QPoint(0, 0)).x(), window->frameGeometry().bottom() + kGap);
    if (const QScreen* screen = box_->screen()) {
        const QRect room = screen->availableGeometry();
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - width())));
        at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - height())));
    }
    move(at);
}

std::optional<FindResult> FindBar::findNext() {
    return find(false);
}

std::optional<FindResult> FindBar::findPrevious() {
    return find(true);
}

std::optional<FindResult> FindBar::find(bool backward) {
    if (field_->text().isEmpty() || !box_) {
        open();
        return std::nullopt;
    }
    const FindResult result =
        box_->find(FromOutside(field_->text()), matchCase_->isChecked(), backward);
    switch (result) {
        case FindResult::Found:
            status_->clear();
            break;
        case FindResult::Wrapped:
            status_->setText(QStringLiteral("Search wrapped"));
            break;
        case FindResult::NotFound:
            status_->setText(QStringLiteral("Not found"));
            break;
    }
    return result;
}

void FindBar::dismiss() {
    hide();
    giveBackFocus();
}

void FindBar::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    giveBackFocus();
}

void FindBar::giveBackFocus() {
    if (box_) {
        box_->activateWindow();
        box_->setFocus(Qt::ActiveWindowFocusReason);
    }
}

void FindBar::keyPressEvent(QKeyEvent* event) {
    // Keys the focused control left alone: the field, the check box, and
    // the buttons but for Enter, which presses them.
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    switch (event->key()) {
        case Qt::Key_Escape:
            dismiss();
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_F3:
            find(shift);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

}  // namespace axlewise

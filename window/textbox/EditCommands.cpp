#include "window/textbox/EditCommands.h"

#include "window/textbox/BoxClipboard.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include <algorithm>

namespace axlewise {

bool EditCommands::RevealsCaret(KeyCommand command) {
    // As in Qt's own boxes, selecting everything or copying leaves the view.
    return command != KeyCommand::SelectAll && command != KeyCommand::Copy &&
           command != KeyCommand::ShowTruck;
}

QMenu* EditCommands::menu(QWidget* parent, const std::function<void(KeyCommand)>& run) const {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("qt_edit_menu"));
    const auto add = [&](const char* text, QKeySequence::StandardKey key, const char* name,
                         bool enabled, KeyCommand command) {
        const QString shortcut = QKeySequence(key).toString(QKeySequence::NativeText);
        QAction* action = menu->addAction(QString::fromUtf8(text) +
                                          (shortcut.isEmpty() ? QString() : u'\t' + shortcut));
        action->setObjectName(QString::fromUtf8(name));
        action->setEnabled(enabled);
        QObject::connect(action, &QAction::triggered, menu, [run, command] { run(command); });
    };
    const TextBuffer& buffer = session_.buffer();
    const bool some = session_.hasSelection();
    const bool all = session_.selection() == ByteRange{ByteOffset(0), buffer.size()};
    add("&Undo", QKeySequence::Undo, "edit-undo", buffer.canUndo(), KeyCommand::Undo);
    add("&Redo", QKeySequence::Redo, "edit-redo", buffer.canRedo(), KeyCommand::Redo);
    menu->addSeparator();
    add("Cu&t", QKeySequence::Cut, "edit-cut", some, KeyCommand::Cut);
    add("&Copy", QKeySequence::Copy, "edit-copy", some, KeyCommand::Copy);
    add("&Paste", QKeySequence::Paste, "edit-paste", BoxClipboard::hasText(), KeyCommand::Paste);
    // With a selection, deleting the next character deletes the selection.
    add("Delete", QKeySequence::Delete, "edit-delete", some, KeyCommand::DeleteNextChar);
    menu->addSeparator();
    add("Select All", QKeySequence::SelectAll, "select-all", !buffer.empty() && !all,
        KeyCommand::SelectAll);
    return menu;
}

void EditCommands::offerSelection() {
    BoxClipboard::offerSelection(session_.buffer(), session_.selection());
}

void EditCommands::move(CaretMove to, bool select) {
    session_.moveTo(layouts_.moved(session_.position(), to), select);
    if (select) {
        offerSelection();
    }
}

void EditCommands::perform(const KeyAction& action, const QString& text) {
    const TextBuffer& buffer = session_.buffer();
    const ByteOffset caret = session_.position();
    const bool select = action.select;
    switch (action.command) {
        case KeyCommand::NextChar:
        case KeyCommand::PreviousChar: {
            const bool next = action.command == KeyCommand::NextChar;
            // Left and Right end a selection at its side.
            if (session_.hasSelection() && !select) {
                session_.moveTo(next ? session_.selection().to : session_.selection().from, false);
            } else {
                move(next ? CaretMove::NextChar : CaretMove::PreviousChar, select);
            }
            break;
        }
        case KeyCommand::NextWord:
            move(CaretMove::NextWord, select);
            break;
        case KeyCommand::PreviousWord:
            move(CaretMove::PreviousWord, select);
            break;
        case KeyCommand::RowStart:
            move(CaretMove::RowStart, select);
            break;
        case KeyCommand::RowEnd:
            move(CaretMove::RowEnd, select);
            break;
        case KeyCommand::LineStart:
            move(CaretMove::LineStart, select);
            break;
        case KeyCommand::LineEnd:
            move(CaretMove::LineEnd, select);
            break;
        case KeyCommand::Start:
            move(CaretMove::Start, select);
            break;
        case KeyCommand::End:
            move(CaretMove::End, select);
            break;
        case KeyCommand::NextRow:
            moveVertically(true, false, select);
            break;
        case KeyCommand::PreviousRow:
            moveVertically(false, false, select);
            break;
        case KeyCommand::NextPage:
            moveVertically(true, true, select);
            break;
        case KeyCommand::PreviousPage:
            moveVertically(false, true, select);
            break;
        case KeyCommand::SelectAll:
            session_.selectAll();
            offerSelection();
            break;
        case KeyCommand::Copy:
            BoxClipboard::copy(buffer, session_.selection());
            break;
        case KeyCommand::Cut:
            if (session_.hasSelection()) {
                BoxClipboard::copy(buffer, session_.selection());
                session_.replaceSelection({}, false);
            }
            break;
        case KeyCommand::Paste:
            if (const std::string pasted = BoxClipboard::text(QClipboard::Clipboard);
                !pasted.empty()) {
                session_.replaceSelection(pasted, false);
            }
            break;
        case KeyCommand::Undo:
            session_.undo();
            break;
        case KeyCommand::Redo:
            session_.redo();
            break;
        case KeyCommand::DeleteNextChar: {
            // The next character as the eye sees it, or in the hidden part of
            // a cut line one character at a time.
            const LineNumber line = buffer.lineAt(caret);
            const ShownLine& shown = layouts_.view(line).shown;
            const ByteOffset inLine = caret - buffer.lineStart(line);
            const bool hidden =
                shown.cut() && inLine >= shown.shownBytes() && inLine < shown.lineBytes();
            session_.deleteTo(hidden ? buffer.nextChar(caret)
                                     : layouts_.moved(caret, CaretMove::NextChar));
            break;
        }
        case KeyCommand::DeletePreviousChar:
            // One code point, so that an accent typed after its letter goes alone.
            session_.deleteTo(buffer.previousChar(caret));
            break;
        case KeyCommand::DeleteEndOfWord:
            session_.deleteTo(layouts_.moved(caret, CaretMove::NextWord));
            break;
        case KeyCommand::DeleteStartOfWord:
            session_.deleteTo(layouts_.moved(caret, CaretMove::PreviousWord));
            break;
        case KeyCommand::InsertBreak:
            // A break is a step of its own, between the typed runs around it.
            session_.replaceSelection("\n", false);
            break;
        case KeyCommand::Type:
            session_.replaceSelection(FromOutside(text), true);
            break;
        case KeyCommand::ShowTruck:
            // Not an edit: the box tells the window.
            break;
    }
}

void EditCommands::moveVertically(bool down, bool page, bool select) {
    const std::optional<double> wanted = session_.wantedX();
    const double x = wanted ? *wanted : layouts_.caretX(session_.position());
    const int count = page ? std::max(1, scroll_.rowsInView() - 1) : 1;
    const ScrollState::Step moved =
        scroll_.step(layouts_.rowOf(session_.position()), down ? count : -count);
    ByteOffset to = layouts_.offsetInRow(moved.row, x);
    if (moved.rows == 0) {
        // On the first or last row: a page move or a selection goes to the end.
        if (!page && !select) {
            return;
        }
        to = down ? session_.buffer().size() : ByteOffset(0);
    }
    if (page) {
        scroll_.scrollRows(down ? moved.rows : -moved.rows);
    }
    session_.moveTo(to, select);
    session_.setWantedX(x);
    if (select) {
        offerSelection();
    }
}

}  // namespace axlewise

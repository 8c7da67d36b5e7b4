#include "window/textbox/KeyMap.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace axlewise {

namespace {

using K = QKeySequence;

struct Combination {
    QKeyCombination keys;
    KeyCommand command;
};

struct Binding {
    K::StandardKey key;
    KeyCommand command;
    bool select;
};

// The box's own keys, before the platform's bindings: Ctrl+Return shows the
// caret's truck and never breaks the line.
const Combination kOwn[] = {
    {Qt::ControlModifier | Qt::Key_Return, KeyCommand::ShowTruck},
    {Qt::ControlModifier | Qt::Key_Enter, KeyCommand::ShowTruck},
};

// The platform's bindings, first match wins.
constexpr Binding kStandard[] = {
    {K::MoveToNextChar, KeyCommand::NextChar, false},
    {K::MoveToPreviousChar, KeyCommand::PreviousChar, false},
    {K::SelectNextChar, KeyCommand::NextChar, true},
    {K::SelectPreviousChar, KeyCommand::PreviousChar, true},
    {K::MoveToNextWord, KeyCommand::NextWord, false},
    {K::MoveToPreviousWord, KeyCommand::PreviousWord, false},
    {K::SelectNextWord, KeyCommand::NextWord, true},
    {K::SelectPreviousWord, KeyCommand::PreviousWord, true},
    {K::MoveToNextLine, KeyCommand::NextRow, false},
    {K::MoveToPreviousLine, KeyCommand::PreviousRow, false},
    {K::SelectNextLine, KeyCommand::NextRow, true},
    {K::SelectPreviousLine, KeyCommand::PreviousRow, true},
    {K::MoveToNextPage, KeyCommand::NextPage, false},
    {K::MoveToPreviousPage, KeyCommand::PreviousPage, false},
    {K::SelectNextPage, KeyCommand::NextPage, true},
    {K::SelectPreviousPage, KeyCommand::PreviousPage, true},
    {K::MoveToStartOfLine, KeyCommand::RowStart, false},
    {K::MoveToEndOfLine, KeyCommand::RowEnd, false},
    {K::SelectStartOfLine, KeyCommand::RowStart, true},
    {K::SelectEndOfLine, KeyCommand::RowEnd, true},
    {K::MoveToStartOfBlock, KeyCommand::LineStart, false},
    {K::MoveToEndOfBlock, KeyCommand::LineEnd, false},
    {K::SelectStartOfBlock, KeyCommand::LineStart, true},
    {K::SelectEndOfBlock, KeyCommand::LineEnd, true},
    {K::MoveToStartOfDocument, KeyCommand::Start, false},
    {K::MoveToEndOfDocument, KeyCommand::End, false},
    {K::SelectStartOfDocument, KeyCommand::Start, true},
    {K::SelectEndOfDocument, KeyCommand::End, true},
    {K::SelectAll, KeyCommand::SelectAll, false},
    {K::Copy, KeyCommand::Copy, false},
    {K::Cut, KeyCommand::Cut, false},
    {K::Paste, KeyCommand::Paste, false},
    {K::Undo, KeyCommand::Undo, false},
    {K::Redo, KeyCommand::Redo, false},
    {K::DeleteEndOfWord, KeyCommand::DeleteEndOfWord, false},
    {K::DeleteStartOfWord, KeyCommand::DeleteStartOfWord, false},
    {K::Delete, KeyCommand::DeleteNextChar, false},
    {K::InsertParagraphSeparator, KeyCommand::InsertBreak, false},
    {K::InsertLineSeparator, KeyCommand::InsertBreak, false},
};

// The usual keys also where a platform binds them to nothing.
const Combination kUsual[] = {
    {Qt::ControlModifier | Qt::Key_Insert, KeyCommand::Copy},
    {Qt::ShiftModifier | Qt::Key_Delete, KeyCommand::Cut},
    {Qt::ShiftModifier | Qt::Key_Insert, KeyCommand::Paste},
    {Qt::ControlModifier | Qt::Key_Y, KeyCommand::Redo},
    {Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z, KeyCommand::Redo},
    // One code point back, so that an accent typed after its letter goes alone.
    {QKeyCombination(Qt::Key_Backspace), KeyCommand::DeletePreviousChar},
    {Qt::ShiftModifier | Qt::Key_Backspace, KeyCommand::DeletePreviousChar},
};

// True for a key event whose text is typed into the box, as Qt's own boxes
// decide it: printable text, not given with Ctrl (Ctrl+Alt is AltGr).
bool IsTyped(const QKeyEvent& event) {
    const QString text = event.text();
    if (text.isEmpty()) {
        return false;
    }
    const QChar c = text.at(0);
    if (c.category() == QChar::Other_Format) {
        return true;
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers == Qt::ControlModifier ||
        modifiers == (Qt::ShiftModifier | Qt::ControlModifier)) {
        return false;
    }
    return c.isPrint() || c.category() == QChar::Other_PrivateUse ||
           (c.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate());
}

}  // namespace

std::optional<KeyAction> KeyActionFor(const QKeyEvent& event) {
    // Without the keypad flag, so that keypad keys act as their twins do.
    const QKeyCombination pressed(event.modifiers() & ~Qt::KeypadModifier,
                                  static_cast<Qt::Key>(event.key()));
    for (const Combination& own : kOwn) {
        if (pressed == own.keys) {
            return KeyAction{own.command, false, true};
        }
    }
    for (const Binding& binding : kStandard) {
        if (event.matches(binding.key)) {
            return KeyAction{binding.command, binding.select, true};
        }
    }
    for (const Combination& usual : kUsual) {
        if (pressed == usual.keys) {
            return KeyAction{usual.command, false, true};
        }
    }
    if (IsTyped(event)) {
        const bool plain = (event.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
        return KeyAction{KeyCommand::Type, false, plain};
    }
    return std::nullopt;
}

}  // namespace axlewise

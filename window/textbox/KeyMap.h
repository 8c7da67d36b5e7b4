#pragma once

#include <optional>

class QKeyEvent;

namespace axlewise {

// What a key does in the box.
enum class KeyCommand {
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
    End,
    SelectAll,
    Copy,
    Cut,
    Paste,
    Undo,
    Redo,
    DeleteNextChar,
    DeletePreviousChar,
    DeleteEndOfWord,
    DeleteStartOfWord,
    InsertBreak,
    Type,       // the event's text is typed
    ShowTruck,  // the caret's line is asked to be shown as a truck; no edit
};

struct KeyAction {
    KeyCommand command = KeyCommand::Type;
    // A move that extends the selection (Shift).
    bool select = false;
    // The box takes the key before the window's shortcuts see it. Every key
    // the box acts on does, except text typed with Alt or Meta: Alt+letter
    // belongs to the window's actions first, as in Qt's own boxes.
    bool overridesShortcuts = true;
};

// The one key map of the box, asked both when Qt offers a key as a shortcut
// override and when the key is pressed, so that the box never claims a key it
// then does nothing with. Nothing for a key the box leaves to the window.
std::optional<KeyAction> KeyActionFor(const QKeyEvent& event);

}  // namespace axlewise

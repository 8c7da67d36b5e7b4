#pragma once

#include "text/EditSession.h"
#include "window/textbox/KeyMap.h"
#include "window/textbox/LineLayouts.h"
#include "window/textbox/ScrollState.h"

#include <QString>

#include <functional>

class QMenu;
class QWidget;

namespace axlewise {

// What the box does for a key, a menu entry or one of its slots: moves of the
// caret (by the layouts' characters, words and rows, and by pages of the
// scroll state), edits, undo and redo, and the clipboard. Keys and slots go
// through the same commands, so they cannot come to differ.
class EditCommands {
public:
    EditCommands(EditSession& session, const LineLayouts& layouts, ScrollState& scroll)
        : session_(session), layouts_(layouts), scroll_(scroll) {}

    // Carries out action; text is what the key typed, for KeyCommand::Type.
    void perform(const KeyAction& action, const QString& text = {});
    void perform(KeyCommand command) { perform(KeyAction{command, false, true}); }
    // False for the commands after which the view stays where it is.
    static bool RevealsCaret(KeyCommand command);
    // The box's context menu, for the caller to own: Undo, Redo, Cut, Copy,
    // Paste, Delete and Select All, each enabled when it can act, each
    // running its command through run.
    QMenu* menu(QWidget* parent, const std::function<void(KeyCommand)>& run) const;

private:
    void move(CaretMove to, bool select);
    // Up and Down keep the caret's x; a page is the rows in view less one.
    void moveVertically(bool down, bool page, bool select);
    void offerSelection();

    EditSession& session_;
    const LineLayouts& layouts_;
    ScrollState& scroll_;
};

}  // namespace axlewise

// The box's one key map: what each key does, and whether the box takes it
// before the window's shortcuts. A key it takes it always acts on; a key it
// leaves alone reaches the window.

#include "window/textbox/KeyMap.h"

#include <QKeyEvent>
#include <QTest>

using namespace axlewise;

namespace {

QString Name(KeyCommand command) {
    static const char* const kNames[] = {"NextChar",
                                         "PreviousChar",
                                         "NextWord",
                                         "PreviousWord",
                                         "NextRow",
                                         "PreviousRow",
                                         "NextPage",
                                         "PreviousPage",
                                         "RowStart",
                                         "RowEnd",
                                         "LineStart",
                                         "LineEnd",
                                         "Start",
                                         "End",
                                         "SelectAll",
                                         "Copy",
                                         "Cut",
                                         "Paste",
                                         "Undo",
                                         "Redo",
                                         "DeleteNextChar",
                                         "DeletePreviousChar",
                                         "DeleteEndOfWord",
                                         "DeleteStartOfWord",
                                         "InsertBreak",
                                         "Type",
                                         "ShowTruck"};
    return QString::fromLatin1(kNames[static_cast<int>(command)]);
}

}  // namespace

class tst_KeyMap : public QObject {
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
};

void tst_KeyMap::keys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("action");  // "Command", "+" when it selects, "!" when
                                          // left to shortcuts first; "" for none
    const auto row = [](const char* tag, int key, Qt::KeyboardModifiers modifiers,
                        const QString& text, const char* action) {
        QTest::newRow(tag) << key << static_cast<int>(modifiers.toInt()) << text
                           << QString::fromLatin1(action);
    };
    row("Right", Qt::Key_Right, Qt::NoModifier, {}, "NextChar");
    row("Shift+Right selects", Qt::Key_Right, Qt::ShiftModifier, {}, "NextChar+");
    row("Ctrl+Shift+Left selects a word", Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier, {},
        "PreviousWord+");
    row("Page Down", Qt::Key_PageDown, Qt::NoModifier, {}, "NextPage");
    row("Ctrl+End", Qt::Key_End, Qt::ControlModifier, {}, "End");
    row("Ctrl+A", Qt::Key_A, Qt::ControlModifier, QStringLiteral("\x01"), "SelectAll");
    row("Ctrl+Insert copies", Qt::Key_Insert, Qt::ControlModifier, {}, "Copy");
    row("Shift+Delete cuts", Qt::Key_Delete, Qt::ShiftModifier, {}, "Cut");
    row("keypad Shift+Insert pastes", Qt::Key_Insert, Qt::ShiftModifier | Qt::KeypadModifier, {},
        "Paste");
    row("Ctrl+Y redoes", Qt::Key_Y, Qt::ControlModifier, {}, "Redo");
    row("Ctrl+Shift+Z redoes", Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, {}, "Redo");
    row("Backspace", Qt::Key_Backspace, Qt::NoModifier, {}, "DeletePreviousChar");
    row("Shift+Backspace", Qt::Key_Backspace, Qt::ShiftModifier, {}, "DeletePreviousChar");
    row("Ctrl+Backspace", Qt::Key_Backspace, Qt::ControlModifier, {}, "DeleteStartOfWord");
    // Not one of the box's keys: neither claimed nor acted on, so it reaches
    // the window (it was claimed and then dropped).
    row("Meta+Backspace is left to the window", Qt::Key_Backspace, Qt::MetaModifier, {}, "");
    row("Delete", Qt::Key_Delete, Qt::NoModifier, {}, "DeleteNextChar");
    row("keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, {}, "InsertBreak");
    // Taken from the window's shortcuts, and no break typed.
    row("Ctrl+Return shows the truck", Qt::Key_Return, Qt::ControlModifier, QStringLiteral("\r"),
        "ShowTruck");
    row("keypad Ctrl+Enter shows the truck", Qt::Key_Enter,
        Qt::ControlModifier | Qt::KeypadModifier, QStringLiteral("\r"), "ShowTruck");
    row("Ctrl+Shift+Return is left to the window", Qt::Key_Return,
        Qt::ControlModifier | Qt::ShiftModifier, QStringLiteral("\r"), "");
    row("a letter", Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), "Type");
    row("a capital", Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A"), "Type");
    // Typed, but only when no shortcut of the window wants the keys.
    row("AltGr gives a character", Qt::Key_E, Qt::ControlModifier | Qt::AltModifier,
        QStringLiteral("\u20ac"), "Type!");
    row("Alt+letter", Qt::Key_X, Qt::AltModifier, QStringLiteral("x"), "Type!");
    row("Ctrl+letter types nothing", Qt::Key_Q, Qt::ControlModifier, QStringLiteral("q"), "");
    row("Escape", Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"), "");
    row("Tab moves the focus", Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"), "");
    row("F2", Qt::Key_F2, Qt::NoModifier, {}, "");
}

void tst_KeyMap::keys() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(QString, action);
    const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    const std::optional<KeyAction> found = KeyActionFor(event);
    QString described;
    if (found) {
        described = Name(found->command) + (found->select ? QStringLiteral("+") : QString()) +
                    (found->overridesShortcuts ? QString() : QStringLiteral("!"));
    }
    QCOMPARE(described, action);
}

QTEST_MAIN(tst_KeyMap)
#include "tst_keymap.moc"

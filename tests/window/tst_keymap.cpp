// The box's one key map: what each key does, and whether the box takes it
// before the window's shortcuts. A key it takes it always acts on; a key it
// leaves alone reaches the window. The plain moves and edits are the
// platform's own bindings, tested through the box; here the keys the map
// decides for itself.

#include "window/textbox/KeyMap.h"

#include <QKeyEvent>
#include <QTest>

#include <optional>

using namespace axlewise;

using Command = std::optional<KeyCommand>;

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
    QTest::addColumn<Command>("command");  // none: the key is left to the window
    QTest::addColumn<QString>("flags");    // "select", "window first" (shortcuts before the box)
    const auto row = [](const char* tag, int key, Qt::KeyboardModifiers modifiers,
                        const QString& text, Command command, const char* flags = "") {
        QTest::newRow(tag) << key << static_cast<int>(modifiers.toInt()) << text << command
                           << QString::fromLatin1(flags);
    };
    using C = KeyCommand;
    const auto ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    row("Ctrl+Shift+Left selects a word", Qt::Key_Left, ctrlShift, {}, C::PreviousWord, "select");
    row("Ctrl+A selects all, types nothing", Qt::Key_A, Qt::ControlModifier, QStringLiteral("\x01"),
        C::SelectAll);
    row("keypad Shift+Insert pastes", Qt::Key_Insert, Qt::ShiftModifier | Qt::KeypadModifier, {},
        C::Paste);
    row("Ctrl+Shift+Z redoes", Qt::Key_Z, ctrlShift, {}, C::Redo);
    row("Shift+Backspace", Qt::Key_Backspace, Qt::ShiftModifier, {}, C::DeletePreviousChar);
    // Not one of the box's keys: neither claimed nor acted on, so it reaches
    // the window (it was claimed and then dropped).
    row("Meta+Backspace is left to the window", Qt::Key_Backspace, Qt::MetaModifier, {}, {});
    // Taken from the window's shortcuts, and no break typed.
    row("Ctrl+Return shows the truck", Qt::Key_Return, Qt::ControlModifier, QStringLiteral("\r"),
        C::ShowTruck);
    row("keypad Ctrl+Enter shows the truck", Qt::Key_Enter,
        Qt::ControlModifier | Qt::KeypadModifier, QStringLiteral("\r"), C::ShowTruck);
    row("Ctrl+Shift+Return is left to the window", Qt::Key_Return, ctrlShift, QStringLiteral("\r"),
        {});
    row("a capital", Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A"), C::Type);
    // Typed, but only when no shortcut of the window wants the keys.
    row("AltGr gives a character", Qt::Key_E, Qt::ControlModifier | Qt::AltModifier,
        QStringLiteral("\u20ac"), C::Type, "window first");
    row("Alt+letter", Qt::Key_X, Qt::AltModifier, QStringLiteral("x"), C::Type, "window first");
    row("Ctrl+letter types nothing", Qt::Key_Q, Qt::ControlModifier, QStringLiteral("q"), {});
    row("Escape", Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"), {});
    row("Tab moves the focus", Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"), {});
}

void tst_KeyMap::keys() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(Command, command);
    QFETCH(QString, flags);
    const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    const std::optional<KeyAction> found = KeyActionFor(event);
    QCOMPARE(found.has_value(), command.has_value());
    if (found) {
        QCOMPARE(static_cast<int>(found->command), static_cast<int>(*command));
        QCOMPARE(found->select, flags.contains(QLatin1String("select")));
        QCOMPARE(found->overridesShortcuts, !flags.contains(QLatin1String("window first")));
    }
}

QTEST_MAIN(tst_KeyMap)
#include "tst_keymap.moc"

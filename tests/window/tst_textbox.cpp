// The file-contents box: typing, selecting, the clipboard, undo, wrapping,
// long lines, input methods and large texts, given as the user gives them,
// by keys and mouse events on a shown box. Expected texts are literal;
// positions on the screen come from the font's metrics, not from the box.

#include "BoxTesting.h"

#include <QAction>
#include <QMenu>

using namespace axlewise;
using namespace axlewise::boxtesting;

class tst_TextBox : public BoxTest {
    Q_OBJECT

private slots:
    void keysAndClipboard_data();
    void keysAndClipboard();
    void mouseSelection_data();
    void mouseSelection();
    void dragPastTheEdges_autoScrolls();
    void longLine_showsMark_data();
    void longLine_showsMark();
    void contextMenu_enablesWhatCanAct();
    void showTruckAndFind_askedOfTheWindow_data();
    void showTruckAndFind_askedOfTheWindow();
    void hasTextChanged_followsEmptiness();
    void caret_shownOnlyWhileFocused();
};

// ---- Keys and the clipboard ----------------------------------------------------

void tst_TextBox::keysAndClipboard_data() {
    QTest::addColumn<QByteArray>("text");  // marked as Unmark reads it
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("clipboard");  // before the keys
    QTest::addColumn<QString>("copied");     // the clipboard after them
    const auto row = [](const char* tag, const char* text, const char* keys, const char* expected,
                        const QString& clipboard = {}, const char* copied = nullptr) {
        QTest::newRow(tag) << QByteArray(text) << QString::fromLatin1(keys) << QByteArray(expected)
                           << clipboard << (copied ? QString::fromUtf8(copied) : clipboard);
    };
    row("typed in the middle", "a|d", "bc", "abc|d");
    row("keypad Enter splits the line", "ab|cd", "{Enter}", "ab\n|cd");
    row("Backspace takes a two-byte character whole, then the break", "ab\n\u00e9|z",
        "{Backspace}{Backspace}", "ab|z");
    row("Delete takes a four-byte character whole, then the break", "x|\U0001F600\ny",
        "{Delete}{Delete}", "x|y");
    row("Backspace at the start, Delete at the end do nothing", "|ab", "{Backspace}{End}{Delete}",
        "ab|");
    row("Ctrl+Backspace removes the word before", "one two|", "{Ctrl+Backspace}", "one |");
    row("Ctrl+Delete removes up to the next word", "|one two", "{Ctrl+Del}", "|two");
    row("Left at a line start goes to the end of the line above", "ab\n|cd", "{Left}x", "abx|\ncd");
    row("Right ends a selection at its end", "a|bc^d", "{Right}x", "abcx|d");
    row("Left ends a selection at its start", "a^bc|d", "{Left}x", "ax|bcd");
    row("Shift+Home", "one two\nthr|ee", "{Shift+Home}", "one two\n|thr^ee");
    row("Ctrl+Shift+End", "one |two\nthree", "{Ctrl+Shift+End}", "one ^two\nthree|");
    row("Ctrl+Shift+Right twice crosses the break, Ctrl+Shift+Left comes back", "one |two\nthree",
        "{Ctrl+Shift+Right}{Ctrl+Shift+Right}{Ctrl+Shift+Left}", "one ^two|\nthree");
    row("Shift+Down keeps the column", "a|bc\nabc", "{Shift+Down}", "a^bc\na|bc");
    row("Shift+Up on the first line selects to the start", "one| two", "{Shift+Up}", "|one^ two");
    row("Shift+Down on the last line selects to the end", "th|ree", "{Shift+Down}", "th^ree|");
    row("Ctrl+Insert copies across a break", "one ^two\nth|ree", "{Ctrl+Ins}", "one ^two\nth|ree",
        {}, "two\nth");
    row("Shift+Delete cuts", "^one |two", "{Shift+Del}", "|two", {}, "one ");
    row("Ctrl+C without a selection keeps the clipboard", "on|e", "{Ctrl+C}", "on|e", "kept");
    row("Shift+Insert pastes over the selection", "one ^two|", "{Shift+Ins}", "one 2|", "2");
    // Every kind of break becomes LF; tabs and other characters stay, in UTF-8.
    row("Ctrl+V pastes breaks as LF", "|one", "{Ctrl+V}", "a\nb\nc\nd\n\t\u00e9|one",
        QString::fromUtf8("a\r\nb\rc\u2028d\u2029\t\u00e9"));

    // A line of 100,000 'a's shows 65,536 of them: the caret skips the rest.
    const QByteArray a(100000, 'a');
    const auto cut = [&a](const char* tag, int caret, const char* keys, int expected) {
        QByteArray text = a + "\nz", after = text;
        QTest::newRow(tag) << text.insert(caret, '|') << QString::fromLatin1(keys)
                           << after.insert(expected, '|') << QString() << QString();
    };
    cut("End goes to the true end", 0, "{Ctrl+End}{Up}{End}", 100000);
    cut("Right at the mark jumps over it", 65536, "{Right}", 100000);
    cut("Left from the true end comes back before the mark", 100000, "{Left}", 65536);
    cut("Right from the true end goes to the next line", 100000, "{Right}", 100001);
    QTest::newRow("a cut line copied whole")
        << "|" + a << "{Ctrl+A}{Ctrl+C}"
        << "^" + a + "|" << QString() << QString::fromLatin1(a);
}

void tst_TextBox::keysAndClipboard() {
    QFETCH(QByteArray, text);
    QFETCH(QString, keys);
    QFETCH(QByteArray, expected);
    QFETCH(QString, clipboard);
    QFETCH(QString, copied);

    const Marked before = Unmark(text);
    show(before.text);
    box->setSelection(before.anchor, before.caret);
    QApplication::clipboard()->setText(clipboard);
    Type(box, keys);
    const Marked after = Unmark(expected);
    QCOMPARE(bytes(), after.text);
    QCOMPARE(box->cursorPosition(), after.caret);
    QCOMPARE(box->anchorPosition(), after.anchor);
    QCOMPARE(QApplication::clipboard()->text(), copied);
}

// ---- Mouse -----------------------------------------------------------------

void tst_TextBox::mouseSelection_data() {
    QTest::addColumn<QString>("gesture");  // drag, shift-click, double, triple
    QTest::addColumn<QPoint>("from");      // (character, row) pressed on
    QTest::addColumn<QPoint>("to");        // where a drag or a shift-click ends, or the same
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("caret");
    const auto row = [](const char* tag, const char* gesture, QPoint from, QPoint to,
                        const char* selected, int caret) {
        QTest::newRow(tag) << QString::fromLatin1(gesture) << from << to
                           << QString::fromLatin1(selected) << caret;
    };
    // The text: "say hello, world\nsecond line here\nthird"
    row("drag backwards over a break", "drag", {6, 1}, {11, 0}, "world\nsecond", 11);
    row("shift-click extends from the caret", "shift-click", {4, 0}, {6, 1}, "hello, world\nsecond",
        23);
    row("double-click selects the word", "double", {5, 0}, {5, 0}, "hello", 9);
    row("double-click on the comma selects it", "double", {9, 0}, {9, 0}, ",", 10);
    row("double-click then drag selects whole words", "double", {5, 0}, {2, 1},
        "hello, world\nsecond", 23);
    row("triple-click selects the line and its break", "triple", {3, 1}, {3, 1},
        "second line here\n", 34);
    row("triple-click on the last line", "triple", {1, 2}, {1, 2}, "third", 39);
}

void tst_TextBox::mouseSelection() {
    QFETCH(QString, gesture);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QString, selected);
    QFETCH(int, caret);

    const QStringList rows = {"say hello, world", "second line here", "third"};
    show(rows.join('\n').toUtf8());
    // A double or triple click in the middle of the character.
    const bool middle = gesture == "double" || gesture == "triple";
    QWidget* surface = box->viewport();
    const QPoint pressed = fixture->at(rows.at(from.y()), from.y(), from.x(), middle);
    const QPoint released = fixture->at(rows.at(to.y()), to.y(), to.x(), middle);
    if (gesture == "drag") {
        QTest::mousePress(surface, Qt::LeftButton, {}, pressed);
    } else {
        QTest::mouseClick(surface, Qt::LeftButton, {}, pressed);
    }
    if (gesture == "shift-click") {
        QTest::mouseClick(surface, Qt::LeftButton, Qt::ShiftModifier, released);
    } else {
        if (gesture != "drag") {
            QTest::mouseDClick(surface, Qt::LeftButton, {}, pressed);
        }
        QTest::mouseMove(surface, released);
        QTest::mouseRelease(surface, Qt::LeftButton, {}, released);
    }
    if (gesture == "triple") {
        QTest::mouseClick(surface, Qt::LeftButton, {}, pressed);
    }
    QCOMPARE(box->selectedText(), selected);
    QCOMPARE(box->cursorPosition().value(), caret);
}

void tst_TextBox::dragPastTheEdges_autoScrolls() {
    show(NumberedLines(30, 2));
    QWidget* surface = box->viewport();
    const int below = surface->height() + 10;
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(4, 8));
    QTest::mouseMove(surface, QPoint(4, below));
    QCOMPARE(box->firstVisibleLine().value(), 1);
    QTest::mouseMove(surface, QPoint(4, below));
    QCOMPARE(box->firstVisibleLine().value(), 2);
    // The selection runs from the press to the row just below the old view.
    QVERIFY(box->selectedText().startsWith("00\n01\n"));
    QCOMPARE(box->cursorPosition().value() % 3, 0);  // at a line start: x was at the left edge
    QTest::mouseMove(surface, QPoint(4, -10));
    QCOMPARE(box->firstVisibleLine().value(), 1);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(4, -10));
    QCOMPARE(box->selectedText(), "00\n");
}

// ---- Long lines --------------------------------------------------------------

void tst_TextBox::longLine_showsMark_data() {
    QTest::addColumn<QByteArray>("character");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("shown");     // characters laid out
    QTest::addColumn<QString>("more");  // in the mark
    QTest::addColumn<QString>("keys");  // typed at the line's true end first

    // 65,536 UTF-16 code units are shown: that many two-byte characters, half
    // as many four-byte ones (each a surrogate pair).
    QTest::newRow("two-byte") << QByteArray("\u00e9") << 100000 << 65536 << "34,464 more characters"
                              << "";
    QTest::newRow("one character over") << QByteArray("b") << 65537 << 65536 << "1 more character"
                                        << "";
    // The count of a line edited within is kept up to date, not read again.
    QTest::newRow("typed at the true end")
        << QByteArray("b") << 70000 << 65536 << "4,465 more characters"
        << "xy{Backspace}";
}

void tst_TextBox::longLine_showsMark() {
    QFETCH(QByteArray, character);
    QFETCH(int, count);
    QFETCH(int, shown);
    QFETCH(QString, more);
    QFETCH(QString, keys);

    const QByteArray line = character.repeated(count);
    show("first\n" + line + "\nlast");
    box->setCursorPosition(ByteOffset(6 + line.size()));
    Type(box, keys);
    const QString mark = " \u2026 " + more + " not shown";
    QCOMPARE(box->shownLineText(LineNumber(1)),
             QString::fromUtf8(character).repeated(shown) + mark);
    QCOMPARE(box->shownLineText(LineNumber(2)), "last");
}

// ---- Menu, caret, large texts ----------------------------------------------

void tst_TextBox::contextMenu_enablesWhatCanAct() {
    const auto enabled = [this] {
        std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
        QStringList names;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator() && action->isEnabled()) {
                names << action->objectName();
            }
        }
        return names;
    };
    show({});
    QCOMPARE(enabled(), QStringList());
    QTest::keyClicks(box, "ab");
    QCOMPARE(enabled(), QStringList({"edit-undo", "select-all", "edit-find", "show-truck"}));
    QTest::keyClick(box, Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(enabled(), QStringList({"edit-undo", "edit-cut", "edit-copy", "edit-delete",
                                     "select-all", "edit-find", "show-truck"}));
    box->copy();
    box->undo();
    QCOMPARE(enabled(), QStringList({"edit-redo", "edit-paste"}));

    box->redo();
    box->setSelection(ByteOffset(0), ByteOffset(1));
    std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
    QVERIFY(menu->actions().first()->text().endsWith("\tCtrl+Z"));
    menu->findChild<QAction*>("edit-delete")->trigger();
    QCOMPARE(bytes(), QByteArray("b"));
}

void tst_TextBox::showTruckAndFind_askedOfTheWindow_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Ctrl+Return") << "Ctrl+Return";
    QTest::newRow("the menu's Show This Truck") << "show-truck";
    QTest::newRow("the menu's Find...") << "edit-find";
}

// The caret on line 6, a selection on it: asking changes neither, nor the
// text, and a shortcut of the window on the same key never fires.
void tst_TextBox::showTruckAndFind_askedOfTheWindow() {
    QFETCH(QString, how);
    auto* windowAction = new QAction(fixture->window());
    windowAction->setShortcuts({QKeySequence(Qt::ControlModifier | Qt::Key_Return),
                                QKeySequence(Qt::ControlModifier | Qt::Key_Enter)});
    fixture->window()->addAction(windowAction);
    int shortcuts = 0;
    connect(windowAction, &QAction::triggered, [&shortcuts] { ++shortcuts; });
    QStringList told;
    connect(box, &TextBox::showTruckRequested,
            [&told](LineNumber line) { told << QStringLiteral("truck %1").arg(line.value()); });
    connect(box, &TextBox::findRequested, [&told] { told << QStringLiteral("find"); });
    const QByteArray text = NumberedLines(10, 2);
    show(text);
    box->setSelection(ByteOffset(18), ByteOffset(20));  // in "06\n"
    if (how.startsWith(QLatin1String("Ctrl+"))) {
        Type(box, QLatin1Char('{') + how + QLatin1Char('}'));
    } else {
        std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
        QAction* item = menu->findChild<QAction*>(how);
        QVERIFY(item->isEnabled());
        item->trigger();
    }
    QCOMPARE(told, QStringList{how == QLatin1String("edit-find") ? "find" : "truck 6"});
    QCOMPARE(shortcuts, 0);
    QCOMPARE(bytes(), text);
    QCOMPARE(box->anchorPosition(), ByteOffset(18));
    QCOMPARE(box->cursorPosition(), ByteOffset(20));
}

void tst_TextBox::hasTextChanged_followsEmptiness() {
    QList<bool> told;
    connect(box, &TextBox::hasTextChanged, [&told](bool hasText) { told << hasText; });
    show("");  // empty before too: nothing to tell
    QTest::keyClick(box, Qt::Key_A);
    QTest::keyClick(box, Qt::Key_B);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    box->undo();
    show("");
    show("x");
    show("y");
    QCOMPARE(told, (QList<bool>{true, false, true, false, true}));
    QVERIFY(!box->isEmpty());
}

void tst_TextBox::caret_shownOnlyWhileFocused() {
    show("");
    const auto darkAtCaret = [this] {
        const QRect caret = box->cursorRect();
        const QImage image = box->viewport()->grab().toImage();
        return qGray(image.pixel(caret.center())) < 100;
    };
    QVERIFY(box->hasFocus());
    QVERIFY(darkAtCaret());
    box->clearFocus();
    QVERIFY(!darkAtCaret());
    box->setFocus();
    QVERIFY(darkAtCaret());
}

QTEST_MAIN(tst_TextBox)
#include "tst_textbox.moc"

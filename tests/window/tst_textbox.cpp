// The file-contents box: typing, selecting, the clipboard, undo, wrapping,
// long lines, input methods and large texts, given as the user gives them,
// by keys and mouse events on a shown box. Expected texts are literal;
// positions on the screen come from the font's metrics, not from the box.

#include "BoxTesting.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

#include <memory>

using namespace axlewise;
using namespace axlewise::boxtesting;

class tst_TextBox : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keysAndClipboard_data();
    void keysAndClipboard();
    void mouseSelection_data();
    void mouseSelection();
    void dragPastTheEdges_autoScrolls();
    void setText_endsADrag();
    void longLine_showsMark_data();
    void longLine_showsMark();
    void longLine_caretSkipsTheHiddenPart_data();
    void longLine_caretSkipsTheHiddenPart();
    void longLine_copiedWholeAndCountedOnEdits();
    void longLine_markInItsOwnColour();
    void contextMenu_enablesWhatCanAct();
    void showTruckAndFind_askedOfTheWindow_data();
    void showTruckAndFind_askedOfTheWindow();
    void hasTextChanged_followsEmptiness();
    void caret_shownOnlyWhileFocused();

private:
    void show(const QByteArray& text) { fixture->show(text); }
    QByteArray bytes() const { return fixture->bytes(); }

    std::unique_ptr<BoxWindow> fixture;
    TextBox* box = nullptr;
};

void tst_TextBox::init() {
    fixture = std::make_unique<BoxWindow>();
    QVERIFY(fixture->ready);
    box = fixture->box;
}

void tst_TextBox::cleanup() {
    fixture.reset();
}

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
    row("typing replaces the selection", "|one two", "{Shift+Right}{Shift+Right}1", "1|e two");
    row("Backspace removes the selection only", "one t^wo|", "{Backspace}", "one t|");
    row("Ctrl+Backspace removes the word before", "one two|", "{Ctrl+Backspace}", "one |");
    row("Ctrl+Delete removes up to the next word", "|one two", "{Ctrl+Del}", "|two");
    row("Left at a line start goes to the end of the line above", "ab\n|cd", "{Left}x", "abx|\ncd");
    row("Right ends a selection at its end", "a|bc^d", "{Right}x", "abcx|d");
    row("Left ends a selection at its start", "a^bc|d", "{Left}x", "ax|bcd");

    row("Shift+Left over a two-byte character", "a\u00e9|z", "{Shift+Left}", "a|\u00e9^z");
    row("Shift+End", "o|ne two\nthree", "{Shift+End}", "o^ne two|\nthree");
    row("Shift+Home", "one two\nthr|ee", "{Shift+Home}", "one two\n|thr^ee");
    row("Ctrl+Shift+End", "one |two\nthree", "{Ctrl+Shift+End}", "one ^two\nthree|");
    row("Ctrl+Shift+Home", "one two\nth|ree", "{Ctrl+Shift+Home}", "|one two\nth^ree");
    row("Ctrl+Shift+Right twice crosses the break, Ctrl+Shift+Left comes back", "one |two\nthree",
        "{Ctrl+Shift+Right}{Ctrl+Shift+Right}{Ctrl+Shift+Left}", "one ^two|\nthree");
    row("Shift+Down keeps the column", "a|bc\nabc", "{Shift+Down}", "a^bc\na|bc");
    row("Shift+Up on the first line selects to the start", "one| two", "{Shift+Up}", "|one^ two");
    row("Shift+Down on the last line selects to the end", "th|ree", "{Shift+Down}", "th^ree|");
    row("Shift+PgDown moves down a page at most", "a|bc\nabc", "{Shift+PgDown}", "a^bc\na|bc");

    row("Ctrl+Insert copies across a break", "one ^two\nth|ree", "{Ctrl+Ins}", "one ^two\nth|ree",
        {}, "two\nth");
    row("Ctrl+X cuts", "one^ two|\nthree", "{Ctrl+X}", "one|\nthree", {}, " two");
    row("Shift+Delete cuts", "^one |two", "{Shift+Del}", "|two", {}, "one ");
    row("Ctrl+C without a selection keeps the clipboard", "on|e", "{Ctrl+C}", "on|e", "kept");
    row("Shift+Insert pastes over the selection", "one ^two|", "{Shift+Ins}", "one 2|", "2");
    // Every kind of break becomes LF; tabs and other characters stay, in UTF-8.
    row("Ctrl+V pastes breaks as LF", "|one", "{Ctrl+V}", "a\nb\nc\nd\n\t\u00e9|one",
        QString::fromUtf8("a\r\nb\rc\u2028d\u2029\t\u00e9"));
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
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<int>("fromIndex");
    QTest::addColumn<int>("toRow");  // where a drag or a shift-click ends, or the same
    QTest::addColumn<int>("toIndex");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("caret");

    // The text: "say hello, world\nsecond line here\nthird"
    QTest::newRow("drag backwards over a break")
        << "drag" << 1 << 6 << 0 << 11 << "world\nsecond" << 11;
    QTest::newRow("shift-click extends from the caret")
        << "shift-click" << 0 << 4 << 1 << 6 << "hello, world\nsecond" << 23;
    QTest::newRow("double-click selects the word") << "double" << 0 << 5 << 0 << 5 << "hello" << 9;
    QTest::newRow("double-click on the comma selects it")
        << "double" << 0 << 9 << 0 << 9 << "," << 10;
    QTest::newRow("double-click then drag selects whole words")
        << "double" << 0 << 5 << 1 << 2 << "hello, world\nsecond" << 23;
    QTest::newRow("triple-click selects the line and its break")
        << "triple" << 1 << 3 << 1 << 3 << "second line here\n"
        << 34;
    QTest::newRow("triple-click on the last line") << "triple" << 2 << 1 << 2 << 1 << "third" << 39;
}

void tst_TextBox::mouseSelection() {
    QFETCH(QString, gesture);
    QFETCH(int, fromRow);
    QFETCH(int, fromIndex);
    QFETCH(int, toRow);
    QFETCH(int, toIndex);
    QFETCH(QString, selected);
    QFETCH(int, caret);

    const QStringList rows = {"say hello, world", "second line here", "third"};
    show(rows.join('\n').toUtf8());
    // Character `index` of row `row` of the view: at its left edge, or in its
    // middle for a double or triple click.
    const bool middle = gesture == "double" || gesture == "triple";
    const auto at = [&](int row, int index) {
        const QFontMetricsF metrics(box->font());
        const QString& text = rows.at(row);
        qreal x = 4 + metrics.horizontalAdvance(text.left(index));
        x += middle ? metrics.horizontalAdvance(text.at(index)) / 2 : 0;
        return QPointF(x, 4 + (row + 0.5) * metrics.height()).toPoint();
    };
    QWidget* surface = box->viewport();
    const QPoint from = at(fromRow, fromIndex);
    const QPoint to = at(toRow, toIndex);
    if (gesture == "drag") {
        QTest::mousePress(surface, Qt::LeftButton, {}, from);
    } else {
        QTest::mouseClick(surface, Qt::LeftButton, {}, from);
    }
    if (gesture == "shift-click") {
        QTest::mouseClick(surface, Qt::LeftButton, Qt::ShiftModifier, to);
    } else {
        if (gesture != "drag") {
            QTest::mouseDClick(surface, Qt::LeftButton, {}, from);
        }
        QTest::mouseMove(surface, to);
        QTest::mouseRelease(surface, Qt::LeftButton, {}, to);
    }
    if (gesture == "triple") {
        QTest::mouseClick(surface, Qt::LeftButton, {}, from);
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

// A load that replaces the text while a word is being dragged ends the drag: the
// selection never reaches into what was the old text.
void tst_TextBox::setText_endsADrag() {
    show(NumberedLines(30, 2));
    QWidget* surface = box->viewport();
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(8, 8));
    QTest::mouseDClick(surface, Qt::LeftButton, {}, QPoint(8, 8));
    QTest::mouseMove(surface, QPoint(8, surface->height() / 2));
    show("short\n");
    const QPoint below(8, surface->height() + 10);
    QMouseEvent move(QEvent::MouseMove, below, surface->mapToGlobal(below), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &move);
    QVERIFY(box->selection().to.value() <= 6 && box->anchorPosition().value() <= 6);
    QCOMPARE(box->selectedText(), QString());
}

// ---- Long lines --------------------------------------------------------------

void tst_TextBox::longLine_showsMark_data() {
    QTest::addColumn<QByteArray>("character");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("shown");     // characters laid out
    QTest::addColumn<QString>("more");  // in the mark

    // 65,536 UTF-16 code units are shown: that many two-byte characters, half
    // as many four-byte ones (each a surrogate pair).
    QTest::newRow("two-byte") << QByteArray("\u00e9") << 100000 << 65536
                              << "34,464 more characters";
    QTest::newRow("one character over") << QByteArray("b") << 65537 << 65536 << "1 more character";
    QTest::newRow("exactly the limit") << QByteArray("b") << 65536 << 65536 << QString();
}

void tst_TextBox::longLine_showsMark() {
    QFETCH(QByteArray, character);
    QFETCH(int, count);
    QFETCH(int, shown);
    QFETCH(QString, more);

    const QByteArray line = character.repeated(count);
    show("first\n" + line + "\nlast");
    const QString mark = more.isEmpty() ? QString() : " \u2026 " + more + " not shown";
    QCOMPARE(box->shownLineText(LineNumber(1)),
             QString::fromUtf8(character).repeated(shown) + mark);
    QCOMPARE(box->shownLineText(LineNumber(2)), "last");
}

void tst_TextBox::longLine_caretSkipsTheHiddenPart_data() {
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("expected");

    // Line 0 is 100,000 'a's: 65,536 shown, the rest hidden; line 1 is "z".
    QTest::newRow("End goes to the true end") << 0 << "{Ctrl+End}{Up}{End}" << 100000;
    QTest::newRow("Right at the mark jumps over it") << 65536 << "{Right}" << 100000;
    QTest::newRow("Left from the true end comes back before the mark")
        << 100000 << "{Left}" << 65536;
    QTest::newRow("Right from the true end goes to the next line") << 100000 << "{Right}" << 100001;
    QTest::newRow("a place inside the hidden part moves to the true end") << 80000 << "" << 100000;
}

void tst_TextBox::longLine_caretSkipsTheHiddenPart() {
    QFETCH(int, caret);
    QFETCH(QString, keys);
    QFETCH(int, expected);

    show(QByteArray(100000, 'a') + "\nz");
    box->setCursorPosition(ByteOffset(caret));
    Type(box, keys);
    QCOMPARE(box->cursorPosition().value(), expected);
}

void tst_TextBox::longLine_copiedWholeAndCountedOnEdits() {
    const QByteArray line = QByteArray("0123456789").repeated(10000);
    show(line);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text().toLatin1(), line);
    // Typing at the true end adds to the hidden part: its count grows.
    box->setCursorPosition(ByteOffset(100000));
    QTest::keyClicks(box, "xy");
    QVERIFY(box->shownLineText(LineNumber(0)).endsWith(" 34,466 more characters not shown"));
    QTest::keyClick(box, Qt::Key_Backspace);
    QVERIFY(box->shownLineText(LineNumber(0)).endsWith(" 34,465 more characters not shown"));
    QCOMPARE(bytes(), line + "x");
}

void tst_TextBox::longLine_markInItsOwnColour() {
    // The mark is drawn in the palette's link colour, which no other text uses.
    QPalette palette = box->palette();
    palette.setColor(QPalette::Link, QColor(0, 160, 0));
    box->setPalette(palette);
    const auto greenPixels = [this] {
        const QImage image = box->viewport()->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.green() > c.red() + 60 && c.green() > c.blue() + 60 ? 1 : 0;
            }
        }
        return count;
    };
    show(QByteArray(65536, 'a'));
    QCOMPARE(greenPixels(), 0);
    show(QByteArray(70000, 'a'));
    box->setCursorPosition(ByteOffset(70000));  // shows the end of the line
    QVERIFY(greenPixels() > 20);
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
    QTest::addColumn<QString>("asked");
    QTest::newRow("Ctrl+Return") << "Ctrl+Return"
                                 << "truck 6";
    QTest::newRow("Ctrl+Enter") << "Ctrl+Enter"
                                << "truck 6";
    QTest::newRow("the menu's Show This Truck") << "show-truck"
                                                << "truck 6";
    QTest::newRow("the menu's Find...") << "edit-find"
                                        << "find";
}

// The caret on line 6, a selection on it: asking changes neither, nor the
// text, and a shortcut of the window on the same key never fires.
void tst_TextBox::showTruckAndFind_askedOfTheWindow() {
    QFETCH(QString, how);
    QFETCH(QString, asked);
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
    QCOMPARE(told, QStringList{asked});
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

// What reaches the file-contents box from outside: input methods, keys the
// window may want, the clipboard, drops, and the mouse moving a selection or
// still held when the text changes. Expected texts are literal; places on the
// screen come from the font's metrics.

#include "BoxTesting.h"

#include <QAction>
#include <QInputMethodEvent>
#include <QMimeData>

using namespace axlewise;
using namespace axlewise::boxtesting;

class tst_TextBoxInput : public BoxTest {
    Q_OBJECT

private slots:
    void inputMethod_caretInThePreedit();
    void inputMethod_query_data();
    void inputMethod_query();
    void preedit_staysWithTheCaret_data();
    void preedit_staysWithTheCaret();
    void keys_leftToTheWindow_data();
    void keys_leftToTheWindow();
    void byteOrderMark_kept_data();
    void byteOrderMark_kept();
    void mouseHeldAcrossAnEdit_data();
    void mouseHeldAcrossAnEdit();
    void selection_draggedToMoveOrCopy_data();
    void selection_draggedToMoveOrCopy();
    void drop_breaksBecomeLF();

private:
    void sendPreedit(const QString& text) {
        QInputMethodEvent preedit(text, {});
        QApplication::sendEvent(box, &preedit);
    }
};

// The input method's cursor inside its pre-edit, here after "x", at the end
// of a line: the caret is drawn there.
void tst_TextBoxInput::inputMethod_caretInThePreedit() {
    show("ab");
    box->setCursorPosition(ByteOffset(2));
    QInputMethodEvent preedit(QStringLiteral("xyz"),
                              {QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, 1, 1)});
    QApplication::sendEvent(box, &preedit);
    QCOMPARE(box->shownLineText(LineNumber(0)), "abxyz");
    QCOMPARE(bytes(), QByteArray("ab"));
    const qreal x = 4 + QFontMetricsF(box->font()).horizontalAdvance("abx");
    QVERIFY2(qAbs(box->cursorRect().left() - x) <= 1, QByteArray::number(box->cursorRect().left()));
}

void tst_TextBoxInput::inputMethod_query_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("cursor");  // what the input method is told
    QTest::addColumn<int>("anchorUnits");
    QTest::addColumn<int>("surrounding");  // its length
    QTest::addColumn<QString>("before");   // the text before the cursor, its last 3 units
    QTest::addColumn<QString>("selection");
    // "x\nhéllo" with "llo" selected backwards from its end: the caret at byte
    // 5 is code unit 2 of the line "héllo".
    QTest::newRow("a selection backwards") << QByteArray("x\nh\u00e9llo") << 8 << 5 << 2 << 5 << 5
                                           << QStringLiteral("h\u00e9") << QStringLiteral("llo");
    // The caret at the true end of a line of 70,000 characters: told at the
    // end of the 65,536 shown (it was told 65,571: the mark was counted).
    QTest::newRow("at the end of a cut line")
        << QByteArray(70000, 'a') << 70000 << 70000 << 65536 << 65536 << 65536
        << QStringLiteral("aaa") << QString();
}

void tst_TextBoxInput::inputMethod_query() {
    QFETCH(QByteArray, text);
    QFETCH(int, anchor);
    QFETCH(int, caret);
    QFETCH(int, cursor);
    QFETCH(int, anchorUnits);
    QFETCH(int, surrounding);
    QFETCH(QString, before);
    QFETCH(QString, selection);
    QVERIFY(box->testAttribute(Qt::WA_InputMethodEnabled));
    show(text);
    box->setSelection(ByteOffset(anchor), ByteOffset(caret));
    const auto query = [this](Qt::InputMethodQuery what) { return box->inputMethodQuery(what); };
    QCOMPARE(query(Qt::ImEnabled), QVariant(true));
    QCOMPARE(query(Qt::ImCursorPosition), QVariant(cursor));
    QCOMPARE(query(Qt::ImAnchorPosition), QVariant(anchorUnits));
    QCOMPARE(query(Qt::ImSurroundingText).toString().size(), surrounding);
    QCOMPARE(query(Qt::ImTextBeforeCursor).toString().right(3), before);
    QCOMPARE(query(Qt::ImTextAfterCursor).toString().size(), surrounding - cursor);
    QCOMPARE(query(Qt::ImCurrentSelection), QVariant(selection));
}

void tst_TextBoxInput::preedit_staysWithTheCaret_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QByteArray>("text");
    // Pressed at "ab|c", a pre-edit "xy" comes while the button is held, and
    // the mouse drags on to "g|hi": the pre-edit went with the caret and
    // stayed drawn on the line it left.
    QTest::newRow("a mouse drag to another line drops it") << "drag" << QByteArray("abc\ndef\nghi");
    // With the pre-edit at "a|bc", Delete looked at the pre-edit as the next
    // character, and did nothing.
    QTest::newRow("Delete deletes the next character") << "Delete" << QByteArray("ac\ndef\nghi");
}

void tst_TextBoxInput::preedit_staysWithTheCaret() {
    QFETCH(QString, action);
    QFETCH(QByteArray, text);
    show("abc\ndef\nghi");
    if (action == QLatin1String("drag")) {
        QWidget* surface = fixture->surface();
        QTest::mousePress(surface, Qt::LeftButton, {}, fixture->at(QStringLiteral("abc"), 0, 2));
        sendPreedit(QStringLiteral("xy"));
        QCOMPARE(box->shownLineText(LineNumber(0)), "abxyc");
        QTest::mouseMove(surface, fixture->at(QStringLiteral("ghi"), 2, 1));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, fixture->at(QStringLiteral("ghi"), 2, 1));
        QCOMPARE(box->selectedText(), QStringLiteral("c\ndef\ng"));
    } else {
        box->setCursorPosition(ByteOffset(1));
        sendPreedit(QStringLiteral("xy"));
        QCOMPARE(box->shownLineText(LineNumber(0)), "axybc");
        QTest::keyClick(box, Qt::Key_Delete);
    }
    QCOMPARE(bytes(), text);
    QCOMPARE(box->shownLineText(LineNumber(0)), QString::fromLatin1(text.left(text.indexOf('\n'))));
    QCOMPARE(box->shownLineText(LineNumber(2)), "ghi");
}

void tst_TextBoxInput::keys_leftToTheWindow_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("windowAction");  // the window has an action for the keys
    QTest::addColumn<int>("triggered");
    QTest::addColumn<QByteArray>("text");  // after the keys, in "ab|"
    QTest::newRow("Alt+letter with a window action") << "Alt+X" << true << 1 << QByteArray("ab");
    QTest::newRow("Alt+letter without one is typed") << "Alt+X" << false << 0 << QByteArray("abx");
    // Meta+Backspace was claimed from the window and then dropped by the box.
    QTest::newRow("Meta+Backspace with a window action")
        << "Meta+Backspace" << true << 1 << QByteArray("ab");
    QTest::newRow("Meta+Backspace without one")
        << "Meta+Backspace" << false << 0 << QByteArray("ab");
    QTest::newRow("Ctrl+Z is the box's own") << "Ctrl+Z" << true << 0 << QByteArray("");
}

void tst_TextBoxInput::keys_leftToTheWindow() {
    QFETCH(QString, keys);
    QFETCH(bool, windowAction);
    QFETCH(int, triggered);
    QFETCH(QByteArray, text);
    QAction action(fixture->window());
    int count = 0;
    if (windowAction) {
        action.setShortcut(QKeySequence::fromString(keys));
        fixture->window()->addAction(&action);
        connect(&action, &QAction::triggered, this, [&count] { ++count; });
    }
    QTest::keyClicks(box, QStringLiteral("ab"));
    Type(box, QLatin1Char('{') + keys + QLatin1Char('}'));
    QCOMPARE(count, triggered);
    QCOMPARE(bytes(), text);
}

void tst_TextBoxInput::byteOrderMark_kept_data() {
    QTest::addColumn<QString>("way");
    // A leading U+FEFF is text like any other (QString::fromUtf8 drops it).
    QTest::newRow("Ctrl+C") << "copy";
    QTest::newRow("selectedText") << "selected";
    QTest::newRow("the input method's selection") << "input method";
}

void tst_TextBoxInput::byteOrderMark_kept() {
    QFETCH(QString, way);
    show(
        "\xEF\xBB\xBF"
        "abc\nd");
    box->setSelection(ByteOffset(0), ByteOffset(6));
    QString found;
    if (way == QLatin1String("copy")) {
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        found = QApplication::clipboard()->text();
    } else if (way == QLatin1String("selected")) {
        found = box->selectedText();
    } else {
        found = box->inputMethodQuery(Qt::ImCurrentSelection).toString();
    }
    QCOMPARE(found, QStringLiteral("\uFEFFabc"));
}

void tst_TextBoxInput::mouseHeldAcrossAnEdit_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("clicks");    // 2 selects a word, 3 a line
    QTest::addColumn<QString>("line");  // the line clicked, its row on screen
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("edit");  // "Delete", or a new text shown
    QTest::addColumn<QString>("keys");  // after the release
    QTest::addColumn<QByteArray>("expected");
    const QByteArray lines = "first line\n" + QByteArray(300, 'w') + "\nlast";
    const QString ws(300, QLatin1Char('w'));
    // The line was still being dragged after Delete: the caret went to 312 in
    // a text of 15 bytes, and Backspace read past the end.
    QTest::newRow("a line, Delete, Right, Backspace")
        << lines << 3 << ws << 1 << "Delete"
        << "{Right}{Backspace}" << QByteArray("first line\nast");
    // ... and a letter typed replaced "last", which the stale drag had selected.
    QTest::newRow("a line, Delete, a letter") << lines << 3 << ws << 1 << "Delete"
                                              << "x" << QByteArray("first line\nxlast");
    QTest::newRow("a word, Delete, a letter")
        << QByteArray("one two three") << 2 << QStringLiteral("one two three") << 0 << "Delete"
        << "x" << QByteArray("one x three");
    // A load while a word is dragged: the selection never reaches into what
    // was the old text.
    QTest::newRow("a word, a new text, a letter")
        << QByteArray("one two three") << 2 << QStringLiteral("one two three") << 0 << "short\n"
        << "x" << QByteArray("xshort\n");
}

// Pressed (and held) two or three times on the middle of "two" or of the
// line; the edit; the mouse moved 5 pixels and released; then keys.
void tst_TextBoxInput::mouseHeldAcrossAnEdit() {
    QFETCH(QByteArray, text);
    QFETCH(int, clicks);
    QFETCH(QString, line);
    QFETCH(int, row);
    QFETCH(QString, edit);
    QFETCH(QString, keys);
    QFETCH(QByteArray, expected);
    show(text);
    QWidget* surface = fixture->surface();
    const QPoint at = fixture->at(line, row, 5, true);
    QTest::mouseClick(surface, Qt::LeftButton, {}, at);
    QTest::mouseDClick(surface, Qt::LeftButton, {}, at);
    if (clicks == 3) {
        QTest::mouseRelease(surface, Qt::LeftButton, {}, at);
        QTest::mousePress(surface, Qt::LeftButton, {}, at);
    }
    QVERIFY(box->hasSelection());
    if (edit == QLatin1String("Delete")) {
        QTest::keyClick(box, Qt::Key_Delete);
    } else {
        show(edit.toUtf8());
    }
    QTest::mouseMove(surface, at + QPoint(0, 5));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, at + QPoint(0, 5));
    QVERIFY(box->cursorPosition() <= box->buffer().size());
    QVERIFY(box->anchorPosition() <= box->buffer().size());
    Type(box, keys);
    QCOMPARE(bytes(), expected);
}

void tst_TextBoxInput::selection_draggedToMoveOrCopy_data() {
    QTest::addColumn<int>("to");  // the character index in "one two three" released at
    QTest::addColumn<bool>("control");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("selected");
    // "two" selected, pressed on its middle and dragged.
    QTest::newRow("moved to the end") << 13 << false << QByteArray("one  threetwo") << "two";
    QTest::newRow("copied with Ctrl") << 13 << true << QByteArray("one two threetwo") << "two";
    // Not moved: a click, which puts the caret where it was pressed.
    QTest::newRow("a click in the selection") << 5 << false << QByteArray("one two three") << "";
}

void tst_TextBoxInput::selection_draggedToMoveOrCopy() {
    QFETCH(int, to);
    QFETCH(bool, control);
    QFETCH(QByteArray, text);
    QFETCH(QString, selected);
    const QString line = QStringLiteral("one two three");
    show(line.toUtf8());
    box->setSelection(ByteOffset(4), ByteOffset(7));
    QWidget* surface = fixture->surface();
    const QPoint from = fixture->at(line, 0, 5, true);
    const QPoint target = fixture->at(line + QLatin1Char(' '), 0, to);
    QTest::mousePress(surface, Qt::LeftButton, {}, from);
    QTest::mouseMove(surface, target);
    QTest::mouseRelease(surface, Qt::LeftButton, control ? Qt::ControlModifier : Qt::NoModifier,
                        to == 5 ? from : target);
    QCOMPARE(bytes(), text);
    QCOMPARE(box->selectedText(), selected);
    // One undo step each.
    box->undo();
    QCOMPARE(bytes(), QByteArray("one two three"));
    QCOMPARE(box->buffer().canUndo(), false);
}

// Text dropped from another program: every break in it becomes '\n' (as
// pasted and committed text, which the random test follows).
void tst_TextBoxInput::drop_breaksBecomeLF() {
    show("<>");
    QMimeData data;
    data.setText(QString::fromUtf8("a\r\nb\rc\u2028d"));
    const QPoint at = fixture->at(QStringLiteral("<>"), 0, 1);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(fixture->surface(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(fixture->surface(), &move);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(fixture->surface(), &drop);
    QCOMPARE(bytes(), QByteArray("<a\nb\nc\nd>"));
}

QTEST_MAIN(tst_TextBoxInput)
#include "tst_textbox_input.moc"

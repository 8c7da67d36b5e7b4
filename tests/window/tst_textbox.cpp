// The file-contents box: typing, selecting, the clipboard, undo, wrapping,
// long lines, input methods and large texts, given as the user gives them,
// by keys and mouse events on a shown box. Expected texts are literal;
// positions on the screen come from the font's metrics, not from the box.

#include "window/TextBox.h"

#include "window/Layout.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

#include <memory>
#include <string>

using namespace axlewise;

namespace {

using Offset = TextBox::Offset;

QByteArray Bytes(const SharedText& text) {
    return QByteArray(text.view().data(), static_cast<qsizetype>(text.size()));
}

// Types into widget: plain characters as typed text, "{Name}" as the key
// sequence Name, e.g. "ab{Shift+Left}{Backspace}".
void Type(QWidget* widget, const QString& keys) {
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (keys.at(i) == '{') {
            const qsizetype end = keys.indexOf('}', i);
            const QKeyCombination key = QKeySequence::fromString(keys.mid(i + 1, end - i - 1))[0];
            QTest::keyClick(widget, key.key(), key.keyboardModifiers());
            i = end;
        } else {
            QTest::keyClick(widget, keys.at(i).toLatin1());
        }
    }
}

// "line 00\n" .. for count lines.
QByteArray NumberedLines(int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        text += QStringLiteral("line %1\n").arg(i, 2, 10, QLatin1Char('0')).toLatin1();
    }
    return text;
}

}  // namespace

class tst_TextBox : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typing_data();
    void typing();
    void keySelection_data();
    void keySelection();
    void mouseSelection_data();
    void mouseSelection();
    void dragPastTheEdges_autoScrolls();
    void clipboard_data();
    void clipboard();
    void copyThenPasteIntoAnotherBox();
    void undoRedo_data();
    void undoRedo();
    void undoRestoresTheDeletedSelection();
    void longLine_wrapsOnScreenOnly();
    void wheelScrollsRowsOfAWrappedLine();
    void rewrap_keepsTheTopInsideItsLine_data();
    void rewrap_keepsTheTopInsideItsLine();
    void tab_movesFocusAndInsertsNothing();
    void longLine_showsMark_data();
    void longLine_showsMark();
    void longLine_caretSkipsTheHiddenPart_data();
    void longLine_caretSkipsTheHiddenPart();
    void longLine_copyAndCutGiveTheWholeLine();
    void longLine_markInItsOwnColour();
    void inputMethod_commitAndPreedit();
    void inputMethod_query_data();
    void inputMethod_query();
    void contextMenu_enablesWhatCanAct();
    void caret_shownOnlyWhileFocused();
    void millionLines_editAtTheMiddle();

private:
    void show(const QByteArray& text);
    // The point of character `index` of the row `row` of the view (counted
    // from the top), at its left edge or, with middle set, in its middle.
    QPoint at(int row, const QString& rowText, int index, bool middle = false) const;
    QByteArray bytes() const { return Bytes(box->text()); }

    std::unique_ptr<QWidget> window;
    TextBox* box = nullptr;
    QLineEdit* other = nullptr;
};

void tst_TextBox::init() {
    window = std::make_unique<QWidget>();
    window->setFont(WindowFont(kWindowPoints));
    window->resize(460, 160);
    box = new TextBox(window.get());
    box->setGeometry(10, 10, 433, 113);  // the window's Editor
    other = new QLineEdit(window.get());
    other->setGeometry(10, 130, 200, 20);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    box->setFocus();
    QApplication::clipboard()->clear();
}

void tst_TextBox::cleanup() {
    window.reset();
}

void tst_TextBox::show(const QByteArray& text) {
    box->setText(
        SharedText(std::string_view(text.constData(), static_cast<std::size_t>(text.size()))));
}

QPoint tst_TextBox::at(int row, const QString& rowText, int index, bool middle) const {
    const QFontMetricsF metrics(box->font());
    qreal x = 4 + metrics.horizontalAdvance(rowText.left(index));
    if (middle) {
        x += metrics.horizontalAdvance(rowText.at(index)) / 2;
    }
    return QPointF(x, 4 + (row + 0.5) * metrics.height()).toPoint();
}

// ---- Keys ------------------------------------------------------------------

void tst_TextBox::typing_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("expectedCaret");

    QTest::newRow("typed into an empty box")
        << QByteArray() << 0 << "abc" << QByteArray("abc") << 3;
    QTest::newRow("typed in the middle")
        << QByteArray("ad") << 1 << "bc" << QByteArray("abcd") << 3;
    QTest::newRow("Enter splits the line")
        << QByteArray("abcd") << 2 << "{Return}" << QByteArray("ab\ncd") << 3;
    QTest::newRow("keypad Enter splits the line")
        << QByteArray("abcd") << 2 << "{Enter}" << QByteArray("ab\ncd") << 3;
    QTest::newRow("Backspace joins two lines")
        << QByteArray("ab\ncd") << 3 << "{Backspace}" << QByteArray("abcd") << 2;
    QTest::newRow("Backspace takes a two-byte character whole")
        << QByteArray("a\xc3\xa9") << 3 << "{Backspace}" << QByteArray("a") << 1;
    QTest::newRow("Backspace at the start does nothing")
        << QByteArray("ab") << 0 << "{Backspace}" << QByteArray("ab") << 0;
    QTest::newRow("Delete takes the break")
        << QByteArray("ab\ncd") << 2 << "{Delete}" << QByteArray("abcd") << 2;
    QTest::newRow("Delete takes a four-byte character whole")
        << QByteArray("x\xf0\x9f\x98\x80y") << 1 << "{Delete}" << QByteArray("xy") << 1;
    QTest::newRow("Delete at the end does nothing")
        << QByteArray("ab") << 2 << "{Delete}" << QByteArray("ab") << 2;
    QTest::newRow("typing replaces the selection")
        << QByteArray("one two") << 0 << "{Shift+Right}{Shift+Right}{Shift+Right}1"
        << QByteArray("1 two") << 1;
    QTest::newRow("Backspace removes the selection only")
        << QByteArray("one two") << 7 << "{Shift+Left}{Shift+Left}{Backspace}"
        << QByteArray("one t") << 5;
    QTest::newRow("Ctrl+Backspace removes the word before")
        << QByteArray("one two") << 7 << "{Ctrl+Backspace}" << QByteArray("one ") << 4;
    QTest::newRow("Ctrl+Delete removes up to the next word")
        << QByteArray("one two") << 0 << "{Ctrl+Del}" << QByteArray("two") << 0;
    QTest::newRow("Right then typing after a two-byte character")
        << QByteArray("\xc3\xa9z") << 0 << "{Right}x" << QByteArray("\xc3\xa9xz") << 3;
    QTest::newRow("Left at a line start goes to the end of the line above")
        << QByteArray("ab\ncd") << 3 << "{Left}x" << QByteArray("abx\ncd") << 3;
    QTest::newRow("Right ends a selection at its end")
        << QByteArray("abcd") << 0 << "{Shift+Right}{Shift+Right}{Right}x" << QByteArray("abxcd")
        << 3;
    QTest::newRow("Left ends a selection at its start")
        << QByteArray("abcd") << 3 << "{Shift+Left}{Shift+Left}{Left}x" << QByteArray("axbcd") << 2;
    QTest::newRow("Ctrl+End then typing appends")
        << QByteArray("ab\ncd") << 0 << "{Ctrl+End}!" << QByteArray("ab\ncd!") << 6;
    QTest::newRow("End stops before the break")
        << QByteArray("ab\ncd") << 0 << "{End}!" << QByteArray("ab!\ncd") << 3;
    QTest::newRow("Up keeps the column")
        << QByteArray("abcd\nabcd") << 7 << "{Up}!" << QByteArray("ab!cd\nabcd") << 3;
}

void tst_TextBox::typing() {
    QFETCH(QByteArray, text);
    QFETCH(int, caret);
    QFETCH(QString, keys);
    QFETCH(QByteArray, expected);
    QFETCH(int, expectedCaret);

    show(text);
    box->setCursorPosition(caret);
    Type(box, keys);
    QCOMPARE(bytes(), expected);
    QCOMPARE(box->cursorPosition(), expectedCaret);
}

void tst_TextBox::keySelection_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("selected");

    const QByteArray lines("one two\nthree");
    QTest::newRow("Shift+Right twice") << lines << 0 << "{Shift+Right}{Shift+Right}"
                                       << "on";
    QTest::newRow("Shift+Right over the break") << lines << 7 << "{Shift+Right}"
                                                << "\n";
    QTest::newRow("Shift+Left over a two-byte character")
        << QByteArray("a\xc3\xa9z") << 3 << "{Shift+Left}" << QString::fromUtf8("\xc3\xa9");
    QTest::newRow("Shift+End") << lines << 1 << "{Shift+End}"
                               << "ne two";
    QTest::newRow("Shift+Home") << lines << 11 << "{Shift+Home}"
                                << "thr";
    QTest::newRow("Ctrl+Shift+End") << lines << 4 << "{Ctrl+Shift+End}"
                                    << "two\nthree";
    QTest::newRow("Ctrl+Shift+Home") << lines << 10 << "{Ctrl+Shift+Home}"
                                     << "one two\nth";
    QTest::newRow("Ctrl+Shift+Right to the next word") << lines << 0 << "{Ctrl+Shift+Right}"
                                                       << "one ";
    QTest::newRow("Ctrl+Shift+Right twice crosses the break")
        << lines << 4 << "{Ctrl+Shift+Right}{Ctrl+Shift+Right}"
        << "two\n";
    QTest::newRow("Ctrl+Shift+Left to the word start") << lines << 6 << "{Ctrl+Shift+Left}"
                                                       << "tw";
    QTest::newRow("Shift+Down keeps the column") << QByteArray("abc\nabc") << 1 << "{Shift+Down}"
                                                 << "bc\na";
    QTest::newRow("Shift+Up on the first line selects to the start") << lines << 3 << "{Shift+Up}"
                                                                     << "one";
    QTest::newRow("Shift+Down on the last line selects to the end") << lines << 10 << "{Shift+Down}"
                                                                    << "ree";
    QTest::newRow("Shift+PgDown moves down as far as a page goes")
        << QByteArray("abc\nabc") << 1 << "{Shift+PgDown}"
        << "bc\na";
    QTest::newRow("Shift+PgDown on the last row selects to the end")
        << lines << 10 << "{Shift+PgDown}"
        << "ree";
    QTest::newRow("Ctrl+A") << lines << 3 << "{Ctrl+A}"
                            << "one two\nthree";
    QTest::newRow("a plain move drops the selection") << lines << 0 << "{Shift+Right}{Right}{Right}"
                                                      << "";
}

void tst_TextBox::keySelection() {
    QFETCH(QByteArray, text);
    QFETCH(int, caret);
    QFETCH(QString, keys);
    QFETCH(QString, selected);

    show(text);
    box->setCursorPosition(caret);
    Type(box, keys);
    QCOMPARE(box->selectedText(), selected);
}

// ---- Mouse -----------------------------------------------------------------

void tst_TextBox::mouseSelection_data() {
    QTest::addColumn<QString>("gesture");  // click, drag, shift-click, double, triple
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<int>("fromIndex");
    QTest::addColumn<int>("toRow");
    QTest::addColumn<int>("toIndex");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("caret");

    // The text: "say hello, world\nsecond line here\nthird"
    QTest::newRow("click puts the caret") << "click" << 0 << 4 << 0 << 4 << "" << 4;
    QTest::newRow("click on the second line") << "click" << 1 << 7 << 1 << 7 << "" << 24;
    QTest::newRow("drag along a line") << "drag" << 0 << 4 << 0 << 9 << "hello" << 9;
    QTest::newRow("drag backwards") << "drag" << 0 << 9 << 0 << 4 << "hello" << 4;
    QTest::newRow("drag over a break") << "drag" << 0 << 11 << 1 << 6 << "world\nsecond" << 23;
    QTest::newRow("shift-click extends from the caret")
        << "shift-click" << 0 << 4 << 1 << 6 << "hello, world\nsecond" << 23;
    QTest::newRow("double-click selects the word") << "double" << 0 << 5 << 0 << 5 << "hello" << 9;
    QTest::newRow("double-click on the comma selects it")
        << "double" << 0 << 9 << 0 << 9 << "," << 10;
    QTest::newRow("double-click then drag selects whole words")
        << "double-drag" << 0 << 5 << 1 << 2 << "hello, world\nsecond" << 23;
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
    QWidget* surface = box->viewport();
    const bool onCharacter = gesture == "double" || gesture == "double-drag" || gesture == "triple";
    const QPoint from = at(fromRow, rows.at(fromRow), fromIndex, onCharacter);
    const QPoint to = at(toRow, rows.at(toRow), toIndex, onCharacter);
    if (gesture == "click") {
        QTest::mouseClick(surface, Qt::LeftButton, {}, from);
    } else if (gesture == "drag") {
        QTest::mousePress(surface, Qt::LeftButton, {}, from);
        QTest::mouseMove(surface, to);
        QTest::mouseRelease(surface, Qt::LeftButton, {}, to);
    } else if (gesture == "shift-click") {
        QTest::mouseClick(surface, Qt::LeftButton, {}, from);
        QTest::mouseClick(surface, Qt::LeftButton, Qt::ShiftModifier, to);
    } else if (gesture == "double" || gesture == "double-drag") {
        QTest::mouseClick(surface, Qt::LeftButton, {}, from);
        QTest::mouseDClick(surface, Qt::LeftButton, {}, from);
        if (gesture == "double-drag") {
            QTest::mouseMove(surface, to);
        }
        QTest::mouseRelease(surface, Qt::LeftButton, {}, to);
    } else if (gesture == "triple") {
        QTest::mouseClick(surface, Qt::LeftButton, {}, from);
        QTest::mouseDClick(surface, Qt::LeftButton, {}, from);
        QTest::mouseRelease(surface, Qt::LeftButton, {}, from);
        QTest::mouseClick(surface, Qt::LeftButton, {}, from);
    }
    QCOMPARE(box->selectedText(), selected);
    QCOMPARE(box->cursorPosition(), caret);
}

void tst_TextBox::dragPastTheEdges_autoScrolls() {
    show(NumberedLines(30));
    QWidget* surface = box->viewport();
    const int below = surface->height() + 10;
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(4, 8));
    QTest::mouseMove(surface, QPoint(4, below));
    QCOMPARE(box->firstVisibleLine(), 1);
    QTest::mouseMove(surface, QPoint(4, below));
    QCOMPARE(box->firstVisibleLine(), 2);
    QCOMPARE(box->verticalScrollBar()->value(), 2);
    // The selection runs from the press to the row just below the old view.
    QVERIFY(box->selectedText().startsWith("line 00\nline 01\n"));
    QCOMPARE(box->anchorPosition(), 0);
    QCOMPARE(box->cursorPosition() % 8, 0);  // at a line start: x was at the left edge
    QTest::mouseMove(surface, QPoint(4, -10));
    QCOMPARE(box->firstVisibleLine(), 1);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(4, -10));
    QCOMPARE(box->selectedText(), "line 00\n");
}

// ---- Clipboard and undo ------------------------------------------------------

void tst_TextBox::clipboard_data() {
    QTest::addColumn<int>("from");  // the selection
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("clipboardBefore");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("clipboardAfter");

    // The text: "one two\nthree"
    QTest::newRow("Ctrl+C copies") << 4 << 7 << "{Ctrl+C}"
                                   << "" << QByteArray("one two\nthree") << "two";
    QTest::newRow("Ctrl+Insert copies across a break")
        << 4 << 10 << "{Ctrl+Ins}"
        << "" << QByteArray("one two\nthree") << "two\nth";
    QTest::newRow("Ctrl+X cuts") << 3 << 7 << "{Ctrl+X}"
                                 << "" << QByteArray("one\nthree") << " two";
    QTest::newRow("Shift+Delete cuts") << 0 << 4 << "{Shift+Del}"
                                       << "" << QByteArray("two\nthree") << "one ";
    QTest::newRow("Ctrl+C without a selection keeps the clipboard")
        << 2 << 2 << "{Ctrl+C}"
        << "kept" << QByteArray("one two\nthree") << "kept";
    QTest::newRow("Ctrl+V pastes at the caret") << 3 << 3 << "{Ctrl+V}"
                                                << "!" << QByteArray("one! two\nthree") << "!";
    QTest::newRow("Shift+Insert pastes over the selection")
        << 4 << 7 << "{Shift+Ins}"
        << "2" << QByteArray("one 2\nthree") << "2";
    QTest::newRow("pasted breaks become LF")
        << 0 << 0 << "{Ctrl+V}"
        << "a\r\nb\rc" + QString(QChar(0x2028)) + "d" + QString(QChar(0x2029))
        << QByteArray("a\nb\nc\nd\none two\nthree")
        << "a\r\nb\rc" + QString(QChar(0x2028)) + "d" + QString(QChar(0x2029));
    QTest::newRow("pasted tabs stay") << 13 << 13 << "{Ctrl+V}"
                                      << "\tx" << QByteArray("one two\nthree\tx") << "\tx";
    QTest::newRow("pasted text is UTF-8 in the buffer")
        << 0 << 0 << "{Ctrl+V}" << QString::fromUtf8("\xc3\xa9")
        << QByteArray("\xc3\xa9one two\nthree") << QString::fromUtf8("\xc3\xa9");
}

void tst_TextBox::clipboard() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, keys);
    QFETCH(QString, clipboardBefore);
    QFETCH(QByteArray, expected);
    QFETCH(QString, clipboardAfter);

    show("one two\nthree");
    QApplication::clipboard()->setText(clipboardBefore);
    box->setSelection(from, to);
    Type(box, keys);
    QCOMPARE(bytes(), expected);
    QCOMPARE(QApplication::clipboard()->text(), clipboardAfter);
}

void tst_TextBox::copyThenPasteIntoAnotherBox() {
    show("first\nsecond");
    box->setSelection(2, 9);
    box->copy();
    other->setFocus();
    QTest::keyClick(other, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(other->text(), "rst\nsec");

    // And back, from another widget's copy into the box.
    other->setText("pasted");
    other->selectAll();
    other->copy();
    box->setCursorPosition(13);
    box->paste();
    QCOMPARE(bytes(), QByteArray("first\nsecondpasted"));
}

void tst_TextBox::undoRedo_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("paste");          // what Ctrl+V pastes
    QTest::addColumn<QByteArrayList>("undone");  // the text after each undo, in turn
    QTest::addColumn<QString>("redoKey");

    QTest::newRow("a typed run is one step") << "hello"
                                             << "" << QByteArrayList{""} << "{Ctrl+Y}";
    QTest::newRow("a caret move starts a step") << "ab{Left}c"
                                                << "" << QByteArrayList{"ab", ""} << "{Ctrl+Y}";
    QTest::newRow("Enter is a step of its own")
        << "ab{Return}cd"
        << "" << QByteArrayList{"ab\n", "ab", ""} << "{Ctrl+Shift+Z}";
    QTest::newRow("each deletion is a step") << "abc{Backspace}{Backspace}"
                                             << "" << QByteArrayList{"ab", "abc", ""} << "{Ctrl+Y}";
    QTest::newRow("a paste is a step between typed runs")
        << "ab{Ctrl+V}cd"
        << "XY" << QByteArrayList{"abXY", "ab", ""} << "{Ctrl+Shift+Z}";
    QTest::newRow("typing over a selection is one step with the run")
        << "abc{Shift+Left}{Shift+Left}xyz"
        << "" << QByteArrayList{"abc", ""} << "{Ctrl+Y}";
}

void tst_TextBox::undoRedo() {
    QFETCH(QString, keys);
    QFETCH(QString, paste);
    QFETCH(QByteArrayList, undone);
    QFETCH(QString, redoKey);

    show({});
    QApplication::clipboard()->setText(paste);
    Type(box, keys);
    const QByteArray typed = bytes();
    for (const QByteArray& expected : undone) {
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(bytes(), expected);
    }
    QVERIFY(!box->buffer().canUndo());
    for (qsizetype i = undone.size() - 2; i >= 0; --i) {
        Type(box, redoKey);
        QCOMPARE(bytes(), undone.at(i));
    }
    Type(box, redoKey);
    QCOMPARE(bytes(), typed);
    QVERIFY(!box->buffer().canRedo());
}

void tst_TextBox::undoRestoresTheDeletedSelection() {
    show("hello big world\nnext");
    box->setSelection(6, 10);
    QTest::keyClick(box, Qt::Key_Delete);
    QCOMPARE(bytes(), QByteArray("hello world\nnext"));
    box->undo();
    QCOMPARE(bytes(), QByteArray("hello big world\nnext"));
    QCOMPARE(box->selectedText(), "big ");
    box->redo();
    QCOMPARE(bytes(), QByteArray("hello world\nnext"));
    QCOMPARE(box->cursorPosition(), 6);
}

// ---- Wrapping and scrolling --------------------------------------------------

void tst_TextBox::longLine_wrapsOnScreenOnly() {
    QByteArray line;
    for (int i = 0; i < 60; ++i) {
        line += "word ";
    }
    const QByteArray text = line + "\nnext";
    show(text);
    QCOMPARE(box->shownLineText(0), QString::fromLatin1(line));
    box->setCursorPosition(0);
    const int top = box->cursorRect().top();
    QTest::keyClick(box, Qt::Key_Down);
    // Still in the first line (300 bytes), one row lower.
    QVERIFY2(box->cursorPosition() > 0 && box->cursorPosition() < 300,
             QByteArray::number(box->cursorPosition()));
    const qreal row = QFontMetricsF(box->font()).height();
    QVERIFY(qAbs(box->cursorRect().top() - top - row) <= 1);
    // End stops at the row's end, inside the line.
    QTest::keyClick(box, Qt::Key_End);
    QVERIFY(box->cursorPosition() < 300);
    // The scroll bar counts lines: two lines make no scrolling.
    QCOMPARE(box->verticalScrollBar()->maximum(), 0);
    QCOMPARE(bytes(), text);
    QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(bytes(), text);
}

void tst_TextBox::wheelScrollsRowsOfAWrappedLine() {
    QByteArray text;
    for (int i = 0; i < 400; ++i) {
        text += "word ";
    }
    text += "\n" + NumberedLines(20);
    show(text);
    QWidget* surface = box->viewport();
    QWheelEvent notch(QPointF(20, 20), surface->mapToGlobal(QPointF(20, 20)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(surface, &notch);
    // One notch is three rows, all inside the wrapped first line.
    QCOMPARE(box->firstVisibleLine(), 0);
    QCOMPARE(box->firstVisibleRow(), QApplication::wheelScrollLines());
    QCOMPARE(box->verticalScrollBar()->value(), 0);

    // Dragging the scroll bar picks a line, from its top row.
    box->verticalScrollBar()->setValue(5);
    QCOMPARE(box->firstVisibleLine(), 5);
    QCOMPARE(box->firstVisibleRow(), 0);
    // The caret is kept in view: putting it on the first line scrolls back.
    box->setCursorPosition(0);
    QCOMPARE(box->firstVisibleLine(), 0);
    QCOMPARE(box->firstVisibleRow(), 0);
}

void tst_TextBox::rewrap_keepsTheTopInsideItsLine_data() {
    QTest::addColumn<bool>("wider");  // or a smaller font

    QTest::newRow("wider box") << true;
    QTest::newRow("smaller font") << false;
}

void tst_TextBox::rewrap_keepsTheTopInsideItsLine() {
    QFETCH(bool, wider);

    // Scrolled to row 15 of a line wrapped over some 20 rows, which then
    // wraps over fewer.
    show(QByteArray("word ").repeated(400) + "\n" + NumberedLines(20));
    QWidget* surface = box->viewport();
    QWheelEvent notches(QPointF(20, 20), surface->mapToGlobal(QPointF(20, 20)), QPoint(),
                        QPoint(0, -600), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(surface, &notches);
    QCOMPARE(box->firstVisibleRow(), 15);
    if (wider) {
        box->resize(1600, box->height());
    } else {
        QFont font = box->font();
        font.setPointSizeF(4);
        box->setFont(font);
    }
    QCOMPARE(box->firstVisibleLine(), 0);
    QVERIFY(box->firstVisibleRow() < 15);
    QVERIFY(!surface->grab().isNull());
}

void tst_TextBox::tab_movesFocusAndInsertsNothing() {
    show("ab");
    box->setCursorPosition(1);
    QVERIFY(box->hasFocus());
    QTest::keyClick(box, Qt::Key_Tab);
    QVERIFY(other->hasFocus());
    QTest::keyClick(other, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(box->hasFocus());
    QTest::keyClick(box, Qt::Key_Tab, Qt::ShiftModifier);
    QVERIFY(other->hasFocus());
    QCOMPARE(bytes(), QByteArray("ab"));
}

// ---- Long lines --------------------------------------------------------------

void tst_TextBox::longLine_showsMark_data() {
    QTest::addColumn<QByteArray>("character");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("shown");  // characters laid out
    QTest::addColumn<QString>("mark");

    // 65,536 UTF-16 code units are shown: that many ASCII or two-byte
    // characters, half as many four-byte ones (each a surrogate pair).
    QTest::newRow("ASCII") << QByteArray("a") << 100000 << 65536
                           << QString::fromUtf8(" \xe2\x80\xa6 34,464 more characters not shown");
    QTest::newRow("two-byte") << QByteArray("\xc3\xa9") << 100000 << 65536
                              << QString::fromUtf8(
                                     " \xe2\x80\xa6 34,464 more characters not shown");
    QTest::newRow("four-byte") << QByteArray("\xf0\x9f\x98\x80") << 100000 << 32768
                               << QString::fromUtf8(
                                      " \xe2\x80\xa6 67,232 more characters not shown");
    QTest::newRow("one character over")
        << QByteArray("b") << 65537 << 65536
        << QString::fromUtf8(" \xe2\x80\xa6 1 more character not shown");
    QTest::newRow("exactly the limit") << QByteArray("b") << 65536 << 65536 << QString();
}

void tst_TextBox::longLine_showsMark() {
    QFETCH(QByteArray, character);
    QFETCH(int, count);
    QFETCH(int, shown);
    QFETCH(QString, mark);

    const QByteArray line = character.repeated(count);
    show("first\n" + line + "\nlast");
    const QString text = box->shownLineText(1);
    QCOMPARE(text, QString::fromUtf8(character).repeated(shown) + mark);
    QCOMPARE(box->shownLineText(2), "last");
    QCOMPARE(box->text().size(), std::size_t(6 + line.size() + 5));
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
    box->setCursorPosition(caret);
    Type(box, keys);
    QCOMPARE(box->cursorPosition(), expected);
}

void tst_TextBox::longLine_copyAndCutGiveTheWholeLine() {
    const QByteArray line = QByteArray("0123456789").repeated(10000);
    show(line);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text().toLatin1(), line);
    // Typing at the true end adds to the hidden part: its count grows.
    box->setCursorPosition(100000);
    QTest::keyClicks(box, "xy");
    QVERIFY(box->shownLineText(0).endsWith(" 34,466 more characters not shown"));
    QTest::keyClick(box, Qt::Key_Backspace);
    QVERIFY(box->shownLineText(0).endsWith(" 34,465 more characters not shown"));
    QCOMPARE(bytes(), line + "x");
    box->selectAll();
    box->cut();
    QCOMPARE(QApplication::clipboard()->text().toLatin1(), line + "x");
    QCOMPARE(bytes(), QByteArray());
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
    box->setCursorPosition(70000);  // shows the end of the line
    QVERIFY(greenPixels() > 20);
}

// ---- Input methods -----------------------------------------------------------

void tst_TextBox::inputMethod_commitAndPreedit() {
    show("ab");
    box->setCursorPosition(1);
    QInputMethodEvent preedit(QStringLiteral("xy"), {});
    QApplication::sendEvent(box, &preedit);
    // Shown at the caret, but not in the text.
    QCOMPARE(box->shownLineText(0), "axyb");
    QCOMPARE(bytes(), QByteArray("ab"));

    // The input method's cursor inside the pre-edit, here after "x", also at
    // the end of a line.
    box->setCursorPosition(2);
    QInputMethodEvent ending(QStringLiteral("xyz"),
                             {QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, 1, 1)});
    QApplication::sendEvent(box, &ending);
    QCOMPARE(box->shownLineText(0), "abxyz");
    const qreal x = 4 + QFontMetricsF(box->font()).horizontalAdvance("abx");
    QVERIFY2(qAbs(box->cursorRect().left() - x) <= 1, QByteArray::number(box->cursorRect().left()));
    box->setCursorPosition(1);  // a move drops the pre-edit
    QCOMPARE(box->shownLineText(0), "ab");

    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("\xc3\xa9"));
    QApplication::sendEvent(box, &commit);
    QCOMPARE(bytes(), QByteArray("a\xc3\xa9"
                                 "b"));
    QCOMPARE(box->shownLineText(0), QString::fromUtf8("a\xc3\xa9"
                                                      "b"));
    QCOMPARE(box->cursorPosition(), 3);

    // A commit replaces the selection.
    box->setSelection(0, 1);
    QInputMethodEvent replace;
    replace.setCommitString("Z");
    QApplication::sendEvent(box, &replace);
    QCOMPARE(bytes(), QByteArray("Z\xc3\xa9"
                                 "b"));
}

void tst_TextBox::inputMethod_query_data() {
    QTest::addColumn<int>("query");
    QTest::addColumn<QVariant>("expected");

    // The text "x\nh" "\xc3\xa9" "llo" with "llo" selected backwards from its
    // end: the caret at byte 5 is code unit 2 of the line "héllo".
    QTest::newRow("enabled") << int(Qt::ImEnabled) << QVariant(true);
    QTest::newRow("cursor position") << int(Qt::ImCursorPosition) << QVariant(2);
    QTest::newRow("anchor position") << int(Qt::ImAnchorPosition) << QVariant(5);
    QTest::newRow("surrounding text")
        << int(Qt::ImSurroundingText) << QVariant(QString::fromUtf8("h\xc3\xa9llo"));
    QTest::newRow("text before the cursor")
        << int(Qt::ImTextBeforeCursor) << QVariant(QString::fromUtf8("h\xc3\xa9"));
    QTest::newRow("current selection") << int(Qt::ImCurrentSelection) << QVariant(QString("llo"));
}

void tst_TextBox::inputMethod_query() {
    QFETCH(int, query);
    QFETCH(QVariant, expected);

    QVERIFY(box->testAttribute(Qt::WA_InputMethodEnabled));
    show("x\nh\xc3\xa9llo");
    box->setSelection(8, 5);
    QCOMPARE(box->inputMethodQuery(static_cast<Qt::InputMethodQuery>(query)), expected);
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
    QCOMPARE(enabled(), QStringList({"edit-undo", "select-all"}));
    QTest::keyClick(box, Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(enabled(),
             QStringList({"edit-undo", "edit-cut", "edit-copy", "edit-delete", "select-all"}));
    box->copy();
    box->undo();
    QCOMPARE(enabled(), QStringList({"edit-redo", "edit-paste"}));

    box->redo();
    box->setSelection(0, 1);
    std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
    QVERIFY(menu->actions().first()->text().endsWith("\tCtrl+Z"));
    for (QAction* action : menu->actions()) {
        if (action->objectName() == "edit-delete") {
            action->trigger();
        }
    }
    QCOMPARE(bytes(), QByteArray("b"));
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
    other->setFocus();
    QVERIFY(!darkAtCaret());
    box->setFocus();
    QVERIFY(darkAtCaret());
}

void tst_TextBox::millionLines_editAtTheMiddle() {
    // 1,000,000 lines "0000000\n" .. "0999999\n", 8 bytes each.
    QByteArray text(8'000'000, '\n');
    for (int line = 0; line < 1'000'000; ++line) {
        char* digits = text.data() + 8 * line;
        for (int i = 6, value = line; i >= 0; --i, value /= 10) {
            digits[i] = static_cast<char>('0' + value % 10);
        }
    }
    show(text);
    QCOMPARE(box->buffer().lineCount(), 1'000'001);
    QVERIFY(box->verticalScrollBar()->maximum() > 999'990);

    box->setCursorPosition(4'000'000);  // the start of line 500,000
    const Offset first = box->firstVisibleLine();
    QVERIFY2(first > 499'990 && first <= 500'000, QByteArray::number(first));
    QCOMPARE(box->verticalScrollBar()->value(), first);
    QTest::keyClick(box, Qt::Key_X);
    QTest::keyClick(box, Qt::Key_Return);
    const SharedText edited = box->text();
    QCOMPARE(QByteArray(edited.view().data() + 3'999'992, 26), "0499999\nx\n0500000\n0500001\n");
    QCOMPARE(box->buffer().lineCount(), 1'000'002);
    QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(box->verticalScrollBar()->value(), box->verticalScrollBar()->maximum());
    QVERIFY(box->firstVisibleLine() > 999'990);
}

QTEST_MAIN(tst_TextBox)
#include "tst_textbox.moc"

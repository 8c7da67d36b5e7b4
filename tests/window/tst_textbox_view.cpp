// The file-contents box's view: wrapped lines, the scroll bar counted in
// rows, the page keys, the top row after a line shrank, a text of a million
// lines, the marked line's band and revealing a line. Rows and places come
// from the font's metrics.

#include "BoxTesting.h"

#include <QInputMethodEvent>
#include <QScrollBar>

#include <cmath>

using namespace axlewise;
using namespace axlewise::boxtesting;

class tst_TextBoxView : public BoxTest {
    Q_OBJECT

private slots:
    void wrappedLine_data();
    void wrappedLine();
    void scrollBar_countsRows_data();
    void scrollBar_countsRows();
    void eightRows_data();
    void eightRows();
    void topRow_existsAfterAPreeditGoes_data();
    void topRow_existsAfterAPreeditGoes();
    void millionLines_editAtTheMiddle();
    void markedLine_bandAcrossTheWidth_data();
    void markedLine_bandAcrossTheWidth();
    void markedLine_keptThroughEditsWhileItsLineIsThere();

private:
    // Makes the view exactly 8 rows high: 8 whole rows below the first row's
    // margin of 4 and above the bottom's margin of 4, a 9th not.
    void eightRowsHigh() {
        const int view = static_cast<int>(std::ceil(8 * fixture->rowHeight() + 8));
        box->resize(box->width(), view + 2 * box->frameWidth());
    }
    void wheel(int delta) {
        const QPointF at(20, 20);
        QWheelEvent event(at, fixture->surface()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(fixture->surface(), &event);
    }
};

void tst_TextBoxView::wrappedLine_data() {
    QTest::addColumn<bool>("wider");  // or a smaller font
    QTest::newRow("rewrapped in a wider box") << true;
    QTest::newRow("rewrapped in a smaller font") << false;
}

// A line of 2,000 bytes wrapped over some 20 rows, then 20 short lines.
void tst_TextBoxView::wrappedLine() {
    QFETCH(bool, wider);
    const QByteArray line = QByteArray("word ").repeated(400);
    fixture->show(line + "\n" + NumberedLines(20, 2));
    // Wrapped on screen only: Down goes a row lower in the line, End to the
    // end of that row.
    QCOMPARE(box->shownLineText(LineNumber(0)), QString::fromLatin1(line));
    const int top = box->cursorRect().top();
    Type(box, "{Down}{End}");
    QVERIFY2(box->cursorPosition() > ByteOffset(0) && box->cursorPosition() < ByteOffset(2000),
             QByteArray::number(box->cursorPosition().value()));
    QVERIFY(qAbs(box->cursorRect().top() - top - fixture->rowHeight()) <= 1);
    // The caret is kept in view: put on the first row, it scrolls back.
    box->verticalScrollBar()->setValue(5);
    box->setCursorPosition(ByteOffset(0));
    QCOMPARE(box->firstVisibleRow(), 0);

    wheel(-600);  // five notches of three rows
    QCOMPARE(box->firstVisibleRow(), 15);
    // Wrapped over fewer rows, the top stays inside the line.
    if (wider) {
        box->resize(1600, box->height());
    } else {
        QFont font = box->font();
        font.setPointSizeF(4);
        box->setFont(font);
    }
    QCOMPARE(box->firstVisibleLine(), LineNumber(0));
    QVERIFY(box->firstVisibleRow() < 15);
}

void tst_TextBoxView::scrollBar_countsRows_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("row");  // the top row, in line 0
    QTest::addColumn<int>("value");
    // A first line of 60,000 characters wraps over hundreds of rows: the bar
    // goes with the rows (it stood still at 0), and a step of the bar is a
    // row (it skipped the rest of the line).
    QTest::newRow("three wheel notches go nine rows down the line") << "wheel" << 9 << 9;
    QTest::newRow("the bar from 0 to 1 goes one row down") << "bar" << 1 << 1;
}

void tst_TextBoxView::scrollBar_countsRows() {
    QFETCH(QString, action);
    QFETCH(int, row);
    QFETCH(int, value);
    fixture->show(QByteArray("word ").repeated(12000) + "\n" + NumberedLines(20, 2));
    QScrollBar* bar = box->verticalScrollBar();
    // A page is the rows that fit whole: from the first row, the view less
    // the margins of 4 above and below.
    const auto rows =
        static_cast<int>(std::floor((fixture->surface()->height() - 8) / fixture->rowHeight()));
    QVERIFY(rows > 3);
    QCOMPARE(bar->pageStep(), rows);
    if (action == QLatin1String("wheel")) {
        wheel(-360);
    } else {
        bar->setValue(1);
    }
    QCOMPARE(box->firstVisibleLine(), LineNumber(0));
    QCOMPARE(box->firstVisibleRow(), row);
    QCOMPARE(bar->value(), value);
    QVERIFY(bar->maximum() > 500);
}

void tst_TextBoxView::eightRows_data() {
    QTest::addColumn<QString>("script");  // keys, or "bar TOP;reveal LINE"
    QTest::addColumn<int>("anchorLine");
    QTest::addColumn<int>("caretLine");
    QTest::addColumn<int>("topLine");
    // A view of exactly 8 rows over 40 lines of one row each. The page keys
    // move a page less one row.
    QTest::newRow("Page Down twice") << "{PgDown}{PgDown}" << 14 << 14 << 14;
    QTest::newRow("Page Up back") << "{PgDown}{PgDown}{PgUp}" << 7 << 7 << 7;
    QTest::newRow("Shift+Page Down selects a page") << "{Shift+PgDown}" << 0 << 7 << 7;
    // Revealing a line scrolls and leaves the caret; the rules are the scroll
    // state's, here what the box does with them.
    QTest::newRow("a line in view: no scrolling") << "bar 10;reveal 17" << 0 << 0 << 10;
    QTest::newRow("a line far below goes to the middle") << "reveal 30" << 0 << 0 << 27;
    QTest::newRow("a line past the end: the last page") << "reveal 90" << 0 << 0 << 33;
}

void tst_TextBoxView::eightRows() {
    QFETCH(QString, script);
    QFETCH(int, anchorLine);
    QFETCH(int, caretLine);
    QFETCH(int, topLine);
    eightRowsHigh();
    fixture->show(NumberedLines(40, 2));
    for (const QString& command : script.split(QLatin1Char(';'))) {
        const QStringList word = command.split(QLatin1Char(' '));
        if (word[0] == QLatin1String("bar")) {
            box->verticalScrollBar()->setValue(word[1].toInt());
        } else if (word[0] == QLatin1String("reveal")) {
            box->revealLine(LineNumber(word[1].toInt()));
        } else {
            Type(box, command);
        }
    }
    QCOMPARE(box->anchorPosition(), ByteOffset(3 * anchorLine));
    QCOMPARE(box->cursorPosition(), ByteOffset(3 * caretLine));
    QCOMPARE(box->firstVisibleLine(), LineNumber(topLine));
    QCOMPARE(box->verticalScrollBar()->value(), topLine);
}

void tst_TextBoxView::topRow_existsAfterAPreeditGoes_data() {
    QTest::addColumn<QString>("action");
    QTest::newRow("Ctrl+A") << "Ctrl+A";
    QTest::newRow("Ctrl+Z with nothing to undo") << "Ctrl+Z";
    QTest::newRow("a double-click") << "double-click";
    QTest::newRow("the input method asks for the cursor rectangle") << "query";
}

// Line 1 fills one row exactly; a pre-edit at its end makes it two, and the
// view is scrolled to its second row. When the pre-edit goes, the line has
// one row again: the top row must be one that exists (it stayed on row 1, and
// the next paint read a row that was gone).
void tst_TextBoxView::topRow_existsAfterAPreeditGoes() {
    QFETCH(QString, action);
    const QFontMetricsF metrics(box->font());
    const qreal width = fixture->surface()->width() - 8;
    int fill = 1;
    while (metrics.horizontalAdvance(QString(fill + 1, QLatin1Char('x'))) <= width - 1) {
        ++fill;
    }
    fixture->show("line 0\n" + QByteArray(fill, 'x') + "\n" + NumberedLines(28, 2));
    QCOMPARE(box->rowCount(LineNumber(1)), 1);
    box->setCursorPosition(ByteOffset(7 + fill));
    QInputMethodEvent preedit(QStringLiteral("preedit"), {});
    QApplication::sendEvent(box, &preedit);
    QCOMPARE(box->rowCount(LineNumber(1)), 2);
    wheel(-40);  // a step of one row, twice
    wheel(-40);
    QCOMPARE(box->firstVisibleLine(), LineNumber(1));
    QCOMPARE(box->firstVisibleRow(), 1);

    if (action == QLatin1String("Ctrl+A") || action == QLatin1String("query")) {
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    } else if (action == QLatin1String("Ctrl+Z")) {
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    } else {
        QTest::mouseDClick(fixture->surface(), Qt::LeftButton, {}, QPoint(10, 40));
    }
    QCOMPARE(box->shownLineText(LineNumber(1)), QString(fill, QLatin1Char('x')));
    QCOMPARE(box->firstVisibleLine(), LineNumber(1));
    QCOMPARE(box->firstVisibleRow(), 0);
    if (action == QLatin1String("query")) {
        const QRectF caret = box->inputMethodQuery(Qt::ImCursorRectangle).toRectF();
        QVERIFY(caret.height() > 0);
    }
    QVERIFY(!fixture->surface()->grab().isNull());
}

void tst_TextBoxView::millionLines_editAtTheMiddle() {
    fixture->show(NumberedLines(1'000'000, 7));  // "0000000\n" .. "0999999\n", 8 bytes each
    QCOMPARE(box->buffer().lineCount(), LineNumber(1'000'001));
    QScrollBar* bar = box->verticalScrollBar();
    QVERIFY(bar->maximum() > 999'990);

    box->setCursorPosition(ByteOffset(4'000'000));  // the start of line 500,000
    const std::int64_t first = box->firstVisibleLine().value();
    QVERIFY2(first > 499'990 && first <= 500'000, QByteArray::number(first));
    QCOMPARE(bar->value(), first);  // a row a line
    QTest::keyClick(box, Qt::Key_X);
    QTest::keyClick(box, Qt::Key_Return);
    const SharedText edited = box->text();
    QCOMPARE(QByteArray(edited.view().data() + 3'999'992, 26), "0499999\nx\n0500000\n0500001\n");
    QCOMPARE(box->buffer().lineCount(), LineNumber(1'000'002));
    QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(box->firstVisibleLine() > LineNumber(999'990));
}

void tst_TextBoxView::markedLine_bandAcrossTheWidth_data() {
    QTest::addColumn<int>("marked");
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<int>("lastRow");  // of the band, on screen
    // Line 0 "00", line 1 wrapped over 3 rows, then "02", "03", ...
    QTest::newRow("a one-row line") << 2 << 4 << 4;
    QTest::newRow("every row of a wrapped line") << 1 << 1 << 3;
    QTest::newRow("the first line, under its margin") << 0 << 0 << 0;
}

// White base, pure blue highlight: the band is blue at 60/255 over white,
// (195, 195, 255), from the left edge to the right one.
void tst_TextBoxView::markedLine_bandAcrossTheWidth() {
    QFETCH(int, marked);
    QFETCH(int, firstRow);
    QFETCH(int, lastRow);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Highlight, QColor(0, 0, 255));
    box->setPalette(palette);
    box->clearFocus();  // no caret
    // Three rows of line 1: its words fill a row less than 3 times.
    const QFontMetricsF metrics(box->font());
    const qreal width = fixture->surface()->width() - 8;
    QByteArray wrapped;
    while (metrics.horizontalAdvance(QString::fromLatin1(wrapped + "word ")) < 2.5 * width) {
        wrapped += "word ";
    }
    fixture->show("00\n" + wrapped + "\n" + NumberedLines(20, 2).mid(6));
    QCOMPARE(box->rowCount(LineNumber(1)), 3);
    box->setSelection(ByteOffset(0), ByteOffset(1));
    box->setMarkedLine(LineNumber(marked));
    QCOMPARE(box->anchorPosition(), ByteOffset(0));  // not a selection

    const QImage image = fixture->surface()->grab().toImage();
    const int rows = static_cast<int>((image.height() - 8) / fixture->rowHeight());
    QVERIFY(rows >= 6);
    for (int row = 0; row < rows; ++row) {
        const int y = static_cast<int>(4 + (row + 0.5) * fixture->rowHeight());
        const bool banded = firstRow <= row && row <= lastRow;
        for (const int x : {0, image.width() - 1}) {
            const QColor c = image.pixelColor(x, y);
            const int gray = banded ? 195 : 255;
            QVERIFY2(qAbs(c.red() - gray) <= 2 && qAbs(c.green() - gray) <= 2 && c.blue() >= 253,
                     qPrintable(QStringLiteral("row %1 x %2: %3").arg(row).arg(x).arg(c.name())));
        }
    }
}

void tst_TextBoxView::markedLine_keptThroughEditsWhileItsLineIsThere() {
    fixture->show(NumberedLines(10, 2));  // 11 lines, the last one empty
    box->setMarkedLine(LineNumber(9));
    box->setSelection(ByteOffset(0), ByteOffset(3));
    QTest::keyClick(box, Qt::Key_Delete);  // 10 lines: line 9 is still there
    QCOMPARE(box->markedLine(), std::optional<LineNumber>(LineNumber(9)));
    Type(box, "x{Return}");  // on the same line number, whatever it holds now
    QCOMPARE(box->markedLine(), std::optional<LineNumber>(LineNumber(9)));
    box->setSelection(ByteOffset(0), ByteOffset(9));  // "x\n01\n02\n0": three breaks
    QTest::keyClick(box, Qt::Key_Delete);             // 8 lines
    QCOMPARE(box->markedLine(), std::nullopt);
    box->setMarkedLine(LineNumber(7));
    box->undo();
    QCOMPARE(box->markedLine(), std::optional<LineNumber>(LineNumber(7)));
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);  // one empty line
    QCOMPARE(box->markedLine(), std::nullopt);
}

QTEST_MAIN(tst_TextBoxView)
#include "tst_textbox_view.moc"

// The file-contents box's view: wrapped lines, the scroll bar counted in
// rows, the page keys, the top row after a line shrank, a text of a million
// lines, the marked line's band and revealing a line. Rows and places come
// from the font's metrics.

#include "BoxTesting.h"

#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTest>

#include <cmath>
#include <memory>

using namespace axlewise;
using namespace axlewise::boxtesting;

class tst_TextBoxView : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void wrappedLine_data();
    void wrappedLine();
    void scrollBar_countsRows_data();
    void scrollBar_countsRows();
    void pageKeys_moveAPageLessOneRow_data();
    void pageKeys_moveAPageLessOneRow();
    void topRow_existsAfterAPreeditGoes_data();
    void topRow_existsAfterAPreeditGoes();
    void millionLines_editAtTheMiddle();
    void markedLine_bandUnderTheTextAcrossTheWidth_data();
    void markedLine_bandUnderTheTextAcrossTheWidth();
    void markedLine_keptThroughEditsWhileItsLineIsThere();
    void revealLine_scrollsWithoutMovingTheCaret_data();
    void revealLine_scrollsWithoutMovingTheCaret();

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

    std::unique_ptr<BoxWindow> fixture;
    TextBox* box = nullptr;
};

void tst_TextBoxView::init() {
    fixture = std::make_unique<BoxWindow>();
    QVERIFY(fixture->ready);
    box = fixture->box;
}

void tst_TextBoxView::cleanup() {
    fixture.reset();
}

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
    QVERIFY(!fixture->surface()->grab().isNull());
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
    QTest::newRow("Ctrl+End and back up by the bar") << "end, bar" << 30 << 30;
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
    } else if (action == QLatin1String("bar")) {
        bar->setValue(1);
    } else {
        QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(bar->value(), bar->maximum());
        bar->setValue(30);
    }
    QCOMPARE(box->firstVisibleLine(), LineNumber(0));
    QCOMPARE(box->firstVisibleRow(), row);
    QCOMPARE(bar->value(), value);
    QVERIFY(bar->maximum() > 500);
}

void tst_TextBoxView::pageKeys_moveAPageLessOneRow_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("anchorLine");
    QTest::addColumn<int>("caretLine");
    QTest::addColumn<int>("topLine");
    // A view of exactly 8 rows over 40 lines of one row each.
    QTest::newRow("Page Down from the top") << "{PgDown}" << 7 << 7 << 7;
    QTest::newRow("Page Down twice") << "{PgDown}{PgDown}" << 14 << 14 << 14;
    QTest::newRow("Page Up back") << "{PgDown}{PgDown}{PgUp}" << 7 << 7 << 7;
    QTest::newRow("Shift+Page Down selects a page") << "{Shift+PgDown}" << 0 << 7 << 7;
}

void tst_TextBoxView::pageKeys_moveAPageLessOneRow() {
    QFETCH(QString, keys);
    QFETCH(int, anchorLine);
    QFETCH(int, caretLine);
    QFETCH(int, topLine);
    eightRowsHigh();
    fixture->show(NumberedLines(40, 2));
    Type(box, keys);
    QCOMPARE(box->anchorPosition(), ByteOffset(3 * anchorLine));
    QCOMPARE(box->cursorPosition(), ByteOffset(3 * caretLine));
    QCOMPARE(box->firstVisibleLine(), LineNumber(topLine));
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

void tst_TextBoxView::markedLine_bandUnderTheTextAcrossTheWidth_data() {
    QTest::addColumn<int>("marked");  // -1 for none
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<int>("lastRow");  // of the band, on screen; -1 for none
    // Line 0 "00", line 1 wrapped over 3 rows, then "02", "03", ...
    QTest::newRow("a one-row line") << 2 << 4 << 4;
    QTest::newRow("every row of a wrapped line") << 1 << 1 << 3;
    QTest::newRow("the first line, under its margin") << 0 << 0 << 0;
    QTest::newRow("no line") << -1 << -1 << -1;
    QTest::newRow("a line past the end marks nothing") << 40 << -1 << -1;
}

// White base, pure blue highlight: the band is blue at 60/255 over white,
// (195, 195, 255), from the left edge to the right one.
void tst_TextBoxView::markedLine_bandUnderTheTextAcrossTheWidth() {
    QFETCH(int, marked);
    QFETCH(int, firstRow);
    QFETCH(int, lastRow);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
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
    box->setMarkedLine(marked < 0 ? std::nullopt : std::optional<LineNumber>(LineNumber(marked)));
    QCOMPARE(box->markedLine(),
             lastRow < 0 ? std::nullopt : std::optional<LineNumber>(LineNumber(marked)));
    QCOMPARE(box->anchorPosition(), ByteOffset(0));  // not a selection
    QCOMPARE(box->cursorPosition(), ByteOffset(1));

    const QImage image = fixture->surface()->grab().toImage();
    const auto near = [](QColor c, int r, int g, int b) {
        return qAbs(c.red() - r) <= 2 && qAbs(c.green() - g) <= 2 && qAbs(c.blue() - b) <= 2;
    };
    const int rows = static_cast<int>((image.height() - 8) / fixture->rowHeight());
    QVERIFY(rows >= 6);
    for (int row = 0; row < rows; ++row) {
        const int y = static_cast<int>(4 + (row + 0.5) * fixture->rowHeight());
        const bool banded = firstRow <= row && row <= lastRow;
        for (const int x : {0, 2, image.width() - 3, image.width() - 1}) {
            const QColor c = image.pixelColor(x, y);
            QVERIFY2(banded ? near(c, 195, 195, 255) : near(c, 255, 255, 255),
                     qPrintable(QStringLiteral("row %1 x %2: %3").arg(row).arg(x).arg(c.name())));
        }
        if (banded) {
            // The text is drawn over the band: a stroke covering a share c
            // of a pixel gives (195, 195, 255) * (1 - c), blue 60 * (1 - c)
            // above red; a band drawn over the text would add 60 to blue
            // everywhere. The darkest pixel is well inside a stroke.
            int darkest = 255 * 3;
            QColor core;
            for (int x = 4; x < image.width() - 4; ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() + c.green() + c.blue() < darkest) {
                    darkest = c.red() + c.green() + c.blue();
                    core = c;
                }
            }
            QVERIFY2(core.red() < 120 && core.blue() - core.red() < 40, qPrintable(core.name()));
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
    QVERIFY(!fixture->surface()->grab().isNull());
}

void tst_TextBoxView::revealLine_scrollsWithoutMovingTheCaret_data() {
    QTest::addColumn<int>("top");  // before
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("expected");  // the top line after
    // 40 one-row lines in a view of 8 rows.
    QTest::newRow("a line in view: no scrolling") << 10 << 17 << 10;
    QTest::newRow("the line below the view comes in at the bottom") << 10 << 18 << 11;
    QTest::newRow("a line above the view comes in at the top") << 10 << 4 << 4;
    QTest::newRow("a line far below goes to the middle") << 0 << 30 << 27;
    QTest::newRow("a line far above goes to the middle") << 30 << 5 << 2;
    QTest::newRow("the last line: the last page") << 0 << 40 << 33;
    QTest::newRow("a line past the end: the last page") << 0 << 90 << 33;
}

void tst_TextBoxView::revealLine_scrollsWithoutMovingTheCaret() {
    QFETCH(int, top);
    QFETCH(int, line);
    QFETCH(int, expected);
    eightRowsHigh();
    fixture->show(NumberedLines(40, 2));
    box->setSelection(ByteOffset(3), ByteOffset(5));
    box->verticalScrollBar()->setValue(top);
    QCOMPARE(box->firstVisibleLine(), LineNumber(top));
    int moved = 0;
    connect(box, &TextBox::cursorPositionChanged, [&moved] { ++moved; });
    box->revealLine(LineNumber(line));
    QCOMPARE(box->firstVisibleLine(), LineNumber(expected));
    QCOMPARE(box->verticalScrollBar()->value(), expected);
    QCOMPARE(moved, 0);
    QCOMPARE(box->anchorPosition(), ByteOffset(3));
    QCOMPARE(box->cursorPosition(), ByteOffset(5));
}

QTEST_MAIN(tst_TextBoxView)
#include "tst_textbox_view.moc"

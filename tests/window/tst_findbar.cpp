// Find in the file-contents box and its find bar: what the box selects and
// shows, matches the caret cannot reach passed over, the bar's keys and
// buttons, its status texts, its opening (prefilled, focused) and Esc giving
// the focus back to the box. Expected offsets are worked out by hand.

#include "BoxTesting.h"
#include "window/FindBar.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QScreen>

using namespace axlewise;
using namespace axlewise::boxtesting;

namespace {

QString Name(std::optional<FindResult> result) {
    static const char* const kNames[] = {"Found", "Wrapped", "NotFound"};
    return QString::fromLatin1(result ? kNames[static_cast<int>(*result)] : "opened");
}

// t w o _ o n e \n T w o  \n t  w  o  _  e  n  d  \n
// 0 1 2 3 4 5 6 7  8 9 10 11 12 13 14 15 16 17 18 19
const QByteArray kTwos("two one\nTwo\ntwo end\n");

}  // namespace

class tst_FindBar : public BoxTest {
    Q_OBJECT

private slots:
    void init();
    void boxFind_data();
    void boxFind();
    void bar_keysAndButtons_data();
    void bar_keysAndButtons();
    void bar_opensBelowTheWindowPrefilledAndFocused();
    void bar_closingGivesTheFocusBackToTheBox_data();
    void bar_closingGivesTheFocusBackToTheBox();

private:
    // Waits until window is the one with the focus (a tool window counts as
    // active with its parent, so isActiveWindow cannot tell).
    static bool focusedIn(QWidget* window) {
        return QTest::qWaitFor(
            [window] { return QGuiApplication::focusWindow() == window->windowHandle(); });
    }
    template <typename T>
    T* child(const char* name) const {
        return bar->findChild<T*>(QString::fromLatin1(name));
    }
    FindBar* bar = nullptr;
};

void tst_FindBar::init() {
    BoxTest::init();
    bar = new FindBar(box);  // gone with the window
}

// ---- The box's find ------------------------------------------------------------

void tst_FindBar::boxFind_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QByteArray>("needle");
    QTest::addColumn<bool>("backward");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("selectedCaret");
    // 40 lines "00\n" .. "39\n", 3 bytes each, in a view of some 6 lines.
    const QByteArray lines = NumberedLines(40, 2);
    QTest::newRow("forward, the caret at the end, far down the text")
        << lines << 0 << QByteArray("32") << false << "Found" << 96 << 98;
    QTest::newRow("nothing found: caret and view stay")
        << lines << 60 << QByteArray("40") << false << "NotFound" << 60 << 60;
    // A line of 70,000 bytes shows its first 65,536: "zz" at 70,000 is in
    // the hidden part, where the caret cannot go, and "zz" at 70,003 on the
    // next line is not.
    const QByteArray cut = QByteArray(70000, 'a') + "zz\nzz\n";
    QTest::newRow("forward past a match in the hidden part")
        << cut << 0 << QByteArray("zz") << false << "Found" << 70003 << 70005;
    QTest::newRow("backward past a match in the hidden part, round the start")
        << cut << 70003 << QByteArray("zz") << true << "Wrapped" << 70005 << 70003;
    QTest::newRow("round the end onto a hidden match, then past it: still wrapped")
        << cut << 70005 << QByteArray("zz") << false << "Wrapped" << 70003 << 70005;
    QTest::newRow("only hidden matches")
        << QByteArray(70000, 'a') + "zz" << 0 << QByteArray("zz") << false << "NotFound" << 0 << 0;
}

void tst_FindBar::boxFind() {
    QFETCH(QByteArray, text);
    QFETCH(int, caret);
    QFETCH(QByteArray, needle);
    QFETCH(bool, backward);
    QFETCH(QString, result);
    QFETCH(int, anchor);
    QFETCH(int, selectedCaret);
    show(text);
    box->setCursorPosition(ByteOffset(caret));
    const LineNumber top = box->firstVisibleLine();
    QCOMPARE(Name(box->find(needle.toStdString(), false, backward)), result);
    QCOMPARE(box->anchorPosition(), ByteOffset(anchor));
    QCOMPARE(box->cursorPosition(), ByteOffset(selectedCaret));
    // The caret's line is in view: whole rows from the top, page step of them.
    const std::int64_t line = box->buffer().lineAt(box->cursorPosition()).value();
    const std::int64_t first = box->firstVisibleLine().value();
    QVERIFY2(first <= line && line < first + box->verticalScrollBar()->pageStep(),
             qPrintable(QStringLiteral("line %1, top %2").arg(line).arg(first)));
    if (result == QLatin1String("NotFound")) {
        QCOMPARE(box->firstVisibleLine(), top);
    }
}

// ---- The bar -------------------------------------------------------------------

void tst_FindBar::bar_keysAndButtons_data() {
    QTest::addColumn<QString>("find");  // typed into the field
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QString>("keys");  // in the field; "next" and "previous" click the buttons
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("status");
    // The caret starts at 4, after the first "two ".
    QTest::newRow("three times wraps, in any case")
        << "two" << false << "{Enter}{Return}{Return}" << 0 << 3 << "Search wrapped";
    QTest::newRow("a find after the wrap clears the status")
        << "two" << false << "{Return}{Return}{Return}{Return}" << 8 << 11 << "";
    QTest::newRow("Shift+Enter twice wraps")
        << "two" << false << "{Shift+Return}{Shift+Return}" << 15 << 12 << "Search wrapped";
    QTest::newRow("Match case passes over Two") << "two" << true << "{Return}" << 12 << 15 << "";
    QTest::newRow("F3 and Shift+F3") << "two" << false << "{F3}{F3}{Shift+F3}" << 11 << 8 << "";
    QTest::newRow("the Next button") << "two" << false << "next" << 8 << 11 << "";
    QTest::newRow("the Previous button") << "two" << false << "previous" << 3 << 0 << "";
    QTest::newRow("nothing found: no message box, the caret stays")
        << "four" << false << "{Return}" << 4 << 4 << "Not found";
    QTest::newRow("typing again clears the status")
        << "four" << false << "{Return}{Backspace}" << 4 << 4 << "";
}

void tst_FindBar::bar_keysAndButtons() {
    QFETCH(QString, find);
    QFETCH(bool, matchCase);
    QFETCH(QString, keys);
    QFETCH(int, anchor);
    QFETCH(int, caret);
    QFETCH(QString, status);
    show(kTwos);
    box->setCursorPosition(ByteOffset(4));
    bar->open();
    QVERIFY(QTest::qWaitForWindowExposed(bar));
    auto* field = child<QLineEdit>("txtFind");
    QTest::keyClicks(field, find);
    child<QCheckBox>("chkMatchCase")->setChecked(matchCase);
    if (keys == QLatin1String("next")) {
        QTest::mouseClick(child<QPushButton>("btnFindNext"), Qt::LeftButton);
    } else if (keys == QLatin1String("previous")) {
        QTest::mouseClick(child<QPushButton>("btnFindPrevious"), Qt::LeftButton);
    } else {
        Type(field, keys);
    }
    QCOMPARE(box->anchorPosition(), ByteOffset(anchor));
    QCOMPARE(box->cursorPosition(), ByteOffset(caret));
    QCOMPARE(child<QLabel>("lblFindStatus")->text(), status);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(bar->isVisible());
    QCOMPARE(box->text().str(), kTwos.toStdString());  // Enter typed nothing into the box
}

void tst_FindBar::bar_opensBelowTheWindowPrefilledAndFocused() {
    const QRect window = fixture->window()->geometry();
    show(kTwos);
    box->setSelection(ByteOffset(8), ByteOffset(11));
    // Find Next with an empty field opens the bar instead, the caret staying.
    QCOMPARE(Name(bar->findNext()), QStringLiteral("opened"));
    QVERIFY(focusedIn(bar));
    QCOMPARE(box->cursorPosition(), ByteOffset(11));
    auto* field = child<QLineEdit>("txtFind");
    QCOMPARE(field->text(), QStringLiteral("Two"));
    QCOMPARE(field->selectedText(), QStringLiteral("Two"));
    QCOMPARE(QApplication::focusWidget(), field);
    // A window of its own: the box's window keeps its place and size.
    QCOMPARE(fixture->window()->geometry(), window);
    // Below the window when the screen has room, so it hides nothing of it.
    const QRect frame = fixture->window()->frameGeometry();
    const QRect room = fixture->window()->screen()->availableGeometry();
    if (frame.bottom() + bar->frameGeometry().height() < room.bottom()) {
        QVERIFY(bar->geometry().top() > frame.bottom());
    }
    QCOMPARE(bar->frameGeometry().left(), box->mapToGlobal(QPoint(0, 0)).x());

    // A selection over a line break, or a long one, is not taken.
    box->setSelection(ByteOffset(4), ByteOffset(10));
    bar->open();
    QCOMPARE(field->text(), QStringLiteral("Two"));
    show(QByteArray(300, 'x'));
    box->selectAll();
    bar->open();
    QCOMPARE(field->text(), QStringLiteral("Two"));
}

void tst_FindBar::bar_closingGivesTheFocusBackToTheBox_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Esc in the field") << "field";
    QTest::newRow("the window's close button") << "close";
}

void tst_FindBar::bar_closingGivesTheFocusBackToTheBox() {
    QFETCH(QString, how);
    show(kTwos);
    bar->open();
    QVERIFY(focusedIn(bar));
    QVERIFY(!box->hasFocus());
    if (how == QLatin1String("field")) {
        QTest::keyClick(child<QLineEdit>("txtFind"), Qt::Key_Escape);
    } else {
        bar->close();
    }
    QVERIFY(!bar->isVisible());
    QVERIFY(focusedIn(fixture->window()));
    QCOMPARE(QApplication::focusWidget(), box);
}

QTEST_MAIN(tst_FindBar)
#include "tst_findbar.moc"

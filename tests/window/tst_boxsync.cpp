// The file-contents box in step with the truck panel: the line of the truck
// on show marked in the box while it holds the text that truck was read from,
// the truck of a line shown from the box, and find reached from the window.

#include "WindowFixture.h"

#include "window/FindBar.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

using namespace axlewise;
using namespace axlewise::test;

namespace {

// A head line, a truck, a blank line, two trucks: trucks 1, 2, 3 are lines
// 2, 4, 5 of the box (counted from 1).
QByteArray WithHeadAndBlank() {
    return "WIM site 7, lane 1\n" + Line(1) + "\n" + Line(2) + Line(3);
}

}  // namespace

class tst_BoxSync : public WindowFixture {
    Q_OBJECT

private slots:
    void init() { setUpWindow(); }

    void truckOnShow_markedInTheBox();
    void markedLine_goesWithAnEditOrAnotherText();
    void pastedTrucks_markedWhereTheyWereRead();
    void showThisTruck_data();
    void showThisTruck();
    void find_fromTheGoMenuAndF3();

private:
    // Opens WithHeadAndBlank() with its head line ignored.
    void openWithHead() {
        find<QLineEdit>(QStringLiteral("txtIgline"))->setText(QStringLiteral("1"));
        open(QStringLiteral("menu"), write(QStringLiteral("site.txt"), WithHeadAndBlank()));
    }
    // The marked line of the box, counted from 1; 0 for none.
    qint64 marked() {
        const std::optional<LineNumber> line = editor()->markedLine();
        return line ? line->value() + 1 : 0;
    }
};

// Each truck shown marks its own line; head and blank lines are passed over.
void tst_BoxSync::truckOnShow_markedInTheBox() {
    openWithHead();
    QCOMPARE(window->state().CurrentTruck, 1);
    QList<qint64> lines{marked()};
    for (int k = 0; k < 3; ++k) {
        click(QStringLiteral("btnNext"));
        lines << marked();
    }
    QCOMPARE(lines, (QList<qint64>{2, 4, 5, 2}));
    // Marking is not selecting: the caret stays where it was.
    QCOMPARE(editor()->cursorPosition(), ByteOffset(0));
    QVERIFY(!editor()->hasSelection());
}

// Once the box's text is edited, or holds another file, the trucks it no
// longer holds mark nothing.
void tst_BoxSync::markedLine_goesWithAnEditOrAnotherText() {
    openWithHead();
    QCOMPARE(marked(), 2);
    editor()->setFocus();
    QTest::keyClicks(editor(), QStringLiteral("x"));
    QCOMPARE(marked(), 0);
    click(QStringLiteral("btnNext"));
    QCOMPARE(marked(), 0);

    find<QLineEdit>(QStringLiteral("txtIgline"))->setText(QStringLiteral("0"));
    open(QStringLiteral("menu"), write(QStringLiteral("two.txt"), Line(4) + Line(5)));
    QCOMPARE(window->state().CurrentTruck, 1);  // a truck of the first file
    QCOMPARE(marked(), 0);
    click(QStringLiteral("btnEnd"));  // truck 5, line 2 of the second file
    QCOMPARE(marked(), 2);
}

// A paste is read where it stands in the box, after head lines typed away.
void tst_BoxSync::pastedTrucks_markedWhereTheyWereRead() {
    editor()->setText(SharedText(("junk\n" + Line(1) + Line(2)).toStdString()));
    editor()->setFocus();
    QTest::keyClick(editor(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(editor(), Qt::Key_Delete);
    click(QStringLiteral("btnReadTxt"));
    QCOMPARE(messages, QStringList());
    QCOMPARE(window->state().NoTrucks, 2);
    QCOMPARE(marked(), 1);
    click(QStringLiteral("btnNext"));
    QCOMPARE(marked(), 2);
}

void tst_BoxSync::showThisTruck_data() {
    QTest::addColumn<int>("line");      // of the box, from 1; the caret goes there
    QTest::addColumn<QString>("how");   // "keys" (Ctrl+Return) or "menu"
    QTest::addColumn<bool>("edited");   // a character typed at the end first
    QTest::addColumn<qint64>("truck");  // on show afterwards
    QTest::addColumn<QString>("message");
    QTest::newRow("a truck's line, by keys") << 4 << "keys" << false << qint64(2) << "";
    QTest::newRow("a truck's line, by the menu") << 5 << "menu" << false << qint64(3) << "";
    QTest::newRow("the head line") << 1 << "keys" << false << qint64(1)
                                   << "(i) Line 1 is a head line: it was not read as a truck.";
    QTest::newRow("the blank line")
        << 3 << "menu" << false << qint64(1) << "(i) Line 3 is blank: it was not read as a truck.";
    QTest::newRow("the text edited since")
        << 4 << "keys" << true << qint64(1)
        << "(i) Line 4 cannot be matched with a truck: the text has been changed since its trucks "
           "were read.";
}

// Ctrl+Return or "Show This Truck" in the box's menu shows the truck of the
// caret's line, or says why that line has none; no line break is typed.
void tst_BoxSync::showThisTruck() {
    QFETCH(int, line);
    QFETCH(QString, how);
    QFETCH(bool, edited);
    QFETCH(qint64, truck);
    QFETCH(QString, message);
    openWithHead();
    TextBox* box = editor();
    box->setFocus();
    if (edited) {
        const LineNumber last(box->buffer().lineCount().value() - 1);
        box->setCursorPosition(box->buffer().lineEnd(last));
        QTest::keyClicks(box, QStringLiteral("x"));
    }
    box->setCursorPosition(box->buffer().lineStart(LineNumber(line - 1)));
    const QByteArray before = editorText();
    if (how == QLatin1String("keys")) {
        QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier);
    } else {
        std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
        auto* show = menu->findChild<QAction*>(QStringLiteral("show-truck"));
        QVERIFY(show != nullptr && show->isEnabled());
        show->trigger();
    }
    QCOMPARE(window->state().CurrentTruck, truck);
    QCOMPARE(messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(editorText(), before);
}

// "Find..." waits for text in the box; the find bar selects the match, and F3
// finds the next one from anywhere in the window.
void tst_BoxSync::find_fromTheGoMenuAndF3() {
    auto* findAction = find<QAction>(QStringLiteral("Find"));
    QVERIFY(!findAction->isEnabled());
    holdThree();
    QVERIFY(findAction->isEnabled());
    findAction->trigger();
    auto* bar = window->findChild<FindBar*>(QStringLiteral("FindBar"));
    QVERIFY(bar != nullptr && bar->isVisible());
    auto* field = bar->findChild<QLineEdit*>(QStringLiteral("txtFind"));
    field->setText(QStringLiteral("1002"));
    QTest::keyClick(field, Qt::Key_Return);
    // Truck 1002's line is the second: its HEAD is its first four bytes.
    const ByteOffset second = editor()->buffer().lineStart(LineNumber(1));
    QCOMPARE(editor()->selection().from, second);
    QCOMPARE(editor()->selectedText(), QStringLiteral("1002"));

    // F3 from a button of the window: round the end, back to the same match.
    find(QStringLiteral("btnNext"))->setFocus();
    QTest::keyClick(window.get(), Qt::Key_F3);
    QCOMPARE(editor()->selection().from, second);
    QCOMPARE(bar->findChild<QLabel*>(QStringLiteral("lblFindStatus"))->text(),
             QStringLiteral("Search wrapped"));
    QCOMPARE(messages, QStringList());
}

QTEST_MAIN(tst_BoxSync)
#include "tst_boxsync.moc"

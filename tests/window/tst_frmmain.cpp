// The main window end to end: its controls found by name and clicked, typed
// into and read, with the open dialog and the message boxes substituted.

#include "WindowFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTextBlock>

using namespace axlewise;
using namespace axlewise::test;

namespace {

const QString kHint = QStringLiteral(
    "If the file starts with %1, type %2 in \"No of lines to ignore at the start of the file\".");

}  // namespace

class tst_frmMain : public WindowFixture {
    Q_OBJECT

    // The test slot open() hides the fixture's.
    using WindowFixture::open;

private slots:
    void init() { setUpWindow(); }

    void everyCaptionFitsItsControl();
    void tabOrderFollowsTheLayout();
    void frameAndMenu();
    void panelColumnsAligned();
    void navigate_data();
    void navigate();
    void open_data();
    void open();
    void openUnreadablePath_reportsItAndKeepsEverything_data();
    void openUnreadablePath_reportsItAndKeepsEverything();
    void loadFailingOnItsFirstLines_saysHowToSkipThem_data();
    void loadFailingOnItsFirstLines_saysHowToSkipThem();
    void pasteBadLine_saysWhatHappened();
    void oneAxleTruck_clearsThePictureAndWarns();
    void checkLine_data();
    void checkLine();
    void diagramOnScreen();
    void panels_readOnlyButSelectable();
    void fixedWidthFont_isRemembered();
};

// Every caption can be read whole in its control, in the font actually found;
// the count label also holds the count of a very large file.
void tst_frmMain::everyCaptionFitsItsControl() {
    for (QWidget* control : window->centralWidget()->findChildren<QWidget*>()) {
        const QString text = control->property("text").toString();
        if (text.isEmpty()) {
            continue;
        }
        QRect room = control->contentsRect();
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            QStyleOptionButton option;
            option.initFrom(button);
            room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        }
        const bool count = control->objectName() == QLatin1String("lblNoTrucks");
        const QFontMetrics metrics(control->font());
        const QString widest = count ? QStringLiteral("No. Trucks is 10000000") : text;
        QVERIFY2(
            metrics.horizontalAdvance(widest) <= room.width() && metrics.height() <= room.height(),
            qPrintable(control->objectName()));
    }
    for (const char* name : {"txtHeads", "txtTruck", "lblNoTrucks"}) {
        QVERIFY2(QFontInfo(find(QString::fromLatin1(name))->font()).bold(), name);
    }
}

void tst_frmMain::tabOrderFollowsTheLayout() {
    QCOMPARE(window->focusWidget(), find(QStringLiteral("txtHeads")));
    // Labels take no focus; the text boxes pass Tab on.
    const QStringList expected{"btnPrev",  "btnStart",   "btnEnd",   "btnNext",
                               "Command1", "txtIgline",  "txtTruck", "Editor",
                               "picTruck", "btnReadTxt", "txtHeads"};
    QStringList visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
        visited << window->focusWidget()->objectName();
    }
    QCOMPARE(visited, expected);
    QVERIFY(editorText().isEmpty());  // Tab moved on and typed nothing
}

void tst_frmMain::frameAndMenu() {
    QCOMPARE(window->windowTitle(), QStringLiteral("Axlewise by Quenby"));
    const int menuHeight = window->menuBar()->height();
    QCOMPARE(window->centralWidget()->geometry(), QRect(0, menuHeight, 682, 465));
    window->resize(900, 700);
    QCOMPARE(window->size(), QSize(682, 465 + menuHeight));
    QVERIFY(AllWhite(picture()));

    // "File" first: Open, a separator, Exit, without shortcuts. The menus
    // after it are new ones.
    QMenu* file = window->menuBar()->actions().first()->menu();
    QStringList items{file->title()};
    for (QAction* item : file->actions()) {
        items << (item->isSeparator() ? QStringLiteral("-") : item->text());
        QVERIFY(item->shortcuts().isEmpty());
    }
    QCOMPARE(items, QStringList({"File", "Open", "-", "Exit"}));
    QStringList menus;
    for (QAction* menu : window->menuBar()->actions()) {
        menus << menu->menu()->objectName();
    }
    QCOMPARE(menus, QStringList({"FileMenu", "GoMenu", "ViewMenu"}));
    // The menu and the message boxes are in the controls' type face.
    const QString family = QFontInfo(find(QStringLiteral("Label1"))->font()).family();
    QMessageBox box;
    for (QWidget* widget : QList<QWidget*>{window->menuBar(), file, &box}) {
        QCOMPARE(QFontInfo(widget->font()).family(), family);
    }
    find<QAction>(QStringLiteral("FileExit"))->trigger();
    QVERIFY(!window->isVisible());
}

void tst_frmMain::panelColumnsAligned() {
    // A nine-axle truck with the widest value of every field, at the last
    // hundredth of the year.
    const FieldValues widest{9999, 31,  12, 99,  23,  59,  59,  99,  999, 9999, 999,
                             9,    9,   9,  999, 999, 99,  999, 99,  999, 99,   999,
                             99,   999, 99, 999, 99,  999, 99,  999, 99,  999};
    read(QByteArray::fromStdString(TruckLine(widest)));
    QVERIFY(messages.isEmpty());

    auto* heads = find<QPlainTextEdit>(QStringLiteral("txtHeads"));
    auto* truck = find<QPlainTextEdit>(QStringLiteral("txtTruck"));
    QCOMPARE(panel().last(), QStringLiteral("31190399.99"));
    // Line n of a column (all 34 lines of both): whether it is one screen line
    // wholly in view; its top in the window; its height.
    const auto line = [this](QPlainTextEdit* column, int n) {
        const QTextBlock block = column->document()->findBlockByNumber(n);
        const QRect rect = column->cursorRect(QTextCursor(block));
        return QList<int>{block.isValid() && block.layout()->lineCount() == 1 &&
                              rect.bottom() < column->viewport()->height(),
                          column->viewport()->mapTo(window.get(), rect.topLeft()).y(),
                          rect.height()};
    };
    for (int n = 0; n < 34; ++n) {
        QCOMPARE(line(heads, n), line(truck, n));
        QCOMPARE(line(heads, n).first(), 1);
    }
}

void tst_frmMain::navigate_data() {
    QTest::addColumn<int>("trucks");
    QTest::addColumn<QString>("shown");  // after Next, Next, Next, Prev, Prev, Start, End; 0: none
    QTest::newRow("3 trucks: Next from 3 to 1, Previous from 1 to 3") << 3 << "2313213";
    QTest::newRow("1 truck") << 1 << "1111111";
    QTest::newRow("no truck: nothing happens") << 0 << "0000000";
}

void tst_frmMain::navigate() {
    QFETCH(int, trucks);
    QFETCH(QString, shown);
    // Pasted as users paste: a 78-character line ended by CRLF, a 77-character
    // line, and no break after the last.
    const QByteArrayList lines{Line(1001).replace("\n", "0\r\n"), Line(1002),
                               Line(1003).chopped(1)};
    if (trucks > 0) {
        read(lines.mid(0, trucks).join());
        QCOMPARE(label(), QStringLiteral("No. Trucks is %1").arg(trucks));
        QCOMPARE(panel().mid(0, 2), QStringList({"1", "1001"}));
    }
    QString steps;
    for (const char* button :
         {"btnNext", "btnNext", "btnNext", "btnPrev", "btnPrev", "btnStart", "btnEnd"}) {
        click(QString::fromLatin1(button));
        steps += QString::number(window->state().CurrentTruck);
        QCOMPARE(panel().first(), window->state().CurrentTruck ? steps.right(1) : QString());
    }
    QCOMPARE(steps, shown);
    QVERIFY(messages.isEmpty());
}

void tst_frmMain::open_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("ignore");
    QTest::addColumn<QByteArray>("contents");
    const QByteArray heads = "WIM SITE 12\nHEAD DDMMYY\n";
    QTest::newRow("2 head lines skipped") << "button"
                                          << "2" << heads + ThreeTrucks();
    QTest::newRow("CRLF and a byte order mark")
        << "menu"
        << "0"
        << "\xEF\xBB\xBF" + QByteArray(ThreeTrucks()).replace("\n", "\r\n");
}

// A file opened either way: three trucks, truck 1 shown, the text in the box
// as the editor shows it; a cancelled dialog afterwards changes nothing, and
// the dialog opens on the file chosen last.
void tst_frmMain::open() {
    QFETCH(QString, how);
    QFETCH(QString, ignore);
    QFETCH(QByteArray, contents);
    find<QLineEdit>(QStringLiteral("txtIgline"))->setText(ignore);
    const QString path = write(QStringLiteral("trucks.txt"), contents);
    open(how, path);
    QCOMPARE(label(), QStringLiteral("No. Trucks is 3"));
    QCOMPARE(panel().mid(0, 2), QStringList({"1", "1001"}));
    const QByteArray echo = contents.startsWith("WIM") ? contents : ThreeTrucks();
    QCOMPARE(editorText(), echo);
    QCOMPARE(window->state().FileName, path.toStdString());

    click(QStringLiteral("btnNext"));
    open(how, std::nullopt);
    QCOMPARE(window->state().CurrentTruck, 2);
    QCOMPARE(editorText(), echo);
    QCOMPARE(window->state().FileName, path.toStdString());
    QCOMPARE(messages, QStringList());
    QCOMPARE(requests.last().fileName, path);
}

void tst_frmMain::openUnreadablePath_reportsItAndKeepsEverything_data() {
    QTest::addColumn<QString>("name");  // of the path chosen; empty: a bad ignore count
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing file") << "missing.txt"
                                  << "No such file or directory";
    QTest::newRow("a folder") << "."
                              << "Is a directory";
    QTest::newRow("bad ignore count") << ""
                                      << "No of lines to ignore: \"2x\" is not a number";
}

void tst_frmMain::openUnreadablePath_reportsItAndKeepsEverything() {
    QFETCH(QString, name);
    QFETCH(QString, reason);
    holdThree();
    const QString path = name.isEmpty() ? write(QStringLiteral("more.txt"), ThreeTrucks())
                                        : QDir(dir.path()).filePath(name);
    if (name.isEmpty()) {
        find<QLineEdit>(QStringLiteral("txtIgline"))->setText(QStringLiteral("2x"));
    }
    open(QStringLiteral("button"), path);
    QCOMPARE(messages, QStringList{FailedToOpen(path) + reason});
    QCOMPARE(window->state().NoTrucks, 3);
    QCOMPARE(window->state().CurrentTruck, 3);
    QCOMPARE(editorText(), ThreeTrucks());
    QVERIFY(window->state().FileName.empty());
}

void tst_frmMain::loadFailingOnItsFirstLines_saysHowToSkipThem_data() {
    QTest::addColumn<QString>("ignore");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("hint");  // empty: none
    const QByteArray head = "WIM site 12, lane 1\n";
    QTest::newRow("one head line") << "0" << head + ThreeTrucks() << kHint.arg("1 head line", "1");
    QTest::newRow("two head lines, one ignored")
        << "1" << head + head + ThreeTrucks() << kHint.arg("2 head lines", "2");
    QTest::newRow("bad line 10 after blank lines")
        << "0" << QByteArray(9, '\n') + head + ThreeTrucks() << kHint.arg("10 head lines", "10");
    QTest::newRow("bad line 11: too far in") << "0" << QByteArray(10, '\n') + head << "";
    const QByteArray site = "WIM site 12\r\n";
    QByteArray utf16;
    for (const char c : site + ThreeTrucks()) {
        utf16 += QByteArray(1, c) + '\0';
    }
    const QString notText =
        QStringLiteral("The file looks like UTF-16 text; save it as UTF-8 or Latin-1.");
    QTest::newRow("UTF-16 with a byte order mark") << "0"
                                                   << "\xFF\xFE" + utf16 << notText;
    QTest::newRow("UTF-16 without one") << "0" << utf16 << notText;
    QTest::newRow("a text file whose first line holds a control byte")
        << "0"
        << "WIM\x1B[31m site\n" + ThreeTrucks() << "";
}

// When no truck of the file was read and it failed within its first lines, the
// message ends with the way out.
void tst_frmMain::loadFailingOnItsFirstLines_saysHowToSkipThem() {
    QFETCH(QString, ignore);
    QFETCH(QByteArray, contents);
    QFETCH(QString, hint);
    find<QLineEdit>(QStringLiteral("txtIgline"))->setText(ignore);
    const QString path = write(QStringLiteral("head.txt"), contents);
    open(QStringLiteral("menu"), path);
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].startsWith(FailedToOpen(path)), qPrintable(messages[0]));
    QCOMPARE(messages[0].section('\n', 2), hint);
}

void tst_frmMain::pasteBadLine_saysWhatHappened() {
    const QByteArray text = Line(1001) + Line(1002, 9, "1x3");
    read(text);
    QCOMPARE(messages,
             QStringList{QStringLiteral("(x) Could not read the pasted trucks.\n"
                                        R"(line 2: SPEED (columns 19-21): "1x3" is not a number)"
                                        "\n1 truck before it was added.")});
    QCOMPARE(label(), QStringLiteral("No. Trucks is 1"));
    QCOMPARE(window->state().CurrentTruck, 0);
    QCOMPARE(editorText(), text);
}

void tst_frmMain::oneAxleTruck_clearsThePictureAndWarns() {
    read(Line(1001) + Line(1002, kNoAxlesField, "1"));
    QVERIFY(!AllWhite(picture()));
    click(QStringLiteral("btnNext"));
    QCOMPARE(messages, QStringList{"(x) This truck's geometry is erroneous"});
    QCOMPARE(panel().mid(0, 2), QStringList({"2", "1002"}));
    QVERIFY(AllWhite(picture()));
}

void tst_frmMain::checkLine_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("text");  // the line shown, "…" when cut
    QTest::addColumn<bool>("failed");   // in dark red
    QTest::addColumn<int>("tips");      // lines of the tooltip
    QTest::newRow("all passed") << Line(1001) << "Checks: all passed" << false << 0;
    QTest::newRow("one failure") << Line(1001, kGvwField, "233")
                                 << "Checks: axle weights sum to 362, GVW is 233 (+55.4%)" << true
                                 << 1;
    // The sample truck told it has one axle: the sum, the count and eight
    // weights and spacings beyond it.
    QTest::newRow("too many to show: cut")
        << Line(1001, kNoAxlesField, "1") << QString::fromUtf8("…") << true << 10;
}

void tst_frmMain::checkLine() {
    QFETCH(QByteArray, line);
    QFETCH(QString, text);
    QFETCH(bool, failed);
    QFETCH(int, tips);
    read(line);
    auto* checks = find<QLabel>(QStringLiteral("lblChecks"));
    QVERIFY2(checks->text() == text || (text.size() == 1 && checks->text().endsWith(text)),
             qPrintable(checks->text()));
    QVERIFY(checks->fontMetrics().horizontalAdvance(checks->text()) <=
            checks->contentsRect().width());
    const QColor colour = checks->palette().color(QPalette::WindowText);
    QCOMPARE(colour, failed ? QColor(0x8B, 0, 0) : window->palette().color(QPalette::WindowText));
    QCOMPARE(checks->toolTip().isEmpty() ? 0 : checks->toolTip().count('\n') + 1, tips);
}

void tst_frmMain::diagramOnScreen() {
    read(Line(1001));
    auto* box = find<PictureBox>(QStringLiteral("picTruck"));
    const QPoint origin = box->mapTo(window.get(), box->contentsRect().topLeft());
    const QImage shot = window->grab().toImage();
    // The sample truck's axles stand at x 0, 36, 49, 107 and 120 of a scale from
    // -10 to 200 over the 431 pixels inside the border: at columns 20, 94, 121,
    // 240 and 266; y 0 of -35 to 5 over 127 pixels is row 111. Across each
    // axle: black ring, white hub, black ring.
    QString pixels;
    for (int column : {20, 94, 121, 240, 266}) {
        for (int dx : {-7, 0, 7}) {
            const QPoint point = origin + QPoint(column + dx, 111);
            pixels += shot.pixelColor(point).lightness() < 128 ? '#' : '.';
        }
    }
    QCOMPARE(pixels, QString("#.#").repeated(5));
    // Its sunken border shows on all four sides, in the colours of the text
    // boxes' border.
    const auto edges = [&shot, this](QWidget* control) {
        const QRect r(control->mapTo(window.get(), QPoint(0, 0)), control->size());
        return QList<QRgb>{
            shot.pixel(r.left(), r.center().y()), shot.pixel(r.center().x(), r.top()),
            shot.pixel(r.right(), r.center().y()), shot.pixel(r.center().x(), r.bottom())};
    };
    QCOMPARE(edges(box), edges(find(QStringLiteral("txtTruck"))));
    QVERIFY(!edges(box).contains(qRgb(255, 255, 255)));
}

// The focus starts in the captions: Enter there, then typing into the
// values, as a user hoping to jump to a truck would, change neither column,
// so every value still stands beside its caption. Both can still be
// selected and copied.
void tst_frmMain::panels_readOnlyButSelectable() {
    auto* heads = find<QPlainTextEdit>(QStringLiteral("txtHeads"));
    auto* truck = find<QPlainTextEdit>(QStringLiteral("txtTruck"));
    const QString captions = heads->toPlainText();
    QCOMPARE(window->focusWidget(), heads);
    QTest::keyClick(heads, Qt::Key_Return);
    holdThree();
    QCOMPARE(heads->toPlainText(), captions);
    QCOMPARE(panel().mid(0, 2), QStringList({"3", "1003"}));
    truck->setFocus();
    QTest::keyClicks(truck, QStringLiteral("2"));
    QTest::keyClick(truck, Qt::Key_Return);
    QTest::keyClick(truck, Qt::Key_Delete);
    QCOMPARE(panel().mid(0, 3), QStringList({"3", "1003", "14"}));
    // Selected by keys and copied.
    QTest::keyClick(truck, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(truck, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(truck, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("3\n"));
}

// The file's columns line up in the fixed-width font; the window's font is
// the default, and the choice is the one setting kept for the next run.
void tst_frmMain::fixedWidthFont_isRemembered() {
    auto* fixed = find<QAction>(QStringLiteral("ViewFixedFont"));
    QVERIFY(fixed->isCheckable() && !fixed->isChecked());
    const QFont windowFont = editor()->font();
    QVERIFY(!QFontInfo(windowFont).fixedPitch());
    fixed->trigger();
    QVERIFY(QFontInfo(editor()->font()).fixedPitch());
    QCOMPARE(editor()->font().pointSizeF(), windowFont.pointSizeF());

    frmMain next;
    auto* nextFixed = next.findChild<QAction*>(QStringLiteral("ViewFixedFont"));
    QVERIFY(nextFixed->isChecked());
    QVERIFY(QFontInfo(next.findChild<TextBox*>(QStringLiteral("Editor"))->font()).fixedPitch());
    nextFixed->trigger();
    QCOMPARE(next.findChild<TextBox*>(QStringLiteral("Editor"))->font(), windowFont);
    QVERIFY(!frmMain().findChild<QAction*>(QStringLiteral("ViewFixedFont"))->isChecked());
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"

// The main window end to end: its controls found by name and clicked, typed
// into and read, with the open dialog and the message boxes substituted.

#include "window/frmMain.h"

#include "TruckLines.h"
#include "window/PictureBox.h"
#include "window/TextBox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <memory>
#include <optional>
#include <utility>

using namespace axlewise;
using namespace axlewise::test;

namespace {

// A truck line and its break, with the text of one field replaced if given.
QByteArray Line(int head, int field = 1, std::string_view text = {}) {
    const std::string line = TruckLine(head);
    return QByteArray::fromStdString(text.empty() ? line : WithField(line, field, text)) + '\n';
}
const QByteArray kThree = Line(1001) + Line(1002) + Line(1003);
const QString kFailed = QStringLiteral("Unkown error while opening file %1\n");
const QString kHint = QStringLiteral(
    "If the file starts with %1, type %2 in \"No of lines to ignore at the start of the file\".");

// Keeps each message box's text, after "(x) " when it has the critical icon.
struct RecordingBoxes : MessageBoxes {
    explicit RecordingBoxes(QStringList* into) : sink(into) {}
    QStringList* sink;
    void MsgBox(QWidget*, const QString& text, MsgIcon icon) override {
        sink->append((icon == MsgIcon::Critical ? "(x) " : "") + text);
    }
};

bool AllWhite(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

class tst_frmMain : public QObject {
    Q_OBJECT

private slots:
    void init();

    void everyCaptionFitsItsControl();
    void tabOrderFollowsTheLayout();
    void frameAndMenu();
    void oneTypeFaceEverywhere();
    void pictureHasTheTextBoxesBorder();
    void panelColumnsAligned();

    void navigate_data();
    void navigate();
    void open_data();
    void open();
    void openUnreadablePath_reportsItAndKeepsEverything_data();
    void openUnreadablePath_reportsItAndKeepsEverything();
    void loadBadLine_keepsEarlierTrucks();
    void loadFailingOnItsFirstLines_saysHowToSkipThem_data();
    void loadFailingOnItsFirstLines_saysHowToSkipThem();
    void hugeLines_reportedWithTrucksKept_data();
    void hugeLines_reportedWithTrucksKept();
    void cancelProgress_leavesEverythingAsItWas_data();
    void cancelProgress_leavesEverythingAsItWas();
    void inputDuringLoad_neverActs();

    void pasteBadLine_saysWhatHappened();
    void typedAndPastedText_isWhatIsRead();
    void oneAxleTruck_clearsThePictureAndWarns();
    void checkLine_data();
    void checkLine();
    void diagramOnScreen();

private:
    template <typename T = QWidget>
    T* find(const QString& name) {
        return window->findChild<T*>(name);
    }
    TextBox* editor() { return find<TextBox>(QStringLiteral("Editor")); }
    QByteArray editorText() { return QByteArray::fromStdString(editor()->text().str()); }
    void click(const QString& name) { QTest::mouseClick(find(name), Qt::LeftButton); }
    void read(const QByteArray& text) {
        editor()->setText(SharedText(text.toStdString()));
        click(QStringLiteral("btnReadTxt"));
    }
    // Opens through the menu or the Open button; the dialog answers (nullopt: Cancel).
    void open(const QString& how, const std::optional<QString>& reply) {
        answer = reply;
        if (how == QLatin1String("menu")) {
            find<QAction>(QStringLiteral("FileOpen"))->trigger();
        } else {
            click(QStringLiteral("Command1"));
        }
    }
    QString write(const QString& name, const QByteArray& contents) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
            return {};
        }
        return file.fileName();
    }
    // Three trucks read from a file opened through the menu, the last on show.
    void holdThree() {
        open(QStringLiteral("menu"), write(QStringLiteral("three.txt"), kThree));
        click(QStringLiteral("btnEnd"));
    }
    QString label() { return find<QLabel>(QStringLiteral("lblNoTrucks"))->text(); }
    QStringList panel() {
        return find<QPlainTextEdit>(QStringLiteral("txtTruck"))->toPlainText().split('\n');
    }
    const QImage& picture() {
        return find<PictureBox>(QStringLiteral("picTruck"))->surface().image();
    }

    QStringList messages;
    std::optional<QString> answer;
    QList<CommonDialog::Request> requests;
    std::unique_ptr<frmMain> window;
    QTemporaryDir dir;
};

void tst_frmMain::init() {
    messages.clear();
    requests.clear();
    window = std::make_unique<frmMain>();
    window->setMessageBoxes(std::make_unique<RecordingBoxes>(&messages));
    window->CommonDialog1().setRunner([this](const CommonDialog::Request& request) {
        requests.append(request);
        return std::exchange(answer, std::nullopt);
    });
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

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

    // One menu, "File": Open, a separator, Exit; no shortcuts.
    QStringList items;
    for (QAction* menu : window->menuBar()->actions()) {
        items << menu->text();
        for (QAction* item : menu->menu()->actions()) {
            items << (item->isSeparator() ? QStringLiteral("-") : item->text());
            QVERIFY(item->shortcuts().isEmpty());
        }
    }
    QCOMPARE(items, QStringList({"File", "Open", "-", "Exit"}));
    find<QAction>(QStringLiteral("FileExit"))->trigger();
    QVERIFY(!window->isVisible());
}

// The menu, the dialogs and the message boxes are in the controls' type face.
void tst_frmMain::oneTypeFaceEverywhere() {
    const QString family = QFontInfo(find(QStringLiteral("Label1"))->font()).family();
    QMessageBox box(window.get());
    QFileDialog dialog(window.get());
    QProgressDialog progress(window.get());
    const QList<QWidget*> others{window->menuBar(), find<QMenu>(QStringLiteral("FileMenu")), &box,
                                 &dialog, &progress};
    for (QWidget* widget : others) {
        QCOMPARE(QFontInfo(widget->font()).family(), family);
    }
}

// picTruck's sunken border shows on all four sides, in the colours of the text
// boxes' border.
void tst_frmMain::pictureHasTheTextBoxesBorder() {
    const QImage shot = window->grab().toImage();
    const auto edges = [&](QWidget* box) {
        const QRect r(box->mapTo(window.get(), QPoint(0, 0)), box->size());
        const QPoint middle = r.center();
        return QList<QRgb>{shot.pixel(r.left(), middle.y()), shot.pixel(middle.x(), r.top()),
                           shot.pixel(r.right(), middle.y()), shot.pixel(middle.x(), r.bottom())};
    };
    const QList<QRgb> picture = edges(find(QStringLiteral("picTruck")));
    QCOMPARE(picture, edges(find(QStringLiteral("txtTruck"))));
    QVERIFY(!picture.contains(qRgb(255, 255, 255)));
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
    QCOMPARE(heads->toPlainText().split('\n').size(), 34);
    QCOMPARE(heads->verticalScrollBar()->maximum(), 0);
    QCOMPARE(truck->verticalScrollBar()->maximum(), 0);
    // Line n of a column: whether it is one screen line wholly in view; its top in
    // the window; its height.
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
    QTest::newRow("menu") << "menu"
                          << "0" << kThree;
    QTest::newRow("Open button") << "button"
                                 << "0" << kThree;
    QTest::newRow("2 head lines skipped") << "button"
                                          << "2" << heads + kThree;
    QTest::newRow("CRLF and a byte order mark")
        << "menu"
        << "0"
        << "\xEF\xBB\xBF" + QByteArray(kThree).replace("\n", "\r\n");
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
    QCOMPARE(messages, QStringList());
    QCOMPARE(label(), QStringLiteral("No. Trucks is 3"));
    QCOMPARE(panel().mid(0, 2), QStringList({"1", "1001"}));
    const QByteArray echo = contents.startsWith("WIM") ? contents : kThree;
    QCOMPARE(editorText(), echo);
    QCOMPARE(window->state().FileName, path.toStdString());

    click(QStringLiteral("btnNext"));
    open(how, std::nullopt);
    QCOMPARE(messages, QStringList());
    QCOMPARE(window->state().CurrentTruck, 2);
    QCOMPARE(editorText(), echo);
    QCOMPARE(window->state().FileName, path.toStdString());
    QCOMPARE(requests.last().nameFilters, QStringList({"Text files (*.txt)", "All files (*.*)"}));
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
    const QString path = name.isEmpty() ? write(QStringLiteral("more.txt"), kThree)
                                        : QDir(dir.path()).filePath(name);
    if (name.isEmpty()) {
        find<QLineEdit>(QStringLiteral("txtIgline"))->setText(QStringLiteral("2x"));
    }
    open(QStringLiteral("button"), path);
    QCOMPARE(messages, QStringList{kFailed.arg(path) + reason});
    QCOMPARE(window->state().NoTrucks, 3);
    QCOMPARE(window->state().CurrentTruck, 3);
    QCOMPARE(editorText(), kThree);
    QVERIFY(window->state().FileName.empty());
}

void tst_frmMain::loadBadLine_keepsEarlierTrucks() {
    holdThree();
    const QByteArray bad = Line(1004) + Line(1005) + Line(1006, 9, "1x3") + Line(1007);
    const QString path = write(QStringLiteral("bad.txt"), bad);
    open(QStringLiteral("menu"), path);
    // No hint: trucks of this file were read before the bad line.
    QCOMPARE(messages, QStringList{kFailed.arg(path) +
                                   R"(line 3: SPEED (columns 19-21): "1x3" is not a number)"});
    QCOMPARE(label(), QStringLiteral("No. Trucks is 5"));
    QCOMPARE(window->state().CurrentTruck, 3);
    QCOMPARE(panel().first(), QStringLiteral("3"));
    QCOMPARE(editorText(), bad.left(3 * bad.indexOf('\n') + 3));
    QVERIFY(window->state().FileName.empty());
    click(QStringLiteral("btnNext"));
    QCOMPARE(panel().mid(0, 2), QStringList({"4", "1004"}));
}

void tst_frmMain::loadFailingOnItsFirstLines_saysHowToSkipThem_data() {
    QTest::addColumn<QString>("ignore");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("hint");  // empty: none
    const QByteArray head = "WIM site 12, lane 1\n";
    QTest::newRow("one head line") << "0" << head + kThree << kHint.arg("1 head line", "1");
    QTest::newRow("two head lines, one ignored")
        << "1" << head + head + kThree << kHint.arg("2 head lines", "2");
    QTest::newRow("bad line 10 after blank lines")
        << "0" << QByteArray(9, '\n') + head + kThree << kHint.arg("10 head lines", "10");
    QTest::newRow("bad line 11: too far in") << "0" << QByteArray(10, '\n') + head << "";
    QTest::newRow("a truck read before: no hint") << "0" << Line(1001) + head << "";
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
    QVERIFY2(messages[0].startsWith(kFailed.arg(path)), qPrintable(messages[0]));
    QCOMPARE(messages[0].section('\n', 2), hint);
}

void tst_frmMain::hugeLines_reportedWithTrucksKept_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a 10 MB line") << QByteArray(10'000'000, 'x')
                                  << R"(HEAD (columns 1-4): "xxxx" is not a number)";
    QTest::newRow("1,000,000 NUL bytes")
        << QByteArray(1'000'000, '\0') << R"(HEAD (columns 1-4): "\0\0\0\0" is not a number)";
}

// A file whose second line is huge: the truck before it is read, the message
// names the line, the box holds the whole line but lays out only its start.
void tst_frmMain::hugeLines_reportedWithTrucksKept() {
    QFETCH(QByteArray, line);
    QFETCH(QString, reason);
    holdThree();
    const QString path = write(QStringLiteral("huge.txt"), Line(1004) + line);
    open(QStringLiteral("menu"), path);
    QCOMPARE(messages, QStringList{kFailed.arg(path) + QStringLiteral("line 2: ") + reason});
    QCOMPARE(window->state().NoTrucks, 4);
    QCOMPARE(window->state().Trucks.back().RawLine.str(), Line(1004).chopped(1).toStdString());
    QCOMPARE(editor()->text().size(), std::size_t(Line(1004).size() + line.size() + 1));
    QVERIFY(editor()
                ->shownLineText(LineNumber(1))
                .endsWith(QStringLiteral(" more characters not shown")));
}

void tst_frmMain::cancelProgress_leavesEverythingAsItWas_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("file load") << "file";
    QTest::newRow("pasted read") << "paste";
}

// Cancel in the progress dialog: no truck added, the label, the truck on
// show, FileName and the box as before, no message, no dialog left.
void tst_frmMain::cancelProgress_leavesEverythingAsItWas() {
    QFETCH(QString, how);
    holdThree();
    QByteArray many;
    for (int i = 0; i < 20'000; ++i) {
        many += Line(i % 10'000);
    }
    const QString path = write(QStringLiteral("many.txt"), many);
    window->setProgressDialogDelay(0);
    // Cancel, pressed once reading the lines is well under way (trucks were added).
    QTimer canceller;
    connect(&canceller, &QTimer::timeout, [&] {
        auto* progress = window->findChild<QProgressDialog*>();
        if (progress != nullptr && progress->isVisible() && progress->value() > 300) {
            QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
            canceller.stop();
        }
    });
    canceller.start(0);
    const SharedText before = editor()->text();
    if (how == QLatin1String("paste")) {
        editor()->setText(SharedText(many.toStdString()));
        click(QStringLiteral("btnReadTxt"));
    } else {
        open(QStringLiteral("menu"), path);
    }
    QVERIFY(!canceller.isActive());
    QCOMPARE(messages, QStringList());
    QCOMPARE(window->state().NoTrucks, 3);
    QCOMPARE(window->state().Trucks.size(), std::size_t(4));
    QCOMPARE(label(), QStringLiteral("No. Trucks is 3"));
    QCOMPARE(window->state().CurrentTruck, 3);
    QCOMPARE(panel().first(), QStringLiteral("3"));
    QCOMPARE(window->state().FileName, dir.filePath(QStringLiteral("three.txt")).toStdString());
    if (how == QLatin1String("file")) {
        QCOMPARE(editor()->text().block(), before.block());
    }
    QVERIFY(window->findChildren<QProgressDialog*>().isEmpty());
}

// Keys and clicks that reach the window while a load is busy are swallowed:
// they never act on it, during the load or afterwards.
void tst_frmMain::inputDuringLoad_neverActs() {
    auto* ignore = find<QLineEdit>(QStringLiteral("txtIgline"));
    ignore->setFocus();
    const QString path = write(QStringLiteral("three.txt"), kThree);
    // A shortcut would start a second command inside this one.
    QAction shortcut(window.get());
    shortcut.setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_R));
    window->addAction(&shortcut);
    int sent = 0, triggered = 0;
    connect(&shortcut, &QAction::triggered, [&] { ++triggered; });
    QTimer::singleShot(0, [&] {
        QTest::keyClick(ignore, Qt::Key_5);
        QTest::mouseClick(find(QStringLiteral("btnReadTxt")), Qt::LeftButton);
        QTest::keyClick(ignore, Qt::Key_R, Qt::ControlModifier);
        ++sent;
    });
    open(QStringLiteral("menu"), path);
    QCOMPARE(sent, 1);
    QCOMPARE(triggered, 0);
    QCOMPARE(ignore->text(), QStringLiteral("0"));
    QCOMPARE(window->state().NoTrucks, 3);
    // Afterwards the window answers again.
    QTest::keyClick(ignore, Qt::Key_5);
    QCOMPARE(ignore->text(), QStringLiteral("05"));
    QTest::keyClick(ignore, Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(triggered, 1);
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

// What "Read Pasted Truck(s)" reads is the box's text after typing, pasting,
// deleting and undoing in it.
void tst_frmMain::typedAndPastedText_isWhatIsRead() {
    TextBox* box = editor();
    box->setFocus();
    const QByteArray first = Line(1001).chopped(1), second = Line(1002).chopped(1);
    QTest::keyClicks(box, QString::fromLatin1(first) + QStringLiteral("??"));
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Return);
    QApplication::clipboard()->setText(QString::fromLatin1(second) + QStringLiteral("\r\n"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClicks(box, QStringLiteral("junk"));
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editorText(), first + '\n' + second + '\n');
    click(QStringLiteral("btnReadTxt"));
    QCOMPARE(messages, QStringList());
    QCOMPARE(window->state().NoTrucks, 2);
    QCOMPARE(window->state().Truck(2).RawLine.str(), second.toStdString());
}

void tst_frmMain::oneAxleTruck_clearsThePictureAndWarns() {
    read(Line(1001) + Line(1002, kNoAxlesField, "1"));
    QVERIFY(!AllWhite(picture()));
    click(QStringLiteral("btnNext"));
    QCOMPARE(messages, QStringList{"(x) This truck's geometry is erroneous"});
    QCOMPARE(panel().mid(0, 2), QStringList({"2", "1002"}));
    QVERIFY(AllWhite(picture()));
    QVERIFY(find<QLabel>(QStringLiteral("lblChecks"))
                ->text()
                .contains(QStringLiteral("NO. AXLES is 1")));
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
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"

// The main window: its layout, and its commands end to end, given by clicking the
// controls found by name, with the open dialog and the message boxes substituted.

#include "window/frmMain.h"

#include "TruckLines.h"
#include "window/PictureBox.h"

#include <QAction>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <memory>
#include <optional>
#include <utility>

using namespace axlewise;
using namespace axlewise::test;

namespace {

// A truck line and its break, with the text of one field replaced if given.
QString Line(int head, int field = 1, std::string_view text = {}) {
    const std::string line = TruckLine(head);
    return QString::fromStdString(text.empty() ? line : WithField(line, field, text)) + '\n';
}
const QString kThree = Line(1001) + Line(1002) + Line(1003);
const QString kFailed = "Unkown error while opening file %1\n";

// Keeps each message box's text, after "(x) " when it has the critical icon.
struct RecordingBoxes : MessageBoxes {
    explicit RecordingBoxes(QStringList* into) : sink(into) {}
    QStringList* sink;
    void MsgBox(QWidget*, const QString& text, MsgIcon icon) override {
        sink->append((icon == MsgIcon::Critical ? "(x) " : "") + text);
    }
};

}  // namespace

class tst_frmMain : public QObject {
    Q_OBJECT

private slots:
    void init();

    void controls_data();
    void controls();
    void tabOrder();
    void frameAndMenu();
    void panelColumnsAligned();
    void navigate_data();
    void navigate();
    void commands_data();
    void commands();
    void diagramOnScreen();

private:
    template <typename T = QWidget>
    T* find(const QString& name) {
        return window->findChild<T*>(name);
    }
    QString text(const QString& box) { return find<QPlainTextEdit>(box)->toPlainText(); }
    void click(const QString& name) { QTest::mouseClick(find(name), Qt::LeftButton); }
    void read(const QString& text) {
        find<QPlainTextEdit>("Editor")->setPlainText(text);
        click("btnReadTxt");
    }
    // Opens through the menu or the Open button; the dialog answers (nullopt: Cancel).
    void open(const QString& how, const std::optional<QString>& reply) {
        answer = reply;
        if (how == "menu") {
            find<QAction>("FileOpen")->trigger();
        } else {
            click("Command1");
        }
    }
    QString label() { return find<QLabel>("lblNoTrucks")->text(); }
    QStringList panel() { return text("txtTruck").split('\n'); }

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
}

void tst_frmMain::controls_data() {
    QTest::addColumn<QRect>("twips");   // left, top, width, height in the client area
    QTest::addColumn<QString>("text");  // caption, or the first line of a text box
    QTest::addColumn<bool>("bold");
    // Row tags are the controls' object names.
    QTest::newRow("txtHeads") << QRect(6960, 0, 1815, 6735) << "TRUCK NO.:" << true;
    QTest::newRow("lblNoTrucks") << QRect(240, 240, 2535, 255) << "No of Trucks" << true;
    QTest::newRow("btnPrev") << QRect(1200, 1800, 855, 375) << "Previous" << false;
    QTest::newRow("btnStart") << QRect(240, 1800, 855, 375) << "Start" << false;
    QTest::newRow("btnEnd") << QRect(3120, 1800, 855, 375) << "End" << false;
    QTest::newRow("btnNext") << QRect(2160, 1800, 855, 375) << "Next" << false;
    QTest::newRow("Command1") << QRect(3120, 1200, 855, 375) << "Open" << false;
    QTest::newRow("Label1") << QRect(240, 720, 3015, 255)
                            << "No of lines to ignore at the start of the file" << false;
    QTest::newRow("txtIgline") << QRect(3360, 720, 615, 285) << "0" << false;
    QTest::newRow("txtTruck") << QRect(8760, 0, 1215, 6735) << "" << true;
    QTest::newRow("Label3") << QRect(240, 2520, 3015, 255) << "Actual File Contents:" << false;
    QTest::newRow("Editor") << QRect(240, 3000, 6495, 1695) << "" << false;
    QTest::newRow("picTruck") << QRect(240, 4800, 6495, 1935) << "" << false;
    QTest::newRow("btnReadTxt") << QRect(240, 1200, 1815, 375) << "Read Pasted Truck(s)" << false;
}

void tst_frmMain::controls() {
    QFETCH(QRect, twips);
    QFETCH(QString, text);
    QFETCH(bool, bold);
    QWidget* control = find(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(control != nullptr && control->isVisible());
    QCOMPARE(control->geometry(),
             QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    QCOMPARE(QFontInfo(control->font()).bold(), bold);  // the font found, not only asked for
    const bool count = control->objectName() == "lblNoTrucks";
    QCOMPARE(control->font().pointSizeF(), count ? 9.75 : 8.25);
    QCOMPARE(control->font().families().value(0), QStringLiteral("MS Sans Serif"));

    const bool caption = control->property("text").isValid();  // labels, buttons, txtIgline
    QCOMPARE(control->property(caption ? "text" : "plainText").toString().section('\n', 0, 0),
             text);
    if (!caption) {
        return;
    }
    QRect room = control->contentsRect();
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    }
    const QFontMetrics metrics(control->font());
    // The count label must also hold the count of a very large file.
    QCOMPARE_LE(metrics.horizontalAdvance(count ? "No. Trucks is 10000000" : text), room.width());
    QCOMPARE_LE(metrics.height(), room.height());
}

void tst_frmMain::tabOrder() {
    QCOMPARE(window->focusWidget(), find("txtHeads"));
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
}

void tst_frmMain::frameAndMenu() {
    QCOMPARE(window->windowTitle(), QStringLiteral("Axlewise by Quenby"));
    const int menuHeight = window->menuBar()->height();
    QCOMPARE(window->centralWidget()->geometry(), QRect(0, menuHeight, 682, 465));
    window->resize(900, 700);
    QCOMPARE(window->size(), QSize(682, 465 + menuHeight));

    const QImage& picture = find<PictureBox>("picTruck")->surface().image();
    QImage blank(picture.size(), picture.format());
    blank.fill(Qt::white);
    QVERIFY(picture == blank);

    // One menu, "File": Open, a separator, Exit; no access keys, no shortcuts.
    QStringList items;
    for (QAction* menu : window->menuBar()->actions()) {
        items << menu->text();
        for (QAction* item : menu->menu()->actions()) {
            items << (item->isSeparator() ? QStringLiteral("-") : item->text());
            QVERIFY(item->shortcuts().isEmpty());
        }
    }
    QCOMPARE(items, QStringList({"File", "Open", "-", "Exit"}));
    find<QAction>("FileExit")->trigger();
    QVERIFY(!window->isVisible());
}

void tst_frmMain::panelColumnsAligned() {
    // A nine-axle truck with the widest value of every field, at the last
    // hundredth of the year.
    const FieldValues widest{9999, 31,  12, 99,  23,  59,  59,  99,  999, 9999, 999,
                             9,    9,   9,  999, 999, 99,  999, 99,  999, 99,   999,
                             99,   999, 99, 999, 99,  999, 99,  999, 99,  999};
    read(QString::fromStdString(TruckLine(widest)));
    QVERIFY(messages.isEmpty());

    auto* heads = find<QPlainTextEdit>("txtHeads");
    auto* truck = find<QPlainTextEdit>("txtTruck");
    QCOMPARE(truck->toPlainText().split('\n').last(), QStringLiteral("31190399.99"));
    const QStringList captions = heads->toPlainText().split('\n');
    QCOMPARE(captions.size(), 34);
    QCOMPARE((QStringList{captions[1], captions[16], captions[17], captions[32], captions[33]}),
             (QStringList{"HEAD:", "WT AX 1:", "S AX 1 - AX 2:", "WT AX 9:", "Time (s)"}));
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
    const QStringList lines{Line(1001).replace("\n", "0\r\n"), Line(1002), Line(1003).chopped(1)};
    if (trucks > 0) {
        read(lines.mid(0, trucks).join(QString()));
        QCOMPARE(label(), QStringLiteral("No. Trucks is %1").arg(trucks));
        QCOMPARE(panel().mid(0, 2), QStringList({"1", "1001"}));
    }
    QString steps;
    for (const char* button :
         {"btnNext", "btnNext", "btnNext", "btnPrev", "btnPrev", "btnStart", "btnEnd"}) {
        click(button);
        steps += QString::number(window->state().CurrentTruck);
        QCOMPARE(panel().first(), window->state().CurrentTruck ? steps.right(1) : QString());
    }
    QCOMPARE(steps, shown);
    QVERIFY(messages.isEmpty());
}

void tst_frmMain::commands_data() {
    // After `before` trucks are read and End clicked, the command reads `input`,
    // pasted or from a file (null: no file), with `ignore` in txtIgline. `message`
    // starts its one message ("%1": the path; "(x) ": critical icon; null: none).
    QTest::addColumn<int>("before");
    QTest::addColumn<QString>("how");  // "paste", "menu" or "button"
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("ignore");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<int>("previous");  // CurrentTruck after Previous
    const QString heads = "WIM SITE 12\nHEAD DDMMYY\n";
    const QString bad = Line(1001) + Line(1002) + Line(1003, 9, "1x3") + Line(1004);
    const QString echo = bad.section('\n', 0, 2) + '\n';
    const QString oneAxle = Line(1001, kNoAxlesField, "1") + Line(1002);
    const QString badPaste = Line(1001) + Line(1002, 9, "1x3");
    const QString gvw0 = Line(1001, kGvwField, "0");
    const QString null;
    QTest::newRow("menu") << 0 << "menu" << kThree << "0" << null << 3 << 1 << kThree << 3;
    QTest::newRow("Open button, 2 head lines skipped")
        << 0 << "button" << heads + kThree << "2" << null << 3 << 1 << heads + kThree << 3;
    QTest::newRow("unreadable path")
        << 3 << "menu" << null << "0" << kFailed << 3 << 3 << kThree << 2;
    QTest::newRow("bad txtIgline")
        << 3 << "button" << kThree << "2x" << kFailed << 3 << 3 << kThree << 2;
    QTest::newRow("bad line 3") << 3 << "menu" << bad << "0" << kFailed + "line 3: SPEED" << 5 << 3
                                << echo << 2;
    QTest::newRow("bad line 3 in a first load: Previous from 0 to the last")
        << 0 << "menu" << bad << "0" << kFailed + "line 3: SPEED" << 2 << 0 << echo << 2;
    QTest::newRow("bad pasted line: said in plain words")
        << 0 << "paste" << badPaste << "0"
        << "(x) Could not read the pasted trucks.\nline 2: SPEED" << 1 << 0 << badPaste << 1;
    QTest::newRow("one-axle truck: the geometry message")
        << 0 << "paste" << oneAxle << "0"
        << "(x) This truck's geometry is erroneous" << 2 << 1 << oneAxle << 2;
    QTest::newRow("gross weight 0: drawn without an error")
        << 0 << "paste" << gvw0 << "0" << null << 1 << 1 << gvw0 << 1;
}

void tst_frmMain::commands() {
    QFETCH(int, before);
    QFETCH(QString, how);
    QFETCH(QString, input);
    QFETCH(QString, ignore);
    QFETCH(QString, message);
    QFETCH(int, total);
    QFETCH(int, current);
    QFETCH(QString, editor);
    QFETCH(int, previous);
    if (before > 0) {
        read(kThree);
        click("btnEnd");
    }
    find<QLineEdit>("txtIgline")->setText(ignore);
    const QString path = dir.filePath(input.isNull() ? "missing.txt" : "trucks.txt");
    if (how == "paste") {
        read(input);
    } else {
        QFile file(path);
        QVERIFY(input.isNull() ||
                (file.open(QIODevice::WriteOnly) && file.write(input.toUtf8()) > 0));
        file.close();
        open(how, path);
    }
    QCOMPARE(messages.size(), message.isNull() ? 0 : 1);
    if (!message.isNull()) {
        // A break that ends the message's first line has a reason after it.
        QVERIFY2(messages[0].startsWith(QString(message).replace("%1", path)) &&
                     !messages[0].endsWith('\n'),
                 qPrintable(messages[0]));
    }
    QCOMPARE(window->state().NoTrucks, TruckIndex{total});
    QCOMPARE(label(), QStringLiteral("No. Trucks is %1").arg(total));
    QCOMPARE(window->state().CurrentTruck, TruckIndex{current});
    QCOMPARE(panel().first(), current ? QString::number(current) : QString());
    QCOMPARE(text("Editor"), editor);
    // The path chosen last is kept when its load succeeds, emptied when it fails.
    const std::string fileName =
        how == "paste" || !message.isNull() ? std::string() : path.toStdString();
    QCOMPARE(window->state().FileName, fileName);

    // The window goes on working: Previous, then Cancel, which changes nothing.
    click("btnPrev");
    open(how == "button" ? how : "menu", std::nullopt);
    QCOMPARE(messages.size(), message.isNull() ? 0 : 1);
    QCOMPARE(window->state().CurrentTruck, TruckIndex{previous});
    QCOMPARE(panel().first(), QString::number(previous));
    QCOMPARE(text("Editor"), editor);
    QCOMPARE(window->state().FileName, fileName);  // a cancel changes nothing
    const CommonDialog::Request& request = requests.last();
    QCOMPARE(request.flags, CommonDialog::kFileMustExist);
    QCOMPARE(request.defaultExt, QStringLiteral("txt"));
    QCOMPARE(request.nameFilters, QStringList({"Text files (*.txt)", "All files (*.*)"}));
    if (message.isNull() && how != "paste") {
        QCOMPARE(request.fileName, path);  // the dialog opens on the file chosen last
    }
}

void tst_frmMain::diagramOnScreen() {
    read(Line(1001));
    auto* picture = find<PictureBox>("picTruck");
    const QPointF origin = picture->mapTo(window.get(), picture->contentsRect().topLeft());
    const QImage shot = window->grab().toImage();
    // The sample truck's axles stand at x 0, 36, 49, 107 and 120 of a scale from
    // -10 to 200 over the 431 pixels inside the border: at columns 20, 94, 121,
    // 240 and 266; y 0 of -35 to 5 over 127 pixels is row 111. Across each
    // axle: black ring, white hub, black ring.
    QString pixels;
    for (int column : {20, 94, 121, 240, 266}) {
        for (int dx : {-7, 0, 7}) {
            const QPoint point = origin.toPoint() + QPoint(column + dx, 111);
            pixels += shot.pixelColor(point).lightness() < 128 ? '#' : '.';
        }
    }
    QCOMPARE(pixels, QString("#.#").repeated(5));
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"

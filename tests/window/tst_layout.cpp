// The main window's layout: where every control stands, what it says, its font,
// the tab order, the menu, and the two columns of the truck panel.

#include "WindowHarness.h"
#include "window/PictureBox.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTest>
#include <QTextBlock>

#include <memory>

using namespace axlewise;
using namespace axlewise::testing;

namespace {

// The pixel rectangle of a control given in twips, at 15 twips per pixel.
QRect FromTwips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

// Where line `n` of a text box stands in window coordinates.
QRect LineRect(QPlainTextEdit* box, int n, QWidget* window) {
    QTextCursor cursor(box->document()->findBlockByNumber(n));
    const QRect inViewport = box->cursorRect(cursor);
    return QRect(box->viewport()->mapTo(window, inViewport.topLeft()), inViewport.size());
}

}  // namespace

class tst_Layout : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void frame();
    void geometry_data();
    void geometry();
    void captions_data();
    void captions();
    void fonts_data();
    void fonts();
    void captionFits_data();
    void captionFits();
    void textBoxes_data();
    void textBoxes();
    void buttonsAreNeverDefault();
    void menu();
    void tabOrder();
    void headsColumn();
    void panelColumnsAligned();
    void initialState();

private:
    std::unique_ptr<Harness> h;
};

void tst_Layout::init() {
    h = std::make_unique<Harness>();
    QVERIFY(QTest::qWaitForWindowExposed(&h->window));
}

void tst_Layout::cleanup() {
    h.reset();
}

void tst_Layout::frame() {
    frmMain& window = h->window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Axlewise by Quenby"));

    // The client area (10230 x 6975 twips) lies right below the menu bar.
    const int menuHeight = window.menuBar()->height();
    QVERIFY(menuHeight > 0);
    QCOMPARE(window.centralWidget()->geometry(), QRect(0, menuHeight, 682, 465));
    QCOMPARE(window.size(), QSize(682, 465 + menuHeight));

    // Not resizable: the frame admits one size only, and asking for another fails.
    QCOMPARE(window.minimumSize(), window.size());
    QCOMPARE(window.maximumSize(), window.size());
    window.resize(900, 700);
    QCOMPARE(window.size(), QSize(682, 465 + menuHeight));
    QVERIFY(!window.windowIcon().isNull());
}

void tst_Layout::geometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");  // in pixels, from the twips of the layout

    QTest::newRow("txtHeads: caption column") << "txtHeads" << FromTwips(6960, 0, 1815, 6735);
    QTest::newRow("lblNoTrucks: count label") << "lblNoTrucks" << FromTwips(240, 240, 2535, 255);
    QTest::newRow("btnPrev") << "btnPrev" << FromTwips(1200, 1800, 855, 375);
    QTest::newRow("btnStart") << "btnStart" << FromTwips(240, 1800, 855, 375);
    QTest::newRow("btnEnd") << "btnEnd" << FromTwips(3120, 1800, 855, 375);
    QTest::newRow("btnNext") << "btnNext" << FromTwips(2160, 1800, 855, 375);
    QTest::newRow("Command1: Open button") << "Command1" << FromTwips(3120, 1200, 855, 375);
    QTest::newRow("Label1: lines to ignore") << "Label1" << FromTwips(240, 720, 3015, 255);
    QTest::newRow("txtIgline") << "txtIgline" << FromTwips(3360, 720, 615, 285);
    QTest::newRow("txtTruck: value column") << "txtTruck" << FromTwips(8760, 0, 1215, 6735);
    QTest::newRow("Label3: file contents") << "Label3" << FromTwips(240, 2520, 3015, 255);
    QTest::newRow("Editor") << "Editor" << FromTwips(240, 3000, 6495, 1695);
    QTest::newRow("picTruck") << "picTruck" << FromTwips(240, 4800, 6495, 1935);
    QTest::newRow("btnReadTxt") << "btnReadTxt" << FromTwips(240, 1200, 1815, 375);
}

void tst_Layout::geometry() {
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QWidget* control = h->find(name);
    QVERIFY(control->isVisible());
    // Relative to the top-left corner of the client area.
    QCOMPARE(control->mapTo(h->window.centralWidget(), QPoint(0, 0)), rect.topLeft());
    QCOMPARE(control->size(), rect.size());
}

void tst_Layout::captions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");

    QTest::newRow("lblNoTrucks") << "lblNoTrucks"
                                 << "No of Trucks";
    QTest::newRow("btnPrev") << "btnPrev"
                             << "Previous";
    QTest::newRow("btnStart") << "btnStart"
                              << "Start";
    QTest::newRow("btnEnd") << "btnEnd"
                            << "End";
    QTest::newRow("btnNext") << "btnNext"
                             << "Next";
    QTest::newRow("Command1") << "Command1"
                              << "Open";
    QTest::newRow("Label1") << "Label1"
                            << "No of lines to ignore at the start of the file";
    QTest::newRow("txtIgline") << "txtIgline"
                               << "0";
    QTest::newRow("Label3") << "Label3"
                            << "Actual File Contents:";
    QTest::newRow("btnReadTxt") << "btnReadTxt"
                                << "Read Pasted Truck(s)";
}

void tst_Layout::captions() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QWidget* control = h->find(name);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        QCOMPARE(label->text(), caption);
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        QCOMPARE(button->text(), caption);
        // No access key: no '&' turned into an underlined letter and a shortcut.
        QVERIFY(button->shortcut().isEmpty());
    } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
        QCOMPARE(line->text(), caption);
    } else {
        QFAIL("unexpected kind of control");
    }
}

void tst_Layout::fonts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");

    QTest::newRow("caption column: bold") << "txtHeads" << 8.25 << true;
    QTest::newRow("value column: bold") << "txtTruck" << 8.25 << true;
    QTest::newRow("count label: larger and bold") << "lblNoTrucks" << 9.75 << true;
    QTest::newRow("Label1: window font") << "Label1" << 8.25 << false;
    QTest::newRow("Label3: window font") << "Label3" << 8.25 << false;
    QTest::newRow("btnReadTxt: window font") << "btnReadTxt" << 8.25 << false;
    QTest::newRow("btnPrev: window font") << "btnPrev" << 8.25 << false;
    QTest::newRow("txtIgline: window font") << "txtIgline" << 8.25 << false;
    QTest::newRow("Editor: window font") << "Editor" << 8.25 << false;
    QTest::newRow("picTruck: window font") << "picTruck" << 8.25 << false;
}

void tst_Layout::fonts() {
    QFETCH(QString, name);
    QFETCH(qreal, points);
    QFETCH(bool, bold);
    const QFont font = h->find(name)->font();
    QCOMPARE(font.pointSizeF(), points);
    QCOMPARE(font.bold(), bold);
    // The font actually found is bold too, not only the one asked for.
    QCOMPARE(QFontInfo(font).bold(), bold);
}

void tst_Layout::captionFits_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("lblNoTrucks") << "lblNoTrucks";
    QTest::newRow("Label1: the longest label") << "Label1";
    QTest::newRow("Label3") << "Label3";
    QTest::newRow("btnPrev: the longest short button") << "btnPrev";
    QTest::newRow("btnStart") << "btnStart";
    QTest::newRow("btnEnd") << "btnEnd";
    QTest::newRow("btnNext") << "btnNext";
    QTest::newRow("Command1") << "Command1";
    QTest::newRow("btnReadTxt") << "btnReadTxt";
    QTest::newRow("txtIgline") << "txtIgline";
}

void tst_Layout::captionFits() {
    QFETCH(QString, name);
    QWidget* control = h->find(name);
    const QFontMetrics metrics(control->font());
    QString caption;
    QRect room;
    if (auto* label = qobject_cast<QLabel*>(control)) {
        caption = label->text();
        room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                              -label->margin());
        QVERIFY(!label->wordWrap());
    } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
        caption = line->text();
        QStyleOptionFrame option;
        option.initFrom(line);
        option.lineWidth = line->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, line);
        // The line edit keeps a margin of 2 px across and 1 px down inside its frame.
        room = line->style()
                   ->subElementRect(QStyle::SE_LineEditContents, &option, line)
                   .marginsRemoved(line->textMargins() + QMargins(2, 1, 2, 1));
    } else {
        auto* button = qobject_cast<QPushButton*>(control);
        QVERIFY(button != nullptr);
        caption = button->text();
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = caption;
        room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    }
    QVERIFY2(metrics.horizontalAdvance(caption) <= room.width(),
             qPrintable(QStringLiteral("\"%1\" needs %2 px, has %3")
                            .arg(caption)
                            .arg(metrics.horizontalAdvance(caption))
                            .arg(room.width())));
    QVERIFY2(
        metrics.height() <= room.height(),
        qPrintable(
            QStringLiteral("line of %1 px in %2 px").arg(metrics.height()).arg(room.height())));
}

void tst_Layout::textBoxes_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("verticalScrollBar");

    QTest::newRow("caption column: no scroll bars") << "txtHeads" << false;
    QTest::newRow("value column: no scroll bars") << "txtTruck" << false;
    QTest::newRow("Editor: vertical scroll bar") << "Editor" << true;
}

void tst_Layout::textBoxes() {
    QFETCH(QString, name);
    QFETCH(bool, verticalScrollBar);
    auto* box = h->find<QPlainTextEdit>(name);
    QCOMPARE(box->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff, verticalScrollBar);
    QCOMPARE(box->verticalScrollBar()->isVisible(), verticalScrollBar);
    // No horizontal scroll bar: long lines wrap on the screen instead.
    QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QVERIFY(!box->isReadOnly());
    QVERIFY(box->isEnabled());

    // Wrapping is only on the screen: a line wider than the box stays one line
    // of text.
    const QString wide = TruckLine(MakeTruck(1001, {60, 120, 120}, {40, 13})).repeated(3);
    box->setPlainText(wide);
    QVERIFY(box->document()->firstBlock().layout()->lineCount() > 1);
    QCOMPARE(box->toPlainText(), wide);
}

void tst_Layout::buttonsAreNeverDefault() {
    const QList<QPushButton*> buttons = h->window.findChildren<QPushButton*>();
    QCOMPARE(buttons.size(), 6);
    for (QPushButton* button : buttons) {
        QVERIFY2(!button->isDefault() && !button->autoDefault(), qPrintable(button->objectName()));
    }
}

void tst_Layout::menu() {
    const QList<QAction*> bar = h->window.menuBar()->actions();
    QCOMPARE(bar.size(), 1);
    auto* file = h->find<QMenu>(QStringLiteral("FileMenu"));
    QCOMPARE(bar.first()->menu(), file);
    QCOMPARE(file->title(), QStringLiteral("File"));
    QVERIFY(QKeySequence::mnemonic(file->title()).isEmpty());

    const QList<QAction*> items = file->actions();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0]->objectName(), QStringLiteral("FileOpen"));
    QCOMPARE(items[0]->text(), QStringLiteral("Open"));
    QCOMPARE(items[1]->objectName(), QStringLiteral("mnuBar2"));
    QVERIFY(items[1]->isSeparator());
    QCOMPARE(items[2]->objectName(), QStringLiteral("FileExit"));
    QCOMPARE(items[2]->text(), QStringLiteral("Exit"));
    for (QAction* item : items) {
        QVERIFY(item->shortcuts().isEmpty());
        QVERIFY(QKeySequence::mnemonic(item->text()).isEmpty());
        QVERIFY(item->isEnabled());
    }
}

void tst_Layout::tabOrder() {
    h->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&h->window));
    QCOMPARE(QApplication::focusWidget(), h->find(QStringLiteral("txtHeads")));

    // Labels and the picture take no focus; the text boxes pass Tab on.
    const QStringList expected{"btnPrev",   "btnStart", "btnEnd", "btnNext",    "Command1",
                               "txtIgline", "txtTruck", "Editor", "btnReadTxt", "txtHeads"};
    QStringList visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, expected);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("btnReadTxt"));
    // Tab moved the focus and typed nothing.
    QCOMPARE(h->text(QStringLiteral("Editor")), QString());
    QCOMPARE(h->text(QStringLiteral("txtTruck")), QString());
}

void tst_Layout::headsColumn() {
    auto* heads = h->find<QPlainTextEdit>(QStringLiteral("txtHeads"));
    QStringList lines = heads->toPlainText().split(QLatin1Char('\n'));
    if (lines.last().isEmpty()) {
        lines.removeLast();  // the break after the last caption
    }
    QStringList expected{
        "TRUCK NO.:", "HEAD:",      "DAY:",        "MONTH:",        "YEAR:", "HOUR:",
        "MINUTE:",    "SECOND:",    "SECOND/100:", "SPEED:",        "GVW:",  "LENGTH:",
        "NO. AXLES:", "DIRECTION:", "LANE:",       "TRNS LANE POS:"};
    for (int axle = 1; axle <= 9; ++axle) {
        expected << QStringLiteral("WT AX %1:").arg(axle);
        if (axle < 9) {
            expected << QStringLiteral("S AX %1 - AX %2:").arg(axle).arg(axle + 1);
        }
    }
    expected << QStringLiteral("Time (s)");
    QCOMPARE(lines, expected);

    // All 34 lines show at once, each on one screen line, and nothing scrolls.
    QCOMPARE(heads->verticalScrollBar()->maximum(), 0);
    for (int n = 0; n < 34; ++n) {
        const QTextBlock block = heads->document()->findBlockByNumber(n);
        QVERIFY2(block.layout()->lineCount() == 1, qPrintable(block.text()));
    }
    const QRect last = heads->cursorRect(QTextCursor(heads->document()->findBlockByNumber(33)));
    QVERIFY(last.bottom() < heads->viewport()->height());
}

void tst_Layout::panelColumnsAligned() {
    // A nine-axle truck with the widest values of every column, on the last
    // hundredth of day 31 of month 12.
    TruckValues values = MakeTruck(-999, {999, 999, 999, 999, 999, 999, 999, 999, 999},
                                   {99, 99, 99, 99, -9, 99, 99, 99});
    Value(values, kDayField) = 31;
    Value(values, kMonthField) = 12;
    Value(values, kHourField) = 23;
    Value(values, kMinuteField) = 59;
    Value(values, kSecondField) = 59;
    Value(values, kHundredthsField) = 99;
    Value(values, kGvwField) = 8991;
    auto* editor = h->find<QPlainTextEdit>(QStringLiteral("Editor"));
    editor->setPlainText(TruckLine(values) + QLatin1Char('\n'));
    QTest::mouseClick(h->find(QStringLiteral("btnReadTxt")), Qt::LeftButton);
    QCOMPARE(h->truckLines(), PanelLines(1, values, QStringLiteral("31190399.99")));
    QVERIFY(h->messages.isEmpty());

    auto* heads = h->find<QPlainTextEdit>(QStringLiteral("txtHeads"));
    auto* truck = h->find<QPlainTextEdit>(QStringLiteral("txtTruck"));
    QCOMPARE(truck->verticalScrollBar()->maximum(), 0);
    for (int n = 0; n < 34; ++n) {
        const QTextBlock block = truck->document()->findBlockByNumber(n);
        QVERIFY2(block.layout()->lineCount() == 1, qPrintable(block.text()));
        const QRect caption = LineRect(heads, n, &h->window);
        const QRect value = LineRect(truck, n, &h->window);
        QVERIFY2(caption.top() == value.top() && caption.height() == value.height(),
                 qPrintable(QStringLiteral("line %1: caption at %2+%3, value at %4+%5")
                                .arg(n + 1)
                                .arg(caption.top())
                                .arg(caption.height())
                                .arg(value.top())
                                .arg(value.height())));
    }
    const QRect last = truck->cursorRect(QTextCursor(truck->document()->findBlockByNumber(33)));
    QVERIFY(last.bottom() < truck->viewport()->height());
}

void tst_Layout::initialState() {
    QCOMPARE(h->find<QLineEdit>(QStringLiteral("txtIgline"))->text(), QStringLiteral("0"));
    QCOMPARE(h->find<QLabel>(QStringLiteral("lblNoTrucks"))->text(),
             QStringLiteral("No of Trucks"));
    QCOMPARE(h->text(QStringLiteral("Editor")), QString());
    QCOMPARE(h->text(QStringLiteral("txtTruck")), QString());
    for (QPushButton* button : h->window.findChildren<QPushButton*>()) {
        QVERIFY(button->isEnabled());
    }

    const BrowserState& state = h->window.state();
    QCOMPARE(state.NoTrucks, TruckIndex{0});
    QCOMPARE(state.CurrentTruck, TruckIndex{0});
    QVERIFY(state.Trucks.empty());
    QVERIFY(state.FileName.empty());

    // A blank picture: every pixel the background colour.
    const QImage& image = h->find<PictureBox>(QStringLiteral("picTruck"))->surface().image();
    QVERIFY(!image.isNull());
    QImage white(image.size(), image.format());
    white.fill(Qt::white);
    QVERIFY(image == white);

    h->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&h->window));
    QCOMPARE(QApplication::focusWidget(), h->find(QStringLiteral("txtHeads")));
    QVERIFY(h->messages.isEmpty());
}

QTEST_MAIN(tst_Layout)
#include "tst_layout.moc"

// The main window end to end: commands given by clicking the controls found by
// name, the open dialog and the message boxes substituted so that nothing blocks.

#include "WindowHarness.h"
#include "window/PictureBox.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>
#include <memory>
#include <vector>

using namespace axlewise;
using namespace axlewise::testing;

namespace {

// Three trucks of different shapes and times of passage.
TruckValues Truck1() {
    return MakeTruck(1001, {60, 120, 120}, {40, 13});  // GVW 300, 5285106.07 s
}

TruckValues Truck2() {
    TruckValues values = MakeTruck(1002, {80, 120}, {50});  // GVW 200
    Value(values, kDayField) = 1;
    Value(values, kMonthField) = 1;
    Value(values, kHourField) = 0;
    Value(values, kMinuteField) = 0;
    Value(values, kSecondField) = 0;
    Value(values, kHundredthsField) = 0;
    return values;
}

TruckValues Truck3() {
    TruckValues values = MakeTruck(1003, {50, 90, 90, 85, 85}, {35, 12, 60, 12});  // GVW 400
    Value(values, kDayField) = 31;
    Value(values, kMonthField) = 12;
    Value(values, kHourField) = 23;
    Value(values, kMinuteField) = 59;
    Value(values, kSecondField) = 59;
    Value(values, kHundredthsField) = 99;
    return values;
}

const QList<TruckValues>& Trucks() {
    static const QList<TruckValues> trucks{Truck1(), Truck2(), Truck3()};
    return trucks;
}

QStringList Times() {
    return {QStringLiteral("5285106.07"), QStringLiteral("0"), QStringLiteral("31190399.99")};
}

// The value column for truck `n` (1-based) of Trucks().
QStringList Panel(int n) {
    return PanelLines(n, Trucks()[n - 1], Times()[n - 1]);
}

QStringList Lines(const QList<TruckValues>& trucks) {
    QStringList lines;
    for (const TruckValues& truck : trucks) {
        lines << TruckLine(truck);
    }
    return lines;
}

// What the editor shows after a file load: every line read, each with a break.
QString Echo(const QStringList& lines) {
    QString text;
    for (const QString& line : lines) {
        text += line + QLatin1Char('\n');
    }
    return text;
}

// A truck line whose SPEED is not a number.
QString BadLine() {
    return WithField(TruckLine(Truck1()), 9, QStringLiteral("1x3"));
}

// The x of every axle of a truck: the running sum of its spacings.
QList<int> AxlePositions(const TruckValues& truck) {
    TruckValues values = truck;
    QList<int> positions{0};
    for (int k = 1; k < Value(values, kNoAxlesField); ++k) {
        positions << positions.last() + Value(values, AxleSpacingField(k));
    }
    return positions;
}

// What is wrong with the diagram of `truck` in `image`, whose surface has its
// top-left corner at `origin` (logical pixels): every wheel shows a black ring
// around a white hub, and the road halfway between two wheels is white.
QStringList DiagramProblems(const QImage& image, QPointF origin, const QImageSurface& surface,
                            const TruckValues& truck) {
    QStringList problems;
    const QList<int> axles = AxlePositions(truck);
    for (qsizetype i = 0; i < axles.size(); ++i) {
        const float x = static_cast<float>(axles[i]);
        const QPointF centre = surface.toPixels(x, 0);
        const qreal wheel = surface.toPixels(x + 5, 0).x() - centre.x();
        const qreal hub = surface.toPixels(x + 5.0F / 3, 0).x() - centre.x();
        const qreal ring = (wheel + hub) / 2;
        if (!IsWhite(PixelAt(image, origin + centre))) {
            problems << QStringLiteral("hub of axle %1 at x %2 is not white").arg(i + 1).arg(x);
        }
        for (QPointF step : {QPointF(ring, 0), QPointF(-ring, 0), QPointF(0, ring)}) {
            if (!IsBlack(PixelAt(image, origin + centre + step))) {
                problems
                    << QStringLiteral("ring of axle %1 at x %2 is not black").arg(i + 1).arg(x);
            }
        }
        if (i > 0) {
            const float between = static_cast<float>(axles[i - 1] + axles[i]) / 2;
            if (!IsWhite(PixelAt(image, origin + surface.toPixels(between, 0)))) {
                problems << QStringLiteral("gap at x %1 is not white").arg(between);
            }
        }
    }
    return problems;
}

}  // namespace

class tst_frmMain : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readPasted_data();
    void readPasted();
    void navigate_data();
    void navigate();
    void navigateWithoutTrucks_data();
    void navigateWithoutTrucks();
    void navigateAfterFailedFirstLoad_data();
    void navigateAfterFailedFirstLoad();
    void errorLeavingButtonThenNextClickWorks();
    void nothingLoadedIsNotAnError_data();
    void nothingLoadedIsNotAnError();
    void emptyLoadShowsFirstTruckHeld_data();
    void emptyLoadShowsFirstTruckHeld();

    void openFile_data();
    void openFile();
    void cancelIsSilent_data();
    void cancelIsSilent();
    void unreadablePath_data();
    void unreadablePath();
    void badLineInFile_data();
    void badLineInFile();
    void badIgnoreCount_data();
    void badIgnoreCount();

    void fewerThanTwoAxles_data();
    void fewerThanTwoAxles();
    void zeroGrossWeightDraws();
    void windowShowsDiagram();
    void localeDecimalSeparator();
    void exitClosesWindow();

private:
    void click(const QString& name) { QTest::mouseClick(h->find(name), Qt::LeftButton); }
    void paste(const QString& text) {
        h->find<QPlainTextEdit>(QStringLiteral("Editor"))->setPlainText(text);
    }
    void readPasted(const QStringList& lines) {
        paste(Echo(lines));
        click(QStringLiteral("btnReadTxt"));
    }
    QString countLabel() { return h->find<QLabel>(QStringLiteral("lblNoTrucks"))->text(); }
    QImageSurface& surface() { return h->find<PictureBox>(QStringLiteral("picTruck"))->surface(); }
    // Writes a file into the test's directory and returns its path.
    QString writeFile(const QString& name, const QByteArray& contents);
    // Opens `path` the way the row says: "menu", "button" or "OpenFile".
    void open(const QString& how, const QString& path);

    std::unique_ptr<Harness> h;
    std::unique_ptr<QTemporaryDir> dir;
};

void tst_frmMain::init() {
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    h = std::make_unique<Harness>();
}

void tst_frmMain::cleanup() {
    if (h) {
        QCOMPARE(h->unexpectedDialogs, 0);
    }
    h.reset();
    dir.reset();
}

QString tst_frmMain::writeFile(const QString& name, const QByteArray& contents) {
    const QString path = dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

void tst_frmMain::open(const QString& how, const QString& path) {
    if (how == QLatin1String("OpenFile")) {
        h->window.OpenFile(path);
        return;
    }
    h->answers.append(path);
    if (how == QLatin1String("menu")) {
        h->find<QAction>(QStringLiteral("FileOpen"))->trigger();
    } else {
        click(QStringLiteral("Command1"));
    }
}

// ---- Pasted trucks and navigation -------------------------------------------

void tst_frmMain::readPasted_data() {
    QTest::addColumn<QString>("text");
    const QStringList lines = Lines(Trucks());

    QTest::newRow("three lines, LF") << Echo(lines);
    QTest::newRow("three lines, CRLF") << lines.join(QStringLiteral("\r\n")) + "\r\n";
    QTest::newRow("no break after the last line") << lines.join(QLatin1Char('\n'));
    QTest::newRow("a blank line between trucks")
        << lines[0] + "\n\n" + lines[1] + "\n" + lines[2] + "\n";
    QTest::newRow("77-character lines")
        << Echo({lines[0].left(77), lines[1].left(77), lines[2].left(77)});
}

void tst_frmMain::readPasted() {
    QFETCH(QString, text);
    paste(text);
    const QString shown = h->text(QStringLiteral("Editor"));
    click(QStringLiteral("btnReadTxt"));

    QVERIFY(h->messages.isEmpty());
    QCOMPARE(countLabel(), QStringLiteral("No. Trucks is 3"));
    QCOMPARE(h->window.state().NoTrucks, TruckIndex{3});
    QCOMPARE(h->window.state().CurrentTruck, TruckIndex{1});
    QCOMPARE(h->truckLines(), Panel(1));
    QCOMPARE(h->text(QStringLiteral("Editor")), shown);
    const QStringList problems = DiagramProblems(surface().image(), {}, surface(), Truck1());
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
}

void tst_frmMain::navigate_data() {
    QTest::addColumn<int>("trucks");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("shown");

    QTest::newRow("three: Next from 1") << 3 << QStringList{"btnNext"} << 2;
    QTest::newRow("three: Next, Next") << 3 << QStringList{"btnNext", "btnNext"} << 3;
    QTest::newRow("three: Next from 3 wraps to 1") << 3 << QStringList{"btnEnd", "btnNext"} << 1;
    QTest::newRow("three: Previous from 1 wraps to 3") << 3 << QStringList{"btnPrev"} << 3;
    QTest::newRow("three: Previous from 3") << 3 << QStringList{"btnEnd", "btnPrev"} << 2;
    QTest::newRow("three: End") << 3 << QStringList{"btnEnd"} << 3;
    QTest::newRow("three: End twice") << 3 << QStringList{"btnEnd", "btnEnd"} << 3;
    QTest::newRow("three: Start after End") << 3 << QStringList{"btnEnd", "btnStart"} << 1;
    QTest::newRow("three: Start twice") << 3 << QStringList{"btnStart", "btnStart"} << 1;
    QTest::newRow("one: Next") << 1 << QStringList{"btnNext"} << 1;
    QTest::newRow("one: Previous") << 1 << QStringList{"btnPrev"} << 1;
    QTest::newRow("one: Start") << 1 << QStringList{"btnStart"} << 1;
    QTest::newRow("one: End") << 1 << QStringList{"btnEnd"} << 1;
}

void tst_frmMain::navigate() {
    QFETCH(int, trucks);
    QFETCH(QStringList, clicks);
    QFETCH(int, shown);
    readPasted(Lines(Trucks().mid(0, trucks)));
    QCOMPARE(h->window.state().CurrentTruck, TruckIndex{1});

    for (const QString& button : clicks) {
        click(button);
    }
    QVERIFY(h->messages.isEmpty());
    QCOMPARE(h->window.state().CurrentTruck, TruckIndex{shown});
    QCOMPARE(h->truckLines(), Panel(shown));
    QCOMPARE(countLabel(), QStringLiteral("No. Trucks is %1").arg(trucks));
    // The picture follows: the wheels of the truck on show, and none of another.
    const QStringList problems =
        DiagramProblems(surface().image(), {}, surface(), Trucks()[shown - 1]);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
}

void tst_frmMain::navigateWithoutTrucks_data() {
    QTest::addColumn<QString>("button");
    QTest::newRow("Start") << "btnStart";
    QTest::newRow("Previous") << "btnPrev";
    QTest::newRow("Next") << "btnNext";
    QTest::newRow("End") << "btnEnd";
}

void tst_frmMain::navigateWithoutTrucks() {
    QFETCH(QString, button);
    const QImage before = surface().image();
    click(button);
    click(button);
    QVERIFY(h->messages.isEmpty());
    QCOMPARE(h->window.state().CurrentTruck, TruckIndex{0});
    QCOMPARE(h->text(QStringLiteral("txtTruck")), QString());
    QCOMPARE(countLabel(), QStringLiteral("No of Trucks"));
    QVERIFY(surface().image() == before);
}

void tst_frmMain::navigateAfterFailedFirstLoad_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("shown");
    QTest::newRow("Previous from 0 goes to the last") << "btnPrev" << 2;
    QTest::newRow("Next from 0 goes to the first") << "btnNext" << 1;
    QTest::newRow("Start") << "btnStart" << 1;
    QTest::newRow("End") << "btnEnd" << 2;
}

void tst_frmMain::navigateAfterFailedFirstLoad() {
    QFETCH(QString, button);
    QFETCH(int, shown);
    readPasted({TruckLine(Truck1()), TruckLine(Truck2()), BadLine(), TruckLine(Truck3())});
    QCOMPARE(h->messages.size(), 1);
    QCOMPARE(h->window.state().NoTrucks, TruckIndex{2});
    QCOMPARE(h->window.state().CurrentTruck, TruckIndex{0});
    QCOMPARE(countLabel(), QStringLiteral("No. Trucks is 2"));
    QCOMPARE(h->text(QStringLiteral("txtTruck")), QString());

    click(button);
    QCOMPARE(h->messages.size(), 1);
    QCOMPARE(h->window.state().CurrentTruck, TruckIndex{shown});
    QCOMPARE(h->truckLines(), Panel(shown));
}

void tst_frmMain::errorLeavingButtonThenNextClickWorks() {
    const QString bad = BadLine();
    readPasted({TruckLine(Truck1()), bad});
    QCOMPARE(h->messages.size(), 1);
    const Message& message = h->messages.first();
    QVERIFY2(message.text.startsWith(QStringLiteral(
                 "\"Read Pasted Truck(s)\" failed: Run-time error 13 (type mismatch)")),
             qPrintable(message.text));
    // The reason names the line, the field and the text found in it.
    QVERIFY2(message.text.contains(QStringLiteral("line 2")), qPrintable(message.text));
    QVERIFY2(message.text.contains(QStringLiteral("SPEED")), qPrintable(message.text));
    QVERIFY2(message.text.contains(QStringLiteral("1x3")), qPrintable(message.text));
    QVERIFY(message.icon == MsgIcon::Critical);
    // What the command did before the error stays; nothing was shown.
    QCOMPARE(h->window.state().NoTrucks, TruckIndex{1});
    QCOMPARE(countLabel(), QStringLiteral("No. Trucks is 1"));
    QCOMPARE(h->text(QStringLiteral("txtTruck")), QString());
    QCOMPARE(h->text(QStringLiteral("Editor")), Echo({TruckLine(Truck1()), bad}));

    // The window goes on working: the mended text reads and shows truck 1.
    readPasted(Lines(Trucks()));
    QCOMPARE(h->messages.size(), 1);
    QCOMPARE(h->window.state().NoTrucks, TruckIndex{4});
    QCOMPARE(countLabel(), QStringLiteral("No. Trucks is 4"));
    QCOMPARE(h->truckLines(), Panel(1));
    click(QStringLiteral("btnEnd"));
    QCOMPARE(h->messages.size(), 1);
    QCOMPARE(h->window.state().CurrentTruck, TruckIndex{4});
}

void tst_frmMain::nothingLoadedIsNotAnError_data() {
    QTest::addColumn<QString>("how");  // "paste" or a way to open a file
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("ignore");

    QTest::newRow("empty editor") << "paste" << QByteArray() << "0";
    QTest::newRow("blank lines pasted") << "paste" << QByteArray("\n  \n\n") << "0";
    QTest::newRow("empty file") << "menu" << QByteArray() << "0";
    QTest::newRow("file of head lines only")
        << "button" << QByteArray("WIM SITE 12\nHEAD DDMMYY\n") << "2";
}

void tst_frmMain::nothingLoadedIsNotAnError() {
    QFETCH(QString, how);
    QFETCH(QByteArray, contents);
    QFETCH(QString, ignore);
    h->find<QLineEdit>(QStringLiteral("txtIgline"))->setText(ignore);
    if (how == QLatin1String("paste")) {
        paste(QString::fromUtf8(contents));
        click(QStringLiteral("btnReadTxt"));
    } else {
        open(how, writeFile(QStringLiteral("nothing.txt"), contents));
        QCOMPARE(h->text(QStringLiteral("Editor")), QString::fromUtf8(contents));
    }
    QVERIFY(h->messages.isEmpty());
    QCOMPARE(countLabel(), QStringLiteral("No. Trucks is 0"));
    QCOMPARE(h->window.state().CurrentTruck, TruckIndex{0});
    QCOMPARE(h->text(QStringLiteral("txtTruck")), QString());
}

void tst_frmMain::emptyLoadShowsFirstTruckHeld_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("empty editor") << "paste";
    QTest::newRow("empty file") << "menu";
}

void tst_frmMain::emptyLoadShowsFirstTruckHeld() {
    QFETCH(QString, how);
    readPasted(Lines(Trucks()));
    click(QStringLiteral("btnEnd"));
    if (how == QLatin1String("paste")) {
        paste(QString());
        click(QStringLiteral("btnReadTxt"));
    } else {
        open(how, writeFile(QStringLiteral("empty.txt"), QByteArray()));
    }
    QVERIFY(h->messages.isEmpty());
    QCOMPARE(countLabel(), QStringLiteral("No. Trucks is 3"));
    QCOMPARE(h->window.state().CurrentTruck, TruckIndex{1});
    QCOMPARE(h->truckLines(), Panel(1));
    QCOMPARE(h->text(QStringLiteral("Editor")), QString());
}

// ---- Truck files ---------------------------------------------------------------

void tst_frmMain::openFile_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("head");
    QTest::addColumn<QString>("ignore");
    QTest::addColumn<bool>("latin1");  // the file in Latin-1 rather than UTF-8

    QTest::newRow("menu item") << "menu" << QStringList() << "0" << false;
    QTest::newRow("Open button") << "button" << QStringList() << "0" << false;
    QTest::newRow("OpenFile") << "OpenFile" << QStringList() << "0" << false;
    QTest::newRow("menu item, two head lines ignored")
        << "menu" << QStringList{"WIM SITE 12, NORTHBOUND", "HEAD DDMMYYHHMMSS"} << "2" << false;
    QTest::newRow("Open button, one head line ignored")
        << "button" << QStringList{"HEAD DDMMYYHHMMSS"} << "1" << false;
    QTest::newRow("OpenFile, UTF-8 head line")
        << "OpenFile" << QStringList{"Messstelle Hauptstraße → Nord"} << "1" << false;
    QTest::newRow("OpenFile, Latin-1 head line")
        << "OpenFile" << QStringList{"Messstelle Hauptstraße, Süd"} << "1" << true;
}

void tst_frmMain::openFile() {
    QFETCH(QString, how);
    QFETCH(QStringList, head);
    QFETCH(QString, ignore);
    QFETCH(bool, latin1);
    const QStringList lines = head + Lines(Trucks());
    const QString path = writeFile(QStringLiteral("trucks.txt"),
                                   latin1 ? Echo(lines).toLatin1() : Echo(lines).toUtf8());
    h->find<QLineEdit>(QStringLiteral("txtIgline"))->setText(ignore);

    open(how, path);
    QVERIFY(h->messages.isEmpty());
    QCOMPARE(countLabel(), QStringLiteral("No. Trucks is 3"));
    QCOMPARE(h->text(QStringLiteral("Editor")), Echo(lines));
    QCOMPARE(h->window.state().CurrentTruck, TruckIndex{1});
    QCOMPARE(h->truckLines(), Panel(1));
    QCOMPARE(QString::fromStdString(h->window.state().FileName), path);
    const QStringList problems = DiagramProblems(surface().image(), {}, surface(), Truck1());
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));

    // Going on to the last truck, then opening the same file again: the trucks
    // are appended and truck 1 is shown.
    click(QStringLiteral("btnEnd"));
    open(how, path);
    QVERIFY(h->messages.isEmpty());
    QCOMPARE(countLabel(), QStringLiteral("No. Trucks is 6"));
    QCOMPARE(h->window.state().CurrentTruck, TruckIndex{1});
    QCOMPARE(h->truckLines(), Panel(1));
    QCOMPARE(h->text(QStringLiteral("Editor")), Echo(lines));
    click(QStringLiteral("btnEnd"));
    QCOMPARE(h->truckLines(), PanelLines(6, Truck3(), Times()[2]));

    if (how == QLatin1String("OpenFile")) {
        QVERIFY(h->requests.isEmpty());
        return;
    }
    // The dialog: existing text files, and from the second time on it opens on
    // the file chosen last.
    QCOMPARE(h->requests.size(), 2);
    const CommonDialog::Request& first = h->requests.first();
    QCOMPARE(first.parent, &h->window);
    QCOMPARE(first.flags, CommonDialog::kFileMustExist);
    QCOMPARE(first.defaultExt, QStringLiteral("txt"));
    QCOMPARE(first.nameFilters, QStringList({QStringLiteral("Text files (*.txt)"),
                                             QStringLiteral("All files (*.*)")}));
    QCOMPARE(first.fileName, QString());
    QCOMPARE(h->requests[1].fileName, path);
}

void tst_frmMain::cancelIsSilent_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("menu item") << "menu";
    QTest::newRow("Open button") << "button";
}

void tst_frmMain::cancelIsSilent() {
    QFETCH(QString, how);
    const QString path = writeFile(QStringLiteral("trucks.txt"), Echo(Lines(Trucks())).toUtf8());
    h->window.OpenFile(path);
    click(QStringLiteral("btnEnd"));
    const QString editor = h->text(QStringLiteral("Editor"));
    const QString truck = h->text(QStringLiteral("txtTruck"));
    const QImage picture = surface().image();

    h->answers.append(std::nullopt);
    if (how == QLatin1String("menu")) {
        h->find<QAction>(QStringLiteral("FileOpen"))->trigger();
    } else {
        click(QStringLiteral("Command1"));
    }
    QCOMPARE(h->requests.size(), 1);
    QCOMPARE(h->requests.first().fileName, path);
    QVERIFY(h->messages.isEmpty());
    QCOMPARE(QString::fromStdString(h->window.state().FileName), path);
    QCOMPARE(h->window.state().NoTrucks, TruckIndex{3});
    QCOMPARE(h->window.state().CurrentTruck, TruckIndex{3});
    QCOMPARE(countLabel(), QStringLiteral("No. Trucks is 3"));
    QCOMPARE(h->text(QStringLiteral("Editor")), editor);
    QCOMPARE(h->text(QStringLiteral("txtTruck")), truck);
    QVERIFY(surface().image() == picture);
}

void tst_frmMain::unreadablePath_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("directory");

    QTest::newRow("menu item: missing file") << "menu"
                                             << "missing.txt" << false;
    QTest::newRow("Open button: missing file") << "button"
                                               << "missing.txt" << false;
    QTest::newRow("OpenFile: missing file") << "OpenFile"
                                            << "missing.txt" << false;
    QTest::newRow("menu item: a directory") << "menu"
                                            << "folder.txt" << true;
}

void tst_frmMain::unreadablePath() {
    QFETCH(QString, how);
    QFETCH(QString, name);
    QFETCH(bool, directory);
    const QString path = dir->filePath(name);
    if (directory) {
        QVERIFY(QDir(dir->path()).mkdir(name));
    }
    readPasted(Lines(Trucks()));
    click(QStringLiteral("btnEnd"));
    const QString editor = h->text(QStringLiteral("Editor"));
    const QString truck = h->text(QStringLiteral("txtTruck"));

    open(how, path);
    QCOMPARE(h->messages.size(), 1);
    const Message& message = h->messages.first();
    const QString expected = QStringLiteral("Unkown error while opening file ") + path + "\n";
    QVERIFY2(message.text.startsWith(expected), qPrintable(message.text));
    QVERIFY2(message.text.size() > expected.size(), "the reason is missing");
    QVERIFY(message.icon == MsgIcon::None);
    QVERIFY(h->window.state().FileName.empty());
    QCOMPARE(h->text(QStringLiteral("Editor")), editor);
    QCOMPARE(h->text(QStringLiteral("txtTruck")), truck);
    QCOMPARE(h->window.state().NoTrucks, TruckIndex{3});
    QCOMPARE(h->window.state().CurrentTruck, TruckIndex{3});
    QCOMPARE(countLabel(), QStringLiteral("No. Trucks is 3"));
}

void tst_frmMain::badLineInFile_data() {
    QTest::addColumn<int>("badLine");  // 1-based, of four lines
    QTest::newRow("first line bad") << 1;
    QTest::newRow("bad line in the middle") << 3;
    QTest::newRow("last line bad") << 4;
}

void tst_frmMain::badLineInFile() {
    QFETCH(int, badLine);
    readPasted(Lines({Truck2(), Truck3()}));
    click(QStringLiteral("btnEnd"));
    const QString truck = h->text(QStringLiteral("txtTruck"));
    const QImage picture = surface().image();

    QStringList lines = Lines({Truck1(), Truck2(), Truck3()});
    lines.insert(badLine - 1, BadLine());
    const QString path = writeFile(QStringLiteral("bad.txt"), Echo(lines).toUtf8());
    open(QStringLiteral("menu"), path);

    QCOMPARE(h->messages.size(), 1);
    const Message& message = h->messages.first();
    QVERIFY2(message.text.startsWith(QStringLiteral("Unkown error while opening file ") + path +
                                     QStringLiteral("\nline %1: ").arg(badLine)),
             qPrintable(message.text));
    QVERIFY2(message.text.contains(QStringLiteral("SPEED")), qPrintable(message.text));
    QVERIFY(message.icon == MsgIcon::None);

    // The trucks before the bad line stay and are counted; nothing is shown.
    const TruckIndex total = 2 + badLine - 1;
    QCOMPARE(h->window.state().NoTrucks, total);
    QCOMPARE(countLabel(), QStringLiteral("No. Trucks is %1").arg(total));
    QCOMPARE(h->window.state().CurrentTruck, TruckIndex{2});
    QCOMPARE(h->text(QStringLiteral("txtTruck")), truck);
    QVERIFY(surface().image() == picture);
    QCOMPARE(h->text(QStringLiteral("Editor")), Echo(lines.mid(0, badLine)));
    QVERIFY(h->window.state().FileName.empty());
    // The trucks kept are whole: the last of them can be shown.
    click(QStringLiteral("btnEnd"));
    QCOMPARE(h->messages.size(), 1);
    QCOMPARE(h->truckLines().first(), QString::number(total));
}

void tst_frmMain::badIgnoreCount_data() {
    QTest::addColumn<QString>("ignore");
    QTest::newRow("letters") << "abc";
    QTest::newRow("digits then letters") << "2x";
}

void tst_frmMain::badIgnoreCount() {
    QFETCH(QString, ignore);
    readPasted(Lines(Trucks()));
    click(QStringLiteral("btnNext"));
    const QString editor = h->text(QStringLiteral("Editor"));
    const QString truck = h->text(QStringLiteral("txtTruck"));

    h->find<QLineEdit>(QStringLiteral("txtIgline"))->setText(ignore);
    const QString path = writeFile(QStringLiteral("trucks.txt"), Echo(Lines(Trucks())).toUtf8());
    open(QStringLiteral("menu"), path);

    QCOMPARE(h->messages.size(), 1);
    const Message& message = h->messages.first();
    QVERIFY2(
        message.text.startsWith(QStringLiteral("Unkown error while opening file ") + path + "\n"),
        qPrintable(message.text));
    QVERIFY2(message.text.contains(ignore), qPrintable(message.text));
    QVERIFY(message.icon == MsgIcon::None);
    QCOMPARE(h->window.state().NoTrucks, TruckIndex{3});
    QCOMPARE(h->window.state().CurrentTruck, TruckIndex{2});
    QCOMPARE(countLabel(), QStringLiteral("No. Trucks is 3"));
    QCOMPARE(h->text(QStringLiteral("Editor")), editor);
    QCOMPARE(h->text(QStringLiteral("txtTruck")), truck);
    QCOMPARE(h->find<QLineEdit>(QStringLiteral("txtIgline"))->text(), ignore);
}

// ---- What the truck panel and the diagram show -------------------------------

void tst_frmMain::fewerThanTwoAxles_data() {
    QTest::addColumn<int>("axles");
    QTest::addColumn<bool>("fromFile");
    QTest::newRow("one axle, reached by Next") << 1 << false;
    QTest::newRow("no axle, reached by Next") << 0 << false;
    QTest::newRow("one axle, first truck of a file") << 1 << true;
}

void tst_frmMain::fewerThanTwoAxles() {
    QFETCH(int, axles);
    QFETCH(bool, fromFile);
    TruckValues single = MakeTruck(2001, axles == 1 ? QList<int>{95} : QList<int>{}, {});
    Value(single, kGvwField) = 95;
    const QStringList lines{TruckLine(single), TruckLine(Truck1())};

    if (fromFile) {
        open(QStringLiteral("button"),
             writeFile(QStringLiteral("single.txt"), Echo(lines).toUtf8()));
        QCOMPARE(countLabel(), QStringLiteral("No. Trucks is 2"));
    } else {
        readPasted({lines[1], lines[0]});
        QVERIFY(h->messages.isEmpty());
        click(QStringLiteral("btnNext"));
    }
    const QImage picture = surface().image();
    QCOMPARE(h->messages.size(), 1);
    QCOMPARE(h->messages.first().text, QStringLiteral("This truck's geometry is erroneous"));
    QVERIFY(h->messages.first().icon == MsgIcon::Critical);
    const int index = fromFile ? 1 : 2;
    QCOMPARE(h->window.state().CurrentTruck, TruckIndex{index});
    QCOMPARE(h->truckLines(), PanelLines(index, single, QStringLiteral("5285106.07")));

    // The picture keeps the previous truck (or stays blank), and the next truck
    // draws again.
    if (fromFile) {
        QImage white(picture.size(), picture.format());
        white.fill(Qt::white);
        QVERIFY(picture == white);
    } else {
        const QStringList kept = DiagramProblems(picture, {}, surface(), Truck1());
        QVERIFY2(kept.isEmpty(), qPrintable(kept.join(QStringLiteral("; "))));
        QVERIFY(h->window.state().AxleWeights == (std::vector<std::int16_t>{0, 60, 120, 120}));
        QVERIFY(h->window.state().AxleSpacings == (std::vector<std::int16_t>{0, 40, 13}));
    }
    click(fromFile ? QStringLiteral("btnNext") : QStringLiteral("btnStart"));
    QCOMPARE(h->messages.size(), 1);
    const QStringList problems = DiagramProblems(surface().image(), {}, surface(), Truck1());
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
}

void tst_frmMain::zeroGrossWeightDraws() {
    TruckValues empty = MakeTruck(3001, {0, 0, 0}, {30, 40});
    QCOMPARE(Value(empty, kGvwField), 0);
    readPasted({TruckLine(empty)});
    QVERIFY2(h->messages.isEmpty(), qPrintable(h->messages.value(0).text));
    QCOMPARE(h->truckLines(), PanelLines(1, empty, QStringLiteral("5285106.07")));
    const QStringList problems = DiagramProblems(surface().image(), {}, surface(), empty);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
}

void tst_frmMain::windowShowsDiagram() {
    QVERIFY(QTest::qWaitForWindowExposed(&h->window));
    readPasted(Lines(Trucks()));
    auto* picture = h->find<PictureBox>(QStringLiteral("picTruck"));
    const QPointF origin = picture->mapTo(&h->window, picture->contentsRect().topLeft());

    // What the window paints, not only what the surface holds; and again after a
    // repaint, which must not wipe the diagram.
    for (int pass = 0; pass < 2; ++pass) {
        const QImage shot = h->window.grab().toImage();
        const QStringList problems = DiagramProblems(shot, origin, surface(), Truck1());
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
        picture->repaint();
    }
    // The second drawing draws every wheel in invert mode, the first included.
    click(QStringLiteral("btnNext"));
    click(QStringLiteral("btnStart"));
    const QStringList again =
        DiagramProblems(h->window.grab().toImage(), origin, surface(), Truck1());
    QVERIFY2(again.isEmpty(), qPrintable(again.join(QStringLiteral("; "))));
}

void tst_frmMain::localeDecimalSeparator() {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    h = std::make_unique<Harness>();
    QLocale::setDefault(saved);
    readPasted(Lines(Trucks()));
    QVERIFY(h->messages.isEmpty());
    QCOMPARE(h->truckLines().last(), QStringLiteral("5285106,07"));
    click(QStringLiteral("btnEnd"));
    QCOMPARE(h->truckLines().last(), QStringLiteral("31190399,99"));
}

void tst_frmMain::exitClosesWindow() {
    QVERIFY(h->window.isVisible());
    h->find<QAction>(QStringLiteral("FileExit"))->trigger();
    QVERIFY(!h->window.isVisible());
    QVERIFY(h->messages.isEmpty());
    QVERIFY(h->requests.isEmpty());
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"

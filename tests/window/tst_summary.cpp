// The Summary window through its controls' names, offscreen: the figures it
// shows, showing them only while open, clicks on check bars, check rows and
// days asking for the right truck, and "Save Chart As..." writing a PNG or an
// SVG whole, or saying why not.

#include "window/frmSummary.h"

#include "records/FieldTable.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace axlewise;

namespace {

// Ten trucks: "YY-MM-DD hh:mm:ss.cc lane direction GVW axles WT-AX-1 checks".
// Truck 9 is on no calendar date (31 April); truck 10, on 10 March, passed first.
const char* const kTrucks[] = {
    "24-03-11 08:00:00.00 1 1 150 5 60 -",        "24-03-11 09:00:00.00 1 2 400 5 62 AXLE_SUM",
    "24-03-11 10:00:00.00 2 1 120 2 50 AXLE_SUM", "24-03-12 07:30:00.00 1 1 390 5 64 -",
    "24-03-12 08:00:00.00 1 1 160 5 58 AXLE_SUM", "24-03-12 09:00:00.00 1 2 380 5 66 AXLE_SUM",
    "24-03-13 06:00:00.00 2 2 100 2 50 CLOCK",    "24-03-13 23:59:59.99 1 1 410 5 61 -",
    "24-04-31 05:00:00.00 1 1 200 3 55 -",        "24-03-10 12:00:00.00 1 1 300 5 63 -",
};

SiteStats TenTrucks() {
    StatsAccumulator accumulator;
    TruckIndex number = 0;
    for (const char* line : kTrucks) {
        const QStringList f =
            QString::fromLatin1(line).split(QRegularExpression(QStringLiteral("[-:. ]")));
        TruckRecord truck;
        const int fields[] = {kYearField,      kMonthField,  kDayField,        kHourField,
                              kMinuteField,    kSecondField, kHundredthsField, kLaneField,
                              kDirectionField, kGvwField,    kNoAxlesField,    AxleWeightField(1)};
        for (std::size_t k = 0; k < std::size(fields); ++k) {
            truck.Data[static_cast<std::size_t>(fields[k])] =
                f[static_cast<qsizetype>(k)].toShort();
        }
        truck.Data[static_cast<std::size_t>(AxleSpacingField(2))] = 13;
        truck.Data[kSpeedField] = 80;
        truck.Time = TruckTime(truck);
        CheckMask failed = 0;
        if (f[12] == QLatin1String("AXLE_SUM")) {
            failed = MaskOf(CheckCode::AxleSum);
        } else if (f[12] == QLatin1String("CLOCK")) {
            failed = MaskOf(CheckCode::Clock);
        }
        accumulator.add(++number, truck, failed);
    }
    return accumulator.result();
}

// Answers the save dialog with a path, or cancels; counts its questions.
struct SaveAnswer {
    std::optional<QString> path;
    QStringList asked;
};

struct RecordingBoxes : MessageBoxes {
    explicit RecordingBoxes(QStringList* into) : sink(into) {}
    QStringList* sink;
    void MsgBox(QWidget*, const QString& text, MsgIcon) override { sink->append(text); }
};

}  // namespace

class tst_Summary : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void aNonModalResizableWindowOfCharts();
    void figuresShown();
    void figuresWaitUntilTheWindowIsOpen();
    void click_data();
    void click();
    void saveChartAs_data();
    void saveChartAs();

private:
    template <typename T = QWidget>
    T* find(const char* name) {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr) {
            qFatal("no control %s", name);
        }
        return found;
    }
    QString text(const char* label) { return find<QLabel>(label)->text(); }

    std::unique_ptr<frmSummary> window;
    QStringList messages;
    SaveAnswer answer;
};

void tst_Summary::init() {
    messages.clear();
    answer = {};
    window = std::make_unique<frmSummary>();
    window->setMessageBoxes(std::make_unique<RecordingBoxes>(&messages));
    window->setSaveDialog([this](QWidget*, const QString& name) {
        answer.asked << name;
        return answer.path;
    });
    window->setSummary(TenTrucks(), 12);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void tst_Summary::cleanup() {
    window.reset();
}

void tst_Summary::aNonModalResizableWindowOfCharts() {
    QCOMPARE(window->objectName(), QStringLiteral("frmSummary"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Axlewise - Summary"));
    QVERIFY(window->isWindow());
    QCOMPARE(window->windowModality(), Qt::NonModal);
    QVERIFY(window->minimumSize() != window->maximumSize());
    auto* scroll = find<QScrollArea>("scrSummary");
    for (const char* chart : {"chartGvw", "chartSteering", "chartTandem", "chartHourly",
                              "chartSpeed", "chartAxles", "chartChecks"}) {
        QVERIFY(scroll->widget()->isAncestorOf(find<ChartView>(chart)));
        QVERIFY(find<ChartView>(chart)->findChild<QAction*>(QStringLiteral("actSaveChart")));
    }
    // Narrower than its charts: the grid scrolls instead of squeezing them.
    window->resize(500, 400);
    QTRY_VERIFY(find<ChartView>("chartGvw")->width() >= 360);
}

void tst_Summary::figuresShown() {
    QCOMPARE(text("lblLines"), QStringLiteral("lines read: 12"));
    QCOMPARE(text("lblTrucks"), QStringLiteral("trucks: 10"));
    QCOMPARE(text("lblFirst"), QStringLiteral("first passage: 24-03-10 12:00:00.00 (truck 10)"));
    QCOMPARE(text("lblLast"), QStringLiteral("last passage: 24-04-31 05:00:00.00 (truck 9)"));
    // WT AX 1 of the 5-axle trucks: 58 60 61 62 63 64 66.
    QCOMPARE(text("lblDays"),
             QStringLiteral("days: 4, 24-03-10 to 24-03-13; trucks on no calendar date: 1\n"
                            "5-axle trucks: 7, median WT AX 1 62, median S AX 2 - AX 3 13"));
    QCOMPARE(text("lblLanes"), QStringLiteral("trucks per lane and direction:\n"
                                              "    lane 1, direction 1: 6 (60.0%)\n"
                                              "    lane 1, direction 2: 2 (20.0%)\n"
                                              "    lane 2, direction 1: 1 (10.0%)\n"
                                              "    lane 2, direction 2: 1 (10.0%)"));
    // GVW sorted: 100 120 150 160 200 300 380 390 400 410.
    QCOMPARE(text("lblGvw"), QStringLiteral("GVW: min 100, p10 100, p50 200, p90 400, max 410"));

    auto* table = find<QTableWidget>("tblChecks");
    QCOMPARE(table->rowCount(), kCheckCount);
    const auto row = [table](int r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c) {
            cells << table->item(r, c)->text();
        }
        return cells.join(QLatin1Char('|'));
    };
    QCOMPARE(row(0), QStringLiteral("AXLE_SUM|4|40.0%|2, 3, 5, ..."));
    QCOMPARE(row(1), QStringLiteral("AXLE_COUNT|0|0.0%|"));
    QCOMPARE(row(6), QStringLiteral("CLOCK|1|10.0%|7"));
    QCOMPARE(row(9), QStringLiteral("ORDER|0|0.0%|"));
}

// Figures given while the window is closed are not shown, nor drawn, until
// it opens.
void tst_Summary::figuresWaitUntilTheWindowIsOpen() {
    window->hide();
    SiteStats none;
    window->setSummary(none, 3);
    QCOMPARE(text("lblTrucks"), QStringLiteral("trucks: 10"));
    QCOMPARE(find<ChartView>("chartChecks")->chart().stats().trucks, 10);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(text("lblLines"), QStringLiteral("lines read: 3"));
    QCOMPARE(text("lblTrucks"), QStringLiteral("trucks: 0"));
    QCOMPARE(text("lblFirst"), QStringLiteral("first passage: -"));
    QCOMPARE(text("lblGvw"), QStringLiteral("GVW: -"));
    QCOMPARE(find<ChartView>("chartChecks")->chart().stats().trucks, 0);
}

void tst_Summary::click_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("where");  // "bar N", "dot N", "row N" or "plot"
    QTest::addColumn<qint64>("truck");   // 0: no truck asked for
    // Days: 0 is 24-03-10 (truck 10), 1 24-03-11 (trucks 1-3), 2 24-03-12
    // (trucks 4-6), 3 24-03-13 (trucks 7 and 8).
    QTest::newRow("steering: 24-03-12, its first truck") << "chartSteering"
                                                         << "dot 2" << 4LL;
    QTest::newRow("steering: 24-03-10") << "chartSteering"
                                        << "dot 0" << 10LL;
    QTest::newRow("steering: a day's strip bar") << "chartSteering"
                                                 << "bar 1" << 1LL;
    QTest::newRow("tandem: 24-03-13, truck 7 though not 5-axle") << "chartTandem"
                                                                 << "dot 3" << 7LL;
    QTest::newRow("checks: the AXLE_SUM bar") << "chartChecks"
                                              << "bar 0" << 2LL;
    QTest::newRow("checks: the CLOCK bar") << "chartChecks"
                                           << "bar 6" << 7LL;
    QTest::newRow("checks: an empty row asks nothing") << "chartChecks"
                                                       << "value 7" << 0LL;
    QTest::newRow("table: the AXLE_SUM row") << "tblChecks"
                                             << "row 0" << 2LL;
    QTest::newRow("table: the CLOCK row") << "tblChecks"
                                          << "row 6" << 7LL;
    QTest::newRow("table: a row without failures") << "tblChecks"
                                                   << "row 8" << 0LL;
    QTest::newRow("gvw: no items") << "chartGvw"
                                   << "plot" << 0LL;
}

void tst_Summary::click() {
    QFETCH(QString, control);
    QFETCH(QString, where);
    QFETCH(qint64, truck);
    QSignalSpy asked(window.get(), &frmSummary::showTruckRequested);
    const QStringList how = where.split(QLatin1Char(' '));
    if (control == QLatin1String("tblChecks")) {
        auto* table = find<QTableWidget>("tblChecks");
        const QRect cell = table->visualItemRect(table->item(how[1].toInt(), 1));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    } else {
        auto* view = find<ChartView>(control.toLatin1().constData());
        const ChartGeometry g = view->chart().layout(QRectF(view->rect()));
        QPointF point = g.plot.center();
        const MarkRole role = how[0] == QLatin1String("dot")   ? MarkRole::Point
                              : how[0] == QLatin1String("bar") ? MarkRole::Bar
                                                               : MarkRole::ValueLabel;
        if (how.size() > 1) {
            point = {};
            for (const Mark* mark : g.marksOf(role)) {
                if (mark->item == how[1].toInt()) {
                    point = mark->rect.center();
                }
            }
            QVERIFY(!point.isNull());
        }
        QTest::mouseClick(view, Qt::LeftButton, {}, point.toPoint());
    }
    if (truck == 0) {
        QCOMPARE(asked.count(), 0);
    } else {
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked.first().first().value<TruckIndex>(), truck);
    }
}

void tst_Summary::saveChartAs_data() {
    QTest::addColumn<QString>("chart");
    QTest::addColumn<QString>("name");  // in a fresh directory; empty: Cancel
    QTest::addColumn<QString>("kind");  // what the file holds afterwards: png, svg, old, none
    QTest::addColumn<QString>("message");
    QTest::newRow("GVW as PNG") << "chartGvw"
                                << "gvw.png"
                                << "png"
                                << "";
    QTest::newRow("checks as SVG") << "chartChecks"
                                   << "checks.svg"
                                   << "svg"
                                   << "";
    QTest::newRow("suffix in capitals") << "chartSteering"
                                        << "drift.SVG"
                                        << "svg"
                                        << "";
    QTest::newRow("an old file replaced") << "chartSpeed"
                                          << "old.png"
                                          << "png"
                                          << "";
    QTest::newRow("no known suffix: refused")
        << "chartHourly"
        << "hours.jpg"
        << "none"
        << "Could not save the chart to %1: the name must end in .png or .svg.";
    QTest::newRow("a missing folder: reported") << "chartAxles"
                                                << "missing/axles.png"
                                                << "none"
                                                << "Could not save the chart to %1: ";
    QTest::newRow("cancelled") << "chartTandem"
                               << ""
                               << "none"
                               << "";
}

void tst_Summary::saveChartAs() {
    QFETCH(QString, chart);
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(name.isEmpty() ? QStringLiteral("never.png") : name);
    if (name.startsWith(QLatin1String("old"))) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    answer.path = name.isEmpty() ? std::nullopt : std::optional<QString>(path);
    auto* view = find<ChartView>(chart.toLatin1().constData());
    view->findChild<QAction*>(QStringLiteral("actSaveChart"))->trigger();

    QCOMPARE(answer.asked.size(), 1);
    QVERIFY(answer.asked[0].endsWith(QLatin1String(".png")));
    if (message.isEmpty()) {
        QCOMPARE(messages, QStringList());
    } else {
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith(message.arg(path)), qPrintable(messages[0]));
    }
    if (kind == QLatin1String("none")) {
        QVERIFY(!QFile::exists(path));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    } else if (kind == QLatin1String("png")) {
        QImage image;
        QVERIFY(image.load(path, "PNG"));
        QCOMPARE(image.size(), view->size() * window->devicePixelRatioF());
    } else {
        QProcess xmllint;
        xmllint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), path});
        QVERIFY(xmllint.waitForFinished(30000));
        QCOMPARE(xmllint.exitCode(), 0);
        QFile svg(path);
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(svg.readAll().contains("<svg"));
    }
}

QTEST_MAIN(tst_Summary)
#include "tst_summary.moc"

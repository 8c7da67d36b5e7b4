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
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace axlewise;

namespace {

// Ten trucks: "YY-MM-DD hh:mm:ss.cc lane direction GVW axles WT-AX-1 checks",
// the checks failed joined by "+".
// Truck 9 is on no calendar date (31 April); truck 10, on 10 March, passed first.
const char* const kTrucks[] = {
    "24-03-11 08:00:00.00 1 1 150 5 60 -",
    "24-03-11 09:00:00.00 1 2 400 5 62 AXLE_SUM",
    "24-03-11 10:00:00.00 2 1 120 2 50 AXLE_SUM+SPEED",
    "24-03-12 07:30:00.00 1 1 390 5 64 -",
    "24-03-12 08:00:00.00 1 1 160 5 58 AXLE_SUM",
    "24-03-12 09:00:00.00 1 2 380 5 66 AXLE_SUM",
    "24-03-13 06:00:00.00 2 2 100 2 50 CLOCK",
    "24-03-13 23:59:59.99 1 1 410 5 61 -",
    "24-04-31 05:00:00.00 1 1 200 3 55 -",
    "24-03-10 12:00:00.00 1 1 300 5 63 -",
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
        std::vector<CheckFailure> failed;
        for (const CheckCode code : kAllChecks) {
            if (f[12].split(QLatin1Char('+')).contains(QLatin1String(CheckName(code)))) {
                failed.push_back({code, {}});
            }
        }
        accumulator.add(++number, truck, MaskOf(failed));
    }
    return accumulator.result();
}

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

    void figuresShown();
    void figuresWaitUntilTheWindowIsOpen();
    void chartsScrollRatherThanShrink();
    void click_data();
    void click();
    void saveChartAs_data();
    void saveChartAs();

private:
    template <typename T = QWidget>
    T* find(const QString& name) {
        T* found = window->findChild<T*>(name);
        if (found == nullptr) {
            qFatal("no control %s", qPrintable(name));
        }
        return found;
    }
    QString text(const char* label) { return find<QLabel>(QString::fromLatin1(label))->text(); }

    std::unique_ptr<frmSummary> window;
    QStringList messages;
    std::optional<QString> savePath;  // the save dialog's answer, nothing: Cancel
    QStringList saveAsked;            // the names the dialog was opened with
};

void tst_Summary::init() {
    messages.clear();
    savePath.reset();
    saveAsked.clear();
    window = std::make_unique<frmSummary>();
    window->setMessageBoxes(std::make_unique<RecordingBoxes>(&messages));
    window->setSaveDialog([this](QWidget*, const QString& name) {
        saveAsked << name;
        return savePath;
    });
    window->setSummary(TenTrucks(), 12);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
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

    auto* table = find<QTableWidget>(QStringLiteral("tblChecks"));
    QStringList rows;
    for (const int r : {0, 1, 6, 7}) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c) {
            cells << table->item(r, c)->text();
        }
        rows << cells.join(QLatin1Char('|'));
    }
    // Truck 3 failed AXLE_SUM and SPEED: it counts in both, once in each.
    QCOMPARE(rows, QStringList({"AXLE_SUM|4|40.0%|2, 3, 5, ...", "AXLE_COUNT|0|0.0%|",
                                "CLOCK|1|10.0%|7", "SPEED|1|10.0%|3"}));
}

// Figures given while the window is closed are not shown, nor drawn, until
// it opens; those of no trucks at all say so.
void tst_Summary::figuresWaitUntilTheWindowIsOpen() {
    window->hide();
    window->setSummary(StatsAccumulator().result(), 3);
    QCOMPARE(text("lblTrucks"), QStringLiteral("trucks: 10"));
    QCOMPARE(find<ChartView>(QStringLiteral("chartChecks"))->chart().stats().trucks, 10);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(text("lblLines"), QStringLiteral("lines read: 3"));
    QCOMPARE(text("lblTrucks"), QStringLiteral("trucks: 0"));
    QCOMPARE(text("lblFirst"), QStringLiteral("first passage: -"));
    QCOMPARE(text("lblGvw"), QStringLiteral("GVW: -"));
    QCOMPARE(find<ChartView>(QStringLiteral("chartChecks"))->chart().stats().trucks, 0);
}

// Narrower than its charts, the window scrolls them instead of squeezing them.
void tst_Summary::chartsScrollRatherThanShrink() {
    window->resize(500, 400);
    QTRY_VERIFY(find<ChartView>(QStringLiteral("chartGvw"))->width() >= 360);
}

void tst_Summary::click_data() {
    QTest::addColumn<QString>("control");
    // "dot N", "bar N": the mark of item N; "label TEXT": a tick label; "row
    // N" of the table; the middle of the "plot", or "left" of it.
    QTest::addColumn<QString>("where");
    QTest::addColumn<qint64>("truck");  // 0: no truck asked for
    const auto row = [](const char* tag, const char* control, const char* where, qint64 truck) {
        QTest::newRow(tag) << QString::fromLatin1(control) << QString::fromLatin1(where) << truck;
    };
    // Days: 0 is 24-03-10 (truck 10), 1 24-03-11 (trucks 1-3), 2 24-03-12
    // (trucks 4-6), 3 24-03-13 (trucks 7 and 8).
    row("steering: 24-03-12, its first truck", "chartSteering", "dot 2", 4);
    row("steering: a day's strip bar", "chartSteering", "bar 1", 1);
    row("steering: left of the days", "chartSteering", "left", 0);
    row("tandem: 24-03-13, truck 7 though not 5-axle", "chartTandem", "dot 3", 7);
    row("checks: the CLOCK bar", "chartChecks", "bar 6", 7);
    row("checks: the AXLE_SUM label", "chartChecks", "label AXLE_SUM", 2);
    row("table: the AXLE_SUM row", "tblChecks", "row 0", 2);
    row("table: a row without failures", "tblChecks", "row 8", 0);
    row("gvw: no items", "chartGvw", "plot", 0);
}

void tst_Summary::click() {
    QFETCH(QString, control);
    QFETCH(QString, where);
    QFETCH(qint64, truck);
    QSignalSpy asked(window.get(), &frmSummary::showTruckRequested);
    const QString what = where.section(QLatin1Char(' '), 0, 0);
    const QString which = where.section(QLatin1Char(' '), 1);
    if (what == QLatin1String("row")) {
        auto* table = find<QTableWidget>(control);
        const QRect cell = table->visualItemRect(table->item(which.toInt(), 1));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    } else {
        auto* view = find<ChartView>(control);
        const ChartGeometry g = view->chart().layout(QRectF(view->rect()));
        QPointF point = g.plot.center();
        if (what == QLatin1String("left")) {
            point = QPointF(g.plot.left() - 10, g.plot.center().y());
        } else if (what != QLatin1String("plot")) {
            const MarkRole role = what == QLatin1String("dot")   ? MarkRole::Point
                                  : what == QLatin1String("bar") ? MarkRole::Bar
                                                                 : MarkRole::TickLabel;
            point = {};
            for (const Mark* mark : g.marksOf(role)) {
                if (QString::number(mark->item) == which || mark->text == which) {
                    point = mark->rect.center();
                }
            }
            QVERIFY(!point.isNull());
        }
        QTest::mouseClick(view, Qt::LeftButton, {}, point.toPoint());
    }
    QCOMPARE(asked.count(), truck == 0 ? 0 : 1);
    if (truck != 0) {
        QCOMPARE(asked.first().first().value<TruckIndex>(), truck);
    }
}

void tst_Summary::saveChartAs_data() {
    QTest::addColumn<QString>("chart");
    QTest::addColumn<QString>("name");     // in a fresh directory; empty: Cancel
    QTest::addColumn<QString>("message");  // what is said (%1: the path); a file saved when empty
    const auto row = [](const char* tag, const char* chart, const char* name,
                        const char* message = "") {
        QTest::newRow(tag) << QString::fromLatin1(chart) << QString::fromLatin1(name)
                           << QString::fromLatin1(message);
    };
    row("GVW as PNG", "chartGvw", "gvw.png");
    row("checks as SVG", "chartChecks", "checks.svg");
    row("suffix in capitals", "chartSteering", "drift.SVG");
    row("an old file replaced", "chartSpeed", "old.png");
    row("no known suffix: refused", "chartHourly", "hours.jpg",
        "Could not save the chart to %1: the name must end in .png or .svg.");
    row("a missing folder: reported", "chartAxles", "missing/axles.png",
        "Could not save the chart to %1: ");
    row("cancelled", "chartTandem", "");
}

void tst_Summary::saveChartAs() {
    QFETCH(QString, chart);
    QFETCH(QString, name);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(name.isEmpty() ? QStringLiteral("never.png") : name);
    if (name.startsWith(QLatin1String("old"))) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    savePath = name.isEmpty() ? std::nullopt : std::optional<QString>(path);
    auto* view = find<ChartView>(chart);
    view->findChild<QAction*>(QStringLiteral("actSaveChart"))->trigger();

    QCOMPARE(saveAsked.size(), 1);
    QVERIFY(saveAsked[0].endsWith(QLatin1String(".png")));
    if (!message.isEmpty()) {
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith(message.arg(path)), qPrintable(messages[0]));
    } else {
        QCOMPARE(messages, QStringList());
    }
    if (name.isEmpty() || !message.isEmpty()) {
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    } else if (name.endsWith(QLatin1String(".png"))) {
        QImage image;
        QVERIFY(image.load(path, "PNG"));
        QCOMPARE(image.size(), view->size() * window->devicePixelRatioF());
    } else {
        QProcess xmllint;
        xmllint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), path});
        QVERIFY(xmllint.waitForFinished(30000));
        QCOMPARE(xmllint.exitCode(), 0);
    }
}

QTEST_MAIN(tst_Summary)
#include "tst_summary.moc"

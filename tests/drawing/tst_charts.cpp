// The charts' geometry without pixels (nice ticks whose labels never overlap,
// everything inside the chart's rectangle, peaks over their bins, days in
// their places, what a click finds), then a few pixels of the drawn charts,
// their PNG at two pixel ratios and their SVG checked by xmllint.

#include "drawing/charts/ChartFile.h"
#include "drawing/charts/ChartFrame.h"
#include "drawing/charts/Charts.h"
#include "stats/Calendar.h"

#include "SyntheticSite.h"

#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace axlewise;

Q_DECLARE_METATYPE(axlewise::ChartKind)
Q_DECLARE_METATYPE(std::shared_ptr<const axlewise::SiteStats>)

namespace {

using Stats = std::shared_ptr<const SiteStats>;

Stats Accumulated(const std::vector<TruckRecord>& trucks) {
    StatsAccumulator accumulator;
    TruckIndex number = 0;
    for (const TruckRecord& truck : trucks) {
        ++number;
        accumulator.add(number, truck, number % 40 == 0 ? MaskOf(CheckCode::AxleSum) : 0);
    }
    return std::make_shared<SiteStats>(accumulator.result());
}

Stats Site(int days, int perDay) {
    test::SyntheticSite site;
    return Accumulated(site.trucks({days, perDay, 0.5}));
}

// The site without its five-axle trucks.
Stats TwoAxlesOnly() {
    test::SyntheticSite site;
    std::vector<TruckRecord> trucks;
    for (const TruckRecord& truck : site.trucks({3, 100, 0.5})) {
        if (truck.Data[kNoAxlesField] != 5) {
            trucks.push_back(truck);
        }
    }
    return Accumulated(trucks);
}

QString KindName(ChartKind kind) {
    return Chart(kind, std::make_shared<SiteStats>()).title();
}

bool Within(const QRectF& inner, const QRectF& outer) {
    constexpr double e = 1e-6;
    return inner.left() >= outer.left() - e && inner.top() >= outer.top() - e &&
           inner.right() <= outer.right() + e && inner.bottom() <= outer.bottom() + e;
}

QString RectText(const QRectF& r) {
    return QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Whether a step is 1, 2 or 5 times a power of ten.
bool Nice(double step) {
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    return std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 ||
           std::abs(mantissa - 5) < 1e-9;
}

QList<double> TickValues(const Axis& axis) {
    QList<double> values;
    for (const Tick& tick : axis.ticks) {
        values << tick.value;
    }
    return values;
}

QStringList Texts(const ChartGeometry& chart, MarkRole role) {
    QStringList texts;
    for (const Mark* mark : chart.marksOf(role)) {
        if (mark->shape == Mark::Shape::Text) {
            texts << mark->text;
        }
    }
    return texts;
}

// Five-axle GVW in bins of 10 from 0: `peaks` as the stats give them, and
// bars under them so that each peak stands over its own bar.
SiteStats TwoHumps(const std::vector<std::size_t>& peaks) {
    SiteStats stats;
    stats.trucks = 1000;
    stats.fiveAxle = 500;
    stats.gvwAll.width = stats.gvwFiveAxle.width = 10;
    stats.gvwAll.counts.assign(40, 10);
    stats.gvwFiveAxle.counts.assign(40, 1);
    for (const std::size_t bin : peaks) {
        stats.gvwAll.counts[bin] = 60;
        stats.gvwFiveAxle.counts[bin] = 50;
        stats.gvwPeaks.push_back({bin, static_cast<int>(bin) * 10 + 5});
    }
    return stats;
}

// Days 24-03-01 (day number 8826) and on, by offset from it: the trucks of
// five axles and their medians of WT AX 1; every day's first truck is 100 *
// (offset + 1).
SiteStats Days(const QList<std::tuple<int, TruckIndex, double>>& days, double fileMedian) {
    SiteStats stats;
    for (const auto& [offset, fiveAxle, median] : days) {
        DayFigures day;
        day.dayNumber = 8826 + offset;
        const CalendarDate date = DateOfDayNumber(day.dayNumber);
        day.year = date.year;
        day.month = date.month;
        day.day = date.day;
        day.trucks = fiveAxle + 10;
        day.first = {0, 100 * (offset + 1)};
        day.fiveAxle = fiveAxle;
        day.steeringMedian = median;
        day.tandemMedian = 13;
        stats.days.push_back(day);
        stats.trucks += day.trucks;
        stats.fiveAxle += fiveAxle;
    }
    stats.steeringMedian = fileMedian;
    stats.tandemMedian = 13;
    return stats;
}

}  // namespace

class tst_Charts : public QObject {
    Q_OBJECT

private slots:
    void tickText_data();
    void tickText();
    void verticalTicks_data();
    void verticalTicks();
    void horizontalTicks_data();
    void horizontalTicks();

    void everythingInsideTheRectangle_data();
    void everythingInsideTheRectangle();
    void ticksNiceAndLabelsApart_data();
    void ticksNiceAndLabelsApart();
    void gvwPeaksOverTheirBins_data();
    void gvwPeaksOverTheirBins();
    void gvwWithoutFiveAxleTrucks_saysSo();
    void daysInPlaceFilledOrHollow();
    void itemAt_data();
    void itemAt();
    void checksBarsAndShares();
    void hourlyLineAndLegendPerLane();

    void paintsNothingOutsideItsRectangle_data();
    void paintsNothingOutsideItsRectangle();
    void svgIsWellFormed_data();
    void svgIsWellFormed();
};

void tst_Charts::tickText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("step");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole numbers") << 1500.0 << 500.0 << "1500";
    QTest::newRow("one decimal for 0.5") << 12.5 << 0.5 << "12.5";
    QTest::newRow("one decimal for 0.2, even when whole") << 13.0 << 0.2 << "13.0";
    QTest::newRow("two decimals for 0.05") << 12.25 << 0.05 << "12.25";
    QTest::newRow("no minus zero") << -1e-12 << 0.1 << "0.0";
}

void tst_Charts::tickText() {
    QFETCH(double, value);
    QFETCH(double, step);
    QTEST(TickText(value, step), "text");
}

void tst_Charts::verticalTicks_data() {
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<double>("minStep");
    QTest::addColumn<QStringList>("labels");
    // 200 pixels, at least 24 a tick: a step of 780 * 24 / 200 = 93.6 or
    // more, so 100; 0..800 leaves 25 pixels a tick.
    QTest::newRow("counts up to 780")
        << 0.0 << 780.0 << 1.0
        << QStringList{"0", "100", "200", "300", "400", "500", "600", "700", "800"};
    // A step of 7.7 * 24 / 200 = 0.92 or more: 1, over 61..69: 8 ticks 25 px apart.
    QTest::newRow("medians 61.2 to 68.9")
        << 61.2 << 68.9 << 0.0 << QStringList{"61", "62", "63", "64", "65", "66", "67", "68", "69"};
    // Equal values are widened to 13..14; a step of 0.12 or more: 0.2.
    QTest::newRow("all days alike")
        << 13.0 << 13.0 << 0.0 << QStringList{"13.0", "13.2", "13.4", "13.6", "13.8", "14.0"};
    // A step of 24 / 200 at least, but whole numbers: 1, over 0..1.
    QTest::newRow("one truck") << 0.0 << 1.0 << 1.0 << QStringList{"0", "1"};
}

void tst_Charts::verticalTicks() {
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(double, minStep);
    const ChartFonts fonts(DefaultChartStyle());
    const Axis axis =
        VerticalAxis({QStringLiteral("trucks"), lo, hi, true, minStep, 0, {}}, 210, 10, 50, fonts);
    QStringList labels;
    for (const Tick& tick : axis.ticks) {
        labels << tick.label;
        QCOMPARE(tick.labelRect.right(), 50.0);
        QCOMPARE(tick.labelRect.center().y(), tick.position);
    }
    QTEST(labels, "labels");
    QCOMPARE(axis.ticks.front().position, 210.0);
    QCOMPARE(axis.ticks.back().position, 10.0);
}

void tst_Charts::horizontalTicks_data() {
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<double>("width");
    QTest::addColumn<bool>("dates");
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QStringList>("labels");
    // A first step of 23 * 40 / 400 = 2.3 or more: 5.
    QTest::newRow("hours over 400 px")
        << 0.0 << 23.0 << 400.0 << false << QList<double>{0, 5, 10, 15, 20}
        << QStringList{"0", "5", "10", "15", "20"};
    QTest::newRow("hours over 100 px") << 0.0 << 23.0 << 100.0 << false << QList<double>{0, 10, 20}
                                       << QStringList{"0", "10", "20"};
    // 920 * 40 / 380 = 96.8: 100, 41.3 px apart; "1000" is 26.7 px wide.
    QTest::newRow("GVW 100..1020 over 380 px")
        << 100.0 << 1020.0 << 380.0 << false
        << QList<double>{100, 200, 300, 400, 500, 600, 700, 800, 900, 1000}
        << QStringList{"100", "200", "300", "400", "500", "600", "700", "800", "900", "1000"};
    // Days 24-02-27 - 0.5 to 24-03-17 + 0.5 (8823.5..8842.5), labels 48 px
    // wide and 8 apart. Over 400 px a step of 2 days (19 * 40 / 400 = 1.9)
    // leaves 42 px, 5 days 105; over 200 px 5 days leave 52.6, so 10.
    QTest::newRow("dates over 400 px")
        << 8823.5 << 8842.5 << 400.0 << true << QList<double>{8825, 8830, 8835, 8840}
        << QStringList{"24-02-29", "24-03-05", "24-03-10", "24-03-15"};
    QTest::newRow("dates over 200 px: a wider step")
        << 8823.5 << 8842.5 << 200.0 << true << QList<double>{8830, 8840}
        << QStringList{"24-03-05", "24-03-15"};
}

void tst_Charts::horizontalTicks() {
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(double, width);
    QFETCH(bool, dates);
    AxisSpec spec{QStringLiteral("x"), lo, hi, false, 1, 0, {}};
    if (dates) {
        spec.label = [](double value) {
            const CalendarDate d = DateOfDayNumber(static_cast<int>(std::lround(value)));
            return QStringLiteral("%1-%2-%3")
                .arg(d.year, 2, 10, QLatin1Char('0'))
                .arg(d.month, 2, 10, QLatin1Char('0'))
                .arg(d.day, 2, 10, QLatin1Char('0'));
        };
    }
    const Axis axis =
        HorizontalAxis(spec, 0, width, 100, -100, width + 100, ChartFonts(DefaultChartStyle()));
    QTEST(TickValues(axis), "values");
    QStringList labels;
    for (const Tick& tick : axis.ticks) {
        labels << tick.label;
        QCOMPARE(tick.labelRect.center().x(), tick.position);
        QCOMPARE(tick.labelRect.top(), 100.0);
    }
    QTEST(labels, "labels");
}

void tst_Charts::everythingInsideTheRectangle_data() {
    QTest::addColumn<ChartKind>("kind");
    QTest::addColumn<Stats>("stats");
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<int>("noData");  // 1 yes, 0 no, -1 either
    const Stats none = std::make_shared<SiteStats>();
    const Stats one = Site(1, 1);
    const Stats day = Site(1, 200);
    const Stats site = Site(20, 300);
    const Stats twoAxles = TwoAxlesOnly();
    const QRectF usual(0, 0, 480, 300);
    for (const ChartKind kind : kAllCharts) {
        const bool days = kind == ChartKind::Steering || kind == ChartKind::Tandem;
        const QByteArray name = KindName(kind).toUtf8();
        QTest::addRow("%s: no trucks", name.constData()) << kind << none << usual << 1;
        QTest::addRow("%s: one truck", name.constData()) << kind << one << usual << -1;
        QTest::addRow("%s: one day", name.constData()) << kind << day << usual << 0;
        QTest::addRow("%s: no 5-axle trucks", name.constData())
            << kind << twoAxles << usual << (days ? 1 : 0);
        QTest::addRow("%s: a site", name.constData()) << kind << site << usual << 0;
        QTest::addRow("%s: off the origin, fractional", name.constData())
            << kind << site << QRectF(37.5, 21.25, 333.3, 211.7) << 0;
        QTest::addRow("%s: narrow and tall", name.constData())
            << kind << site << QRectF(0, 0, 170, 500) << 0;
        QTest::addRow("%s: wide and flat", name.constData())
            << kind << site << QRectF(0, 0, 900, 120) << -1;
        QTest::addRow("%s: tiny", name.constData()) << kind << site << QRectF(5, 5, 60, 40) << -1;
        QTest::addRow("%s: nothing", name.constData()) << kind << site << QRectF(5, 5, 0, 0) << -1;
    }
}

void tst_Charts::everythingInsideTheRectangle() {
    QFETCH(ChartKind, kind);
    QFETCH(Stats, stats);
    QFETCH(QRectF, rect);
    QFETCH(int, noData);
    const ChartGeometry chart = Chart(kind, stats).layout(rect);
    for (const Mark& mark : chart.marks) {
        QVERIFY2(Within(mark.extent(), rect),
                 qPrintable(QStringLiteral("role %1 \"%2\" at %3")
                                .arg(int(mark.role))
                                .arg(mark.text, RectText(mark.extent()))));
    }
    for (const HitArea& area : chart.items) {
        QVERIFY(Within(area.rect, rect));
    }
    if (noData >= 0) {
        QCOMPARE(chart.noData, noData == 1);
        QCOMPARE(Texts(chart, MarkRole::Note).contains(QStringLiteral("no data")), noData == 1);
    }
    if (chart.noData) {
        QVERIFY(chart.marksOf(MarkRole::Bar).empty());
        QVERIFY(chart.marksOf(MarkRole::Point).empty());
        QVERIFY(chart.marksOf(MarkRole::Line).empty());
        QVERIFY(chart.axes.empty());
    }
}

void tst_Charts::ticksNiceAndLabelsApart_data() {
    QTest::addColumn<ChartKind>("kind");
    QTest::addColumn<QSizeF>("size");
    for (const ChartKind kind : kAllCharts) {
        const QByteArray name = KindName(kind).toUtf8();
        for (const QSizeF size : {QSizeF(240, 200), QSizeF(320, 260), QSizeF(480, 300),
                                  QSizeF(960, 600), QSizeF(1400, 240)}) {
            QTest::addRow("%s %gx%g", name.constData(), size.width(), size.height())
                << kind << size;
        }
    }
}

// Every axis of every chart at several sizes: its step nice, its ticks
// multiples of the step inside the axis, its labels inside the chart and
// apart from each other.
void tst_Charts::ticksNiceAndLabelsApart() {
    QFETCH(ChartKind, kind);
    QFETCH(QSizeF, size);
    static const Stats site = Site(60, 100);
    const QRectF rect(QPointF(0, 0), size);
    const ChartGeometry chart = Chart(kind, site).layout(rect);
    QVERIFY(!chart.axes.empty());
    for (const Axis& axis : chart.axes) {
        QVERIFY2(Nice(axis.step), qPrintable(QString::number(axis.step)));
        QVERIFY(!axis.ticks.empty());
        for (std::size_t i = 0; i < axis.ticks.size(); ++i) {
            const Tick& tick = axis.ticks[i];
            const double multiple = tick.value / axis.step;
            QVERIFY(std::abs(multiple - std::round(multiple)) < 1e-6);
            QVERIFY(tick.value >= std::min(axis.lo, axis.hi) - 1e-9);
            QVERIFY(tick.value <= std::max(axis.lo, axis.hi) + 1e-9);
            QVERIFY(Within(tick.labelRect, rect));
            if (i > 0) {
                const QRectF& before = axis.ticks[i - 1].labelRect;
                if (axis.vertical) {
                    QVERIFY2(before.top() >= tick.labelRect.bottom(), qPrintable(tick.label));
                } else {
                    QVERIFY2(before.right() + kLabelGap <= tick.labelRect.left() + 1e-9,
                             qPrintable(tick.label));
                }
            }
        }
    }
    // No label of one axis runs into a label of another, or into a caption.
    std::vector<QRectF> labels;
    for (const Mark* mark : chart.marksOf(MarkRole::TickLabel)) {
        labels.push_back(mark->rect);
    }
    for (const Mark* mark : chart.marksOf(MarkRole::Caption)) {
        labels.push_back(mark->rect);
    }
    for (std::size_t i = 0; i < labels.size(); ++i) {
        for (std::size_t j = i + 1; j < labels.size(); ++j) {
            QVERIFY2(!labels[i].intersects(labels[j]),
                     qPrintable(RectText(labels[i]) + QLatin1Char(' ') + RectText(labels[j])));
        }
    }
}

void tst_Charts::gvwPeaksOverTheirBins_data() {
    QTest::addColumn<QList<int>>("bins");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("unloaded and loaded")
        << QList<int>{10, 30} << QStringList{"unloaded 105", "loaded 305"};
    QTest::newRow("one peak") << QList<int>{22} << QStringList{"peak 225"};
    // Two bins apart the labels would meet: the second goes a row lower.
    QTest::newRow("close peaks") << QList<int>{19, 21} << QStringList{"unloaded 195", "loaded 215"};
    QTest::newRow("a peak at the right edge")
        << QList<int>{2, 39} << QStringList{"unloaded 25", "loaded 395"};
}

void tst_Charts::gvwPeaksOverTheirBins() {
    QFETCH(QList<int>, bins);
    std::vector<std::size_t> peaks(bins.begin(), bins.end());
    const Chart chart(ChartKind::Gvw, std::make_shared<SiteStats>(TwoHumps(peaks)));
    const ChartGeometry g = chart.layout(QRectF(0, 0, 480, 300));
    QCOMPARE(g.axes[0].caption, QStringLiteral("GVW"));
    QCOMPARE(g.axes[1].caption, QStringLiteral("trucks"));
    QTEST(Texts(g, MarkRole::MarkerLabel), "labels");

    std::vector<const Mark*> fiveAxleBars;
    for (const Mark* bar : g.marksOf(MarkRole::Bar)) {
        if (bar->series == 1) {
            fiveAxleBars.push_back(bar);
        }
    }
    QCOMPARE(fiveAxleBars.size(), 40U);
    const std::vector<const Mark*> lines = g.marksOf(MarkRole::Marker);
    QCOMPARE(lines.size(), static_cast<std::size_t>(bins.size()));
    std::vector<QRectF> labels;
    for (const Mark* label : g.marksOf(MarkRole::MarkerLabel)) {
        if (label->shape == Mark::Shape::Text) {
            labels.push_back(label->rect);
        }
    }
    for (qsizetype k = 0; k < bins.size(); ++k) {
        // The dashed line through the middle of its bin's bar, the bar the tallest.
        const QRectF bar = fiveAxleBars[static_cast<std::size_t>(bins[k])]->rect;
        const double x = lines[static_cast<std::size_t>(k)]->points[0].x();
        QVERIFY(std::abs(x - bar.center().x()) < 1);
        QCOMPARE(bar.top(), fiveAxleBars[static_cast<std::size_t>(bins[0])]->rect.top());
        QVERIFY(Within(labels[static_cast<std::size_t>(k)], g.plot));
        // Beside its line, within a label's width.
        QVERIFY(std::abs(labels[static_cast<std::size_t>(k)].center().x() - x) <
                labels[static_cast<std::size_t>(k)].width());
    }
    if (labels.size() == 2) {
        QVERIFY(!labels[0].intersects(labels[1]));
    }
}

void tst_Charts::gvwWithoutFiveAxleTrucks_saysSo() {
    const ChartGeometry g = Chart(ChartKind::Gvw, TwoAxlesOnly()).layout(QRectF(0, 0, 480, 300));
    QVERIFY(!g.noData);
    QCOMPARE(Texts(g, MarkRole::Note), QStringList{"no 5-axle trucks"});
    QVERIFY(g.marksOf(MarkRole::Marker).empty());
    QVERIFY(!g.marksOf(MarkRole::Bar).empty());
    for (const Mark* bar : g.marksOf(MarkRole::Bar)) {
        QCOMPARE(bar->series, 0);
    }
}

// Days 0, 1 and 5 after 24-03-01 with 30, 29 and 1 five-axle trucks (day 3
// has trucks but none of five axles); medians 60 (the file's), 66 (10 % up,
// out of the ±5 % band) and 57 (5 % down, on its lower edge).
void tst_Charts::daysInPlaceFilledOrHollow() {
    const ChartStyle style = DefaultChartStyle();
    const Chart chart(ChartKind::Steering,
                      std::make_shared<SiteStats>(
                          Days({{0, 30, 60.0}, {1, 29, 66.0}, {3, 0, 0.0}, {5, 1, 57.0}}, 60)));
    const ChartGeometry g = chart.layout(QRectF(0, 0, 480, 300));
    QCOMPARE(g.axes.size(), 3U);
    QCOMPARE(g.axes[0].caption, QStringLiteral("day (YY-MM-DD)"));
    QCOMPARE(g.axes[1].caption, QStringLiteral("WT AX 1"));
    QVERIFY(Texts(g, MarkRole::Caption).contains(QStringLiteral("WT AX 1")));
    const std::vector<const Mark*> dots = g.marksOf(MarkRole::Point);
    QCOMPARE(dots.size(), 3U);
    QCOMPARE(dots[0]->fill, style.accent);
    QCOMPARE(dots[1]->fill, style.background);
    QCOMPARE(dots[2]->fill, style.background);
    QCOMPARE(QList<int>({dots[0]->item, dots[1]->item, dots[2]->item}), QList<int>({0, 1, 3}));

    // Day 5 lies five times as far from day 0 as day 1 does.
    const double x0 = dots[0]->rect.center().x();
    const double x1 = dots[1]->rect.center().x();
    const double x5 = dots[2]->rect.center().x();
    QVERIFY(std::abs((x5 - x0) - 5 * (x1 - x0)) < 1e-6);

    const Mark* band = g.marksOf(MarkRole::Band).front();
    QVERIFY(band->rect.contains(dots[0]->rect.center()));
    QVERIFY(dots[1]->rect.center().y() < band->rect.top());
    QVERIFY(std::abs(dots[2]->rect.center().y() - band->rect.bottom()) < 1e-6);
    // The strip's bars: 30 is as tall as 30 times the bar of 1.
    const std::vector<const Mark*> bars = g.marksOf(MarkRole::Bar);
    QCOMPARE(bars.size(), 3U);
    QVERIFY(std::abs(bars[0]->rect.height() - 30 * bars[2]->rect.height()) < 1e-6);
    QVERIFY(Within(bars[0]->rect, g.strip));
}

void tst_Charts::itemAt_data() {
    QTest::addColumn<ChartKind>("kind");
    QTest::addColumn<QString>("where");  // how to find the point in the geometry
    QTest::addColumn<int>("item");       // -1: nothing
    QTest::newRow("checks: on the AXLE_SUM bar") << ChartKind::Checks << "bar 0" << 0;
    QTest::newRow("checks: on the ORDER label") << ChartKind::Checks << "label ORDER" << 9;
    QTest::newRow("checks: under the rows") << ChartKind::Checks << "below plot" << -1;
    QTest::newRow("steering: on a dot") << ChartKind::Steering << "dot 1" << 1;
    QTest::newRow("steering: over a day's strip bar") << ChartKind::Steering << "bar 2" << 2;
    QTest::newRow("steering: left of the days") << ChartKind::Steering << "left of plot" << -1;
    QTest::newRow("gvw: nothing to click") << ChartKind::Gvw << "plot centre" << -1;
}

void tst_Charts::itemAt() {
    QFETCH(ChartKind, kind);
    QFETCH(QString, where);
    QFETCH(int, item);
    SiteStats figures = Days({{0, 40, 60.0}, {1, 40, 61.0}, {3, 40, 62.0}}, 61);
    figures.checks[0].trucks = 5;
    figures.checks[6].trucks = 2;
    figures.checks[9].trucks = 1;
    figures.gvwAll.counts.assign(10, 5);
    const Chart chart(kind, std::make_shared<SiteStats>(figures));
    const QRectF rect(10, 20, 480, 300);
    const ChartGeometry g = chart.layout(rect);

    const QStringList how = where.split(QLatin1Char(' '));
    QPointF point;
    if (how[0] == QLatin1String("bar") || how[0] == QLatin1String("dot") ||
        how[0] == QLatin1String("value")) {
        const MarkRole role = how[0] == QLatin1String("bar")   ? MarkRole::Bar
                              : how[0] == QLatin1String("dot") ? MarkRole::Point
                                                               : MarkRole::ValueLabel;
        for (const Mark* mark : g.marksOf(role)) {
            if (mark->item == how[1].toInt()) {
                point = mark->rect.center();
            }
        }
    } else if (how[0] == QLatin1String("label")) {
        for (const Mark* mark : g.marksOf(MarkRole::TickLabel)) {
            if (mark->text == how[1]) {
                point = mark->rect.center();
            }
        }
    } else if (where == QLatin1String("below plot")) {
        point = QPointF(g.plot.center().x(), g.plot.bottom() + 12);
    } else if (where == QLatin1String("left of plot")) {
        point = QPointF(g.plot.left() - 10, g.plot.center().y());
    } else {
        point = g.plot.center();
    }
    QVERIFY(!point.isNull());
    const std::optional<int> found = chart.itemAt(point, rect);
    QCOMPARE(found.value_or(-1), item);
}

// AXLE_SUM 100 trucks of 2000 (5.0 %), CLOCK 50 (2.5 %): the bars' lengths
// 2 : 1, their counts and shares beside them, every check labelled.
void tst_Charts::checksBarsAndShares() {
    SiteStats figures;
    figures.trucks = 2000;
    figures.checks[0].trucks = 100;
    figures.checks[0].tenths = 50;
    figures.checks[6].trucks = 50;
    figures.checks[6].tenths = 25;
    const ChartGeometry g = Chart(ChartKind::Checks, std::make_shared<SiteStats>(figures))
                                .layout(QRectF(0, 0, 480, 300));
    QCOMPARE(Texts(g, MarkRole::TickLabel).mid(0, 10),
             QStringList({"ORDER", "DUPLICATE", "SPEED", "CLOCK", "FIELD_MAX", "WHEELBASE",
                          "AXLE_EXTRA", "AXLE_EMPTY", "AXLE_COUNT", "AXLE_SUM"}));
    const std::vector<const Mark*> bars = g.marksOf(MarkRole::Bar);
    QCOMPARE(bars.size(), 2U);
    QCOMPARE(bars[0]->item, 0);
    QCOMPARE(bars[1]->item, 6);
    QVERIFY(std::abs(bars[0]->rect.width() - 2 * bars[1]->rect.width()) < 1e-6);
    QVERIFY(bars[0]->rect.bottom() < bars[1]->rect.top());  // AXLE_SUM above CLOCK
    const QStringList values = Texts(g, MarkRole::ValueLabel);
    QCOMPARE(values.size(), 10);
    QCOMPARE(values[0], QStringLiteral("100 (5.0%)"));
    QCOMPARE(values[1], QStringLiteral("0 (0.0%)"));
    QCOMPARE(values[6], QStringLiteral("50 (2.5%)"));
    QCOMPARE(g.axes[0].caption, QStringLiteral("trucks"));
}

void tst_Charts::hourlyLineAndLegendPerLane() {
    SiteStats figures;
    figures.trucks = 60;
    for (const auto& [lane, direction] : {std::pair(1, 1), {1, 2}, {2, 1}}) {
        LaneFigures figure;
        figure.lane = lane;
        figure.direction = direction;
        figure.perHour[static_cast<std::size_t>(lane * 5 + direction)] = 20;
        figure.trucks = 20;
        figures.lanes.push_back(figure);
    }
    const ChartGeometry g = Chart(ChartKind::Hourly, std::make_shared<SiteStats>(figures))
                                .layout(QRectF(0, 0, 300, 260));
    QCOMPARE(Texts(g, MarkRole::Legend),
             QStringList({"lane 1, direction 1", "lane 1, direction 2", "lane 2, direction 1"}));
    const std::vector<const Mark*> lines = g.marksOf(MarkRole::Line);
    QCOMPARE(lines.size(), 3U);
    QCOMPARE(lines[0]->points.size(), 24);
    QVERIFY(lines[0]->stroke != lines[1]->stroke && lines[1]->stroke != lines[2]->stroke);
    // Lane 1, direction 2 peaks at hour 7, at the top of 0..20.
    QCOMPARE(lines[1]->points[7].y(), g.plot.top());
    QCOMPARE(lines[1]->points[6].y(), g.plot.bottom());
    QCOMPARE(g.axes[0].caption, QStringLiteral("HOUR"));
    QCOMPARE(TickValues(g.axes[0]).front(), 0.0);
    QVERIFY(TickValues(g.axes[0]).back() <= 23);
}

void tst_Charts::paintsNothingOutsideItsRectangle_data() {
    QTest::addColumn<ChartKind>("kind");
    QTest::addColumn<qreal>("ratio");
    for (const ChartKind kind : kAllCharts) {
        const QByteArray name = KindName(kind).toUtf8();
        QTest::addRow("%s at 1x", name.constData()) << kind << 1.0;
        QTest::addRow("%s at 2x", name.constData()) << kind << 2.0;
    }
}

// Drawn into the middle of a magenta image: every pixel outside the chart's
// rectangle stays magenta, the corners inside take the background.
void tst_Charts::paintsNothingOutsideItsRectangle() {
    QFETCH(ChartKind, kind);
    QFETCH(qreal, ratio);
    static const Stats site = Site(20, 200);
    const QSize size(520, 360);
    const QRect rect(40, 30, 440, 290);
    const QRgb magenta = qRgb(255, 0, 255);
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(magenta);
    {
        QPainter painter(&image);
        Chart(kind, site).paint(painter, rect);
    }
    const QRect inside(rect.topLeft() * ratio, rect.size() * ratio);
    int outside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!inside.contains(x, y) && image.pixel(x, y) != magenta) {
                ++outside;
            }
        }
    }
    QCOMPARE(outside, 0);
    for (const QPoint corner :
         {inside.topLeft(), inside.topRight(), inside.bottomLeft(), inside.bottomRight()}) {
        QCOMPARE(image.pixel(corner), qRgb(255, 255, 255));
    }
    // Something was drawn: dark pixels of text and axes.
    int dark = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
        }
    }
    QVERIFY(dark > 200 * ratio * ratio);
}

void tst_Charts::svgIsWellFormed_data() {
    QTest::addColumn<ChartKind>("kind");
    QTest::addColumn<Stats>("stats");
    const Stats site = Site(10, 100);
    const Stats none = std::make_shared<SiteStats>();
    for (const ChartKind kind : kAllCharts) {
        const QByteArray name = KindName(kind).toUtf8();
        QTest::addRow("%s", name.constData()) << kind << site;
        QTest::addRow("%s, no data", name.constData()) << kind << none;
    }
}

void tst_Charts::svgIsWellFormed() {
    QFETCH(ChartKind, kind);
    QFETCH(Stats, stats);
    const QByteArray svg = ChartSvg(Chart(kind, stats), QSize(480, 300));
    QVERIFY(svg.contains("<svg"));
    QVERIFY(svg.contains("viewBox=\"0 0 480 300\""));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.svg"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(svg);
    file.close();
    QProcess xmllint;
    xmllint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), path});
    QVERIFY(xmllint.waitForFinished(30000));
    QCOMPARE(xmllint.exitStatus(), QProcess::NormalExit);
    QVERIFY2(xmllint.exitCode() == 0, xmllint.readAllStandardError().constData());
}

QTEST_MAIN(tst_Charts)
#include "tst_charts.moc"

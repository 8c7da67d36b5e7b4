// The charts' geometry without pixels (nice ticks whose labels never overlap,
// everything inside the chart's rectangle, peaks over their bins, days in
// their places), then the pixels of the drawn charts at two pixel ratios and
// their SVG checked by xmllint.

#include "drawing/charts/ChartFile.h"
#include "drawing/charts/ChartFrame.h"
#include "drawing/charts/Charts.h"
#include "stats/Calendar.h"

#include "TruckLines.h"

#include <QPainter>
#include <QProcess>
#include <QTest>

#include <cmath>
#include <cstdint>

using namespace axlewise;

Q_DECLARE_METATYPE(axlewise::ChartKind)
Q_DECLARE_METATYPE(std::shared_ptr<const axlewise::SiteStats>)

namespace {

using Stats = std::shared_ptr<const SiteStats>;

// The figures of a made-up but realistic site, the same on every machine:
// `perDay` trucks on each of `days` days from 24-02-27 (so that February's
// 29th and a month end are crossed), in lanes 1 and 2 (most in lane 1) and
// directions 1 and 2, more by day than by night, every 40th failing AXLE_SUM.
// Two thirds have 5 axles (none when `fiveAxle` is false); their GVW has two
// humps, around 150 unloaded and 390 loaded, and their WT AX 1 a median of
// about 60 on the first day, drifting up by one every second day.
Stats Site(int days, int perDay, bool fiveAxle = true) {
    std::uint64_t state = 1;
    const auto uniform = [&state](int lo, int hi) {  // splitmix64: the same sequence everywhere
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return lo + static_cast<int>((z ^ (z >> 31)) % static_cast<std::uint64_t>(hi - lo + 1));
    };
    StatsAccumulator accumulator;
    TruckIndex number = 0;
    for (int d = 0; d < days; ++d) {
        const CalendarDate date = DateOfDayNumber(DayNumber(24, 2, 27) + d);
        for (int k = 0; k < perDay; ++k) {
            TruckRecord truck;
            const auto set = [&truck](int index, int value) {
                truck.Data[static_cast<std::size_t>(index)] = static_cast<std::int16_t>(value);
            };
            set(kYearField, date.year);
            set(kMonthField, date.month);
            set(kDayField, date.day);
            set(kHourField, uniform(0, 9) < 8 ? uniform(6, 19) : uniform(0, 23));
            const int lane = uniform(0, 9) < 7 ? 1 : 2;
            set(kLaneField, lane);
            set(kDirectionField, uniform(1, 2));
            set(kSpeedField, lane == 1 ? uniform(72, 92) : uniform(85, 105));
            const bool five = fiveAxle && uniform(0, 2) > 0;
            set(kNoAxlesField, five ? 5 : 2);
            set(kGvwField, !five               ? uniform(100, 160)
                           : uniform(0, 9) < 6 ? uniform(350, 430)
                                               : uniform(130, 170));
            set(AxleWeightField(1), five ? uniform(55, 65) + d / 2 : uniform(40, 60));
            set(AxleSpacingField(2), five ? 13 : 0);
            ++number;
            accumulator.add(number, truck, number % 40 == 0 ? MaskOf(CheckCode::AxleSum) : 0);
        }
    }
    return std::make_shared<SiteStats>(accumulator.result());
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
SiteStats TwoHumps(const QList<int>& peaks) {
    SiteStats stats;
    stats.trucks = 1000;
    stats.fiveAxle = 500;
    stats.gvwAll.width = stats.gvwFiveAxle.width = 10;
    stats.gvwAll.counts.assign(40, 10);
    stats.gvwFiveAxle.counts.assign(40, 1);
    for (const int bin : peaks) {
        stats.gvwAll.counts[static_cast<std::size_t>(bin)] = 60;
        stats.gvwFiveAxle.counts[static_cast<std::size_t>(bin)] = 50;
        stats.gvwPeaks.push_back({static_cast<std::size_t>(bin), bin * 10 + 5});
    }
    return stats;
}

}  // namespace

class tst_Charts : public QObject {
    Q_OBJECT

private slots:
    void ticks_data();
    void ticks();
    void tickTextNeverMinusZero();

    void insideItsRectangleWithTicksApart_data();
    void insideItsRectangleWithTicksApart();
    void gvwPeaksOverTheirBins_data();
    void gvwPeaksOverTheirBins();
    void daysInPlaceFilledOrHollow();
    void checksBarsAndShares();
    void hourlyLineAndLegendPerLane();

    void paintsNothingOutsideItsRectangle_data();
    void paintsNothingOutsideItsRectangle();
    void svgIsWellFormed_data();
    void svgIsWellFormed();
};

void tst_Charts::ticks_data() {
    QTest::addColumn<QString>("axis");  // vertical (nice ends), horizontal, dates (horizontal)
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<double>("minStep");
    QTest::addColumn<double>("pixels");
    QTest::addColumn<QStringList>("labels");
    // At least 24 pixels a tick: a step of 780 * 24 / 200 = 93.6 or more, so
    // 100; 0..800 leaves 25 pixels a tick.
    QTest::newRow("counts up to 780")
        << "vertical" << 0.0 << 780.0 << 1.0 << 200.0
        << QStringList{"0", "100", "200", "300", "400", "500", "600", "700", "800"};
    // A step of 7.7 * 24 / 200 = 0.92 or more: 1, over 61..69: 8 ticks 25 px apart.
    QTest::newRow("medians 61.2 to 68.9")
        << "vertical" << 61.2 << 68.9 << 0.0 << 200.0
        << QStringList{"61", "62", "63", "64", "65", "66", "67", "68", "69"};
    // Equal values are widened to 13..14; a step of 0.12 or more: 0.2.
    QTest::newRow("all days alike") << "vertical" << 13.0 << 13.0 << 0.0 << 200.0
                                    << QStringList{"13.0", "13.2", "13.4", "13.6", "13.8", "14.0"};
    // A step of 24 / 200 at least, but whole numbers: 1, over 0..1.
    QTest::newRow("one truck") << "vertical" << 0.0 << 1.0 << 1.0 << 200.0 << QStringList{"0", "1"};
    // A step of 0.024 or more: 0.05, written with two decimals.
    QTest::newRow("hundredths") << "vertical" << 0.0 << 0.2 << 0.0 << 200.0
                                << QStringList{"0.00", "0.05", "0.10", "0.15", "0.20"};
    // 40 pixels a tick at first: 920 * 40 / 380 = 96.8, so 100, 41.3 px
    // apart; "1000" is 26.7 px wide.
    QTest::newRow("GVW 100..1020 across")
        << "horizontal" << 100.0 << 1020.0 << 1.0 << 380.0
        << QStringList{"100", "200", "300", "400", "500", "600", "700", "800", "900", "1000"};
    // Days 24-02-27 - 0.5 to 24-03-17 + 0.5 (8823.5..8842.5), labels 48 px
    // wide and 8 apart. Over 400 px a step of 2 days (19 * 40 / 400 = 1.9)
    // leaves 42 px, 5 days 105; over 200 px 5 days leave 52.6, so 10.
    QTest::newRow("dates over 400 px")
        << "dates" << 8823.5 << 8842.5 << 1.0 << 400.0
        << QStringList{"24-02-29", "24-03-05", "24-03-10", "24-03-15"};
    QTest::newRow("dates over 200 px: a wider step")
        << "dates" << 8823.5 << 8842.5 << 1.0 << 200.0 << QStringList{"24-03-05", "24-03-15"};
}

// A vertical axis from y 10 + pixels up to 10, its labels right-aligned at x
// 50; a horizontal one from x 0 to pixels, its labels centred under their
// ticks at y 100.
void tst_Charts::ticks() {
    QFETCH(QString, axis);
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(double, minStep);
    QFETCH(double, pixels);
    const bool vertical = axis == QLatin1String("vertical");
    AxisPlan plan{QStringLiteral("x"), lo, hi, vertical, minStep, 0, {}};
    if (axis == QLatin1String("dates")) {
        plan.label = [](double value) {
            const CalendarDate d = DateOfDayNumber(static_cast<int>(std::lround(value)));
            return QString::asprintf("%02d-%02d-%02d", d.year, d.month, d.day);
        };
    }
    const ChartFonts fonts(DefaultChartStyle());
    const Axis made = vertical ? VerticalAxis(plan, 10 + pixels, 10, 50, fonts)
                               : HorizontalAxis(plan, 0, pixels, 100, -100, pixels + 100, fonts);
    QStringList labels;
    for (const Tick& tick : made.ticks) {
        labels << tick.label;
        const QPointF centre = tick.labelRect.center();
        QCOMPARE(vertical ? centre.y() : centre.x(), tick.position);
        QCOMPARE(vertical ? tick.labelRect.right() : tick.labelRect.top(), vertical ? 50.0 : 100.0);
    }
    QTEST(labels, "labels");
    if (vertical) {  // nice ends: the axis from its first tick to its last
        QCOMPARE(made.ticks.front().position, 10 + pixels);
        QCOMPARE(made.ticks.back().position, 10.0);
    }
}

// A value that rounds to zero in the step's decimals is written without a minus.
void tst_Charts::tickTextNeverMinusZero() {
    QCOMPARE(TickText(-1e-12, 0.1), QStringLiteral("0.0"));
}

void tst_Charts::insideItsRectangleWithTicksApart_data() {
    QTest::addColumn<ChartKind>("kind");
    QTest::addColumn<Stats>("stats");
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<QString>("note");  // the notes shown, "?": any
    const Stats none = std::make_shared<SiteStats>();
    const Stats one = Site(1, 1);
    const Stats day = Site(1, 200);
    const Stats site = Site(60, 100);
    const Stats twoAxles = Site(3, 100, false);
    const QRectF usual(0, 0, 480, 300);
    for (const ChartKind kind : kAllCharts) {
        const bool days = kind == ChartKind::Steering || kind == ChartKind::Tandem;
        const QByteArray name = KindName(kind).toUtf8();
        const auto row = [&name](const char* what) -> QTestData& {
            return QTest::addRow("%s: %s", name.constData(), what);
        };
        row("no trucks") << kind << none << usual << "no data";
        row("one truck") << kind << one << usual << "?";
        row("one day") << kind << day << usual << "";
        row("no 5-axle trucks") << kind << twoAxles << usual
                                << (days                     ? "no data"
                                    : kind == ChartKind::Gvw ? "no 5-axle trucks"
                                                             : "");
        row("a site") << kind << site << usual << "";
        row("small") << kind << site << QRectF(0, 0, 240, 200) << "";
        row("off the origin, fractional")
            << kind << site << QRectF(37.5, 21.25, 333.3, 211.7) << "";
        row("narrow and tall") << kind << site << QRectF(0, 0, 170, 500) << "";
        row("wide and flat") << kind << site << QRectF(0, 0, 1400, 240) << "";
        row("wider and flatter") << kind << site << QRectF(0, 0, 900, 120) << "?";
        row("tiny") << kind << site << QRectF(5, 5, 60, 40) << "?";
        row("nothing") << kind << site << QRectF(5, 5, 0, 0) << "?";
    }
}

// Every mark inside the rectangle, "no data" said exactly when there is none,
// and every axis with a nice step, its ticks multiples of it inside the axis,
// its labels inside the chart, apart from each other and from the captions.
void tst_Charts::insideItsRectangleWithTicksApart() {
    QFETCH(ChartKind, kind);
    QFETCH(Stats, stats);
    QFETCH(QRectF, rect);
    QFETCH(QString, note);
    const ChartGeometry chart = Chart(kind, stats).layout(rect);
    for (const Mark& mark : chart.marks) {
        QVERIFY2(Within(mark.extent(), rect), qPrintable(mark.text + RectText(mark.extent())));
    }
    for (const HitArea& area : chart.items) {
        QVERIFY(Within(area.rect, rect));
    }
    QCOMPARE(chart.noData, Texts(chart, MarkRole::Note).contains(QStringLiteral("no data")));
    if (note != QLatin1String("?")) {
        QCOMPARE(Texts(chart, MarkRole::Note).join(QLatin1Char(',')), note);
        QCOMPARE(chart.axes.empty(), note == QLatin1String("no data"));
    }
    std::vector<QRectF> labels;  // of every axis and the captions, apart from each other
    for (const Axis& axis : chart.axes) {
        QVERIFY2(Nice(axis.step), qPrintable(QString::number(axis.step)));
        QVERIFY(!axis.ticks.empty());
        for (std::size_t i = 0; i < axis.ticks.size(); ++i) {
            const Tick& tick = axis.ticks[i];
            const double multiple = tick.value / axis.step;
            QVERIFY(std::abs(multiple - std::round(multiple)) < 1e-6);
            QVERIFY(tick.value >= std::min(axis.lo, axis.hi) - 1e-9);
            QVERIFY(tick.value <= std::max(axis.lo, axis.hi) + 1e-9);
            if (!tick.label.isEmpty()) {
                labels.push_back(tick.labelRect);
            }
            if (i > 0 && axis.vertical) {
                QVERIFY2(axis.ticks[i - 1].labelRect.top() >= tick.labelRect.bottom(),
                         qPrintable(tick.label));
            } else if (i > 0) {
                QVERIFY2(
                    axis.ticks[i - 1].labelRect.right() + kLabelGap <= tick.labelRect.left() + 1e-9,
                    qPrintable(tick.label));
            }
        }
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

// Each peak's dashed line through the middle of its bin's five-axle bar, its
// label beside it inside the plot, two labels apart.
void tst_Charts::gvwPeaksOverTheirBins() {
    QFETCH(QList<int>, bins);
    const ChartGeometry g = Chart(ChartKind::Gvw, std::make_shared<SiteStats>(TwoHumps(bins)))
                                .layout(QRectF(0, 0, 480, 300));
    QTEST(Texts(g, MarkRole::MarkerLabel), "labels");
    std::vector<double> barMiddles;  // of the five-axle bars, one a bin
    for (const Mark* bar : g.marksOf(MarkRole::Bar)) {
        if (bar->series == 1) {
            barMiddles.push_back(bar->rect.center().x());
        }
    }
    QCOMPARE(barMiddles.size(), 40U);
    const std::vector<const Mark*> lines = g.marksOf(MarkRole::Marker);
    const std::vector<const Mark*> labels = g.marksOf(MarkRole::MarkerLabel);  // shade, text
    QCOMPARE(labels.size(), 2 * static_cast<std::size_t>(bins.size()));
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const double x = lines[k]->points[0].x();
        const QRectF label = labels[2 * k]->rect;
        QVERIFY(std::abs(x - barMiddles[static_cast<std::size_t>(bins[int(k)])]) < 1);
        QVERIFY(Within(label, g.plot));
        QVERIFY(std::abs(label.center().x() - x) < label.width());
    }
    QVERIFY(labels.size() < 4 || !labels[0]->rect.intersects(labels[2]->rect));
}

// Days 24-03-01, 02 and 06 with 30, 29 and 1 five-axle trucks (03-04 has a
// truck but none of five axles); their WT AX 1 60 (the file's median), 66 (10 %
// up, out of the ±5 % band) and 57 (5 % down, on its lower edge).
void tst_Charts::daysInPlaceFilledOrHollow() {
    StatsAccumulator accumulator;
    TruckIndex number = 0;
    for (const auto& [day, trucks, weight] :
         {std::tuple(1, 30, 60), {2, 29, 66}, {4, 1, 0}, {6, 1, 57}}) {
        const std::string changes = "YEAR=24, MONTH=3, DAY=" + std::to_string(day) +
                                    ", NO. AXLES=" + (weight > 0 ? "5" : "2") +
                                    ", WT AX 1=" + std::to_string(weight);
        for (int k = 0; k < trucks; ++k) {
            accumulator.add(++number, test::WithChanges(TruckRecord(), changes), 0);
        }
    }
    const ChartStyle style = DefaultChartStyle();
    const Chart chart(ChartKind::Steering, std::make_shared<SiteStats>(accumulator.result()));
    const ChartGeometry g = chart.layout(QRectF(0, 0, 480, 300));
    QCOMPARE(Texts(g, MarkRole::Caption), QStringList({"WT AX 1", "day (YY-MM-DD)"}));
    const std::vector<const Mark*> dots = g.marksOf(MarkRole::Point);
    QCOMPARE(dots.size(), 3U);
    QCOMPARE(QList<QColor>({dots[0]->fill, dots[1]->fill, dots[2]->fill}),
             QList<QColor>({style.accent, style.background, style.background}));
    QCOMPARE(QList<int>({dots[0]->item, dots[1]->item, dots[2]->item}), QList<int>({0, 1, 3}));

    // 03-06 lies five times as far from 03-01 as 03-02 does.
    const double x0 = dots[0]->rect.center().x();
    const double x1 = dots[1]->rect.center().x();
    QVERIFY(std::abs((dots[2]->rect.center().x() - x0) - 5 * (x1 - x0)) < 1e-6);

    const QRectF band = g.marksOf(MarkRole::Band).front()->rect;
    QVERIFY(band.contains(dots[0]->rect.center()));
    QVERIFY(dots[1]->rect.center().y() < band.top());
    QVERIFY(std::abs(dots[2]->rect.center().y() - band.bottom()) < 1e-6);
    // The strip's bars: 30 is as tall as 30 times the bar of 1.
    const std::vector<const Mark*> bars = g.marksOf(MarkRole::Bar);
    QCOMPARE(bars.size(), 3U);
    QVERIFY(std::abs(bars[0]->rect.height() - 30 * bars[2]->rect.height()) < 1e-6);
    QVERIFY(Within(bars[0]->rect, g.strip));
}

// AXLE_SUM 100 trucks of 2000 (5.0 %), CLOCK 50 (2.5 %): the bars' lengths
// 2 : 1, AXLE_SUM on top, every check's count and share beside its row.
void tst_Charts::checksBarsAndShares() {
    SiteStats figures;
    figures.trucks = 2000;
    figures.checks[0].trucks = 100;
    figures.checks[0].tenths = 50;
    figures.checks[6].trucks = 50;
    figures.checks[6].tenths = 25;
    const ChartGeometry g = Chart(ChartKind::Checks, std::make_shared<SiteStats>(figures))
                                .layout(QRectF(0, 0, 480, 300));
    const std::vector<const Mark*> bars = g.marksOf(MarkRole::Bar);
    QCOMPARE(bars.size(), 2U);
    QCOMPARE(QList<int>({bars[0]->item, bars[1]->item}), QList<int>({0, 6}));
    QVERIFY(std::abs(bars[0]->rect.width() - 2 * bars[1]->rect.width()) < 1e-6);
    QVERIFY(bars[0]->rect.bottom() < bars[1]->rect.top());  // AXLE_SUM above CLOCK
    const QStringList values = Texts(g, MarkRole::ValueLabel);
    QCOMPARE(values.size(), 10);
    QCOMPARE(QStringList({values[0], values[1], values[6]}),
             QStringList({"100 (5.0%)", "0 (0.0%)", "50 (2.5%)"}));
}

// Lane 1 direction 1 counts 20 at hour 6, lane 1 direction 2 at hour 7, lane
// 2 direction 1 at hour 11: a line and a legend entry each, in their colours.
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
    QVERIFY(lines[0]->stroke != lines[1]->stroke && lines[1]->stroke != lines[2]->stroke);
    QCOMPARE(lines[1]->points[7].y(), g.plot.top());  // at the top of 0..20
    QCOMPARE(lines[1]->points[6].y(), g.plot.bottom());
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
// rectangle stays magenta, the corners inside take the background, and the
// text and axes leave dark pixels inside.
void tst_Charts::paintsNothingOutsideItsRectangle() {
    QFETCH(ChartKind, kind);
    QFETCH(qreal, ratio);
    static const Stats site = Site(20, 200);
    const QRect rect(40, 30, 440, 290);
    const QRgb magenta = qRgb(255, 0, 255);
    QImage image(QSize(520, 360) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(magenta);
    {
        QPainter painter(&image);
        Chart(kind, site).paint(painter, rect);
    }
    const QRect inside(rect.topLeft() * ratio, rect.size() * ratio);
    int outside = 0;
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            outside += !inside.contains(x, y) && pixel != magenta ? 1 : 0;
            dark += inside.contains(x, y) && qGray(pixel) < 100 ? 1 : 0;
        }
    }
    QCOMPARE(outside, 0);
    for (const QPoint corner :
         {inside.topLeft(), inside.topRight(), inside.bottomLeft(), inside.bottomRight()}) {
        QCOMPARE(image.pixel(corner), qRgb(255, 255, 255));
    }
    QVERIFY(dark > 200 * ratio * ratio);
}

void tst_Charts::svgIsWellFormed_data() {
    QTest::addColumn<ChartKind>("kind");
    for (const ChartKind kind : kAllCharts) {
        QTest::newRow(KindName(kind).toUtf8().constData()) << kind;
    }
}

void tst_Charts::svgIsWellFormed() {
    QFETCH(ChartKind, kind);
    static const Stats site = Site(10, 100);
    const QByteArray svg = ChartSvg(Chart(kind, site), QSize(480, 300));
    QVERIFY(svg.contains("viewBox=\"0 0 480 300\""));
    QProcess xmllint;
    xmllint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("-")});
    xmllint.write(svg);
    xmllint.closeWriteChannel();
    QVERIFY(xmllint.waitForFinished(30000));
    QCOMPARE(xmllint.exitStatus(), QProcess::NormalExit);
    QVERIFY2(xmllint.exitCode() == 0, xmllint.readAllStandardError().constData());
}

QTEST_MAIN(tst_Charts)
#include "tst_charts.moc"

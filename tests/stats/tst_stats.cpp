// Whole-file statistics on trucks built field by field: nice widths and bins,
// percentiles and medians, calendar days and their medians, peaks of a
// two-humped histogram, hours by lane and direction, checks, and merging the
// figures of several files. Every expectation is worked out by hand.

#include "stats/Calendar.h"
#include "stats/FiguresText.h"
#include "stats/Histogram.h"
#include "stats/NiceNumbers.h"
#include "stats/SiteStats.h"
#include "stats/ValueCounts.h"

#include "TruckLines.h"

#include <QRegularExpression>
#include <QTest>

using namespace axlewise;

namespace {

// A five-axle truck on 24-03-11 at 10:00, lane 1, direction 1, with fields
// changed by caption: "GVW=364, WT AX 1=60".
TruckRecord Truck(const QString& changes = {}) {
    const QString base = QStringLiteral(
        "YEAR=24, MONTH=3, DAY=11, HOUR=10, SPEED=80, GVW=300, NO. AXLES=5, LANE=1, "
        "DIRECTION=1, WT AX 1=60, S AX 2 - AX 3=13, ");
    return test::WithChanges(TruckRecord(), (base + changes).toStdString());
}

// The figures of the trucks made by Truck(changes), fed in order as trucks 1, 2, ...
SiteStats Fed(const QStringList& trucks) {
    StatsAccumulator stats;
    TruckIndex number = 0;
    for (const QString& changes : trucks) {
        stats.add(++number, Truck(changes), 0);
    }
    return stats.result();
}

// Trucks written "YY-MM-DD axles wt1 s23" and separated by "; ".
SiteStats DayStats(const QString& trucks) {
    QStringList changes;
    for (const QString& text : trucks.split(QStringLiteral("; "))) {
        const QStringList f = text.split(QRegularExpression(QStringLiteral("[- ]")));
        changes << QStringLiteral(
                       "YEAR=%1, MONTH=%2, DAY=%3, NO. AXLES=%4, WT AX 1=%5, S AX 2 - AX 3=%6")
                       .arg(f[0], f[1], f[2], f[3], f[4], f[5]);
    }
    return Fed(changes);
}

// "YY-MM-DD trucks #first five steering tandem" per day.
QStringList DayTexts(const SiteStats& stats) {
    QStringList texts;
    for (const DayFigures& d : stats.days) {
        texts << QString::asprintf(
            "%02d-%02d-%02d %lld #%lld %lld %g %g", d.year, d.month, d.day,
            static_cast<long long>(d.trucks), static_cast<long long>(d.first.number),
            static_cast<long long>(d.fiveAxle), d.steeringMedian, d.tandemMedian);
    }
    return texts;
}

// "first+width x bins: bin=count ..." for the bins counted, then "<below
// >above" when values fell beyond them.
QString BinsText(const Histogram& h) {
    QStringList text{QStringLiteral("%1+%2x%3:").arg(h.first).arg(h.width).arg(h.counts.size())};
    for (std::size_t bin = 0; bin < h.counts.size(); ++bin) {
        if (h.counts[bin] != 0) {
            text << QStringLiteral("%1=%2").arg(bin).arg(h.counts[bin]);
        }
    }
    if (h.below + h.above > 0) {
        text << QStringLiteral("<%1 >%2").arg(h.below).arg(h.above);
    }
    return text.join(QLatin1Char(' '));
}

ValueCounts CountsOf(const QList<int>& values) {
    ValueCounts counts;
    for (const int value : values) {
        counts.add(static_cast<std::int16_t>(value));
    }
    return counts;
}

QString Refs(const std::vector<TruckRef>& refs) {
    QStringList texts;
    for (const TruckRef& ref : refs) {
        texts << QStringLiteral("%1:%2").arg(ref.source).arg(ref.number);
    }
    return texts.join(QLatin1Char(' '));
}

}  // namespace

class tst_Stats : public QObject {
    Q_OBJECT

private slots:
    void niceAtLeast_data();
    void niceAtLeast();
    void binWidth_data();
    void binWidth();
    void binValues_data();
    void binValues();
    void percentiles_data();
    void percentiles();
    void countsGrowToAnyValue();
    void peaks_data();
    void peaks();
    void calendar_data();
    void calendar();

    void daysAndTheirMedians_data();
    void daysAndTheirMedians();
    void hoursByLaneAndDirection();
    void passages_data();
    void passages();
    void gvwFigures();
    void mergedFiles_sameAsOneListWithSources();
};

// Nice numbers come from the bin widths here and the charts' ticks; these
// are the edges.
void tst_Stats::niceAtLeast_data() {
    QTest::addColumn<double>("least");
    QTest::addColumn<double>("nice");
    QTest::newRow("nothing gives one") << 0.0 << 1.0;
    QTest::newRow("less than nothing gives one") << -5.0 << 1.0;
    // Climbing from 10^-6, 10 * 10^-6 is not exactly 10^-5 in binary.
    QTest::newRow("a nice value stays itself") << 1e-5 << 1e-5;
}

void tst_Stats::niceAtLeast() {
    QFETCH(double, least);
    QTEST(NiceAtLeast(least), "nice");
}

void tst_Stats::binWidth_data() {
    QTest::addColumn<int>("lo");
    QTest::addColumn<int>("hi");
    QTest::addColumn<int>("most");
    QTest::addColumn<int>("width");
    QTest::addColumn<qint64>("bins");
    QTest::newRow("60 values, 60 unit bins") << 0 << 59 << 60 << 1 << 60LL;
    QTest::newRow("61 values: width 2, 0..60") << 0 << 60 << 60 << 2 << 31LL;
    // 52..935: width 10 gives bins 50..930, 89 of them; width 20 gives 40..920, 45.
    QTest::newRow("a GVW spread") << 52 << 935 << 60 << 20 << 45LL;
    // Width 2 would give 65 bins; 5 gives 26: the one jump of 2.5 leaves fewer than 30.
    QTest::newRow("0..129 jumps to width 5") << 0 << 129 << 60 << 5 << 26LL;
    // Bins start at multiples of 5 below zero too: -15..-11 is the first.
    QTest::newRow("negative low end") << -15 << 112 << 60 << 5 << 26LL;
    // No width puts -1 and 0 in one bin starting at a multiple of it.
    QTest::newRow("one bin across zero: growing stops") << -1 << 0 << 1 << 1000000 << 2LL;
}

void tst_Stats::binWidth() {
    QFETCH(int, lo);
    QFETCH(int, hi);
    QFETCH(int, most);
    QFETCH(int, width);
    QCOMPARE(NiceBinWidth(lo, hi, most), width);
    QTEST(BinCount(lo, hi, width), "bins");
}

void tst_Stats::binValues_data() {
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<int>("lo");
    QTest::addColumn<int>("hi");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("bins");  // BinsText
    // Bins 5..9, 10..14, 15..19: 4 lies under the first, 20 at the end.
    QTest::newRow("outliers on both sides")
        << QList<int>{4, 7, 7, 12, 19, 20} << 5 << 19 << 5 << "5+5x3: 0=2 1=1 2=1 <1 >1";
    QTest::newRow("bin edges: 9 low bin, 10 the next")
        << QList<int>{9, 10, 14, 15} << 6 << 16 << 5 << "5+5x3: 0=1 1=2 2=1";
    QTest::newRow("negative values floor to -10")
        << QList<int>{-6, -5, -1, 0, 4} << -6 << 4 << 5 << "-10+5x3: 0=1 1=2 2=2";
}

void tst_Stats::binValues() {
    QFETCH(QList<int>, values);
    QFETCH(int, lo);
    QFETCH(int, hi);
    QFETCH(int, width);
    QTEST(BinsText(BinValues(CountsOf(values), lo, hi, width)), "bins");
}

void tst_Stats::percentiles_data() {
    QTest::addColumn<QList<int>>("values");
    // 0.5th, 10th, 50th, 90th, 99.5th percentile (nearest rank), median.
    QTest::addColumn<QList<int>>("ranked");
    QTest::addColumn<double>("median");
    // Ranks for 10 values: ceil(0.05) = 1, 1, 5, 9, ceil(9.95) = 10. The
    // median of an even count is the mean of the middle two.
    QTest::newRow("one to ten") << QList<int>{7, 3, 10, 1, 9, 2, 8, 4, 6, 5}
                                << QList<int>{1, 1, 5, 9, 10} << 5.5;
    QTest::newRow("one value") << QList<int>{42} << QList<int>{42, 42, 42, 42, 42} << 42.0;
    QTest::newRow("repeats") << QList<int>{5, 5, 5, 100} << QList<int>{5, 5, 5, 100, 100} << 5.0;
    QTest::newRow("negative, odd count")
        << QList<int>{-3, 2, -1} << QList<int>{-3, -3, -1, 2, 2} << -1.0;
    QTest::newRow("even, unsorted: mean of 54 and 58")
        << QList<int>{60, 50, 58, 54} << QList<int>{50, 50, 54, 60, 60} << 56.0;
}

void tst_Stats::percentiles() {
    QFETCH(QList<int>, values);
    QFETCH(double, median);
    const ValueCounts counts = CountsOf(values);
    QList<int> ranked;
    for (const int p : {5, 100, 500, 900, 995}) {
        ranked << counts.percentile(p);
    }
    QTEST(ranked, "ranked");
    QCOMPARE(counts.median(), median);
    std::vector<std::int16_t> list(values.begin(), values.end());
    QCOMPARE(MedianOf(list), median);  // by selection, as a day's medians are found
}

// Values far apart on both sides, down to the ends of int16, each keep their
// count; merging counts of another range adds them up.
void tst_Stats::countsGrowToAnyValue() {
    ValueCounts counts = CountsOf({0, 1000, -1000, 0, 32767, -32768});
    QList<qint64> found;
    for (const int value : {0, 1000, -1000, 32767, -32768, 5}) {
        found << counts.count(value);
    }
    QCOMPARE(found, QList<qint64>({2, 1, 1, 1, 1, 0}));
    QCOMPARE(QList<int>({counts.atRank(1), counts.atRank(6)}), QList<int>({-32768, 32767}));
    counts.merge(CountsOf({20000, 0}));
    ValueCounts empty;
    empty.merge(counts);
    QCOMPARE(QList<qint64>({empty.total(), empty.count(20000), empty.count(0)}),
             QList<qint64>({8, 1, 3}));
    QCOMPARE(empty.median(), 0.0);  // -32768 -1000 0 0 | 0 1000 20000 32767
}

void tst_Stats::peaks_data() {
    QTest::addColumn<QList<qint64>>("counts");
    QTest::addColumn<QList<int>>("peaks");
    // Moving sums of three: 1 4 12 16 15 8 5 9 17 22 19 10 3: tops at 3 and 9.
    QTest::newRow("two humps") << QList<qint64>{0, 1, 3, 8, 5, 2, 1, 2, 6, 9, 7, 3, 0}
                               << QList<int>{3, 9};
    // Sums 2 4 6 6 4 2: a plateau over bins 2 and 3 stands at 2.
    QTest::newRow("plateau") << QList<qint64>{0, 2, 2, 2, 2, 0} << QList<int>{2};
    // Sums 5 10 5 5 0 0: the dip of the raw counts is smoothed away.
    QTest::newRow("a notch is no second peak") << QList<qint64>{5, 0, 5, 0, 0, 0} << QList<int>{1};
    // Sums 0 1 3 12 11: nothing lies beyond the last bin, so its top moves in.
    QTest::newRow("a top in the last bin moves in")
        << QList<qint64>{0, 0, 1, 2, 9} << QList<int>{3};
    QTest::newRow("nothing counted") << QList<qint64>{0, 0, 0} << QList<int>{};
}

void tst_Stats::peaks() {
    QFETCH(QList<qint64>, counts);
    Histogram histogram;
    histogram.counts.assign(counts.begin(), counts.end());
    QList<int> found;
    for (const std::size_t bin : HistogramPeaks(histogram, 2)) {
        found << static_cast<int>(bin);
    }
    QTEST(found, "peaks");
}

// Dates that are no dates are left out of the days (daysAndTheirMedians).
void tst_Stats::calendar_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("number");  // DayNumber, -1: no date
    QTest::newRow("00-02-29: 2000 is a leap year") << 0 << 2 << 29 << 59;
    QTest::newRow("01-01-01 after a 366-day year") << 1 << 1 << 1 << 366;
    // 24 * 365 + 6 leap days (00 04 08 12 16 20) + 31 + 28.
    QTest::newRow("24-02-29") << 24 << 2 << 29 << 8825;
    QTest::newRow("99-12-31, the last") << 99 << 12 << 31 << 36524;
    QTest::newRow("year 100") << 100 << 1 << 1 << -1;
}

void tst_Stats::calendar() {
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, number);
    QCOMPARE(IsCalendarDate(year, month, day), number >= 0);
    if (number >= 0) {
        QCOMPARE(DayNumber(year, month, day), number);
        const CalendarDate back = DateOfDayNumber(number);
        QCOMPARE(QList<int>({back.year, back.month, back.day}), QList<int>({year, month, day}));
    }
}

void tst_Stats::daysAndTheirMedians_data() {
    QTest::addColumn<QString>("trucks");    // "YY-MM-DD axles wt1 s23; ..."
    QTest::addColumn<QStringList>("days");  // "YY-MM-DD trucks #first five steering tandem"
    QTest::addColumn<qint64>("undated");
    QTest::newRow("one truck, one day")
        << "24-03-11 5 56 13" << QStringList{"24-03-11 1 #1 1 56 13"} << 0LL;
    // WT AX 1 sorted 50 54 58 60: (54 + 58) / 2; spacings 12 13 14 14: 13.5.
    QTest::newRow("even count: mean of the middle two")
        << "24-03-11 5 60 13; 24-03-11 5 50 14; 24-03-11 5 58 14; 24-03-11 5 54 12"
        << QStringList{"24-03-11 4 #1 4 56 13.5"} << 0LL;
    // Days in date order whatever the list order; each day's first truck in
    // list order; 29 February of a leap year is a day.
    QTest::newRow("days across a month end")
        << "24-02-01 5 61 13; 24-01-31 5 59 14; 24-02-29 5 62 13; 24-01-31 5 57 12; "
           "24-03-01 5 63 13"
        << QStringList{"24-01-31 2 #2 2 58 13", "24-02-01 1 #1 1 61 13", "24-02-29 1 #3 1 62 13",
                       "24-03-01 1 #5 1 63 13"}
        << 0LL;
    // The two-axle trucks count in the day but not in its medians.
    QTest::newRow("only five-axle trucks in the medians")
        << "24-03-11 2 40 0; 24-03-11 5 58 13; 24-03-11 3 45 14"
        << QStringList{"24-03-11 3 #1 1 58 13"} << 0LL;
    QTest::newRow("a day without five-axle trucks")
        << "24-03-11 2 40 0" << QStringList{"24-03-11 1 #1 0 0 0"} << 0LL;
    // 29 February of 2023, 31 April, month 13, month 0 and day 0 are no dates.
    QTest::newRow("no calendar date: left out and counted")
        << "23-02-29 5 60 13; 24-04-31 5 60 13; 24-13-01 5 60 13; 24-00-10 5 60 13; "
           "24-03-00 5 60 13; 24-03-12 5 70 14"
        << QStringList{"24-03-12 1 #6 1 70 14"} << 5LL;
}

void tst_Stats::daysAndTheirMedians() {
    QFETCH(QString, trucks);
    const SiteStats stats = DayStats(trucks);
    QTEST(DayTexts(stats), "days");
    QTEST(qint64{stats.undated}, "undated");
}

// Lanes and directions 0..9 as a line holds them and others from records made
// in code; an hour outside 0..23 counts in the lane but in no hour.
void tst_Stats::hoursByLaneAndDirection() {
    const SiteStats stats = Fed({"LANE=1, DIRECTION=1, HOUR=0", "LANE=1, DIRECTION=1, HOUR=0",
                                 "LANE=1, DIRECTION=2, HOUR=23", "LANE=2, DIRECTION=1, HOUR=7",
                                 "LANE=1, DIRECTION=1, HOUR=24", "LANE=12, DIRECTION=1, HOUR=5",
                                 "LANE=0, DIRECTION=-1, HOUR=-1"});
    QStringList found;
    for (const LaneFigures& lane : stats.lanes) {
        QStringList hours;
        for (std::size_t h = 0; h < 24; ++h) {
            if (lane.perHour[h] != 0) {
                hours << QStringLiteral("%1h:%2").arg(h).arg(lane.perHour[h]);
            }
        }
        found << QStringLiteral("%1/%2 %3 [%4] off %5")
                     .arg(QString::number(lane.lane), QString::number(lane.direction),
                          QString::number(lane.trucks), hours.join(QLatin1Char(' ')),
                          QString::number(lane.offClock));
    }
    QCOMPARE(found, QStringList({"0/-1 1 [] off 1", "1/1 3 [0h:2] off 1", "1/2 1 [23h:1] off 0",
                                 "2/1 1 [7h:1] off 0", "12/1 1 [5h:1] off 0"}));
}

void tst_Stats::passages_data() {
    QTest::addColumn<QStringList>("clocks");  // "YY MM DD hh mm ss cc" per truck
    QTest::addColumn<QString>("first");       // "#number" and its PassageText
    QTest::addColumn<QString>("last");
    // A new year is later although its Time is smaller.
    QTest::newRow("a new year is later")
        << QStringList{"24 1 1 0 0 0 0", "23 12 31 23 59 59 99"} << "#2 23-12-31 23:59:59.99"
        << "#1 24-01-01 00:00:00.00";
    // The 31st has the Time of the next month's 1st; MONTH orders them.
    QTest::newRow("the 31st before the next 1st")
        << QStringList{"24 2 1 0 0 0 0", "24 1 31 0 0 0 0"} << "#2 24-01-31 00:00:00.00"
        << "#1 24-02-01 00:00:00.00";
    QTest::newRow("equal passages: the first in the list")
        << QStringList{"24 3 11 10 0 0 0", "24 3 11 10 0 0 0"} << "#1 24-03-11 10:00:00.00"
        << "#1 24-03-11 10:00:00.00";
    QTest::newRow("impossible fields written as they are")
        << QStringList{"24 13 0 -1 100 59 99"} << "#1 24-13-00 -1:100:59.99"
        << "#1 24-13-00 -1:100:59.99";
}

void tst_Stats::passages() {
    QFETCH(QStringList, clocks);
    QStringList trucks;
    for (const QString& clock : clocks) {
        const QStringList n = clock.split(QLatin1Char(' '));
        trucks << QStringLiteral(
                      "YEAR=%1, MONTH=%2, DAY=%3, HOUR=%4, MINUTE=%5, SECOND=%6, SECOND/100=%7")
                      .arg(n[0], n[1], n[2], n[3], n[4], n[5], n[6]);
    }
    const SiteStats stats = Fed(trucks);
    const auto text = [](const Passage& p) {
        return QStringLiteral("#%1 %2")
            .arg(p.truck.number)
            .arg(QString::fromStdString(PassageText(p)));
    };
    QVERIFY(stats.firstPassage && stats.lastPassage);
    QTEST(text(*stats.firstPassage), "first");
    QTEST(text(*stats.lastPassage), "last");
}

// Ten trucks of GVW 100, 200, ..., 1000 and one of 400, the five-axle ones at
// 300, 400, 400 and 900. Bins over 100..1000 (the 0.5th and 99.5th
// percentile, nearest ranks 1 and 11): width 10 would give 91, width 20 gives
// 46 (100..1019).
void tst_Stats::gvwFigures() {
    QStringList trucks;
    for (int k = 1; k <= 10; ++k) {
        const int axles = (k == 3 || k == 4 || k == 9) ? 5 : 2;
        trucks << QStringLiteral("GVW=%1, NO. AXLES=%2").arg(100 * k).arg(axles);
    }
    const SiteStats stats = Fed(trucks << QStringLiteral("GVW=400"));
    // 100 is bin 0, 400..419 bin 15, 900..919 bin 40.
    QCOMPARE(BinsText(stats.gvwAll),
             QStringLiteral("100+20x46: 0=1 5=1 10=1 15=2 20=1 25=1 30=1 35=1 40=1 45=1"));
    QCOMPARE(BinsText(stats.gvwFiveAxle), QStringLiteral("100+20x46: 10=1 15=2 40=1"));
    // Moving sums: 1 at bins 9-11, 2 at 14-16, 1 at 39-41. The highest top is
    // 15; of the equal tops 10 and 40 the lower wins. Middles: 300 + 10, 400 + 10.
    QCOMPARE(stats.gvwPeaks.size(), 2U);
    QCOMPARE(QList<int>({int(stats.gvwPeaks[0].bin), stats.gvwPeaks[0].gvw,
                         int(stats.gvwPeaks[1].bin), stats.gvwPeaks[1].gvw}),
             QList<int>({10, 310, 15, 410}));
    QCOMPARE(stats.axleCounts, (std::vector<std::pair<int, TruckIndex>>{{2, 7}, {5, 4}}));
    QCOMPARE(BinsText(stats.speed), QStringLiteral("80+1x1: 0=11"));  // SPEED 80 for all
}

// Two files, each with its own accumulator (sources 0 and 1), merged either
// way round: counts add up, medians are over both files' values, and ties go
// to the first file.
void tst_Stats::mergedFiles_sameAsOneListWithSources() {
    StatsAccumulator a(0);
    a.add(1, Truck(QStringLiteral("DAY=11, WT AX 1=50, HOUR=9")), 0);
    a.add(2, Truck(QStringLiteral("DAY=11, WT AX 1=60, HOUR=10")), MaskOf(CheckCode::AxleSum));
    a.add(3, Truck(QStringLiteral("DAY=12, WT AX 1=70")), MaskOf(CheckCode::AxleSum));
    StatsAccumulator b(1);
    b.add(1, Truck(QStringLiteral("DAY=10, WT AX 1=64, LANE=2")), MaskOf(CheckCode::AxleSum));
    b.add(2, Truck(QStringLiteral("DAY=11, WT AX 1=66, HOUR=8")), MaskOf(CheckCode::AxleSum));

    for (const bool aFirst : {true, false}) {
        StatsAccumulator merged(aFirst ? a : b);
        merged.merge(aFirst ? b : a);
        const SiteStats stats = merged.result();
        QCOMPARE(QList<qint64>({stats.trucks, stats.checks[0].trucks}), QList<qint64>({5, 4}));
        QCOMPARE(Refs(stats.checks[0].first), QStringLiteral("0:2 0:3 1:1"));
        QCOMPARE(DayTexts(stats), QStringList({"24-03-10 1 #1 1 64 13", "24-03-11 3 #1 3 60 13",
                                               "24-03-12 1 #3 1 70 13"}));
        QCOMPARE(Refs({stats.days[0].first, stats.days[1].first}), QStringLiteral("1:1 0:1"));
        QCOMPARE(stats.steeringMedian, 64.0);  // 50 60 64 66 70
        QCOMPARE(Refs({stats.firstPassage->truck, stats.lastPassage->truck}),
                 QStringLiteral("1:1 0:3"));
        QCOMPARE(stats.lanes.size(), 2U);
        QCOMPARE(QList<qint64>({stats.lanes[0].trucks, stats.lanes[0].perHour[8],
                                stats.lanes[0].perHour[9], stats.lanes[1].lane}),
                 QList<qint64>({4, 1, 1, 2}));
    }
    a.merge(a);
    QCOMPARE(a.result().trucks, 6);
    QCOMPARE(DayTexts(a.result()).first(), QStringLiteral("24-03-11 4 #1 4 55 13"));
}

QTEST_GUILESS_MAIN(tst_Stats)
#include "tst_stats.moc"

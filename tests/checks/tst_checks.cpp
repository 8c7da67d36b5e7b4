// The plausibility checks on records built field by field: each check at and
// just past its limits, the exact messages, several failures at once,
// DUPLICATE against the truck before, and ORDER over a file's trucks.

#include "checks/LoadChecks.h"
#include "checks/OrderCheck.h"
#include "checks/TruckChecks.h"

#include "TruckLines.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>

using namespace axlewise;
using namespace axlewise::test;

namespace {

// SampleTruck(5001), a consistent five-axle truck, with fields changed by
// caption, later changes winning: "GVW=364, WT AX 1=897". Unchanged: weights
// 56, 78, 76, 76, 76 (sum 362 = GVW), spacings 36, 13, 58, 13 (wheelbase 120,
// LENGTH 165), SPEED 87, 14 March 08:35:12.47, direction 1, lane 2.
TruckRecord Record(const QString& changes) {
    return WithChanges(ReadTruck(TruckLine(5001)), changes.toStdString());
}

// The changes that cut the sample truck down to its first `axles` (0..2) axles,
// still consistent: the weights and spacings beyond are 0 and GVW is the sum of
// those kept.
QString Axles(int axles) {
    QString changes =
        QStringLiteral("NO. AXLES=%1, GVW=%2").arg(axles).arg(QList<int>{0, 56, 134}.at(axles));
    for (int axle = axles + 1; axle <= 5; ++axle) {
        changes += QStringLiteral(", WT AX %1=0").arg(axle);
    }
    for (int axle = std::max(axles, 1); axle <= 4; ++axle) {
        changes += QStringLiteral(", S AX %1 - AX %2=0").arg(axle).arg(axle + 1);
    }
    return changes;
}

// "CODE: message" for each failure, in order.
QStringList Texts(const std::vector<CheckFailure>& failures) {
    QStringList texts;
    for (const CheckFailure& failure : failures) {
        texts << QString::fromUtf8(CheckName(failure.code)) + QStringLiteral(": ") +
                     QString::fromStdString(failure.message);
    }
    return texts;
}

// A truck of the ORDER rows: "LANE DIRECTION YY-MM-DD hh:mm:ss.cc".
TruckRecord Passing(const QString& description) {
    static const QRegularExpression separators(QStringLiteral("[-:. ]"));
    const QStringList n = description.split(separators);
    if (n.size() != 9) {
        qFatal("bad passage %s", qPrintable(description));
    }
    return Record(QStringLiteral("LANE=%1, DIRECTION=%2, YEAR=%3, MONTH=%4, DAY=%5, HOUR=%6, "
                                 "MINUTE=%7, SECOND=%8, SECOND/100=%9")
                      .arg(n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8]));
}

}  // namespace

class tst_Checks : public QObject {
    Q_OBJECT

private slots:
    void checkTruck_data();
    void checkTruck();
    void duplicate_data();
    void duplicate();
    void order_data();
    void order();
    void loadsAreCheckedApart_data();
    void loadsAreCheckedApart();
};

void tst_Checks::checkTruck_data() {
    QTest::addColumn<QString>("changes");
    QTest::addColumn<QStringList>("failures");
    const auto row = [](const char* tag, const QString& changes, const QStringList& failures) {
        QTest::newRow(tag) << changes << failures;
    };

    row("sample truck passes every check", QString(), {});

    // Five axles may miss GVW by 2.5, two axles by 1. A deviation of 3 in 1200
    // is 0.25%: a half rounded away from zero.
    row("AXLE_SUM: 5 axles, GVW 2 above the sum passes", "GVW=364", {});
    row("AXLE_SUM: 3 above 1200, +0.25% rounds to +0.3%", "WT AX 1=897, GVW=1200",
        {"AXLE_SUM: axle weights sum to 1203, GVW is 1200 (+0.3%)"});
    row("AXLE_SUM: 3 below 1200, -0.25% rounds to -0.3%", "WT AX 1=891, GVW=1200",
        {"AXLE_SUM: axle weights sum to 1197, GVW is 1200 (-0.3%)"});
    row("AXLE_SUM and AXLE_COUNT: 2 axles off by 1 pass", Axles(2) + ", GVW=135", {});
    row("AXLE_SUM: 2 axles off by 2 fails", Axles(2) + ", GVW=136",
        {"AXLE_SUM: axle weights sum to 134, GVW is 136 (-1.5%)"});
    row("AXLE_SUM: GVW 0 gives no percentage", "GVW=0",
        {"AXLE_SUM: axle weights sum to 362, GVW is 0"});

    row("AXLE_COUNT: 1 axle fails", Axles(1), {"AXLE_COUNT: NO. AXLES is 1"});
    row("AXLE_COUNT: 0 axles fail", Axles(0), {"AXLE_COUNT: NO. AXLES is 0"});

    row("AXLE_EMPTY: weight 1 and spacing 1 pass", "WT AX 3=1, GVW=287, S AX 2 - AX 3=1", {});
    row("AXLE_EMPTY: 0 and below, to the last axle, in column order",
        "S AX 4 - AX 5=0, WT AX 5=0, WT AX 4=-1, S AX 2 - AX 3=-2, WT AX 2=0, GVW=131",
        {"AXLE_EMPTY: axle 2 weighs 0", "AXLE_EMPTY: S AX 2 - AX 3 is -2",
         "AXLE_EMPTY: axle 4 weighs -1", "AXLE_EMPTY: S AX 4 - AX 5 is 0",
         "AXLE_EMPTY: axle 5 weighs 0"});

    // Counted in the wheelbase, S AX 5 - AX 6 would make it 160, past LENGTH;
    // in the sum, the weights would miss GVW.
    row("AXLE_EXTRA: beyond NO. AXLES, to the last column, in no sum",
        "WT AX 9=-3, WT AX 6=12, S AX 5 - AX 6=40, LENGTH=120",
        {"AXLE_EXTRA: S AX 5 - AX 6 is 40 but NO. AXLES is 5",
         "AXLE_EXTRA: axle 6 weighs 12 but NO. AXLES is 5",
         "AXLE_EXTRA: axle 9 weighs -3 but NO. AXLES is 5"});

    row("WHEELBASE: equal to LENGTH passes", "LENGTH=120", {});
    row("WHEELBASE: one past LENGTH fails", "LENGTH=119",
        {"WHEELBASE: wheelbase 120 is longer than LENGTH 119"});

    row("FIELD_MAX: spacing 98, weight 998 and GVW 9998 are not full",
        "S AX 3 - AX 4=98, WT AX 2=998, GVW=9998",
        {"AXLE_SUM: axle weights sum to 1282, GVW is 9998 (-87.2%)"});
    row("FIELD_MAX: full fields, beyond NO. AXLES too, GVW first",
        "S AX 3 - AX 4=99, WT AX 7=999, WT AX 2=999, GVW=9999",
        {"AXLE_SUM: axle weights sum to 1283, GVW is 9999 (-87.2%)",
         "AXLE_EXTRA: axle 7 weighs 999 but NO. AXLES is 5",
         "FIELD_MAX: GVW is 9999, the largest the field holds",
         "FIELD_MAX: WT AX 2 is 999, the largest the field holds",
         "FIELD_MAX: S AX 3 - AX 4 is 99, the largest the field holds",
         "FIELD_MAX: WT AX 7 is 999, the largest the field holds"});

    row("CLOCK: every field at its lowest passes",
        "DAY=1, MONTH=1, HOUR=0, MINUTE=0, SECOND=0, SECOND/100=0", {});
    row("CLOCK: every field at its highest passes",
        "DAY=31, MONTH=12, HOUR=23, MINUTE=59, SECOND=59, SECOND/100=99", {});
    row("CLOCK: every field one below its lowest, in column order",
        "SECOND/100=-1, SECOND=-1, MINUTE=-1, HOUR=-1, MONTH=0, DAY=0",
        {"CLOCK: DAY is 0", "CLOCK: MONTH is 0", "CLOCK: HOUR is -1", "CLOCK: MINUTE is -1",
         "CLOCK: SECOND is -1", "CLOCK: SECOND/100 is -1"});
    row("CLOCK: every field one above its highest",
        "DAY=32, MONTH=13, HOUR=24, MINUTE=60, SECOND=60",
        {"CLOCK: DAY is 32", "CLOCK: MONTH is 13", "CLOCK: HOUR is 24", "CLOCK: MINUTE is 60",
         "CLOCK: SECOND is 60"});

    row("SPEED: 1 passes", "SPEED=1", {});

    row("several checks fail together, in the order of the checks", "SPEED=-5, HOUR=24, WT AX 3=0",
        {"AXLE_SUM: axle weights sum to 286, GVW is 362 (-21.0%)", "AXLE_EMPTY: axle 3 weighs 0",
         "CLOCK: HOUR is 24", "SPEED: SPEED is -5"});
    // A record built in code may claim 12 axles; only the nine a line holds are read.
    row("NO. AXLES 12 reads no further than axle 9", "NO. AXLES=12",
        {"AXLE_EMPTY: S AX 5 - AX 6 is 0", "AXLE_EMPTY: axle 6 weighs 0",
         "AXLE_EMPTY: S AX 6 - AX 7 is 0", "AXLE_EMPTY: axle 7 weighs 0",
         "AXLE_EMPTY: S AX 7 - AX 8 is 0", "AXLE_EMPTY: axle 8 weighs 0",
         "AXLE_EMPTY: S AX 8 - AX 9 is 0", "AXLE_EMPTY: axle 9 weighs 0"});
}

void tst_Checks::checkTruck() {
    QFETCH(QString, changes);
    QFETCH(QStringList, failures);
    QCOMPARE(Texts(CheckTruck(Record(changes))), failures);
    // The mask kept with each truck names the same checks.
    CheckMask expected = 0;
    for (const QString& failure : failures) {
        const QString code = failure.section(QLatin1Char(':'), 0, 0);
        for (const CheckCode check : kAllChecks) {
            if (code == QLatin1String(CheckName(check))) {
                expected = static_cast<CheckMask>(expected | MaskOf(check));
            }
        }
    }
    QCOMPARE(FailedChecks(Record(changes)), expected);
}

// Only the DUPLICATE failure is looked at; the other checks of these records pass
// or have rows of their own.
void tst_Checks::duplicate_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("hasPrevious");  // the sample truck, as truck 41
    QTest::addColumn<bool>("duplicate");
    const auto changed = [](int index, const char* text) {
        return QByteArray::fromStdString(WithField(TruckLine(5001), index, text));
    };
    QTest::newRow("same 32 fields") << changed(1, "5001") << true << true;
    // "087" and " 87" are the same SPEED.
    QTest::newRow("same fields written differently") << changed(9, "087") << true << true;
    QTest::newRow("HEAD differs") << changed(1, "5002") << true << false;
    QTest::newRow("last column differs") << changed(32, "  1") << true << false;
    QTest::newRow("no truck before") << changed(1, "5001") << false << false;
}

void tst_Checks::duplicate() {
    QFETCH(QByteArray, line);
    QFETCH(bool, hasPrevious);
    QFETCH(bool, duplicate);
    const TruckRecord previous = ReadTruck(TruckLine(5001));
    std::vector<CheckFailure> found =
        CheckTruck(ReadTruck(line.toStdString()), hasPrevious ? &previous : nullptr, 41);
    std::erase_if(found, [](const CheckFailure& f) { return f.code != CheckCode::Duplicate; });
    QCOMPARE(Texts(found),
             duplicate ? QStringList{"DUPLICATE: same fields as truck 41"} : QStringList{});
}

void tst_Checks::order_data() {
    QTest::addColumn<QStringList>("trucks");    // "LANE DIRECTION YY-MM-DD hh:mm:ss.cc"
    QTest::addColumn<QStringList>("failures");  // "TRUCK: message"
    const auto row = [](const char* tag, const QStringList& trucks, const QStringList& failures) {
        QTest::newRow(tag) << trucks << failures;
    };
    row("the same time passes", {"1 2 24-03-11 10:00:00.00", "1 2 24-03-11 10:00:00.00"}, {});
    // Truck 3 is compared with truck 2, which failed, not with the latest, truck 1.
    row("earlier than the truck just before, by 3.5 s, then by a hundredth",
        {"1 2 24-03-11 10:00:03.50", "1 2 24-03-11 10:00:00.00", "1 2 24-03-11 09:59:59.99"},
        {"2: earlier than truck 1 (lane 1, direction 2) by 3.5 s",
         "3: earlier than truck 2 (lane 1, direction 2) by 0.01 s"});
    row("compared with the last truck of its own lane and direction",
        {"1 2 24-03-11 10:00:10.00", "2 2 24-03-11 10:00:00.00", "1 1 24-03-11 10:00:00.00",
         "1 2 24-03-11 10:00:05.00"},
        {"4: earlier than truck 1 (lane 1, direction 2) by 5 s"});
    row("lanes a line cannot hold are kept apart",
        {"12 1 24-03-11 10:00:05.00", "2 1 24-03-11 10:00:00.00", "12 1 24-03-11 10:00:01.00"},
        {"3: earlier than truck 1 (lane 12, direction 1) by 4 s"});
    row("a new year is not a fault; back across it is",
        {"1 1 24-12-30 23:59:59.00", "1 1 25-01-01 00:00:01.00", "1 1 24-12-30 23:59:58.00"},
        {"3: earlier than truck 2 (lane 1, direction 1) by 3 s"});
    // Time counts 30-day months: 31 March 23:00 has a later Time than 1 April 01:00.
    row("the 31st, then the 1st of the next month passes",
        {"1 1 24-03-31 23:00:00.00", "1 1 24-04-01 01:00:00.00"}, {});
    row("the 1st, then the 31st of the month before fails",
        {"1 1 24-04-01 06:00:00.00", "1 1 24-03-31 12:00:00.00"},
        {"2: earlier than truck 1 (lane 1, direction 1): MONTH 3 after MONTH 4"});
    // MONTH 13 of year 24 falls exactly on 1 January of year 25.
    row("impossible clock: the years tell the order",
        {"1 1 25-01-01 00:00:00.00", "1 1 24-13-01 00:00:00.00"},
        {"2: earlier than truck 1 (lane 1, direction 1): YEAR 24 after YEAR 25"});
}

// Over a file, and over the trucks of one load in the window, whose check
// line names the truck each failing one follows in its lane and direction.
void tst_Checks::order() {
    QFETCH(QStringList, trucks);
    QFETCH(QStringList, failures);
    OrderCheck check;
    LoadChecker load;
    TruckStore batch(1);
    QStringList found;
    for (qsizetype i = 0; i < trucks.size(); ++i) {
        const TruckRecord truck = Passing(trucks.at(i));
        const std::optional<CheckFailure> failure = check.next(truck, i + 1);
        if (failure) {
            QCOMPARE(failure->code, CheckCode::Order);
            found << QStringLiteral("%1: %2").arg(i + 1).arg(
                QString::fromStdString(failure->message));
        }
        batch.add(truck, load.next(truck, i + 1));
    }
    QCOMPARE(found, failures);

    BrowserState state;
    state.AddTrucks(std::move(batch));
    QStringList shown;
    for (TruckIndex i = 1; i <= state.NoTrucks; ++i) {
        for (const CheckFailure& failure : TruckFailures(state, i)) {
            if (failure.code == CheckCode::Order) {
                shown << QStringLiteral("%1: %2").arg(i).arg(
                    QString::fromStdString(failure.message));
            }
        }
    }
    QCOMPARE(shown, failures);
}

void tst_Checks::loadsAreCheckedApart_data() {
    QTest::addColumn<QStringList>("first");    // the trucks of the first load
    QTest::addColumn<QStringList>("second");   // and of the second
    QTest::addColumn<QStringList>("failing");  // "TRUCK CODE" for DUPLICATE and ORDER
    const QString early = QStringLiteral("1 2 24-03-11 10:00:00.00");
    const QString late = QStringLiteral("1 2 24-03-11 11:00:00.00");
    QTest::newRow("earlier in the next load")
        << QStringList{late} << QStringList{early} << QStringList{};
    // Truck 2 is truck 1 again, in the next load: no DUPLICATE.
    QTest::newRow("the second load on its own")
        << QStringList{late} << QStringList{late, early, early}
        << QStringList{"3 ORDER", "4 DUPLICATE"};
}

// DUPLICATE and ORDER compare a truck with trucks of its own load only: the
// mask kept with it and the check line agree on that.
void tst_Checks::loadsAreCheckedApart() {
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(QStringList, failing);
    BrowserState state;
    for (const QStringList& trucks : {first, second}) {
        LoadChecker load;
        TruckStore batch(state.NoTrucks + 1);
        for (const QString& truck : trucks) {
            const TruckRecord record = Passing(truck);
            batch.add(record, load.next(record, batch.last() + 1));
        }
        state.AddTrucks(std::move(batch));
    }
    QStringList masked;
    QStringList shown;
    for (TruckIndex i = 1; i <= state.NoTrucks; ++i) {
        for (const CheckCode code : {CheckCode::Duplicate, CheckCode::Order}) {
            const QString tag = QStringLiteral("%1 %2").arg(i).arg(CheckName(code));
            if ((state.Checks(i) & MaskOf(code)) != 0) {
                masked << tag;
            }
            for (const CheckFailure& failure : TruckFailures(state, i)) {
                if (failure.code == code) {
                    shown << tag;
                }
            }
        }
    }
    QCOMPARE(masked, failing);
    QCOMPARE(shown, failing);
}

QTEST_GUILESS_MAIN(tst_Checks)
#include "tst_checks.moc"

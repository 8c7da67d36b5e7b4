// The plausibility checks on records built field by field: each check at and
// just past its limits, the exact messages, several failures at once,
// DUPLICATE against the truck before, and ORDER over a file's trucks.

#include "checks/OrderCheck.h"
#include "checks/TruckChecks.h"

#include "TruckLines.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <utility>

using namespace axlewise;
using namespace axlewise::test;

namespace {

// Fields to change, by caption, and their new values.
using Changes = QList<std::pair<QString, int>>;

int IndexOf(const QString& caption) {
    for (const LineField& field : kFields) {
        if (caption ==
            QLatin1String(field.caption.data(), static_cast<qsizetype>(field.caption.size()))) {
            return field.index;
        }
    }
    qFatal("no field %s", qPrintable(caption));
}

// SampleTruck(5001): a consistent five-axle truck. Weights 56, 78, 76, 76, 76
// (sum 362 = GVW), spacings 36, 13, 58, 13 (wheelbase 120, LENGTH 165), SPEED 87,
// 14 March 08:35:12.47, direction 1, lane 2.
TruckRecord Record(const Changes& changes = {}) {
    const FieldValues values = SampleTruck(5001);
    TruckRecord record;
    for (int i = 1; i <= kFieldCount; ++i) {
        record.Data[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(values[static_cast<std::size_t>(i - 1)]);
    }
    for (const auto& [caption, value] : changes) {
        record.Data[static_cast<std::size_t>(IndexOf(caption))] = static_cast<std::int16_t>(value);
    }
    record.Time = TruckTime(record);
    return record;
}

// The sample truck cut down to its first `axles` axles, still consistent: the
// weights and spacings beyond are 0 and GVW is the sum of those kept.
Changes Axles(int axles) {
    static const int kGvw[] = {0, 56, 134, 210, 286, 362};
    Changes changes{{QStringLiteral("NO. AXLES"), axles}, {QStringLiteral("GVW"), kGvw[axles]}};
    for (int axle = axles + 1; axle <= 5; ++axle) {
        changes.append({QStringLiteral("WT AX %1").arg(axle), 0});
    }
    for (int axle = std::max(axles, 1); axle <= 4; ++axle) {
        changes.append({QStringLiteral("S AX %1 - AX %2").arg(axle).arg(axle + 1), 0});
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
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(\d+) (\d+) (\d\d)-(\d\d)-(\d\d) (\d\d):(\d\d):(\d\d)\.(\d\d)$)"));
    const QRegularExpressionMatch match = pattern.match(description);
    if (!match.hasMatch()) {
        qFatal("bad passage %s", qPrintable(description));
    }
    const auto number = [&match](int group) { return match.captured(group).toInt(); };
    return Record({{QStringLiteral("LANE"), number(1)},
                   {QStringLiteral("DIRECTION"), number(2)},
                   {QStringLiteral("YEAR"), number(3)},
                   {QStringLiteral("MONTH"), number(4)},
                   {QStringLiteral("DAY"), number(5)},
                   {QStringLiteral("HOUR"), number(6)},
                   {QStringLiteral("MINUTE"), number(7)},
                   {QStringLiteral("SECOND"), number(8)},
                   {QStringLiteral("SECOND/100"), number(9)}});
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
    void checksText_data();
    void checksText();
};

void tst_Checks::checkTruck_data() {
    QTest::addColumn<Changes>("changes");
    QTest::addColumn<QStringList>("failures");
    const auto row = [](const char* tag, const Changes& changes, const QStringList& failures) {
        QTest::newRow(tag) << changes << failures;
    };
    const auto with = [](Changes changes, const Changes& more) { return changes << more; };
    const auto weights = [](int w1, int w2, int w3, int w4, int w5, int gvw) {
        return Changes{{QStringLiteral("WT AX 1"), w1}, {QStringLiteral("WT AX 2"), w2},
                       {QStringLiteral("WT AX 3"), w3}, {QStringLiteral("WT AX 4"), w4},
                       {QStringLiteral("WT AX 5"), w5}, {QStringLiteral("GVW"), gvw}};
    };
    const auto set = [](const char* caption, int value) {
        return Changes{{QString::fromUtf8(caption), value}};
    };

    row("sample truck passes every check", {}, {});

    // Five axles may miss GVW by 2.5, two axles by 1.
    row("AXLE_SUM: 5 axles, GVW 2 above the sum passes", set("GVW", 364), {});
    row("AXLE_SUM: 5 axles, GVW 3 above the sum fails", set("GVW", 365),
        {"AXLE_SUM: axle weights sum to 362, GVW is 365 (-0.8%)"});
    row("AXLE_SUM: 5 axles, GVW 2 below the sum passes", set("GVW", 360), {});
    row("AXLE_SUM: 5 axles, GVW 3 below the sum fails", set("GVW", 359),
        {"AXLE_SUM: axle weights sum to 362, GVW is 359 (+0.8%)"});
    row("AXLE_SUM: 2 axles off by 1 passes", with(Axles(2), set("GVW", 135)), {});
    row("AXLE_SUM: 2 axles off by 2 fails", with(Axles(2), set("GVW", 136)),
        {"AXLE_SUM: axle weights sum to 134, GVW is 136 (-1.5%)"});
    row("AXLE_SUM: 13 over 220", weights(69, 57, 33, 39, 35, 220),
        {"AXLE_SUM: axle weights sum to 233, GVW is 220 (+5.9%)"});
    row("AXLE_SUM: 1.25% rounds up to 1.3%", weights(50, 50, 50, 50, 43, 240),
        {"AXLE_SUM: axle weights sum to 243, GVW is 240 (+1.3%)"});
    row("AXLE_SUM: -1.25% rounds down to -1.3%", weights(50, 50, 50, 50, 37, 240),
        {"AXLE_SUM: axle weights sum to 237, GVW is 240 (-1.3%)"});
    row("AXLE_SUM: GVW 0 gives no percentage", set("GVW", 0),
        {"AXLE_SUM: axle weights sum to 362, GVW is 0"});

    row("AXLE_COUNT: 2 axles pass", Axles(2), {});
    row("AXLE_COUNT: 1 axle fails", Axles(1), {"AXLE_COUNT: NO. AXLES is 1"});
    row("AXLE_COUNT: 0 axles fail", Axles(0), {"AXLE_COUNT: NO. AXLES is 0"});
    row("AXLE_COUNT: -1 axles fail", with(Axles(0), set("NO. AXLES", -1)),
        {"AXLE_COUNT: NO. AXLES is -1"});

    row("AXLE_EMPTY: axle 3 weighing 1 passes", with(set("WT AX 3", 1), set("GVW", 287)), {});
    row("AXLE_EMPTY: axle 3 weighing 0 fails", with(set("WT AX 3", 0), set("GVW", 286)),
        {"AXLE_EMPTY: axle 3 weighs 0"});
    row("AXLE_EMPTY: axle 3 weighing -1 fails", with(set("WT AX 3", -1), set("GVW", 285)),
        {"AXLE_EMPTY: axle 3 weighs -1"});
    row("AXLE_EMPTY: the last axle counted", with(set("WT AX 5", 0), set("GVW", 286)),
        {"AXLE_EMPTY: axle 5 weighs 0"});
    row("AXLE_EMPTY: spacing 1 passes", set("S AX 2 - AX 3", 1), {});
    row("AXLE_EMPTY: spacing 0 fails", set("S AX 2 - AX 3", 0), {"AXLE_EMPTY: S AX 2 - AX 3 is 0"});
    row("AXLE_EMPTY: every empty axle and spacing, in column order",
        {{"S AX 4 - AX 5", -2}, {"WT AX 4", 0}, {"WT AX 2", 0}, {"GVW", 208}},
        {"AXLE_EMPTY: axle 2 weighs 0", "AXLE_EMPTY: axle 4 weighs 0",
         "AXLE_EMPTY: S AX 4 - AX 5 is -2"});

    // The spacing after the last axle would make the wheelbase 160, past LENGTH.
    row("AXLE_EXTRA: a spacing after the last axle, not in the wheelbase",
        {{"S AX 5 - AX 6", 40}, {"LENGTH", 120}},
        {"AXLE_EXTRA: S AX 5 - AX 6 is 40 but NO. AXLES is 5"});
    row("AXLE_EXTRA: a weight beyond, not in the sum", set("WT AX 6", 12),
        {"AXLE_EXTRA: axle 6 weighs 12 but NO. AXLES is 5"});
    row("AXLE_EXTRA: 4 axles and a fifth spacing", with(Axles(4), set("S AX 4 - AX 5", 13)),
        {"AXLE_EXTRA: S AX 4 - AX 5 is 13 but NO. AXLES is 4"});
    row("AXLE_EXTRA: the last column", set("WT AX 9", -3),
        {"AXLE_EXTRA: axle 9 weighs -3 but NO. AXLES is 5"});

    row("WHEELBASE: equal to LENGTH passes", set("LENGTH", 120), {});
    row("WHEELBASE: one past LENGTH fails", set("LENGTH", 119),
        {"WHEELBASE: wheelbase 120 is longer than LENGTH 119"});

    row("FIELD_MAX: spacing 98 passes", set("S AX 3 - AX 4", 98), {});
    row("FIELD_MAX: spacing 99 fails", set("S AX 3 - AX 4", 99),
        {"FIELD_MAX: S AX 3 - AX 4 is 99, the largest the field holds"});
    row("FIELD_MAX: weight 998 passes", with(set("WT AX 2", 998), set("GVW", 1282)), {});
    row("FIELD_MAX: weight 999 fails", with(set("WT AX 2", 999), set("GVW", 1283)),
        {"FIELD_MAX: WT AX 2 is 999, the largest the field holds"});
    row("FIELD_MAX: GVW 9998 is not full", set("GVW", 9998),
        {"AXLE_SUM: axle weights sum to 362, GVW is 9998 (-96.4%)"});
    row("FIELD_MAX: GVW 9999 fails", set("GVW", 9999),
        {"AXLE_SUM: axle weights sum to 362, GVW is 9999 (-96.4%)",
         "FIELD_MAX: GVW is 9999, the largest the field holds"});
    row("FIELD_MAX: a weight beyond NO. AXLES", set("WT AX 7", 999),
        {"AXLE_EXTRA: axle 7 weighs 999 but NO. AXLES is 5",
         "FIELD_MAX: WT AX 7 is 999, the largest the field holds"});

    row("CLOCK: DAY 0 fails", set("DAY", 0), {"CLOCK: DAY is 0"});
    row("CLOCK: DAY 1 passes", set("DAY", 1), {});
    row("CLOCK: DAY 31 passes", set("DAY", 31), {});
    row("CLOCK: DAY 32 fails", set("DAY", 32), {"CLOCK: DAY is 32"});
    row("CLOCK: MONTH 0 fails", set("MONTH", 0), {"CLOCK: MONTH is 0"});
    row("CLOCK: MONTH 1 passes", set("MONTH", 1), {});
    row("CLOCK: MONTH 12 passes", set("MONTH", 12), {});
    row("CLOCK: MONTH 13 fails", set("MONTH", 13), {"CLOCK: MONTH is 13"});
    row("CLOCK: HOUR -1 fails", set("HOUR", -1), {"CLOCK: HOUR is -1"});
    row("CLOCK: HOUR 0 passes", set("HOUR", 0), {});
    row("CLOCK: HOUR 23 passes", set("HOUR", 23), {});
    row("CLOCK: HOUR 24 fails", set("HOUR", 24), {"CLOCK: HOUR is 24"});
    row("CLOCK: MINUTE -1 fails", set("MINUTE", -1), {"CLOCK: MINUTE is -1"});
    row("CLOCK: MINUTE 0 passes", set("MINUTE", 0), {});
    row("CLOCK: MINUTE 59 passes", set("MINUTE", 59), {});
    row("CLOCK: MINUTE 60 fails", set("MINUTE", 60), {"CLOCK: MINUTE is 60"});
    row("CLOCK: SECOND 0 passes", set("SECOND", 0), {});
    row("CLOCK: SECOND 59 passes", set("SECOND", 59), {});
    row("CLOCK: SECOND 60 fails", set("SECOND", 60), {"CLOCK: SECOND is 60"});
    row("CLOCK: SECOND/100 -1 fails", set("SECOND/100", -1), {"CLOCK: SECOND/100 is -1"});
    row("CLOCK: SECOND/100 0 passes", set("SECOND/100", 0), {});
    row("CLOCK: SECOND/100 99 passes", set("SECOND/100", 99), {});
    row("CLOCK: two fields, in column order", {{"MINUTE", 61}, {"MONTH", 13}},
        {"CLOCK: MONTH is 13", "CLOCK: MINUTE is 61"});

    row("SPEED: 1 passes", set("SPEED", 1), {});
    row("SPEED: 0 fails", set("SPEED", 0), {"SPEED: SPEED is 0"});
    row("SPEED: -5 fails", set("SPEED", -5), {"SPEED: SPEED is -5"});

    row("several checks fail together, in the order of the checks",
        {{"SPEED", 0}, {"HOUR", 24}, {"WT AX 3", 0}},
        {"AXLE_SUM: axle weights sum to 286, GVW is 362 (-21.0%)", "AXLE_EMPTY: axle 3 weighs 0",
         "CLOCK: HOUR is 24", "SPEED: SPEED is 0"});
    // A record built in code may claim 12 axles; only the nine a line holds are read.
    row("NO. AXLES 12 reads no further than axle 9", set("NO. AXLES", 12),
        {"AXLE_EMPTY: S AX 5 - AX 6 is 0", "AXLE_EMPTY: axle 6 weighs 0",
         "AXLE_EMPTY: S AX 6 - AX 7 is 0", "AXLE_EMPTY: axle 7 weighs 0",
         "AXLE_EMPTY: S AX 7 - AX 8 is 0", "AXLE_EMPTY: axle 8 weighs 0",
         "AXLE_EMPTY: S AX 8 - AX 9 is 0", "AXLE_EMPTY: axle 9 weighs 0"});
}

void tst_Checks::checkTruck() {
    QFETCH(Changes, changes);
    QFETCH(QStringList, failures);
    QCOMPARE(Texts(CheckTruck(Record(changes))), failures);
}

// Only the DUPLICATE failures are looked at; the other checks of these records pass
// or have rows of their own.
void tst_Checks::duplicate_data() {
    QTest::addColumn<bool>("hasPrevious");
    QTest::addColumn<QByteArray>("previousLine");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QStringList>("failures");
    const QByteArray line = QByteArray::fromStdString(TruckLine(5001));
    const auto changed = [&line](int index, const char* text) {
        return QByteArray::fromStdString(WithField(line.toStdString(), index, text));
    };
    QTest::newRow("same 32 fields")
        << true << line << line << QStringList{"DUPLICATE: same fields as truck 41"};
    // "087" and " 87" are the same SPEED.
    QTest::newRow("same fields written differently")
        << true << line << changed(9, "087") << QStringList{"DUPLICATE: same fields as truck 41"};
    QTest::newRow("HEAD differs") << true << line << changed(1, "5002") << QStringList{};
    QTest::newRow("SECOND/100 differs") << true << line << changed(8, "48") << QStringList{};
    QTest::newRow("last column differs") << true << line << changed(32, "  1") << QStringList{};
    QTest::newRow("no truck before") << false << line << line << QStringList{};
}

void tst_Checks::duplicate() {
    QFETCH(bool, hasPrevious);
    QFETCH(QByteArray, previousLine);
    QFETCH(QByteArray, line);
    QFETCH(QStringList, failures);
    const TruckRecord previous = ReadTruck(previousLine.toStdString());
    const TruckRecord truck = ReadTruck(line.toStdString());
    std::vector<CheckFailure> found = CheckTruck(truck, hasPrevious ? &previous : nullptr, 41);
    std::erase_if(found, [](const CheckFailure& f) { return f.code != CheckCode::Duplicate; });
    QCOMPARE(Texts(found), failures);
}

void tst_Checks::order_data() {
    QTest::addColumn<QStringList>("trucks");    // "LANE DIRECTION YY-MM-DD hh:mm:ss.cc"
    QTest::addColumn<QStringList>("failures");  // "TRUCK: message"
    const auto row = [](const char* tag, const QStringList& trucks, const QStringList& failures) {
        QTest::newRow(tag) << trucks << failures;
    };
    row("later in the same lane and direction passes",
        {"1 2 24-03-11 10:00:00.00", "1 2 24-03-11 10:00:03.50"}, {});
    row("the same time passes", {"1 2 24-03-11 10:00:00.00", "1 2 24-03-11 10:00:00.00"}, {});
    row("3.5 s earlier fails", {"1 2 24-03-11 10:00:03.50", "1 2 24-03-11 10:00:00.00"},
        {"2: earlier than truck 1 (lane 1, direction 2) by 3.5 s"});
    row("a hundredth earlier fails", {"1 2 24-03-11 10:00:00.01", "1 2 24-03-11 10:00:00.00"},
        {"2: earlier than truck 1 (lane 1, direction 2) by 0.01 s"});
    row("a day earlier fails", {"1 1 24-03-11 10:00:00.00", "1 1 24-03-10 10:00:00.00"},
        {"2: earlier than truck 1 (lane 1, direction 1) by 86400 s"});
    row("another lane may be earlier", {"1 2 24-03-11 10:00:05.00", "2 2 24-03-11 10:00:00.00"},
        {});
    row("another direction may be earlier",
        {"1 2 24-03-11 10:00:05.00", "1 1 24-03-11 10:00:00.00"}, {});
    row("compared with the last truck of its own lane",
        {"1 2 24-03-11 10:00:10.00", "2 2 24-03-11 10:00:00.00", "1 2 24-03-11 10:00:05.00"},
        {"3: earlier than truck 1 (lane 1, direction 2) by 5 s"});
    row("compared with the truck just before, not the latest",
        {"1 1 24-03-11 10:00:10.00", "1 1 24-03-11 10:00:00.00", "1 1 24-03-11 10:00:05.00"},
        {"2: earlier than truck 1 (lane 1, direction 1) by 10 s"});
    row("a new year is not a fault", {"1 1 24-12-30 23:59:59.00", "1 1 25-01-01 00:00:01.00"}, {});
    row("a later year passes whatever its Time",
        {"1 1 24-06-01 00:00:00.00", "1 1 25-01-01 00:00:00.00"}, {});
    row("back across the new year fails", {"1 1 25-01-01 00:00:01.00", "1 1 24-12-30 23:59:59.00"},
        {"2: earlier than truck 1 (lane 1, direction 1) by 2 s"});
    // One year of 360 days less the 150 days from 1 January to 1 June.
    row("an earlier year fails whatever its Time",
        {"1 1 25-01-01 00:00:00.00", "1 1 24-06-01 00:00:00.00"},
        {"2: earlier than truck 1 (lane 1, direction 1) by 18144000 s"});
    // Time counts 30-day months: 31 March 23:00 has a later Time than 1 April 01:00.
    row("the 31st, then the 1st of the next month passes",
        {"1 1 24-03-31 23:00:00.00", "1 1 24-04-01 01:00:00.00"}, {});
    row("the 1st, then the 31st of the month before fails",
        {"1 1 24-04-01 06:00:00.00", "1 1 24-03-31 12:00:00.00"},
        {"2: earlier than truck 1 (lane 1, direction 1): MONTH 3 after MONTH 4"});
    row("lanes a line cannot hold are kept apart",
        {"12 1 24-03-11 10:00:05.00", "2 1 24-03-11 10:00:00.00", "12 1 24-03-11 10:00:01.00"},
        {"3: earlier than truck 1 (lane 12, direction 1) by 4 s"});
    // MONTH 13 of year 24 falls exactly on 1 January of year 25.
    row("impossible clock: the years tell the order",
        {"1 1 25-01-01 00:00:00.00", "1 1 24-13-01 00:00:00.00"},
        {"2: earlier than truck 1 (lane 1, direction 1): YEAR 24 after YEAR 25"});
}

void tst_Checks::order() {
    QFETCH(QStringList, trucks);
    QFETCH(QStringList, failures);
    OrderCheck check;
    QStringList found;
    for (qsizetype i = 0; i < trucks.size(); ++i) {
        const std::optional<CheckFailure> failure = check.next(Passing(trucks.at(i)), i + 1);
        if (failure) {
            QCOMPARE(failure->code, CheckCode::Order);
            found << QStringLiteral("%1: %2").arg(i + 1).arg(
                QString::fromStdString(failure->message));
        }
    }
    QCOMPARE(found, failures);
}

void tst_Checks::checksText_data() {
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("text");
    const QString dot = QStringLiteral(" \u00B7 ");
    QTest::newRow("nothing failed") << QStringList{} << QStringLiteral("Checks: all passed");
    QTest::newRow("one failure") << QStringList{"SPEED is 0"}
                                 << QStringLiteral("Checks: SPEED is 0");
    QTest::newRow("three failures, middle dots between")
        << QStringList{"axle 3 weighs 0", "MINUTE is 61", "SPEED is 0"}
        << QStringLiteral("Checks: axle 3 weighs 0") + dot + QStringLiteral("MINUTE is 61") + dot +
               QStringLiteral("SPEED is 0");
}

void tst_Checks::checksText() {
    QFETCH(QStringList, messages);
    QFETCH(QString, text);
    std::vector<CheckFailure> failures;
    for (const QString& message : messages) {
        failures.push_back({CheckCode::Clock, message.toStdString()});
    }
    QCOMPARE(QString::fromStdString(ChecksText(failures)), text);
}

QTEST_GUILESS_MAIN(tst_Checks)
#include "tst_checks.moc"

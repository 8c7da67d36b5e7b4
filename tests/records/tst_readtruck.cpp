#include "records/modUDTs.h"

#include <QtTest>

#include <string>

#include "records/RuntimeError.h"

using namespace axlewise;

namespace {

constexpr int kOk = 0;
constexpr int kTypeMismatch = static_cast<int>(ErrorNumber::TypeMismatch);

// Nine axles, every field in use and no two neighbours alike, so a field read
// one column off gives a different value. Column 78 is a check digit.
const QByteArray kNineAxles =
    "310514032415514454 89 935251921 14 8220 84331201512193108151041510414107141051";
// clang-format off
const QList<int> kNineAxlesData = {
    0,                                  // index 0, fed by no column
    3105, 14, 3, 24, 15, 51, 44, 54,    // HEAD, date and time
    89, 935, 251, 9, 2, 1, 14,          // SPEED to TRNS LANE POS
    82, 20, 84, 33, 120, 15, 121, 93, 108, 15, 104, 15, 104, 14, 107, 14, 105};
// clang-format on

// Five axles, blank-padded fields, a negative lateral position.
const QByteArray kFiveAxles =
    "310512032411464352 78 448163511-39 753911272 8614 8913 86 0  0 0  0 0  0 0  08";
// clang-format off
const QList<int> kFiveAxlesData = {
    0,
    3105, 12, 3, 24, 11, 46, 43, 52,
    78, 448, 163, 5, 1, 1, -39,
    75, 39, 112, 72, 86, 14, 89, 13, 86, 0, 0, 0, 0, 0, 0, 0, 0};
// clang-format on

std::string_view View(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

QList<int> DataOf(const TruckRecord& record) {
    return QList<int>(record.Data.begin(), record.Data.end());
}

// The line with `count` characters from `column` (1-based) replaced by text.
QByteArray Replaced(QByteArray line, int column, int count, const QByteArray& text) {
    return line.replace(column - 1, count, text);
}

// Reads the line; on failure returns the error number and sets `reason`.
int TryRead(const QByteArray& line, TruckRecord& record, QByteArray& reason) {
    try {
        record = ReadTruck(View(line));
        return kOk;
    } catch (const RuntimeError& e) {
        reason = e.what();
        return e.code();
    }
}

}  // namespace

class TestReadTruck : public QObject {
    Q_OBJECT

private slots:
    void realisticLines_data();
    void realisticLines();
    void lineLengths_data();
    void lineLengths();
    void fieldValues_data();
    void fieldValues();
    void fieldFailures_data();
    void fieldFailures();
    void firstFailingFieldReported();
    void charactersNotBytes_data();
    void charactersNotBytes();
    void truckTime_data();
    void truckTime();
    void truckTimeReadsOnlyItsFields();
    void sampleFile();
};

void TestReadTruck::realisticLines_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QList<int>>("data");
    QTest::addColumn<double>("time");

    // Day 14 of month 3 at 15:51:44.54, in a year of 30-day months.
    QTest::newRow("nine axles, every column used")
        << kNineAxles << kNineAxlesData << (2 * 30 + 13) * 86400.0 + 15 * 3600 + 51 * 60 + 44.54;
    QTest::newRow("five axles, blank padded")
        << kFiveAxles << kFiveAxlesData << (2 * 30 + 11) * 86400.0 + 11 * 3600 + 46 * 60 + 43.52;
}

void TestReadTruck::realisticLines() {
    QFETCH(QByteArray, line);
    QFETCH(QList<int>, data);
    QFETCH(double, time);

    const TruckRecord record = ReadTruck(View(line));
    QCOMPARE(DataOf(record), data);
    QCOMPARE(QByteArray::fromStdString(record.RawLine.str()), line);
    QCOMPARE(record.Time, time);
}

void TestReadTruck::lineLengths_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("lastWeight");     // WT AX 9 when the line parses
    QTest::addColumn<QByteArray>("reason");  // when it does not

    const QByteArray fields = kNineAxles.left(77);
    QTest::newRow("77 characters") << fields << kOk << 105 << QByteArray();
    QTest::newRow("76 characters, last field cut to two")
        << fields.left(76) << kOk << 10 << QByteArray();
    QTest::newRow("75 characters, last field cut to one")
        << fields.left(75) << kOk << 1 << QByteArray();
    QTest::newRow("75 characters, the one left is a blank")
        << kFiveAxles.left(75) << kTypeMismatch << 0
        << QByteArray(R"(WT AX 9 (columns 75-77): " " is not a number)");
    QTest::newRow("74 characters")
        << fields.left(74) << kTypeMismatch << 0
        << QByteArray("WT AX 9 (columns 75-77): the line ends before this field");
    QTest::newRow("72 characters")
        << fields.left(72) << kTypeMismatch << 0
        << QByteArray("S AX 8 - AX 9 (columns 73-74): the line ends before this field");
    QTest::newRow("blank line") << QByteArray() << kTypeMismatch << 0
                                << QByteArray(
                                       "HEAD (columns 1-4): the line ends before this field");
    QTest::newRow("78 characters") << kNineAxles << kOk << 105 << QByteArray();
    QTest::newRow("carriage return after 78") << kNineAxles + "\r" << kOk << 105 << QByteArray();
    QTest::newRow("junk after column 77")
        << fields + "x,1e9 \"-\"\t\xC3\xA9 and more" << kOk << 105 << QByteArray();
    QTest::newRow("long line") << fields + QByteArray(5000, '?') << kOk << 105 << QByteArray();
}

void TestReadTruck::lineLengths() {
    QFETCH(QByteArray, line);
    QFETCH(int, error);
    QFETCH(int, lastWeight);
    QFETCH(QByteArray, reason);

    TruckRecord record;
    QByteArray actualReason;
    QCOMPARE(TryRead(line, record, actualReason), error);
    if (error != kOk) {
        QCOMPARE(actualReason, reason);
        return;
    }
    QList<int> expected = kNineAxlesData;
    expected.last() = lastWeight;
    QCOMPARE(DataOf(record), expected);
    QCOMPARE(QByteArray::fromStdString(record.RawLine.str()), line);
}

// One field of the nine-axle line replaced; the record holds the new value and
// every other field as before.
void TestReadTruck::fieldValues_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("column");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("value");

    QTest::newRow("blank and digit") << 2 << 5 << QByteArray(" 7") << 7;
    QTest::newRow("minus in two columns") << 17 << 38 << QByteArray("-3") << -3;
    QTest::newRow("plus in two columns") << 17 << 38 << QByteArray("+3") << 3;
    QTest::newRow("left aligned") << 9 << 19 << QByteArray("89 ") << 89;
    QTest::newRow("centred") << 10 << 22 << QByteArray(" 93 ") << 93;
    QTest::newRow("zero padded") << 10 << 22 << QByteArray("0093") << 93;
    QTest::newRow("negative in four columns") << 1 << 1 << QByteArray("-999") << -999;
    QTest::newRow("widest value") << 10 << 22 << QByteArray("9999") << 9999;
    QTest::newRow("minus zero") << 17 << 38 << QByteArray("-0") << 0;
    QTest::newRow("half to even, down") << 9 << 19 << QByteArray("2.5") << 2;
    QTest::newRow("half to even, up") << 9 << 19 << QByteArray("3.5") << 4;
    QTest::newRow("negative half to even") << 10 << 22 << QByteArray("-2.5") << -2;
    QTest::newRow("fraction rounds up") << 11 << 26 << QByteArray("9.6") << 10;
    QTest::newRow("point without fraction") << 11 << 26 << QByteArray(" 7.") << 7;
    QTest::newRow("fraction only") << 11 << 26 << QByteArray(" .7") << 1;
}

void TestReadTruck::fieldValues() {
    QFETCH(int, index);
    QFETCH(int, column);
    QFETCH(QByteArray, text);
    QFETCH(int, value);

    const QByteArray line = Replaced(kNineAxles, column, int(text.size()), text);
    QList<int> expected = kNineAxlesData;
    expected[index] = value;
    QCOMPARE(DataOf(ReadTruck(View(line))), expected);
}

void TestReadTruck::fieldFailures_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("reason");

    QTest::newRow("letter inside SPEED")
        << 19 << QByteArray("1x3") << QByteArray(R"(SPEED (columns 19-21): "1x3" is not a number)");
    QTest::newRow("blank HEAD") << 1 << QByteArray("    ")
                                << QByteArray(R"(HEAD (columns 1-4): "    " is not a number)");
    QTest::newRow("blank axle count")
        << 29 << QByteArray(" ") << QByteArray(R"(NO. AXLES (column 29): " " is not a number)");
    QTest::newRow("sign only") << 30 << QByteArray("-")
                               << QByteArray(R"(DIRECTION (column 30): "-" is not a number)");
    QTest::newRow("point only") << 31 << QByteArray(".")
                                << QByteArray(R"(LANE (column 31): "." is not a number)");
    QTest::newRow("blank between sign and digit")
        << 32 << QByteArray("- 4")
        << QByteArray(R"(TRNS LANE POS (columns 32-34): "- 4" is not a number)");
    QTest::newRow("blank between digits")
        << 22 << QByteArray("9 35") << QByteArray(R"(GVW (columns 22-25): "9 35" is not a number)");
    QTest::newRow("exponent") << 19 << QByteArray("1e2")
                              << QByteArray(R"(SPEED (columns 19-21): "1e2" is not a number)");
    QTest::newRow("hex") << 1 << QByteArray("0x1F")
                         << QByteArray(R"(HEAD (columns 1-4): "0x1F" is not a number)");
    QTest::newRow("thousands separator")
        << 22 << QByteArray("1,00") << QByteArray(R"(GVW (columns 22-25): "1,00" is not a number)");
    QTest::newRow("decimal comma")
        << 26 << QByteArray("2,5")
        << QByteArray(R"(LENGTH (columns 26-28): "2,5" is not a number)");
    QTest::newRow("tab") << 38 << QByteArray("\t3")
                         << QByteArray("S AX 1 - AX 2 (columns 38-39): \"\t3\" is not a number");
    QTest::newRow("letter in the last column")
        << 77 << QByteArray("O") << QByteArray(R"(WT AX 9 (columns 75-77): "10O" is not a number)");
}

// Every failing field raises type mismatch and names itself, its columns and
// the text found there. No field is wide enough to hold a number outside the
// 16-bit range, so a line never overflows.
void TestReadTruck::fieldFailures() {
    QFETCH(int, column);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, reason);

    TruckRecord record;
    QByteArray actualReason;
    QCOMPARE(TryRead(Replaced(kNineAxles, column, int(text.size()), text), record, actualReason),
             kTypeMismatch);
    QCOMPARE(actualReason, reason);
}

void TestReadTruck::firstFailingFieldReported() {
    QByteArray line = Replaced(kNineAxles, 75, 3, "???");
    line = Replaced(line, 40, 3, " ? ");
    TruckRecord record;
    QByteArray reason;
    QCOMPARE(TryRead(line, record, reason), kTypeMismatch);
    QCOMPARE(reason, QByteArray(R"(WT AX 2 (columns 40-42): " ? " is not a number)"));
}

// Columns count characters: a UTF-8 sequence of two to four bytes takes one
// column, and so does a byte that begins no valid sequence.
void TestReadTruck::charactersNotBytes_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("reason");  // empty when the line parses as kNineAxles

    QTest::newRow("two-byte character in SPEED")
        << Replaced(kNineAxles, 19, 3,
                    "8\xC2\xB0"
                    "9")
        << QByteArray(R"(SPEED (columns 19-21): "8°9" is not a number)");
    QTest::newRow("three-byte character in column 1")
        << Replaced(kNineAxles, 1, 1, "\xE2\x82\xAC")
        << QByteArray(R"(HEAD (columns 1-4): "€105" is not a number)");
    QTest::newRow("four-byte character in the last field")
        << Replaced(kNineAxles, 76, 1, "\xF0\x9F\x9A\x9A")
        << QByteArray(R"(WT AX 9 (columns 75-77): "1🚚5" is not a number)");
    QTest::newRow("stray byte") << Replaced(kNineAxles, 20, 1, "\xFF")
                                << QByteArray(
                                       "SPEED (columns 19-21): \" \xFF"
                                       "9\" is not a number");
    QTest::newRow("non-ASCII after column 77")
        << kNineAxles.left(77) + "\xC3\xA9\xE2\x82\xAC" << QByteArray();
    // 76 characters, 77 bytes: the last field has two characters, "1" and é.
    QTest::newRow("line that ends in a non-ASCII character")
        << kNineAxles.left(75) + "\xC3\xA9"
        << QByteArray(R"(WT AX 9 (columns 75-77): "1é" is not a number)");
}

void TestReadTruck::charactersNotBytes() {
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, reason);

    TruckRecord record;
    QByteArray actualReason;
    const int error = TryRead(line, record, actualReason);
    if (reason.isEmpty()) {
        QCOMPARE(error, kOk);
        QCOMPARE(DataOf(record), kNineAxlesData);
        QCOMPARE(QByteArray::fromStdString(record.RawLine.str()), line);
    } else {
        QCOMPARE(error, kTypeMismatch);
        QCOMPARE(actualReason, reason);
    }
}

void TestReadTruck::truckTime_data() {
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<int>("second");
    QTest::addColumn<int>("hundredths");
    QTest::addColumn<double>("time");

    QTest::newRow("start of the year") << 1 << 1 << 0 << 0 << 0 << 0 << 0.0;
    QTest::newRow("every field counts") << 2 << 3 << 4 << 5 << 6 << 7 << 5285106.07;
    QTest::newRow("last instant of day 31 of month 12")
        << 31 << 12 << 23 << 59 << 59 << 99 << 31190399.99;
    QTest::newRow("day 0") << 0 << 1 << 0 << 0 << 0 << 0 << -86400.0;
    QTest::newRow("month 0") << 1 << 0 << 0 << 0 << 0 << 0 << -2592000.0;
    QTest::newRow("day 0 of month 0, half past midnight")
        << 0 << 0 << 0 << 30 << 0 << 0 << -2678400.0 + 1800.0;
    QTest::newRow("negative fields") << 1 << 1 << -1 << 0 << -5 << -50 << -3605.5;
    QTest::newRow("widest fields") << 99 << 99 << 99 << 99 << 99 << 99 << 262845639.99;
}

void TestReadTruck::truckTime() {
    QFETCH(int, day);
    QFETCH(int, month);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(int, second);
    QFETCH(int, hundredths);
    QFETCH(double, time);

    TruckRecord record;
    record.Data[kDayField] = static_cast<std::int16_t>(day);
    record.Data[kMonthField] = static_cast<std::int16_t>(month);
    record.Data[kHourField] = static_cast<std::int16_t>(hour);
    record.Data[kMinuteField] = static_cast<std::int16_t>(minute);
    record.Data[kSecondField] = static_cast<std::int16_t>(second);
    record.Data[kHundredthsField] = static_cast<std::int16_t>(hundredths);
    // Exact: the sum is formed in the same order on every machine.
    QVERIFY2(TruckTime(record) == time, qPrintable(QString::number(TruckTime(record), 'g', 17)));
}

void TestReadTruck::truckTimeReadsOnlyItsFields() {
    TruckRecord record;
    record.Data.fill(77);
    record.Data[kDayField] = 2;
    record.Data[kMonthField] = 3;
    record.Data[kHourField] = 4;
    record.Data[kMinuteField] = 5;
    record.Data[kSecondField] = 6;
    record.Data[kHundredthsField] = 7;
    record.RawLine = SharedText("not looked at");
    record.Time = -1.0;
    QVERIFY(TruckTime(record) == 5285106.07);
}

// The bundled sample file: every line a realistic truck that parses.
void TestReadTruck::sampleFile() {
    const QByteArray sourceDir = qgetenv("AXLEWISE_SOURCE_DIR");
    QVERIFY2(!sourceDir.isEmpty(), "AXLEWISE_SOURCE_DIR is not set");
    QFile file(QString::fromLocal8Bit(sourceDir) + "/examples/trucks.txt");
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QByteArray contents = file.readAll();
    QVERIFY(contents.endsWith('\n'));
    QVERIFY(!contents.contains('\r'));

    const QList<QByteArray> lines = contents.chopped(1).split('\n');
    QVERIFY(lines.size() >= 40);
    QMap<int, int> trucksByAxles;
    double previousTime = -1.0;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QByteArray& line = lines[n];
        const QByteArray where = "line " + QByteArray::number(n + 1);
        QVERIFY2(line.size() == 78, where.constData());
        TruckRecord record;
        QByteArray reason;
        QVERIFY2(TryRead(line, record, reason) == kOk, (where + ": " + reason).constData());

        const int axles = record.Data[kNoAxlesField];
        QVERIFY2(axles >= 2 && axles <= kMaxAxles, where.constData());
        int sum = 0;
        for (int axle = 1; axle <= kMaxAxles; ++axle) {
            const int weight = record.Data[static_cast<std::size_t>(AxleWeightField(axle))];
            sum += weight;
            QVERIFY2((weight > 0) == (axle <= axles),
                     qPrintable(where + " weight " + QByteArray::number(axle)));
            if (axle < kMaxAxles) {
                const int spacing = record.Data[static_cast<std::size_t>(AxleSpacingField(axle))];
                QVERIFY2((spacing > 0) == (axle < axles),
                         qPrintable(where + " spacing " + QByteArray::number(axle)));
            }
        }
        QVERIFY2(record.Data[kGvwField] == sum, where.constData());
        QVERIFY2(record.Time > previousTime, where.constData());
        previousTime = record.Time;
        ++trucksByAxles[axles];
    }
    // Two to nine axles, mostly five.
    QCOMPARE(trucksByAxles.firstKey(), 2);
    QCOMPARE(trucksByAxles.lastKey(), 9);
    for (auto it = trucksByAxles.cbegin(); it != trucksByAxles.cend(); ++it) {
        QVERIFY(it.key() == 5 || it.value() < trucksByAxles[5]);
    }
}

QTEST_GUILESS_MAIN(TestReadTruck)
#include "tst_readtruck.moc"

#include "records/modUDTs.h"

#include "TruckLines.h"
#include "records/BrowserState.h"
#include "records/IntegerText.h"

#include <QtTest>

#include <memory>
#include <random>
#include <string>

using namespace axlewise;
using namespace axlewise::test;

namespace {

// Nine axles, every column used and no two neighbours alike, so a field read
// one column off gives another value. Column 78 is a check digit.
const QByteArray kNine =
    "310514032415514454 89 935251921 14 8220 84331201512193108151041510414107141051";
const QList<int> kNineData = {0,   3105, 14,  3,  24,  15, 51,  44, 54,  89,  935,
                              251, 9,    2,   1,  14,  82, 20,  84, 33,  120, 15,
                              121, 93,   108, 15, 104, 15, 104, 14, 107, 14,  105};

// kNine with `count` bytes from `column` on replaced by text.
QByteArray Edited(int column, const QByteArray& text, int count = -1, QByteArray line = kNine) {
    return line.replace(column - 1, count < 0 ? text.size() : count, text);
}

}  // namespace

class TestReadTruck : public QObject {
    Q_OBJECT

private slots:
    void conversion_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("error");  // as ReadTruck raises it: 6 out of range, 13 not a number
        QTest::addColumn<int>("value");
        const auto row = [](const char* tag, const QByteArray& text, int error, int value) {
            QTest::newRow(tag) << text << error << value;
        };
        row("plus", "+3", 0, 3);
        row("left aligned minus", "-99 ", 0, -99);
        row("half to even, down", "2.5", 0, 2);
        row("half to even, up", "3.5", 0, 4);
        row("negative half to even", "-2.5", 0, -2);
        row("half with zeros after", "2.5000", 0, 2);
        row("just above half", "2.50001", 0, 3);
        row("no integer part", ".6", 0, 1);
        row("largest", "32767", 0, 32767);
        row("one past largest", "32768", 6, 0);
        row("largest plus half rounds out", "32767.5", 6, 0);
        row("smallest minus half rounds in", "-32768.5", 0, -32768);
        row("huge", "123456789012345678901234567890", 6, 0);
        row("blanks only", "    ", 13, 0);
        row("sign only", "-", 13, 0);
        row("blank inside", "9 35", 13, 0);
        row("blank after sign", "- 3", 13, 0);
        row("two signs", "+-3", 13, 0);
        row("sign after digits", "3-", 13, 0);
        row("exponent", "1e2", 13, 0);
        row("tab", "\t7", 13, 0);
    }
    // Texts of up to four characters are also read as the HEAD field of a line,
    // where plain integers take the parser's fast path and the rest the full one.
    void conversion() {
        QFETCH(QByteArray, text);
        QFETCH(int, error);
        QFETCH(int, value);
        std::int16_t converted = 0;
        const ConversionStatus status = TextToInteger(text.toStdString(), converted);
        QCOMPARE(status == ConversionStatus::Ok           ? 0
                 : status == ConversionStatus::OutOfRange ? 6
                                                          : 13,
                 error);
        QCOMPARE(int(converted), value);
        if (error == 6) {  // no field is wide enough to give this reason in a line
            QCOMPARE(ConversionReason(text.toStdString(), status),
                     '"' + text.toStdString() + "\" is out of range (-32768 to 32767)");
        }
        if (text.size() <= 4) {
            const std::string line = WithField(kNine.toStdString(), 1, text.toStdString());
            TruckRecord record;
            QCOMPARE(Raised([&] { record = ReadTruck(line); }), error);
            QCOMPARE(int(record.Data[1]), value);
        }
    }

    // Reasons show every character of the text they quote: nothing invisible,
    // nothing cut, always valid UTF-8.
    void quoted_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("quoted");
        QTest::newRow("tab, CR, LF") << QByteArray("\t2\r\n") << QByteArray(R"("\t2\r\n")");
        QTest::newRow("NUL does not end the text")
            << QByteArray("a\0b", 3) << QByteArray(R"("a\0b")");
        QTest::newRow("escape and DEL") << QByteArray("\x1B[\x7F") << QByteArray("\"\\x1B[\\x7F\"");
        QTest::newRow("C1 control in UTF-8") << QByteArray("\xC2\x85") << QByteArray(R"("\x85")");
        QTest::newRow("stray bytes as Latin-1")
            << QByteArray("\xE9\x85") << QByteArray("\"\xC3\xA9\\x85\"");
        // A backslash in the text is doubled: the text A>\x11\ and the text A>,
        // control 0x11, \ must not read alike.
        QTest::newRow("backslashes doubled")
            << QByteArray(R"(A>\x11\)") << QByteArray(R"("A>\\x11\\")");
        QTest::newRow("control beside a backslash")
            << QByteArray("A>\x11\\") << QByteArray(R"("A>\x11\\")");
    }
    void quoted() {
        QFETCH(QByteArray, text);
        QTEST(QByteArray::fromStdString(Quoted(text.toStdString())), "quoted");
    }

    void lines_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("lastWeight");     // WT AX 9; the other fields are those of kNine
        QTest::addColumn<QByteArray>("reason");  // of the failure, empty when the line parses
        const auto row = [](const char* tag, const QByteArray& line, int weight, const char* why) {
            QTest::newRow(tag) << line << weight << QByteArray(why);
        };
        row("78 characters, every column used", kNine, 105, "");
        row("text after column 77 ignored",
            kNine.left(77) + "x,1e9 \"-\"\t\xC3\xA9\r" + QByteArray(5000, '?'), 105, "");
        row("75 characters, last field cut to one", kNine.left(75), 1, "");
        row("74 characters", kNine.left(74), 0,
            "WT AX 9 (columns 75-77): the line ends before this field");
        row("blank line", "", 0, "HEAD (columns 1-4): the line ends before this field");
        row("letter in SPEED", Edited(19, "1x3"), 0,
            R"(SPEED (columns 19-21): "1x3" is not a number)");
        row("blank one-column field", Edited(29, " "), 0,
            R"(NO. AXLES (column 29): " " is not a number)");
        row("first failing field named", Edited(40, " ? ", 3, Edited(75, "???")), 0,
            R"(WT AX 2 (columns 40-42): " ? " is not a number)");
        row("two-byte character is one column", Edited(19, "8\xC2\xB0\x39", 3), 0,
            R"(SPEED (columns 19-21): "8°9" is not a number)");
        row("stray byte is one column", Edited(20, "\xFF"), 0,
            "SPEED (columns 19-21): \" \xC3\xBF\x39\" is not a number");
    }
    // A failure is always a type mismatch: no field is wide enough to overflow.
    void lines() {
        QFETCH(QByteArray, line);
        QFETCH(int, lastWeight);
        QFETCH(QByteArray, reason);
        TruckRecord record;
        std::string actual;
        QCOMPARE(Raised([&] { record = ReadTruck(line.toStdString()); }, &actual),
                 reason.isEmpty() ? 0 : 13);
        QCOMPARE(QByteArray::fromStdString(actual), reason);
        if (reason.isEmpty()) {
            QList<int> data = kNineData;
            data.last() = lastWeight;
            QCOMPARE(QList<int>(record.Data.begin(), record.Data.end()), data);
            QCOMPARE(QByteArray::fromStdString(record.RawLine.str()), line);
        }
    }

    void truckTime_data() {
        // Columns 5-18: DAY, MONTH, YEAR, HOUR, MINUTE, SECOND and SECOND/100.
        QTest::addColumn<QByteArray>("stamp");
        QTest::addColumn<double>("time");
        QTest::newRow("every field counts") << QByteArray(" 2 324 4 5 6 7") << 5285106.07;
        QTest::newRow("day 0") << QByteArray(" 0 124 0 0 0 0") << -86400.0;
        QTest::newRow("month 0") << QByteArray(" 1 024 030 0 0") << -2592000.0 + 1800;
    }
    // Through whole lines, so that TruckTime is seen to read the fields by their captions.
    void truckTime() {
        QFETCH(QByteArray, stamp);
        QFETCH(double, time);
        const TruckRecord record = ReadTruck(Edited(5, stamp).toStdString());
        QVERIFY2(record.Time == time, qPrintable(QString::number(record.Time, 'g', 17)));
    }

    // Seeded random edits of truck lines never crash: each parses or raises 6 or 13.
    // (The fuzz target of the parser explores much further; this keeps a quick,
    // repeatable sample in every test run.)
    void randomLines() {
        std::mt19937 random(20240311);
        const std::string alphabet = "0123456789      +-..,e\t\xC3\xA9\xFF";
        for (int n = 0; n < 30'000; ++n) {
            std::string line = n % 2 == 0 ? kNine.toStdString() : TruckLine(n % 10'000);
            for (auto edits = 1 + random() % 3; edits > 0; --edits) {
                line[random() % line.size()] = alphabet[random() % alphabet.size()];
            }
            line.resize(random() % 8 == 0 ? random() % line.size() : line.size());
            const int error = Raised([&] { ReadTruck(line); });
            if (error != 0 && error != 6 && error != 13) {
                QFAIL(qPrintable(QString("error %1 for \"%2\"").arg(error).arg(line.c_str())));
            }
        }
    }

    void truckAt_data() {
        QTest::addColumn<int>("held");
        QTest::addColumn<qint64>("index");
        QTest::addColumn<int>("error");
        QTest::newRow("first of three") << 3 << qint64(1) << 0;
        QTest::newRow("one past the last") << 3 << qint64(4) << 9;
        QTest::newRow("index 0, the unused slot") << 3 << qint64(0) << 9;
    }
    // Truck n carries HEAD n, so the order is seen too.
    void truckAt() {
        QFETCH(int, held);
        QFETCH(qint64, index);
        QFETCH(int, error);
        BrowserState state;
        for (int n = 1; n <= held; ++n) {
            AddTruck(state, TruckLine(n));
        }
        int head = -1;
        QCOMPARE(Raised([&] { head = state.Truck(index).Data[1]; }), error);
        QCOMPARE(head, error == 0 ? int(index) : -1);
    }

    // Records cut from a shared text are values: copies and moved-to records keep
    // their line after the text and the list they came from are gone, and a
    // moved-from record holds no dangling text.
    void recordsOutliveTheirText() {
        TruckRecord copied;
        TruckRecord moved;
        TruckRecord movedFrom;
        {
            auto text = std::make_shared<const std::string>(kNine.toStdString() + "\n");
            BrowserState state;
            state.AddTruck(ReadTruck(SharedText(text, std::string_view(*text).substr(0, 78))));
            text.reset();
            copied = state.Truck(1);
            movedFrom = state.Truck(1);
            moved = std::move(movedFrom);
        }
        QCOMPARE(QByteArray::fromStdString(copied.RawLine.str()), kNine);
        QCOMPARE(QByteArray::fromStdString(moved.RawLine.str()), kNine);
        QVERIFY(movedFrom.RawLine.str().empty());
        QCOMPARE(QList<int>(copied.Data.begin(), copied.Data.end()), kNineData);
    }
};

QTEST_GUILESS_MAIN(TestReadTruck)
#include "tst_readtruck.moc"

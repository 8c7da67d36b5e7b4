// The ways straight to a truck: the next and previous failing truck, a time
// of passage typed by the user, and the first truck at or after it.

#include "display/GoTo.h"

#include "TruckLines.h"

#include <QRegularExpression>
#include <QTest>

using namespace axlewise;
using namespace axlewise::test;

namespace {

constexpr CheckMask kSum = MaskOf(CheckCode::AxleSum);
constexpr CheckMask kSpeed = MaskOf(CheckCode::Speed);

// Trucks whose kept checks are the given masks, in order.
BrowserState WithMasks(const QList<int>& masks) {
    BrowserState state;
    for (const int mask : masks) {
        state.AddTruck(ReadTruck(TruckLine(1)), static_cast<CheckMask>(mask));
    }
    return state;
}

// A truck that passed at "YY-MM-DD hh:mm:ss.cc".
TruckRecord Passing(const char* when) {
    const QStringList p =
        QString::fromLatin1(when).split(QRegularExpression(QStringLiteral("[-:. ]")));
    std::string line = TruckLine(1);
    const int fields[] = {kYearField,   kMonthField,  kDayField,       kHourField,
                          kMinuteField, kSecondField, kHundredthsField};
    for (int k = 0; k < 7; ++k) {
        line = WithField(line, fields[k], p.at(k).toStdString());
    }
    return ReadTruck(line);
}

}  // namespace

class tst_GoTo : public QObject {
    Q_OBJECT

private slots:
    void findFailing_data() {
        QTest::addColumn<QList<int>>("masks");  // trucks 1, 2, ...
        QTest::addColumn<int>("wanted");
        QTest::addColumn<qint64>("from");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<qint64>("found");  // 0: none
        const QList<int> mixed{0, kSum, 0, kSpeed | kSum, kSpeed, 0};
        const auto row = [](const char* tag, const QList<int>& masks, int wanted, qint64 from,
                            bool forward, qint64 found) {
            QTest::newRow(tag) << masks << wanted << from << forward << found;
        };
        row("next of any kind", mixed, kSum | kSpeed, 2, true, 4);
        row("next of one kind skips the others", mixed, kSpeed, 1, true, 4);
        row("next wraps past the end", mixed, kSum, 4, true, 2);
        row("previous reaches the first truck", {kSum, 0, 0}, kSum, 3, false, 1);
        row("previous wraps past the start", mixed, kSpeed, 4, false, 5);
        row("previous of one kind skips the others", mixed, kSpeed, 5, false, 4);
        row("alone, it is found again", {0, kSum, 0}, kSum, 2, true, 2);
        row("alone, it is found again going back", {0, kSum, 0}, kSum, 2, false, 2);
        row("nothing on show yet: from the start", mixed, kSpeed, 0, true, 4);
        row("nothing on show yet: back from the end", mixed, kSum, 0, false, 4);
        row("none fails this check", mixed, MaskOf(CheckCode::Order), 1, false, 0);
        row("no truck held", {}, kSum, 0, true, 0);
    }
    void findFailing() {
        QFETCH(QList<int>, masks);
        QFETCH(int, wanted);
        QFETCH(qint64, from);
        QFETCH(bool, forward);
        QFETCH(qint64, found);
        const std::optional<TruckIndex> truck =
            FindFailing(WithMasks(masks), from, static_cast<CheckMask>(wanted),
                        forward ? Direction::Forward : Direction::Backward);
        QCOMPARE(truck.value_or(0), found);
    }

    // The passage read, given back as a truck's passage is written.
    void readPassage_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read");  // empty: refused
        const auto row = [](const char* tag, const char* text, const char* read) {
            QTest::newRow(tag) << QString::fromLatin1(text) << QString::fromLatin1(read);
        };
        row("to the minute", "24-03-11 10:37", "24-03-11 10:37:00.00");
        row("to the hundredth", "24-03-11 10:37:33.76", "24-03-11 10:37:33.76");
        row("one-digit parts", "4-3-1 9:5:7.6", "04-03-01 09:05:07.06");
        row("blanks around and between", "  24-03-11   10:37 ", "24-03-11 10:37:00.00");
        row("the last moment of a year", "99-12-31 23:59:59.99", "99-12-31 23:59:59.99");
        row("no time", "24-03-11", "");
        row("hundredths without seconds", "24-03-11 10:37.76", "");
        row("four-digit year", "2024-03-11 10:37", "");
        row("month 13", "24-13-01 00:00", "");
        row("day 0", "24-03-00 00:00", "");
        row("a T between date and time", "24-03-11T10:37", "");
        row("trailing text", "24-03-11 10:37 am", "");
    }
    void readPassage() {
        QFETCH(QString, text);
        QFETCH(QString, read);
        const std::optional<PassageTime> when = ReadPassage(text.toStdString());
        QCOMPARE(when.has_value(), !read.isEmpty());
        if (when) {
            QCOMPARE(*when, PassageTimeOf(Passing(qPrintable(read))));
        }
    }

    void passageText() {
        QCOMPARE(PassageText(Passing("24-03-11 08:05:07.06")), "24-03-11 08:05:07.06");
        // Fields no clock holds are written as they are.
        TruckRecord odd = Passing("24-03-11 08:05:07.06");
        odd.Data[kMonthField] = 123;
        odd.Data[kDayField] = -1;
        QCOMPARE(PassageText(odd), "24-123--1 08:05:07.06");
    }

    void firstAtOrAfter_data() {
        QTest::addColumn<QString>("when");
        QTest::addColumn<qint64>("found");  // 0: none
        // Trucks in the order of the file, not of time.
        QTest::newRow("exactly a truck's passage") << "24-03-11 10:00:00.00" << qint64(1);
        QTest::newRow("the first in list order, not the earliest") << "24-03-11 09:00" << qint64(1);
        QTest::newRow("after the first two") << "24-03-12 00:00" << qint64(3);
        QTest::newRow("the 31st comes before the 1st of the next month")
            << "24-03-31 12:00" << qint64(4);
        QTest::newRow("a new year") << "25-01-01 00:00" << qint64(5);
        QTest::newRow("after every truck") << "25-06-01 00:00" << qint64(0);
    }
    void firstAtOrAfter() {
        QFETCH(QString, when);
        QFETCH(qint64, found);
        BrowserState state;
        for (const char* passage :
             {"24-03-11 10:00:00.00", "24-03-11 08:00:00.00", "24-03-20 10:00:00.00",
              "24-04-01 01:00:00.00", "25-01-02 00:00:00.00"}) {
            state.AddTruck(Passing(passage));
        }
        const std::optional<TruckIndex> truck =
            FirstPassingAtOrAfter(state, *ReadPassage(when.toStdString()));
        QCOMPARE(truck.value_or(0), found);
    }
};

QTEST_GUILESS_MAIN(tst_GoTo)
#include "tst_goto.moc"

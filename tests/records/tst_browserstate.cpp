#include "records/BrowserState.h"

#include <QtTest>

#include <functional>
#include <string>

#include "records/RuntimeError.h"

using namespace axlewise;

namespace {

const std::string kLine =
    "310512032411464352 78 448163511-39 753911272 8614 8913 86 0  0 0  0 0  0 0  08";

// The line with its hundredths of a second set to n % 100, so that trucks can
// be told apart.
std::string NumberedLine(int n) {
    std::string line = kLine;
    line[16] = static_cast<char>('0' + n / 10 % 10);
    line[17] = static_cast<char>('0' + n % 10);
    return line;
}

int ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& e) {
        return e.code();
    }
    return 0;
}

}  // namespace

class TestBrowserState : public QObject {
    Q_OBJECT

private slots:
    void trucksKeptInOrder();
    void rejectedLineAddsNothing_data();
    void rejectedLineAddsNothing();
    void countGoesPast16Bits();
    void truckOutsideTheList_data();
    void truckOutsideTheList();
};

void TestBrowserState::trucksKeptInOrder() {
    BrowserState state;
    QVERIFY(state.Trucks.empty());
    for (int n = 1; n <= 3; ++n) {
        state.AddTruck(NumberedLine(n));
    }
    state.AddTruck(ReadTruck(NumberedLine(4)));

    QCOMPARE(state.NoTrucks, 4);
    QCOMPARE(state.Trucks.size(), std::size_t(5));
    QVERIFY(state.Trucks[0] == TruckRecord());
    for (int n = 1; n <= 4; ++n) {
        QCOMPARE(QString::fromStdString(state.Truck(n).RawLine.str()),
                 QString::fromStdString(NumberedLine(n)));
        QCOMPARE(int(state.Truck(n).Data[kHundredthsField]), n);
    }
}

void TestBrowserState::rejectedLineAddsNothing_data() {
    QTest::addColumn<int>("held");  // trucks held before the rejected line
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("error");

    QTest::newRow("blank line on an empty list") << 0 << QByteArray() << 13;
    QTest::newRow("blank line after two trucks") << 2 << QByteArray() << 13;
    QTest::newRow("short line after one truck")
        << 1 << QByteArray::fromStdString(kLine.substr(0, 60)) << 13;
    QTest::newRow("letter in a field on an empty list")
        << 0 << QByteArray::fromStdString(kLine).replace(20, 1, "x") << 13;
}

void TestBrowserState::rejectedLineAddsNothing() {
    QFETCH(int, held);
    QFETCH(QByteArray, line);
    QFETCH(int, error);

    BrowserState state;
    for (int n = 1; n <= held; ++n) {
        state.AddTruck(NumberedLine(n));
    }
    const std::vector<TruckRecord> before = state.Trucks;

    QCOMPARE(ErrorOf([&] { state.AddTruck(line.toStdString()); }), error);
    QCOMPARE(state.NoTrucks, held);
    QVERIFY(state.Trucks == before);
    // No storage at all while no truck was ever added.
    QCOMPARE(state.Trucks.capacity() == 0, held == 0);
}

void TestBrowserState::countGoesPast16Bits() {
    constexpr int kCount = 40000;
    BrowserState state;
    state.ReserveTrucks(100);
    for (int n = 1; n <= kCount; ++n) {
        state.AddTruck(NumberedLine(n));
    }
    QCOMPARE(state.NoTrucks, kCount);
    QCOMPARE(state.Trucks.size(), std::size_t(kCount + 1));
    for (const int n : {32767, 32768, 32769, kCount}) {
        QCOMPARE(int(state.Truck(n).Data[kHundredthsField]), n % 100);
    }
}

void TestBrowserState::truckOutsideTheList_data() {
    QTest::addColumn<int>("held");
    QTest::addColumn<qint64>("index");

    QTest::newRow("any truck of an empty list") << 0 << qint64(1);
    QTest::newRow("index 0 of an empty list") << 0 << qint64(0);
    QTest::newRow("index 0, the unused slot") << 3 << qint64(0);
    QTest::newRow("negative") << 3 << qint64(-1);
    QTest::newRow("one past the last") << 3 << qint64(4);
    QTest::newRow("far past the last") << 3 << (qint64(1) << 40);
}

void TestBrowserState::truckOutsideTheList() {
    QFETCH(int, held);
    QFETCH(qint64, index);

    BrowserState state;
    for (int n = 1; n <= held; ++n) {
        state.AddTruck(NumberedLine(n));
    }
    QCOMPARE(ErrorOf([&] { state.Truck(index); }), 9);
}

QTEST_GUILESS_MAIN(TestBrowserState)
#include "tst_browserstate.moc"

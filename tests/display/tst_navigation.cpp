#include "display/Navigation.h"

#include <QTest>

using namespace axlewise;

namespace {

enum class Move { Start, Previous, Next, End };

bool Apply(Move move, BrowserState& state) {
    switch (move) {
        case Move::Start:
            return MoveToStart(state);
        case Move::Previous:
            return MoveToPrevious(state);
        case Move::Next:
            return MoveToNext(state);
        case Move::End:
            return MoveToEnd(state);
    }
    return false;
}

}  // namespace

Q_DECLARE_METATYPE(Move)

class tst_Navigation : public QObject {
    Q_OBJECT

private slots:
    void moves_data();
    void moves();
};

void tst_Navigation::moves_data() {
    QTest::addColumn<int>("trucksHeld");
    QTest::addColumn<qint64>("current");
    QTest::addColumn<Move>("move");
    QTest::addColumn<bool>("shows");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("3 trucks: Next from 3 wraps to 1")
        << 3 << qint64{3} << Move::Next << true << qint64{1};
    QTest::newRow("3 trucks: Next from 1 to 2")
        << 3 << qint64{1} << Move::Next << true << qint64{2};
    QTest::newRow("3 trucks: Previous from 1 wraps to 3")
        << 3 << qint64{1} << Move::Previous << true << qint64{3};
    QTest::newRow("3 trucks: Previous from 3 to 2")
        << 3 << qint64{3} << Move::Previous << true << qint64{2};
    QTest::newRow("3 trucks: End from 1") << 3 << qint64{1} << Move::End << true << qint64{3};
    QTest::newRow("3 trucks: End again") << 3 << qint64{3} << Move::End << true << qint64{3};
    QTest::newRow("3 trucks: Start from 2") << 3 << qint64{2} << Move::Start << true << qint64{1};
    QTest::newRow("3 trucks: Start again") << 3 << qint64{1} << Move::Start << true << qint64{1};

    QTest::newRow("1 truck: Start") << 1 << qint64{1} << Move::Start << true << qint64{1};
    QTest::newRow("1 truck: Previous") << 1 << qint64{1} << Move::Previous << true << qint64{1};
    QTest::newRow("1 truck: Next") << 1 << qint64{1} << Move::Next << true << qint64{1};
    QTest::newRow("1 truck: End") << 1 << qint64{1} << Move::End << true << qint64{1};

    QTest::newRow("no truck: Start") << 0 << qint64{0} << Move::Start << false << qint64{0};
    QTest::newRow("no truck: Previous") << 0 << qint64{0} << Move::Previous << false << qint64{0};
    QTest::newRow("no truck: Next") << 0 << qint64{0} << Move::Next << false << qint64{0};
    QTest::newRow("no truck: End") << 0 << qint64{0} << Move::End << false << qint64{0};

    // A first load that failed part-way holds trucks with none shown yet.
    QTest::newRow("nothing shown: Previous goes to the last")
        << 3 << qint64{0} << Move::Previous << true << qint64{3};
    QTest::newRow("nothing shown: Next goes to 1")
        << 3 << qint64{0} << Move::Next << true << qint64{1};
    // An index outside the list never leads to another one outside it.
    QTest::newRow("index past the list: Previous goes to the last")
        << 3 << qint64{7} << Move::Previous << true << qint64{3};
    QTest::newRow("negative index: Next goes to 1")
        << 3 << qint64{-4} << Move::Next << true << qint64{1};
    QTest::newRow("negative index: Previous goes to the last")
        << 3 << qint64{-4} << Move::Previous << true << qint64{3};
}

void tst_Navigation::moves() {
    QFETCH(int, trucksHeld);
    QFETCH(qint64, current);
    QFETCH(Move, move);
    QFETCH(bool, shows);
    QFETCH(qint64, expected);

    BrowserState state;
    for (int i = 0; i < trucksHeld; ++i) {
        state.AddTruck(TruckRecord{});
    }
    state.CurrentTruck = current;
    const auto trucks = state.Trucks;

    QCOMPARE(Apply(move, state), shows);
    QCOMPARE(state.CurrentTruck, expected);
    QCOMPARE(state.NoTrucks, TruckIndex{trucksHeld});
    QVERIFY(state.Trucks == trucks);
}

QTEST_GUILESS_MAIN(tst_Navigation)
#include "tst_navigation.moc"

// The store of trucks: batches appended to what it holds, across the edges of
// its chunks, keep every truck and its checks at its number, and never move
// the trucks held.

#include "records/BrowserState.h"
#include "records/TruckStore.h"

#include <QTest>

#include <memory>
#include <string>

using namespace axlewise;

namespace {

constexpr TruckIndex kChunk = TruckStore::kChunkTrucks;

// Truck n: HEAD n modulo 10,000, its line a slice of one shared text that
// names n, and the checks n modulo 2^16.
TruckRecord Numbered(TruckIndex n, const std::shared_ptr<const std::string>& text) {
    TruckRecord record;
    record.Data[1] = static_cast<std::int16_t>(n % 10'000);
    record.RawLine = SharedText(text, *text);
    record.Time = static_cast<double>(n);
    return record;
}

CheckMask MaskFor(TruckIndex n) {
    return static_cast<CheckMask>(n % 65'536);
}

TruckStore Batch(TruckIndex first, TruckIndex count) {
    const auto text = std::make_shared<const std::string>("batch from " + std::to_string(first));
    TruckStore batch(first);
    for (TruckIndex n = first; n < first + count; ++n) {
        batch.add(Numbered(n, text), MaskFor(n));
    }
    return batch;
}

}  // namespace

class tst_TruckStore : public QObject {
    Q_OBJECT

private slots:
    void appendBatches_data() {
        QTest::addColumn<QList<qint64>>("loads");  // trucks in each load, in order
        QTest::newRow("first load fills a chunk exactly") << QList<qint64>{kChunk, 2};
        QTest::newRow("second load crosses into a new chunk") << QList<qint64>{kChunk - 1, 2};
        QTest::newRow("second load spans three chunks") << QList<qint64>{100, 2 * kChunk + 5};
        QTest::newRow("empty load in the middle") << QList<qint64>{5, 0, 5};
    }
    // Every truck is found at its number, with its checks and its line, and
    // the load it belongs to starts where the state says.
    void appendBatches() {
        QFETCH(QList<qint64>, loads);
        BrowserState state;
        std::vector<TruckIndex> starts;
        std::vector<const TruckRecord*> firstOfEach;
        for (const qint64 count : loads) {
            TruckStore batch = Batch(state.NoTrucks + 1, count);
            const TruckIndex first = state.NoTrucks + 1;
            if (count > 0) {
                starts.push_back(first);
            }
            state.AddTrucks(std::move(batch));
            QVERIFY(batch.empty());
            QCOMPARE(batch.first(), state.NoTrucks + 1);
            if (count > 0) {
                firstOfEach.push_back(&state.Truck(first));
            }
        }
        TruckIndex total = 0;
        for (const qint64 count : loads) {
            total += count;
        }
        QCOMPARE(state.NoTrucks, total);
        QCOMPARE(state.Trucks.count(), total);
        QCOMPARE(state.LoadStarts, starts);
        std::size_t load = 0;
        for (TruckIndex n = 1; n <= total; ++n) {
            load += load + 1 < starts.size() && starts[load + 1] == n ? 1 : 0;
            const TruckRecord& truck = state.Truck(n);
            if (truck.Data[1] != n % 10'000 || truck.Time != static_cast<double>(n) ||
                state.Checks(n) != MaskFor(n) || state.LoadStartOf(n) != starts[load]) {
                QFAIL(qPrintable(QStringLiteral("truck %1 is not where it belongs").arg(n)));
            }
        }
        // A truck's line still names the batch it was read with.
        QCOMPARE(state.Truck(total).RawLine.str(), "batch from " + std::to_string(starts.back()));
        // Later loads never moved a truck held before them, except the few
        // that shared a partly filled chunk: the first of each load stays put
        // when it opened a chunk of its own.
        for (std::size_t k = 0; k < starts.size(); ++k) {
            if ((starts[k] - 1) % kChunk == 0) {
                QCOMPARE(&state.Truck(starts[k]), firstOfEach[k]);
            }
        }
    }

    // A record built in code joins the last load; before any load it starts one.
    void addTruck_joinsTheLastLoad() {
        const auto text = std::make_shared<const std::string>("x");
        BrowserState state;
        state.AddTruck(Numbered(1, text), 7);
        state.AddTrucks(Batch(2, 2));
        state.AddTruck(Numbered(4, text));
        QCOMPARE(state.LoadStarts, (std::vector<TruckIndex>{1, 2}));
        QCOMPARE(state.Checks(1), CheckMask(7));
        QCOMPARE(state.Truck(4).Data[1], 4);
        QCOMPARE(state.Checks(4), CheckMask(0));
    }
};

QTEST_GUILESS_MAIN(tst_TruckStore)
#include "tst_truckstore.moc"

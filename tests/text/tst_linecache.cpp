// The per-line cache: what an edit drops and how it renumbers what follows,
// and what a trim keeps over its budget.

#include "text/LineCache.h"

#include <QTest>

using namespace axlewise;

namespace {

// Lines 0..5, each holding ten times its number, each costing 1.
LineCache<int> SixLines(std::size_t maxEntries, std::size_t maxCost) {
    LineCache<int> cache(maxEntries, maxCost);
    for (int line = 0; line < 6; ++line) {
        cache.put(LineNumber(line), line * 10, 1);
    }
    return cache;
}

// "line=value" of every entry, in order.
QStringList Entries(const LineCache<int>& cache) {
    QStringList out;
    for (const LineNumber line : cache.lines()) {
        out << QStringLiteral("%1=%2").arg(line.value()).arg(*cache.find(line));
    }
    return out;
}

}  // namespace

class tst_LineCache : public QObject {
    Q_OBJECT

private slots:
    void linesReplaced_data();
    void linesReplaced();
    void trim_data();
    void trim();
};

void tst_LineCache::linesReplaced_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("oldLast");
    QTest::addColumn<int>("newLast");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("two lines joined") << 2 << 3 << 2 << QStringList{"0=0", "1=10", "3=40", "4=50"};
    QTest::newRow("a line split in three")
        << 1 << 1 << 3 << QStringList{"0=0", "4=20", "5=30", "6=40", "7=50"};
    QTest::newRow("the last lines removed")
        << 4 << 5 << 4 << QStringList{"0=0", "1=10", "2=20", "3=30"};
    QTest::newRow("everything replaced") << 0 << 5 << 0 << QStringList{};
}

void tst_LineCache::linesReplaced() {
    QFETCH(int, first);
    QFETCH(int, oldLast);
    QFETCH(int, newLast);
    QFETCH(QStringList, entries);
    LineCache<int> cache = SixLines(100, 100);
    cache.linesReplaced({LineNumber(first), LineNumber(oldLast), LineNumber(newLast)});
    QCOMPARE(Entries(cache), entries);
    QCOMPARE(cache.cost(), std::size_t(entries.size()));
}

void tst_LineCache::trim_data() {
    QTest::addColumn<int>("maxEntries");
    QTest::addColumn<int>("maxCost");
    QTest::addColumn<QStringList>("entries");  // after trim(2, 3)
    QTest::newRow("within both budgets: all kept")
        << 6 << 6 << QStringList{"0=0", "1=10", "2=20", "3=30", "4=40", "5=50"};
    QTest::newRow("too many entries") << 5 << 100 << QStringList{"2=20", "3=30"};
    QTest::newRow("too costly") << 100 << 5 << QStringList{"2=20", "3=30"};
}

void tst_LineCache::trim() {
    QFETCH(int, maxEntries);
    QFETCH(int, maxCost);
    QFETCH(QStringList, entries);
    LineCache<int> cache =
        SixLines(static_cast<std::size_t>(maxEntries), static_cast<std::size_t>(maxCost));
    cache.trim(LineNumber(2), LineNumber(3));
    QCOMPARE(Entries(cache), entries);
    // A line put again replaces what was kept, and its cost.
    cache.put(LineNumber(2), 7, 4);
    QCOMPARE(*cache.find(LineNumber(2)), 7);
    QCOMPARE(cache.cost(), std::size_t(entries.size() - 1 + 4));
}

QTEST_GUILESS_MAIN(tst_LineCache)
#include "tst_linecache.moc"

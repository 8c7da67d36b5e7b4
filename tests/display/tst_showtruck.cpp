#include "display/ShowTruck.h"

#include "RecordingSurface.h"
#include "display/TruckPanel.h"
#include "records/RuntimeError.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTest>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

using namespace axlewise;

namespace {

// What ShowTruck wrote: every text set, every message, and the picture.
class FakeView : public TruckView {
public:
    explicit FakeView(std::string separator = ".") : separator_(std::move(separator)) {}

    void setTruckText(const std::string& text) override { texts.push_back(text); }
    void MsgBox(const std::string& text, MsgIcon icon) override {
        messages.emplace_back(text, icon);
    }
    DrawingSurface& picture() override { return surface; }
    std::string_view lineBreak() const override { return "\r\n"; }
    std::string_view decimalSeparator() const override { return separator_; }

    std::vector<std::string> texts;
    std::vector<std::pair<std::string, MsgIcon>> messages;
    RecordingSurface surface;

private:
    std::string separator_;
};

TruckRecord Record(const QList<int>& data, double time = 0.0) {
    TruckRecord record;
    std::copy(data.begin(), data.end(), record.Data.begin());
    record.Time = time;
    return record;
}

// A truck with `noAxles` axles and a gross weight of 77; weights 10, 20, ...
// and spacings 3, 4, ... in their columns, as far as there are columns.
TruckRecord Truck(int noAxles) {
    TruckRecord record;
    record.Data[10] = 77;
    record.Data[12] = static_cast<std::int16_t>(noAxles);
    for (int i = 1; i <= kMaxAxles; ++i) {
        record.Data[static_cast<std::size_t>(AxleWeightField(i))] =
            static_cast<std::int16_t>(10 * i);
    }
    for (int k = 1; k < kMaxAxles; ++k) {
        record.Data[static_cast<std::size_t>(AxleSpacingField(k))] =
            static_cast<std::int16_t>(k + 2);
    }
    return record;
}

QList<int> Values(const std::vector<std::int16_t>& values) {
    return QList<int>(values.begin(), values.end());
}

QStringList Lines(const std::string& text) {
    return QString::fromStdString(text).split(QStringLiteral("\r\n"));
}

ErrorNumber ErrorOf(BrowserState& state, FakeView& view) {
    try {
        ShowTruck(state, view);
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return ErrorNumber{0};
}

}  // namespace

class tst_ShowTruck : public QObject {
    Q_OBJECT

private slots:
    void showsTruck_data();
    void showsTruck();
    void fewerThanTwoAxles_data();
    void fewerThanTwoAxles();
    void indexOutsideList_data();
    void indexOutsideList();
    void axleCountBeyondColumnsRaises();
};

void tst_ShowTruck::showsTruck_data() {
    QTest::addColumn<QList<int>>("data");  // Data(0) to Data(32)
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QList<int>>("weights");   // index 0 included
    QTest::addColumn<QList<int>>("spacings");  // index 0 included
    QTest::addColumn<QString>("firstShare");

    QTest::newRow("two axles") << QList<int>{0,  11, 2, 3, 99, 4,  5,  6,   7, 85, 180,
                                             62, 2,  1, 2, 45, 80, 41, 100, 0, 0,  0,
                                             0,  0,  0, 0, 0,  0,  0,  0,   0, 0,  0}
                               << "." << QList<int>{0, 80, 100} << QList<int>{0, 41} << "44.4%";
    QTest::newRow("nine axles, comma separator")
        << QList<int>{0,  11,  2,  3,   99, 4,   5,  6,   7,  85,  945, 62,  9,  1,   2,  45, 101,
                      31, 102, 32, 103, 33, 104, 34, 105, 35, 106, 36,  107, 37, 108, -9, 109}
        << "," << QList<int>{0, 101, 102, 103, 104, 105, 106, 107, 108, 109}
        << QList<int>{0, 31, 32, 33, 34, 35, 36, 37, -9} << "10,7%";
}

void tst_ShowTruck::showsTruck() {
    QFETCH(QList<int>, data);
    QFETCH(QString, separator);
    QFETCH(QList<int>, weights);
    QFETCH(QList<int>, spacings);
    QFETCH(QString, firstShare);

    BrowserState state;
    state.AddTruck(Truck(5));
    const TruckRecord record = Record(data, 5285106.07);
    state.AddTruck(record);
    state.CurrentTruck = 2;
    // Arrays of an earlier truck, longer than the new ones: nothing may be left.
    state.AxleWeights.assign(12, 99);
    state.AxleSpacings.assign(12, 99);
    FakeView view(separator.toStdString());

    ShowTruck(state, view);

    QCOMPARE(view.texts.size(), std::size_t{2});
    QCOMPARE(QString::fromStdString(view.texts.front()), QStringLiteral("2\r\n"));
    QCOMPARE(Lines(view.texts.back()),
             Lines(TruckText(2, record, "\r\n", separator.toStdString())));
    QCOMPARE(Lines(view.texts.back()).last(), QStringLiteral("5285106") + separator + "07");
    QVERIFY(view.messages.empty());

    QCOMPARE(int(state.GVW), data[10]);
    QCOMPARE(int(state.NoAxles), data[12]);
    QCOMPARE(Values(state.AxleWeights), weights);
    QCOMPARE(Values(state.AxleSpacings), spacings);

    // The truck is drawn from the new figures, with the view's separator.
    const auto& prints = view.surface.prints();
    QCOMPARE(view.surface.circles().size(), 2 * static_cast<std::size_t>(data[12]));
    QVERIFY(prints.size() >= 2);
    QCOMPARE(QString::fromStdString(prints[1].text), firstShare);
    QCOMPARE(QString::fromStdString(prints.back().text), QStringLiteral("GVW: %1").arg(data[10]));
}

void tst_ShowTruck::fewerThanTwoAxles_data() {
    QTest::addColumn<int>("noAxles");
    QTest::addColumn<bool>("shownBefore");  // a two-axle truck was shown first
    QTest::newRow("one axle after a two-axle truck") << 1 << true;
    QTest::newRow("zero axles after a two-axle truck") << 0 << true;
    QTest::newRow("negative axle count after a two-axle truck") << -3 << true;
    QTest::newRow("one axle as the first truck shown") << 1 << false;
}

void tst_ShowTruck::fewerThanTwoAxles() {
    QFETCH(int, noAxles);
    QFETCH(bool, shownBefore);

    BrowserState state;
    state.AddTruck(Truck(2));
    state.AddTruck(Truck(noAxles));
    FakeView view;
    if (shownBefore) {
        state.CurrentTruck = 1;
        ShowTruck(state, view);
    }
    const auto weights = state.AxleWeights;
    const auto spacings = state.AxleSpacings;
    const auto drawn = view.surface.log();
    view.texts.clear();

    state.CurrentTruck = 2;
    ShowTruck(state, view);

    QCOMPARE(view.messages.size(), std::size_t{1});
    QCOMPARE(view.messages[0].first, std::string(kGeometryMessage));
    QCOMPARE(view.messages[0].second, MsgIcon::Critical);
    // The values are shown in full all the same.
    const QStringList lines = Lines(view.texts.back());
    QCOMPARE(lines.size(), kPanelLines);
    QCOMPARE(lines.first(), QStringLiteral("2"));
    QCOMPARE(lines[12], QString::number(noAxles));
    QCOMPARE(int(state.NoAxles), noAxles);
    QCOMPARE(int(state.GVW), 77);
    // The arrays and the picture keep what was there.
    QVERIFY(state.AxleWeights == weights);
    QVERIFY(state.AxleSpacings == spacings);
    QVERIFY(view.surface.log() == drawn);
}

void tst_ShowTruck::indexOutsideList_data() {
    QTest::addColumn<int>("trucksHeld");
    QTest::addColumn<qint64>("index");
    QTest::newRow("no truck held, no storage") << 0 << qint64{1};
    QTest::newRow("index 0 with trucks held") << 2 << qint64{0};
    QTest::newRow("one past the last truck") << 2 << qint64{3};
    QTest::newRow("negative index") << 2 << qint64{-1};
}

void tst_ShowTruck::indexOutsideList() {
    QFETCH(int, trucksHeld);
    QFETCH(qint64, index);

    BrowserState state;
    for (int i = 0; i < trucksHeld; ++i) {
        state.AddTruck(Truck(3));
    }
    state.CurrentTruck = index;
    state.GVW = 55;
    state.NoAxles = 2;
    state.AxleWeights = {0, 20, 35};
    state.AxleSpacings = {0, 12};
    FakeView view;

    QCOMPARE(ErrorOf(state, view), ErrorNumber::SubscriptOutOfRange);

    // The index is on show before the lookup fails; nothing else changed.
    QCOMPARE(view.texts.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(view.texts[0]), QStringLiteral("%1\r\n").arg(index));
    QVERIFY(view.messages.empty());
    QVERIFY(view.surface.log().empty());
    QCOMPARE(int(state.GVW), 55);
    QCOMPARE(int(state.NoAxles), 2);
    QCOMPARE(Values(state.AxleWeights), (QList<int>{0, 20, 35}));
    QCOMPARE(Values(state.AxleSpacings), (QList<int>{0, 12}));
}

void tst_ShowTruck::axleCountBeyondColumnsRaises() {
    // A record put together in code can claim more axles than a line has
    // columns for; their weights must not be read from past the record.
    BrowserState state;
    state.AddTruck(Truck(2));
    state.AddTruck(Truck(kMaxAxles + 1));
    FakeView view;
    state.CurrentTruck = 1;
    ShowTruck(state, view);
    const auto weights = state.AxleWeights;
    const auto drawn = view.surface.log();

    state.CurrentTruck = 2;
    QCOMPARE(ErrorOf(state, view), ErrorNumber::SubscriptOutOfRange);
    QVERIFY(state.AxleWeights == weights);
    QVERIFY(view.surface.log() == drawn);
}

QTEST_GUILESS_MAIN(tst_ShowTruck)
#include "tst_showtruck.moc"

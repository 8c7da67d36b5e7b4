#include "display/AxleDiagram.h"
#include "display/Navigation.h"
#include "display/ShowTruck.h"
#include "display/UserScale.h"

#include "RecordingSurface.h"
#include "records/RuntimeError.h"

#include <QTest>

using namespace axlewise;

namespace {

// The value column, the message box and a recording picture.
struct View : TruckView, RecordingSurface {
    void setTruckText(const std::string& text) override { truckText = text; }
    void MsgBox(const std::string& text, MsgIcon icon) override {
        messages << (icon == MsgIcon::Critical ? "critical: " : "") + QString::fromStdString(text);
    }
    DrawingSurface& picture() override { return *this; }
    std::string_view decimalSeparator() const override { return separator; }

    std::string separator, truckText;
    QStringList messages;
};

}  // namespace

class tst_Display : public QObject {
    Q_OBJECT

private slots:
    // The diagram's scale over the picture's 429 x 125 pixels, at pixel ratios 1
    // and 2: corners to corners, the origin to (10 * 429 / 210, 35 * 125 / 40).
    void userScale_data() {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QPointF>("user");
        QTest::addColumn<QPointF>("pixel");
        QTest::newRow("top-left corner") << 1.0 << QPointF(-10, -35) << QPointF(0, 0);
        QTest::newRow("bottom-right corner") << 1.0 << QPointF(200, 5) << QPointF(429, 125);
        QTest::newRow("origin") << 1.0 << QPointF(0, 0) << QPointF(20.428571, 109.375);
        QTest::newRow("GVW line") << 1.0 << QPointF(0, -30) << QPointF(20.428571, 15.625);
        QTest::newRow("top-left corner, ratio 2") << 2.0 << QPointF(-10, -35) << QPointF(0, 0);
        QTest::newRow("bottom-right corner, ratio 2")
            << 2.0 << QPointF(200, 5) << QPointF(858, 250);
        QTest::newRow("origin, ratio 2") << 2.0 << QPointF(0, 0) << QPointF(40.857143, 218.75);
    }
    void userScale() {
        QFETCH(double, ratio);
        QFETCH(QPointF, user);
        QFETCH(QPointF, pixel);
        const UserScale scale{-10, -35, 200, 5, 429 * ratio, 125 * ratio};
        QVERIFY(qAbs(scale.pixelX(user.x()) - pixel.x()) < 1e-4);
        QVERIFY(qAbs(scale.pixelY(user.y()) - pixel.y()) < 1e-4);
        // A wheel's radius of 5 is 10.2 pixels across; a text line of 14 pixels is
        // 4.48 units down.
        QVERIFY(qAbs(scale.pixelsAlongX(5) - 10.214286 * ratio) < 1e-4);
        QVERIFY(qAbs(scale.userHeight(14 * ratio) - 4.48) < 1e-4);
    }

    void shareText_data() {
        QTest::addColumn<int>("weight");
        QTest::addColumn<int>("gvw");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole: tenths left out") << 50 << 200 << "25.%";
        QTest::newRow("rounded to tenths") << 37 << 300 << "12.3%";
        QTest::newRow("below 1: no leading zero") << 1 << 250 << ".4%";
        QTest::newRow("one integer digit") << 25 << 400 << "6.3%";
        QTest::newRow("weight 0: separator only") << 0 << 200 << ".%";
        QTest::newRow("above the gross weight") << 300 << 200 << "150.%";
        QTest::newRow("negative weight") << -50 << 200 << "-25.%";
        QTest::newRow("decimal half 12.35 goes up") << 247 << 2000 << "12.4%";
    }
    void shareText() {
        QFETCH(int, weight);
        QFETCH(int, gvw);
        QTEST(QString::fromStdString(ShareText(std::int16_t(weight), std::int16_t(gvw))),
              "expected");
    }
    void drawTruck_data() {
        QTest::addColumn<int>("gvw");
        QTest::addColumn<QList<int>>("weights");   // from index 0, which is unused
        QTest::addColumn<QList<int>>("spacings");  // from index 0
        QTest::addColumn<QStringList>("prints");
        const QList<int> weights{0, 60, 120, 120}, spacings{0, 40, 13};
        // The first share starts where a new line starts (x -10), the others at their axle.
        QTest::newRow("three axles, GVW 300")
            << 300 << weights << spacings
            << QStringList{" 60 @(0,-10)",   "20.%@(-10,-15)", " 120 @(40,-10)",  "40.%@(40,-15)",
                           " 120 @(53,-10)", "40.%@(53,-15)",  "GVW: 300@(0,-30)"};
        QTest::newRow("spacings negative, 0 and past x 205 (no rescaling), a negative weight")
            << 200 << QList<int>{0, 100, -5, 50, 5, 50} << QList<int>{0, 30, -9, 0, 250}
            << QStringList{" 100 @(0,-10)",  "50.%@(-10,-15)", "-5 @(30,-10)",    "-2.5%@(30,-15)",
                           " 50 @(21,-10)",  "25.%@(21,-15)",  " 5 @(21,-10)",    "2.5%@(21,-15)",
                           " 50 @(271,-10)", "25.%@(271,-15)", "GVW: 200@(0,-30)"};
        QTest::newRow("GVW 0: all but the shares, no error")
            << 0 << weights << spacings
            << QStringList{" 60 @(0,-10)", " 120 @(40,-10)", " 120 @(53,-10)", "GVW: 0@(0,-30)"};
    }
    void drawTruck() {
        QFETCH(int, gvw);
        QFETCH(QList<int>, weights);
        QFETCH(QList<int>, spacings);
        QFETCH(QStringList, prints);
        BrowserState state;
        state.GVW = std::int16_t(gvw);
        state.NoAxles = std::int16_t(weights.size() - 1);
        state.AxleWeights.assign(weights.begin(), weights.end());
        state.AxleSpacings.assign(spacings.begin(), spacings.end());
        QStringList circles;  // a wheel and a hub under each weight label
        for (const QString& label : prints.filter(",-10)")) {
            const QString at = label.mid(label.indexOf('@')).replace(",-10)", ",0)");
            circles.append({"r5" + at + " invert", "r1.66667" + at + " invert"});
        }
        // Only the first wheel takes the surface's own mode, which the drawing leaves inverting.
        RecordingSurface surface;
        for (const char* firstMode : {"copy-pen", "invert"}) {
            DrawTruck(surface, state);
            circles[0] = QString("r5@(0,0) %1").arg(firstMode);
            QCOMPARE(surface.circles, circles);
            QCOMPARE(surface.prints, prints);
            QCOMPARE(surface.scale, (QList<float>{-10, -35, 200, 5}));
        }
    }
    void showTruck_data() {
        QTest::addColumn<int>("noAxles");
        QTest::addColumn<int>("index");  // of the truck to show; only truck 1 is held
        QTest::addColumn<double>("time");
        QTest::addColumn<char>("separator");
        QTest::addColumn<QString>("timeText");     // empty: only the index line is shown
        QTest::addColumn<QList<int>>("weights");   // afterwards, from index 0
        QTest::addColumn<QList<int>>("spacings");  // afterwards, from index 0
        QTest::addColumn<QString>("outcome");      // empty when drawn
        const QList<int> weights{0, 130, 150}, spacings{0, 140}, kept(12, 99);
        const QString geometry = "critical: This truck's geometry is erroneous";
        QTest::newRow("two axles")
            << 2 << 1 << 5285106.07 << '.' << "5285106.07" << weights << spacings << "";
        QTest::newRow("nine axles, negative time, comma separator")
            << 9 << 1 << -86399.99 << ',' << "-86399,99"
            << QList<int>{0, 130, 150, 170, 190, 210, 230, 250, 270, 290}
            << QList<int>{0, 140, 160, 180, 200, 220, 240, 260, 280} << "";
        QTest::newRow("one axle, time 0: message, nothing redrawn")
            << 1 << 1 << 0.0 << '.' << "0" << kept << kept << geometry;
        QTest::newRow("zero axles, last hundredth of the year: message, nothing redrawn")
            << 0 << 1 << 31190399.99 << '.' << "31190399.99" << kept << kept << geometry;
        QTest::newRow("index past the list: index line, then error 9")
            << 2 << 2 << 0.0 << '.' << "" << kept << kept << "error 9";
    }
    void showTruck() {
        QFETCH(int, noAxles);
        QFETCH(int, index);
        QFETCH(double, time);
        QFETCH(char, separator);
        QFETCH(QString, timeText);
        QFETCH(QString, outcome);
        // Data(i) is 10 i - 30, Data(12) the axle count; an earlier truck left 99s and a circle.
        TruckRecord record;
        QStringList lines{QString::number(index)};  // expected in the value column
        for (int i = 1; i <= kFieldCount; ++i) {
            record.Data[std::size_t(i)] = std::int16_t(i == 12 ? noAxles : 10 * i - 30);
            lines << QString::number(record.Data[std::size_t(i)]);
        }
        record.Time = time;
        BrowserState state;
        state.AddTruck(record);
        state.CurrentTruck = index;
        state.AxleWeights = state.AxleSpacings = std::vector<std::int16_t>(12, 99);
        View view;
        view.separator = separator;
        view.Circle(1, 2, 3);
        try {
            ShowTruck(state, view);
        } catch (const RuntimeError& e) {
            view.messages << QString("error %1").arg(e.code());
        }
        QCOMPARE(view.messages.join(""), outcome);
        QCOMPARE(QString::fromStdString(view.truckText).split('\n'),
                 (timeText.isEmpty() ? QStringList{lines[0], ""} : lines << timeText));
        QTEST(QList<int>(state.AxleWeights.begin(), state.AxleWeights.end()), "weights");
        QTEST(QList<int>(state.AxleSpacings.begin(), state.AxleSpacings.end()), "spacings");
        // Drawn from the new figures with the view's separator, or left as it was.
        QCOMPARE(view.circles.size(), outcome.isEmpty() ? 2 * noAxles : 1);
        QCOMPARE(view.prints.value(1),
                 outcome.isEmpty() ? QString("185") + separator + "7%@(-10,-15)" : "");
    }
    void navigation_data() {
        QTest::addColumn<int>("trucks");
        QTest::addColumn<int>("from");
        QTest::addColumn<QList<int>>("to");  // by Start, Previous, Next and End
        QTest::newRow("3 trucks, from 1: Previous wraps to 3") << 3 << 1 << QList<int>{1, 3, 2, 3};
        QTest::newRow("3 trucks, from 3: Next wraps to 1") << 3 << 3 << QList<int>{1, 2, 1, 3};
        QTest::newRow("1 truck: every move stays") << 1 << 1 << QList<int>{1, 1, 1, 1};
        QTest::newRow("failed first load, from 0") << 3 << 0 << QList<int>{1, 3, 1, 3};
        QTest::newRow("no truck: nothing moves") << 0 << 0 << QList<int>{0, 0, 0, 0};
    }
    void navigation() {
        QFETCH(int, trucks);
        QFETCH(int, from);
        QList<int> reached;
        for (auto move : {MoveToStart, MoveToPrevious, MoveToNext, MoveToEnd}) {
            BrowserState state;
            state.NoTrucks = trucks;
            state.CurrentTruck = from;
            QCOMPARE(move(state), trucks > 0);  // false: there is nothing to show
            reached << int(state.CurrentTruck);
        }
        QTEST(reached, "to");
    }
};

QTEST_GUILESS_MAIN(tst_Display)
#include "tst_display.moc"

#include "display/AxleDiagram.h"
#include "display/Navigation.h"
#include "display/ShowTruck.h"

#include "RecordingSurface.h"
#include "TruckLines.h"
#include "records/RuntimeError.h"

#include <QTest>

using namespace axlewise;

namespace {

// The value column, the message box and a recording picture.
struct View : TruckView, RecordingSurface {
    void setTruckText(const std::string& text) override { truckText = text; }
    void setChecks(const std::vector<CheckFailure>& failures) override {
        checks = QString::fromStdString(ChecksText(failures));
    }
    // Notes whether the picture had been cleared, with nothing drawn since, when
    // the message appeared.
    void MsgBox(const std::string& text, MsgIcon icon) override {
        const bool clear = clears > 0 && circles.isEmpty() && prints.isEmpty();
        messages << (icon == MsgIcon::Critical ? "critical: " : "") + QString::fromStdString(text) +
                        (clear ? " (picture clear)" : "");
    }
    DrawingSurface& picture() override { return *this; }
    std::string_view decimalSeparator() const override { return separator; }

    std::string separator, truckText;
    QString checks;
    QStringList messages;
};

// The figures DrawTruck reads; weights and spacings from index 0, which is unused.
BrowserState Truck(int gvw, const QList<int>& weights, const QList<int>& spacings) {
    BrowserState state;
    state.GVW = std::int16_t(gvw);
    state.NoAxles = std::int16_t(weights.size() - 1);
    state.AxleWeights.assign(weights.begin(), weights.end());
    state.AxleSpacings.assign(spacings.begin(), spacings.end());
    return state;
}

}  // namespace

class tst_Display : public QObject {
    Q_OBJECT

private slots:
    // Signs, whole tens and integer parts are seen in the drawings below.
    void shareText_data() {
        QTest::addColumn<int>("weight");
        QTest::addColumn<int>("gvw");
        QTest::addColumn<QString>("expected");
        QTest::newRow("rounded to tenths, one integer digit") << 4 << 300 << "1.3%";
        QTest::newRow("below 1: no leading zero") << 1 << 250 << ".4%";
        QTest::newRow("weight 0: separator only") << 0 << 200 << ".%";
        QTest::newRow("decimal half 12.35 goes up") << 247 << 2000 << "12.4%";
    }
    void shareText() {
        QFETCH(int, weight);
        QFETCH(int, gvw);
        QTEST(QString::fromStdString(ShareText(std::int16_t(weight), std::int16_t(gvw))),
              "expected");
    }

    // The whole drawing on the recording surface, whose text is 2 units a
    // character and 2.5 a line, of a truck whose spacings run back, stay and
    // reach past x 205 (no rescaling). The first share starts where a new line
    // starts (x -10), the others at their axle. Both axles at 21 end less than a
    // blank before the one at 30 and go up to -15 and -20 (on top of each other
    // up there); the one at 271 is drawn and counted in "1 more ►" (8
    // characters) at 200 - 16 = 184 on the gross weight line's row, -30.
    void drawTruck() {
        const BrowserState state = Truck(200, {0, 100, -5, 50, 5, 50}, {0, 30, -9, 0, 250});
        QStringList circles;  // a wheel and a hub at each axle
        for (const int x : {0, 30, 21, 21, 271}) {
            circles << QString("r5@(%1,0) invert").arg(x)
                    << QString("r1.66667@(%1,0) invert").arg(x);
        }
        // Only the first wheel takes the surface's own mode, which the drawing
        // leaves inverting.
        RecordingSurface surface;
        for (const char* firstMode : {"copy-pen", "invert"}) {
            DrawTruck(surface, state);
            circles[0] = QString("r5@(0,0) %1").arg(firstMode);
            QCOMPARE(surface.circles, circles);
            QCOMPARE(surface.prints.join('|'),
                     " 100 @(0,-10)|50.%@(-10,-15)|-5 @(30,-10)|-2.5%@(30,-15)| 50 @(21,-15)|"
                     "25.%@(21,-20)| 5 @(21,-15)|2.5%@(21,-20)| 50 @(271,-10)|25.%@(271,-15)|"
                     "GVW: 200@(0,-30)|1 more \u25BA@(184,-30)");
            QCOMPARE(surface.scale, (QList<float>{-10, -35, 200, 5}));
        }
    }

    // Axles whose centre lies beyond x -10 or x 200 are counted on the row of
    // the gross weight line (y -30), where no wheel or label stands, last of
    // all: "◄ N more" two blanks (4 units) after "GVW: 0" (6 characters, 12
    // units), at 16; "N more ►" (16 units) from 184. Every wheel is still drawn.
    void edgeMarks_data() {
        QTest::addColumn<QList<int>>("spacings");  // from index 0; every weight is 10
        QTest::addColumn<QStringList>("marks");
        const QString right = "%1 more \u25BA@(184,-30)", left = "\u25C4 %1 more@(16,-30)";
        // An axle that comes back inside is not counted.
        QTest::newRow("two past the right edge, one exactly at 200, one back inside")
            << QList<int>{0, 99, 99, 2, 1, 14, -50} << QStringList{right.arg(2)};
        QTest::newRow("both edges, one exactly at -10: left mark first")
            << QList<int>{0, -9, -1, -9, 99, 99, 51} << QStringList{left.arg(1), right.arg(1)};
        QTest::newRow("one past the left edge, one back inside")
            << QList<int>{0, -9, -9, 30} << QStringList{left.arg(1)};
    }
    void edgeMarks() {
        QFETCH(QList<int>, spacings);
        QFETCH(QStringList, marks);
        const BrowserState state = Truck(0, QList<int>(spacings.size() + 1, 10), spacings);
        RecordingSurface surface;
        DrawTruck(surface, state);
        QCOMPARE(surface.prints.filter("more"), marks);
        QCOMPARE(surface.prints.mid(surface.prints.size() - marks.size()), marks);
        QCOMPARE(surface.circles.size(), 2 * spacings.size());
        QVERIFY(surface.mode == DrawMode::Invert);
    }

    // Where each axle's labels stand, worked out with 2 units a character:
    // " 100 " and " 120 " are 10 wide, " 80 " and "25.%" 8, " 5 " 6. A pair that
    // meets a label on the given rows (-10, -15) goes to -15 and -20.
    void labelRows_data() {
        QTest::addColumn<int>("gvw");
        QTest::addColumn<QList<int>>("weights");   // from index 0, which is unused
        QTest::addColumn<QList<int>>("spacings");  // from index 0
        QTest::addColumn<QString>("labels");       // every print but the GVW line, joined by '|'
        const auto row = [](const char* tag, int gvw, const QList<int>& weights,
                            const QList<int>& spacings, const QString& labels) {
            QTest::newRow(tag) << gvw << weights << spacings << labels;
        };
        // " 80 " at 40 ends at 48; a blank (2 wide) later the next may start.
        row("a blank apart: both stay", 200, {0, 40, 80, 80}, {0, 40, 10},
            " 40 @(0,-10)|20.%@(-10,-15)| 80 @(40,-10)|40.%@(40,-15)| 80 @(50,-10)|40.%@(50,-15)");
        // "33.3%" is 10 wide and " 8 " 6: the weights clear, the shares meet.
        row("only the shares meet: the weight goes up with its share", 24, {0, 8, 8, 8}, {0, 40, 8},
            " 8 @(0,-10)|33.3%@(-10,-15)| 8 @(40,-10)|33.3%@(40,-15)| 8 @(48,-15)|33.3%@(48,-20)");
        // " 120 " is 10 wide and "5.%" 6: the shares clear, the weights meet.
        row("only the weights meet: the share goes up with its weight", 2400, {0, 120, 120, 120},
            {0, 40, 8},
            " 120 @(0,-10)|5.%@(-10,-15)| 120 @(40,-10)|5.%@(40,-15)| 120 @(48,-15)|5.%@(48,-20)");
        row("tridem 6 apart: low, high, low", 400, {0, 100, 100, 100, 100}, {0, 40, 6, 6},
            " 100 @(0,-10)|25.%@(-10,-15)| 100 @(40,-10)|25.%@(40,-15)| 100 @(46,-15)|"
            "25.%@(46,-20)| 100 @(52,-10)|25.%@(52,-15)");
        // The first share covers -10 to -2, wherever its axle (0) is.
        row("first share at -10 leaves room for the second's at 8", 10, {0, 5, 5}, {0, 8},
            " 5 @(0,-10)|50.%@(-10,-15)| 5 @(8,-10)|50.%@(8,-15)");
        row("GVW 0: the weights alone decide", 0, {0, 5, 5, 5}, {0, 8, 5},
            " 5 @(0,-10)| 5 @(8,-10)| 5 @(13,-15)");
    }
    void labelRows() {
        QFETCH(int, gvw);
        QFETCH(QList<int>, weights);
        QFETCH(QList<int>, spacings);
        RecordingSurface surface;
        DrawTruck(surface, Truck(gvw, weights, spacings));
        QStringList labels = surface.prints;
        QCOMPARE(labels.takeLast(), QString("GVW: %1@(0,-30)").arg(gvw));
        QTEST(labels.join('|'), "labels");
    }

    void showTruck_data() {
        QTest::addColumn<int>("noAxles");
        QTest::addColumn<int>("index");  // of the truck to show; only truck 1 is held
        QTest::addColumn<double>("time");
        QTest::addColumn<char>("separator");
        QTest::addColumn<QString>("timeText");     // empty: only the index line is shown
        QTest::addColumn<QList<int>>("weights");   // afterwards, from index 0
        QTest::addColumn<QList<int>>("spacings");  // afterwards, from index 0
        QTest::addColumn<QString>("outcome");      // the messages; empty when drawn
        QTest::addColumn<QString>("picture");      // Cls calls, circles, the second print
        const QList<int> weights{0, 130, 150}, spacings{0, 140}, kept(12, 99);
        const QString geometry = "critical: This truck's geometry is erroneous (picture clear)";
        QTest::newRow("two axles")
            << 2 << 1 << 5285106.07 << '.' << "5285106.07" << weights << spacings << ""
            << "1, 4, 185.7%@(-10,-15)";
        QTest::newRow("nine axles, negative time, comma separator")
            << 9 << 1 << -86399.99 << ',' << "-86399,99"
            << QList<int>{0, 130, 150, 170, 190, 210, 230, 250, 270, 290}
            << QList<int>{0, 140, 160, 180, 200, 220, 240, 260, 280} << ""
            << "1, 18, 185,7%@(-10,-15)";
        QTest::newRow("one axle, time 0: picture cleared, then the message")
            << 1 << 1 << 0.0 << '.' << "0" << kept << kept << geometry << "1, 0, ";
        // The circle drawn before stays.
        QTest::newRow("index past the list: index line, then error 9")
            << 2 << 2 << 0.0 << '.' << "" << kept << kept << "error 9"
            << "0, 1, ";
    }
    void showTruck() {
        QFETCH(int, noAxles);
        QFETCH(int, index);
        QFETCH(double, time);
        QFETCH(char, separator);
        QFETCH(QString, timeText);
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
        QTEST(view.messages.join(""), "outcome");
        QCOMPARE(QString::fromStdString(view.truckText).split('\n'),
                 (timeText.isEmpty() ? QStringList{lines[0], ""} : lines << timeText));
        QTEST(QList<int>(state.AxleWeights.begin(), state.AxleWeights.end()), "weights");
        QTEST(QList<int>(state.AxleSpacings.begin(), state.AxleSpacings.end()), "spacings");
        // Drawn from the new figures with the view's separator; cleared with
        // nothing drawn after it for too few axles; left as it was after an error.
        QTEST(QString("%1, %2, ").arg(view.clears).arg(view.circles.size()) + view.prints.value(1),
              "picture");
    }

    // Every truck shown gets its check line, one that cannot be drawn too, its
    // failures joined by dots, and DUPLICATE looks at the truck before it in the list.
    void showTruckChecks_data() {
        QTest::addColumn<int>("index");  // of trucks 1002, 1001, 1002, 1002 and 1001 with one axle
        QTest::addColumn<QString>("checks");
        QTest::newRow("the same fields two trucks back: no duplicate") << 3 << "Checks: all passed";
        QTest::newRow("the same fields as the truck before")
            << 4 << "Checks: same fields as truck 3";
        QTest::newRow("a truck with one axle is checked too")
            << 5
            << "Checks: axle weights sum to 56, GVW is 362 (-84.5%) \u00B7 NO. AXLES is 1 \u00B7 ";
    }
    void showTruckChecks() {
        QFETCH(int, index);
        QFETCH(QString, checks);
        BrowserState state;
        for (const int head : {1002, 1001, 1002, 1002}) {
            test::AddTruck(state, test::TruckLine(head));
        }
        test::AddTruck(state, test::WithField(test::TruckLine(1001), kNoAxlesField, "1"));
        state.CurrentTruck = index;
        View view;
        ShowTruck(state, view);
        QVERIFY2(view.checks.startsWith(checks), qPrintable(view.checks));
    }

    void navigation_data() {
        QTest::addColumn<int>("trucks");
        QTest::addColumn<int>("from");
        QTest::addColumn<QList<int>>("to");  // by Start, Previous, Next and End
        QTest::newRow("3 trucks, from 1: Previous wraps to 3") << 3 << 1 << QList<int>{1, 3, 2, 3};
        QTest::newRow("3 trucks, from 3: Next wraps to 1") << 3 << 3 << QList<int>{1, 2, 1, 3};
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

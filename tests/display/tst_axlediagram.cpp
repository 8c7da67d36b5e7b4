#include "display/AxleDiagram.h"

#include "RecordingSurface.h"
#include "records/RuntimeError.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTest>

#include <algorithm>
#include <cstddef>
#include <vector>

using namespace axlewise;

namespace {

// The figures ShowTruck leaves for the diagram: index 0 of both arrays unused.
BrowserState Diagram(int gvw, const QList<int>& weights, const QList<int>& spacings) {
    BrowserState state;
    state.GVW = static_cast<std::int16_t>(gvw);
    state.NoAxles = static_cast<std::int16_t>(weights.size());
    state.AxleWeights = {0};
    for (int w : weights) {
        state.AxleWeights.push_back(static_cast<std::int16_t>(w));
    }
    state.AxleSpacings = {0};
    for (int s : spacings) {
        state.AxleSpacings.push_back(static_cast<std::int16_t>(s));
    }
    return state;
}

// "text@(x,y)": a print with the position it started at.
QStringList Prints(const RecordingSurface& surface) {
    QStringList list;
    for (const auto& print : surface.prints()) {
        list << QStringLiteral("%1@(%2,%3)")
                    .arg(QString::fromStdString(print.text))
                    .arg(double(print.x))
                    .arg(double(print.y));
    }
    return list;
}

const float kHub = static_cast<float>(5.0 / 3.0);

}  // namespace

class tst_AxleDiagram : public QObject {
    Q_OBJECT

private slots:
    void printIntegerText_data();
    void printIntegerText();
    void shareText_data();
    void shareText();
    void shareTextOfZeroGvwRaises();
    void drawTruck_data();
    void drawTruck();
    void drawModes_data();
    void drawModes();
    void missingElementRaises_data();
    void missingElementRaises();
};

void tst_AxleDiagram::printIntegerText_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("positive: blank before and after") << 60 << " 60 ";
    QTest::newRow("zero counts as positive") << 0 << " 0 ";
    QTest::newRow("negative: minus instead of the blank") << -5 << "-5 ";
    QTest::newRow("largest 16-bit") << 32767 << " 32767 ";
    QTest::newRow("smallest 16-bit") << -32768 << "-32768 ";
}

void tst_AxleDiagram::printIntegerText() {
    QFETCH(int, value);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(DrawingSurface::PrintIntegerText(value)), expected);
}

void tst_AxleDiagram::shareText_data() {
    QTest::addColumn<int>("weight");
    QTest::addColumn<int>("gvw");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a quarter: tenths left out") << 50 << 200 << "."
                                                << "25.%";
    QTest::newRow("rounded to one decimal") << 37 << 300 << "."
                                            << "12.3%";
    QTest::newRow("below 1%: no leading zero") << 1 << 250 << "."
                                               << ".4%";
    QTest::newRow("one integer digit") << 25 << 400 << "."
                                       << "6.3%";
    QTest::newRow("weight 0") << 0 << 200 << "."
                              << ".%";
    QTest::newRow("above the gross weight") << 300 << 200 << "."
                                            << "150.%";
    QTest::newRow("negative weight") << -50 << 200 << "."
                                     << "-25.%";
    QTest::newRow("negative share below 1%") << -1 << 250 << "."
                                             << "-.4%";
    QTest::newRow("negative gross weight") << 120 << -300 << "."
                                           << "-40.%";
    QTest::newRow("both negative") << -60 << -300 << "."
                                   << "20.%";
    QTest::newRow("decimal half 12.35 goes up") << 247 << 2000 << "."
                                                << "12.4%";
    QTest::newRow("decimal half 0.05 goes up") << 1 << 2000 << "."
                                               << ".1%";
    QTest::newRow("negative decimal half goes down") << -247 << 2000 << "."
                                                     << "-12.4%";
    QTest::newRow("just below a half goes down") << 1 << 2001 << "."
                                                 << ".%";
    QTest::newRow("negative share rounding to 0 has no sign") << -1 << 32767 << "."
                                                              << ".%";
    QTest::newRow("thirds") << 2 << 3 << "."
                            << "66.7%";
    QTest::newRow("largest share") << 32767 << 1 << "."
                                   << "3276700.%";
    QTest::newRow("comma separator") << 37 << 300 << ","
                                     << "12,3%";
    QTest::newRow("comma separator, whole share") << 50 << 200 << ","
                                                  << "25,%";
}

void tst_AxleDiagram::shareText() {
    QFETCH(int, weight);
    QFETCH(int, gvw);
    QFETCH(QString, separator);
    QFETCH(QString, expected);
    const std::string text = ShareText(static_cast<std::int16_t>(weight),
                                       static_cast<std::int16_t>(gvw), separator.toStdString());
    QCOMPARE(QString::fromStdString(text), expected);
}

void tst_AxleDiagram::shareTextOfZeroGvwRaises() {
    try {
        ShareText(50, 0);
        QFAIL("no error raised");
    } catch (const RuntimeError& error) {
        QCOMPARE(error.number(), ErrorNumber::DivisionByZero);
    }
}

void tst_AxleDiagram::drawTruck_data() {
    QTest::addColumn<int>("gvw");
    QTest::addColumn<QList<int>>("weights");
    QTest::addColumn<QList<int>>("spacings");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<double>("lineHeight");
    QTest::addColumn<QList<int>>("axleXs");
    QTest::addColumn<QStringList>("printed");

    // The first axle's share label starts where a new line starts, the left
    // edge at x = -10; later ones at their axle.
    QTest::newRow("three axles, GVW 300")
        << 300 << QList<int>{60, 120, 120} << QList<int>{40, 13} << "." << 2.5
        << QList<int>{0, 40, 53}
        << QStringList{" 60 @(0,-10)",   "20.%@(-10,-15)", " 120 @(40,-10)",  "40.%@(40,-15)",
                       " 120 @(53,-10)", "40.%@(53,-15)",  "GVW: 300@(0,-30)"};
    QTest::newRow("two axles, tall lines, comma separator")
        << 180 << QList<int>{80, 100} << QList<int>{41} << "," << 7.0 << QList<int>{0, 41}
        << QStringList{" 80 @(0,-10)", "44,4%@(-10,-15)", " 100 @(41,-10)", "55,6%@(41,-15)",
                       "GVW: 180@(0,-30)"};
    QTest::newRow("negative spacing: left of the axle before")
        << 200 << QList<int>{50, 50, 100} << QList<int>{30, -9} << "." << 2.5
        << QList<int>{0, 30, 21}
        << QStringList{" 50 @(0,-10)",   "25.%@(-10,-15)", " 50 @(30,-10)",   "25.%@(30,-15)",
                       " 100 @(21,-10)", "50.%@(21,-15)",  "GVW: 200@(0,-30)"};
    QTest::newRow("zero spacing: both axles at one x")
        << 200 << QList<int>{100, 100} << QList<int>{0} << "." << 2.5 << QList<int>{0, 0}
        << QStringList{" 100 @(0,-10)", "50.%@(-10,-15)", " 100 @(0,-10)", "50.%@(0,-15)",
                       "GVW: 200@(0,-30)"};
    QTest::newRow("axles past x 205 drawn on the same scale")
        << 400 << QList<int>{100, 100, 100, 100} << QList<int>{99, 99, 99} << "." << 2.5
        << QList<int>{0, 99, 198, 297}
        << QStringList{" 100 @(0,-10)",   "25.%@(-10,-15)",  " 100 @(99,-10)",
                       "25.%@(99,-15)",   " 100 @(198,-10)", "25.%@(198,-15)",
                       " 100 @(297,-10)", "25.%@(297,-15)",  "GVW: 400@(0,-30)"};
    QTest::newRow("negative weights and GVW keep their signs")
        << -300 << QList<int>{-60, 120, -120} << QList<int>{40, 13} << "." << 2.5
        << QList<int>{0, 40, 53}
        << QStringList{"-60 @(0,-10)",   "20.%@(-10,-15)", " 120 @(40,-10)",   "-40.%@(40,-15)",
                       "-120 @(53,-10)", "40.%@(53,-15)",  "GVW: -300@(0,-30)"};
    QTest::newRow("GVW 0: everything but the shares")
        << 0 << QList<int>{60, 120, 120} << QList<int>{40, 13} << "." << 2.5
        << QList<int>{0, 40, 53}
        << QStringList{" 60 @(0,-10)", " 120 @(40,-10)", " 120 @(53,-10)", "GVW: 0@(0,-30)"};
    QTest::newRow("GVW 0 and weights 0")
        << 0 << QList<int>{0, 0} << QList<int>{10} << "." << 2.5 << QList<int>{0, 10}
        << QStringList{" 0 @(0,-10)", " 0 @(10,-10)", "GVW: 0@(0,-30)"};
}

void tst_AxleDiagram::drawTruck() {
    QFETCH(int, gvw);
    QFETCH(QList<int>, weights);
    QFETCH(QList<int>, spacings);
    QFETCH(QString, separator);
    QFETCH(double, lineHeight);
    QFETCH(QList<int>, axleXs);
    QFETCH(QStringList, printed);

    RecordingSurface surface(static_cast<float>(lineHeight));
    // Something drawn before, which the new drawing must clear away.
    surface.Circle(150, 2, 9);
    surface.Print("old");
    const std::size_t before = surface.log().size();

    DrawTruck(surface, Diagram(gvw, weights, spacings), separator.toStdString());

    const std::vector<std::string> calls(surface.log().begin() + static_cast<long>(before),
                                         surface.log().end());
    QVERIFY(calls.size() >= 2);
    QCOMPARE(QString::fromStdString(calls[0]), QStringLiteral("Cls"));
    QCOMPARE(QString::fromStdString(calls[1]), QStringLiteral("Scale(-10,-35,200,5)"));
    QCOMPARE(std::count(calls.begin(), calls.end(), calls[1]), std::ptrdiff_t{1});
    QCOMPARE(surface.ScaleTop(), -35.0F);

    // A wheel and then its hub at every axle, on y = 0.
    const auto& circles = surface.circles();
    QCOMPARE(circles.size(), 2 * static_cast<std::size_t>(axleXs.size()));
    for (qsizetype axle = 0; axle < axleXs.size(); ++axle) {
        const auto& wheel = circles[2 * static_cast<std::size_t>(axle)];
        const auto& hub = circles[2 * static_cast<std::size_t>(axle) + 1];
        QCOMPARE(wheel.x, float(axleXs[axle]));
        QCOMPARE(wheel.y, 0.0F);
        QCOMPARE(wheel.radius, 5.0F);
        QCOMPARE(hub.x, float(axleXs[axle]));
        QCOMPARE(hub.y, 0.0F);
        QCOMPARE(hub.radius, kHub);
    }
    for (const auto& circle : circles) {
        QCOMPARE(circle.fillStyle, FillStyle::Solid);
        QCOMPARE(circle.fillColor, 0u);
    }
    QCOMPARE(Prints(surface), printed);
}

void tst_AxleDiagram::drawModes_data() {
    QTest::addColumn<DrawMode>("initialMode");
    QTest::newRow("fresh surface in copy-pen mode") << DrawMode::CopyPen;
    QTest::newRow("fresh surface in invert mode") << DrawMode::Invert;
}

void tst_AxleDiagram::drawModes() {
    QFETCH(DrawMode, initialMode);
    RecordingSurface surface(2.5F, initialMode);
    const BrowserState state = Diagram(300, {60, 120, 120}, {40, 13});

    // Only the first wheel takes the mode the surface had; the hub switches to
    // invert, and invert stays on.
    DrawTruck(surface, state);
    QCOMPARE(surface.circles().size(), std::size_t{6});
    QCOMPARE(surface.circles().front().mode, initialMode);
    for (std::size_t i = 1; i < surface.circles().size(); ++i) {
        QCOMPARE(surface.circles()[i].mode, DrawMode::Invert);
    }
    QCOMPARE(surface.drawMode(), DrawMode::Invert);

    DrawTruck(surface, state);
    QCOMPARE(surface.circles().size(), std::size_t{6});
    for (const auto& circle : surface.circles()) {
        QCOMPARE(circle.mode, DrawMode::Invert);
    }
}

void tst_AxleDiagram::missingElementRaises_data() {
    QTest::addColumn<int>("noAxles");
    QTest::addColumn<QList<int>>("weights");   // index 0 included
    QTest::addColumn<QList<int>>("spacings");  // index 0 included
    QTest::addColumn<QString>("array");
    QTest::newRow("no weights at all") << 2 << QList<int>{} << QList<int>{0, 40} << "AxleWeights";
    QTest::newRow("no weight for the last axle")
        << 3 << QList<int>{0, 60, 120} << QList<int>{0, 40, 13} << "AxleWeights";
    QTest::newRow("no spacings at all")
        << 2 << QList<int>{0, 60, 120} << QList<int>{} << "AxleSpacings";
    QTest::newRow("no spacing before the last axle")
        << 3 << QList<int>{0, 60, 120, 120} << QList<int>{0, 40} << "AxleSpacings";
}

void tst_AxleDiagram::missingElementRaises() {
    QFETCH(int, noAxles);
    QFETCH(QList<int>, weights);
    QFETCH(QList<int>, spacings);
    QFETCH(QString, array);

    BrowserState state;
    state.GVW = 300;
    state.NoAxles = static_cast<std::int16_t>(noAxles);
    state.AxleWeights.assign(weights.begin(), weights.end());
    state.AxleSpacings.assign(spacings.begin(), spacings.end());
    RecordingSurface surface;
    try {
        DrawTruck(surface, state);
        QFAIL("no error raised");
    } catch (const RuntimeError& error) {
        QCOMPARE(error.number(), ErrorNumber::SubscriptOutOfRange);
        QVERIFY2(QString::fromStdString(error.reason()).startsWith(array), error.what());
    }
}

QTEST_GUILESS_MAIN(tst_AxleDiagram)
#include "tst_axlediagram.moc"

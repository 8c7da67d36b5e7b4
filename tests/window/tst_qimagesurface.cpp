// The drawing surface on a real image: where the user scale puts wheels and
// text, and invert mode, checked in pixels against numbers worked out by hand.

#include "window/QImageSurface.h"

#include "display/AxleDiagram.h"
#include "window/Layout.h"

#include <QFontInfo>
#include <QRegularExpression>
#include <QTest>

#include <cmath>

using namespace axlewise;

namespace {

// The picture box's drawing area, in logical pixels, under the diagram's scale.
constexpr QSize kArea(429, 125);

QImageSurface DiagramSurface(qreal ratio) {
    QImageSurface surface(kArea, ratio, QFont());
    surface.Scale(-10, -35, 200, 5);
    surface.setFillStyle(FillStyle::Solid);
    surface.setFillColor(0x000000);
    return surface;
}

bool Dark(const QImage& image, int x, int y) {
    return image.pixelColor(x, y).lightness() < 128;
}

// The smallest rectangle that holds every dark pixel of the image.
QRect DarkExtent(const QImage& image) {
    QRect extent;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (Dark(image, x, y)) {
                extent |= QRect(x, y, 1, 1);
            }
        }
    }
    return extent;
}

// The window's own font, named outright so that the numbers below hold
// wherever the set-up has installed it.
QFont DiagramFont() {
    QFont font(QStringLiteral("Liberation Sans Narrow"));
    font.setPointSizeF(kWindowPoints);
    return font;
}

}  // namespace

class tst_QImageSurface : public QObject {
    Q_OBJECT

private slots:
    void wheelExtent_data();
    void wheelExtent();
    void textStartsAtItsCorner();
    void wheels_data();
    void wheels();
    void invertedDiscIsWhole();
    void textMetrics_data();
    void textMetrics();
    void edgeMarkEndsAtTheRightEdge_data();
    void edgeMarkEndsAtTheRightEdge();
    void edgeMarkReadableOverAWheel();
};

// A wheel of radius 5 on the diagram's scale: 429 / 210 pixels a unit across,
// 125 / 40 down. Its centre (x, 0) lies at pixel ((x + 10) * 429 / 210, 109.375)
// and its radius is 10.21 pixels, all times the pixel ratio.
void tst_QImageSurface::wheelExtent_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<float>("x");
    QTest::addColumn<QRect>("extent");  // device pixels, left, top, right, bottom; within 1
    QTest::newRow("x 0, ratio 1") << 1.0 << 0.0F << QRect(QPoint(10, 99), QPoint(30, 119));
    QTest::newRow("x 100, ratio 1") << 1.0 << 100.0F << QRect(QPoint(214, 99), QPoint(234, 119));
    QTest::newRow("x 0, ratio 2") << 2.0 << 0.0F << QRect(QPoint(20, 198), QPoint(61, 239));
    QTest::newRow("x 100, ratio 2") << 2.0 << 100.0F << QRect(QPoint(429, 198), QPoint(469, 239));
}

void tst_QImageSurface::wheelExtent() {
    QFETCH(qreal, ratio);
    QFETCH(float, x);
    QFETCH(QRect, extent);
    QImageSurface surface = DiagramSurface(ratio);
    surface.Circle(x, 0, 5);
    const QRect found = DarkExtent(surface.image());
    const auto near = [](int a, int b) { return std::abs(a - b) <= 1; };
    QVERIFY2(near(found.left(), extent.left()) && near(found.top(), extent.top()) &&
                 near(found.right(), extent.right()) && near(found.bottom(), extent.bottom()),
             qPrintable(QStringLiteral("found (%1, %2)-(%3, %4)")
                            .arg(found.left())
                            .arg(found.top())
                            .arg(found.right())
                            .arg(found.bottom())));
}

// Text printed at (0, -30) starts at pixel (20.4, 15.6): its ink lies right of
// and below that corner, and begins close to it.
void tst_QImageSurface::textStartsAtItsCorner() {
    QImageSurface surface = DiagramSurface(1.0);
    surface.setCurrentX(0);
    surface.setCurrentY(-30);
    surface.Print("GVW: 300");
    const QRect ink = DarkExtent(surface.image());
    QVERIFY2(ink.left() >= 20 && ink.left() <= 23 && ink.top() >= 15 && ink.top() <= 22 &&
                 ink.bottom() < 45,
             qPrintable(QStringLiteral("ink from (%1, %2) to row %3")
                            .arg(ink.left())
                            .arg(ink.top())
                            .arg(ink.bottom())));
}

void tst_QImageSurface::wheels_data() {
    QTest::addColumn<qreal>("ratio");   // device pixels per pixel when drawn
    QTest::addColumn<qreal>("shown");   // ... and when looked at
    QTest::addColumn<float>("second");  // x of the second wheel; the first is at 0
    // Logical pixel columns on the wheels' row (109): '#' black, '.' white.
    QTest::addColumn<QList<int>>("columns");
    QTest::addColumn<QString>("pixels");
    // Wheel 1 spans columns 10-30 with its hub at 17-23; a wheel at 40 spans
    // 92-112, hub 99-105; a wheel at 6 spans 23-43, hub 29-36.
    const QList<int> apart{12, 20, 27, 50, 95, 102, 110};
    const QList<int> overlap{12, 20, 26, 32, 40};
    QTest::newRow("two wheels: rings black, hubs and gap white")
        << 1.0 << 1.0 << 40.0F << apart << "#.#.#.#";
    QTest::newRow("two wheels at 2 device pixels") << 2.0 << 2.0 << 40.0F << apart << "#.#.#.#";
    QTest::newRow("drawn at 1, redrawn at 1.5") << 1.0 << 1.5 << 40.0F << apart << "#.#.#.#";
    // The overlap of the two discs (columns 23-30) is inverted back to white.
    QTest::newRow("overlapping wheels invert each other")
        << 1.0 << 1.0 << 6.0F << overlap << "#...#";
    QTest::newRow("overlap redrawn at 2") << 1.0 << 2.0 << 6.0F << overlap << "#...#";
}

void tst_QImageSurface::wheels() {
    QFETCH(qreal, ratio);
    QFETCH(qreal, shown);
    QFETCH(float, second);
    QFETCH(QList<int>, columns);
    QFETCH(QString, pixels);
    QImageSurface surface = DiagramSurface(ratio);
    // As the diagram draws: the first wheel in copy-pen mode, all after it inverted.
    for (float x : {0.0F, second}) {
        surface.Circle(x, 0, 5);
        surface.setDrawMode(DrawMode::Invert);
        surface.Circle(x, 0, 5.0F / 3);
    }
    surface.setDevicePixelRatio(shown);
    QCOMPARE(surface.image().size(), kArea * shown);
    QString found;
    for (int column : columns) {
        const int x = qRound((column + 0.5) * shown);
        found +=
            Dark(surface.image(), x, qRound(109.5 * shown)) ? QLatin1Char('#') : QLatin1Char('.');
    }
    QCOMPARE(found, pixels);
}

void tst_QImageSurface::invertedDiscIsWhole() {
    // No pixel of an inverted disc is inverted twice: each row is one black run.
    QImageSurface surface(QSize(60, 30), 1.0, QFont());
    surface.setFillStyle(FillStyle::Solid);
    surface.setDrawMode(DrawMode::Invert);
    surface.Circle(20.3F, 15.2F, 10.2F);
    for (int y = 0; y < 30; ++y) {
        QString row;
        for (int x = 0; x < 60; ++x) {
            row += Dark(surface.image(), x, y) ? QLatin1Char('#') : QLatin1Char('.');
        }
        QVERIFY2(!row.contains(QRegularExpression(QStringLiteral("#\\.+#"))), qPrintable(row));
    }
}

// Liberation Sans Narrow at 8.25 points is 11 pixels at 96 dpi. From the font's
// tables (2048 units an em): digits advance 934 units, a blank and "." 467,
// "%" 1493, "m" 1399, "o" 934, "r" 559, "e" 934, "►" 2027; a line is the
// ascent 1888 plus the descent 431 = 12.456 pixels. The diagram's scale puts
// 210 / 431 units across a pixel and 40 / 127 down one. Qt keeps each advance
// to 1/64 pixel and the line's ascent and descent may be hinted: within one
// pixel, 0.49 units across and 0.31 down. Far wider than that are the faults
// caught here: pixels for units, device pixels, the ink's extent for the
// advance (" 120 " has 2 pixels less ink), or y's scale for x.
void tst_QImageSurface::textMetrics_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<bool>("mirrored");  // the scale's x axis runs right to left
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("width");  // user units
    QTest::addColumn<float>("height");
    // 3736 units = 20.066 px = 9.777 units; the line 12.456 px = 3.923 units.
    QTest::newRow("weight label, blanks included")
        << 1.0 << false << QStringLiteral(" 120 ") << 9.777F << 3.923F;
    // 4762 units = 25.577 px = 12.462 units.
    QTest::newRow("share label") << 1.0 << false << QStringLiteral("19.4%") << 12.462F << 3.923F;
    QTest::newRow("share label at 2 device pixels")
        << 2.0 << false << QStringLiteral("19.4%") << 12.462F << 3.923F;
    // 7721 units = 41.470 px = 20.206 units.
    QTest::newRow("edge mark") << 1.0 << false << QStringLiteral("2 more \u25BA") << 20.206F
                               << 3.923F;
    QTest::newRow("x axis right to left: negative width")
        << 1.0 << true << QStringLiteral("19.4%") << -12.462F << 3.923F;
}

void tst_QImageSurface::textMetrics() {
    QFETCH(qreal, ratio);
    QFETCH(bool, mirrored);
    QFETCH(QString, text);
    QFETCH(float, width);
    QFETCH(float, height);
    const QFont font = DiagramFont();
    QCOMPARE(QFontInfo(font).family(), QStringLiteral("Liberation Sans Narrow"));
    QImageSurface surface(PictureArea(), ratio, font);
    if (mirrored) {
        surface.Scale(200, -35, -10, 5);
    } else {
        surface.Scale(-10, -35, 200, 5);
    }
    const QByteArray utf8 = text.toUtf8();
    const float foundWidth = surface.TextWidth(std::string_view(utf8.data(), size_t(utf8.size())));
    const float foundHeight = surface.TextHeight();
    QVERIFY2(std::abs(foundWidth - width) <= 0.49F && std::abs(foundHeight - height) <= 0.31F,
             qPrintable(QStringLiteral("width %1, height %2").arg(foundWidth).arg(foundHeight)));
}

// A truck with one axle at 0 and one at 230: "1 more ►" ends at the right edge
// of the 431 x 127 area. Its advance is 41.47 px, so it starts at 389.53; the
// "1" has its ink from 0.69 px, the "►" up to 8.73 px of its own 10.89. Its line
// is centred on the wheels' row (35 * 127 / 40 = row 111.125): top at 111.125
// - 12.456 / 2 = 104.90, baseline 10.14 lower at 115.04; "1" rises 7.57 px and
// "►" dips 0.15. Ink: columns 390.2 to 428.8, rows 107.5 to 115.2, times the
// ratio; a pixel counts as ink when more than half of it is covered.
void tst_QImageSurface::edgeMarkEndsAtTheRightEdge_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QRect>("ink");  // device pixels, left, top, right, bottom; within 1
    QTest::newRow("ratio 1") << 1.0 << QRect(QPoint(390, 107), QPoint(428, 114));
    QTest::newRow("ratio 2") << 2.0 << QRect(QPoint(780, 215), QPoint(857, 229));
}

void tst_QImageSurface::edgeMarkEndsAtTheRightEdge() {
    QFETCH(qreal, ratio);
    QFETCH(QRect, ink);
    QImageSurface surface(PictureArea(), ratio, DiagramFont());
    BrowserState state;
    state.NoAxles = 2;
    state.GVW = 100;
    state.AxleWeights = {0, 50, 50};
    state.AxleSpacings = {0, 230};
    DrawTruck(surface, state);
    // Right of pixel 230 (x 102) only the mark is in view: the second axle and
    // its labels lie beyond the edge.
    const QImage& image = surface.image();
    const int from = qRound(230 * ratio);
    const QRect found =
        DarkExtent(image.copy(from, 0, image.width() - from, image.height())).translated(from, 0);
    const auto near = [](int a, int b) { return std::abs(a - b) <= 1; };
    QVERIFY2(near(found.left(), ink.left()) && near(found.top(), ink.top()) &&
                 near(found.right(), ink.right()) && near(found.bottom(), ink.bottom()),
             qPrintable(QStringLiteral("ink (%1, %2)-(%3, %4)")
                            .arg(found.left())
                            .arg(found.top())
                            .arg(found.right())
                            .arg(found.bottom())));
}

// A wheel at x 195 lies under the end of "1 more ►": its centre is pixel
// (420.7, 111.1), its radius 10.26 px, its hub 3.42 px. Where its black ring
// meets the text's rows, the halo opens white around the glyphs; the ring above
// the text (row 102) stays black, as does the first wheel's.
void tst_QImageSurface::edgeMarkReadableOverAWheel() {
    QImageSurface surface(PictureArea(), 1.0, DiagramFont());
    BrowserState state;
    state.NoAxles = 3;
    state.GVW = 150;
    state.AxleWeights = {0, 50, 50, 50};
    state.AxleSpacings = {0, 195, 30};
    DrawTruck(surface, state);
    const QImage& image = surface.image();
    int white = 0;
    for (int y = 107; y <= 115; ++y) {
        for (int x = 411; x <= 430; ++x) {
            const double distance = std::hypot(x + 0.5 - 420.7, y + 0.5 - 111.1);
            if (distance > 4.5 && distance < 9.0 && !Dark(image, x, y)) {
                ++white;
            }
        }
    }
    QVERIFY2(white >= 10, qPrintable(QStringLiteral("%1 white pixels in the ring").arg(white)));
    QVERIFY(Dark(image, 420, 102));
    QVERIFY(Dark(image, 20, 102));
}

QTEST_MAIN(tst_QImageSurface)
#include "tst_qimagesurface.moc"

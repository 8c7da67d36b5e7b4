// The drawing surface on a real image: where the user scale puts wheels and
// text, and invert mode, checked in pixels against numbers worked out by hand.

#include "drawing/QImageSurface.h"

#include "display/AxleDiagram.h"
#include "drawing/Layout.h"

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

// The smallest rectangle that holds every dark pixel of the image from column
// `from` on.
QRect DarkExtent(const QImage& image, int from = 0) {
    QRect extent;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = from; x < image.width(); ++x) {
            if (Dark(image, x, y)) {
                extent |= QRect(x, y, 1, 1);
            }
        }
    }
    return extent;
}

// found, each side of it that lies within a pixel of that side of expected
// moved onto it: QCOMPARE(Snapped(found, expected), expected) allows a pixel.
QRect Snapped(const QRect& found, const QRect& expected) {
    const auto snap = [](int a, int b) { return std::abs(a - b) <= 1 ? b : a; };
    return QRect(
        QPoint(snap(found.left(), expected.left()), snap(found.top(), expected.top())),
        QPoint(snap(found.right(), expected.right()), snap(found.bottom(), expected.bottom())));
}

// The window's own font, named outright so that the numbers below hold
// wherever the set-up has installed it.
QFont DiagramFont() {
    QFont font(QStringLiteral("Liberation Sans Narrow"));
    font.setPointSizeF(kWindowPoints);
    return font;
}

// Draws a truck of axles weighing 50 at the spacings (the first is 0).
void DrawSpaced(DrawingSurface& surface, const std::vector<std::int16_t>& spacings) {
    BrowserState state;
    state.NoAxles = static_cast<std::int16_t>(spacings.size());
    state.GVW = static_cast<std::int16_t>(50 * spacings.size());
    state.AxleWeights.assign(spacings.size() + 1, 50);
    state.AxleSpacings = spacings;
    DrawTruck(surface, state);
}

// The picture box's area at `ratio`, noting the rectangle (user units: x, y,
// width, height) of each edge mark printed.
struct MarkFinder : QImageSurface {
    float x = 0, y = 0;
    QList<QRectF> marks;
    explicit MarkFinder(qreal ratio) : QImageSurface(PictureArea(), ratio, DiagramFont()) {}
    void setCurrentX(float to) override { QImageSurface::setCurrentX(x = to); }
    void setCurrentY(float to) override { QImageSurface::setCurrentY(y = to); }
    void Print(std::string_view text) override {
        if (text.find("more") != std::string_view::npos) {
            marks << QRectF(x, y, TextWidth(text), TextHeight());
        }
        QImageSurface::Print(text);
    }
};

}  // namespace

class tst_QImageSurface : public QObject {
    Q_OBJECT

private slots:
    void wheelExtent();
    void wheels_data();
    void wheels();
    void textMetrics_data();
    void textMetrics();
    void edgeMarkEndsAtTheRightEdge();
    void edgeMarksTouchNoWheel_data();
    void edgeMarksTouchNoWheel();
};

// A wheel of radius 5 on the diagram's scale: 429 / 210 pixels a unit across,
// 125 / 40 down. Its centre (x, 0) lies at pixel ((x + 10) * 429 / 210, 109.375)
// and its radius is 10.21 pixels, all times the pixel ratio: at x 100 and ratio
// 2, columns 429 to 469 and rows 198 to 239. Drawn inverted, no pixel of it is
// inverted twice: each row is one black run.
void tst_QImageSurface::wheelExtent() {
    const QRect extent(QPoint(429, 198), QPoint(469, 239));  // device pixels, within 1
    QImageSurface surface = DiagramSurface(2.0);
    surface.setDrawMode(DrawMode::Invert);
    surface.Circle(100, 0, 5);
    const QRect found = DarkExtent(surface.image());
    QCOMPARE(Snapped(found, extent), extent);
    for (int y = found.top(); y <= found.bottom(); ++y) {
        QString row;
        for (int column = found.left(); column <= found.right(); ++column) {
            row += Dark(surface.image(), column, y) ? '#' : '.';
        }
        QVERIFY2(!row.contains(QRegularExpression(QStringLiteral("#\\.+#"))), qPrintable(row));
    }
}

void tst_QImageSurface::wheels_data() {
    QTest::addColumn<qreal>("shown");   // device pixels per pixel, drawn at 1
    QTest::addColumn<float>("second");  // x of the second wheel; the first is at 0
    // Logical pixel columns 12, 20, 27, 32, 40, 50, 95, 102 and 110 on the
    // wheels' row (109): '#' black, '.' white. Wheel 1 spans columns 10-30 with
    // its hub at 17-23; a wheel at 40 spans 92-112, hub 99-105; a wheel at 6
    // spans 23-43, hub 29-36.
    QTest::addColumn<QString>("pixels");
    QTest::newRow("two wheels: rings black, hubs and gap white") << 1.0 << 40.0F << "#.#...#.#";
    QTest::newRow("two wheels redrawn at 1.5") << 1.5 << 40.0F << "#.#...#.#";
    // The overlap of the two discs (columns 23-30) is inverted back to white.
    QTest::newRow("overlapping wheels invert each other") << 1.0 << 6.0F << "#...#....";
}

void tst_QImageSurface::wheels() {
    QFETCH(qreal, shown);
    QFETCH(float, second);
    QFETCH(QString, pixels);
    QImageSurface surface = DiagramSurface(1.0);
    // As the diagram draws: the first wheel in copy-pen mode, all after it inverted.
    for (float x : {0.0F, second}) {
        surface.Circle(x, 0, 5);
        surface.setDrawMode(DrawMode::Invert);
        surface.Circle(x, 0, 5.0F / 3);
    }
    surface.setDevicePixelRatio(shown);
    QCOMPARE(surface.image().size(), kArea * shown);
    QString found;
    for (int column : {12, 20, 27, 32, 40, 50, 95, 102, 110}) {
        const int x = qRound((column + 0.5) * shown);
        found += Dark(surface.image(), x, qRound(109.5 * shown)) ? '#' : '.';
    }
    QCOMPARE(found, pixels);
}

// Liberation Sans Narrow at 8.25 points is 11 pixels at 96 dpi. From the font's
// tables (2048 units an em): digits advance 934 units, a blank and "." 467,
// "%" 1493, "m" 1399, "o" 934, "r" 559, "e" 934, "►" 2027; a line is the
// ascent 1888 plus the descent 431 = 12.456 pixels = 3.923 units, as the
// diagram's scale puts 210 / 431 units across a pixel and 40 / 127 down one.
// Qt keeps each advance to 1/64 pixel and the line's ascent and descent may be
// hinted: within one pixel, 0.49 units across and 0.31 down. Far wider than
// that are the faults caught here: pixels for units, device pixels, the ink's
// extent for the advance (" 120 " has 2 pixels less ink), or y's scale for x.
void tst_QImageSurface::textMetrics_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<bool>("mirrored");  // the scale's x axis runs right to left
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("width");  // user units
    // 3736 units = 20.066 px = 9.777 units.
    QTest::newRow("weight label, blanks included") << 1.0 << false << " 120 " << 9.777F;
    // 4762 units = 25.577 px = 12.462 units.
    QTest::newRow("x axis right to left: negative width") << 1.0 << true << "19.4%" << -12.462F;
    // 7721 units = 41.470 px = 20.206 units.
    QTest::newRow("edge mark at 2 device pixels") << 2.0 << false << "2 more \u25BA" << 20.206F;
}

void tst_QImageSurface::textMetrics() {
    QFETCH(qreal, ratio);
    QFETCH(bool, mirrored);
    QFETCH(QString, text);
    QFETCH(float, width);
    const QFont font = DiagramFont();
    QCOMPARE(QFontInfo(font).family(), QStringLiteral("Liberation Sans Narrow"));
    QImageSurface surface(PictureArea(), ratio, font);
    surface.Scale(mirrored ? 200 : -10, -35, mirrored ? -10 : 200, 5);
    const QByteArray utf8 = text.toUtf8();
    const float foundWidth = surface.TextWidth(std::string_view(utf8.data(), size_t(utf8.size())));
    const float foundHeight = surface.TextHeight();
    QVERIFY2(std::abs(foundWidth - width) <= 0.49F && std::abs(foundHeight - 3.923F) <= 0.31F,
             qPrintable(QStringLiteral("width %1, height %2").arg(foundWidth).arg(foundHeight)));
}

// A truck with one axle at 0 and one at 230: "1 more ►" ends at the right edge
// of the 431 x 127 area, on the row of the gross weight line. Its advance is
// 41.47 px, so it starts at 389.53; the "1" has its ink from 0.69 px, the "►"
// up to 8.73 px of its own 10.89. Its line's top is at y -30, row 5 * 127 / 40
// = 15.875; the baseline 10.14 lower at 26.02; "1" rises 7.57 px and "►" dips
// 0.15. Ink: columns 390.2 to 428.8, rows 18.45 to 26.17, times the ratio,
// here 2; a pixel counts as ink when more than half of it is covered.
void tst_QImageSurface::edgeMarkEndsAtTheRightEdge() {
    const QRect ink(QPoint(780, 37), QPoint(857, 51));  // device pixels, within 1
    // Right of pixel 230 (x 102, device pixel 460) only the mark is in view:
    // the second axle and its labels lie beyond the edge.
    MarkFinder surface(2.0);
    DrawSpaced(surface, {0, 230});
    const QRect found = DarkExtent(surface.image(), 460);
    QCOMPARE(Snapped(found, ink), ink);
}

void tst_QImageSurface::edgeMarksTouchNoWheel_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<std::vector<std::int16_t>>("spacings");
    QTest::addColumn<int>("marks");
    // The nine-axle truck of examples/nine-axles.txt: axles at 0, 40, 53,
    // 105, 117, 130, 188, 201 and 215; "2 more ►" used to cover the seventh.
    const std::vector<std::int16_t> nine{0, 40, 13, 52, 12, 13, 58, 13, 14};
    QTest::newRow("nine axles, 1 device pixel") << 1.0 << nine << 1;
    QTest::newRow("nine axles, 2 device pixels") << 2.0 << nine << 1;
    // Axles past both edges, a wheel right at each edge.
    QTest::newRow("both edges, 2 device pixels")
        << 2.0 << std::vector<std::int16_t>{0, -9, -2, 99, 99, 10, 99} << 2;
}

// Each mark's ink, the dark pixels inside the rectangle its text is printed
// in, keeps clear of every wheel's disc. Where each mark is printed is taken
// from the drawing's own calls; the wheels' centres and radius from the scale
// (431 / 210 px a unit across, 127 / 40 down), a pixel more for the outline.
void tst_QImageSurface::edgeMarksTouchNoWheel() {
    QFETCH(qreal, ratio);
    QFETCH(std::vector<std::int16_t>, spacings);
    QFETCH(int, marks);
    MarkFinder finder(ratio);
    DrawSpaced(finder, spacings);
    QCOMPARE(finder.marks.size(), marks);

    const QImage& image = finder.image();
    const double across = 431.0 / 210.0 * ratio;
    const double down = 127.0 / 40.0 * ratio;
    const double radius = 5 * across + ratio;
    for (const QRectF& mark : finder.marks) {
        const QRect pixels(
            QPoint(int((mark.left() + 10) * across), int((mark.top() + 35) * down)),
            QPoint(int((mark.right() + 10) * across), int((mark.bottom() + 35) * down)));
        int ink = 0;
        for (int y = std::max(0, pixels.top()); y <= std::min(image.height() - 1, pixels.bottom());
             ++y) {
            for (int x = std::max(0, pixels.left());
                 x <= std::min(image.width() - 1, pixels.right()); ++x) {
                if (!Dark(image, x, y)) {
                    continue;
                }
                ++ink;
                int axle = 0;
                for (const std::int16_t spacing : spacings) {
                    axle += spacing;
                    if (std::hypot(x + 0.5 - (axle + 10) * across, y + 0.5 - 35 * down) <= radius) {
                        QFAIL(qPrintable(QStringLiteral("mark ink at (%1, %2) on the wheel at %3")
                                             .arg(x)
                                             .arg(y)
                                             .arg(axle)));
                    }
                }
            }
        }
        QVERIFY(ink > 0);
    }
}

QTEST_MAIN(tst_QImageSurface)
#include "tst_qimagesurface.moc"

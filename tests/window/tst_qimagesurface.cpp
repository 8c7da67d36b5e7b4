// The drawing surface on a real image: where the user scale puts wheels and
// text, and invert mode, checked in pixels against numbers worked out by hand.

#include "window/QImageSurface.h"

#include <QRegularExpression>
#include <QTest>

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

QTEST_MAIN(tst_QImageSurface)
#include "tst_qimagesurface.moc"

// The drawing surface on a real image: wheels, hubs and invert mode in pixels.

#include "window/QImageSurface.h"

#include <QRegularExpression>
#include <QTest>

using namespace axlewise;

class tst_QImageSurface : public QObject {
    Q_OBJECT

private slots:
    void wheels_data();
    void wheels();
    void invertedDiscIsWhole();
};

void tst_QImageSurface::wheels_data() {
    QTest::addColumn<qreal>("ratio");   // device pixels per pixel when drawn
    QTest::addColumn<qreal>("shown");   // ... and when looked at
    QTest::addColumn<float>("second");  // x of the second wheel; the first is at 0
    // At x = -3.5, 0, 3, 6, 9.5, 20, 36.5, 40, 43.5, 47 on the axis: '#' black, '.' white.
    QTest::addColumn<QString>("pixels");
    QTest::newRow("two wheels: rings black, hubs and gap white")
        << 1.0 << 1.0 << 40.0F << "#.#...#.#.";
    QTest::newRow("two wheels at 2 device pixels") << 2.0 << 2.0 << 40.0F << "#.#...#.#.";
    QTest::newRow("drawn at 1, redrawn at 1.5") << 1.0 << 1.5 << 40.0F << "#.#...#.#.";
    QTest::newRow("overlapping wheels invert each other") << 1.0 << 1.0 << 6.0F << "#...#.....";
    QTest::newRow("overlap redrawn at 2") << 1.0 << 2.0 << 6.0F << "#...#.....";
}

void tst_QImageSurface::wheels() {
    QFETCH(qreal, ratio);
    QFETCH(qreal, shown);
    QFETCH(float, second);
    QFETCH(QString, pixels);
    QImageSurface surface(QSize(429, 125), ratio, QFont());
    surface.Scale(-10, -35, 200, 5);
    surface.setFillStyle(FillStyle::Solid);
    surface.setFillColor(0x000000);
    // As the diagram draws: the first wheel in copy-pen mode, all after it inverted.
    for (float x : {0.0F, second}) {
        surface.Circle(x, 0, 5);
        surface.setDrawMode(DrawMode::Invert);
        surface.Circle(x, 0, 5.0F / 3);
    }
    surface.setDevicePixelRatio(shown);
    QCOMPARE(surface.image().size(), QSize(429, 125) * shown);
    QString found;
    for (float x : {-3.5F, 0.0F, 3.0F, 6.0F, 9.5F, 20.0F, 36.5F, 40.0F, 43.5F, 47.0F}) {
        const QPoint device = (surface.toPixels(x, 0) * shown).toPoint();
        found += surface.image().pixelColor(device).lightness() < 128 ? '#' : '.';
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
            row += surface.image().pixelColor(x, y).lightness() < 128 ? '#' : '.';
        }
        QVERIFY2(!row.contains(QRegularExpression("#\\.+#")), qPrintable(row));
    }
}

QTEST_MAIN(tst_QImageSurface)
#include "tst_qimagesurface.moc"

// The drawing surface on a real image: pixels of wheels, hubs and invert mode,
// the text position after Print, and Cls.

#include "window/Layout.h"
#include "window/QImageSurface.h"

#include <QFontMetricsF>
#include <QTest>

using namespace axlewise;

namespace {

// The inside of the picture box and the scale of the axle diagram.
const QSize kPicture(429, 125);

void DiagramScale(QImageSurface& surface) {
    surface.Scale(-10, -35, 200, 5);
}

QColor At(const QImageSurface& surface, float x, float y, QPointF shift = {}) {
    const QImage& image = surface.image();
    const QPointF device = (surface.toPixels(x, y) + shift) * image.devicePixelRatio();
    return image.pixelColor(static_cast<int>(device.x()), static_cast<int>(device.y()));
}

bool IsBlack(const QColor& colour) {
    return colour.lightness() < 64;
}
bool IsWhite(const QColor& colour) {
    return colour.lightness() > 192;
}

// A wheel and its hub as the diagram draws them: solid black fill, the wheel in
// the mode in force, the hub inverted.
void Axle(QImageSurface& surface, float x) {
    surface.setFillStyle(FillStyle::Solid);
    surface.setFillColor(0x000000);
    surface.Circle(x, 0, 5);
    surface.setDrawMode(DrawMode::Invert);
    surface.Circle(x, 0, static_cast<float>(5.0 / 3.0));
}

// The rectangle of the dark pixels of an image, in logical pixels.
QRectF DarkArea(const QImage& image) {
    QRect area;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).lightness() < 128) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    const qreal ratio = image.devicePixelRatio();
    return QRectF(area.x() / ratio, area.y() / ratio, area.width() / ratio, area.height() / ratio);
}

}  // namespace

class tst_QImageSurface : public QObject {
    Q_OBJECT

private slots:
    void wheelsAndHubs_data();
    void wheelsAndHubs();
    void invertedDiscIsWhole();
    void overlappingWheelsInvert_data();
    void overlappingWheelsInvert();
    void radiusAlongX_data();
    void radiusAlongX();
    void fillColourAndInverse();
    void printEndsTheLine_data();
    void printEndsTheLine();
    void printIgnoresDrawMode();
    void clsClearsToWhite();
    void changesAreNotified();
};

void tst_QImageSurface::wheelsAndHubs_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("ordinary screen") << 1.0;
    QTest::newRow("high-dpi screen") << 2.0;
    QTest::newRow("fractional scaling") << 1.5;
}

void tst_QImageSurface::wheelsAndHubs() {
    QFETCH(qreal, ratio);
    QImageSurface surface(kPicture, ratio, WindowFont(kWindowPoints));
    QCOMPARE(surface.image().size(), kPicture * ratio);
    QCOMPARE(surface.drawMode(), DrawMode::CopyPen);
    DiagramScale(surface);
    QCOMPARE(surface.ScaleTop(), -35.0F);

    // The first wheel in copy-pen mode, the second one inverted: both black.
    Axle(surface, 0);
    Axle(surface, 40);
    QCOMPARE(surface.CurrentX(), 40.0F);
    QCOMPARE(surface.CurrentY(), 0.0F);
    for (float x : {0.0F, 40.0F}) {
        QVERIFY2(IsWhite(At(surface, x, 0)), "hub");
        for (float dx : {-3.5F, 3.5F}) {
            QVERIFY2(IsBlack(At(surface, x + dx, 0)), "ring");
        }
        QVERIFY2(IsBlack(At(surface, x, 2.5F)), "ring below the hub");
        QVERIFY2(IsWhite(At(surface, x, -7)), "above the wheel");
    }
    QVERIFY2(IsWhite(At(surface, 20, 0)), "gap between the wheels");
    QVERIFY2(IsWhite(At(surface, 47, 0)), "right of the second wheel");
}

void tst_QImageSurface::invertedDiscIsWhole() {
    // Outline and fill of an inverted circle cover each pixel once: no ring of
    // twice-inverted (white) pixels at the edge of the disc.
    QImageSurface surface(kPicture, 1.0, WindowFont(kWindowPoints));
    DiagramScale(surface);
    surface.setFillStyle(FillStyle::Solid);
    surface.setDrawMode(DrawMode::Invert);
    surface.Circle(50, 0, 5);
    const QImage& image = surface.image();
    const QPointF centre = surface.toPixels(50, 0);
    const qreal radius = surface.toPixels(55, 0).x() - centre.x();
    const int y = static_cast<int>(centre.y());
    for (int x = static_cast<int>(centre.x() - radius + 1.5);
         x <= static_cast<int>(centre.x() + radius - 1.5); ++x) {
        QVERIFY2(IsBlack(image.pixelColor(x, y)), qPrintable(QString::number(x)));
    }
    for (int dy = static_cast<int>(-radius + 1.5); dy <= static_cast<int>(radius - 1.5); ++dy) {
        QVERIFY2(IsBlack(image.pixelColor(static_cast<int>(centre.x()), y + dy)),
                 qPrintable(QString::number(dy)));
    }
}

void tst_QImageSurface::overlappingWheelsInvert_data() {
    QTest::addColumn<float>("spacing");
    QTest::addColumn<float>("overlap");  // an x covered by both wheels
    QTest::newRow("spacing 6") << 6.0F << 3.0F;
    QTest::newRow("spacing 8") << 8.0F << 4.0F;
    QTest::newRow("spacing 0: the same place") << 0.0F << 0.0F;
}

void tst_QImageSurface::overlappingWheelsInvert() {
    QFETCH(float, spacing);
    QFETCH(float, overlap);
    QImageSurface surface(kPicture, 1.0, WindowFont(kWindowPoints));
    DiagramScale(surface);
    surface.setFillStyle(FillStyle::Solid);
    surface.setFillColor(0x000000);
    surface.setDrawMode(DrawMode::Invert);
    surface.Circle(0, 0, 5);
    surface.Circle(spacing, 0, 5);

    QVERIFY2(IsWhite(At(surface, overlap, 0)), "inverted twice");
    QVERIFY2(IsWhite(At(surface, overlap, 1)), "inverted twice, below the axis");
    if (spacing > 0) {
        QVERIFY2(IsBlack(At(surface, -3, 0)), "first wheel only");
        QVERIFY2(IsBlack(At(surface, spacing + 3, 0)), "second wheel only");
    }
    QVERIFY2(IsWhite(At(surface, spacing + 7, 0)), "outside both");
}

void tst_QImageSurface::radiusAlongX_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRectF>("scale");  // the corners (left, top) and (right, bottom)
    QTest::newRow("diagram: y units larger than x units")
        << kPicture << QRectF(QPointF(-10, -35), QPointF(200, 5));
    QTest::newRow("y units smaller than x units")
        << QSize(200, 200) << QRectF(QPointF(0, 0), QPointF(100, 400));
    QTest::newRow("y growing upwards")
        << QSize(200, 100) << QRectF(QPointF(0, 10), QPointF(50, -10));
}

void tst_QImageSurface::radiusAlongX() {
    QFETCH(QSize, size);
    QFETCH(QRectF, scale);
    QImageSurface surface(size, 1.0, WindowFont(kWindowPoints));
    surface.Scale(float(scale.left()), float(scale.top()), float(scale.right()),
                  float(scale.bottom()));
    const float cx = float(scale.center().x());
    const float cy = float(scale.center().y());
    const float radius = float(scale.width() / 10);
    surface.setFillStyle(FillStyle::Solid);
    surface.setFillColor(0x000000);
    surface.Circle(cx, cy, radius);

    // A true circle on the screen: as far down as across, in pixels.
    const qreal pixels = surface.toPixels(cx + radius, cy).x() - surface.toPixels(cx, cy).x();
    for (QPointF direction : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)}) {
        QVERIFY(IsBlack(At(surface, cx, cy, direction * (pixels - 2))));
        QVERIFY(IsWhite(At(surface, cx, cy, direction * (pixels + 2))));
    }
}

void tst_QImageSurface::fillColourAndInverse() {
    QImageSurface surface(kPicture, 1.0, WindowFont(kWindowPoints));
    DiagramScale(surface);
    surface.setFillStyle(FillStyle::Solid);
    surface.setFillColor(0xFF0000);
    surface.Circle(50, 0, 5);
    QCOMPARE(At(surface, 50, 0), QColor(255, 0, 0));
    // Invert takes each pixel to its inverse, whatever the fill colour says.
    surface.setDrawMode(DrawMode::Invert);
    surface.Circle(50, 0, 2);
    QCOMPARE(At(surface, 50, 0), QColor(0, 255, 255));
    QCOMPARE(At(surface, 53.5F, 0), QColor(255, 0, 0));
    QCOMPARE(At(surface, 80, 0), QColor(Qt::white));
}

void tst_QImageSurface::printEndsTheLine_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("ordinary screen") << 1.0;
    QTest::newRow("high-dpi screen") << 2.0;
}

void tst_QImageSurface::printEndsTheLine() {
    QFETCH(qreal, ratio);
    const QFont font = WindowFont(kWindowPoints);
    const qreal lineHeight = QFontMetricsF(font).height();
    QImageSurface surface(kPicture, ratio, font);
    DiagramScale(surface);

    surface.setCurrentX(50);
    surface.setCurrentY(-30);
    surface.Print("GVW: 300");
    QCOMPARE(surface.CurrentX(), -10.0F);  // back to the left edge
    const qreal top = surface.toPixels(50, -30).y();
    const qreal next = surface.toPixels(50, surface.CurrentY()).y();
    QVERIFY2(
        qAbs(next - top - lineHeight) <= 1,
        qPrintable(
            QStringLiteral("moved %1 px for a line of %2 px").arg(next - top).arg(lineHeight)));

    // The text stands right of and below its starting point, within its line.
    const QRectF first = DarkArea(surface.image());
    const QPointF start = surface.toPixels(50, -30);
    QVERIFY(!first.isEmpty());
    QVERIFY2(first.left() >= start.x() - 1 && first.top() >= top - 1 && first.bottom() <= next + 1,
             qPrintable(QStringLiteral("text at %1,%2 %3x%4")
                            .arg(first.x())
                            .arg(first.y())
                            .arg(first.width())
                            .arg(first.height())));

    // The next Print writes the line below, from the left edge.
    surface.Print(" 120 ");
    const QRectF both = DarkArea(surface.image());
    QVERIFY(both.left() < start.x() - 1);
    QVERIFY(both.bottom() > next);
    QVERIFY(both.bottom() <= surface.toPixels(0, surface.CurrentY()).y() + 1);
}

void tst_QImageSurface::printIgnoresDrawMode() {
    QImageSurface copyPen(kPicture, 1.0, WindowFont(kWindowPoints));
    QImageSurface invert(kPicture, 1.0, WindowFont(kWindowPoints));
    for (QImageSurface* surface : {&copyPen, &invert}) {
        DiagramScale(*surface);
        surface->setCurrentX(10);
        surface->setCurrentY(-15);
    }
    invert.setDrawMode(DrawMode::Invert);
    copyPen.Print("25.%");
    invert.Print("25.%");
    QVERIFY(!DarkArea(invert.image()).isEmpty());
    QVERIFY(invert.image() == copyPen.image());
}

void tst_QImageSurface::clsClearsToWhite() {
    QImageSurface surface(kPicture, 2.0, WindowFont(kWindowPoints));
    DiagramScale(surface);
    Axle(surface, 0);
    surface.setCurrentY(-10);
    surface.Print(" 60 ");
    surface.setCurrentX(12);
    QVERIFY(!DarkArea(surface.image()).isEmpty());

    surface.Cls();
    QImage white(surface.image().size(), surface.image().format());
    white.fill(Qt::white);
    QVERIFY(surface.image() == white);
    QCOMPARE(surface.CurrentX(), 0.0F);
    QCOMPARE(surface.CurrentY(), 0.0F);
    // The scale stays.
    QCOMPARE(surface.ScaleTop(), -35.0F);
    QCOMPARE(surface.toPixels(-10, -35), QPointF(0, 0));
}

void tst_QImageSurface::changesAreNotified() {
    // The picture box repaints when told, so every mark must be announced.
    QImageSurface surface(kPicture, 1.0, WindowFont(kWindowPoints));
    int changes = 0;
    surface.onChanged = [&changes] { ++changes; };
    DiagramScale(surface);
    surface.Cls();
    QCOMPARE(changes, 1);
    surface.Circle(0, 0, 5);
    QCOMPARE(changes, 2);
    surface.Print("GVW: 300");
    QCOMPARE(changes, 3);
}

QTEST_MAIN(tst_QImageSurface)
#include "tst_qimagesurface.moc"

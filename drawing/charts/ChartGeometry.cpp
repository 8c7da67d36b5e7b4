#include "drawing/charts/ChartGeometry.h"

namespace axlewise {

ChartStyle DefaultChartStyle() {
    ChartStyle style;
    style.font = QFont(QStringLiteral("Liberation Sans"));
    style.font.setPixelSize(12);
    style.titleFont = style.font;
    style.titleFont.setPixelSize(13);
    style.titleFont.setBold(true);
    style.background = QColor(0xff, 0xff, 0xff);
    style.text = QColor(0x20, 0x20, 0x20);
    style.axis = QColor(0x60, 0x60, 0x60);
    style.grid = QColor(0xe6, 0xe6, 0xe6);
    style.allTrucks = QColor(0xbd, 0xbd, 0xbd);
    style.accent = QColor(0x2c, 0x6f, 0xbb);
    style.band = QColor(0xd9, 0xe7, 0xf7);
    style.failed = QColor(0xb0, 0x30, 0x30);
    style.series = {QColor(0x1f, 0x77, 0xb4), QColor(0xe6, 0x7e, 0x22), QColor(0x2c, 0xa0, 0x2c),
                    QColor(0xd6, 0x27, 0x28), QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                    QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f)};
    return style;
}

QRectF Mark::extent() const {
    if (shape == Shape::Text || stroke.alpha() == 0) {
        return rect;
    }
    const qreal half = penWidth / 2;
    return rect.adjusted(-half, -half, half, half);
}

std::vector<const Mark*> ChartGeometry::marksOf(MarkRole role) const {
    std::vector<const Mark*> found;
    for (const Mark& mark : marks) {
        if (mark.role == role) {
            found.push_back(&mark);
        }
    }
    return found;
}

}  // namespace axlewise

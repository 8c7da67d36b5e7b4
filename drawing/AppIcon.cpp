#include "drawing/AppIcon.h"

#include <QPainter>
#include <QPixmap>

namespace axlewise {

QImage TruckIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    // Trailer box and cab.
    painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
    painter.setBrush(QColor(0xE8, 0x8A, 0x1A));
    painter.drawRect(QRectF(1.5, 7.5, 19, 14));
    painter.setBrush(QColor(0x2B, 0x5F, 0xA8));
    painter.drawPolygon(QPolygonF({QPointF(21.5, 11.5), QPointF(27.5, 11.5), QPointF(30.5, 16.5),
                                   QPointF(30.5, 21.5), QPointF(21.5, 21.5)}));
    // Cab window.
    painter.setBrush(QColor(0xCF, 0xE6, 0xF7));
    painter.drawPolygon(QPolygonF(
        {QPointF(23.5, 13), QPointF(26.8, 13), QPointF(28.8, 16.5), QPointF(23.5, 16.5)}));
    // Wheels with hubs.
    for (const qreal x : {6.0, 11.5, 26.0}) {
        painter.setBrush(Qt::black);
        painter.drawEllipse(QPointF(x, 23.5), 3.2, 3.2);
        painter.setBrush(Qt::white);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPointF(x, 23.5), 1.1, 1.1);
        painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
    }
    painter.end();
    return image;
}

QIcon TruckIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        icon.addPixmap(QPixmap::fromImage(TruckIconImage(size)));
    }
    return icon;
}

}  // namespace axlewise

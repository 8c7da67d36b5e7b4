#include "drawing/charts/ChartFile.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

namespace axlewise {

QImage ChartImage(const Chart& chart, QSize size, qreal devicePixelRatio) {
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::white);
    QPainter painter(&image);
    chart.paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

QByteArray ChartPng(const Chart& chart, QSize size, qreal devicePixelRatio) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ChartImage(chart, size, devicePixelRatio).save(&buffer, "PNG");
    return bytes;
}

QByteArray ChartSvg(const Chart& chart, QSize size) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    // At 96 dpi a logical pixel is one SVG pixel, as on a QImage.
    svg.setResolution(96);
    svg.setTitle(chart.title());
    {
        QPainter painter(&svg);
        chart.paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    return bytes;
}

}  // namespace axlewise

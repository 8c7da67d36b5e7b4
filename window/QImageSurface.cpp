#include "window/QImageSurface.h"

#include <QFontMetricsF>
#include <QPainter>

namespace axlewise {

QImageSurface::QImageSurface(QSize logicalSize, qreal devicePixelRatio, const QFont& font,
                             QColor background, QColor foreground)
    : size_(logicalSize),
      image_(logicalSize * devicePixelRatio, QImage::Format_RGB32),
      font_(font),
      background_(background),
      foreground_(foreground),
      x2_(static_cast<float>(logicalSize.width())),
      y2_(static_cast<float>(logicalSize.height())) {
    image_.setDevicePixelRatio(devicePixelRatio);
    image_.fill(background_);
}

void QImageSurface::Cls() {
    image_.fill(background_);
    currentX_ = 0;
    currentY_ = 0;
    changed();
}

void QImageSurface::Scale(float x1, float y1, float x2, float y2) {
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
}

QPointF QImageSurface::toPixels(float x, float y) const {
    return QPointF((x - x1_) * size_.width() / (x2_ - x1_),
                   (y - y1_) * size_.height() / (y2_ - y1_));
}

void QImageSurface::Circle(float x, float y, float radius) {
    const QPointF centre = toPixels(x, y);
    // The radius is measured along x and drawn as a true circle.
    const qreal r = std::abs(radius * size_.width() / (x2_ - x1_));

    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (drawMode_ == DrawMode::Invert) {
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        if (fillStyle_ == FillStyle::Solid) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::black);  // colour plays no part in invert mode
        } else {
            painter.setPen(QPen(Qt::black, 0));
            painter.setBrush(Qt::NoBrush);
        }
    } else {
        painter.setPen(QPen(foreground_, 0));
        painter.setBrush(fillStyle_ == FillStyle::Solid ? QBrush(fillColor_) : QBrush());
    }
    painter.drawEllipse(centre, r, r);
    painter.end();

    currentX_ = x;
    currentY_ = y;
    changed();
}

void QImageSurface::Print(std::string_view text) {
    const QFontMetricsF metrics(font_, &image_);
    const QPointF topLeft = toPixels(currentX_, currentY_);
    {
        QPainter painter(&image_);
        painter.setFont(font_);
        painter.setPen(foreground_);
        painter.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()),
                         QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    // End the line: one text line down, back to the left edge of the scale.
    currentY_ += static_cast<float>(metrics.height() * (y2_ - y1_) / size_.height());
    currentX_ = x1_;
    changed();
}

void QImageSurface::changed() {
    if (onChanged) {
        onChanged();
    }
}

}  // namespace axlewise

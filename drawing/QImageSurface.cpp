#include "drawing/QImageSurface.h"

#include "drawing/Utf8Text.h"

#include <QPainter>

namespace axlewise {

namespace {}  // namespace

QImageSurface::QImageSurface(QSize logicalSize, qreal devicePixelRatio, const QFont& font,
                             QColor background, QColor foreground)
    : size_(logicalSize),
      image_(logicalSize * devicePixelRatio, QImage::Format_RGB32),
      font_(font),
      background_(background),
      foreground_(foreground),
      scale_{0,
             0,
             static_cast<float>(logicalSize.width()),
             static_cast<float>(logicalSize.height()),
             static_cast<double>(logicalSize.width()),
             static_cast<double>(logicalSize.height())} {
    image_.setDevicePixelRatio(devicePixelRatio);
    image_.fill(background_);
    atCls_ = settings();
}

void QImageSurface::Cls() {
    image_.fill(background_);
    currentX_ = 0;
    currentY_ = 0;
    atCls_ = settings();
    drawn_.clear();
    changed();
}

void QImageSurface::Scale(float x1, float y1, float x2, float y2) {
    record([=, this] { Scale(x1, y1, x2, y2); });
    scale_.left = x1;
    scale_.top = y1;
    scale_.right = x2;
    scale_.bottom = y2;
}

void QImageSurface::setFillStyle(FillStyle style) {
    record([=, this] { setFillStyle(style); });
    fillStyle_ = style;
}

void QImageSurface::setFillColor(std::uint32_t rgb) {
    record([=, this] { setFillColor(rgb); });
    fillColor_ = QColor::fromRgb(rgb);
}

void QImageSurface::setDrawMode(DrawMode mode) {
    record([=, this] { setDrawMode(mode); });
    drawMode_ = mode;
}

void QImageSurface::setCurrentX(float x) {
    record([=, this] { setCurrentX(x); });
    currentX_ = x;
}

void QImageSurface::setCurrentY(float y) {
    record([=, this] { setCurrentY(y); });
    currentY_ = y;
}

void QImageSurface::setDevicePixelRatio(qreal ratio) {
    if (ratio <= 0 || ratio == image_.devicePixelRatio()) {
        return;
    }
    image_ = QImage(size_ * ratio, QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    image_.fill(background_);
    restore(atCls_);
    redrawing_ = true;
    for (const auto& operation : drawn_) {
        operation();
    }
    redrawing_ = false;
    changed();
}

QImageSurface::Settings QImageSurface::settings() const {
    return {scale_, currentX_, currentY_, fillStyle_, fillColor_, drawMode_};
}

void QImageSurface::restore(const Settings& settings) {
    scale_ = settings.scale;
    currentX_ = settings.currentX;
    currentY_ = settings.currentY;
    fillStyle_ = settings.fillStyle;
    fillColor_ = settings.fillColor;
    drawMode_ = settings.drawMode;
}

void QImageSurface::record(std::function<void()> operation) {
    if (!redrawing_) {
        drawn_.push_back(std::move(operation));
    }
}

QPointF QImageSurface::toPixels(float x, float y) const {
    return QPointF(scale_.pixelX(x), scale_.pixelY(y));
}

QFontMetricsF QImageSurface::metrics() const {
    // The image's logical dpi, not its device pixels: the user scale maps to
    // logical pixels whatever the pixel ratio.
    return QFontMetricsF(font_, &image_);
}

float QImageSurface::TextWidth(std::string_view text) const {
    return static_cast<float>(scale_.userWidth(metrics().horizontalAdvance(FromUtf8(text))));
}

float QImageSurface::TextHeight() const {
    return static_cast<float>(scale_.userHeight(metrics().height()));
}

void QImageSurface::Circle(float x, float y, float radius) {
    record([=, this] { Circle(x, y, radius); });
    const QPointF centre = toPixels(x, y);
    // The radius is measured along x and drawn as a true circle.
    const qreal r = scale_.pixelsAlongX(radius);

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
    record([this, kept = std::string(text)] { Print(kept); });
    const QFontMetricsF fontMetrics = metrics();
    const QPointF topLeft = toPixels(currentX_, currentY_);
    const QPointF baseline(topLeft.x(), topLeft.y() + fontMetrics.ascent());
    const QString string = FromUtf8(text);
    {
        QPainter painter(&image_);
        painter.setFont(font_);
        painter.setPen(foreground_);
        painter.drawText(baseline, string);
    }
    // End the line: one text line down, back to the left edge of the scale.
    currentY_ += static_cast<float>(scale_.userHeight(fontMetrics.height()));
    currentX_ = scale_.left;
    changed();
}

void QImageSurface::changed() {
    if (onChanged) {
        onChanged();
    }
}

}  // namespace axlewise

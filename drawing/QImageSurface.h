#pragma once

#include "display/DrawingSurface.h"
#include "display/UserScale.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QSize>

#include <functional>
#include <vector>

namespace axlewise {

// A DrawingSurface that paints a QImage. The image is kept in device pixels
// (logical size x device pixel ratio), so text and circles stay sharp on
// high-dpi screens; all user coordinates map to logical pixels first.
//
// Circles are drawn without antialiasing so that invert mode is exact: a pixel
// is either covered or not, and an inverted shape has no pen, so no pixel is
// inverted twice.
class QImageSurface : public DrawingSurface {
public:
    QImageSurface(QSize logicalSize, qreal devicePixelRatio, const QFont& font,
                  QColor background = Qt::white, QColor foreground = Qt::black);

    void Cls() override;
    void Scale(float x1, float y1, float x2, float y2) override;
    float ScaleTop() const override { return scale_.top; }
    void setFillStyle(FillStyle style) override;
    void setFillColor(std::uint32_t rgb) override;
    void setDrawMode(DrawMode mode) override;
    void Circle(float x, float y, float radius) override;
    void setCurrentX(float x) override;
    void setCurrentY(float y) override;
    void Print(std::string_view text) override;
    // From the font's advance and line height (ascent + descent) in logical
    // pixels, so they are the same at every device pixel ratio.
    float TextWidth(std::string_view text) const override;
    float TextHeight() const override;

    const QImage& image() const { return image_; }

    // Draws again, at another device pixel ratio, everything drawn since the
    // last Cls, so the picture stays sharp when its window moves to a screen of
    // another scale.
    void setDevicePixelRatio(qreal ratio);

    // Called after every change of the image, so a widget can repaint.
    std::function<void()> onChanged;

private:
    // The settings that drawing depends on, as they were when the picture was
    // last cleared: the starting point of a redraw.
    struct Settings {
        UserScale scale;
        float currentX, currentY;
        FillStyle fillStyle;
        QColor fillColor;
        DrawMode drawMode;
    };
    Settings settings() const;
    void restore(const Settings& settings);
    // Keeps an operation for a redraw (not while redrawing).
    void record(std::function<void()> operation);
    void changed();

    // User coordinates to logical pixels.
    QPointF toPixels(float x, float y) const;
    // The font's metrics in logical pixels.
    QFontMetricsF metrics() const;

    QSize size_;
    QImage image_;
    QFont font_;
    QColor background_;
    QColor foreground_;
    // Until Scale is called the user scale is the logical pixel grid.
    UserScale scale_;
    float currentX_ = 0;
    float currentY_ = 0;
    FillStyle fillStyle_ = FillStyle::Transparent;
    QColor fillColor_ = Qt::black;
    DrawMode drawMode_ = DrawMode::CopyPen;

    Settings atCls_;
    std::vector<std::function<void()>> drawn_;
    bool redrawing_ = false;
};

}  // namespace axlewise

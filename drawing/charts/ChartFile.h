#pragma once

#include "drawing/charts/Charts.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace axlewise {

// A chart drawn whole into an image of size (logical pixels) times the pixel
// ratio, on the chart's background.
QImage ChartImage(const Chart& chart, QSize size, qreal devicePixelRatio = 1);

// The chart as the bytes of a PNG file, size times the pixel ratio in pixels.
QByteArray ChartPng(const Chart& chart, QSize size, qreal devicePixelRatio = 1);

// The chart as the bytes of an SVG file of the size in pixels, its text as
// text; titled with the chart's title.
QByteArray ChartSvg(const Chart& chart, QSize size);

}  // namespace axlewise

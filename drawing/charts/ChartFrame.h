#pragma once

#include "drawing/charts/ChartGeometry.h"

#include <QFontMetricsF>

#include <functional>
#include <optional>
#include <vector>

namespace axlewise {

// The parts every chart is built from: a header with the title, the y
// caption and a legend; axes with nice ticks whose labels never overlap; the
// plot between them; a note in place of the plot. All in logical pixels.

inline constexpr double kChartPad = 6;  // from the chart's edge to anything drawn
inline constexpr double kTickLength = 4;
inline constexpr double kLabelGap = 8;         // at least this between two tick labels
inline constexpr double kMinTickSpacing = 24;  // vertical axes: pixels between ticks

// One axis as the data asks for it.
struct AxisPlan {
    QString caption;
    double lo = 0;  // the data range to show; hi <= lo is widened by one unit
    double hi = 1;
    bool niceEnds = false;  // widen lo and hi to multiples of the tick step
    double minStep = 0;     // no ticks closer than this: 1 for whole numbers
    double minSpacing = 0;  // vertical axes: pixels between ticks, kMinTickSpacing when 0
    // The text of a tick; plain numbers with the step's decimals when empty.
    std::function<QString(double)> label;
};

struct LegendEntry {
    enum class Swatch { Box, Dot, HollowDot, Line, DashedLine };
    QString text;
    QColor color;
    Swatch swatch = Swatch::Box;
};

// A number as a tick shows it: as many decimals as the step has (0 for
// steps of 1 and more), never "-0".
QString TickText(double value, double step);

// The chart's fonts measured in logical pixels.
struct ChartFonts {
    explicit ChartFonts(const ChartStyle& style);
    QFontMetricsF plain;
    QFontMetricsF bold;
    double line() const { return plain.height(); }
    double width(const QString& text) const { return plain.horizontalAdvance(text); }
};

// The plot area of an x-y chart and its axes, once laid out.
struct XYFrame {
    QRectF plot;
    QRectF strip;  // empty unless asked for
    Axis x;
    Axis y;
    Axis stripY;
};

// Starts a chart: its bounds, fonts and background.
ChartGeometry BeginChart(const QRectF& bounds, const ChartStyle& style);

// Adds the title (elided to the width) and a row with the y caption on the
// left and the legend on the right, wrapping onto more rows when it does not
// fit. Returns the y below the header.
double AddHeader(ChartGeometry& chart, const ChartStyle& style, const QString& title,
                 const QString& yCaption, const std::vector<LegendEntry>& legend);

// Lays out an x-y chart under a header that ends at `top`: the x axis with its
// labels and caption at the bottom, the y axis at the left, and, when a strip
// axis is asked for, a strip of `stripShare` of the height under the plot with its
// own y axis and the same x. Adds the axes, ticks, labels and grid lines. Gives
// nothing (and adds a "no room" note) when the rectangle is too small for a
// plot.
std::optional<XYFrame> LayOutXY(ChartGeometry& chart, const ChartStyle& style, double top,
                                const AxisPlan& x, const AxisPlan& y,
                                const AxisPlan* strip = nullptr, double stripShare = 0);

// A vertical axis between pixel rows bottom and top (bottom > top), ticks at
// least kMinTickSpacing apart; label rectangles right-aligned at labelRight.
Axis VerticalAxis(const AxisPlan& plan, double bottom, double top, double labelRight,
                  const ChartFonts& fonts);
// A horizontal axis between pixel columns left and right, its labels centred
// under their ticks at labelTop, moved inside minX..maxX, and the step widened
// until no two labels come closer than kLabelGap.
Axis HorizontalAxis(const AxisPlan& plan, double left, double right, double labelTop, double minX,
                    double maxX, const ChartFonts& fonts);

// A centred line of text in the area, elided to its width: "no data".
void AddNote(ChartGeometry& chart, const ChartStyle& style, const QString& text,
             const QRectF& area);

// Marks the chart as holding no data, with a "no data" note filling the chart
// below `top` (the foot of its header).
void AddNoData(ChartGeometry& chart, const ChartStyle& style, double top);

// A straight line from a to b, one pixel wide.
Mark LineMark(MarkRole role, QPointF a, QPointF b, const QColor& color);

// A text mark of the chart font, its rectangle from the font's metrics.
Mark TextMark(MarkRole role, const QString& text, const QRectF& rect, const QColor& color,
              int flags = 0);

}  // namespace axlewise

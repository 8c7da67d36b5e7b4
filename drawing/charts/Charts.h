#pragma once

#include "drawing/charts/ChartGeometry.h"
#include "stats/SiteStats.h"

#include <QPointF>
#include <QRectF>

#include <memory>
#include <optional>

class QPainter;

namespace axlewise {

// The charts of a site's figures.
enum class ChartKind {
    Gvw,       // GVW histogram: all trucks in grey, five-axle trucks over them, their peaks
    Steering,  // median WT AX 1 of five-axle trucks per day, in a ±5 % band
    Tandem,    // median S AX 2 - AX 3 of five-axle trucks per day, likewise
    Hourly,    // trucks per hour of day, a line per lane and direction
    Speed,     // SPEED histogram
    Axles,     // trucks per NO. AXLES
    Checks,    // a bar per check: its trucks and share
};

// In the order the Summary window and the report show them: the weights and
// the checks, the two daily medians side by side, then the rest.
inline constexpr ChartKind kAllCharts[] = {
    ChartKind::Gvw,    ChartKind::Checks, ChartKind::Steering, ChartKind::Tandem,
    ChartKind::Hourly, ChartKind::Speed,  ChartKind::Axles};

// Days with fewer five-axle trucks than this are drawn hollow: their median
// says little.
inline constexpr TruckIndex kFewTrucksADay = 30;
// The band around the whole file's median, in percent either side.
inline constexpr int kBandPercent = 5;

// One chart of a site's figures, drawn with QPainter on any paint device (a
// widget, a QImage, an SVG generator), in any rectangle: what it draws is a
// ChartGeometry worked out from the figures and the rectangle alone. With no
// trucks, or none of the kind a chart shows, it says "no data".
class Chart {
public:
    Chart(ChartKind kind, std::shared_ptr<const SiteStats> stats,
          ChartStyle style = DefaultChartStyle());

    ChartKind kind() const { return kind_; }
    const SiteStats& stats() const { return *stats_; }
    QString title() const;

    // Everything the chart draws in rect (logical pixels).
    ChartGeometry layout(const QRectF& rect) const;
    // Draws the chart in rect; the painter's state is kept, and nothing is
    // drawn outside rect.
    void paint(QPainter& painter, const QRectF& rect) const;

private:
    ChartKind kind_;
    std::shared_ptr<const SiteStats> stats_;
    ChartStyle style_;
};

// Draws a laid-out chart: its marks in order, clipped to its bounds.
void PaintChart(QPainter& painter, const ChartGeometry& chart);

// The item of the hit area under point (a day's index for Steering and Tandem,
// a CheckCode's for Checks, nothing elsewhere): of several, the one whose
// centre is nearest.
std::optional<int> ItemAt(const ChartGeometry& chart, QPointF point);

}  // namespace axlewise

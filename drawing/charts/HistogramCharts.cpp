// The charts of counts over a value: GVW and SPEED histograms, and the trucks
// per NO. AXLES.

#include "drawing/charts/ChartFrame.h"
#include "drawing/charts/ChartLayouts.h"
#include "drawing/charts/Charts.h"

#include <algorithm>

namespace axlewise {

namespace {

TruckIndex Largest(const std::vector<TruckIndex>& counts) {
    return counts.empty() ? 0 : *std::max_element(counts.begin(), counts.end());
}

Mark BarMark(double x0, double x1, double y0, double y1, const QColor& color, int series) {
    Mark bar;
    bar.role = MarkRole::Bar;
    if (x1 - x0 < 1) {  // every bar shows, however many share the width
        const double middle = (x0 + x1) / 2;
        x0 = middle - 0.5;
        x1 = middle + 0.5;
    }
    // A hair of space between neighbouring bars when they are wide enough.
    const double inset = x1 - x0 > 4 ? 0.5 : 0;
    bar.rect = QRectF(QPointF(x0 + inset, y1), QPointF(x1 - inset, y0));
    bar.fill = color;
    bar.series = series;
    return bar;
}

void AddBars(ChartGeometry& chart, const XYFrame& frame, const Histogram& histogram,
             const QColor& color, int series) {
    for (std::size_t bin = 0; bin < histogram.counts.size(); ++bin) {
        const TruckIndex count = histogram.counts[bin];
        if (count == 0) {
            continue;
        }
        const double lo = histogram.first + histogram.width * static_cast<double>(bin);
        chart.add(BarMark(frame.x.map(lo), frame.x.map(lo + histogram.width), frame.y.map(0),
                          frame.y.map(static_cast<double>(count)), color, series));
    }
}

AxisPlan CountAxis(TruckIndex largest) {
    return {QStringLiteral("trucks"),
            0,
            static_cast<double>(std::max<TruckIndex>(largest, 1)),
            true,
            1,
            0,
            {}};
}

// The peaks' dashed lines and labels: each label right of its line at the
// top of the plot (left of it near the right edge), one row lower when it
// would run into the label before it.
void AddPeaks(ChartGeometry& chart, const ChartStyle& style, const XYFrame& frame,
              const SiteStats& stats) {
    const ChartFonts fonts(style);
    const Histogram& histogram = stats.gvwFiveAxle;
    QRectF previous;
    for (std::size_t k = 0; k < stats.gvwPeaks.size(); ++k) {
        const GvwPeak& peak = stats.gvwPeaks[k];
        const double middle =
            histogram.first + histogram.width * (static_cast<double>(peak.bin) + 0.5);
        const double x = frame.x.map(middle);
        Mark line = LineMark(MarkRole::Marker, QPointF(x, frame.plot.top()),
                             QPointF(x, frame.plot.bottom()), style.text);
        line.dashed = true;
        line.series = static_cast<int>(k);
        chart.add(line);

        const QString name = stats.gvwPeaks.size() == 1 ? QStringLiteral("peak")
                             : k == 0                   ? QStringLiteral("unloaded")
                                                        : QStringLiteral("loaded");
        const QString text = name + QLatin1Char(' ') + QString::number(peak.gvw);
        const double width = fonts.width(text) + 4;
        double left = x + 3;
        if (left + width > frame.plot.right()) {
            left = std::max(frame.plot.left(), x - 3 - width);
        }
        QRectF box(left, frame.plot.top() + 2, width, fonts.line());
        if (!previous.isNull() && box.intersects(previous.adjusted(-2, 0, 2, 0))) {
            box.moveTop(previous.bottom() + 2);
        }
        previous = box;
        Mark shade;
        shade.role = MarkRole::MarkerLabel;
        shade.rect = box;
        shade.fill = QColor(255, 255, 255, 210);
        chart.add(shade);
        Mark label = TextMark(MarkRole::MarkerLabel, text, box, style.text, Qt::AlignCenter);
        label.series = static_cast<int>(k);
        chart.add(label);
    }
}

// The trucks left out of the bins (beyond the 0.5th and 99.5th percentile),
// said at the right end of the x caption's row when there is room.
void AddBeyond(ChartGeometry& chart, const ChartStyle& style, const XYFrame& frame,
               const Histogram& histogram) {
    const TruckIndex beyond = histogram.below + histogram.above;
    if (beyond == 0) {
        return;
    }
    const ChartFonts fonts(style);
    const QString text = QStringLiteral("%1 beyond the axis").arg(beyond);
    const double width = fonts.width(text);
    const QRectF& caption = frame.x.captionRect;
    const QRectF box(chart.bounds.right() - kChartPad - width, caption.top(), width,
                     caption.height());
    if (box.left() > caption.right() + kLabelGap) {
        chart.add(TextMark(MarkRole::Caption, text, box, style.axis));
    }
}

}  // namespace

ChartGeometry LayOutGvw(const SiteStats& stats, const QRectF& rect, const ChartStyle& style) {
    ChartGeometry chart = BeginChart(rect, style);
    const double top =
        AddHeader(chart, style, QStringLiteral("GVW of all trucks and of 5-axle trucks"),
                  QStringLiteral("trucks"),
                  {{QStringLiteral("all trucks"), style.allTrucks},
                   {QStringLiteral("5 axles"), style.accent}});
    const Histogram& all = stats.gvwAll;
    if (all.counts.empty()) {
        AddNoData(chart, style, top);
        return chart;
    }
    const AxisPlan x{QStringLiteral("GVW"),
                     static_cast<double>(all.first),
                     static_cast<double>(all.end()),
                     false,
                     1,
                     0,
                     {}};
    const std::optional<XYFrame> frame =
        LayOutXY(chart, style, top, x, CountAxis(Largest(all.counts)));
    if (!frame) {
        return chart;
    }
    AddBars(chart, *frame, all, style.allTrucks, 0);
    AddBeyond(chart, style, *frame, all);
    AddBars(chart, *frame, stats.gvwFiveAxle, style.accent, 1);
    if (stats.fiveAxle == 0) {
        AddNote(chart, style, QStringLiteral("no 5-axle trucks"),
                QRectF(frame->plot.left(), frame->plot.top(), frame->plot.width(),
                       2 * ChartFonts(style).line()));
    }
    AddPeaks(chart, style, *frame, stats);
    return chart;
}

ChartGeometry LayOutSpeed(const SiteStats& stats, const QRectF& rect, const ChartStyle& style) {
    ChartGeometry chart = BeginChart(rect, style);
    const double top = AddHeader(chart, style, QStringLiteral("Speed of all trucks"),
                                 QStringLiteral("trucks"), {});
    const Histogram& speed = stats.speed;
    if (speed.counts.empty()) {
        AddNoData(chart, style, top);
        return chart;
    }
    const AxisPlan x{QStringLiteral("SPEED"),
                     static_cast<double>(speed.first),
                     static_cast<double>(speed.end()),
                     false,
                     1,
                     0,
                     {}};
    const std::optional<XYFrame> frame =
        LayOutXY(chart, style, top, x, CountAxis(Largest(speed.counts)));
    if (frame) {
        AddBars(chart, *frame, speed, style.accent, 0);
        AddBeyond(chart, style, *frame, speed);
    }
    return chart;
}

ChartGeometry LayOutAxles(const SiteStats& stats, const QRectF& rect, const ChartStyle& style) {
    ChartGeometry chart = BeginChart(rect, style);
    const double top = AddHeader(chart, style, QStringLiteral("Trucks by number of axles"),
                                 QStringLiteral("trucks"), {});
    const auto& counts = stats.axleCounts;
    if (counts.empty()) {
        AddNoData(chart, style, top);
        return chart;
    }
    TruckIndex largest = 0;
    for (const auto& [axles, count] : counts) {
        largest = std::max(largest, count);
    }
    const AxisPlan x{QStringLiteral("NO. AXLES"),
                     counts.front().first - 0.5,
                     counts.back().first + 0.5,
                     false,
                     1,
                     0,
                     {}};
    const std::optional<XYFrame> frame = LayOutXY(chart, style, top, x, CountAxis(largest));
    if (frame) {
        for (const auto& [axles, count] : counts) {
            chart.add(BarMark(frame->x.map(axles - 0.35), frame->x.map(axles + 0.35),
                              frame->y.map(0), frame->y.map(static_cast<double>(count)),
                              style.accent, 0));
        }
    }
    return chart;
}

}  // namespace axlewise

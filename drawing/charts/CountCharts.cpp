// The charts of counts by category: trucks per hour of day in each lane and
// direction, and the trucks failing each check.

#include "drawing/charts/ChartFrame.h"
#include "drawing/charts/ChartLayouts.h"
#include "drawing/charts/Charts.h"
#include "stats/FiguresText.h"

#include <algorithm>

namespace axlewise {

ChartGeometry LayOutHourly(const SiteStats& stats, const QRectF& rect, const ChartStyle& style) {
    ChartGeometry chart = BeginChart(rect, style);
    std::vector<LegendEntry> legend;
    TruckIndex most = 0;
    for (std::size_t k = 0; k < stats.lanes.size(); ++k) {
        const LaneFigures& lane = stats.lanes[k];
        legend.push_back({QString::fromStdString(LaneText(lane)),
                          style.series[k % style.series.size()], LegendEntry::Swatch::Line});
        most = std::max(most, *std::max_element(lane.perHour.begin(), lane.perHour.end()));
    }
    const double top = AddHeader(chart, style, QStringLiteral("Trucks per hour of day"),
                                 QStringLiteral("trucks"), legend);
    if (most == 0) {
        AddNoData(chart, style, top);
        return chart;
    }
    const AxisPlan x{QStringLiteral("HOUR"), 0, 23, false, 1, 0, {}};
    const AxisPlan y{QStringLiteral("trucks"), 0, static_cast<double>(most), true, 1, 0, {}};
    const std::optional<XYFrame> frame = LayOutXY(chart, style, top, x, y);
    if (!frame) {
        return chart;
    }
    for (std::size_t k = 0; k < stats.lanes.size(); ++k) {
        Mark line;
        line.role = MarkRole::Line;
        line.shape = Mark::Shape::Polyline;
        for (int hour = 0; hour < 24; ++hour) {
            line.points << QPointF(frame->x.map(hour),
                                   frame->y.map(static_cast<double>(
                                       stats.lanes[k].perHour[static_cast<std::size_t>(hour)])));
        }
        line.rect = line.points.boundingRect();
        line.stroke = style.series[k % style.series.size()];
        line.penWidth = 2;
        line.series = static_cast<int>(k);
        chart.add(line);
    }
    return chart;
}

ChartGeometry LayOutChecks(const SiteStats& stats, const QRectF& rect, const ChartStyle& style) {
    ChartGeometry chart = BeginChart(rect, style);
    const double top = AddHeader(chart, style, QStringLiteral("Trucks failing each check"), {}, {});
    if (stats.trucks == 0) {
        AddNoData(chart, style, top);
        return chart;
    }
    const ChartFonts fonts(style);
    TruckIndex most = 1;
    for (const CheckFigures& check : stats.checks) {
        most = std::max(most, check.trucks);
    }
    // The first check on top: row value kCheckCount - 1 - code, counted from
    // the bottom as the axis counts.
    const auto codeOf = [](double value) {
        return kCheckCount - 1 - static_cast<int>(value + 0.5);
    };
    AxisPlan y{QString(), -0.5, kCheckCount - 0.5, false, 1, fonts.line() + 2, {}};
    y.label = [codeOf](double value) {
        return QString::fromLatin1(CheckName(kAllChecks[codeOf(value)]));
    };
    const AxisPlan x{QStringLiteral("trucks"), 0, static_cast<double>(most), true, 1, 0, {}};
    const std::optional<XYFrame> frame = LayOutXY(chart, style, top, x, y);
    if (!frame) {
        return chart;
    }
    const double pitch = frame->y.map(0) - frame->y.map(1);
    const double thickness = std::min(pitch * 0.7, 14.0);
    for (int code = 0; code < kCheckCount; ++code) {
        const CheckFigures& check = stats.checks[static_cast<std::size_t>(code)];
        const double cy = frame->y.map(kCheckCount - 1 - code);
        const double x0 = frame->x.map(0);
        const double x1 = frame->x.map(static_cast<double>(check.trucks));
        if (check.trucks > 0) {
            Mark bar;
            bar.role = MarkRole::Bar;
            bar.rect = QRectF(QPointF(x0, cy - thickness / 2),
                              QPointF(std::max(x1, x0 + 1), cy + thickness / 2));
            bar.fill = style.failed;
            bar.item = code;
            chart.add(bar);
        }
        const QString text = QStringLiteral("%1 (%2)")
                                 .arg(check.trucks)
                                 .arg(QString::fromStdString(ShareText(check.tenths)));
        const double width = fonts.width(text);
        QRectF box(x1 + 4, cy - fonts.line() / 2, width, fonts.line());
        QColor color = style.text;
        if (box.right() > frame->plot.right()) {
            // No room after the bar: inside its end, in white.
            box.moveRight(x1 - 4);
            color = style.background;
        }
        if (box.left() >= frame->plot.left()) {
            Mark label = TextMark(MarkRole::ValueLabel, text, box, color);
            label.item = code;
            chart.add(label);
        }
        chart.items.push_back({code,
                               QRectF(QPointF(chart.bounds.left() + kChartPad, cy - pitch / 2),
                                      QPointF(frame->plot.right(), cy + pitch / 2)),
                               QPointF(frame->plot.left(), cy)});
    }
    return chart;
}

}  // namespace axlewise

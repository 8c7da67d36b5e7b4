// The two calibration charts of five-axle trucks day by day: the median
// steering-axle weight and the median drive-tandem spacing, each in a band of
// ±5 % around the whole file's median, over a strip of the trucks counted.

#include "drawing/charts/ChartFrame.h"
#include "drawing/charts/ChartLayouts.h"
#include "drawing/charts/Charts.h"
#include "stats/Calendar.h"
#include "stats/FiguresText.h"

#include <algorithm>
#include <cmath>

namespace axlewise {

namespace {

constexpr double kDotRadius = 3.5;
// A click within this many pixels of a day finds it, when the days are closer.
constexpr double kMinHitWidth = 8;
constexpr double kStripShare = 0.25;

QString DayLabel(double dayNumber) {
    const CalendarDate date = DateOfDayNumber(static_cast<int>(std::lround(dayNumber)));
    return QString::fromStdString(DateText(date.year, date.month, date.day));
}

Mark Segment(MarkRole role, QPointF a, QPointF b, const QColor& color, bool dashed) {
    Mark mark = LineMark(role, a, b, color);
    mark.penWidth = 1.5;
    mark.dashed = dashed;
    return mark;
}

}  // namespace

ChartGeometry LayOutDays(const SiteStats& stats, bool steering, const QRectF& rect,
                         const ChartStyle& style) {
    ChartGeometry chart = BeginChart(rect, style);
    const QString title =
        steering ? QStringLiteral("Steering axle of 5-axle trucks: median per day")
                 : QStringLiteral("Drive-tandem spacing of 5-axle trucks: median per day");
    const QString caption = steering ? QStringLiteral("WT AX 1") : QStringLiteral("S AX 2 - AX 3");
    QColor band = style.band;
    const std::vector<LegendEntry> legend = {
        {QStringLiteral("%1+ trucks").arg(kFewTrucksADay), style.accent, LegendEntry::Swatch::Dot},
        {QStringLiteral("fewer"), style.accent, LegendEntry::Swatch::HollowDot},
        {QStringLiteral("file median \u00b1%1%").arg(kBandPercent), band, LegendEntry::Swatch::Box},
        {QStringLiteral("5-axle trucks"), style.allTrucks, LegendEntry::Swatch::Box},
    };
    const double top = AddHeader(chart, style, title, caption, legend);

    std::vector<std::size_t> shown;  // days with five-axle trucks
    for (std::size_t i = 0; i < stats.days.size(); ++i) {
        if (stats.days[i].fiveAxle > 0) {
            shown.push_back(i);
        }
    }
    if (shown.empty()) {
        AddNoData(chart, style, top);
        return chart;
    }

    const auto median = [&](const DayFigures& day) {
        return steering ? day.steeringMedian : day.tandemMedian;
    };
    const double fileMedian = steering ? stats.steeringMedian : stats.tandemMedian;
    const double bandLo =
        std::min(fileMedian * (100 - kBandPercent), fileMedian * (100 + kBandPercent)) / 100;
    const double bandHi =
        std::max(fileMedian * (100 - kBandPercent), fileMedian * (100 + kBandPercent)) / 100;
    double lo = bandLo;
    double hi = bandHi;
    TruckIndex most = 0;
    for (const std::size_t i : shown) {
        lo = std::min(lo, median(stats.days[i]));
        hi = std::max(hi, median(stats.days[i]));
        most = std::max(most, stats.days[i].fiveAxle);
    }

    // Half a day at each end, or a dot's room if the days are packed tighter.
    const double first = stats.days[shown.front()].dayNumber;
    const double last = stats.days[shown.back()].dayNumber;
    const double roughWidth = std::max(rect.width() - 80, 40.0);
    const double margin = std::max(0.5, (last - first + 1) * (kDotRadius + 2) / roughWidth);
    const AxisPlan x{
        QStringLiteral("day (YY-MM-DD)"), first - margin, last + margin, false, 1, 0, DayLabel};
    const AxisPlan y{caption, lo, hi, true, 0, 0, {}};
    const AxisPlan strip{QStringLiteral("trucks"), 0, static_cast<double>(most), true, 1, 0, {}};
    const std::optional<XYFrame> frame = LayOutXY(chart, style, top, x, y, &strip, kStripShare);
    if (!frame) {
        return chart;
    }

    Mark bandMark;
    bandMark.role = MarkRole::Band;
    bandMark.rect = QRectF(QPointF(frame->plot.left(), frame->y.map(bandHi)),
                           QPointF(frame->plot.right(), frame->y.map(bandLo)));
    band.setAlpha(170);
    bandMark.fill = band;
    chart.add(bandMark);
    chart.add(Segment(MarkRole::Band, QPointF(frame->plot.left(), frame->y.map(fileMedian)),
                      QPointF(frame->plot.right(), frame->y.map(fileMedian)), style.accent, true));
    const double dayWidth = frame->x.map(1) - frame->x.map(0);
    const double hitWidth = std::max(dayWidth, kMinHitWidth);
    for (const std::size_t i : shown) {
        const DayFigures& day = stats.days[i];
        const double cx = frame->x.map(day.dayNumber);
        const double cy = frame->y.map(median(day));

        const double half = std::max(0.5, std::min(dayWidth * 0.4, 6.0));
        Mark bar;
        bar.role = MarkRole::Bar;
        bar.rect = QRectF(QPointF(cx - half, frame->stripY.map(static_cast<double>(day.fiveAxle))),
                          QPointF(cx + half, frame->stripY.map(0)));
        bar.fill = style.allTrucks;
        bar.item = static_cast<int>(i);
        chart.add(bar);

        Mark dot;
        dot.role = MarkRole::Point;
        dot.shape = Mark::Shape::Ellipse;
        dot.rect = QRectF(cx - kDotRadius, cy - kDotRadius, 2 * kDotRadius, 2 * kDotRadius);
        dot.stroke = style.accent;
        dot.penWidth = 1.5;
        dot.fill = day.fiveAxle >= kFewTrucksADay ? style.accent : style.background;
        dot.item = static_cast<int>(i);
        chart.add(dot);

        chart.items.push_back({static_cast<int>(i),
                               QRectF(QPointF(cx - hitWidth / 2, frame->plot.top()),
                                      QPointF(cx + hitWidth / 2, frame->strip.bottom())),
                               QPointF(cx, cy)});
    }
    // The line under which a day's dot is hollow, over the strip's bars.
    if (kFewTrucksADay <= frame->stripY.hi) {
        const double y30 = frame->stripY.map(static_cast<double>(kFewTrucksADay));
        chart.add(Segment(MarkRole::Line, QPointF(frame->strip.left(), y30),
                          QPointF(frame->strip.right(), y30), style.axis, true));
    }
    return chart;
}

}  // namespace axlewise

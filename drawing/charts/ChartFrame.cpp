#include "drawing/charts/ChartFrame.h"

#include "stats/NiceNumbers.h"

#include <algorithm>
#include <cmath>

namespace axlewise {

namespace {

// Horizontal axes: the first step tried leaves this many pixels a tick.
constexpr double kFirstTickSpacing = 40;
// Below this the plot is not worth drawing.
constexpr double kMinPlotWidth = 40;
constexpr double kMinPlotHeight = 30;
// Between the tick labels of the strip and of the plot above it.
constexpr double kStripGap = 2;

// The values of the ticks from lo to hi, multiples of the step, counted by
// index so that no sum of steps drifts.
std::vector<double> TickValues(double lo, double hi, double step) {
    std::vector<double> values;
    const double first = std::ceil(lo / step - 1e-9);
    for (double k = first; k * step <= hi + step * 1e-9; k += 1) {
        values.push_back(k * step + 0.0);  // + 0.0: no tick at -0
    }
    return values;
}

QString LabelOf(const AxisPlan& plan, double value, double step) {
    return plan.label ? plan.label(value) : TickText(value, step);
}

// lo < hi, however the data came.
void Widen(double& lo, double& hi) {
    if (!(hi > lo)) {
        hi = lo + 1;
    }
}

void AddLegendSwatch(ChartGeometry& chart, const LegendEntry& entry, const QRectF& box) {
    Mark swatch;
    swatch.role = MarkRole::Legend;
    switch (entry.swatch) {
        case LegendEntry::Swatch::Box:
            swatch.rect = box;
            swatch.fill = entry.color;
            break;
        case LegendEntry::Swatch::Dot:
        case LegendEntry::Swatch::HollowDot:
            swatch.shape = Mark::Shape::Ellipse;
            swatch.rect = box.adjusted(1.5, 1.5, -1.5, -1.5);
            swatch.fill =
                entry.swatch == LegendEntry::Swatch::Dot ? entry.color : QColor(Qt::white);
            swatch.stroke = entry.color;
            swatch.penWidth = 1.5;
            break;
        case LegendEntry::Swatch::Line:
        case LegendEntry::Swatch::DashedLine:
            swatch.shape = Mark::Shape::Polyline;
            swatch.points = {QPointF(box.left(), box.center().y()),
                             QPointF(box.right(), box.center().y())};
            swatch.rect = QRectF(box.left(), box.center().y(), box.width(), 0);
            swatch.stroke = entry.color;
            swatch.penWidth = 2;
            swatch.dashed = entry.swatch == LegendEntry::Swatch::DashedLine;
            break;
    }
    chart.add(swatch);
}

}  // namespace

QString TickText(double value, double step) {
    int decimals = 0;
    if (step < 1) {
        decimals = static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    }
    // A value that rounds to zero is written "0", not "-0".
    if (std::abs(value) < 0.5 * std::pow(10.0, -decimals)) {
        value = 0;
    }
    return QString::number(value, 'f', decimals);
}

ChartFonts::ChartFonts(const ChartStyle& style) : plain(style.font), bold(style.titleFont) {}

void AddNoData(ChartGeometry& chart, const ChartStyle& style, double top) {
    chart.noData = true;
    const QRectF& bounds = chart.bounds;
    AddNote(chart, style, QStringLiteral("no data"),
            QRectF(bounds.left(), top, bounds.width(), bounds.bottom() - top));
}

Mark LineMark(MarkRole role, QPointF a, QPointF b, const QColor& color) {
    Mark mark;
    mark.role = role;
    mark.shape = Mark::Shape::Polyline;
    mark.points = {a, b};
    mark.rect = QRectF(a, b).normalized();
    mark.stroke = color;
    return mark;
}

Mark TextMark(MarkRole role, const QString& text, const QRectF& rect, const QColor& color,
              int flags) {
    Mark mark;
    mark.role = role;
    mark.shape = Mark::Shape::Text;
    mark.rect = rect;
    mark.text = text;
    mark.stroke = color;
    mark.flags = flags != 0 ? flags : int(Qt::AlignLeft | Qt::AlignVCenter);
    return mark;
}

ChartGeometry BeginChart(const QRectF& bounds, const ChartStyle& style) {
    ChartGeometry chart;
    chart.bounds = bounds;
    chart.font = style.font;
    chart.titleFont = style.titleFont;
    Mark background;
    background.role = MarkRole::Background;
    background.rect = bounds;
    background.fill = style.background;
    chart.add(background);
    return chart;
}

double AddHeader(ChartGeometry& chart, const ChartStyle& style, const QString& title,
                 const QString& yCaption, const std::vector<LegendEntry>& legend) {
    const ChartFonts fonts(style);
    const QRectF inside = chart.bounds.adjusted(kChartPad, kChartPad, -kChartPad, -kChartPad);
    double y = inside.top();
    if (inside.width() <= 0 || inside.height() < fonts.bold.height()) {
        return y;
    }
    const QString shown = fonts.bold.elidedText(title, Qt::ElideRight, inside.width());
    Mark titleMark =
        TextMark(MarkRole::Title, shown,
                 QRectF(inside.left(), y, fonts.bold.horizontalAdvance(shown), fonts.bold.height()),
                 style.text);
    titleMark.bold = true;
    chart.add(titleMark);
    y += fonts.bold.height() + 4;

    // The legend's entries right-aligned in rows; the first row leaves room
    // for the y caption on its left.
    const double line = fonts.line();
    const double swatch = 10;
    const double captionWidth = yCaption.isEmpty() ? 0 : fonts.width(yCaption) + 16;
    std::vector<std::vector<std::pair<const LegendEntry*, double>>> rows(1);
    double rowWidth = 0;
    for (const LegendEntry& entry : legend) {
        const double width = swatch + 4 + fonts.width(entry.text);
        const double room = inside.width() - (rows.size() == 1 ? captionWidth : 0);
        const double needed = rowWidth + (rowWidth > 0 ? 12 : 0) + width;
        if (rowWidth > 0 && needed > room) {
            rows.emplace_back();
            rowWidth = 0;
        }
        rowWidth += (rowWidth > 0 ? 12 : 0) + width;
        rows.back().emplace_back(&entry, width);
    }
    if (y + line * static_cast<double>(rows.size()) > inside.bottom()) {
        return y;
    }
    if (!yCaption.isEmpty()) {
        const QString caption = fonts.plain.elidedText(yCaption, Qt::ElideRight, inside.width());
        chart.add(TextMark(MarkRole::Caption, caption,
                           QRectF(inside.left(), y, fonts.width(caption), line), style.text));
    }
    for (const auto& row : rows) {
        double width = 0;
        for (const auto& [entry, w] : row) {
            width += (width > 0 ? 12 : 0) + w;
        }
        double x = std::max(inside.left(), inside.right() - width);
        for (const auto& [entry, w] : row) {
            if (x + w > inside.right() + 0.01) {
                break;  // an entry wider than the chart is left out
            }
            AddLegendSwatch(chart, *entry, QRectF(x, y + (line - swatch) / 2, swatch, swatch));
            chart.add(TextMark(MarkRole::Legend, entry->text,
                               QRectF(x + swatch + 4, y, w - swatch - 4, line), style.text));
            x += w + 12;
        }
        if (!row.empty() || !yCaption.isEmpty()) {
            y += line;
        }
    }
    return y;
}

namespace {

// The axis's ends for a tick step: the data's own, or, asked for nice ends,
// widened to multiples of the step and never empty.
void SetEnds(Axis& axis, const AxisPlan& plan, double lo, double hi, double step) {
    axis.lo = lo;
    axis.hi = hi;
    if (plan.niceEnds) {
        axis.lo = std::floor(lo / step + 1e-9) * step;
        axis.hi = std::ceil(hi / step - 1e-9) * step;
        if (!(axis.hi > axis.lo)) {
            axis.hi = axis.lo + step;
        }
    }
}

}  // namespace

Axis VerticalAxis(const AxisPlan& plan, double bottom, double top, double labelRight,
                  const ChartFonts& fonts) {
    Axis axis;
    axis.vertical = true;
    axis.caption = plan.caption;
    double lo = plan.lo;
    double hi = plan.hi;
    Widen(lo, hi);
    const double pixels = bottom - top;
    const double spacing = plan.minSpacing > 0 ? plan.minSpacing : kMinTickSpacing;
    double step = NiceAtLeast(std::max(plan.minStep, (hi - lo) * spacing / pixels));
    for (int tries = 0; tries < 64; ++tries) {
        SetEnds(axis, plan, lo, hi, step);
        if (pixels * step / (axis.hi - axis.lo) >= spacing) {
            break;
        }
        step = NextNice(step);
    }
    axis.step = step;
    axis.from = bottom;
    axis.to = top;
    for (const double value : TickValues(axis.lo, axis.hi, step)) {
        Tick tick;
        tick.value = value;
        tick.position = axis.map(value);
        tick.label = LabelOf(plan, value, step);
        const double width = fonts.width(tick.label);
        tick.labelRect =
            QRectF(labelRight - width, tick.position - fonts.line() / 2, width, fonts.line());
        axis.ticks.push_back(tick);
    }
    return axis;
}

Axis HorizontalAxis(const AxisPlan& plan, double left, double right, double labelTop, double minX,
                    double maxX, const ChartFonts& fonts) {
    Axis axis;
    axis.caption = plan.caption;
    double lo = plan.lo;
    double hi = plan.hi;
    Widen(lo, hi);
    const double pixels = right - left;
    double step = NiceAtLeast(std::max(plan.minStep, (hi - lo) * kFirstTickSpacing / pixels));
    for (int tries = 0; tries < 64; ++tries) {
        SetEnds(axis, plan, lo, hi, step);
        axis.from = left;
        axis.to = right;
        axis.step = step;
        axis.ticks.clear();
        bool overlap = false;
        for (const double value : TickValues(axis.lo, axis.hi, step)) {
            Tick tick;
            tick.value = value;
            tick.position = axis.map(value);
            tick.label = LabelOf(plan, value, step);
            const double width = fonts.width(tick.label);
            if (width <= maxX - minX) {
                const double x = std::clamp(tick.position - width / 2, minX, maxX - width);
                tick.labelRect = QRectF(x, labelTop, width, fonts.line());
            } else {
                tick.label.clear();
            }
            if (!axis.ticks.empty() && !tick.labelRect.isNull()) {
                for (auto before = axis.ticks.rbegin(); before != axis.ticks.rend(); ++before) {
                    if (!before->labelRect.isNull()) {
                        overlap = before->labelRect.right() + kLabelGap > tick.labelRect.left();
                        break;
                    }
                }
            }
            if (overlap) {
                break;
            }
            axis.ticks.push_back(tick);
        }
        if (!overlap) {
            break;
        }
        step = NextNice(step);
    }
    return axis;
}

void AddNote(ChartGeometry& chart, const ChartStyle& style, const QString& text,
             const QRectF& area) {
    const ChartFonts fonts(style);
    if (area.width() <= 0 || area.height() < fonts.line()) {
        return;
    }
    const QString shown = fonts.plain.elidedText(text, Qt::ElideRight, area.width());
    const double width = fonts.width(shown);
    chart.add(TextMark(MarkRole::Note, shown,
                       QRectF(area.center().x() - width / 2, area.center().y() - fonts.line() / 2,
                              width, fonts.line()),
                       style.axis, Qt::AlignCenter));
}

namespace {

void AddAxisMarks(ChartGeometry& chart, const ChartStyle& style, const Axis& axis,
                  const QRectF& plot) {
    const auto line = [&](MarkRole role, QPointF a, QPointF b, const QColor& color) {
        chart.add(LineMark(role, a, b, color));
    };
    for (const Tick& tick : axis.ticks) {
        const double p = tick.position;
        if (axis.vertical) {
            line(MarkRole::Grid, QPointF(plot.left(), p), QPointF(plot.right(), p), style.grid);
            line(MarkRole::Tick, QPointF(plot.left() - kTickLength, p), QPointF(plot.left(), p),
                 style.axis);
        } else {
            line(MarkRole::Grid, QPointF(p, plot.top()), QPointF(p, plot.bottom()), style.grid);
            line(MarkRole::Tick, QPointF(p, plot.bottom()), QPointF(p, plot.bottom() + kTickLength),
                 style.axis);
        }
        if (!tick.label.isEmpty()) {
            chart.add(TextMark(MarkRole::TickLabel, tick.label, tick.labelRect, style.text,
                               Qt::AlignCenter));
        }
    }
    if (axis.vertical) {
        line(MarkRole::Axis, plot.bottomLeft(), plot.topLeft(), style.axis);
    } else {
        line(MarkRole::Axis, plot.bottomLeft(), plot.bottomRight(), style.axis);
    }
}

}  // namespace

std::optional<XYFrame> LayOutXY(ChartGeometry& chart, const ChartStyle& style, double top,
                                const AxisPlan& x, const AxisPlan& y, const AxisPlan* strip,
                                double stripShare) {
    const ChartFonts fonts(style);
    const double line = fonts.line();
    const QRectF inside = chart.bounds.adjusted(kChartPad, kChartPad, -kChartPad, -kChartPad);
    // From the bottom: the x caption, the x labels, the ticks.
    const double captionTop = inside.bottom() - line;
    const double labelTop = captionTop - line - 1;
    const double bottom = labelTop - kTickLength - 1;
    // The top tick's label stands half a line above the plot.
    const double plotTop = top + line / 2 + 2;
    const double height = bottom - plotTop;
    const double stripHeight = strip != nullptr ? std::floor(height * stripShare) : 0;
    // The plot's lowest label and the strip's highest one, half a line each, need a gap of a line.
    const double mainBottom = strip != nullptr ? bottom - stripHeight - line - kStripGap : bottom;
    if (mainBottom - plotTop < kMinPlotHeight || (strip != nullptr && stripHeight < line * 1.5)) {
        AddNote(chart, style, QStringLiteral("no room"),
                QRectF(inside.left(), top, inside.width(), inside.bottom() - top));
        return std::nullopt;
    }

    XYFrame frame;
    // The y labels first: their width decides where the plot begins.
    frame.y = VerticalAxis(y, mainBottom, plotTop, 0, fonts);
    if (strip != nullptr) {
        frame.stripY = VerticalAxis(*strip, bottom, bottom - stripHeight, 0, fonts);
    }
    double labelWidth = 0;
    for (const Axis* axis : {&frame.y, &frame.stripY}) {
        for (const Tick& tick : axis->ticks) {
            labelWidth = std::max(labelWidth, tick.labelRect.width());
        }
    }
    const double left = inside.left() + labelWidth + kTickLength + 3;
    const double right = inside.right() - 1;
    if (right - left < kMinPlotWidth) {
        AddNote(chart, style, QStringLiteral("no room"),
                QRectF(inside.left(), top, inside.width(), inside.bottom() - top));
        return std::nullopt;
    }
    for (Axis* axis : {&frame.y, &frame.stripY}) {
        for (Tick& tick : axis->ticks) {
            tick.labelRect.moveRight(left - kTickLength - 3);
        }
    }
    // X labels stay under the plot, clear of the y labels on their left.
    frame.x = HorizontalAxis(x, left, right, labelTop, left - 2, inside.right(), fonts);

    frame.plot = QRectF(QPointF(left, plotTop), QPointF(right, mainBottom));
    frame.strip = strip != nullptr
                      ? QRectF(QPointF(left, bottom - stripHeight), QPointF(right, bottom))
                      : QRectF();
    chart.plot = frame.plot;
    chart.strip = frame.strip;

    const QRectF below = strip != nullptr ? frame.strip : frame.plot;
    // Grid lines of x run through both the plot and the strip.
    AddAxisMarks(chart, style, frame.y, frame.plot);
    if (strip != nullptr) {
        AddAxisMarks(chart, style, frame.stripY, frame.strip);
        for (const Tick& tick : frame.x.ticks) {
            chart.add(LineMark(MarkRole::Grid, QPointF(tick.position, frame.plot.top()),
                               QPointF(tick.position, frame.plot.bottom()), style.grid));
        }
        chart.add(LineMark(MarkRole::Axis, frame.plot.bottomLeft(), frame.plot.bottomRight(),
                           style.axis));
    }
    AddAxisMarks(chart, style, frame.x, below);

    const QString caption = fonts.plain.elidedText(x.caption, Qt::ElideRight, inside.width());
    const double captionWidth = fonts.width(caption);
    const double captionLeft = std::clamp(frame.plot.center().x() - captionWidth / 2, inside.left(),
                                          inside.right() - captionWidth);
    frame.x.captionRect = QRectF(captionLeft, captionTop, captionWidth, line);
    chart.add(
        TextMark(MarkRole::Caption, caption, frame.x.captionRect, style.text, Qt::AlignCenter));

    chart.axes = {frame.x, frame.y};
    if (strip != nullptr) {
        chart.axes.push_back(frame.stripY);
    }
    return frame;
}

}  // namespace axlewise

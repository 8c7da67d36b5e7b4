#include "drawing/charts/Charts.h"

#include "drawing/charts/ChartLayouts.h"

#include <QPainter>

#include <cmath>
#include <limits>

namespace axlewise {

Chart::Chart(ChartKind kind, std::shared_ptr<const SiteStats> stats, ChartStyle style)
    : kind_(kind), stats_(std::move(stats)), style_(std::move(style)) {}

QString Chart::title() const {
    switch (kind_) {
        case ChartKind::Gvw:
            return QStringLiteral("GVW");
        case ChartKind::Steering:
            return QStringLiteral("Steering axle");
        case ChartKind::Tandem:
            return QStringLiteral("Drive-tandem spacing");
        case ChartKind::Hourly:
            return QStringLiteral("Trucks per hour");
        case ChartKind::Speed:
            return QStringLiteral("Speed");
        case ChartKind::Axles:
            return QStringLiteral("Axles");
        case ChartKind::Checks:
            return QStringLiteral("Checks");
    }
    return {};
}

ChartGeometry Chart::layout(const QRectF& rect) const {
    switch (kind_) {
        case ChartKind::Gvw:
            return LayOutGvw(*stats_, rect, style_);
        case ChartKind::Steering:
            return LayOutDays(*stats_, true, rect, style_);
        case ChartKind::Tandem:
            return LayOutDays(*stats_, false, rect, style_);
        case ChartKind::Hourly:
            return LayOutHourly(*stats_, rect, style_);
        case ChartKind::Speed:
            return LayOutSpeed(*stats_, rect, style_);
        case ChartKind::Axles:
            return LayOutAxles(*stats_, rect, style_);
        case ChartKind::Checks:
            return LayOutChecks(*stats_, rect, style_);
    }
    return {};
}

void Chart::paint(QPainter& painter, const QRectF& rect) const {
    PaintChart(painter, layout(rect));
}

void PaintChart(QPainter& painter, const ChartGeometry& chart) {
    painter.save();
    painter.setClipRect(chart.bounds, Qt::IntersectClip);
    for (const Mark& mark : chart.marks) {
        QPen pen = Qt::NoPen;
        if (mark.stroke.alpha() != 0) {
            pen = QPen(mark.stroke, mark.penWidth, mark.dashed ? Qt::DashLine : Qt::SolidLine,
                       Qt::FlatCap, Qt::MiterJoin);
        }
        const QBrush brush = mark.fill.alpha() != 0 ? QBrush(mark.fill) : QBrush(Qt::NoBrush);
        switch (mark.shape) {
            case Mark::Shape::Rect:
                // Crisp edges for bars and areas; curves and lines are smoothed.
                painter.setRenderHint(QPainter::Antialiasing, false);
                painter.setPen(pen);
                painter.setBrush(brush);
                painter.drawRect(mark.rect);
                break;
            case Mark::Shape::Ellipse:
                painter.setRenderHint(QPainter::Antialiasing, true);
                painter.setPen(pen);
                painter.setBrush(brush);
                painter.drawEllipse(mark.rect);
                break;
            case Mark::Shape::Polyline:
                painter.setRenderHint(QPainter::Antialiasing, true);
                painter.setPen(pen);
                painter.setBrush(Qt::NoBrush);
                painter.drawPolyline(mark.points);
                break;
            case Mark::Shape::Text: {
                // A text's rectangle is as wide as the text. Laid out in
                // exactly that width, Qt drops an underscore ("AXLE_COUNT"),
                // so it is drawn centred in a slightly wider one, on whole
                // pixels where thin strokes stay sharp.
                QRectF rect = mark.rect.adjusted(-2, 0, 2, 0);
                rect.moveTopLeft(QPointF(std::round(rect.left()), std::round(rect.top())));
                const int flags = (mark.flags & ~int(Qt::AlignHorizontal_Mask)) | Qt::AlignHCenter |
                                  Qt::TextSingleLine;
                painter.setFont(mark.bold ? chart.titleFont : chart.font);
                painter.setPen(mark.stroke);
                painter.drawText(rect, flags, mark.text);
                break;
            }
        }
    }
    painter.restore();
}

std::optional<int> ItemAt(const ChartGeometry& chart, QPointF point) {
    std::optional<int> nearest;
    double best = std::numeric_limits<double>::infinity();
    for (const HitArea& area : chart.items) {
        if (!area.rect.contains(point)) {
            continue;
        }
        const double distance =
            std::hypot(point.x() - area.centre.x(), point.y() - area.centre.y());
        if (distance < best) {
            best = distance;
            nearest = area.item;
        }
    }
    return nearest;
}

}  // namespace axlewise

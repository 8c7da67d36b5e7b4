#pragma once

#include "drawing/charts/ChartGeometry.h"
#include "stats/SiteStats.h"

namespace axlewise {

// The layout of each kind of chart (see ChartKind); Chart picks one.
ChartGeometry LayOutGvw(const SiteStats& stats, const QRectF& rect, const ChartStyle& style);
ChartGeometry LayOutSpeed(const SiteStats& stats, const QRectF& rect, const ChartStyle& style);
ChartGeometry LayOutAxles(const SiteStats& stats, const QRectF& rect, const ChartStyle& style);
// steering: WT AX 1, else S AX 2 - AX 3.
ChartGeometry LayOutDays(const SiteStats& stats, bool steering, const QRectF& rect,
                         const ChartStyle& style);
ChartGeometry LayOutHourly(const SiteStats& stats, const QRectF& rect, const ChartStyle& style);
ChartGeometry LayOutChecks(const SiteStats& stats, const QRectF& rect, const ChartStyle& style);

}  // namespace axlewise

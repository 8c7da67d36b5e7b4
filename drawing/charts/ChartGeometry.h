#pragma once

#include <QColor>
#include <QFont>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <array>
#include <vector>

namespace axlewise {

// How a chart looks: its fonts (sized in pixels, so a chart measures the same
// on a screen, a QImage and an SVG) and colours.
struct ChartStyle {
    QFont font;
    QFont titleFont;
    QColor background;
    QColor text;
    QColor axis;
    QColor grid;
    QColor allTrucks;              // the grey of all trucks under the five-axle ones
    QColor accent;                 // five-axle trucks, medians
    QColor band;                   // the ±5 % band
    QColor failed;                 // check bars
    std::array<QColor, 8> series;  // lines of the lanes and directions
};

// Liberation Sans (the set-up installs it) at 12 pixels, the title at 13 in bold.
ChartStyle DefaultChartStyle();

// What a mark is in the chart: tests pick marks by role, the painter ignores it.
enum class MarkRole {
    Background,
    Title,
    Caption,  // an axis caption: "GVW", "trucks", ...
    Legend,   // a legend's swatch or text
    Grid,
    Axis,  // an axis line
    Tick,
    TickLabel,
    Band,  // the ±5 % band and its middle line
    Bar,
    Point,
    Line,
    Marker,       // a peak's line
    MarkerLabel,  // a peak's text
    ValueLabel,   // a bar's count and share
    Note,         // "no data", "no room"
};

// One thing drawn, in logical pixels of the chart's rectangle.
struct Mark {
    enum class Shape { Rect, Ellipse, Polyline, Text };

    MarkRole role = MarkRole::Background;
    Shape shape = Shape::Rect;
    QRectF rect;                      // Rect, Ellipse, Text: where; Polyline: its points' bounds
    QPolygonF points;                 // Polyline only
    QColor fill = Qt::transparent;    // Rect, Ellipse: transparent for a hollow one
    QColor stroke = Qt::transparent;  // outline, line or text colour
    qreal penWidth = 1;
    bool dashed = false;
    QString text;       // Text only
    int flags = 0;      // Qt::AlignmentFlag of the text in rect
    bool bold = false;  // the title font instead of the chart font
    int series = -1;    // which series (bars of all trucks 0, five-axle 1; a lane's line)
    int item = -1;      // what a click on it means (see ItemAt), -1 for nothing

    // Every pixel the mark may touch: rect grown by half the pen.
    QRectF extent() const;
};

struct Tick {
    double value = 0;
    double position = 0;  // pixel x (horizontal axis) or y (vertical axis)
    QString label;
    QRectF labelRect;
};

// A linear axis between two pixel positions.
struct Axis {
    bool vertical = false;
    double lo = 0;  // the value at `from`
    double hi = 1;  // the value at `to`
    double from = 0;
    double to = 1;
    double step = 1;  // between ticks
    std::vector<Tick> ticks;
    QString caption;
    QRectF captionRect;

    double map(double value) const { return from + (value - lo) * (to - from) / (hi - lo); }
    double unmap(double position) const { return lo + (position - from) * (hi - lo) / (to - from); }
};

// A clickable area and what clicking it means.
struct HitArea {
    int item = -1;
    QRectF rect;
    QPointF centre;  // of several areas under the point, the nearest centre wins
};

// Everything a chart draws in a rectangle, computed from the figures alone:
// tests read the geometry, the painter draws its marks in order.
struct ChartGeometry {
    QRectF bounds;
    QRectF plot;             // the area inside the axes (empty when nothing is plotted)
    QRectF strip;            // the day charts' count strip under the plot (else empty)
    std::vector<Axis> axes;  // x first, then y, then the strip's y
    std::vector<Mark> marks;
    std::vector<HitArea> items;
    QFont font;
    QFont titleFont;
    bool noData = false;

    Mark& add(Mark mark) {
        marks.push_back(std::move(mark));
        return marks.back();
    }
    // The marks of a role, in drawing order.
    std::vector<const Mark*> marksOf(MarkRole role) const;
};

}  // namespace axlewise

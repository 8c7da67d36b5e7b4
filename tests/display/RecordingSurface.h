#pragma once

#include "display/DrawingSurface.h"

#include <QStringList>

namespace axlewise {

// A drawing surface for tests: it logs circles and texts since the last Cls.
class RecordingSurface : public DrawingSurface {
public:
    void Cls() override;
    void Scale(float x1, float y1, float x2, float y2) override { scale = {x1, y1, x2, y2}; }
    float ScaleTop() const override { return scale[1]; }
    void setFillStyle(FillStyle) override {}
    void setFillColor(std::uint32_t) override {}
    void setDrawMode(DrawMode drawMode) override { mode = drawMode; }
    // Logs "r5@(40,0) invert": the radius, the centre and the draw mode in force.
    void Circle(float x, float y, float radius) override;
    void setCurrentX(float x) override { currentX = x; }
    void setCurrentY(float y) override { currentY = y; }
    // Logs " 60 @(0,-10)", text and start; the next starts 2.5 down at the left edge.
    void Print(std::string_view text) override;

    DrawMode mode = DrawMode::CopyPen;
    QList<float> scale{0, 0, 0, 0};  // the last Scale: left, top, right, bottom
    float currentX = 0.0F, currentY = 0.0F;
    QStringList circles;
    QStringList prints;
};

}  // namespace axlewise

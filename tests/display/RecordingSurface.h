#pragma once

#include "display/DrawingSurface.h"

#include <QStringList>

namespace axlewise {

// A drawing surface for tests: it logs circles and texts since the last Cls.
// Its text is 2 units wide per character and 2.5 units high a line, so label
// extents can be worked out by hand.
class RecordingSurface : public DrawingSurface {
public:
    static constexpr float kCharWidth = 2.0F;
    static constexpr float kLineHeight = 2.5F;

    // Counts the call, empties the logs and puts the text position at (0, 0).
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
    // Logs " 60 @(0,-10)", text and start, with " halo" after it while the halo
    // is on; the next starts one line down at the left edge.
    void Print(std::string_view text) override;
    // kCharWidth per character (a UTF-8 sequence counts once).
    float TextWidth(std::string_view text) const override;
    float TextHeight() const override { return kLineHeight; }

    DrawMode mode = DrawMode::CopyPen;
    QList<float> scale{0, 0, 0, 0};  // the last Scale: left, top, right, bottom
    float currentX = 0.0F, currentY = 0.0F;
    int clears = 0;
    QStringList circles;
    QStringList prints;
};

}  // namespace axlewise

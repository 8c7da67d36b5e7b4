#pragma once

#include "display/DrawingSurface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace axlewise {

// A drawing surface for tests: it keeps every operation instead of painting.
// circles() and prints() hold what is on the surface since the last Cls;
// log() holds every call ever made, in order, as text such as
// "Scale(-10,-35,200,5)" or "Circle(40,0,5)".
class RecordingSurface : public DrawingSurface {
public:
    struct RecordedCircle {
        float x;
        float y;
        float radius;
        DrawMode mode;  // the draw mode in force when it was drawn
        FillStyle fillStyle;
        std::uint32_t fillColor;
    };
    struct RecordedPrint {
        std::string text;
        float x;  // where the text started
        float y;
    };

    // lineHeight: how far a Print moves CurrentY down, in user units.
    // initialMode: the draw mode of a surface that nothing has drawn on yet.
    explicit RecordingSurface(float lineHeight = 2.5F, DrawMode initialMode = DrawMode::CopyPen);

    void Cls() override;
    void Scale(float x1, float y1, float x2, float y2) override;
    float ScaleTop() const override { return top_; }
    void setFillStyle(FillStyle style) override;
    void setFillColor(std::uint32_t rgb) override;
    void setDrawMode(DrawMode mode) override;
    void Circle(float x, float y, float radius) override;
    float CurrentX() const override { return currentX_; }
    float CurrentY() const override { return currentY_; }
    void setCurrentX(float x) override;
    void setCurrentY(float y) override;
    void Print(std::string_view text) override;

    DrawMode drawMode() const { return mode_; }
    const std::vector<RecordedCircle>& circles() const { return circles_; }
    const std::vector<RecordedPrint>& prints() const { return prints_; }
    const std::vector<std::string>& log() const { return log_; }

private:
    void record(const std::string& call);

    float lineHeight_;
    DrawMode mode_;
    FillStyle fillStyle_ = FillStyle::Transparent;
    std::uint32_t fillColor_ = 0;
    // Until Scale is called the surface counts in units from its top-left corner.
    float left_ = 0.0F;
    float top_ = 0.0F;
    float currentX_ = 0.0F;
    float currentY_ = 0.0F;
    std::vector<RecordedCircle> circles_;
    std::vector<RecordedPrint> prints_;
    std::vector<std::string> log_;
};

}  // namespace axlewise

#include "RecordingSurface.h"

#include <sstream>

namespace axlewise {

namespace {

std::string Number(float value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

}  // namespace

RecordingSurface::RecordingSurface(float lineHeight, DrawMode initialMode)
    : lineHeight_(lineHeight), mode_(initialMode) {}

void RecordingSurface::record(const std::string& call) {
    log_.push_back(call);
}

void RecordingSurface::Cls() {
    record("Cls");
    circles_.clear();
    prints_.clear();
    currentX_ = 0.0F;
    currentY_ = 0.0F;
}

void RecordingSurface::Scale(float x1, float y1, float x2, float y2) {
    record("Scale(" + Number(x1) + "," + Number(y1) + "," + Number(x2) + "," + Number(y2) + ")");
    left_ = x1;
    top_ = y1;
}

void RecordingSurface::setFillStyle(FillStyle style) {
    record("FillStyle=" + std::to_string(static_cast<int>(style)));
    fillStyle_ = style;
}

void RecordingSurface::setFillColor(std::uint32_t rgb) {
    record("FillColor=" + std::to_string(rgb));
    fillColor_ = rgb;
}

void RecordingSurface::setDrawMode(DrawMode mode) {
    record("DrawMode=" + std::to_string(static_cast<int>(mode)));
    mode_ = mode;
}

void RecordingSurface::Circle(float x, float y, float radius) {
    record("Circle(" + Number(x) + "," + Number(y) + "," + Number(radius) + ")");
    circles_.push_back({x, y, radius, mode_, fillStyle_, fillColor_});
    currentX_ = x;
    currentY_ = y;
}

void RecordingSurface::setCurrentX(float x) {
    record("CurrentX=" + Number(x));
    currentX_ = x;
}

void RecordingSurface::setCurrentY(float y) {
    record("CurrentY=" + Number(y));
    currentY_ = y;
}

void RecordingSurface::Print(std::string_view text) {
    record("Print(" + std::string(text) + ")");
    prints_.push_back({std::string(text), currentX_, currentY_});
    currentY_ += lineHeight_;
    currentX_ = left_;
}

}  // namespace axlewise

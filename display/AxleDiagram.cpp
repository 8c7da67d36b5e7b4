#include "display/AxleDiagram.h"

#include "records/RuntimeError.h"

#include <cstdlib>
#include <vector>

namespace axlewise {

namespace {

// The user scale of the diagram; it is the same for every truck.
constexpr float kLeft = -10.0F;
constexpr float kTop = -35.0F;
constexpr float kRight = 200.0F;
constexpr float kBottom = 5.0F;

constexpr float kWheelRadius = 5.0F;
// 5/3 worked out in double precision and handed over in single precision.
constexpr float kHubRadius = static_cast<float>(5.0 / 3.0);

constexpr float kWeightRow = -10.0F;
constexpr float kShareRow = -15.0F;
// The gross weight line stands this far below the top edge.
constexpr float kGvwLineOffset = 5.0F;

// Reads element `index` of an axle array; an index the array does not hold
// raises error 9 instead of reading past its end.
std::int16_t Element(const std::vector<std::int16_t>& values, int index, const char* name) {
    if (index < 0 || static_cast<std::size_t>(index) >= values.size()) {
        throw SubscriptError(name, index, 0, static_cast<std::int64_t>(values.size()) - 1);
    }
    return values[static_cast<std::size_t>(index)];
}

void DrawAxle(DrawingSurface& pic, float x) {
    pic.setFillStyle(FillStyle::Solid);
    pic.setFillColor(0x000000);
    // The wheel takes whatever draw mode is in force; the hub always inverts
    // the middle of it, and invert mode stays on for everything drawn after.
    pic.Circle(x, 0.0F, kWheelRadius);
    pic.setDrawMode(DrawMode::Invert);
    pic.Circle(x, 0.0F, kHubRadius);
}

}  // namespace

std::string ShareText(std::int16_t weight, std::int16_t gvw, std::string_view decimalSeparator) {
    if (gvw == 0) {
        throw RuntimeError(ErrorNumber::DivisionByZero,
                           "the share of an axle needs a gross weight other than 0");
    }
    // The share in tenths of a percent is weight * 1000 / gvw. Worked out on
    // integers it is exact, so a decimal half (247/2000 = 12.35%) rounds away
    // from zero as it should rather than by the binary noise of a double.
    const std::int64_t numerator = std::abs(std::int64_t{weight} * 1000);
    const std::int64_t denominator = std::abs(std::int64_t{gvw});
    const std::int64_t tenths = (2 * numerator + denominator) / (2 * denominator);
    // A share that rounds to nothing gets no sign: "-.%" would read as a fault.
    const bool negative = tenths != 0 && ((weight < 0) != (gvw < 0));

    std::string text;
    if (negative) {
        text += '-';
    }
    if (tenths / 10 != 0) {
        text += std::to_string(tenths / 10);
    }
    text += decimalSeparator;
    if (tenths % 10 != 0) {
        text += static_cast<char>('0' + tenths % 10);
    }
    text += '%';
    return text;
}

void DrawTruck(DrawingSurface& pic, const BrowserState& state, std::string_view decimalSeparator) {
    // With no gross weight there is no share to show; everything else is drawn.
    const bool showShares = state.GVW != 0;

    pic.Cls();
    pic.Scale(kLeft, kTop, kRight, kBottom);

    // The first axle. Its share label starts wherever the weight label's Print
    // left the text position: at the start of a new line.
    DrawAxle(pic, 0.0F);
    pic.setCurrentY(kWeightRow);
    const std::int16_t firstWeight = Element(state.AxleWeights, 1, "AxleWeights");
    pic.PrintInteger(firstWeight);
    if (showShares) {
        pic.setCurrentY(kShareRow);
        pic.Print(ShareText(firstWeight, state.GVW, decimalSeparator));
    }

    // Each later axle stands at the running sum of the spacings before it; the
    // circle leaves the text position at its centre for the weight label.
    const int noAxles = state.NoAxles;
    int axlePos = 0;
    for (int i = 2; i <= noAxles; ++i) {
        axlePos += Element(state.AxleSpacings, i - 1, "AxleSpacings");
        const auto x = static_cast<float>(axlePos);
        DrawAxle(pic, x);
        pic.setCurrentY(kWeightRow);
        const std::int16_t weight = Element(state.AxleWeights, i, "AxleWeights");
        pic.PrintInteger(weight);
        if (showShares) {
            pic.setCurrentY(kShareRow);
            pic.setCurrentX(x);
            pic.Print(ShareText(weight, state.GVW, decimalSeparator));
        }
    }

    pic.setCurrentY(pic.ScaleTop() + kGvwLineOffset);
    pic.setCurrentX(0.0F);
    pic.Print("GVW: " + std::to_string(state.GVW));
}

}  // namespace axlewise

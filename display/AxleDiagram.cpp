#include "display/AxleDiagram.h"

#include "records/IntegerText.h"
#include "records/RuntimeError.h"

#include <cstdlib>
#include <optional>
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
// An axle whose labels would run into its neighbour's is lifted by this many
// text lines; two lines clear the neighbour's pair and still fit under the
// gross weight line.
constexpr float kLiftLines = 2.0F;

// Around the count of axles beyond an edge: "◄ 1 more", "2 more ►".
constexpr std::string_view kLeftMarkStart = "\u25C4 ";
constexpr std::string_view kMarkEnd = " more";
constexpr std::string_view kRightMarkEnd = " more \u25BA";

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

// The stretch along x that a label covers: from its start to the end of its
// advance, blanks included, whichever way the scale runs.
struct Extent {
    float from;
    float to;
};

Extent LabelExtent(const DrawingSurface& pic, float x, std::string_view text) {
    const float width = pic.TextWidth(text);
    return width < 0 ? Extent{x + width, x} : Extent{x, x + width};
}

// The labels drawn at one height: a weight row and the share row above it.
struct LabelPlace {
    // Labels closer than this run into each other: with less than a blank
    // between them, "19.4%" and "19.4%" read as one "19.4%19.4%".
    float gap = 0;
    std::vector<Extent> weights;
    std::vector<Extent> shares;

    // Whether a new label pair would run into one already here.
    bool taken(const Extent& weight, const std::optional<Extent>& share) const {
        const auto hits = [this](const std::vector<Extent>& row, const Extent& extent) {
            for (const Extent& other : row) {
                if (extent.from < other.to + gap && other.from < extent.to + gap) {
                    return true;
                }
            }
            return false;
        };
        return hits(weights, weight) || (share && hits(shares, *share));
    }

    void add(const Extent& weight, const std::optional<Extent>& share) {
        weights.push_back(weight);
        if (share) {
            shares.push_back(*share);
        }
    }
};

// Prints the count of axles beyond each edge on the top row, the row of the
// gross weight line, where no wheel and no label ever stands: "2 more ►"
// right-aligned to the right edge, "◄ 1 more" two blanks after the gross
// weight line, which starts at the left.
void DrawEdgeMarks(DrawingSurface& pic, float y, float gvwLineEnd, int beyondLeft,
                   int beyondRight) {
    if (beyondLeft > 0) {
        pic.setCurrentX(gvwLineEnd + pic.TextWidth("  "));
        pic.setCurrentY(y);
        pic.Print(std::string(kLeftMarkStart) + std::to_string(beyondLeft) + std::string(kMarkEnd));
    }
    if (beyondRight > 0) {
        const std::string text = std::to_string(beyondRight) + std::string(kRightMarkEnd);
        pic.setCurrentX(kRight - pic.TextWidth(text));
        pic.setCurrentY(y);
        pic.Print(text);
    }
}

}  // namespace

std::string ShareText(std::int16_t weight, std::int16_t gvw, std::string_view decimalSeparator) {
    if (gvw == 0) {
        throw RuntimeError(ErrorNumber::DivisionByZero,
                           "the share of an axle needs a gross weight other than 0");
    }
    const std::int64_t tenths = TenthsOfPercent(weight, gvw);
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
    // Asked after Scale: the line height depends on the scale.
    const float lift = kLiftLines * pic.TextHeight();

    // The labels on the rows as given; lifted ones are not kept, as no pair is
    // ever checked against them.
    LabelPlace low;
    low.gap = std::abs(pic.TextWidth(" "));
    int beyondLeft = 0;
    int beyondRight = 0;
    // Each axle stands at the running sum of the spacings before it; the first at 0.
    const int noAxles = state.NoAxles;
    int axlePos = 0;
    for (int i = 1; i <= noAxles; ++i) {
        if (i > 1) {
            axlePos += Element(state.AxleSpacings, i - 1, "AxleSpacings");
        }
        const auto x = static_cast<float>(axlePos);
        DrawAxle(pic, x);
        if (x < kLeft) {
            ++beyondLeft;
        } else if (x > kRight) {
            ++beyondRight;
        }

        const std::int16_t weight = Element(state.AxleWeights, i, "AxleWeights");
        const std::string weightText = DrawingSurface::PrintIntegerText(weight);
        std::string shareText;
        // The first axle's share starts where a new line starts, at the left
        // edge of the scale; every other label starts at its axle.
        const float shareX = i == 1 ? kLeft : x;
        std::optional<Extent> shareExtent;
        if (showShares) {
            shareText = ShareText(weight, state.GVW, decimalSeparator);
            shareExtent = LabelExtent(pic, shareX, shareText);
        }
        const Extent weightExtent = LabelExtent(pic, x, weightText);

        // A pair that would run into a label already on the given rows goes up
        // two lines, above its neighbour's pair. The place up there is not
        // checked: there is no third one to go to.
        const bool lifted = low.taken(weightExtent, shareExtent);
        if (!lifted) {
            low.add(weightExtent, shareExtent);
        }
        const float dy = lifted ? -lift : 0.0F;

        pic.setCurrentX(x);
        pic.setCurrentY(kWeightRow + dy);
        pic.Print(weightText);
        if (showShares) {
            pic.setCurrentX(shareX);
            pic.setCurrentY(kShareRow + dy);
            pic.Print(shareText);
        }
    }

    const float topRow = pic.ScaleTop() + kGvwLineOffset;
    const std::string gvwLine = "GVW: " + std::to_string(state.GVW);
    pic.setCurrentY(topRow);
    pic.setCurrentX(0.0F);
    pic.Print(gvwLine);

    DrawEdgeMarks(pic, topRow, pic.TextWidth(gvwLine), beyondLeft, beyondRight);
}

}  // namespace axlewise

#pragma once

#include "display/DrawingSurface.h"
#include "records/BrowserState.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace axlewise {

// An axle's share of the gross weight by the pattern "##.#%": weight / gvw x 100
// rounded to one decimal, a decimal half going away from zero (computed exactly,
// so 247/2000 gives 12.4%); no leading zero; the separator always written; the
// tenths digit left out when it is 0; then "%"; a minus sign when negative.
// 50/200 -> "25.%", 1/250 -> ".4%", 0/200 -> ".%". gvw must not be 0.
std::string ShareText(std::int16_t weight, std::int16_t gvw,
                      std::string_view decimalSeparator = ".");

// Draws the side view of the truck last shown, from state.NoAxles, GVW,
// AxleWeights and AxleSpacings (read only), on a scale of (-10, -35)-(200, 5):
// per axle a wheel of radius 5 and an inverted hub of radius 5/3 on y = 0 at the
// running sum of the spacings, its weight label at y = -10 and its share at
// y = -15, both starting at the axle's x (the first axle's share at x = -10);
// then "GVW: " and the weight at ScaleTop + 5.
// When either label of an axle would overlap an earlier axle's label on those
// rows (extents [x, x + TextWidth] that meet), both of its labels go two text
// lines (2 * TextHeight) higher.
// Axles whose centre lies beyond an edge (x < -10 or x > 200) keep their places
// and are counted last of all on the row of the gross weight line, where no
// wheel or label stands: "◄ 1 more" two blanks after "GVW: 385", "2 more ►"
// ending at the right edge.
// The first wheel is drawn in the surface's current draw mode, everything after
// it in invert mode, which the surface keeps. With a GVW of 0 no share exists:
// the share labels are left out and the rest is drawn. A missing array element
// raises RuntimeError 9.
void DrawTruck(DrawingSurface& pic, const BrowserState& state,
               std::string_view decimalSeparator = ".");

}  // namespace axlewise

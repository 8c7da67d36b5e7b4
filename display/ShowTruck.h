#pragma once

#include "checks/TruckChecks.h"
#include "display/DrawingSurface.h"
#include "display/MsgIcon.h"
#include "records/BrowserState.h"

#include <string>
#include <string_view>

namespace axlewise {

// What ShowTruck writes to: the value column, a message box and the picture.
// The window implements it with its widgets; tests with plain doubles.
class TruckView {
public:
    virtual ~TruckView() = default;

    // Replaces the whole text of the value column (txtTruck).
    virtual void setTruckText(const std::string& text) = 0;
    // Shows the checks of the truck on show (lblChecks): none failed when empty.
    virtual void setChecks(const std::vector<CheckFailure>& failures) = 0;
    // A modal message box with an OK button and the caption "Axlewise".
    virtual void MsgBox(const std::string& text, MsgIcon icon) = 0;
    // The surface of the axle diagram (picTruck).
    virtual DrawingSurface& picture() = 0;
    // The text box's own line break.
    virtual std::string_view lineBreak() const { return "\n"; }
    // The locale's decimal separator, for Time and the shares.
    virtual std::string_view decimalSeparator() const { return "."; }
};

inline constexpr std::string_view kGeometryMessage = "This truck's geometry is erroneous";

// Shows the truck at state.CurrentTruck: writes the index line first, then looks
// the truck up (RuntimeError 9 when it is outside the list, with the index line
// already shown), writes all 34 lines and the truck's checks (TruckFailures:
// within its load, ORDER included), sets GVW and NoAxles. With fewer than two
// axles it clears the picture, shows kGeometryMessage (critical icon) and leaves
// the axle arrays as they were. Otherwise it refills AxleWeights (1..NoAxles) and
// AxleSpacings (1..NoAxles-1) and calls DrawTruck. Errors pass through.
void ShowTruck(BrowserState& state, TruckView& view);

}  // namespace axlewise

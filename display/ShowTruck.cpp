#include "display/ShowTruck.h"

#include "checks/LoadChecks.h"
#include "display/AxleDiagram.h"
#include "display/TruckPanel.h"
#include "records/FieldTable.h"
#include "records/RuntimeError.h"

#include <vector>

namespace axlewise {

namespace {

// Data(index) of a record. The axle count comes from the record itself, so a
// record that claims more axles than the line has columns for must not lead
// past the end of Data: that is error 9.
std::int16_t DataAt(const TruckRecord& record, int index) {
    if (index < 0 || index > kFieldCount) {
        throw SubscriptError("Data", index, 0, kFieldCount);
    }
    return record.Data[static_cast<std::size_t>(index)];
}

}  // namespace

void ShowTruck(BrowserState& state, TruckView& view) {
    const std::string_view lineBreak = view.lineBreak();

    // The index goes up before the truck is looked up, so an index outside the
    // list is still on show when the lookup raises error 9.
    std::string indexLine = std::to_string(state.CurrentTruck);
    indexLine += lineBreak;
    view.setTruckText(indexLine);

    const TruckRecord& truck = state.Truck(state.CurrentTruck);
    view.setTruckText(TruckText(state.CurrentTruck, truck, lineBreak, view.decimalSeparator()));
    view.setChecks(TruckFailures(state, state.CurrentTruck));

    state.GVW = DataAt(truck, kGvwField);
    state.NoAxles = DataAt(truck, kNoAxlesField);
    if (state.NoAxles <= 1) {
        // Not an error: the arrays keep the previous truck. The picture does
        // not: it would show another truck's axles beside this one's values,
        // so it is cleared before the message appears.
        view.picture().Cls();
        view.MsgBox(std::string(kGeometryMessage), MsgIcon::Critical);
        return;
    }

    // Built aside and swapped in whole, so a record that fails half-way leaves
    // the arrays of the previous truck as they were.
    const int noAxles = state.NoAxles;
    std::vector<std::int16_t> weights(static_cast<std::size_t>(noAxles) + 1, 0);
    std::vector<std::int16_t> spacings(static_cast<std::size_t>(noAxles), 0);
    for (int i = 1; i <= noAxles; ++i) {
        weights[static_cast<std::size_t>(i)] = DataAt(truck, AxleWeightField(i));
    }
    for (int k = 1; k <= noAxles - 1; ++k) {
        spacings[static_cast<std::size_t>(k)] = DataAt(truck, AxleSpacingField(k));
    }
    state.AxleWeights = std::move(weights);
    state.AxleSpacings = std::move(spacings);

    DrawTruck(view.picture(), state, view.decimalSeparator());
}

}  // namespace axlewise

#include "checks/LoadChecks.h"

namespace axlewise {

CheckMask LoadChecker::next(const TruckRecord& truck, TruckIndex number) {
    CheckMask failed = FailedChecks(truck, hasPrevious_ ? &previous_ : nullptr);
    if (order_.nextFails(truck, number)) {
        failed = static_cast<CheckMask>(failed | MaskOf(CheckCode::Order));
    }
    previous_.Data = truck.Data;
    hasPrevious_ = true;
    return failed;
}

std::vector<CheckFailure> TruckFailures(const BrowserState& state, TruckIndex index) {
    const TruckRecord& truck = state.Truck(index);
    const TruckIndex loadStart = state.LoadStartOf(index);
    const TruckIndex before = index - 1;
    std::vector<CheckFailure> failures =
        CheckTruck(truck, before >= loadStart ? &state.Truck(before) : nullptr, before);
    if ((state.Checks(index) & MaskOf(CheckCode::Order)) != 0) {
        // The truck it follows in its lane and direction is the nearest one
        // before it there; the load's mask says it passed later.
        for (TruckIndex other = before; other >= loadStart; --other) {
            const TruckRecord& candidate = state.Truck(other);
            if (SameLaneAndDirection(truck, candidate)) {
                failures.push_back(OrderFailure(truck, candidate, other));
                break;
            }
        }
    }
    return failures;
}

}  // namespace axlewise

#include "checks/LoadChecks.h"

#include <exception>
#include <thread>

namespace axlewise {

namespace {

// Below this many trucks a second thread costs more than it saves.
constexpr TruckIndex kTwoThreadsFrom = 20'000;

}  // namespace

CheckMask LoadChecker::next(const TruckRecord& truck, TruckIndex number) {
    CheckMask failed = FailedChecks(truck, hasPrevious_ ? &previous_ : nullptr);
    if (order_.nextFails(truck, number)) {
        failed = static_cast<CheckMask>(failed | MaskOf(CheckCode::Order));
    }
    previous_.Data = truck.Data;
    hasPrevious_ = true;
    return failed;
}

void CheckLoadedTrucks(TruckStore& trucks) {
    const TruckIndex first = trucks.first();
    const TruckIndex last = trucks.last();
    if (trucks.count() < kTwoThreadsFrom) {
        LoadChecker checker;
        for (TruckIndex n = first; n <= last; ++n) {
            trucks.setChecks(n, checker.next(trucks.truck(n), n));
        }
        return;
    }
    // The other thread only reads the trucks and writes its own list; this one
    // writes the masks, which lie apart from the trucks.
    std::vector<TruckIndex> outOfOrder;
    std::exception_ptr failed;
    std::thread order([&] {
        try {
            OrderCheck check;
            for (TruckIndex n = first; n <= last; ++n) {
                if (check.nextFails(trucks.truck(n), n)) {
                    outOfOrder.push_back(n);
                }
            }
        } catch (...) {
            failed = std::current_exception();
        }
    });
    for (TruckIndex n = first; n <= last; ++n) {
        trucks.setChecks(n,
                         FailedChecks(trucks.truck(n), n > first ? &trucks.truck(n - 1) : nullptr));
    }
    order.join();
    if (failed) {
        std::rethrow_exception(failed);
    }
    for (const TruckIndex n : outOfOrder) {
        trucks.setChecks(n, static_cast<CheckMask>(trucks.checks(n) | MaskOf(CheckCode::Order)));
    }
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

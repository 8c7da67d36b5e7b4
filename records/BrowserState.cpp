#include "records/BrowserState.h"

#include "records/RuntimeError.h"

#include <algorithm>

namespace axlewise {

void BrowserState::AddTruck(TruckRecord record) {
    if (Trucks.empty()) {
        Trucks.emplace_back();  // index 0, never used
    }
    Trucks.push_back(std::move(record));
    ++NoTrucks;
}

void BrowserState::ReserveTrucks(TruckIndex more) {
    const auto needed = static_cast<std::size_t>(NoTrucks + 1 + std::max<TruckIndex>(more, 0));
    if (needed > Trucks.capacity()) {
        // Never less than doubling, so that many loads in a row stay linear.
        Trucks.reserve(std::max(needed, 2 * Trucks.capacity()));
    }
}

const TruckRecord& BrowserState::Truck(TruckIndex index) const {
    if (!HoldsTruck(index)) {
        throw SubscriptError("Trucks", index, 1, NoTrucks);
    }
    return Trucks[static_cast<std::size_t>(index)];
}

}  // namespace axlewise

#include "records/BrowserState.h"

#include "records/RuntimeError.h"

#include <algorithm>
#include <cassert>

namespace axlewise {

void BrowserState::AddTrucks(TruckStore&& batch) {
    assert(batch.first() == NoTrucks + 1);
    if (batch.empty()) {
        return;
    }
    LoadStarts.push_back(batch.first());
    NoTrucks += batch.count();
    Trucks.append(std::move(batch));
}

void BrowserState::AddTruck(TruckRecord record, CheckMask failed) {
    if (LoadStarts.empty()) {
        LoadStarts.push_back(NoTrucks + 1);
    }
    Trucks.add(std::move(record), failed);
    ++NoTrucks;
}

TruckIndex BrowserState::LoadStartOf(TruckIndex index) const {
    assert(HoldsTruck(index) && !LoadStarts.empty());
    return *(std::upper_bound(LoadStarts.begin(), LoadStarts.end(), index) - 1);
}

const TruckRecord& BrowserState::Truck(TruckIndex index) const {
    if (!HoldsTruck(index)) {
        throw SubscriptError("Trucks", index, 1, NoTrucks);
    }
    return Trucks.truck(index);
}

CheckMask BrowserState::Checks(TruckIndex index) const {
    if (!HoldsTruck(index)) {
        throw SubscriptError("Trucks", index, 1, NoTrucks);
    }
    return Trucks.checks(index);
}

}  // namespace axlewise

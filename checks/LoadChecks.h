#pragma once

#include "checks/OrderCheck.h"
#include "checks/TruckChecks.h"
#include "records/BrowserState.h"
#include "records/modUDTs.h"

#include <vector>

namespace axlewise {

// The checks of the trucks of one load (a file or a paste), fed in the order
// read: every check of CheckTruck, DUPLICATE against the truck read before it
// in the same load, and ORDER within the load. The window keeps the mask with
// each truck; `axlewise-cli check` runs the same checks on each file.
class LoadChecker {
public:
    // The checks `truck`, the next truck of the load, fails; number is its
    // number in whatever list it goes to (ORDER remembers it).
    CheckMask next(const TruckRecord& truck, TruckIndex number);

private:
    OrderCheck order_;
    TruckRecord previous_;  // Data only
    bool hasPrevious_ = false;
};

// Fills in the check mask of every truck of a load read into `trucks`, as
// LoadChecker would truck by truck. A large load is checked on two threads:
// each truck on its own on this one, ORDER, which must go through the trucks
// in order, on another; a load costs the time of the longer of the two.
void CheckLoadedTrucks(TruckStore& trucks);

// The failures of truck `index` of state (1..NoTrucks), with their messages:
// the checks of CheckTruck against the truck before it in its load, and ORDER
// when its kept mask says it failed, named against the truck it follows in
// its lane and direction. Agrees with state.Checks(index) check for check.
std::vector<CheckFailure> TruckFailures(const BrowserState& state, TruckIndex index);

}  // namespace axlewise

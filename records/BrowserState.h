#pragma once

#include "records/TruckStore.h"
#include "records/modUDTs.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace axlewise {

// What the main window holds for as long as it exists: the trucks read so far,
// the truck on show and the figures of the truck last shown that the axle
// diagram draws. Plain data; the window's procedures read and write it directly.
struct BrowserState {
    // Path of the file chosen in the last open dialog; emptied when a load fails.
    std::string FileName;
    // Trucks numbered 1..NoTrucks in the order read, each with the checks it
    // failed within its load.
    TruckStore Trucks;
    // Number of trucks held; only ever grows.
    TruckIndex NoTrucks = 0;
    // The number of the first truck of each load that added trucks, in order:
    // DUPLICATE and ORDER compare a truck only with trucks of its own load.
    std::vector<TruckIndex> LoadStarts;
    // 1-based index of the truck on show; 0 before anything was shown.
    TruckIndex CurrentTruck = 0;
    // Data(12) and Data(10) of the truck last shown.
    std::int16_t NoAxles = 0;
    std::int16_t GVW = 0;
    // Axle weights at 1..NoAxles and spacings at 1..NoAxles-1 of the truck last
    // shown that had two axles or more.
    std::vector<std::int16_t> AxleWeights;
    std::vector<std::int16_t> AxleSpacings;

    // Appends the trucks of one load, read elsewhere as a store numbered on
    // from NoTrucks (batch.first() == NoTrucks + 1); batch is left empty.
    // Moves chunks of trucks, never the trucks held.
    void AddTrucks(TruckStore&& batch);
    // Appends one truck to the last load, or as the first load when none was
    // made (for programs and tests that build records in code).
    void AddTruck(TruckRecord record, CheckMask failed = 0);
    // The first truck of the load that truck `index` came with (index within
    // 1..NoTrucks).
    TruckIndex LoadStartOf(TruckIndex index) const;

    bool HoldsTruck(TruckIndex index) const { return index >= 1 && index <= NoTrucks; }
    // The truck at a 1-based index; RuntimeError 9 (subscript out of range)
    // when the index is outside 1..NoTrucks.
    const TruckRecord& Truck(TruckIndex index) const;
    // The checks that truck failed within its load; RuntimeError 9 as Truck.
    CheckMask Checks(TruckIndex index) const;
};

}  // namespace axlewise

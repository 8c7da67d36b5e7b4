#pragma once

#include "records/modUDTs.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace axlewise {

// Counts and 1-based positions of trucks, lines and characters: wide enough for
// anything that fits in memory.
using TruckIndex = std::int64_t;

// What the main window holds for as long as it exists: the trucks read so far,
// the truck on show and the figures of the truck last shown that the axle
// diagram draws. Plain data; the window's procedures read and write it directly.
struct BrowserState {
    // Path of the file chosen in the last open dialog; emptied when a load fails.
    std::string FileName;
    // Trucks at indices 1..NoTrucks in the order read. Index 0 exists once the
    // first truck is added and is never used; before that the list is empty.
    std::vector<TruckRecord> Trucks;
    // Number of trucks held; only ever grows.
    TruckIndex NoTrucks = 0;
    // 1-based index of the truck on show; 0 before anything was shown.
    TruckIndex CurrentTruck = 0;
    // Data(12) and Data(10) of the truck last shown.
    std::int16_t NoAxles = 0;
    std::int16_t GVW = 0;
    // Axle weights at 1..NoAxles and spacings at 1..NoAxles-1 of the truck last
    // shown that had two axles or more.
    std::vector<std::int16_t> AxleWeights;
    std::vector<std::int16_t> AxleSpacings;

    // Appends a record that was already read.
    void AddTruck(TruckRecord record);
    // Makes room for `more` trucks beyond those held (a hint for large loads).
    void ReserveTrucks(TruckIndex more);

    bool HoldsTruck(TruckIndex index) const { return index >= 1 && index <= NoTrucks; }
    // The truck at a 1-based index; RuntimeError 9 (subscript out of range)
    // when the index is outside 1..NoTrucks.
    const TruckRecord& Truck(TruckIndex index) const;
};

}  // namespace axlewise

#include "display/Navigation.h"

namespace axlewise {

// Every move lands on an index within 1..NoTrucks, whatever CurrentTruck held
// before, so the truck it asks for always exists.

bool MoveToStart(BrowserState& state) {
    if (state.NoTrucks < 1) {
        return false;
    }
    state.CurrentTruck = 1;
    return true;
}

bool MoveToPrevious(BrowserState& state) {
    if (state.NoTrucks < 1) {
        return false;
    }
    // 0 means nothing was shown yet (a first load failed part-way): going back
    // from there reaches the last truck, as from truck 1.
    const bool wraps = state.CurrentTruck <= 1 || state.CurrentTruck > state.NoTrucks;
    state.CurrentTruck = wraps ? state.NoTrucks : state.CurrentTruck - 1;
    return true;
}

bool MoveToNext(BrowserState& state) {
    if (state.NoTrucks < 1) {
        return false;
    }
    const bool steps = state.CurrentTruck >= 0 && state.CurrentTruck < state.NoTrucks;
    state.CurrentTruck = steps ? state.CurrentTruck + 1 : 1;
    return true;
}

bool MoveToEnd(BrowserState& state) {
    if (state.NoTrucks < 1) {
        return false;
    }
    state.CurrentTruck = state.NoTrucks;
    return true;
}

}  // namespace axlewise

#pragma once

#include "records/BrowserState.h"

namespace axlewise {

// The four navigation moves. Each sets state.CurrentTruck and returns true when
// a truck is to be shown; with no truck held it changes nothing and returns
// false. The list wraps around at both ends:
//   Start: 1.   End: NoTrucks.
//   Previous: NoTrucks from 1 (and from 0, before anything was shown), else one down.
//   Next: one up while below NoTrucks, else 1.
bool MoveToStart(BrowserState& state);
bool MoveToPrevious(BrowserState& state);
bool MoveToNext(BrowserState& state);
bool MoveToEnd(BrowserState& state);

}  // namespace axlewise

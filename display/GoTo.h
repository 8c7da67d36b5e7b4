#pragma once

#include "checks/OrderCheck.h"
#include "records/BrowserState.h"

#include <optional>
#include <string>
#include <string_view>

namespace axlewise {

// Ways straight to a truck of a large list, for the Go menu.

enum class Direction { Forward, Backward };

// The nearest truck after `from` (Forward) or before it (Backward) whose kept
// checks share a bit with `wanted`, going round past the end of the list as
// Next and Previous do, `from` itself last. Nothing when no truck fails them
// or no truck is held. from may be 0 (nothing on show yet).
std::optional<TruckIndex> FindFailing(const BrowserState& state, TruckIndex from, CheckMask wanted,
                                      Direction direction);

// A time of passage typed as "YY-MM-DD hh:mm", optionally followed by ":ss"
// and then ".cc" (the form PassageText writes), each part one or two digits,
// blanks around it ignored: YEAR 0..99, MONTH 1..12, DAY 1..31, HOUR 0..23,
// MINUTE and SECOND 0..59, SECOND/100 0..99. Nothing for any other text.
std::optional<PassageTime> ReadPassage(std::string_view text);

// The truck's passage as "YY-MM-DD hh:mm:ss.cc" from its fields; a field no
// clock holds is written as it is ("24-13-01 ...").
std::string PassageText(const TruckRecord& truck);

// The first truck in list order that passed at or after `when`, passages
// compared as ORDER compares them (YEAR, then MONTH, then Time); nothing when
// none did.
std::optional<TruckIndex> FirstPassingAtOrAfter(const BrowserState& state, const PassageTime& when);

}  // namespace axlewise

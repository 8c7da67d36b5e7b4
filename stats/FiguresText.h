#pragma once

#include "stats/SiteStats.h"

#include <cstdint>
#include <string>
#include <vector>

namespace axlewise {

// The figures as reports write them, the same in the window and on the
// command line.

// A share in tenths of a percent as "4.0%".
std::string ShareText(std::int64_t tenths);

// A passage from its fields as "YY-MM-DD hh:mm:ss.cc", each field in two
// digits; a value no clock field has (negative or past 99) as it is.
std::string PassageText(const Passage& passage);

// A calendar date as "YY-MM-DD", each field in at least two digits.
std::string DateText(int year, int month, int day);

// Truck numbers as "2, 3, 5", followed by ", ..." when `all`, the trucks they
// were chosen from, are more.
std::string TruckNumbersText(const std::vector<TruckRef>& trucks, TruckIndex all);

// "lane 1, direction 2".
std::string LaneText(const LaneFigures& lane);

// "min 50, p10 80, p50 296, p90 448, max 935".
std::string PercentilesText(const Percentiles& percentiles);

}  // namespace axlewise

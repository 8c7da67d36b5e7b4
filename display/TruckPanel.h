#pragma once

#include "records/BrowserState.h"
#include "records/FieldTable.h"

#include <string>
#include <string_view>
#include <vector>

namespace axlewise {

// Number of lines in the caption column and in the value column: the truck's
// index, its fields and its time.
inline constexpr int kPanelLines = kFieldCount + 2;

// The 34 captions of the caption column: "TRUCK NO.:", each field caption of the
// line format followed by a colon, and "Time (s)".
std::vector<std::string> HeadLines();

// The captions joined by lineBreak (no break after the last line).
std::string HeadsText(std::string_view lineBreak);

// A double in general format: up to 15 significant digits, no trailing zeros,
// the given decimal separator (5285106.07 -> "5285106.07", 0 -> "0").
std::string FormatGeneral(double value, std::string_view decimalSeparator = ".");

// The 34 lines of the value column for a truck: its index, Data(1)..Data(32) in
// plain decimal and its Time, joined by lineBreak (no break after the last).
std::string TruckText(TruckIndex index, const TruckRecord& record, std::string_view lineBreak,
                      std::string_view decimalSeparator = ".");

}  // namespace axlewise

#pragma once

#include "records/FieldTable.h"
#include "records/SharedText.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace axlewise {

// One truck, as read from one fixed-column line. A value type: a copy never
// changes with its original (the line text is immutable, so copies may share it).
struct TruckRecord {
    // Index 0 is always 0; indices 1..32 hold the fields of kFields in order.
    std::array<std::int16_t, kFieldCount + 1> Data{};
    // The text the record was read from, unchanged.
    SharedText RawLine;
    // Time of passage in seconds (see TruckTime).
    double Time = 0.0;
};

// Cuts the line into its 32 fields by the columns of kFields (columns are
// characters; UTF-8 sequences count as one), converts each with TextToInteger, keeps the
// line in RawLine and works out Time. Characters after column 77 are never
// looked at. A field that fails raises RuntimeError 13 (type mismatch) or 6
// (overflow) whose reason names the field, its columns and the text found:
//   SPEED (columns 19-21): "1x3" is not a number
TruckRecord ReadTruck(std::string_view line);
// The same, keeping the line as a slice of the text it was cut from (no copy).
TruckRecord ReadTruck(const SharedText& line);

// Seconds since the start of a year of twelve 30-day months, YEAR ignored:
// (MONTH-1)*30*24*3600 + (DAY-1)*24*3600 + HOUR*3600 + MINUTE*60 + SECOND
// + SECOND/100 / 100, summed in that order in double precision. Nothing checks
// calendar ranges: day 0 or month 0 give a negative offset.
double TruckTime(const TruckRecord& record);

}  // namespace axlewise

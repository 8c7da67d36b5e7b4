#pragma once

#include "checks/CheckFields.h"
#include "checks/TruckChecks.h"
#include "records/BrowserState.h"
#include "records/modUDTs.h"

#include <array>
#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace axlewise {

// When a truck passed, ordered as ORDER orders passages: YEAR first, so that a
// new year is never earlier than the old one; then MONTH, because Time counts
// months of 30 days and the 31st of a month would otherwise fall on the 1st of
// the next; then Time, to the hundredth of a second the fields hold.
struct PassageTime {
    std::int16_t year = 0;
    std::int16_t month = 0;
    long long hundredths = 0;  // Time in hundredths of a second

    auto operator<=>(const PassageTime&) const = default;
};

PassageTime PassageTimeOf(const TruckRecord& truck);

// A truck's clock as its fields give it: YEAR, MONTH, DAY, HOUR, MINUTE,
// SECOND, SECOND/100.
using ClockFields = std::array<std::int16_t, 7>;
ClockFields ClockOf(const TruckRecord& truck);

// "YY-MM-DD hh:mm:ss.cc", each field in two digits; a value no clock field
// can hold is written as it is ("24-123--1 08:05:07.06").
std::string ClockText(const ClockFields& clock);

// The ORDER check of a whole file: fed the trucks of one file in the order
// read, it remembers the last truck of each lane and direction and fails a
// truck that passed earlier than that one. One object per file.
class OrderCheck {
public:
    // Checks the next truck of the file (number: its 1-based number among the
    // file's trucks) and makes it the one that later trucks of its lane and
    // direction compare with, whether it failed or not. The failure reads
    // "earlier than truck 41 (lane 1, direction 2) by 3.5 s", the gap counted
    // in Time (and 360-day years); where Time cannot show it (only around the
    // 31st, or with impossible clock fields) the fields that order the two
    // trucks are named instead: "... (lane 1, direction 2): MONTH 3 after MONTH 4".
    std::optional<CheckFailure> next(const TruckRecord& truck, TruckIndex number);
    // The same without the message: true when the truck fails ORDER.
    bool nextFails(const TruckRecord& truck, TruckIndex number);

private:
    struct Passage {
        PassageTime time;
        TruckIndex number = 0;
    };
    // Makes the truck the last one of its lane and direction and gives the
    // passage it follows there, when it passed earlier than that one.
    std::optional<Passage> advance(const TruckRecord& truck, TruckIndex number);
    // The last passage in a lane and direction, or null for the first truck there.
    std::optional<Passage>& lastIn(std::int16_t lane, std::int16_t direction);

    // A line's one-column LANE and DIRECTION hold 0..9: those have a slot of
    // their own; other values, from records built in code, go to the map.
    static constexpr int kLineValues = LargestValue(kLaneField) + 1;
    static_assert(LargestValue(kDirectionField) + 1 == kLineValues);
    std::array<std::optional<Passage>, kLineValues * kLineValues> lastInLine_;
    std::map<std::pair<std::int16_t, std::int16_t>, std::optional<Passage>> lastElsewhere_;
};

// True when the two trucks have the same LANE and DIRECTION: ORDER compares
// a truck only with trucks of its own lane and direction.
bool SameLaneAndDirection(const TruckRecord& truck, const TruckRecord& other);

// The ORDER failure of `truck` that passed earlier than `before` (number
// beforeNumber), the truck before it in its lane and direction; the message
// is the one OrderCheck::next gives.
CheckFailure OrderFailure(const TruckRecord& truck, const TruckRecord& before,
                          TruckIndex beforeNumber);

}  // namespace axlewise

#pragma once

#include "records/BrowserState.h"
#include "records/modUDTs.h"

#include <cstdint>
#include <string>
#include <vector>

namespace axlewise {

// The plausibility checks of a truck record. Each compares fields only with
// fields of the same kind (weights with weights, spacings with LENGTH), so no
// unit is ever assumed.
enum class CheckCode {
    AxleSum,    // the axle weights do not add up to GVW
    AxleCount,  // fewer than two axles
    AxleEmpty,  // an axle within NO. AXLES weighs nothing, or a spacing is 0 or less
    AxleExtra,  // a weight or spacing beyond NO. AXLES is not 0
    Wheelbase,  // the spacings add up to more than LENGTH
    FieldMax,   // a weight, spacing or GVW fills its field: the value may be cut
    Clock,      // not a time of day or date
    Speed,      // SPEED is 0 or less
    Duplicate,  // the same 32 fields as the truck before it
    Order,      // passed earlier than the truck before it in its lane and direction
};

inline constexpr int kCheckCount = 10;

// Every check, in the order of CheckCode: the order in which failures are
// listed and summaries are printed.
inline constexpr CheckCode kAllChecks[kCheckCount] = {
    CheckCode::AxleSum,   CheckCode::AxleCount, CheckCode::AxleEmpty, CheckCode::AxleExtra,
    CheckCode::Wheelbase, CheckCode::FieldMax,  CheckCode::Clock,     CheckCode::Speed,
    CheckCode::Duplicate, CheckCode::Order,
};

// CheckMask (records/TruckStore.h) holds the checks a truck failed: bit n
// stands for the check whose CheckCode is n.
constexpr CheckMask MaskOf(CheckCode code) {
    return static_cast<CheckMask>(1U << static_cast<unsigned>(code));
}

// Every check's bit.
inline constexpr CheckMask kEveryCheck = static_cast<CheckMask>((1U << kCheckCount) - 1);

// The short code of a check as written in reports: "AXLE_SUM", "AXLE_COUNT", ...
const char* CheckName(CheckCode code);

// One failed check, with a message that names the values found, e.g.
// {AxleSum, "axle weights sum to 233, GVW is 220 (+5.9%)"}.
struct CheckFailure {
    CheckCode code;
    std::string message;
};

// The checks of one record, every one but ORDER, in the order of CheckCode; a
// check that fails in several places gives one failure for each. DUPLICATE
// compares with `previous`, the truck before this one, when there is one
// (previousNumber is its number, for the message). Only Data is read, and only
// its indices 1..32, whatever NO. AXLES claims. Costs a few dozen comparisons
// and allocates nothing when every check passes.
std::vector<CheckFailure> CheckTruck(const TruckRecord& truck,
                                     const TruckRecord* previous = nullptr,
                                     TruckIndex previousNumber = 0);

// The checks a list of failures names, as a mask: one bit per check, however
// many failures each check gave.
CheckMask MaskOf(const std::vector<CheckFailure>& failures);

// The same checks as CheckTruck, as a mask: the bit of every check that
// failed, without the messages.
CheckMask FailedChecks(const TruckRecord& truck, const TruckRecord* previous = nullptr);

// The one-line summary of a record's checks: "Checks: all passed", or
// "Checks: " followed by the messages joined by " · " (UTF-8).
std::string ChecksText(const std::vector<CheckFailure>& failures);

}  // namespace axlewise

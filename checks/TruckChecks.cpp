#include "checks/TruckChecks.h"

#include "checks/CheckFields.h"
#include "records/FieldTable.h"
#include "records/IntegerText.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <utility>
#include <string_view>

namespace axlewise {

namespace {

// The calendar and clock ranges of the time fields; the hundredths may take
// whatever their field holds.
struct ClockRange {
    int index;
    int lowest;
    int highest;
};
constexpr ClockRange kClockRanges[] = {
    {kDayField, 1, 31},    {kMonthField, 1, 12},
    {kHourField, 0, 23},   {kMinuteField, 0, 59},
    {kSecondField, 0, 59}, {kHundredthsField, 0, LargestValue(kHundredthsField)},
};

// LargestValue of each field, worked out once: the check runs on every truck shown.
constexpr std::array<int, kFieldCount + 1> kLargestValues = [] {
    std::array<int, kFieldCount + 1> values{};
    for (int index = 1; index <= kFieldCount; ++index) {
        values[static_cast<std::size_t>(index)] = LargestValue(index);
    }
    return values;
}();

// The fields FIELD_MAX looks at, in column order: GVW, then every weight and
// spacing column from WT AX 1 to WT AX 9.
constexpr int kAxleColumns = AxleWeightField(kMaxAxles) - AxleWeightField(1) + 1;
constexpr std::array<int, 1 + kAxleColumns> kFullFieldChecked = [] {
    std::array<int, 1 + kAxleColumns> indices{kGvwField};
    for (int k = 0; k < kAxleColumns; ++k) {
        indices[static_cast<std::size_t>(k + 1)] = AxleWeightField(1) + k;
    }
    return indices;
}();

// Reads the record's fields; every index it is given lies in 1..32.
class Fields {
public:
    explicit Fields(const TruckRecord& truck) : data_(truck.Data) {}

    int operator[](int index) const { return data_[static_cast<std::size_t>(index)]; }
    int noAxles() const { return (*this)[kNoAxlesField]; }
    // The axles that NO. AXLES names and a line can hold: 1..axlesWithin().
    int axlesWithin() const { return std::clamp(noAxles(), 0, kMaxAxles); }
    int weight(int axle) const { return (*this)[AxleWeightField(axle)]; }
    int spacing(int axle) const { return (*this)[AxleSpacingField(axle)]; }

private:
    const std::array<std::int16_t, kFieldCount + 1>& data_;
};

std::string Caption(int index) {
    return std::string(Field(index).caption);
}

std::string Number(int value) {
    return std::to_string(value);
}

// "+5.9%": (sum - gvw) / |gvw| in percent, one decimal, a half rounded away
// from zero.
std::string Deviation(long long difference, long long gvw) {
    const std::int64_t tenths = TenthsOfPercent(difference, gvw);
    std::string text(1, difference < 0 ? '-' : '+');
    text += std::to_string(tenths / 10);
    text += '.';
    text += static_cast<char>('0' + tenths % 10);
    text += '%';
    return text;
}

// Where the checks below report a failure: kept with its message.
class MessageReport {
public:
    explicit MessageReport(std::vector<CheckFailure>& failures) : failures_(failures) {}

    // Messages are only built for checks that fail, out of line, so the checks
    // of a truck that passes stay a short run of comparisons.
    template <typename Message>
    [[gnu::noinline, gnu::cold]] void fail(CheckCode code, const Message& message) {
        failures_.push_back({code, message()});
    }

private:
    std::vector<CheckFailure>& failures_;
};

void CheckAxleSum(const Fields& f, MessageReport& report) {
    const int within = f.axlesWithin();
    long long sum = 0;
    for (int axle = 1; axle <= within; ++axle) {
        sum += f.weight(axle);
    }
    const long long gvw = f[kGvwField];
    // Each weight and GVW are rounded to whole units on their own, so the sum
    // may honestly miss GVW by up to half a unit per axle.
    if (2 * std::llabs(sum - gvw) > within) {
        report.fail(CheckCode::AxleSum, [&] {
            std::string message = "axle weights sum to " + std::to_string(sum) + ", " +
                                  Caption(kGvwField) + " is " + std::to_string(gvw);
            if (gvw != 0) {
                message += " (" + Deviation(sum - gvw, gvw) + ")";
            }
            return message;
        });
    }
}

void CheckAxleCount(const Fields& f, MessageReport& report) {
    if (f.noAxles() < 2) {
        report.fail(CheckCode::AxleCount,
                    [&] { return Caption(kNoAxlesField) + " is " + Number(f.noAxles()); });
    }
}

// Weights and spacings within NO. AXLES, in the order of their columns.
void CheckAxleEmpty(const Fields& f, MessageReport& report) {
    const int within = f.axlesWithin();
    for (int axle = 1; axle <= within; ++axle) {
        if (f.weight(axle) <= 0) {
            report.fail(CheckCode::AxleEmpty, [&] {
                return "axle " + Number(axle) + " weighs " + Number(f.weight(axle));
            });
        }
        if (axle < within && f.spacing(axle) <= 0) {
            report.fail(CheckCode::AxleEmpty, [&] {
                return Caption(AxleSpacingField(axle)) + " is " + Number(f.spacing(axle));
            });
        }
    }
}

// Weights and spacings beyond NO. AXLES, in the order of their columns. The
// spacing after axle k belongs to the truck only when axle k + 1 does.
void CheckAxleExtra(const Fields& f, MessageReport& report) {
    const int within = f.axlesWithin();
    const auto claimed = [&f] {
        return " but " + Caption(kNoAxlesField) + " is " + Number(f.noAxles());
    };
    for (int axle = std::max(within, 1); axle <= kMaxAxles; ++axle) {
        if (axle > within && f.weight(axle) != 0) {
            report.fail(CheckCode::AxleExtra, [&] {
                return "axle " + Number(axle) + " weighs " + Number(f.weight(axle)) + claimed();
            });
        }
        if (axle < kMaxAxles && f.spacing(axle) != 0) {
            report.fail(CheckCode::AxleExtra, [&] {
                return Caption(AxleSpacingField(axle)) + " is " + Number(f.spacing(axle)) +
                       claimed();
            });
        }
    }
}

void CheckWheelbase(const Fields& f, MessageReport& report) {
    int wheelbase = 0;
    for (int axle = 1; axle < f.axlesWithin(); ++axle) {
        wheelbase += f.spacing(axle);
    }
    if (wheelbase > f[kLengthField]) {
        report.fail(CheckCode::Wheelbase, [&] {
            return "wheelbase " + Number(wheelbase) + " is longer than " + Caption(kLengthField) +
                   " " + Number(f[kLengthField]);
        });
    }
}

// GVW and every weight and spacing column, whether NO. AXLES counts it or not:
// a full field is doubtful wherever it is.
void CheckFieldMax(const Fields& f, MessageReport& report) {
    for (const int index : kFullFieldChecked) {
        if (f[index] == kLargestValues[static_cast<std::size_t>(index)]) {
            report.fail(CheckCode::FieldMax, [&] {
                return Caption(index) + " is " + Number(f[index]) + ", the largest the field holds";
            });
        }
    }
}

void CheckClock(const Fields& f, MessageReport& report) {
    for (const ClockRange& range : kClockRanges) {
        const int value = f[range.index];
        if (value < range.lowest || value > range.highest) {
            report.fail(CheckCode::Clock,
                        [&] { return Caption(range.index) + " is " + Number(value); });
        }
    }
}

void CheckSpeed(const Fields& f, MessageReport& report) {
    if (f[kSpeedField] <= 0) {
        report.fail(CheckCode::Speed,
                    [&] { return Caption(kSpeedField) + " is " + Number(f[kSpeedField]); });
    }
}

void CheckDuplicate(const TruckRecord& truck, const TruckRecord* previous,
                    TruckIndex previousNumber, MessageReport& report) {
    // The fields only: the same values written with other blanks are the same truck.
    if (previous != nullptr &&
        std::equal(truck.Data.begin() + 1, truck.Data.end(), previous->Data.begin() + 1)) {
        report.fail(CheckCode::Duplicate,
                    [&] { return "same fields as truck " + std::to_string(previousNumber); });
    }
}

}  // namespace

const char* CheckName(CheckCode code) {
    switch (code) {
        case CheckCode::AxleSum:
            return "AXLE_SUM";
        case CheckCode::AxleCount:
            return "AXLE_COUNT";
        case CheckCode::AxleEmpty:
            return "AXLE_EMPTY";
        case CheckCode::AxleExtra:
            return "AXLE_EXTRA";
        case CheckCode::Wheelbase:
            return "WHEELBASE";
        case CheckCode::FieldMax:
            return "FIELD_MAX";
        case CheckCode::Clock:
            return "CLOCK";
        case CheckCode::Speed:
            return "SPEED";
        case CheckCode::Duplicate:
            return "DUPLICATE";
        case CheckCode::Order:
            return "ORDER";
    }
    return "UNKNOWN";
}

namespace {

void RunChecks(const TruckRecord& truck, const TruckRecord* previous, TruckIndex previousNumber,
               MessageReport& report) {
    const Fields f(truck);
    CheckAxleSum(f, report);
    CheckAxleCount(f, report);
    CheckAxleEmpty(f, report);
    CheckAxleExtra(f, report);
    CheckWheelbase(f, report);
    CheckFieldMax(f, report);
    CheckClock(f, report);
    CheckSpeed(f, report);
    CheckDuplicate(truck, previous, previousNumber, report);
}

}  // namespace

std::vector<CheckFailure> CheckTruck(const TruckRecord& truck, const TruckRecord* previous,
                                     TruckIndex previousNumber) {
    std::vector<CheckFailure> failures;
    MessageReport report(failures);
    RunChecks(truck, previous, previousNumber, report);
    return failures;
}

namespace {

// The axle columns WT AX 1, S AX 1 - AX 2, WT AX 2, ..., S AX 8 - AX 9 as
// lanes 0..15 (WT AX 9, column 16, goes on its own), and per count of
// columns NO. AXLES names (0, 1, 3, ..., 17: axle k's weight is column 2k - 2
// and its spacing to the next 2k - 1) which lanes those are. Plain 16-lane
// loops over such tables are turned into a few vector instructions.
constexpr int kLanes = 16;
using Lanes = std::array<std::int16_t, kLanes>;

struct NamedLanes {
    Lanes named{};     // -1 where the column is named, else 0
    Lanes weights{};   // 1 where a named weight stands, else 0
    Lanes spacings{};  // 1 where a named spacing stands, else 0
};

constexpr std::array<NamedLanes, kMaxAxles + 1> kNamedLanes = [] {
    std::array<NamedLanes, kMaxAxles + 1> table{};
    for (int axles = 0; axles <= kMaxAxles; ++axles) {
        const int named = axles == 0 ? 0 : 2 * axles - 1;
        for (int lane = 0; lane < kLanes; ++lane) {
            const bool isNamed = lane < named;
            NamedLanes& row = table[static_cast<std::size_t>(axles)];
            row.named[static_cast<std::size_t>(lane)] = isNamed ? -1 : 0;
            row.weights[static_cast<std::size_t>(lane)] = isNamed && lane % 2 == 0 ? 1 : 0;
            row.spacings[static_cast<std::size_t>(lane)] = isNamed && lane % 2 == 1 ? 1 : 0;
        }
    }
    return table;
}();

constexpr Lanes kLargestLanes = [] {
    Lanes largest{};
    for (int lane = 0; lane < kLanes; ++lane) {
        largest[static_cast<std::size_t>(lane)] =
            static_cast<std::int16_t>(LargestValue(AxleWeightField(1) + lane));
    }
    return largest;
}();

// The fields HEAD to SECOND/100 as lanes, with the range each may take:
// the clock's fields their calendar and clock ranges, the others any value.
constexpr std::size_t kClockLanes = 8;
using ClockLanes = std::array<std::int16_t, kClockLanes>;
constexpr std::pair<ClockLanes, ClockLanes> kClockBounds = [] {
    ClockLanes lowest;
    ClockLanes highest;
    lowest.fill(std::numeric_limits<std::int16_t>::min());
    highest.fill(std::numeric_limits<std::int16_t>::max());
    for (const ClockRange& range : kClockRanges) {
        lowest[static_cast<std::size_t>(range.index - 1)] = static_cast<std::int16_t>(range.lowest);
        highest[static_cast<std::size_t>(range.index - 1)] =
            static_cast<std::int16_t>(range.highest);
    }
    return std::pair(lowest, highest);
}();
constexpr const ClockLanes& kClockLowest = kClockBounds.first;
constexpr const ClockLanes& kClockHighest = kClockBounds.second;
static_assert(kHundredthsField == kClockLanes);

}  // namespace

CheckMask FailedChecks(const TruckRecord& truck, const TruckRecord* previous) {
    // The same rules as the checks above, written for every truck of a load:
    // no branches and no messages. The tests and the fuzz targets hold both
    // ways of checking to the same answers.
    const Fields f(truck);
    const int within = f.axlesWithin();
    const NamedLanes& lanes = kNamedLanes[static_cast<std::size_t>(within)];
    Lanes values;
    std::copy_n(truck.Data.begin() + AxleWeightField(1), kLanes, values.begin());
    int weightSum = 0;
    int wheelbase = 0;
    std::int16_t empty = 0;
    std::int16_t extra = 0;
    std::int16_t full = 0;
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        const std::int16_t value = values[lane];
        weightSum += value * lanes.weights[lane];
        wheelbase += value * lanes.spacings[lane];
        empty |= static_cast<std::int16_t>(-(value <= 0) & lanes.named[lane]);
        extra |= static_cast<std::int16_t>(-(value != 0) & ~lanes.named[lane]);
        full |= static_cast<std::int16_t>(-(value == kLargestLanes[lane]));
    }
    // WT AX 9, named only when all nine axles are.
    const int last = f[AxleWeightField(kMaxAxles)];
    const bool lastNamed = within == kMaxAxles;
    weightSum += lastNamed ? last : 0;
    const bool emptyAxle = empty != 0 || (lastNamed && last <= 0);
    const bool extraAxle = extra != 0 || (!lastNamed && last != 0);
    const bool fullField = full != 0 || last == LargestValue(AxleWeightField(kMaxAxles)) ||
                           f[kGvwField] == LargestValue(kGvwField);

    std::int16_t outside = 0;
    for (std::size_t lane = 0; lane < kClockLanes; ++lane) {
        const std::int16_t value = truck.Data[lane + 1];
        outside |= static_cast<std::int16_t>(-(value < kClockLowest[lane]) |
                                             -(value > kClockHighest[lane]));
    }
    const bool clock = outside != 0;
    const long long gvw = f[kGvwField];
    const auto bit = [](bool failed, CheckCode code) {
        return failed ? static_cast<unsigned>(MaskOf(code)) : 0U;
    };
    unsigned mask = bit(2 * std::llabs(weightSum - gvw) > within, CheckCode::AxleSum) |
                    bit(f.noAxles() < 2, CheckCode::AxleCount) |
                    bit(emptyAxle, CheckCode::AxleEmpty) | bit(extraAxle, CheckCode::AxleExtra) |
                    bit(wheelbase > f[kLengthField], CheckCode::Wheelbase) |
                    bit(fullField, CheckCode::FieldMax) | bit(clock, CheckCode::Clock) |
                    bit(f[kSpeedField] <= 0, CheckCode::Speed);
    if (previous != nullptr &&
        std::equal(truck.Data.begin() + 1, truck.Data.end(), previous->Data.begin() + 1)) {
        mask |= MaskOf(CheckCode::Duplicate);
    }
    return static_cast<CheckMask>(mask);
}

CheckMask MaskOf(const std::vector<CheckFailure>& failures) {
    unsigned mask = 0;
    for (const CheckFailure& failure : failures) {
        mask |= MaskOf(failure.code);
    }
    return static_cast<CheckMask>(mask);
}

std::string ChecksText(const std::vector<CheckFailure>& failures) {
    if (failures.empty()) {
        return "Checks: all passed";
    }
    std::string text = "Checks: ";
    for (std::size_t i = 0; i < failures.size(); ++i) {
        if (i > 0) {
            text += " \xC2\xB7 ";  // U+00B7 MIDDLE DOT between blanks
        }
        text += failures[i].message;
    }
    return text;
}

}  // namespace axlewise

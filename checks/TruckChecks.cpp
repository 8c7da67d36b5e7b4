#include "checks/TruckChecks.h"

#include "checks/CheckFields.h"
#include "records/FieldTable.h"
#include "records/IntegerText.h"

#include <algorithm>
#include <array>
#include <cstdlib>
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

// Where the checks below report a failure. Each check is written once and
// run with either report: MessageReport keeps the failures with their
// messages, MaskReport only sets the failed check's bit, so a mask costs no
// more than the comparisons.
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

class MaskReport {
public:
    template <typename Message>
    void fail(CheckCode code, const Message&) {
        mask_ = static_cast<CheckMask>(mask_ | MaskOf(code));
    }
    CheckMask mask() const { return mask_; }

private:
    CheckMask mask_ = 0;
};

template <typename Report>
void CheckAxleSum(const Fields& f, Report& report) {
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

template <typename Report>
void CheckAxleCount(const Fields& f, Report& report) {
    if (f.noAxles() < 2) {
        report.fail(CheckCode::AxleCount,
                    [&] { return Caption(kNoAxlesField) + " is " + Number(f.noAxles()); });
    }
}

// Weights and spacings within NO. AXLES, in the order of their columns.
template <typename Report>
void CheckAxleEmpty(const Fields& f, Report& report) {
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
template <typename Report>
void CheckAxleExtra(const Fields& f, Report& report) {
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

template <typename Report>
void CheckWheelbase(const Fields& f, Report& report) {
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
template <typename Report>
void CheckFieldMax(const Fields& f, Report& report) {
    for (const int index : kFullFieldChecked) {
        if (f[index] == kLargestValues[static_cast<std::size_t>(index)]) {
            report.fail(CheckCode::FieldMax, [&] {
                return Caption(index) + " is " + Number(f[index]) + ", the largest the field holds";
            });
        }
    }
}

template <typename Report>
void CheckClock(const Fields& f, Report& report) {
    for (const ClockRange& range : kClockRanges) {
        const int value = f[range.index];
        if (value < range.lowest || value > range.highest) {
            report.fail(CheckCode::Clock,
                        [&] { return Caption(range.index) + " is " + Number(value); });
        }
    }
}

template <typename Report>
void CheckSpeed(const Fields& f, Report& report) {
    if (f[kSpeedField] <= 0) {
        report.fail(CheckCode::Speed,
                    [&] { return Caption(kSpeedField) + " is " + Number(f[kSpeedField]); });
    }
}

template <typename Report>
void CheckDuplicate(const TruckRecord& truck, const TruckRecord* previous,
                    TruckIndex previousNumber, Report& report) {
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

template <typename Report>
void RunChecks(const TruckRecord& truck, const TruckRecord* previous, TruckIndex previousNumber,
               Report& report) {
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

CheckMask FailedChecks(const TruckRecord& truck, const TruckRecord* previous) {
    MaskReport report;
    RunChecks(truck, previous, 0, report);
    return report.mask();
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

#include "checks/OrderCheck.h"

#include <string>

namespace axlewise {

namespace {

// The year of Time, twelve months of 30 days, in hundredths of a second.
constexpr long long kHundredthsPerYear = 12LL * 30 * 24 * 3600 * 100;

// Seconds without trailing zeros: 350 -> "3.5", 25 -> "0.25", 6000 -> "60".
std::string Seconds(long long hundredths) {
    std::string text = std::to_string(hundredths / 100);
    const long long fraction = hundredths % 100;
    if (fraction != 0) {
        text += '.';
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) {
            text += static_cast<char>('0' + fraction % 10);
        }
    }
    return text;
}

std::string FieldIs(int index, int value) {
    return std::string(Field(index).caption) + " " + std::to_string(value);
}

}  // namespace

PassageTime PassageTimeOf(const TruckRecord& truck) {
    // Time is a sum of doubles; the fields hold hundredths, so times are kept
    // in whole hundredths and equal fields always give equal times. Rounded
    // half away from zero inline: this runs for every truck of a file.
    const double scaled = truck.Time * 100.0;
    return {truck.Data[static_cast<std::size_t>(kYearField)],
            truck.Data[static_cast<std::size_t>(kMonthField)],
            static_cast<long long>(scaled < 0 ? scaled - 0.5 : scaled + 0.5)};
}

std::optional<OrderCheck::Passage>& OrderCheck::lastIn(std::int16_t lane, std::int16_t direction) {
    if (lane >= 0 && lane < kLineValues && direction >= 0 && direction < kLineValues) {
        return lastInLine_[static_cast<std::size_t>(lane * kLineValues + direction)];
    }
    return lastElsewhere_[{lane, direction}];
}

std::optional<CheckFailure> OrderCheck::next(const TruckRecord& truck, TruckIndex number) {
    const auto field = [&truck](int index) { return truck.Data[static_cast<std::size_t>(index)]; };
    const std::int16_t lane = field(kLaneField);
    const std::int16_t direction = field(kDirectionField);
    const Passage passage{PassageTimeOf(truck), number};

    std::optional<Passage>& last = lastIn(lane, direction);
    const std::optional<Passage> before = last;
    last = passage;
    if (!before || !(passage.time < before->time)) {
        return std::nullopt;
    }

    const PassageTime& now = passage.time;
    const PassageTime& then = before->time;
    std::string message = "earlier than truck " + std::to_string(before->number) + " (lane " +
                          std::to_string(lane) + ", direction " + std::to_string(direction) + ")";
    const long long gap =
        (then.year - now.year) * kHundredthsPerYear + (then.hundredths - now.hundredths);
    if (gap > 0) {
        message += " by " + Seconds(gap) + " s";
    } else if (now.year != then.year) {
        message +=
            ": " + FieldIs(kYearField, now.year) + " after " + FieldIs(kYearField, then.year);
    } else {
        message +=
            ": " + FieldIs(kMonthField, now.month) + " after " + FieldIs(kMonthField, then.month);
    }
    return CheckFailure{CheckCode::Order, std::move(message)};
}

}  // namespace axlewise

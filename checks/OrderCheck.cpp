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

CheckFailure Failure(const TruckRecord& truck, const PassageTime& now, const PassageTime& then,
                     TruckIndex beforeNumber) {
    const auto field = [&truck](int index) { return truck.Data[static_cast<std::size_t>(index)]; };
    std::string message = "earlier than truck " + std::to_string(beforeNumber) + " (lane " +
                          std::to_string(field(kLaneField)) + ", direction " +
                          std::to_string(field(kDirectionField)) + ")";
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

}  // namespace

ClockFields ClockOf(const TruckRecord& truck) {
    constexpr int kClockFields[] = {kYearField,   kMonthField,  kDayField,       kHourField,
                                    kMinuteField, kSecondField, kHundredthsField};
    ClockFields clock{};
    for (std::size_t k = 0; k < clock.size(); ++k) {
        clock[k] = truck.Data[static_cast<std::size_t>(kClockFields[k])];
    }
    return clock;
}

std::string ClockText(const ClockFields& clock) {
    const auto two = [&clock](std::size_t k) {
        const int value = clock[k];
        if (value < 0 || value > 99) {
            return std::to_string(value);
        }
        return std::string{static_cast<char>('0' + value / 10),
                           static_cast<char>('0' + value % 10)};
    };
    return two(0) + "-" + two(1) + "-" + two(2) + " " + two(3) + ":" + two(4) + ":" + two(5) + "." +
           two(6);
}

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

std::optional<OrderCheck::Passage> OrderCheck::advance(const TruckRecord& truck,
                                                       TruckIndex number) {
    const Passage passage{PassageTimeOf(truck), number};
    std::optional<Passage>& last = lastIn(truck.Data[static_cast<std::size_t>(kLaneField)],
                                          truck.Data[static_cast<std::size_t>(kDirectionField)]);
    const std::optional<Passage> before = last;
    last = passage;
    if (!before || !(passage.time < before->time)) {
        return std::nullopt;
    }
    return before;
}

bool OrderCheck::nextFails(const TruckRecord& truck, TruckIndex number) {
    return advance(truck, number).has_value();
}

std::optional<CheckFailure> OrderCheck::next(const TruckRecord& truck, TruckIndex number) {
    const std::optional<Passage> before = advance(truck, number);
    if (!before) {
        return std::nullopt;
    }
    return Failure(truck, PassageTimeOf(truck), before->time, before->number);
}

bool SameLaneAndDirection(const TruckRecord& truck, const TruckRecord& other) {
    const auto at = [](int index) { return static_cast<std::size_t>(index); };
    return truck.Data[at(kLaneField)] == other.Data[at(kLaneField)] &&
           truck.Data[at(kDirectionField)] == other.Data[at(kDirectionField)];
}

CheckFailure OrderFailure(const TruckRecord& truck, const TruckRecord& before,
                          TruckIndex beforeNumber) {
    return Failure(truck, PassageTimeOf(truck), PassageTimeOf(before), beforeNumber);
}

}  // namespace axlewise

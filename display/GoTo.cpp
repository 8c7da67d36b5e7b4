#include "display/GoTo.h"

#include "records/FieldTable.h"
#include "records/modUDTs.h"

#include <array>
#include <cctype>

namespace axlewise {

namespace {

// Reads one or two digits at text[pos], moving pos past them.
std::optional<int> Digits(std::string_view text, std::size_t& pos) {
    int value = 0;
    std::size_t count = 0;
    while (pos < text.size() && count < 2 &&
           std::isdigit(static_cast<unsigned char>(text[pos])) != 0) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++count;
    }
    if (count == 0) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<TruckIndex> FindFailing(const BrowserState& state, TruckIndex from, CheckMask wanted,
                                      Direction direction) {
    const TruckIndex count = state.NoTrucks;
    if (count < 1 || wanted == 0) {
        return std::nullopt;
    }
    // Outside the list (0 before anything was shown) counts as just before
    // the first truck going forward, just after the last going back.
    const bool forward = direction == Direction::Forward;
    if (from < 1 || from > count) {
        from = forward ? count : 1;
    }
    const TruckStore& trucks = state.Trucks;
    if (forward) {
        for (TruckIndex n = from + 1; n <= count; ++n) {
            if ((trucks.checks(n) & wanted) != 0) {
                return n;
            }
        }
        for (TruckIndex n = 1; n <= from; ++n) {
            if ((trucks.checks(n) & wanted) != 0) {
                return n;
            }
        }
    } else {
        for (TruckIndex n = from - 1; n >= 1; --n) {
            if ((trucks.checks(n) & wanted) != 0) {
                return n;
            }
        }
        for (TruckIndex n = count; n >= from; --n) {
            if ((trucks.checks(n) & wanted) != 0) {
                return n;
            }
        }
    }
    return std::nullopt;
}

std::optional<PassageTime> ReadPassage(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    // The parts and the character before each: YY-MM-DD hh:mm[:ss[.cc]].
    struct Part {
        char before;
        int index;
        int lowest;
        int highest;
    };
    constexpr std::array<Part, 7> kParts = {{
        {'\0', kYearField, 0, 99},
        {'-', kMonthField, 1, 12},
        {'-', kDayField, 1, 31},
        {' ', kHourField, 0, 23},
        {':', kMinuteField, 0, 59},
        {':', kSecondField, 0, 59},
        {'.', kHundredthsField, 0, 99},
    }};
    constexpr std::size_t kRequired = 5;  // up to the minute
    TruckRecord when;
    std::size_t pos = 0;
    for (std::size_t k = 0; k < kParts.size(); ++k) {
        const Part& part = kParts[k];
        if (k >= kRequired && pos == text.size()) {
            break;
        }
        if (part.before != '\0') {
            if (pos >= text.size() || text[pos] != part.before) {
                return std::nullopt;
            }
            ++pos;
            // The date and the time may stand more than one blank apart.
            while (part.before == ' ' && pos < text.size() && text[pos] == ' ') {
                ++pos;
            }
        }
        const std::optional<int> value = Digits(text, pos);
        if (!value || *value < part.lowest || *value > part.highest) {
            return std::nullopt;
        }
        when.Data[static_cast<std::size_t>(part.index)] = static_cast<std::int16_t>(*value);
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    when.Time = TruckTime(when);
    return PassageTimeOf(when);
}

std::string PassageText(const TruckRecord& truck) {
    return ClockText(ClockOf(truck));
}

std::optional<TruckIndex> FirstPassingAtOrAfter(const BrowserState& state,
                                                const PassageTime& when) {
    // YEAR and MONTH settle most comparisons; Time is worked out only for
    // trucks of the same month.
    for (TruckIndex n = 1; n <= state.NoTrucks; ++n) {
        const TruckRecord& truck = state.Trucks.truck(n);
        const std::int16_t year = truck.Data[static_cast<std::size_t>(kYearField)];
        const std::int16_t month = truck.Data[static_cast<std::size_t>(kMonthField)];
        if (year != when.year || month != when.month) {
            if (year > when.year || (year == when.year && month > when.month)) {
                return n;
            }
            continue;
        }
        if (!(PassageTimeOf(truck) < when)) {
            return n;
        }
    }
    return std::nullopt;
}

}  // namespace axlewise

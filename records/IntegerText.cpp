#include "records/IntegerText.h"

#include "records/RuntimeError.h"

#include <limits>

namespace axlewise {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string_view TrimSpaces(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && text[first] == ' ') {
        ++first;
    }
    while (last > first && text[last - 1] == ' ') {
        --last;
    }
    return text.substr(first, last - first);
}

std::optional<DecimalText> ScanDecimal(std::string_view text) noexcept {
    text = TrimSpaces(text);
    DecimalText number;
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        number.negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    int digits = 0;
    for (; i < n && IsDigit(text[i]); ++i, ++digits) {
        const int digit = text[i] - '0';
        number.whole = number.whole > (kMax - digit) / 10 ? kMax : number.whole * 10 + digit;
    }
    if (i < n && text[i] == '.') {
        ++i;
        for (int k = 0; i < n && IsDigit(text[i]); ++i, ++k, ++digits) {
            if (k == 0) {
                number.firstFraction = text[i] - '0';
            } else if (text[i] != '0') {
                number.restNonZero = true;
            }
        }
    }
    if (digits == 0 || i != n) {
        return std::nullopt;
    }
    return number;
}

ConversionStatus TextToInteger(std::string_view text, std::int16_t& value) noexcept {
    const std::optional<DecimalText> number = ScanDecimal(text);
    if (!number) {
        return ConversionStatus::NotANumber;
    }
    // Beyond this no fraction can bring the value back into range.
    std::int64_t magnitude = std::min<std::int64_t>(number->whole, 1'000'000);
    const int fraction = number->firstFraction;
    const bool roundUp = fraction > 5 || (fraction == 5 && number->restNonZero) ||
                         (fraction == 5 && !number->restNonZero && magnitude % 2 == 1);
    if (roundUp) {
        ++magnitude;
    }
    if (magnitude > (number->negative ? 32768 : 32767)) {
        return ConversionStatus::OutOfRange;
    }
    value = static_cast<std::int16_t>(number->negative ? -magnitude : magnitude);
    return ConversionStatus::Ok;
}

std::int64_t TenthsOfPercent(std::int64_t part, std::int64_t whole) noexcept {
    const std::int64_t numerator = (part < 0 ? -part : part) * 1000;
    const std::int64_t denominator = whole < 0 ? -whole : whole;
    return (2 * numerator + denominator) / (2 * denominator);
}

std::string ConversionReason(std::string_view text, ConversionStatus status) {
    return Quoted(text) + (status == ConversionStatus::OutOfRange
                               ? " is out of range (-32768 to 32767)"
                               : " is not a number");
}

}  // namespace axlewise

#include "records/IntegerText.h"

#include "records/RuntimeError.h"

#include <string>

namespace axlewise {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Large enough that any magnitude beyond it is out of range whatever the
// fraction; the accumulator saturates there instead of overflowing.
constexpr std::int32_t kSaturated = 1'000'000;

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

ConversionStatus TextToInteger(std::string_view text, std::int16_t& value) noexcept {
    text = TrimSpaces(text);
    std::size_t i = 0;
    const std::size_t n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    std::int32_t magnitude = 0;
    int digits = 0;
    for (; i < n && IsDigit(text[i]); ++i, ++digits) {
        if (magnitude < kSaturated) {
            magnitude = magnitude * 10 + (text[i] - '0');
        }
    }

    // The fractional part is only needed to decide the rounding: its first
    // digit and whether anything non-zero follows it.
    int firstFraction = 0;
    bool restNonZero = false;
    if (i < n && text[i] == '.') {
        ++i;
        for (int k = 0; i < n && IsDigit(text[i]); ++i, ++k, ++digits) {
            if (k == 0) {
                firstFraction = text[i] - '0';
            } else if (text[i] != '0') {
                restNonZero = true;
            }
        }
    }
    if (digits == 0 || i != n) {
        return ConversionStatus::NotANumber;
    }

    const bool roundUp = firstFraction > 5 || (firstFraction == 5 && restNonZero) ||
                         (firstFraction == 5 && !restNonZero && magnitude % 2 == 1);
    if (roundUp) {
        ++magnitude;
    }
    const std::int32_t limit = negative ? 32768 : 32767;
    if (magnitude > limit) {
        return ConversionStatus::OutOfRange;
    }
    value = static_cast<std::int16_t>(negative ? -magnitude : magnitude);
    return ConversionStatus::Ok;
}

std::int16_t CInt(std::string_view text) {
    std::int16_t value = 0;
    switch (TextToInteger(text, value)) {
        case ConversionStatus::Ok:
            return value;
        case ConversionStatus::NotANumber:
            throw RuntimeError(ErrorNumber::TypeMismatch,
                               "\"" + std::string(text) + "\" is not a number");
        case ConversionStatus::OutOfRange:
            break;
    }
    throw RuntimeError(ErrorNumber::Overflow,
                       "\"" + std::string(text) + "\" is out of range (-32768 to 32767)");
}

}  // namespace axlewise

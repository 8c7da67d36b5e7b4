#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace axlewise {

enum class ConversionStatus { Ok, NotANumber, OutOfRange };

// Removes space characters (only ' ') at both ends.
std::string_view TrimSpaces(std::string_view text);

// A plain decimal number read from text: an optional sign, digits and an
// optional fractional part, of which only what rounding needs is kept.
struct DecimalText {
    bool negative = false;
    // The integer part; saturates at the largest int64 instead of overflowing.
    std::int64_t whole = 0;
    // The first digit after the point, and whether a non-zero digit follows it.
    int firstFraction = 0;
    bool restNonZero = false;
};

// Reads text, spaces trimmed at both ends, as a plain decimal number. Empty
// text or anything else (exponents, separators, hex, inner blanks, a lone sign
// or point) gives nothing. Never depends on the process locale.
std::optional<DecimalText> ScanDecimal(std::string_view text) noexcept;

// Converts text to a signed 16-bit integer the way truck fields are read: a
// decimal number as ScanDecimal reads it, rounded to the nearest integer with
// halves going to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). Text that
// is not a number is NotANumber; a rounded value outside -32768..32767 is
// OutOfRange.
ConversionStatus TextToInteger(std::string_view text, std::int16_t& value) noexcept;

// |part| / |whole| in tenths of a percent, a half rounded away from zero:
// 247 of 2000 is 124 (12.35% -> 12.4%). Worked out exactly on integers, so a
// decimal half never rounds the wrong way by the binary noise of a double.
// whole must not be 0.
std::int64_t TenthsOfPercent(std::int64_t part, std::int64_t whole) noexcept;

// Why a conversion failed, quoting the text as Quoted does:
// "\"1x3\" is not a number".
std::string ConversionReason(std::string_view text, ConversionStatus status);

}  // namespace axlewise

#pragma once

#include <cstdint>
#include <string_view>

namespace axlewise {

enum class ConversionStatus { Ok, NotANumber, OutOfRange };

// Removes space characters (only ' ') at both ends.
std::string_view TrimSpaces(std::string_view text);

// Converts text to a signed 16-bit integer the way truck fields are read:
// spaces trimmed at both ends; an optional sign; decimal digits with an
// optional fractional part, rounded to the nearest integer with halves going to
// the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). Empty text or anything
// else (exponents, separators, hex, inner blanks) is NotANumber; a rounded value
// outside -32768..32767 is OutOfRange. Never depends on the process locale.
ConversionStatus TextToInteger(std::string_view text, std::int16_t& value) noexcept;

// The same conversion, raising RuntimeError 13 (type mismatch) or 6 (overflow).
std::int16_t CInt(std::string_view text);

}  // namespace axlewise

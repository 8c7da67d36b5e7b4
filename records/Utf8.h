#pragma once

#include <cstddef>
#include <string_view>

namespace axlewise {

// True when every byte is below 0x80.
bool IsAscii(std::string_view text) noexcept;

// Length (1 to 4) of the well-formed UTF-8 sequence that starts at text[pos], or
// 0 when the bytes there are not one: a stray continuation byte, an overlong
// form, a surrogate, a code point past U+10FFFF or a cut-off sequence.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) noexcept;

// True when the whole text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text) noexcept;

}  // namespace axlewise

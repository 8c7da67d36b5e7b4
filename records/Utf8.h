#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace axlewise {

// The project's one reading of UTF-8. A character is a well-formed sequence,
// or a single byte that begins none (a stray continuation byte, an overlong
// form, a surrogate, a code point past U+10FFFF, a cut-off sequence); every
// function here splits text into characters the same way, so that counts,
// boundaries and decoded text always agree.

// True when every byte is below 0x80.
bool IsAscii(std::string_view text) noexcept;

// Length (1 to 4) of the well-formed UTF-8 sequence that starts at text[pos], or
// 0 when the bytes there are not one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) noexcept;

// True when the whole text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text) noexcept;

// Bytes of the character that starts at text[pos] (pos < text.size()): the
// sequence's length, or 1 for a byte that begins none.
std::size_t Utf8CharLength(std::string_view text, std::size_t pos) noexcept;

// The start of the character that holds text[pos] (pos <= text.size()): pos
// itself, or where the well-formed sequence that pos lies inside begins, at
// most 3 bytes before. Only the bytes from pos - 3 to pos + 2 are looked at.
std::size_t Utf8CharStart(std::string_view text, std::size_t pos) noexcept;

// Characters counted in text, and the bytes they took.
struct Utf8Count {
    std::int64_t chars = 0;
    std::size_t bytes = 0;
};

// Counts the characters of text. With `continues` set the text is a piece of a
// longer one: a well-formed sequence cut short by the piece's end is left
// uncounted, and `bytes` tells where counting stopped.
Utf8Count CountUtf8Chars(std::string_view text, bool continues = false) noexcept;

// UTF-8 decoded to UTF-16, with the byte each code unit came from.
struct Utf16Text {
    std::u16string text;
    // Per code unit, the offset of the first byte of its character, then the
    // end; empty when asked for none.
    std::vector<std::int32_t> byteOf;
    // The bytes decoded: where decoding stopped.
    std::size_t bytes = 0;
};

// Decodes text to at most maxUnits UTF-16 code units, never splitting a
// surrogate pair. A byte that begins no well-formed sequence becomes one
// U+FFFD, so that every byte stays reachable. A leading U+FEFF is a character
// like any other. text must be shorter than 2 GiB when byteMap is set.
Utf16Text DecodeUtf8(std::string_view text, std::size_t maxUnits, bool byteMap);

// Decodes the whole of text into out, which has room for text.size() units;
// returns the units written.
std::size_t DecodeUtf8Into(std::string_view text, char16_t* out) noexcept;

// Encodes UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string EncodeUtf8(std::u16string_view text);

}  // namespace axlewise

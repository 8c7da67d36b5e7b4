#include "records/Utf8.h"

#include <algorithm>
#include <cstring>

namespace axlewise {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

unsigned Byte(std::string_view text, std::size_t i) {
    return static_cast<unsigned char>(text[i]);
}

// The code point of the well-formed sequence of `length` bytes at text[pos].
char32_t CodePoint(std::string_view text, std::size_t pos, std::size_t length) {
    static constexpr unsigned kLeadBits[] = {0x7F, 0x1F, 0x0F, 0x07};
    char32_t code = Byte(text, pos) & kLeadBits[length - 1];
    for (std::size_t k = 1; k < length; ++k) {
        code = (code << 6) | (Byte(text, pos + k) & 0x3Fu);
    }
    return code;
}

// The length of the run of ASCII bytes at text[pos], eight at a time where it
// can: most text is ASCII, and this is the decoder's and the counter's hot loop.
std::size_t AsciiRun(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (text.size() - end >= 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + end, 8);
        if (word & 0x8080808080808080ull) {
            break;
        }
        end += 8;
    }
    while (end < text.size() && Byte(text, end) < 0x80) {
        ++end;
    }
    return end - pos;
}

// The one decoding loop. Writes at most maxUnits units to out and, when byteOf
// is given, the byte of each; returns the units written and sets `bytes` to
// where it stopped.
std::size_t Decode(std::string_view text, std::size_t maxUnits, char16_t* out, std::int32_t* byteOf,
                   std::size_t& bytes) {
    std::size_t units = 0;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && units < maxUnits) {
        // Bounded, so that a long ASCII text is not scanned past what fits.
        const std::size_t ascii = AsciiRun(text.substr(0, std::min(n, i + (maxUnits - units))), i);
        for (std::size_t k = 0; k < ascii; ++k, ++i, ++units) {
            out[units] = static_cast<char16_t>(Byte(text, i));
            if (byteOf) {
                byteOf[units] = static_cast<std::int32_t>(i);
            }
        }
        if (i == n || units == maxUnits) {
            break;
        }
        const std::size_t length = Utf8SequenceLength(text, i);
        const char32_t code = length > 0 ? CodePoint(text, i, length) : kReplacement;
        const std::size_t size = code >= 0x10000 ? 2 : 1;
        if (units + size > maxUnits) {
            break;
        }
        if (size == 2) {
            out[units] = static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out[units + 1] = static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            out[units] = static_cast<char16_t>(code);
        }
        if (byteOf) {
            byteOf[units] = static_cast<std::int32_t>(i);
            if (size == 2) {
                byteOf[units + 1] = static_cast<std::int32_t>(i);
            }
        }
        units += size;
        i += std::max<std::size_t>(length, 1);
    }
    bytes = i;
    return units;
}

}  // namespace

bool IsAscii(std::string_view text) noexcept {
    // OR-ing every byte has no early exit, so the compiler vectorises it.
    unsigned char bits = 0;
    for (const char c : text) {
        bits |= static_cast<unsigned char>(c);
    }
    return bits < 0x80;
}

namespace {

// What a lead byte begins: the length of its sequence (0 for none) and the
// range its second byte must lie in (overlong forms, surrogates and code
// points past U+10FFFF are excluded there; later bytes are 80..BF).
struct Lead {
    std::size_t length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
};

Lead LeadOf(unsigned lead) {
    if (lead < 0x80) {
        return {1};
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return {2};
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return {3, lead == 0xE0 ? 0xA0u : 0x80u, lead == 0xED ? 0x9Fu : 0xBFu};
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return {4, lead == 0xF0 ? 0x90u : 0x80u, lead == 0xF4 ? 0x8Fu : 0xBFu};
    }
    return {};
}

// True when the bytes of text from pos on, as many as there are up to the
// lead's length, are those a well-formed sequence would have.
bool Agrees(std::string_view text, std::size_t pos, const Lead& lead) {
    const std::size_t present = std::min(lead.length, text.size() - pos);
    for (std::size_t k = 1; k < present; ++k) {
        const unsigned byte = Byte(text, pos + k);
        const bool fits = k == 1 ? byte >= lead.low && byte <= lead.high : (byte & 0xC0) == 0x80;
        if (!fits) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) noexcept {
    const Lead lead = LeadOf(Byte(text, pos));
    if (lead.length == 0 || text.size() - pos < lead.length || !Agrees(text, pos, lead)) {
        return 0;
    }
    return lead.length;
}

bool IsValidUtf8(std::string_view text) noexcept {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, pos);
        if (length == 0) {
            return false;
        }
        pos += length;
    }
    return true;
}

std::size_t Utf8CharLength(std::string_view text, std::size_t pos) noexcept {
    return std::max<std::size_t>(Utf8SequenceLength(text, pos), 1);
}

std::size_t Utf8CharStart(std::string_view text, std::size_t pos) noexcept {
    // A well-formed sequence begins with a lead byte, which no sequence holds
    // inside it, so the decoder, coming from any earlier place, starts a
    // character there: pos is inside a character exactly when one of the three
    // bytes before it begins a sequence that reaches pos.
    for (std::size_t back = 1; back <= 3 && back <= pos; ++back) {
        const std::size_t at = pos - back;
        if (Byte(text, at) >= 0xC2) {
            return Utf8SequenceLength(text, at) > back ? at : pos;
        }
        if ((Byte(text, at) & 0xC0) != 0x80) {
            return pos;  // ASCII or a byte that begins nothing: no sequence reaches past it
        }
    }
    return pos;
}

Utf8Count CountUtf8Chars(std::string_view text, bool continues) noexcept {
    Utf8Count count;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const std::size_t ascii = AsciiRun(text, i);
        count.chars += static_cast<std::int64_t>(ascii);
        i += ascii;
        if (i == n) {
            break;
        }
        const std::size_t length = Utf8SequenceLength(text, i);
        // A sequence the piece's end cut short is counted with the next piece.
        if (length == 0 && continues) {
            const Lead lead = LeadOf(Byte(text, i));
            if (lead.length > n - i && Agrees(text, i, lead)) {
                break;
            }
        }
        ++count.chars;
        i += std::max<std::size_t>(length, 1);
    }
    count.bytes = i;
    return count;
}

Utf16Text DecodeUtf8(std::string_view text, std::size_t maxUnits, bool byteMap) {
    Utf16Text out;
    // Never more units than bytes.
    const std::size_t room = std::min(text.size(), maxUnits);
    out.text.resize(room);
    if (byteMap) {
        out.byteOf.resize(room + 1);
    }
    const std::size_t units =
        Decode(text, maxUnits, out.text.data(), byteMap ? out.byteOf.data() : nullptr, out.bytes);
    out.text.resize(units);
    if (byteMap) {
        out.byteOf.resize(units + 1);
        out.byteOf[units] = static_cast<std::int32_t>(out.bytes);
    }
    return out;
}

std::size_t DecodeUtf8Into(std::string_view text, char16_t* out) noexcept {
    std::size_t bytes = 0;
    return Decode(text, text.size(), out, nullptr, bytes);
}

std::string EncodeUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = kReplacement;
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

}  // namespace axlewise

#include "text/Find.h"

#include "text/TextBuffer.h"
#include "text/TextSnapshot.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string.h>  // memmem
#include <vector>

namespace axlewise {

namespace {

using Offset = std::int64_t;

// The text as its contiguous pieces, each with the offset it starts at; the
// piece list of a loaded text with some edits is a handful of them.
struct Pieces {
    std::vector<std::string_view> text;
    std::vector<Offset> starts{0};  // and the size after the last piece

    void add(std::string_view piece) {
        text.push_back(piece);
        starts.push_back(starts.back() + static_cast<Offset>(piece.size()));
    }
    Offset size() const { return starts.back(); }
    // The piece that holds offset (0 <= offset < size()).
    std::size_t pieceAt(Offset offset) const {
        return static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), offset) -
                                        starts.begin() - 1);
    }
};

bool IsAsciiLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The second byte of a Latin-1 letter that has another case: U+00C0-U+00DE
// and U+00E0-U+00FE are C3 80-9E and C3 A0-BE, but for the signs U+00D7 and
// U+00F7 (C3 97, C3 B7).
bool IsLatin1LetterTail(unsigned char c) {
    return ((c >= 0x80 && c <= 0x9E) || (c >= 0xA0 && c <= 0xBE)) && c != 0x97 && c != 0xB7;
}

// How common a byte is in the texts searched (truck lines: digits and blanks
// above all, then punctuation, a letter now and then); the rarest byte of a
// needle is the one scanned for, so that few places need a closer look.
int Commonness(unsigned char c) {
    if (c >= 0x80) {
        return 0;
    }
    if (IsAsciiLetter(c)) {
        return 1;
    }
    if (c >= '0' && c <= '9') {
        return 3;
    }
    if (c <= ' ' || c == 0x7F) {
        return 4;
    }
    return 2;
}

// The first byte of [p, end) that is x or y, or end. A word of 8 bytes at a
// time: (v - 0x01..) & ~v & 0x80.. is not 0 exactly when v holds a zero byte,
// so a word without either byte costs a few operations.
const unsigned char* FindEither(const unsigned char* p, const unsigned char* end, unsigned char x,
                                unsigned char y) {
    if (x == y) {
        const void* found = std::memchr(p, x, static_cast<std::size_t>(end - p));
        return found ? static_cast<const unsigned char*>(found) : end;
    }
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    const std::uint64_t xs = kOnes * x;
    const std::uint64_t ys = kOnes * y;
    const auto hasZero = [](std::uint64_t v) { return (v - kOnes) & ~v & kHighs; };
    while (end - p >= 16) {
        std::uint64_t a = 0;
        std::uint64_t b = 0;
        std::memcpy(&a, p, 8);
        std::memcpy(&b, p + 8, 8);
        if (hasZero(a ^ xs) | hasZero(a ^ ys) | hasZero(b ^ xs) | hasZero(b ^ ys)) {
            break;
        }
        p += 16;
    }
    for (; p < end; ++p) {
        if (*p == x || *p == y) {
            return p;
        }
    }
    return end;
}

// The needle as the bytes each of its places accepts: one, or with folding
// two (the letter's small and capital form).
class Pattern {
public:
    Pattern(std::string_view needle, bool matchCase)
        : needle_(needle), small_(needle.begin(), needle.end()), capital_(small_) {
        const std::size_t n = needle.size();
        for (std::size_t j = 0; j < n && !matchCase; ++j) {
            const auto c = static_cast<unsigned char>(needle[j]);
            // A Latin-1 tail folds only after its lead byte C3, which the
            // text must then hold too: C3 never folds.
            const bool latin1 =
                j > 0 && static_cast<unsigned char>(needle[j - 1]) == 0xC3 && IsLatin1LetterTail(c);
            if (IsAsciiLetter(c) || latin1) {
                small_[j] = static_cast<unsigned char>(c | 0x20);
                capital_[j] = static_cast<unsigned char>(c & ~0x20);
                folds_ = true;
            }
        }
        for (std::size_t j = 1; j < n; ++j) {
            if (Commonness(small_[j]) <= Commonness(small_[anchor_])) {
                anchor_ = j;
            }
        }
    }

    Offset size() const { return static_cast<Offset>(needle_.size()); }
    bool accepts(std::size_t j, unsigned char c) const {
        return c == small_[j] || c == capital_[j];
    }

    // The first match wholly inside piece that starts in [from, last], where
    // last + size() <= piece.size().
    std::optional<Offset> firstIn(std::string_view piece, Offset from, Offset last) const {
        const auto* const base = reinterpret_cast<const unsigned char*>(piece.data());
        if (!folds_) {
            const void* found = memmem(base + from, static_cast<std::size_t>(last + size() - from),
                                       needle_.data(), needle_.size());
            return found ? std::optional<Offset>(static_cast<const unsigned char*>(found) - base)
                         : std::nullopt;
        }
        const auto a = static_cast<Offset>(anchor_);
        const unsigned char* const end = base + last + a + 1;
        for (const unsigned char* p = base + from + a;; ++p) {
            p = FindEither(p, end, small_[anchor_], capital_[anchor_]);
            if (p == end) {
                return std::nullopt;
            }
            if (matchesAt(p - a)) {
                return p - a - base;
            }
        }
    }

    // The last match wholly inside piece that starts in [from, last]: the
    // first ones of stretches taken from the end, so that a scan as fast as
    // firstIn's stops near the end when the match is there.
    std::optional<Offset> lastIn(std::string_view piece, Offset from, Offset last) const {
        constexpr Offset kStretch = 64 * 1024;
        for (Offset high = last; high >= from;) {
            const Offset low = std::max(from, high - kStretch + 1);
            std::optional<Offset> found = firstIn(piece, low, high);
            if (found) {
                while (*found < high) {
                    const std::optional<Offset> later = firstIn(piece, *found + 1, high);
                    if (!later) {
                        break;
                    }
                    found = later;
                }
                return found;
            }
            high = low - 1;
        }
        return std::nullopt;
    }

    // True when the needle matches from byte i of piece k on, through the
    // pieces after it as far as it reaches.
    bool matchesAcross(const Pieces& pieces, std::size_t k, std::size_t i) const {
        std::size_t j = 0;
        for (; k < pieces.text.size(); ++k, i = 0) {
            const std::string_view piece = pieces.text[k];
            for (; i < piece.size(); ++i, ++j) {
                if (j == needle_.size()) {
                    return true;
                }
                if (!accepts(j, static_cast<unsigned char>(piece[i]))) {
                    return false;
                }
            }
        }
        return j == needle_.size();
    }

private:
    bool matchesAt(const unsigned char* p) const {
        for (std::size_t j = 0; j < needle_.size(); ++j) {
            if (!accepts(j, p[j])) {
                return false;
            }
        }
        return true;
    }

    std::string_view needle_;
    std::vector<unsigned char> small_;
    std::vector<unsigned char> capital_;
    bool folds_ = false;
    std::size_t anchor_ = 0;
};

// Every match is looked for once: inside a piece by the pattern's fast scan,
// or, when it starts in a piece's last size() - 1 bytes, byte by byte
// across the pieces after it.

// The first match that starts in [lo, hi] (0 <= lo <= hi <= size - n).
std::optional<Offset> Forward(const Pieces& pieces, const Pattern& pattern, Offset lo, Offset hi) {
    const Offset n = pattern.size();
    for (std::size_t k = pieces.pieceAt(lo); k < pieces.text.size() && pieces.starts[k] <= hi;
         ++k) {
        const Offset base = pieces.starts[k];
        const auto length = static_cast<Offset>(pieces.text[k].size());
        const Offset from = std::max<Offset>(lo - base, 0);
        const Offset last = std::min(hi - base, length - 1);
        const Offset inside = std::min(last, length - n);
        if (from <= inside) {
            if (const std::optional<Offset> found = pattern.firstIn(pieces.text[k], from, inside)) {
                return base + *found;
            }
        }
        for (Offset i = std::max(from, length - n + 1); i <= last; ++i) {
            if (pattern.matchesAcross(pieces, k, static_cast<std::size_t>(i))) {
                return base + i;
            }
        }
    }
    return std::nullopt;
}

// The last match that starts in [lo, hi] (0 <= lo <= hi <= size - n).
std::optional<Offset> Backward(const Pieces& pieces, const Pattern& pattern, Offset lo, Offset hi) {
    const Offset n = pattern.size();
    for (std::size_t k = pieces.pieceAt(hi) + 1; k-- > 0 && pieces.starts[k + 1] > lo;) {
        const Offset base = pieces.starts[k];
        const auto length = static_cast<Offset>(pieces.text[k].size());
        const Offset from = std::max<Offset>(lo - base, 0);
        const Offset last = std::min(hi - base, length - 1);
        for (Offset i = last; i >= std::max(from, length - n + 1); --i) {
            if (pattern.matchesAcross(pieces, k, static_cast<std::size_t>(i))) {
                return base + i;
            }
        }
        const Offset inside = std::min(last, length - n);
        if (from <= inside) {
            if (const std::optional<Offset> found = pattern.lastIn(pieces.text[k], from, inside)) {
                return base + *found;
            }
        }
    }
    return std::nullopt;
}

FoundText Search(const Pieces& pieces, std::string_view needle, ByteRange selection,
                 FindOptions options) {
    const Offset size = pieces.size();
    const auto n = static_cast<Offset>(needle.size());
    if (n == 0 || n > size) {
        return {};
    }
    const Pattern pattern(needle, options.matchCase);
    const Offset lastStart = size - n;
    const auto match = [n](std::optional<Offset> start, FindResult result) {
        return start ? FoundText{result, {ByteOffset(*start), ByteOffset(*start + n)}}
                     : FoundText{};
    };
    // The text is searched once at most: after the place, then (wrapped)
    // before it, as far as a match may still reach into it.
    if (!options.backward) {
        const Offset from = std::clamp<Offset>(selection.to.value(), 0, size);
        if (from <= lastStart) {
            if (const auto start = Forward(pieces, pattern, from, lastStart)) {
                return match(start, FindResult::Found);
            }
        }
        return from > 0 ? match(Forward(pieces, pattern, 0, std::min(from - 1, lastStart)),
                                FindResult::Wrapped)
                        : FoundText{};
    }
    const Offset from = std::clamp<Offset>(selection.from.value(), 0, size);
    if (from - n >= 0) {
        if (const auto start = Backward(pieces, pattern, 0, from - n)) {
            return match(start, FindResult::Found);
        }
    }
    const Offset lo = std::max<Offset>(from - n + 1, 0);
    return lo <= lastStart ? match(Backward(pieces, pattern, lo, lastStart), FindResult::Wrapped)
                           : FoundText{};
}

}  // namespace

FoundText Find(const TextBuffer& text, std::string_view needle, ByteRange selection,
               FindOptions options) {
    Pieces pieces;
    text.forEachPiece({ByteOffset(0), text.size()},
                      [&pieces](std::string_view piece) { pieces.add(piece); });
    return Search(pieces, needle, selection, options);
}

FoundText Find(const TextSnapshot& text, std::string_view needle, ByteRange selection,
               FindOptions options) {
    Pieces pieces;
    text.forEachPiece([&pieces](std::string_view piece) { pieces.add(piece); });
    return Search(pieces, needle, selection, options);
}

}  // namespace axlewise

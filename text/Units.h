#pragma once

#include <cstddef>
#include <cstdint>

namespace axlewise {

// A number of one kind: bytes, lines or UTF-16 code units. Numbers of the same
// kind add, subtract and compare; numbers of different kinds, or a kind and a
// plain integer, do not mix without saying so through value() or the
// explicit constructor, so that a byte offset is never compared with a code
// unit index by accident.
template <typename Kind>
class Count {
public:
    using Rep = std::int64_t;

    constexpr Count() = default;
    constexpr explicit Count(Rep value) : value_(value) {}

    constexpr Rep value() const { return value_; }
    // For indexing standard containers; the value must not be negative.
    constexpr std::size_t index() const { return static_cast<std::size_t>(value_); }

    friend constexpr bool operator==(Count a, Count b) { return a.value_ == b.value_; }
    friend constexpr bool operator!=(Count a, Count b) { return a.value_ != b.value_; }
    friend constexpr bool operator<(Count a, Count b) { return a.value_ < b.value_; }
    friend constexpr bool operator<=(Count a, Count b) { return a.value_ <= b.value_; }
    friend constexpr bool operator>(Count a, Count b) { return a.value_ > b.value_; }
    friend constexpr bool operator>=(Count a, Count b) { return a.value_ >= b.value_; }

    constexpr Count& operator+=(Count other) {
        value_ += other.value_;
        return *this;
    }
    constexpr Count& operator-=(Count other) {
        value_ -= other.value_;
        return *this;
    }
    constexpr Count& operator++() {
        ++value_;
        return *this;
    }
    constexpr Count& operator--() {
        --value_;
        return *this;
    }
    friend constexpr Count operator+(Count a, Count b) { return Count(a.value_ + b.value_); }
    friend constexpr Count operator-(Count a, Count b) { return Count(a.value_ - b.value_); }

private:
    Rep value_ = 0;
};

struct ByteKind;
struct LineKind;
struct Utf16Kind;

// A place in UTF-8 text, in bytes from its start, or a number of bytes.
using ByteOffset = Count<ByteKind>;
// A line number, from 0, or a number of lines.
using LineNumber = Count<LineKind>;
// A place in UTF-16 text, in code units from its start, or a number of units.
using Utf16Index = Count<Utf16Kind>;

// A stretch of text, [from, to).
struct ByteRange {
    ByteOffset from;
    ByteOffset to;

    constexpr ByteOffset size() const { return to - from; }
    constexpr bool empty() const { return from == to; }
    constexpr bool contains(ByteOffset at) const { return from <= at && at < to; }
    friend constexpr bool operator==(const ByteRange& a, const ByteRange& b) {
        return a.from == b.from && a.to == b.to;
    }
};

// Lines [first, oldLast] of a text were replaced by lines [first, newLast]:
// what an edit tells the views of lines. first == oldLast == newLast when one
// line changed in place.
struct LineChange {
    LineNumber first;
    LineNumber oldLast;
    LineNumber newLast;

    constexpr LineNumber shift() const { return newLast - oldLast; }
};

}  // namespace axlewise

#pragma once

#include "text/Units.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace axlewise {

// Where the '\n's of a text are: the byte offset of each, in order. A load
// builds it while it reads the lines (append), or Of() builds it in one pass;
// the text box takes it over with the text, so that a loaded file is never
// scanned twice. 8 bytes a line.
class LineIndex {
public:
    LineIndex() = default;
    // The offsets as a load keeps them: ascending, each a '\n'. Implicit, so
    // that a load's vector is taken where an index is asked for.
    LineIndex(std::vector<std::int64_t> breaks) : breaks_(std::move(breaks)) {}

    // The index of text, found with one memchr per line.
    static LineIndex Of(std::string_view text);

    // Adds the break at `at`, after every break already held.
    void append(ByteOffset at) { breaks_.push_back(at.value()); }
    // Adds the breaks of text, which starts at `base`, after every break held.
    void appendBreaksOf(std::string_view text, ByteOffset base);
    // Gives back the room that growing left unused.
    void shrink() { breaks_.shrink_to_fit(); }

    // How many breaks; the text has one line more.
    std::int64_t size() const { return static_cast<std::int64_t>(breaks_.size()); }
    // The offset of break number b (0 <= b < size()).
    ByteOffset operator[](std::int64_t b) const {
        return ByteOffset(breaks_[static_cast<std::size_t>(b)]);
    }
    // How many of the breaks number [first, first + count) lie before `at`.
    std::int64_t countBefore(std::int64_t first, std::int64_t count, ByteOffset at) const;
    // True when the index is exactly that of text (for checks and tests).
    bool describes(std::string_view text) const;

private:
    std::vector<std::int64_t> breaks_;
};

}  // namespace axlewise

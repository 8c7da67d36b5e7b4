#include "text/LineIndex.h"

#include <algorithm>
#include <cstring>

namespace axlewise {

LineIndex LineIndex::Of(std::string_view text) {
    LineIndex index;
    index.appendBreaksOf(text, ByteOffset(0));
    // Growth by doubling may leave up to twice the room; the index is kept for
    // as long as the text, so it gives the rest back.
    index.shrink();
    return index;
}

void LineIndex::appendBreaksOf(std::string_view text, ByteOffset base) {
    // One memchr per line: the library's scan is far faster than a loop over bytes.
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    for (const char* from = begin; from != end;) {
        const void* found = std::memchr(from, '\n', static_cast<std::size_t>(end - from));
        if (!found) {
            break;
        }
        const char* const at = static_cast<const char*>(found);
        breaks_.push_back(base.value() + (at - begin));
        from = at + 1;
    }
}

std::int64_t LineIndex::countBefore(std::int64_t first, std::int64_t count, ByteOffset at) const {
    const auto begin = breaks_.begin() + first;
    return std::lower_bound(begin, begin + count, at.value()) - begin;
}

bool LineIndex::describes(std::string_view text) const {
    std::size_t next = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            if (next == breaks_.size() || breaks_[next] != static_cast<std::int64_t>(i)) {
                return false;
            }
            ++next;
        }
    }
    return next == breaks_.size();
}

}  // namespace axlewise

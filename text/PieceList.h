#pragma once

// The piece list that TextBuffer edits and TextSnapshot reads; not for use
// outside text/.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace axlewise::pieces {

using Offset = std::int64_t;
using Line = std::int64_t;

// The block that holds the loaded text; the add buffer's chunks follow it.
constexpr std::uint32_t kOriginal = 0;

// A run of bytes of one block, [start, start + length), holding `breaks` line
// breaks; the first of them is the block's break number firstBreak (its place
// in the block's line index), so that a break is found without a search.
struct Span {
    std::uint32_t block = kOriginal;
    Offset start = 0;
    Offset length = 0;
    Line firstBreak = 0;
    Line breaks = 0;
};

// The text as spans in order, with two prefix sums beside them: where each
// span starts in the text and how many breaks come before it (each with a last
// entry for the whole text).
struct PieceList {
    std::vector<Span> spans;
    std::vector<Offset> offsets{0};
    std::vector<Line> lines{0};

    Offset size() const { return offsets.back(); }
    // The span that holds offset, or spans.size() for offset == size().
    std::size_t spanAt(Offset offset) const;
    // Recomputes the sums after span `from`, whose own entries are unchanged.
    void updateSums(std::size_t from);
};

// The bytes of every block, by block number; each pointer keeps its block alive.
using Blocks = std::vector<std::shared_ptr<const char>>;

// Calls visit with the text of [from, to) of list, a contiguous piece at a time.
template <typename Visit>
void VisitRange(const PieceList& list, const Blocks& blocks, Offset from, Offset to,
                Visit&& visit) {
    for (std::size_t k = list.spanAt(from); from < to; ++k) {
        const Span& span = list.spans[k];
        const Offset begin = from - list.offsets[k];
        const Offset end = std::min(span.length, to - list.offsets[k]);
        visit(std::string_view(blocks[span.block].get() + span.start + begin,
                               static_cast<std::size_t>(end - begin)));
        from = list.offsets[k] + end;
    }
}

}  // namespace axlewise::pieces

#pragma once

#include "records/SharedText.h"
#include "text/Units.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace axlewise {

namespace pieces {
struct PieceList;
}

// The text of a TextBuffer as it was when the snapshot was taken: copyable,
// immutable, and safe to read on another thread while the buffer goes on being
// edited. It shares the buffer's blocks (whose bytes never change once
// written) and its piece list (which the buffer copies before its next edit
// instead of changing it), so taking one costs no copy of the text.
class TextSnapshot {
public:
    // How much join copies between two calls of progress: 4 MiB.
    static constexpr std::size_t kJoinStep = std::size_t{4} << 20;

    TextSnapshot();  // an empty text
    ~TextSnapshot();
    TextSnapshot(const TextSnapshot&);
    TextSnapshot& operator=(const TextSnapshot&);

    ByteOffset size() const;
    bool empty() const { return size() == ByteOffset(0); }
    // The buffer's revision when the snapshot was taken.
    std::uint64_t revision() const { return revision_; }

    // Calls visit with the text in order, a contiguous piece at a time.
    void forEachPiece(const std::function<void(std::string_view)>& visit) const;
    // A copy of range (within 0..size()).
    std::string text(ByteRange range) const;

    // The whole text as one SharedText. While the text is one stretch of the
    // loaded block it is a slice of that block: no copy, and progress is not
    // called. Otherwise the pieces are copied into a new block, and progress,
    // if given, is called with the share done, in (0, 1], after every
    // kJoinStep bytes and once at the end; when it returns false the copy
    // stops and join gives nothing.
    std::optional<SharedText> join(const std::function<bool(double)>& progress = {}) const;

private:
    friend class TextBuffer;

    std::shared_ptr<const pieces::PieceList> pieces_;
    std::vector<std::shared_ptr<const char>> blocks_;
    SharedText original_;
    std::uint64_t revision_ = 0;
};

}  // namespace axlewise

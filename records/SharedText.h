#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace axlewise {

// An immutable piece of text that may share its storage with others: a slice
// of a larger text kept alive by every SharedText cut from it. The records of a
// loaded file all keep their lines as slices of the one loaded text, instead of
// a heap block per line, which halves the memory a large load touches. The text
// never changes, so a copy behaves exactly like a copied string; a moved-from
// SharedText is empty. While any slice lives, the whole text it was cut from
// stays in memory.
class SharedText {
public:
    using Block = std::shared_ptr<const std::string>;

    SharedText() = default;
    // Owns a copy of the text.
    explicit SharedText(std::string_view text);
    // A slice of *block; slice must lie inside it.
    SharedText(Block block, std::string_view slice);

    // The text, valid while this SharedText (or a copy of it) lives; so not
    // offered on temporaries.
    std::string_view view() const& noexcept {
        return block_ ? std::string_view(*block_).substr(offset_, size_) : std::string_view();
    }
    std::string_view view() const&& = delete;
    operator std::string_view() const& noexcept { return view(); }
    operator std::string_view() const&& = delete;

    std::string str() const { return std::string(view()); }
    // The block the text is a slice of (null for an empty text), so that more
    // slices of the same block can be cut.
    const Block& block() const noexcept { return block_; }
    // Where the slice starts in its block (0 for an empty text).
    std::size_t offset() const noexcept { return offset_; }
    std::size_t size() const noexcept { return view().size(); }
    bool empty() const noexcept { return size() == 0; }

private:
    Block block_;
    // The slice as a place in the block, so that it can never outlive it.
    std::size_t offset_ = 0;
    std::size_t size_ = 0;
};

}  // namespace axlewise

#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace axlewise {

// An immutable piece of text that may share its storage with others: a slice
// of a larger text kept alive by every SharedText cut from it. The records of a
// loaded file all keep their lines as slices of the one loaded text, instead of
// a heap block per line, which halves the memory a large load touches. The text
// never changes, so a copy behaves exactly like a copied string.
class SharedText {
public:
    using Block = std::shared_ptr<const std::string>;

    SharedText() = default;
    // Owns a copy of the text.
    explicit SharedText(std::string_view text);
    // A slice of *block; slice must lie inside it.
    SharedText(Block block, std::string_view slice) : block_(std::move(block)), view_(slice) {}

    std::string_view view() const noexcept { return view_; }
    operator std::string_view() const noexcept { return view_; }
    std::string str() const { return std::string(view_); }
    std::size_t size() const noexcept { return view_.size(); }
    bool empty() const noexcept { return view_.empty(); }

    friend bool operator==(const SharedText& a, const SharedText& b) { return a.view_ == b.view_; }
    friend bool operator==(const SharedText& a, std::string_view b) { return a.view_ == b; }

private:
    Block block_;
    std::string_view view_;
};

}  // namespace axlewise

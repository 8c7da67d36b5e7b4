#include "records/SharedText.h"

#include <cassert>
#include <functional>

namespace axlewise {

SharedText::SharedText(std::string_view text) {
    if (!text.empty()) {
        block_ = std::make_shared<const std::string>(text);
        size_ = text.size();
    }
}

SharedText::SharedText(Block block, std::string_view slice) : block_(std::move(block)) {
    if (!block_) {
        assert(slice.empty());
        return;
    }
    const char* const begin = block_->data();
    // Compared through std::less, which orders any two pointers.
    assert(!std::less<const char*>()(slice.data(), begin) &&
           !std::less<const char*>()(begin + block_->size(), slice.data() + slice.size()));
    offset_ = static_cast<std::size_t>(slice.data() - begin);
    size_ = slice.size();
}

}  // namespace axlewise

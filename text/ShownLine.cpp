#include "text/ShownLine.h"

#include "records/Utf8.h"

#include <algorithm>
#include <cassert>

namespace axlewise {

ShownLine::ShownLine(std::string_view firstBytes, ByteOffset lineBytes) : lineBytes_(lineBytes) {
    assert(static_cast<std::int64_t>(firstBytes.size()) <= lineBytes.value());
    Utf16Text decoded = DecodeUtf8(firstBytes, kMaxShownUnits.index(), true);
    assert(decoded.bytes < firstBytes.size() || firstBytes.size() == lineBytes.index());
    text_ = std::move(decoded.text);
    shownBytes_ = ByteOffset(static_cast<std::int64_t>(decoded.bytes));
    if (text_.size() != decoded.bytes) {
        byteOf_ = std::move(decoded.byteOf);
    }
}

std::int64_t ShownLine::shownChars() const {
    // A character is one unit, or two for a surrogate pair.
    const auto pairs = std::count_if(
        text_.begin(), text_.end(), [](char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; });
    return static_cast<std::int64_t>(text_.size()) - pairs;
}

void ShownLine::placePreedit(ByteOffset caretInLine, Utf16Index length) {
    preeditAt_ = textIndex(std::min(caretInLine, shownBytes_));
    preeditLength_ = length;
}

Utf16Index ShownLine::ownLength() const {
    return Utf16Index(static_cast<std::int64_t>(text_.size())) + preeditLength_;
}

Utf16Index ShownLine::textIndex(ByteOffset inLine) const {
    if (inLine >= shownBytes_) {
        return Utf16Index(static_cast<std::int64_t>(text_.size()));
    }
    if (byteOf_.empty()) {
        return Utf16Index(std::max<std::int64_t>(inLine.value(), 0));
    }
    // The first unit of the byte's character.
    const auto at = std::lower_bound(byteOf_.begin(), byteOf_.end(), inLine.value());
    return Utf16Index(at - byteOf_.begin());
}

ByteOffset ShownLine::textByte(Utf16Index index) const {
    const auto i =
        std::clamp<std::int64_t>(index.value(), 0, static_cast<std::int64_t>(text_.size()));
    if (byteOf_.empty()) {
        return ByteOffset(i);
    }
    return ByteOffset(byteOf_[static_cast<std::size_t>(i)]);
}

Utf16Index ShownLine::indexOf(ByteOffset inLine) const {
    if (cut() && inLine >= lineBytes_) {
        return length();
    }
    if (inLine > shownBytes_) {
        return ownLength();
    }
    const Utf16Index index = textIndex(inLine);
    // Before a pre-edit at the same place.
    return preeditAt_ >= Utf16Index(0) && index > preeditAt_ ? index + preeditLength_ : index;
}

ByteOffset ShownLine::byteAt(Utf16Index index) const {
    if (index > ownLength()) {
        return lineBytes_;
    }
    if (preeditAt_ >= Utf16Index(0) && index > preeditAt_) {
        index = std::max(preeditAt_, index - preeditLength_);
    }
    return textByte(index);
}

Utf16Index ShownLine::caretIndex(ByteOffset inLine, Utf16Index preeditCursor) const {
    const Utf16Index index = indexOf(inLine);
    return preeditAt_ >= Utf16Index(0) && index == preeditAt_
               ? index + std::clamp(preeditCursor, Utf16Index(0), preeditLength_)
               : index;
}

}  // namespace axlewise

#include "text/TextSnapshot.h"

#include "text/PieceList.h"

#include <algorithm>
#include <string>

namespace axlewise {

namespace pieces {

std::size_t PieceList::spanAt(Offset offset) const {
    return static_cast<std::size_t>(std::upper_bound(offsets.begin(), offsets.end(), offset) -
                                    offsets.begin() - 1);
}

void PieceList::updateSums(std::size_t from) {
    offsets.resize(spans.size() + 1);
    lines.resize(spans.size() + 1);
    for (std::size_t k = from; k < spans.size(); ++k) {
        offsets[k + 1] = offsets[k] + spans[k].length;
        lines[k + 1] = lines[k] + spans[k].breaks;
    }
}

}  // namespace pieces

namespace {

const std::shared_ptr<const pieces::PieceList>& EmptyList() {
    static const auto empty = std::make_shared<const pieces::PieceList>();
    return empty;
}

}  // namespace

TextSnapshot::TextSnapshot() : pieces_(EmptyList()) {}
TextSnapshot::~TextSnapshot() = default;
TextSnapshot::TextSnapshot(const TextSnapshot&) = default;
TextSnapshot& TextSnapshot::operator=(const TextSnapshot&) = default;

ByteOffset TextSnapshot::size() const {
    return ByteOffset(pieces_->size());
}

void TextSnapshot::forEachPiece(const std::function<void(std::string_view)>& visit) const {
    pieces::VisitRange(*pieces_, blocks_, 0, pieces_->size(), visit);
}

std::string TextSnapshot::text(ByteRange range) const {
    std::string out;
    out.reserve(range.size().index());
    pieces::VisitRange(*pieces_, blocks_, range.from.value(), range.to.value(),
                       [&out](std::string_view piece) { out += piece; });
    return out;
}

std::optional<SharedText> TextSnapshot::join(const std::function<bool(double)>& progress) const {
    const pieces::PieceList& list = *pieces_;
    if (list.spans.empty()) {
        return SharedText();
    }
    // The loaded slice is still the text, or one stretch of it (head lines
    // deleted, say): a slice of the same block. Edits undone back to it have
    // been joined into one span again.
    if (list.spans.size() == 1 && list.spans.front().block == pieces::kOriginal) {
        const pieces::Span& span = list.spans.front();
        if (span.length == static_cast<pieces::Offset>(original_.size())) {
            return original_;
        }
        return SharedText(original_.block(),
                          original_.view().substr(static_cast<std::size_t>(span.start),
                                                  static_cast<std::size_t>(span.length)));
    }
    const auto total = static_cast<std::size_t>(list.size());
    std::string joined;
    joined.reserve(total);
    std::size_t done = 0;
    std::size_t reported = 0;
    bool cancelled = false;
    pieces::VisitRange(list, blocks_, 0, list.size(), [&](std::string_view piece) {
        while (!cancelled && !piece.empty()) {
            // Up to the next report, so that a huge piece reports as it goes.
            const std::size_t take = std::min(piece.size(), reported + kJoinStep - done);
            joined.append(piece.data(), take);
            done += take;
            piece.remove_prefix(take);
            if (done == reported + kJoinStep) {
                reported = done;
                if (progress && done < total) {
                    cancelled = !progress(static_cast<double>(done) / static_cast<double>(total));
                }
            }
        }
    });
    if (cancelled || (progress && !progress(1.0))) {
        return std::nullopt;
    }
    auto block = std::make_shared<const std::string>(std::move(joined));
    return SharedText(block, *block);
}

}  // namespace axlewise

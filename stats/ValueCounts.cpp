#include "stats/ValueCounts.h"

#include <algorithm>
#include <limits>

namespace axlewise {

namespace {

constexpr int kSmallest = std::numeric_limits<std::int16_t>::min();
constexpr int kLargest = std::numeric_limits<std::int16_t>::max();
// The first slots taken: enough for a weight or a speed without regrowing.
constexpr int kFirstSlots = 256;

}  // namespace

void ValueCounts::grow(int value) {
    int lo = lowest_;
    int hi = lowest_ + static_cast<int>(counts_.size()) - 1;
    if (counts_.empty()) {
        lo = value - kFirstSlots / 2;
        hi = value + kFirstSlots / 2 - 1;
    } else {
        const int spare = static_cast<int>(counts_.size());
        if (value < lo) {
            lo = std::min(value, lo - spare);
        } else {
            hi = std::max(value, hi + spare);
        }
    }
    lo = std::max(lo, kSmallest);
    hi = std::min(hi, kLargest);
    std::vector<TruckIndex> wider(static_cast<std::size_t>(hi - lo + 1), 0);
    std::copy(counts_.begin(), counts_.end(),
              wider.begin() + static_cast<std::ptrdiff_t>(lowest_ - lo));
    counts_ = std::move(wider);
    lowest_ = lo;
}

void ValueCounts::merge(const ValueCounts& other) {
    if (other.total_ == 0) {
        return;
    }
    // Growing to the other's two ends makes every one of its slots fit.
    const int otherHighest = other.lowest_ + static_cast<int>(other.counts_.size()) - 1;
    for (const int end : {other.lowest_, otherHighest}) {
        const int slot = end - lowest_;
        if (counts_.empty() || slot < 0 || slot >= static_cast<int>(counts_.size())) {
            grow(end);
        }
    }
    const auto offset = static_cast<std::size_t>(other.lowest_ - lowest_);
    for (std::size_t slot = 0; slot < other.counts_.size(); ++slot) {
        counts_[offset + slot] += other.counts_[slot];
    }
    total_ += other.total_;
}

TruckIndex ValueCounts::count(int value) const {
    const int slot = value - lowest_;
    if (slot < 0 || slot >= static_cast<int>(counts_.size())) {
        return 0;
    }
    return counts_[static_cast<std::size_t>(slot)];
}

int ValueCounts::atRank(TruckIndex rank) const {
    TruckIndex seen = 0;
    for (std::size_t slot = 0; slot < counts_.size(); ++slot) {
        seen += counts_[slot];
        if (seen >= rank) {
            return lowest_ + static_cast<int>(slot);
        }
    }
    return lowest_ + static_cast<int>(counts_.size()) - 1;
}

int ValueCounts::percentile(int perThousand) const {
    // ceil(p * n / 1000) without floating point; n * 1000 fits easily in 64 bits.
    const TruckIndex rank = (static_cast<TruckIndex>(perThousand) * total_ + 999) / 1000;
    return atRank(std::max<TruckIndex>(1, rank));
}

double ValueCounts::median() const {
    if (total_ % 2 == 1) {
        return atRank((total_ + 1) / 2);
    }
    return (atRank(total_ / 2) + atRank(total_ / 2 + 1)) / 2.0;
}

double MedianOf(std::vector<std::int16_t>& values) {
    const std::size_t half = values.size() / 2;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(half);
    std::nth_element(values.begin(), middle, values.end());
    const double upper = *middle;
    if (values.size() % 2 == 1) {
        return upper;
    }
    // After nth_element every value before the middle is at most the middle one;
    // the largest of them is the lower middle value.
    const double lower = *std::max_element(values.begin(), middle);
    return (lower + upper) / 2.0;
}

}  // namespace axlewise

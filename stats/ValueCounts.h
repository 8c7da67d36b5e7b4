#pragma once

#include "records/BrowserState.h"

#include <cstdint>
#include <vector>

namespace axlewise {

// How many times each value of a 16-bit field occurred. The counts are kept
// one slot per value over the range seen so far (at most 65536 slots), so
// percentiles and medians need no sorting however many values were added.
class ValueCounts {
public:
    void add(std::int16_t value) {
        int slot = value - lowest_;
        if (slot < 0 || slot >= static_cast<int>(counts_.size())) {
            grow(value);
            slot = value - lowest_;
        }
        ++counts_[static_cast<std::size_t>(slot)];
        ++total_;
    }
    // Adds every count of other.
    void merge(const ValueCounts& other);

    TruckIndex total() const { return total_; }
    TruckIndex count(int value) const;

    // The value at a 1-based rank in ascending order, rank 1..total().
    int atRank(TruckIndex rank) const;
    // The nearest-rank percentile, in thousandths (5 is the 0.5th percentile,
    // 500 the median, 995 the 99.5th): the value at rank ceil(p / 1000 * n),
    // at least rank 1. total() must not be 0.
    int percentile(int perThousand) const;
    // The middle value; with an even count, the mean of the two middle ones.
    // total() must not be 0.
    double median() const;

    // Calls f(value, count) for every value counted at least once, ascending.
    template <typename F>
    void forEach(F f) const {
        for (std::size_t slot = 0; slot < counts_.size(); ++slot) {
            if (counts_[slot] != 0) {
                f(lowest_ + static_cast<int>(slot), counts_[slot]);
            }
        }
    }

private:
    // Widens the slots to hold value, with room to spare on that side so that
    // a run of growing values reallocates only a few times.
    void grow(int value);

    int lowest_ = 0;  // the value of slot 0
    std::vector<TruckIndex> counts_;
    TruckIndex total_ = 0;
};

// The median of the values (see ValueCounts::median), found by selection in
// linear time; the values are reordered. values must not be empty.
double MedianOf(std::vector<std::int16_t>& values);

}  // namespace axlewise

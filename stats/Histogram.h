#pragma once

#include "records/BrowserState.h"
#include "stats/ValueCounts.h"

#include <cstddef>
#include <vector>

namespace axlewise {

// Counts of integer values in bins of equal width. Bin i holds the values
// first + i * width .. first + (i + 1) * width - 1; values beyond the bins are
// only counted.
struct Histogram {
    int first = 0;  // a multiple of width
    int width = 1;
    std::vector<TruckIndex> counts;
    TruckIndex below = 0;  // values under first
    TruckIndex above = 0;  // values at or past end()

    int end() const { return first + width * static_cast<int>(counts.size()); }
    // The middle of bin i as a reader names it: its first value plus half the
    // width (385 for the bin 380..389).
    int middle(std::size_t bin) const { return first + width * static_cast<int>(bin) + width / 2; }
};

// The values of counts in bins of the width, from the bin holding lo to the
// one holding hi (lo <= hi, width >= 1).
Histogram BinValues(const ValueCounts& counts, int lo, int hi, int width);

// The bins a histogram of these values is drawn with: over the 0.5th to the
// 99.5th percentile (nearest rank) at the smallest nice width that gives at
// most 60 bins, which is 24 or more wherever the spread allows. Empty counts
// give no bins.
struct BinPlan {
    int lo = 0;
    int hi = 0;
    int width = 1;
};
BinPlan PlanBins(const ValueCounts& counts);
inline constexpr int kMostBins = 60;

// The highest peaks of a histogram, at most `most`, as bin indices in
// ascending order. The counts are first smoothed by a 3-bin moving sum (a
// missing neighbour at either end counts 0); a peak is a run of equal smoothed
// counts, above 0, higher than the bins on both sides of the run, and stands
// at the run's middle bin (the lower of two middles). Higher peaks win; of
// equal ones the lower bin.
std::vector<std::size_t> HistogramPeaks(const Histogram& histogram, std::size_t most);

}  // namespace axlewise

#include "stats/Histogram.h"

#include "stats/NiceNumbers.h"

#include <algorithm>

namespace axlewise {

Histogram BinValues(const ValueCounts& counts, int lo, int hi, int width) {
    Histogram histogram;
    histogram.width = width;
    histogram.first = static_cast<int>(FloorDiv(lo, width) * width);
    histogram.counts.assign(static_cast<std::size_t>(BinCount(lo, hi, width)), 0);
    const int end = histogram.end();
    counts.forEach([&](int value, TruckIndex count) {
        if (value < histogram.first) {
            histogram.below += count;
        } else if (value >= end) {
            histogram.above += count;
        } else {
            histogram.counts[static_cast<std::size_t>((value - histogram.first) / width)] += count;
        }
    });
    return histogram;
}

BinPlan PlanBins(const ValueCounts& counts) {
    if (counts.total() == 0) {
        return {};
    }
    BinPlan plan;
    plan.lo = counts.percentile(5);
    plan.hi = counts.percentile(995);
    plan.width = NiceBinWidth(plan.lo, plan.hi, kMostBins);
    return plan;
}

std::vector<std::size_t> HistogramPeaks(const Histogram& histogram, std::size_t most) {
    const std::vector<TruckIndex>& c = histogram.counts;
    const std::size_t n = c.size();
    // Sums of three rather than means: the same order, and exact.
    std::vector<TruckIndex> smooth(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        smooth[i] = (i > 0 ? c[i - 1] : 0) + c[i] + (i + 1 < n ? c[i + 1] : 0);
    }

    struct Peak {
        std::size_t bin;
        TruckIndex height;
    };
    std::vector<Peak> peaks;
    for (std::size_t start = 0; start < n;) {
        std::size_t stop = start;  // the run of equal values is start..stop
        while (stop + 1 < n && smooth[stop + 1] == smooth[start]) {
            ++stop;
        }
        const bool risesBefore = start == 0 || smooth[start - 1] < smooth[start];
        const bool fallsAfter = stop + 1 == n || smooth[stop + 1] < smooth[stop];
        if (smooth[start] > 0 && risesBefore && fallsAfter) {
            peaks.push_back({(start + stop) / 2, smooth[start]});
        }
        start = stop + 1;
    }

    std::stable_sort(peaks.begin(), peaks.end(),
                     [](const Peak& a, const Peak& b) { return a.height > b.height; });
    std::vector<std::size_t> bins;
    for (std::size_t k = 0; k < peaks.size() && k < most; ++k) {
        bins.push_back(peaks[k].bin);
    }
    std::sort(bins.begin(), bins.end());
    return bins;
}

}  // namespace axlewise

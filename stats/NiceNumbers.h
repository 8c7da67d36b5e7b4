#pragma once

namespace axlewise {

// "Nice" numbers are 1, 2 and 5 times a power of ten: the steps of axis ticks
// and the widths of histogram bins, which a reader adds up at a glance.

// The smallest nice number at or above `least` (least > 0): 0.03 -> 0.05,
// 7 -> 10, 20 -> 20. Values of 0 or less give 1.
double NiceAtLeast(double least);

// The nice number after a nice one: 1 -> 2 -> 5 -> 10, 0.5 -> 1.
double NextNice(double nice);

// Bins of a given width laid over lo..hi (lo <= hi), each bin starting at a
// multiple of the width: the count from the bin holding lo to the one holding hi.
long long BinCount(int lo, int hi, int width);

// The smallest nice integer width (1, 2, 5, 10, ...) whose bins laid over
// lo..hi are at most maxBins (maxBins >= 2; with 1, a range across a multiple
// of every width keeps 2 bins). With unit width and a range narrower than
// maxBins, fewer bins result.
int NiceBinWidth(int lo, int hi, int maxBins);

// floor(value / divisor) for divisor > 0, also for negative values.
long long FloorDiv(long long value, long long divisor);

}  // namespace axlewise

#include "stats/NiceNumbers.h"

#include <cmath>

namespace axlewise {

double NiceAtLeast(double least) {
    if (!(least > 0) || !std::isfinite(least)) {
        return 1.0;
    }
    // Start a decade below and climb, so rounding in log10 never skips a step.
    double nice = std::pow(10.0, std::floor(std::log10(least)) - 1);
    // A hair of tolerance: 0.3 / 0.1 is not exactly 3 in binary.
    while (nice < least * (1 - 1e-12)) {
        nice = NextNice(nice);
    }
    return nice;
}

double NextNice(double nice) {
    const double decade = std::pow(10.0, std::floor(std::log10(nice) + 1e-9));
    const double mantissa = nice / decade;
    if (mantissa < 1.5) {
        return 2 * decade;
    }
    if (mantissa < 3.5) {
        return 5 * decade;
    }
    return 10 * decade;
}

long long FloorDiv(long long value, long long divisor) {
    const long long quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

long long BinCount(int lo, int hi, int width) {
    return FloorDiv(hi, width) - FloorDiv(lo, width) + 1;
}

int NiceBinWidth(int lo, int hi, int maxBins) {
    // However wide, bins starting at multiples of the width put -1 and 0 in
    // two bins: past 10^6 (more than int16 values span) the width stops growing.
    long long width = 1;
    while (BinCount(lo, hi, static_cast<int>(width)) > maxBins && width < 1000000) {
        width = static_cast<long long>(NextNice(static_cast<double>(width)) + 0.5);
    }
    return static_cast<int>(width);
}

}  // namespace axlewise

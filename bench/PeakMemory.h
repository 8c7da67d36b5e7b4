#pragma once

#include <cstdint>

namespace axlewise::bench {

// Peak resident memory of this process so far, in bytes (VmHWM).
std::int64_t PeakResidentBytes();

}  // namespace axlewise::bench

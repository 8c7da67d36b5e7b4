#pragma once

#include <cstddef>

namespace axlewise {

// The size of a huge page, and so the alignment that lets memory use them.
inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

// Asks the kernel to back the part of [data, data + bytes) that covers whole
// 2 MiB pages with huge pages. Large loads touch hundreds of megabytes of fresh
// memory (file, echo, records) and the first touch of each 4 KiB page is a
// page fault; on virtual machines those faults dominate the load time (a file
// of 100,000 lines, 8 MB, loads in half the time with them). Worth it for
// buffers that hold a whole huge page after alignment; the memory must not
// have been touched yet. Advice only: when the kernel refuses, nothing changes.
void AdviseHugePages(const void* data, std::size_t bytes);

}  // namespace axlewise

#include "PeakMemory.h"

#include <fstream>
#include <string>

namespace axlewise::bench {

std::int64_t PeakResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            std::int64_t kib = 0;
            status >> kib;
            return kib * 1024;
        }
        status.ignore(1 << 16, '\n');
    }
    return 0;
}

}  // namespace axlewise::bench

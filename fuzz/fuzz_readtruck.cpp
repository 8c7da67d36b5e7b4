// libFuzzer target: ReadTruck on the input as one line. Whatever the bytes, it
// returns a record or raises RuntimeError 6 or 13, and agrees with the slow
// reference reading in ReferenceReading.cpp field by field, so the fast path
// for plain lines can never give what the full reading would not.

#include "FuzzChecks.h"
#include "ReferenceReading.h"
#include "records/SharedText.h"
#include "records/modUDTs.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

using namespace axlewise;
using namespace axlewise::fuzz;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SelfCheckReference();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The line on its own (ReadTruck keeps a copy of it).
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    CheckReading(line, [line] { return ReadTruck(line); });

    // The same line as a slice of a larger text, between a break and a run of
    // digits: a read past the slice would see digits and read differently.
    // The record keeps the slice itself, not a copy.
    const auto block =
        std::make_shared<const std::string>("\n" + std::string(line) + "\n" + std::string(80, '7'));
    const SharedText slice(block, std::string_view(*block).substr(1, size));
    CheckReading(line, [&slice] {
        TruckRecord record = ReadTruck(slice);
        CheckOrDie(record.RawLine.block() == slice.block() &&
                       record.RawLine.view().data() == slice.view().data(),
                   "ReadTruck copied a slice instead of keeping it");
        return record;
    });
    return 0;
}

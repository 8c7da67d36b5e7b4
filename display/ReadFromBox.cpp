#include "display/ReadFromBox.h"

#include <algorithm>

namespace axlewise {

namespace {

// Where a truck's line starts in its block.
std::int64_t BlockOffset(const TruckRecord& truck) {
    return static_cast<std::int64_t>(truck.RawLine.offset());
}

}  // namespace

ReadFromBox ReadFromBox::Of(const SharedText& text, std::uint64_t revision, TruckIndex first,
                        TruckIndex ignored, const LoadResult& result) {
    ReadFromBox read;
    read.block = text.block();
    read.base = static_cast<std::int64_t>(text.offset());
    read.revision = revision;
    read.first = first;
    read.last = first + result.added - 1;
    read.ignored = ignored;
    read.lines = result.lines;
    read.failure = result.failure;
    return read;
}

std::optional<std::int64_t> LineOffsetOf(const BrowserState& state, const ReadFromBox& read,
                                         TruckIndex number) {
    if (number < read.first || number > read.last || !state.HoldsTruck(number)) {
        return std::nullopt;
    }
    const TruckRecord& truck = state.Truck(number);
    if (!read.block || truck.RawLine.block() != read.block) {
        return std::nullopt;
    }
    return BlockOffset(truck) - read.base;
}

std::optional<TruckIndex> TruckAt(const BrowserState& state, const ReadFromBox& read,
                                  std::int64_t offset) {
    if (read.last < read.first || !state.HoldsTruck(read.last) || !read.block) {
        return std::nullopt;
    }
    const std::int64_t wanted = offset + read.base;
    // The first truck of the reading whose line starts at or after `wanted`.
    TruckIndex low = read.first;
    TruckIndex high = read.last + 1;
    while (low < high) {
        const TruckIndex middle = low + (high - low) / 2;
        if (BlockOffset(state.Truck(middle)) < wanted) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low > read.last || BlockOffset(state.Truck(low)) != wanted ||
        state.Truck(low).RawLine.block() != read.block) {
        return std::nullopt;
    }
    return low;
}

std::string WhyNoTruck(const ReadFromBox& read, TruckIndex line, bool blank, bool edited) {
    const std::string name = "Line " + std::to_string(line);
    if (edited) {
        return name +
               " cannot be matched with a truck: the text has been changed since its "
               "trucks were read.";
    }
    if (read.failure && line == read.failure->line) {
        return name + " stopped the reading: " + read.failure->reason + ".";
    }
    if (read.failure && line > read.lines) {
        return name + " comes after the line that stopped the reading: it was not read.";
    }
    if (line <= read.ignored) {
        return name + " is a head line: it was not read as a truck.";
    }
    if (blank) {
        return name + " is blank: it was not read as a truck.";
    }
    return name + " was not read as a truck.";
}

}  // namespace axlewise

#pragma once

#include "loading/TruckFile.h"
#include "records/BrowserState.h"
#include "records/SharedText.h"

#include <cstdint>
#include <optional>
#include <string>

namespace axlewise {

// The text the file-contents box held when trucks were last read from it (a
// file's lines, or the text pasted into it), so that the truck on show can be
// found in the box and a line of the box can be taken to its truck, for as
// long as the box still holds that text. Offsets are bytes of the box's text.
struct ReadFromBox {
    // The block the trucks' lines are slices of, and where the box's text
    // starts in it (a box whose head lines were deleted starts further in).
    SharedText::Block block;
    std::int64_t base = 0;
    // The box's revision when the text was read: any edit since changes it.
    std::uint64_t revision = 0;
    // The trucks read from it, numbered first..last (last < first: none).
    TruckIndex first = 1;
    TruckIndex last = 0;
    TruckIndex ignored = 0;  // head lines passed over
    TruckIndex lines = 0;    // lines read, up to one that stopped the reading
    std::optional<LoadFailure> failure;

    // The lines read from `text` (the box's text as it was read, a slice of
    // its block) by a load that gave `result`, trucks numbered from first.
    static ReadFromBox Of(const SharedText& text, std::uint64_t revision, TruckIndex first,
                        TruckIndex ignored, const LoadResult& result);
};

// Where truck `number`'s line starts in the box, or nothing when the truck was
// not read from it. O(1).
std::optional<std::int64_t> LineOffsetOf(const BrowserState& state, const ReadFromBox& read,
                                         TruckIndex number);

// The truck read from the line that starts at `offset` in the box, or
// nothing. O(log trucks): the trucks of one reading lie in the order of
// their lines.
std::optional<TruckIndex> TruckAt(const BrowserState& state, const ReadFromBox& read,
                                  std::int64_t offset);

// Why line `line` (1-based) of the box gives no truck, in a sentence:
//   "Line 2 is a head line: it was not read as a truck."
// blank: the line holds only blanks; edited: the box's text is no longer the
// one read (edited, or another text).
std::string WhyNoTruck(const ReadFromBox& read, TruckIndex line, bool blank, bool edited);

}  // namespace axlewise

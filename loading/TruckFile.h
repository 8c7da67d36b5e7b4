#pragma once

#include "records/BrowserState.h"
#include "records/RuntimeError.h"
#include "records/SharedText.h"

#include <optional>
#include <string>
#include <string_view>

namespace axlewise {

// Why a load stopped.
struct LoadFailure {
    // 1-based number of the line that failed; 0 when the failure is not a line's.
    TruckIndex line = 0;
    ErrorNumber number = ErrorNumber::TypeMismatch;
    // Readable, with the line number when there is one:
    //   line 12: SPEED (columns 19-21): "1x3" is not a number
    std::string reason;
};

// What a load did, for the window to show.
struct LoadResult {
    TruckIndex added = 0;  // trucks appended to the state
    TruckIndex lines = 0;  // lines read, blank and ignored ones included
    // For file loads: the lines read (up to and including a failing one) as
    // UTF-8, each followed by '\n'. Empty for pasted text. The trucks' RawLine
    // are slices of the same text.
    SharedText echo;
    std::optional<LoadFailure> failure;
};

// The number in "No of lines to ignore": spaces trimmed, empty counts as 0, a
// decimal number (a fraction is cut off; below 0 counts as 0). Anything else
// raises RuntimeError 13 naming the text.
TruckIndex IgnoreCount(std::string_view text);

// The whole file in one read. RuntimeError 53 (file not found) or 75 (path/file
// access error) with the system's reason ("No such file or directory") when it
// cannot be opened or read; pipes and devices, which may never end, are refused.
std::string ReadFileBytes(const std::string& path);

// Appends the trucks of a truck file's contents to state. A UTF-8 byte order
// mark is skipped; lines end at LF, CRLF or CR; the first ignoreLines lines and
// blank lines are echoed and counted but not parsed; commas, quotes and leading
// spaces are ordinary characters. Reading stops at the first line ReadTruck
// rejects: the trucks before it stay, nothing is added for it, and the failure
// says which line and why. The contents are taken over: when they need no
// change they become the echo without a copy.
LoadResult LoadTruckText(BrowserState& state, std::string contents, TruckIndex ignoreLines);

// Appends a truck for each line of text, which must hold only '\n' breaks, after
// the first ignoreLines lines and leaving out blank ones; stops at the first line
// ReadTruck rejects. Each truck keeps its line as a slice of text. The shared
// reading of files and pasted text.
LoadResult LoadLines(BrowserState& state, const SharedText::Block& text, TruckIndex ignoreLines);

}  // namespace axlewise

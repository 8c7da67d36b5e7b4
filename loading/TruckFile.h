#pragma once

#include "loading/LoadProgress.h"
#include "records/BrowserState.h"
#include "records/RuntimeError.h"
#include "records/SharedText.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace axlewise {

// Why a line could not be read as a truck.
struct LoadFailure {
    // 1-based number of the line that failed; 0 when the failure is not a line's.
    TruckIndex line = 0;
    ErrorNumber number = ErrorNumber::TypeMismatch;
    // Readable UTF-8, control characters quoted visibly, without the line number:
    //   SPEED (columns 19-21): "1x3" is not a number
    std::string reason;

    // The reason after the line number, when there is one:
    //   line 12: SPEED (columns 19-21): "1x3" is not a number
    std::string text() const;
};

// What a load did, for the window to show.
struct LoadResult {
    TruckIndex added = 0;  // trucks appended to the state
    TruckIndex lines = 0;  // lines read, blank and ignored ones included
    // For file loads: the lines read (up to and including a failing one) as
    // UTF-8, each followed by '\n'. Empty for pasted text. The trucks' RawLine
    // are slices of the same text.
    SharedText echo;
    // The offset of every '\n' of the echo, found while reading: the line index
    // of the file-contents box, built once.
    std::vector<std::int64_t> lineBreaks;
    std::optional<LoadFailure> failure;
    // The progress callback asked to stop: the state is as it was before the
    // load, nothing added, and nothing else in the result counts.
    bool cancelled = false;
};

// Receives the lines of a text read as trucks, in order, from ReadTruckLines.
class TruckLineSink {
public:
    virtual ~TruckLineSink() = default;
    // A line read as a truck, with its 1-based number; false stops the reading.
    virtual bool truck(TruckIndex line, TruckRecord record) = 0;
    // A line that ReadTruck rejected; false stops the reading.
    virtual bool failure(LoadFailure failure) = 0;
};

// How far ReadTruckLines got.
struct LinesRead {
    TruckIndex lines = 0;  // lines read, blank and ignored ones included
    std::size_t end = 0;   // offset just past the last line read and its break
    bool cancelled = false;
};

// The one reading of truck lines, shared by file loads, pasted text and
// whole-file checks. text holds only '\n' breaks; offsets count from its
// start. The first ignoreLines lines and blank lines are counted but not read;
// every other line goes through ReadTruck, keeping its line as a slice of
// text, and then to the sink. Stops when the sink says so, or when progress
// (asked every few thousand lines) returns false: then `cancelled` is set.
// With breaks, the offset of every '\n' read is appended to it.
LinesRead ReadTruckLines(const SharedText& text, TruckIndex ignoreLines, TruckLineSink& sink,
                         const LoadProgress& progress = {},
                         std::vector<std::int64_t>* breaks = nullptr);

// The number in "No of lines to ignore": spaces trimmed, empty counts as 0, a
// decimal number (a fraction is cut off; below 0 counts as 0). Anything else
// raises RuntimeError 13 naming the text.
TruckIndex IgnoreCount(std::string_view text);

// The whole file, read in steps of 16 MiB. RuntimeError 53 (file not found) or
// 75 (path/file access error) with the system's reason ("No such file or
// directory") when it cannot be opened or read; pipes and devices, which may
// never end, are refused. progress is asked before every step; when it
// returns false the read stops and gives nothing.
std::optional<std::string> ReadFileBytes(const std::string& path,
                                         const LoadProgress& progress = {});

// Appends the trucks of a truck file's contents to state. A UTF-8 byte order
// mark is skipped; lines end at LF, CRLF or CR; the first ignoreLines lines and
// blank lines are echoed and counted but not parsed; commas, quotes and leading
// spaces are ordinary characters. Reading stops at the first line ReadTruck
// rejects: the trucks before it stay, nothing is added for it, and the failure
// says which line and why. The contents are taken over: when they need no
// change they become the echo without a copy. A cancelled load leaves the
// state as it was.
LoadResult LoadTruckText(BrowserState& state, std::string contents, TruckIndex ignoreLines,
                         const LoadProgress& progress = {});

// Appends a truck for each line of text (a slice of its block holding only '\n'
// breaks), after the first ignoreLines lines and leaving out blank ones; stops
// at the first line ReadTruck rejects. Each truck keeps its line as a slice of
// the block. The echo is the part of text read. A cancelled load leaves the
// state as it was.
LoadResult LoadLines(BrowserState& state, const SharedText& text, TruckIndex ignoreLines,
                     const LoadProgress& progress = {});

}  // namespace axlewise

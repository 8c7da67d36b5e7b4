#pragma once

#include "loading/LoadProgress.h"
#include "records/BrowserState.h"
#include "records/RuntimeError.h"
#include "records/SharedText.h"
#include "records/TruckStore.h"

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

// What a file looks like from its first bytes, for the advice given when
// it cannot be read as trucks.
enum class TextKind {
    Text,    // lines of text (UTF-8, Latin-1, ASCII)
    Utf16,   // a UTF-16 byte order mark, or every other byte NUL at its start
    Binary,  // NUL or other control bytes in more than 1 % of its start
};

// Looks at the first kilobyte for UTF-16 and the first 64 KiB for control
// bytes (tab, CR and LF are text).
TextKind KindOfText(std::string_view bytes);

// True when the line holds no control character but tab: a line of text,
// whatever its fields hold.
bool IsTextLine(std::string_view line);

// A load read aside: the trucks of one file or paste, numbered on from where
// the reader was told to start, with the checks each failed within the load,
// and what the window shows of it. Nothing of the window's state is touched
// until CommitLoad hands the trucks over, so a load can be read on another
// thread and a cancelled one simply dropped.
struct LoadResult {
    // The trucks read, each with its check mask (LoadChecker).
    TruckStore trucks;
    TruckIndex added = 0;  // trucks read (trucks.count() until committed)
    TruckIndex lines = 0;  // lines read, blank and ignored ones included
    // For file loads: the lines read (up to and including a failing one) as
    // UTF-8, each followed by '\n'. Empty for pasted text. The trucks' RawLine
    // are slices of the same text.
    SharedText echo;
    // The offset of every '\n' of the echo, found while reading: the line index
    // of the file-contents box, built once.
    std::vector<std::int64_t> lineBreaks;
    std::optional<LoadFailure> failure;
    // For file loads: what the file looked like, and whether the failing line
    // (if any) was a line of text.
    TextKind kind = TextKind::Text;
    bool failingLineIsText = true;
    // The progress callback asked to stop: nothing else in the result counts.
    bool cancelled = false;
};

// Hands the trucks of a load that was not cancelled to the state, after those
// it holds (the load must have been read numbered from state.NoTrucks + 1).
void CommitLoad(BrowserState& state, LoadResult& result);

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

// Reads the trucks of a truck file's contents, numbering them from
// firstNumber. A UTF-8 byte order mark is skipped; lines end at LF, CRLF or
// CR; the first ignoreLines lines and blank lines are echoed and counted but
// not parsed; commas, quotes and leading spaces are ordinary characters.
// Reading stops at the first line ReadTruck rejects: the trucks before it are
// kept, nothing is added for it, and the failure says which line and why. The
// contents are taken over: when they need no change they become the echo
// without a copy. Touches nothing but its arguments, so it may run on any
// thread.
LoadResult ReadTruckText(std::string contents, TruckIndex ignoreLines, TruckIndex firstNumber,
                         const LoadProgress& progress = {});

// Reads a truck for each line of text (a slice of its block holding only '\n'
// breaks), after the first ignoreLines lines and leaving out blank ones;
// stops at the first line ReadTruck rejects. Each truck keeps its line as a
// slice of the block. The echo is the part of text read.
LoadResult ReadLines(const SharedText& text, TruckIndex ignoreLines, TruckIndex firstNumber,
                     const LoadProgress& progress = {});

// ReadTruckText and ReadLines, committed to state unless cancelled.
LoadResult LoadTruckText(BrowserState& state, std::string contents, TruckIndex ignoreLines,
                         const LoadProgress& progress = {});
LoadResult LoadLines(BrowserState& state, const SharedText& text, TruckIndex ignoreLines,
                     const LoadProgress& progress = {});

}  // namespace axlewise

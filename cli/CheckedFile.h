#pragma once

#include "checks/TruckChecks.h"
#include "loading/TruckFile.h"
#include "records/BrowserState.h"
#include "records/SharedText.h"
#include "records/modUDTs.h"

#include <string>
#include <vector>

namespace axlewise {

// Receives the trucks of a file with the checks they failed, and the lines that
// could not be read, in the order of the file.
class CheckedTruckSink {
public:
    virtual ~CheckedTruckSink() = default;
    // The number-th truck of the file (1-based, counting trucks, not lines),
    // read from line `line`, and every check it failed in the order of
    // CheckCode, ORDER included; `failures` is empty when all passed.
    virtual void truck(TruckIndex number, TruckIndex line, const TruckRecord& record,
                       const std::vector<CheckFailure>& failures) = 0;
    // A line that is not a truck; reading goes on after it.
    virtual void failure(const LoadFailure& failure) = 0;
};

struct FileCounts {
    TruckIndex lines = 0;  // lines read, head, blank and unreadable ones included
    TruckIndex trucks = 0;
    TruckIndex unreadable = 0;
};

// The text of the file at path as the window makes it (EchoText): UTF-8 with
// '\n' breaks. RuntimeError 53 or 75 with the system's reason when it cannot
// be read.
SharedText ReadFileText(const std::string& path);

// Reads every line of the file at path as the window reads a file (byte order
// mark, LF/CRLF/CR breaks, the first `ignore` lines and blank lines skipped,
// lines that are not UTF-8 read as Latin-1), but does not stop at a line that
// fails: each truck is checked, DUPLICATE against the truck read before it and
// ORDER within the file, and handed to the sink. A file that cannot be opened
// or read raises RuntimeError 53 or 75 with the system's reason.
FileCounts ReadCheckedFile(const std::string& path, TruckIndex ignore, CheckedTruckSink& sink);

// Raises the RuntimeError that reading the file at path would raise when it
// cannot be opened, is a directory or is not a regular file; reads nothing.
// Lets a command refuse a run before it writes any output.
void CheckReadable(const std::string& path);

// The file name as UTF-8: unchanged when it is UTF-8, otherwise read as
// Latin-1. For the file column of a table, where it stays the name it is.
std::string Utf8Name(const std::string& path);

// The file name as reports and messages show it: every character visible and
// no line break, escaped as Quoted escapes (\n, \x1B, \\), without the
// quotes, so that a name cannot split a report's line or reach a terminal as
// a control sequence.
std::string DisplayName(const std::string& path);

// How every command reports a line that is not a truck, in the style of
// compilers: "FILE:LINE: reason" (name as DisplayName gives it, no line break).
std::string LineReport(const std::string& name, const LoadFailure& failure);

}  // namespace axlewise

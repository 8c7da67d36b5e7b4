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

// The file name as UTF-8 for reports: unchanged when it is UTF-8, otherwise
// read as Latin-1.
std::string DisplayName(const std::string& path);

// How every command reports a line that is not a truck, in the style of
// compilers: "FILE:LINE: reason" (name as DisplayName gives it, no line break).
std::string LineReport(const std::string& name, const LoadFailure& failure);

}  // namespace axlewise

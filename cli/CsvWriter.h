#pragma once

#include "checks/TruckChecks.h"
#include "cli/CheckedFile.h"
#include "cli/SafeOutput.h"

#include <string>
#include <string_view>
#include <vector>

namespace axlewise {

// A field of a CSV row as RFC 4180 writes it: in double quotes, with its quotes
// doubled, when it holds a comma, a quote, CR or LF; otherwise as it is.
std::string CsvField(std::string_view text);

// Writes the rows of `csv` to an output: one row per truck, the header first.
// Columns: file, line, the 32 fields under their captions, "Time (s)" as the
// window shows it and "checks", the codes of the failed checks separated by
// blanks. Rows end in CRLF. Output is buffered and written in large blocks;
// write errors are kept by the output, which reports them when committed.
class CsvWriter : public CheckedTruckSink {
public:
    explicit CsvWriter(SafeOutput& out);
    CsvWriter(const CsvWriter&) = delete;
    CsvWriter& operator=(const CsvWriter&) = delete;

    void writeHeader();
    // The file whose trucks come next; its name (as UTF-8) fills the first column.
    void startFile(const std::string& path);

    void truck(TruckIndex number, TruckIndex line, const TruckRecord& record,
               const std::vector<CheckFailure>& failures) override;
    // Unreadable lines are not rows: they go to standard error as FILE:LINE: reason.
    void failure(const LoadFailure& failure) override;

    // Writes out what is buffered; false when any write failed. What is still
    // buffered when the writer goes is dropped, as a run that failed leaves it.
    bool finish();

private:
    // At least `bytes` of free buffer at the write position, flushing first if needed.
    char* room(std::size_t bytes);
    void put(std::string_view text);

    SafeOutput& out_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    std::string file_;      // the file column, quoted as needed
    std::string fileName_;  // the file as reports name it
};

}  // namespace axlewise

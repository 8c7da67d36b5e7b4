#include "cli/CsvWriter.h"

#include "display/TruckPanel.h"
#include "records/FieldTable.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace axlewise {

namespace {

// Written out in blocks of about this size: large enough that a million rows
// take a hundred writes, small enough to stay in cache.
constexpr std::size_t kBlock = std::size_t{1} << 20;
// Room for everything of a row but the file name: a line number, 32 fields of
// at most 6 characters, Time, every check code, separators and CRLF.
constexpr std::size_t kRowRoom = 512;

char* Append(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// Large enough for any long long.
char* AppendInteger(char* out, long long value) {
    return std::to_chars(out, out + 24, value).ptr;
}

}  // namespace

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string field = "\"";
    for (const char c : text) {
        if (c == '"') {
            field += '"';
        }
        field += c;
    }
    field += '"';
    return field;
}

CsvWriter::CsvWriter(SafeOutput& out) : out_(out), buffer_(kBlock + kRowRoom) {}

char* CsvWriter::room(std::size_t bytes) {
    if (used_ + bytes > buffer_.size()) {
        finish();
        if (bytes > buffer_.size()) {
            buffer_.resize(bytes);
        }
    }
    return buffer_.data() + used_;
}

void CsvWriter::put(std::string_view text) {
    char* const start = room(text.size());
    used_ += static_cast<std::size_t>(Append(start, text) - start);
}

void CsvWriter::writeHeader() {
    put("file,line");
    for (const LineField& field : kFields) {
        put(",");
        put(CsvField(field.caption));
    }
    // The same caption as the window's last panel line.
    put(",");
    put(CsvField(HeadLines().back()));
    put(",checks\r\n");
}

void CsvWriter::startFile(const std::string& path) {
    fileName_ = DisplayName(path);
    // The column holds the name itself, control characters too: RFC 4180
    // quoting carries any text, and the name is what a reader matches files by.
    file_ = CsvField(Utf8Name(path));
}

// Rows are written straight into the buffer: a million of them must take
// well under a second.
void CsvWriter::truck(TruckIndex, TruckIndex line, const TruckRecord& record,
                      const std::vector<CheckFailure>& failures) {
    char* const start = room(file_.size() + kRowRoom);
    char* p = Append(start, file_);
    *p++ = ',';
    p = AppendInteger(p, line);
    for (int i = 1; i <= kFieldCount; ++i) {
        *p++ = ',';
        p = AppendInteger(p, record.Data[static_cast<std::size_t>(i)]);
    }
    *p++ = ',';
    // A point, whatever the locale: a comma would have to be quoted.
    p = Append(p, FormatGeneral(record.Time, "."));
    *p++ = ',';
    // Failures come grouped by check; each code is written once.
    for (std::size_t i = 0; i < failures.size(); ++i) {
        if (i > 0 && failures[i].code == failures[i - 1].code) {
            continue;
        }
        if (i > 0) {
            *p++ = ' ';
        }
        p = Append(p, CheckName(failures[i].code));
    }
    p = Append(p, "\r\n");
    used_ += static_cast<std::size_t>(p - start);
}

void CsvWriter::failure(const LoadFailure& failure) {
    const std::string text = LineReport(fileName_, failure) + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
}

bool CsvWriter::finish() {
    const bool written = out_.write(std::string_view(buffer_.data(), used_));
    used_ = 0;
    return written;
}

}  // namespace axlewise

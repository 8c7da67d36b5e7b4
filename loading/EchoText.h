#pragma once

// The text of a loaded file as the editor shows it: lines, byte order marks,
// line breaks and encodings.

#include "loading/LoadProgress.h"
#include "records/SharedText.h"

#include <optional>
#include <string>
#include <string_view>

namespace axlewise {

// Walks the lines of a text. A line ends at LF, CRLF or CR; the break is not part
// of the line. A text that ends with a break has no empty line after it; an
// empty text has no lines.
class LineSplitter {
public:
    explicit LineSplitter(std::string_view text) : rest_(text) {}

    // Gives the next line and returns true, or returns false at the end.
    bool next(std::string_view& line);

private:
    std::string_view rest_;
};

// True for a line that is empty or holds only spaces.
bool IsBlankLine(std::string_view line);

// The text without a UTF-8 byte order mark at its start.
std::string_view SkipByteOrderMark(std::string_view text);

// The text as the editor shows it, as one shared block that the trucks then
// slice: a UTF-8 byte order mark skipped, every line ended by '\n' (a last
// line without a break gains one), lines that are not valid UTF-8 read as
// Latin-1. A text that needs none of this is taken over as it is, without a
// copy. progress is asked every few thousand lines while lines are rewritten;
// nothing when it cancels.
std::optional<SharedText> EchoText(std::string text, const LoadProgress& progress = {});

// The text with every CRLF and every CR made LF, and nothing else changed.
std::string WithLineFeeds(std::string_view text);

// Appends the line to out as UTF-8: unchanged when it is valid UTF-8, otherwise
// read as Latin-1 (one character a byte), so that any byte shows readably.
void AppendReadable(std::string& out, std::string_view line);

}  // namespace axlewise

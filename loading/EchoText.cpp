#include "loading/EchoText.h"

#include "records/Utf8.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

namespace axlewise {

namespace {

// The break is searched in windows that double in size. Searching the whole
// rest for '\n' and then for '\r' would rescan the rest of a file for every line
// when it uses only one kind of break; a window bounds each search by about
// twice the line's length, and doubling keeps a very long line linear.
constexpr std::size_t kFirstWindow = 256;

// Position of the first '\n' or '\r' in text, or text.size() when there is none.
std::size_t FindBreak(std::string_view text) {
    const char* const data = text.data();
    std::size_t from = 0;
    std::size_t window = kFirstWindow;
    while (from < text.size()) {
        const std::size_t length = std::min(window, text.size() - from);
        std::size_t end = from + length;
        const void* lf = std::memchr(data + from, '\n', length);
        if (lf != nullptr) {
            end = static_cast<std::size_t>(static_cast<const char*>(lf) - data);
        }
        const void* cr = std::memchr(data + from, '\r', end - from);
        if (cr != nullptr) {
            return static_cast<std::size_t>(static_cast<const char*>(cr) - data);
        }
        if (lf != nullptr) {
            return end;
        }
        from = end;
        window *= 2;
    }
    return text.size();
}

}  // namespace

bool LineSplitter::next(std::string_view& line) {
    if (rest_.empty()) {
        return false;
    }
    const std::size_t end = FindBreak(rest_);
    line = rest_.substr(0, end);
    std::size_t skip = end;
    if (end < rest_.size()) {
        skip += (rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n') ? 2 : 1;
    }
    rest_.remove_prefix(skip);
    return true;
}

bool IsBlankLine(std::string_view line) {
    return line.find_first_not_of(' ') == std::string_view::npos;
}

std::string_view SkipByteOrderMark(std::string_view text) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (text.substr(0, kBom.size()) == kBom) {
        text.remove_prefix(kBom.size());
    }
    return text;
}

namespace {

// Rewrites are asked about progress this often, as the line reading is.
constexpr std::size_t kLinesPerProgress = 4096;

// The UTF-8 check and the search for '\r' go through a large text in steps
// of this size, with progress between them.
constexpr std::size_t kBytesPerScan = std::size_t{16} << 20;

struct TextScan {
    bool utf8 = true;
    bool carriageReturn = false;
};

// Whether text is UTF-8 and whether it holds a '\r', or nothing when progress
// cancels.
std::optional<TextScan> ScanText(std::string_view text, const LoadProgress& progress) {
    TextScan scan;
    std::size_t from = 0;
    while (from < text.size()) {
        if (progress && !progress(static_cast<double>(from) / static_cast<double>(text.size()))) {
            return std::nullopt;
        }
        std::size_t to = std::min(text.size(), from + kBytesPerScan);
        // A step ends before the first byte of a character, so that no sequence
        // is cut (a sequence is at most 4 bytes long).
        for (int back = 0;
             back < 3 && to < text.size() && (static_cast<unsigned char>(text[to]) & 0xC0) == 0x80;
             ++back) {
            --to;
        }
        const std::string_view part = text.substr(from, to - from);
        scan.utf8 = scan.utf8 && (IsAscii(part) || IsValidUtf8(part));
        scan.carriageReturn =
            scan.carriageReturn || std::memchr(part.data(), '\r', part.size()) != nullptr;
        from = to;
    }
    return scan;
}

// The part from..to of a progress.
LoadProgress Part(const LoadProgress& progress, double from, double to) {
    if (!progress) {
        return {};
    }
    return [&progress, from, to](double done) { return progress(from + (to - from) * done); };
}

SharedText Shared(std::string text) {
    const auto block = std::make_shared<const std::string>(std::move(text));
    return SharedText(block, *block);
}

}  // namespace

std::optional<SharedText> EchoText(std::string text, const LoadProgress& progress) {
    if (SkipByteOrderMark(text).empty()) {
        return SharedText();
    }
    // With a break after the last line, every line gives back at least as many
    // bytes as it needs below, so the text can be rewritten where it stands.
    if (text.back() != '\n' && text.back() != '\r') {
        text.push_back('\n');
    }
    const std::string_view body = SkipByteOrderMark(text);
    const std::optional<TextScan> scan = ScanText(body, Part(progress, 0, 0.5));
    if (!scan) {
        return std::nullopt;
    }
    const bool utf8 = scan->utf8;
    if (utf8 && body.size() == text.size() && !scan->carriageReturn) {
        return Shared(std::move(text));  // already as the editor shows it
    }
    // Whether to go on, asked every few thousand lines of a rewrite.
    const LoadProgress rewrite = Part(progress, 0.5, 1);
    std::size_t count = 0;
    const auto goOn = [&](std::string_view line) {
        return ++count % kLinesPerProgress != 0 || !rewrite ||
               rewrite(static_cast<double>(line.data() - body.data()) /
                       static_cast<double>(body.size()));
    };
    LineSplitter lines(body);
    std::string_view line;
    if (utf8) {
        // Each line moves left over the bytes saved on the BOM and on CRLF
        // breaks; reads stay ahead of writes.
        std::size_t written = 0;
        while (lines.next(line)) {
            if (!goOn(line)) {
                return std::nullopt;
            }
            std::memmove(text.data() + written, line.data(), line.size());
            written += line.size();
            text[written++] = '\n';
        }
        text.resize(written);
        return Shared(std::move(text));
    }
    // Latin-1 lines grow, so this case is written out anew.
    std::string echo;
    echo.reserve(text.size() + text.size() / 8);
    while (lines.next(line)) {
        if (!goOn(line)) {
            return std::nullopt;
        }
        AppendReadable(echo, line);
        echo.push_back('\n');
    }
    return Shared(std::move(echo));
}

std::string WithLineFeeds(std::string_view text) {
    std::string lines;
    lines.reserve(text.size());
    LineSplitter splitter(text);
    std::string_view line;
    while (splitter.next(line)) {
        lines.append(line);
        lines.push_back('\n');
    }
    // The last line keeps its lack of a break.
    if (!text.empty() && text.back() != '\n' && text.back() != '\r') {
        lines.pop_back();
    }
    return lines;
}

void AppendReadable(std::string& out, std::string_view line) {
    if (IsAscii(line) || IsValidUtf8(line)) {
        out.append(line);
        return;
    }
    // Latin-1 maps each byte to the code point of the same value, so every byte
    // becomes one character; the ones from 0x80 take two bytes in UTF-8.
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
}

}  // namespace axlewise

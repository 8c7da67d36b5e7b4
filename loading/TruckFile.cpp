#include "loading/TruckFile.h"

#include "checks/LoadChecks.h"
#include "loading/EchoText.h"
#include "records/HugePages.h"
#include "records/FieldTable.h"
#include "records/IntegerText.h"
#include "records/modUDTs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace axlewise {

namespace {

// Progress is asked about this often: rare enough to cost nothing, often
// enough that Cancel answers within a few milliseconds.
constexpr TruckIndex kLinesPerProgress = 4096;
constexpr std::size_t kBytesPerRead = std::size_t{16} << 20;
// Trucks read are handed to their checks in stretches of this many.
constexpr TruckIndex kTrucksPerCheck = 8192;

// The part from..to of a progress that covers a whole load.
LoadProgress Step(const LoadProgress& progress, double from, double to) {
    if (!progress) {
        return {};
    }
    return [&progress, from, to](double done) { return progress(from + (to - from) * done); };
}

[[noreturn]] void RaiseNotANumber(std::string_view text) {
    throw RuntimeError(ErrorNumber::TypeMismatch,
                       "No of lines to ignore: " + Quoted(text) + " is not a number");
}

// The reason is the system's own words; whoever shows it names the file.
[[noreturn]] void RaiseFileError(int error) {
    const ErrorNumber number =
        (error == ENOENT || error == ENOTDIR) ? ErrorNumber::FileNotFound : ErrorNumber::FileAccess;
    throw RuntimeError(number, std::system_category().message(error));
}

// Closes the descriptor on every way out of ReadFileBytes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { ::close(fd_); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

private:
    int fd_;
};

}  // namespace

TruckIndex IgnoreCount(std::string_view text) {
    if (TrimSpaces(text).empty()) {
        return 0;
    }
    const std::optional<DecimalText> number = ScanDecimal(text);
    if (!number) {
        RaiseNotANumber(text);
    }
    // The fraction is cut off; no file has so many lines that the saturated
    // count of a huge number would matter.
    return number->negative ? 0 : number->whole;
}

std::string LoadFailure::text() const {
    return line > 0 ? "line " + std::to_string(line) + ": " + reason : reason;
}

std::optional<std::string> ReadFileBytes(const std::string& path, const LoadProgress& progress) {
    // Non-blocking, so that opening a named pipe cannot hang; it is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        RaiseFileError(errno);
    }
    const FileDescriptor file(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        RaiseFileError(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        RaiseFileError(EISDIR);
    }
    if (!S_ISREG(info.st_mode)) {
        // Pipes and devices may never end (think of /dev/zero).
        throw RuntimeError(ErrorNumber::FileAccess, "not a regular file");
    }

    std::string bytes;
    try {
        // One byte more than the size, so that a file that grew meanwhile is seen
        // and files that report no size (as in /proc) are read to their end. The
        // string grows step by step as the bytes come in, so its zero-fill is
        // done a step at a time too, between progress reports.
        const auto expected = static_cast<std::size_t>(info.st_size) + 1;
        bytes.reserve(expected);
        AdviseHugePages(bytes.data(), bytes.capacity());
        std::size_t filled = 0;
        for (;;) {
            if (progress && !progress(std::min(1.0, static_cast<double>(filled) /
                                                        static_cast<double>(expected)))) {
                return std::nullopt;
            }
            // In steps, so that progress is heard of while a large file comes in.
            // Up to the size expected, then (a file that grew) a step more.
            const std::size_t want =
                filled < expected ? std::min(expected - filled, kBytesPerRead) : kBytesPerRead;
            bytes.resize(filled + want);
            const ssize_t got = ::read(fd, bytes.data() + filled, want);
            if (got < 0) {
                if (errno == EINTR) {
                    bytes.resize(filled);
                    continue;
                }
                RaiseFileError(errno);
            }
            filled += static_cast<std::size_t>(got);
            bytes.resize(filled);
            if (got == 0) {
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        throw RuntimeError(ErrorNumber::FileAccess, "too large to read into memory");
    } catch (const std::length_error&) {
        throw RuntimeError(ErrorNumber::FileAccess, "too large to read into memory");
    }
    return bytes;
}

LinesRead ReadTruckLines(const SharedText& text, TruckIndex ignoreLines, TruckLineSink& sink,
                         const LoadProgress& progress, std::vector<std::int64_t>* breaks) {
    LinesRead read;
    const SharedText::Block& block = text.block();
    const std::string_view all = text.view();
    const double total = static_cast<double>(all.size());
    std::size_t start = 0;
    while (start < all.size()) {
        if (progress && read.lines % kLinesPerProgress == 0 &&
            !progress(static_cast<double>(start) / total)) {
            read.cancelled = true;
            break;
        }
        const auto* breakAt =
            static_cast<const char*>(std::memchr(all.data() + start, '\n', all.size() - start));
        const std::size_t end =
            breakAt != nullptr ? static_cast<std::size_t>(breakAt - all.data()) : all.size();
        if (breaks != nullptr && breakAt != nullptr) {
            breaks->push_back(static_cast<std::int64_t>(end));
        }
        const std::string_view line = all.substr(start, end - start);
        start = std::min(end + 1, all.size());
        read.end = start;
        ++read.lines;
        if (read.lines <= ignoreLines || IsBlankLine(line)) {
            continue;
        }
        bool goOn = true;
        try {
            goOn = sink.truck(read.lines, ReadTruck(SharedText(block, line)));
        } catch (const RuntimeError& error) {
            goOn = sink.failure(LoadFailure{read.lines, error.number(), error.reason()});
        }
        if (!goOn) {
            break;
        }
    }
    return read;
}

TextKind KindOfText(std::string_view bytes) {
    constexpr std::size_t kUtf16Look = 1024;
    constexpr std::size_t kBinaryLook = std::size_t{64} << 10;
    const std::string_view start = bytes.substr(0, kUtf16Look);
    if (start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF")) {
        return TextKind::Utf16;
    }
    if (start.size() >= 2) {
        // Text of Latin letters in UTF-16 has a NUL in every other byte, at odd
        // places (little-endian) or at even ones (big-endian).
        bool evenNul = true;
        bool oddNul = true;
        for (std::size_t i = 0; i + 1 < start.size(); i += 2) {
            evenNul = evenNul && start[i] == '\0';
            oddNul = oddNul && start[i + 1] == '\0';
        }
        if (evenNul != oddNul) {
            return TextKind::Utf16;
        }
    }
    const std::string_view look = bytes.substr(0, kBinaryLook);
    std::size_t control = 0;
    for (const char c : look) {
        const auto byte = static_cast<unsigned char>(c);
        control += static_cast<std::size_t>(byte < 0x20 && c != '\t' && c != '\r' && c != '\n');
    }
    return control * 100 > look.size() ? TextKind::Binary : TextKind::Text;
}

bool IsTextLine(std::string_view line) {
    return std::none_of(line.begin(), line.end(), [](char c) {
        return (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == '\x7F';
    });
}

void CommitLoad(BrowserState& state, LoadResult& result) {
    if (!result.cancelled) {
        state.AddTrucks(std::move(result.trucks));
    }
}

LoadResult ReadTruckText(std::string contents, TruckIndex ignoreLines, TruckIndex firstNumber,
                         const LoadProgress& progress) {
    // Rewriting lines (other breaks, Latin-1) takes the first part of the
    // progress, reading them the rest.
    constexpr double kEchoShare = 0.3;
    const TextKind kind = KindOfText(contents);
    const std::optional<SharedText> text =
        EchoText(std::move(contents), Step(progress, 0, kEchoShare));
    if (!text) {
        LoadResult cancelled;
        cancelled.cancelled = true;
        return cancelled;
    }
    LoadResult result = ReadLines(*text, ignoreLines, firstNumber, Step(progress, kEchoShare, 1));
    result.kind = kind;
    return result;
}

LoadResult ReadLines(const SharedText& text, TruckIndex ignoreLines, TruckIndex firstNumber,
                     const LoadProgress& progress) {
    // Keeps every truck and stops at the first line that fails; the trucks
    // are checked alongside, a stretch at a time.
    class Reader : public TruckLineSink {
    public:
        Reader(LoadResult& result, ChecksAlongside& checks) : result_(result), checks_(checks) {}
        bool truck(TruckIndex, TruckRecord record) override {
            result_.trucks.add(std::move(record));
            if (result_.trucks.count() % kTrucksPerCheck == 0) {
                checks_.readUpTo(result_.trucks.last());
            }
            return true;
        }
        bool failure(LoadFailure failure) override {
            result_.failure = std::move(failure);
            return false;
        }

    private:
        LoadResult& result_;
        ChecksAlongside& checks_;
    };

    LoadResult result;
    // About one truck a line of the shortest kind; only a hint for the store.
    result.trucks =
        TruckStore(firstNumber, static_cast<TruckIndex>(text.size() / kFields.back().start));
    ChecksAlongside checks(result.trucks);
    Reader reader(result, checks);
    const LinesRead read = ReadTruckLines(text, ignoreLines, reader, progress, &result.lineBreaks);
    if (read.cancelled) {
        LoadResult cancelled;
        cancelled.cancelled = true;
        return cancelled;
    }
    checks.readUpTo(result.trucks.last());
    checks.finish();
    result.added = result.trucks.count();
    result.lines = read.lines;
    // The lines read, up to and including a failing one.
    result.echo = SharedText(text.block(), text.view().substr(0, read.end));
    if (result.failure) {
        // The failing line is the last one read.
        std::string_view lines = result.echo.view();
        if (lines.ends_with('\n')) {
            lines.remove_suffix(1);
        }
        const std::size_t cut = lines.rfind('\n');
        result.failingLineIsText =
            IsTextLine(cut == std::string_view::npos ? lines : lines.substr(cut + 1));
    }
    return result;
}

LoadResult LoadTruckText(BrowserState& state, std::string contents, TruckIndex ignoreLines,
                         const LoadProgress& progress) {
    LoadResult result =
        ReadTruckText(std::move(contents), ignoreLines, state.NoTrucks + 1, progress);
    CommitLoad(state, result);
    return result;
}

LoadResult LoadLines(BrowserState& state, const SharedText& text, TruckIndex ignoreLines,
                     const LoadProgress& progress) {
    LoadResult result = ReadLines(text, ignoreLines, state.NoTrucks + 1, progress);
    CommitLoad(state, result);
    return result;
}

}  // namespace axlewise

#include "loading/TruckFile.h"

#include "loading/EchoText.h"
#include "records/FieldTable.h"
#include "records/IntegerText.h"
#include "records/modUDTs.h"

#include <fcntl.h>
#include <sys/mman.h>
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

// A line that ReadTruck accepts reaches at least the first column of the last
// field; with its break that bounds the number of trucks a text can hold.
constexpr std::size_t kShortestTruckBytes = static_cast<std::size_t>(kFields.back().start) + 1;
constexpr TruckIndex kReserveFrom = 4096;

// Progress is asked about this often: rare enough to cost nothing, often
// enough that Cancel answers within a few milliseconds.
constexpr TruckIndex kLinesPerProgress = 4096;
constexpr std::size_t kBytesPerRead = std::size_t{16} << 20;

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

// Asks the kernel to back the part of [data, data + bytes) that covers whole
// 2 MiB pages with huge pages. Large loads touch hundreds of megabytes of fresh
// memory (file, echo, records) and the first touch of each 4 KiB page is a
// page fault; on virtual machines those faults dominate the load time (a file
// of 100,000 lines, 8 MB, loads in half the time with them). Done for buffers
// that hold a whole huge page after alignment; the memory must not have been
// touched yet.
void AdviseHugePages([[maybe_unused]] const void* data, [[maybe_unused]] std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    if (bytes < 2 * kHugePage) {
        return;
    }
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kHugePage - 1);
    // Advice only: when the kernel refuses, the memory is used as it is.
    ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
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
        // and files that report no size (as in /proc) are read to their end.
        bytes.reserve(static_cast<std::size_t>(info.st_size) + 1);
        AdviseHugePages(bytes.data(), bytes.capacity());
        bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
        const double expected = static_cast<double>(bytes.size());
        std::size_t filled = 0;
        for (;;) {
            if (filled == bytes.size()) {
                bytes.resize(bytes.size() * 2);
            }
            if (progress && !progress(std::min(1.0, static_cast<double>(filled) / expected))) {
                return std::nullopt;
            }
            // In steps, so that progress is heard of while a large file comes in.
            const std::size_t want = std::min(bytes.size() - filled, kBytesPerRead);
            const ssize_t got = ::read(fd, bytes.data() + filled, want);
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                RaiseFileError(errno);
            }
            if (got == 0) {
                break;
            }
            filled += static_cast<std::size_t>(got);
        }
        bytes.resize(filled);
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

LoadResult LoadTruckText(BrowserState& state, std::string contents, TruckIndex ignoreLines,
                         const LoadProgress& progress) {
    // Rewriting lines (other breaks, Latin-1) takes the first part of the
    // progress, reading them the rest.
    constexpr double kEchoShare = 0.3;
    const std::optional<SharedText> text =
        EchoText(std::move(contents), Step(progress, 0, kEchoShare));
    if (!text) {
        LoadResult cancelled;
        cancelled.cancelled = true;
        return cancelled;
    }
    return LoadLines(state, *text, ignoreLines, Step(progress, kEchoShare, 1));
}

LoadResult LoadLines(BrowserState& state, const SharedText& text, TruckIndex ignoreLines,
                     const LoadProgress& progress) {
    // A large text is given room for all its trucks at once, on fresh memory
    // that may take huge pages; small ones grow the list as usual.
    const std::size_t heldBefore = state.Trucks.size();
    const std::size_t capacityBefore = state.Trucks.capacity();
    const TruckIndex countBefore = state.NoTrucks;
    const auto estimate = static_cast<TruckIndex>(text.size() / kShortestTruckBytes) + 1;
    if (estimate >= kReserveFrom) {
        state.ReserveTrucks(estimate);
        // Only the part not yet written is fresh memory.
        AdviseHugePages(state.Trucks.data() + heldBefore,
                        (state.Trucks.capacity() - heldBefore) * sizeof(TruckRecord));
    }

    // Appends every truck and stops at the first line that fails.
    class Appender : public TruckLineSink {
    public:
        Appender(BrowserState& state, LoadResult& result) : state_(state), result_(result) {}
        bool truck(TruckIndex, TruckRecord record) override {
            state_.AddTruck(std::move(record));
            ++result_.added;
            return true;
        }
        bool failure(LoadFailure failure) override {
            result_.failure = std::move(failure);
            return false;
        }

    private:
        BrowserState& state_;
        LoadResult& result_;
    };

    LoadResult result;
    Appender appender(state, result);
    const LinesRead read =
        ReadTruckLines(text, ignoreLines, appender, progress, &result.lineBreaks);
    if (read.cancelled) {
        // As if the load had never started, the room reserved for it included:
        // the records written into it were memory in use.
        if (state.Trucks.capacity() > capacityBefore) {
            std::vector<TruckRecord> kept;
            kept.reserve(capacityBefore);
            std::move(state.Trucks.begin(),
                      state.Trucks.begin() + static_cast<std::ptrdiff_t>(heldBefore),
                      std::back_inserter(kept));
            state.Trucks.swap(kept);
        } else {
            state.Trucks.resize(heldBefore);
        }
        state.NoTrucks = countBefore;
        LoadResult cancelled;
        cancelled.cancelled = true;
        return cancelled;
    }
    result.lines = read.lines;
    // The lines read, up to and including a failing one.
    result.echo = SharedText(text.block(), text.view().substr(0, read.end));
    return result;
}

}  // namespace axlewise

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
#include <cstring>
#include <memory>
#include <cstdint>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>

namespace axlewise {

namespace {

// A line that ReadTruck accepts reaches at least the first column of the last
// field; with its break that bounds the number of trucks a text can hold.
constexpr std::size_t kShortestTruckBytes = static_cast<std::size_t>(kFields.back().start) + 1;
constexpr TruckIndex kReserveFrom = 4096;

[[noreturn]] void RaiseNotANumber(std::string_view text) {
    std::string reason = "No of lines to ignore: \"";
    AppendReadable(reason, text);
    reason += "\" is not a number";
    throw RuntimeError(ErrorNumber::TypeMismatch, reason);
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
// page fault; on virtual machines those faults dominate the load time. Only
// worth it, and only done, for buffers of several huge pages; the memory must
// not have been touched yet.
void AdviseHugePages([[maybe_unused]] const void* data, [[maybe_unused]] std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    if (bytes < 4 * kHugePage) {
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

std::string ReadFileBytes(const std::string& path) {
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
        std::size_t filled = 0;
        for (;;) {
            if (filled == bytes.size()) {
                bytes.resize(bytes.size() * 2);
            }
            const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
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

LoadResult LoadTruckText(BrowserState& state, std::string contents, TruckIndex ignoreLines) {
    const auto text = std::make_shared<const std::string>(EchoText(std::move(contents)));
    return LoadLines(state, text, ignoreLines);
}

LoadResult LoadLines(BrowserState& state, const SharedText::Block& text, TruckIndex ignoreLines) {
    LoadResult result;
    // A large text is given room for all its trucks at once, on fresh memory
    // that may take huge pages; small ones grow the list as usual.
    const auto estimate = static_cast<TruckIndex>(text->size() / kShortestTruckBytes) + 1;
    if (estimate >= kReserveFrom) {
        const std::size_t held = state.Trucks.size();
        state.ReserveTrucks(estimate);
        // Only the part not yet written is fresh memory.
        AdviseHugePages(state.Trucks.data() + held,
                        (state.Trucks.capacity() - held) * sizeof(TruckRecord));
    }

    const std::string_view all = *text;
    std::size_t start = 0;
    while (start < all.size()) {
        const auto* breakAt =
            static_cast<const char*>(std::memchr(all.data() + start, '\n', all.size() - start));
        const std::size_t end =
            breakAt != nullptr ? static_cast<std::size_t>(breakAt - all.data()) : all.size();
        const std::string_view line = all.substr(start, end - start);
        start = end + 1;
        ++result.lines;
        if (result.lines <= ignoreLines || IsBlankLine(line)) {
            continue;
        }
        try {
            state.AddTruck(ReadTruck(SharedText(text, line)));
        } catch (const RuntimeError& error) {
            std::string reason = "line " + std::to_string(result.lines) + ": ";
            // The field text quoted in the reason may hold any byte of the file.
            AppendReadable(reason, error.reason());
            result.failure = LoadFailure{result.lines, error.number(), std::move(reason)};
            break;
        }
        ++result.added;
    }
    // The lines read, up to and including a failing one.
    result.echo = SharedText(text, all.substr(0, std::min(start, all.size())));
    return result;
}

}  // namespace axlewise

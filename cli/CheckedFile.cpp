#include "cli/CheckedFile.h"

#include "checks/OrderCheck.h"
#include "loading/EchoText.h"
#include "records/RuntimeError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>

namespace axlewise {

namespace {

// Runs the checks on each truck as it comes off the line reader and keeps the
// truck for the DUPLICATE check of the next one.
class CheckingReader : public TruckLineSink {
public:
    explicit CheckingReader(CheckedTruckSink& sink) : sink_(sink) {}

    bool truck(TruckIndex line, TruckRecord record) override {
        const TruckIndex number = ++counts_.trucks;
        std::vector<CheckFailure> failures =
            CheckTruck(record, previous_ ? &*previous_ : nullptr, number - 1);
        if (std::optional<CheckFailure> order = order_.next(record, number)) {
            failures.push_back(std::move(*order));
        }
        sink_.truck(number, line, record, failures);
        previous_ = std::move(record);
        return true;
    }

    bool failure(LoadFailure failure) override {
        ++counts_.unreadable;
        sink_.failure(failure);
        return true;
    }

    FileCounts& counts() { return counts_; }

private:
    CheckedTruckSink& sink_;
    OrderCheck order_;
    std::optional<TruckRecord> previous_;
    FileCounts counts_;
};

// The same number and reason as the read of a file gives.
[[noreturn]] void RaiseFileError(int error) {
    const ErrorNumber number =
        (error == ENOENT || error == ENOTDIR) ? ErrorNumber::FileNotFound : ErrorNumber::FileAccess;
    throw RuntimeError(number, std::system_category().message(error));
}

}  // namespace

SharedText ReadFileText(const std::string& path) {
    // Every truck's line is a slice of this one text: no copy per line. Without
    // a progress callback neither step can be cancelled.
    return *EchoText(*ReadFileBytes(path));
}

FileCounts ReadCheckedFile(const std::string& path, TruckIndex ignore, CheckedTruckSink& sink) {
    CheckingReader reader(sink);
    const LinesRead read = ReadTruckLines(ReadFileText(path), ignore, reader);
    reader.counts().lines = read.lines;
    return reader.counts();
}

void CheckReadable(const std::string& path) {
    // As the read opens it: non-blocking, so that a named pipe cannot hang.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        RaiseFileError(errno);
    }
    struct stat info {};
    const int error = ::fstat(fd, &info) != 0 ? errno : 0;
    ::close(fd);
    if (error != 0) {
        RaiseFileError(error);
    }
    if (S_ISDIR(info.st_mode)) {
        RaiseFileError(EISDIR);
    }
    if (!S_ISREG(info.st_mode)) {
        throw RuntimeError(ErrorNumber::FileAccess, "not a regular file");
    }
}

std::string Utf8Name(const std::string& path) {
    std::string name;
    AppendReadable(name, path);
    return name;
}

std::string DisplayName(const std::string& path) {
    std::string name = Quoted(path);
    return name.substr(1, name.size() - 2);
}

std::string LineReport(const std::string& name, const LoadFailure& failure) {
    return name + ":" + std::to_string(failure.line) + ": " + failure.reason;
}

}  // namespace axlewise

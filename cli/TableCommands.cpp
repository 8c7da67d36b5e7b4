// check and csv: whole files read line by line, without Qt.

#include "cli/Commands.h"
#include "cli/CsvWriter.h"
#include "cli/FileSummary.h"
#include "records/RuntimeError.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <new>
#include <optional>
#include <system_error>
#include <utility>

namespace axlewise {

namespace {

ExitStatus Worse(ExitStatus a, ExitStatus b) {
    return static_cast<int>(a) > static_cast<int>(b) ? a : b;
}

// Reads one file into the sink; a file that cannot be read is reported and
// gives Failed.
ExitStatus ReadInto(const std::string& path, TruckIndex ignore, CheckedTruckSink& sink,
                    FileCounts& counts) {
    try {
        counts = ReadCheckedFile(path, ignore, sink);
    } catch (const RuntimeError& error) {
        Complain(DisplayName(path) + ": " + error.reason());
        return ExitStatus::Failed;
    } catch (const std::bad_alloc&) {
        Complain(DisplayName(path) + ": too large to read into memory");
        return ExitStatus::Failed;
    }
    return counts.unreadable > 0 ? ExitStatus::Unreadable : ExitStatus::Ok;
}

// Whether two paths name the same existing file.
bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// The file given with -o, written under a temporary name beside it and put in
// its place only when everything was written, so that a run that fails halfway
// leaves no half-written file.
class OutputFile {
public:
    explicit OutputFile(const std::string& path) : path_(path), temporary_(path + ".XXXXXX") {
        const int fd = ::mkstemp(temporary_.data());
        if (fd >= 0) {
            // The permissions a new file gets, not mkstemp's owner-only ones.
            const mode_t mask = ::umask(0);
            ::umask(mask);
            ::fchmod(fd, 0666 & ~mask);
            file_ = ::fdopen(fd, "wb");
            if (file_ == nullptr) {
                ::close(fd);
            }
        }
    }
    ~OutputFile() {
        if (file_ != nullptr) {
            std::fclose(file_);
            std::remove(temporary_.c_str());
        }
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    std::FILE* get() const { return file_; }
    // Closes the file and puts it in place; false when either fails.
    bool commit() {
        std::FILE* file = std::exchange(file_, nullptr);
        const bool written = std::fclose(file) == 0;
        if (!written || std::rename(temporary_.c_str(), path_.c_str()) != 0) {
            std::remove(temporary_.c_str());
            return false;
        }
        return true;
    }

private:
    std::string path_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
};

}  // namespace

void Complain(const std::string& message) {
    const std::string line = "axlewise-cli: " + message + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

ExitStatus RunCheck(const Arguments& arguments) {
    ExitStatus status = ExitStatus::Ok;
    bool first = true;
    for (const std::string& path : arguments.files) {
        FileSummary summary(path);
        FileCounts counts;
        const ExitStatus read = ReadInto(path, arguments.ignore, summary, counts);
        status = Worse(status, read);
        if (read == ExitStatus::Failed) {
            continue;
        }
        if (!first) {
            std::fputc('\n', stdout);
        }
        first = false;
        const std::string text = summary.text(counts);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    }
    return status;
}

ExitStatus RunCsv(const Arguments& arguments) {
    std::optional<OutputFile> file;
    std::FILE* out = stdout;
    if (arguments.output) {
        for (const std::string& path : arguments.files) {
            if (SameFile(path, *arguments.output)) {
                Complain(DisplayName(*arguments.output) + ": is also an input file; not replaced");
                return ExitStatus::Failed;
            }
        }
        file.emplace(*arguments.output);
        if (file->get() == nullptr) {
            Complain(DisplayName(*arguments.output) + ": " + std::system_category().message(errno));
            return ExitStatus::Failed;
        }
        out = file->get();
    }
    ExitStatus status = ExitStatus::Ok;
    {
        CsvWriter writer(out);
        writer.writeHeader();
        for (const std::string& path : arguments.files) {
            writer.startFile(path);
            FileCounts counts;
            status = Worse(status, ReadInto(path, arguments.ignore, writer, counts));
        }
        if (!writer.finish()) {
            Complain((arguments.output ? DisplayName(*arguments.output) : std::string("stdout")) +
                     ": write failed");
            return ExitStatus::Failed;
        }
    }
    if (file && !file->commit()) {
        Complain(DisplayName(*arguments.output) + ": " + std::system_category().message(errno));
        return ExitStatus::Failed;
    }
    return status;
}

}  // namespace axlewise

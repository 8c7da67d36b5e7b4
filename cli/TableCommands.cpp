// check and csv: whole files read line by line, without Qt.

#include "cli/Commands.h"
#include "cli/CsvWriter.h"
#include "cli/FileSummary.h"
#include "records/RuntimeError.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>
#include <system_error>

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

// Closes an output file opened for -o.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
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
    std::unique_ptr<std::FILE, FileCloser> file;
    std::FILE* out = stdout;
    if (arguments.output) {
        file.reset(std::fopen(arguments.output->c_str(), "wb"));
        if (!file) {
            Complain(DisplayName(*arguments.output) + ": " + std::system_category().message(errno));
            return ExitStatus::Failed;
        }
        out = file.get();
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
    if (file && std::fclose(file.release()) != 0) {
        Complain(DisplayName(*arguments.output) + ": write failed");
        return ExitStatus::Failed;
    }
    return status;
}

}  // namespace axlewise

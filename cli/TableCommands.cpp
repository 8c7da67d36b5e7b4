// check and csv: whole files read line by line; and the steps of reading
// files and writing the output that every command takes.

#include "cli/Commands.h"
#include "cli/CsvWriter.h"
#include "cli/FileSummary.h"
#include "cli/SafeOutput.h"
#include "records/RuntimeError.h"

#include <cstdio>
#include <new>
#include <optional>

namespace axlewise {

void Complain(const std::string& message) {
    const std::string line = "axlewise-cli: " + message + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

ExitStatus Worse(ExitStatus a, ExitStatus b) {
    return static_cast<int>(a) > static_cast<int>(b) ? a : b;
}

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

bool OpenOutput(std::optional<SafeOutput>& out, const std::optional<std::string>& path,
                const std::vector<std::string>& inputs) {
    try {
        out.emplace(path, inputs);
    } catch (const RuntimeError& error) {
        Complain((path ? DisplayName(*path) : std::string("standard output")) + ": " +
                 error.reason());
        return false;
    }
    return true;
}

ExitStatus Commit(SafeOutput& out, ExitStatus status) {
    try {
        out.commit();
    } catch (const RuntimeError& error) {
        Complain(out.name() + ": " + error.reason());
        return ExitStatus::Failed;
    }
    return status;
}

bool AllReadable(const std::vector<std::string>& paths) {
    bool readable = true;
    for (const std::string& path : paths) {
        try {
            CheckReadable(path);
        } catch (const RuntimeError& error) {
            Complain(DisplayName(path) + ": " + error.reason());
            readable = false;
        }
    }
    return readable;
}

// Each file's report is whole in itself: a file that cannot be read is
// reported and the others are still checked.
ExitStatus RunCheck(const Arguments& arguments) {
    std::optional<SafeOutput> out;
    if (!OpenOutput(out, std::nullopt, arguments.files)) {
        return ExitStatus::Failed;
    }
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
        // Reports are set apart by an empty line.
        if ((!first && !out->write("\n")) || !out->write(CheckText(summary.figures(counts)))) {
            break;  // the output is gone; commit says why
        }
        first = false;
    }
    return Commit(*out, status);
}

// The table is one output: when any file cannot be read, none of it is kept.
ExitStatus RunCsv(const Arguments& arguments) {
    // Every file is looked at before the output is touched, so that a missing
    // one ends the run with OUT as it was.
    if (!AllReadable(arguments.files)) {
        return ExitStatus::Failed;
    }
    std::optional<SafeOutput> out;
    if (!OpenOutput(out, arguments.output, arguments.files)) {
        return ExitStatus::Failed;
    }
    CsvWriter writer(*out);
    writer.writeHeader();
    ExitStatus status = ExitStatus::Ok;
    for (const std::string& path : arguments.files) {
        writer.startFile(path);
        FileCounts counts;
        status = Worse(status, ReadInto(path, arguments.ignore, writer, counts));
        if (status == ExitStatus::Failed) {
            // A file that went away or grew too large meanwhile: OUT stays as
            // it was (standard output keeps what it was given).
            return status;
        }
    }
    writer.finish();
    return Commit(*out, status);
}

}  // namespace axlewise

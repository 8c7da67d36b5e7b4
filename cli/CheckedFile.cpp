#include "cli/CheckedFile.h"

#include "checks/OrderCheck.h"
#include "loading/EchoText.h"

#include <memory>
#include <optional>
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

std::string DisplayName(const std::string& path) {
    std::string name;
    AppendReadable(name, path);
    return name;
}

std::string LineReport(const std::string& name, const LoadFailure& failure) {
    return name + ":" + std::to_string(failure.line) + ": " + failure.reason;
}

}  // namespace axlewise

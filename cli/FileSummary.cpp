#include "cli/FileSummary.h"

#include "checks/CheckFields.h"
#include "records/FieldTable.h"
#include "records/IntegerText.h"

#include <algorithm>
#include <limits>

namespace axlewise {

namespace {

constexpr int kLowestGvw = std::numeric_limits<std::int16_t>::min();
constexpr std::size_t kGvwValues = 1U << 16;

// count / total in percent with one decimal, a half rounded up: "4.0%".
std::string Share(TruckIndex count, TruckIndex total) {
    const TruckIndex tenths = total > 0 ? TenthsOfPercent(count, total) : 0;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "%";
}

std::string PadRight(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

std::string PadLeft(const std::string& text, std::size_t width) {
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

// A clock field in two digits, "07"; a value no clock has is written as it is.
std::string TwoDigits(int value) {
    if (value < 0 || value > 99) {
        return std::to_string(value);
    }
    return std::string{static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

constexpr int kClockFields[] = {kYearField,   kMonthField,  kDayField,       kHourField,
                                kMinuteField, kSecondField, kHundredthsField};

}  // namespace

FileSummary::FileSummary(std::string path) : name_(DisplayName(path)), gvwCounts_(kGvwValues, 0) {}

FileSummary::Passage FileSummary::PassageOf(TruckIndex number, const TruckRecord& record,
                                            PassageTime when) {
    Passage passage;
    passage.number = number;
    passage.when = when;
    for (std::size_t k = 0; k < passage.clock.size(); ++k) {
        passage.clock[k] = record.Data[static_cast<std::size_t>(kClockFields[k])];
    }
    return passage;
}

// YY-MM-DD hh:mm:ss.cc, straight from the fields.
std::string FileSummary::DateTime(const Passage& passage) {
    const auto& c = passage.clock;
    return TwoDigits(c[0]) + "-" + TwoDigits(c[1]) + "-" + TwoDigits(c[2]) + " " + TwoDigits(c[3]) +
           ":" + TwoDigits(c[4]) + ":" + TwoDigits(c[5]) + "." + TwoDigits(c[6]);
}

void FileSummary::truck(TruckIndex number, TruckIndex, const TruckRecord& record,
                        const std::vector<CheckFailure>& failures) {
    ++trucks_;
    // A check that fails in several places counts the truck once; failures
    // come grouped by check.
    for (std::size_t i = 0; i < failures.size(); ++i) {
        if (i > 0 && failures[i].code == failures[i - 1].code) {
            continue;
        }
        CheckCount& count = checks_[static_cast<std::size_t>(failures[i].code)];
        ++count.trucks;
        if (count.first.size() < kListedTrucks) {
            count.first.push_back(number);
        }
    }

    // Earliest and latest in the order that ORDER uses.
    const PassageTime when = PassageTimeOf(record);
    if (trucks_ == 1 || when < earliest_.when) {
        earliest_ = PassageOf(number, record, when);
    }
    if (trucks_ == 1 || latest_.when < when) {
        latest_ = PassageOf(number, record, when);
    }

    const auto field = [&record](int index) {
        return record.Data[static_cast<std::size_t>(index)];
    };
    ++lanes_[{field(kLaneField), field(kDirectionField)}];
    ++gvwCounts_[static_cast<std::size_t>(field(kGvwField) - kLowestGvw)];
}

void FileSummary::failure(const LoadFailure& failure) {
    if (failures_.size() < kListedFailures) {
        failures_.push_back(LineReport(name_, failure));
    }
}

std::string FileSummary::text(const FileCounts& counts) const {
    std::string out = name_ + "\n";
    out += "  lines read: " + std::to_string(counts.lines) + "\n";
    out += "  trucks: " + std::to_string(counts.trucks) + "\n";
    out += "  unreadable lines: " + std::to_string(counts.unreadable) + "\n";
    for (const std::string& line : failures_) {
        out += line + "\n";
    }
    const auto unlisted = counts.unreadable - static_cast<TruckIndex>(failures_.size());
    if (unlisted > 0) {
        out += "  (" + std::to_string(unlisted) + " more unreadable line" +
               (unlisted == 1 ? "" : "s") + " not listed)\n";
    }

    out += "  checks failed (trucks, share, first trucks):\n";
    const std::size_t countWidth = std::to_string(trucks_).size();
    for (const CheckCode code : kAllChecks) {
        const CheckCount& count = checks_[static_cast<std::size_t>(code)];
        out += "    " + PadRight(CheckName(code), 10) + " " +
               PadLeft(std::to_string(count.trucks), countWidth) + " " +
               PadLeft(Share(count.trucks, trucks_), 6);
        if (!count.first.empty()) {
            out += count.first.size() == 1 ? "  truck " : "  trucks ";
            for (std::size_t i = 0; i < count.first.size(); ++i) {
                out += (i > 0 ? ", " : "") + std::to_string(count.first[i]);
            }
            if (count.trucks > static_cast<TruckIndex>(count.first.size())) {
                out += ", ...";
            }
        }
        out += "\n";
    }
    if (trucks_ == 0) {
        return out;
    }

    out += "  time of passage (YY-MM-DD hh:mm:ss.cc):\n";
    out +=
        "    first: " + DateTime(earliest_) + " (truck " + std::to_string(earliest_.number) + ")\n";
    out += "    last:  " + DateTime(latest_) + " (truck " + std::to_string(latest_.number) + ")\n";

    out += "  trucks per lane and direction:\n";
    for (const auto& [place, count] : lanes_) {
        out += "    lane " + std::to_string(place.first) + ", direction " +
               std::to_string(place.second) + ": " + std::to_string(count) + " (" +
               Share(count, trucks_) + ")\n";
    }

    // Nearest rank: the p-th percentile is the value at rank ceil(p/100 * n)
    // in ascending order; the minimum is rank 1 and the maximum rank n.
    const TruckIndex n = trucks_;
    const std::array<TruckIndex, 5> ranks = {1, std::max<TruckIndex>(1, (10 * n + 99) / 100),
                                             std::max<TruckIndex>(1, (50 * n + 99) / 100),
                                             std::max<TruckIndex>(1, (90 * n + 99) / 100), n};
    std::array<int, 5> values{};
    std::size_t next = 0;
    TruckIndex seen = 0;
    for (std::size_t slot = 0; slot < gvwCounts_.size() && next < ranks.size(); ++slot) {
        seen += gvwCounts_[slot];
        while (next < ranks.size() && seen >= ranks[next]) {
            values[next++] = static_cast<int>(slot) + kLowestGvw;
        }
    }
    out += "  GVW: min " + std::to_string(values[0]) + ", p10 " + std::to_string(values[1]) +
           ", p50 " + std::to_string(values[2]) + ", p90 " + std::to_string(values[3]) + ", max " +
           std::to_string(values[4]) + "\n";
    return out;
}

}  // namespace axlewise

#include "cli/FileSummary.h"

#include "records/IntegerText.h"
#include "stats/FiguresText.h"

#include <string>

namespace axlewise {

namespace {

std::string PadRight(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

std::string PadLeft(const std::string& text, std::size_t width) {
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

}  // namespace

FileSummary::FileSummary(const std::string& path, int source)
    : name_(DisplayName(path)), stats_(source) {}

void FileSummary::truck(TruckIndex number, TruckIndex, const TruckRecord& record,
                        const std::vector<CheckFailure>& failures) {
    stats_.add(number, record, MaskOf(failures));
}

void FileSummary::failure(const LoadFailure& failure) {
    if (listed_.size() < kListedFailures) {
        listed_.push_back(failure);
    }
}

FileFigures FileSummary::figures(const FileCounts& counts) const {
    return {name_, counts, listed_, stats_.result()};
}

std::string UnlistedText(const FileFigures& file) {
    const auto unlisted = file.counts.unreadable - static_cast<TruckIndex>(file.listed.size());
    if (unlisted <= 0) {
        return {};
    }
    std::string text = "(";
    text += std::to_string(unlisted);
    text +=
        unlisted == 1 ? " more unreadable line not listed)" : " more unreadable lines not listed)";
    return text;
}

std::string CheckText(const FileFigures& file) {
    const SiteStats& stats = file.stats;
    std::string out = file.name + "\n";
    out += "  lines read: " + std::to_string(file.counts.lines) + "\n";
    out += "  trucks: " + std::to_string(file.counts.trucks) + "\n";
    out += "  unreadable lines: " + std::to_string(file.counts.unreadable) + "\n";
    for (const LoadFailure& failure : file.listed) {
        out += LineReport(file.name, failure) + "\n";
    }
    if (const std::string unlisted = UnlistedText(file); !unlisted.empty()) {
        out += "  " + unlisted + "\n";
    }

    out += "  checks failed (trucks, share, first trucks):\n";
    // The counts line up under the widest one, the count of all trucks.
    const std::size_t countWidth = std::to_string(stats.trucks).size();
    for (const CheckCode code : kAllChecks) {
        const CheckFigures& check = stats.checks[static_cast<std::size_t>(code)];
        out += "    " + PadRight(CheckName(code), 10) + " " +
               PadLeft(std::to_string(check.trucks), countWidth) + " " +
               PadLeft(ShareText(check.tenths), 6);
        if (!check.first.empty()) {
            out += (check.first.size() == 1 ? "  truck " : "  trucks ") +
                   TruckNumbersText(check.first, check.trucks);
        }
        out += "\n";
    }
    if (!stats.firstPassage || !stats.lastPassage || !stats.gvw) {
        return out;  // no trucks
    }

    out += "  time of passage (YY-MM-DD hh:mm:ss.cc):\n";
    out += "    first: " + PassageText(*stats.firstPassage) + " (truck " +
           std::to_string(stats.firstPassage->truck.number) + ")\n";
    out += "    last:  " + PassageText(*stats.lastPassage) + " (truck " +
           std::to_string(stats.lastPassage->truck.number) + ")\n";

    out += "  trucks per lane and direction:\n";
    for (const LaneFigures& lane : stats.lanes) {
        out += "    " + LaneText(lane) + ": " + std::to_string(lane.trucks) + " (" +
               ShareText(TenthsOfPercent(lane.trucks, stats.trucks)) + ")\n";
    }
    out += "  GVW: " + PercentilesText(*stats.gvw) + "\n";
    return out;
}

}  // namespace axlewise

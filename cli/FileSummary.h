#pragma once

#include "checks/TruckChecks.h"
#include "cli/CheckedFile.h"
#include "stats/SiteStats.h"

#include <cstddef>
#include <string>
#include <vector>

namespace axlewise {

// The figures of one file as `check` prints them and `report` tabulates them:
// the counts of its lines, the unreadable lines listed in full, and the
// statistics of its trucks (the same ones the window's Summary shows).
struct FileFigures {
    std::string name;  // the file as DisplayName shows it
    FileCounts counts;
    std::vector<LoadFailure> listed;  // the first kListedFailures unreadable lines
    SiteStats stats;
};

// Unreadable lines listed in full before the rest are only counted.
inline constexpr std::size_t kListedFailures = 20;

// Gathers what `check` and `report` tell about one file, truck by truck as the
// file is read: every truck goes to a StatsAccumulator with the checks it
// failed, and the first unreadable lines are kept.
class FileSummary : public CheckedTruckSink {
public:
    // path as given on the command line; source tells the file's trucks apart
    // when the statistics of several files are merged.
    explicit FileSummary(const std::string& path, int source = 0);

    void truck(TruckIndex number, TruckIndex line, const TruckRecord& record,
               const std::vector<CheckFailure>& failures) override;
    void failure(const LoadFailure& failure) override;

    // The statistics gathered so far, for merging with other files'.
    const StatsAccumulator& accumulator() const { return stats_; }

    // The file's figures once it is read (counts as ReadCheckedFile returned them).
    FileFigures figures(const FileCounts& counts) const;

private:
    std::string name_;
    StatsAccumulator stats_;
    std::vector<LoadFailure> listed_;
};

// The report `check` prints for a file; see the README for a sample: the file
// name, lines read, trucks, unreadable lines (the first 20 as FILE:LINE:
// reason, then how many more), per check the trucks that failed it, their
// share and the first three truck numbers, the earliest and latest passage,
// trucks per lane and direction, and GVW's minimum, 10th, 50th and 90th
// percentiles (nearest rank) and maximum. Ends in a line break.
std::string CheckText(const FileFigures& file);

// "(3 more unreadable lines not listed)" for the unreadable lines past the
// listed ones; empty when all are listed.
std::string UnlistedText(const FileFigures& file);

}  // namespace axlewise

#pragma once

#include "checks/OrderCheck.h"
#include "checks/TruckChecks.h"
#include "cli/CheckedFile.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace axlewise {

// What `check` tells about one file: gathered truck by truck as the file is
// read, written out as text at the end.
class FileSummary : public CheckedTruckSink {
public:
    // path as given on the command line; it starts every unreadable line.
    explicit FileSummary(std::string path);

    void truck(TruckIndex number, TruckIndex line, const TruckRecord& record,
               const std::vector<CheckFailure>& failures) override;
    void failure(const LoadFailure& failure) override;

    // The report of the file once read; see the README for a sample:
    //   the file name, lines read, trucks, unreadable lines (the first 20 as
    //   FILE:LINE: reason, then how many more), per check the trucks that
    //   failed it, their share and the first three truck numbers, the earliest
    //   and latest passage, trucks per lane and direction, and GVW's minimum,
    //   10th, 50th and 90th percentiles (nearest rank) and maximum.
    std::string text(const FileCounts& counts) const;

    // Unreadable lines listed in full before the rest are only counted.
    static constexpr std::size_t kListedFailures = 20;
    // Truck numbers shown for each check.
    static constexpr std::size_t kListedTrucks = 3;

private:
    // A passage as the fields give it, for the earliest and latest.
    struct Passage {
        TruckIndex number = 0;
        PassageTime when;
        std::array<std::int16_t, 7> clock{};  // YEAR, MONTH, DAY, HOUR, MINUTE, SECOND, SECOND/100
    };
    struct CheckCount {
        TruckIndex trucks = 0;
        std::vector<TruckIndex> first;
    };

    static Passage PassageOf(TruckIndex number, const TruckRecord& record, PassageTime when);
    static std::string DateTime(const Passage& passage);

    std::string name_;
    TruckIndex trucks_ = 0;
    std::vector<std::string> failures_;
    std::array<CheckCount, kCheckCount> checks_;
    Passage earliest_;
    Passage latest_;
    std::map<std::pair<int, int>, TruckIndex> lanes_;  // (lane, direction)
    // Trucks per GVW value: every int16 has its slot, so the percentiles need
    // no sorting however many trucks there are.
    std::vector<TruckIndex> gvwCounts_;
};

}  // namespace axlewise

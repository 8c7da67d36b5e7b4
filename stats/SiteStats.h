#pragma once

#include "checks/OrderCheck.h"
#include "checks/TruckChecks.h"
#include "records/BrowserState.h"
#include "records/modUDTs.h"
#include "stats/Histogram.h"
#include "stats/ValueCounts.h"

#include <array>
#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace axlewise {

// A truck by its place in a list: `number` is 1-based in the list it came
// from, `source` tells lists apart when the figures of several files are
// merged (0 for a single list). Ordered as the lists would be concatenated;
// number 0 means no truck.
struct TruckRef {
    int source = 0;
    TruckIndex number = 0;

    auto operator<=>(const TruckRef&) const = default;
    explicit operator bool() const { return number > 0; }
};

// A passage as the fields give it.
struct Passage {
    TruckRef truck;
    PassageTime when;
    ClockFields clock{};
};

struct CheckFigures {
    TruckIndex trucks = 0;    // trucks that failed the check
    std::int64_t tenths = 0;  // their share of all trucks, tenths of a percent (0 with no trucks)
    std::vector<TruckRef> first;  // the first kListedTrucks of them, in list order
};

// The trucks of one lane and direction, by HOUR.
struct LaneFigures {
    int lane = 0;
    int direction = 0;
    TruckIndex trucks = 0;
    std::array<TruckIndex, 24> perHour{};
    TruckIndex offClock = 0;  // HOUR outside 0..23: in trucks, in no hour
};

// Nearest-rank percentiles (see ValueCounts::percentile).
struct Percentiles {
    int min = 0;
    int p10 = 0;
    int p50 = 0;
    int p90 = 0;
    int max = 0;
};

// One calendar day of the file (see stats/Calendar.h).
struct DayFigures {
    int year = 0;
    int month = 0;
    int day = 0;
    int dayNumber = 0;  // DayNumber of the date: consecutive days differ by 1
    TruckIndex trucks = 0;
    TruckRef first;  // the day's first truck in list order
    // The day's trucks of five axles, and the medians of their WT AX 1 (the
    // steering axle) and S AX 2 - AX 3 (the drive tandem's spacing); the
    // medians are 0 when the count is.
    TruckIndex fiveAxle = 0;
    double steeringMedian = 0;
    double tandemMedian = 0;
};

// A peak of the five-axle GVW histogram.
struct GvwPeak {
    std::size_t bin = 0;
    int gvw = 0;  // the middle of the bin (Histogram::middle)
};

// The figures of a list of trucks, in the file's own units. Worked out by
// StatsAccumulator::result.
struct SiteStats {
    TruckIndex trucks = 0;
    // Per check, indexed by CheckCode.
    std::array<CheckFigures, kCheckCount> checks;
    // Earliest and latest passage in the order of PassageTime; of equal
    // passages the first in list order. Empty with no trucks.
    std::optional<Passage> firstPassage;
    std::optional<Passage> lastPassage;
    // By lane, then direction.
    std::vector<LaneFigures> lanes;
    std::optional<Percentiles> gvw;

    // GVW of all trucks and of five-axle trucks, in the same bins (PlanBins of
    // all trucks' GVW), and the highest one or two peaks of the five-axle one,
    // ascending: with two, the lower is the unloaded and the higher the loaded
    // peak.
    Histogram gvwAll;
    Histogram gvwFiveAxle;
    std::vector<GvwPeak> gvwPeaks;

    // Calendar days in date order; trucks on no calendar date are only counted.
    std::vector<DayFigures> days;
    TruckIndex undated = 0;
    // The trucks of five axles, and the medians of their WT AX 1 and
    // S AX 2 - AX 3 over the whole list (undated trucks included); 0 when none.
    TruckIndex fiveAxle = 0;
    double steeringMedian = 0;
    double tandemMedian = 0;

    Histogram speed;  // PlanBins of SPEED
    // NO. AXLES: each value that occurs and its trucks, ascending.
    std::vector<std::pair<int, TruckIndex>> axleCounts;
};

// Truck numbers kept per check.
inline constexpr std::size_t kListedTrucks = 3;
// Axles of the trucks that stand in for the calibration class.
inline constexpr int kCalibrationAxles = 5;

// Gathers the figures of trucks fed one at a time, in list order, in one pass
// of a few counter increments per truck: values are counted per value, never
// sorted. For a report over many files, give each file its own accumulator
// (its source number in every TruckRef) for that file's figures, and merge
// them into one for the figures of all files together.
class StatsAccumulator {
public:
    explicit StatsAccumulator(int source = 0);

    // The truck numbered `number` (1-based, ascending from call to call) in its
    // list, with the checks it failed.
    void add(TruckIndex number, const TruckRecord& truck, CheckMask failed);
    // Adds another accumulator's trucks, as if they had been fed to this one;
    // of trucks that tie (first of a day, first failing a check, earliest
    // passage) the smaller TruckRef wins, so the order of merging does not
    // matter.
    void merge(const StatsAccumulator& other);

    TruckIndex trucks() const { return trucks_; }
    // The figures of every truck added. Costs a walk over the counted values
    // and a linear-time median per day, not a pass over the trucks.
    SiteStats result() const;

private:
    struct Hours {
        std::array<TruckIndex, 25> perHour{};  // [24]: HOUR outside 0..23
    };
    struct Day {
        int year = 0;
        int month = 0;
        int day = 0;
        TruckIndex trucks = 0;
        TruckRef first;
        std::vector<std::int16_t> steering;
        std::vector<std::int16_t> tandem;
    };
    // The day's slot, or null when the fields are no calendar date.
    Day* dayOf(std::int16_t year, std::int16_t month, std::int16_t day);
    // The three fields in one number, for the lookup.
    static std::uint64_t DayKey(std::int16_t year, std::int16_t month, std::int16_t day);
    Hours& hoursOf(int lane, int direction);
    void keepFirst(std::vector<TruckRef>& first, TruckRef truck);

    int source_;
    TruckIndex trucks_ = 0;
    std::array<TruckIndex, kCheckCount> failed_{};
    std::array<std::vector<TruckRef>, kCheckCount> firstFailed_;
    std::optional<Passage> earliest_;
    std::optional<Passage> latest_;

    // LANE and DIRECTION from a line hold 0..9: a slot each; others in the map.
    static constexpr int kLineValues = 10;
    std::array<Hours, kLineValues * kLineValues> lineHours_{};
    std::map<std::pair<int, int>, Hours> otherHours_;

    ValueCounts gvw_;
    ValueCounts gvwFiveAxle_;
    ValueCounts speed_;
    ValueCounts axles_;
    ValueCounts steering_;
    ValueCounts tandem_;

    std::vector<Day> days_;
    std::unordered_map<std::uint64_t, std::size_t> dayIndex_;
    // Trucks come day by day: the last day looked up answers most lookups.
    // kNoDay: the last fields were no calendar date.
    static constexpr std::size_t kNoDay = static_cast<std::size_t>(-1);
    std::uint64_t lastKey_ = ~std::uint64_t{0};
    std::size_t lastDay_ = kNoDay;
    TruckIndex undated_ = 0;
};

}  // namespace axlewise

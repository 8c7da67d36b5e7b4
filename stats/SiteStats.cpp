#include "stats/SiteStats.h"

#include "records/FieldTable.h"
#include "records/IntegerText.h"
#include "stats/Calendar.h"

#include <algorithm>

namespace axlewise {

namespace {

Passage PassageOf(TruckRef truck, const TruckRecord& record, PassageTime when) {
    Passage passage;
    passage.truck = truck;
    passage.when = when;
    passage.clock = ClockOf(record);
    return passage;
}

// Whether a comes before b: earlier, or as early and first in list order.
bool Before(const Passage& a, const Passage& b) {
    return a.when < b.when || (a.when == b.when && a.truck < b.truck);
}
// Whether a comes after b: later, or as late and first in list order (so that
// of equal passages the first in the list is both the earliest and the latest,
// as a single list fed in order keeps it).
bool After(const Passage& a, const Passage& b) {
    return b.when < a.when || (a.when == b.when && a.truck < b.truck);
}

Percentiles PercentilesOf(const ValueCounts& counts) {
    return {counts.percentile(0), counts.percentile(100), counts.percentile(500),
            counts.percentile(900), counts.percentile(1000)};
}

}  // namespace

StatsAccumulator::StatsAccumulator(int source) : source_(source) {}

std::uint64_t StatsAccumulator::DayKey(std::int16_t year, std::int16_t month, std::int16_t day) {
    return static_cast<std::uint64_t>(static_cast<std::uint16_t>(year)) << 32 |
           static_cast<std::uint64_t>(static_cast<std::uint16_t>(month)) << 16 |
           static_cast<std::uint16_t>(day);
}

StatsAccumulator::Day* StatsAccumulator::dayOf(std::int16_t year, std::int16_t month,
                                               std::int16_t day) {
    const std::uint64_t key = DayKey(year, month, day);
    if (key != lastKey_) {
        lastKey_ = key;
        if (!IsCalendarDate(year, month, day)) {
            lastDay_ = kNoDay;
        } else {
            const auto [place, added] = dayIndex_.try_emplace(key, days_.size());
            if (added) {
                Day fresh;
                fresh.year = year;
                fresh.month = month;
                fresh.day = day;
                days_.push_back(std::move(fresh));
            }
            lastDay_ = place->second;
        }
    }
    return lastDay_ == kNoDay ? nullptr : &days_[lastDay_];
}

StatsAccumulator::Hours& StatsAccumulator::hoursOf(int lane, int direction) {
    if (lane >= 0 && lane < kLineValues && direction >= 0 && direction < kLineValues) {
        return lineHours_[static_cast<std::size_t>(lane * kLineValues + direction)];
    }
    return otherHours_[{lane, direction}];
}

void StatsAccumulator::keepFirst(std::vector<TruckRef>& first, TruckRef truck) {
    if (first.size() < kListedTrucks) {
        first.push_back(truck);
    }
}

void StatsAccumulator::add(TruckIndex number, const TruckRecord& truck, CheckMask failed) {
    const auto field = [&truck](int index) { return truck.Data[static_cast<std::size_t>(index)]; };
    const TruckRef ref{source_, number};
    ++trucks_;

    for (unsigned code = 0; failed != 0 && code < kCheckCount; ++code) {
        if ((failed & (1U << code)) != 0) {
            ++failed_[code];
            keepFirst(firstFailed_[code], ref);
        }
    }

    const PassageTime when = PassageTimeOf(truck);
    if (!earliest_ || when < earliest_->when) {
        earliest_ = PassageOf(ref, truck, when);
    }
    if (!latest_ || latest_->when < when) {
        latest_ = PassageOf(ref, truck, when);
    }

    const std::int16_t hour = field(kHourField);
    ++hoursOf(field(kLaneField), field(kDirectionField))
          .perHour[hour >= 0 && hour < 24 ? hour : 24];

    gvw_.add(field(kGvwField));
    speed_.add(field(kSpeedField));
    axles_.add(field(kNoAxlesField));
    const bool calibration = field(kNoAxlesField) == kCalibrationAxles;
    if (calibration) {
        gvwFiveAxle_.add(field(kGvwField));
        steering_.add(field(AxleWeightField(1)));
        tandem_.add(field(AxleSpacingField(2)));
    }

    Day* day = dayOf(field(kYearField), field(kMonthField), field(kDayField));
    if (day == nullptr) {
        ++undated_;
        return;
    }
    if (day->trucks++ == 0) {
        day->first = ref;
    }
    if (calibration) {
        day->steering.push_back(field(AxleWeightField(1)));
        day->tandem.push_back(field(AxleSpacingField(2)));
    }
}

void StatsAccumulator::merge(const StatsAccumulator& other) {
    if (&other == this) {
        // The loops below append other's values to this one's as they go.
        const StatsAccumulator copy = other;
        merge(copy);
        return;
    }
    trucks_ += other.trucks_;
    for (std::size_t code = 0; code < kCheckCount; ++code) {
        failed_[code] += other.failed_[code];
        std::vector<TruckRef>& first = firstFailed_[code];
        first.insert(first.end(), other.firstFailed_[code].begin(), other.firstFailed_[code].end());
        std::sort(first.begin(), first.end());
        if (first.size() > kListedTrucks) {
            first.resize(kListedTrucks);
        }
    }
    if (other.earliest_ && (!earliest_ || Before(*other.earliest_, *earliest_))) {
        earliest_ = other.earliest_;
    }
    if (other.latest_ && (!latest_ || After(*other.latest_, *latest_))) {
        latest_ = other.latest_;
    }

    for (int lane = 0; lane < kLineValues; ++lane) {
        for (int direction = 0; direction < kLineValues; ++direction) {
            const auto slot = static_cast<std::size_t>(lane * kLineValues + direction);
            for (std::size_t h = 0; h < 25; ++h) {
                lineHours_[slot].perHour[h] += other.lineHours_[slot].perHour[h];
            }
        }
    }
    for (const auto& [place, hours] : other.otherHours_) {
        Hours& mine = otherHours_[place];
        for (std::size_t h = 0; h < 25; ++h) {
            mine.perHour[h] += hours.perHour[h];
        }
    }

    gvw_.merge(other.gvw_);
    gvwFiveAxle_.merge(other.gvwFiveAxle_);
    speed_.merge(other.speed_);
    axles_.merge(other.axles_);
    steering_.merge(other.steering_);
    tandem_.merge(other.tandem_);

    for (const Day& theirs : other.days_) {
        Day* mine =
            dayOf(static_cast<std::int16_t>(theirs.year), static_cast<std::int16_t>(theirs.month),
                  static_cast<std::int16_t>(theirs.day));
        if (mine->trucks == 0 || theirs.first < mine->first) {
            mine->first = theirs.first;
        }
        mine->trucks += theirs.trucks;
        mine->steering.insert(mine->steering.end(), theirs.steering.begin(), theirs.steering.end());
        mine->tandem.insert(mine->tandem.end(), theirs.tandem.begin(), theirs.tandem.end());
    }
    undated_ += other.undated_;
}

SiteStats StatsAccumulator::result() const {
    SiteStats stats;
    stats.trucks = trucks_;
    for (std::size_t code = 0; code < kCheckCount; ++code) {
        CheckFigures& figures = stats.checks[code];
        figures.trucks = failed_[code];
        figures.tenths = trucks_ > 0 ? TenthsOfPercent(failed_[code], trucks_) : 0;
        figures.first = firstFailed_[code];
    }
    stats.firstPassage = earliest_;
    stats.lastPassage = latest_;

    const auto addLane = [&stats](int lane, int direction, const Hours& hours) {
        LaneFigures figures;
        figures.lane = lane;
        figures.direction = direction;
        std::copy(hours.perHour.begin(), hours.perHour.begin() + 24, figures.perHour.begin());
        figures.offClock = hours.perHour[24];
        for (const TruckIndex count : hours.perHour) {
            figures.trucks += count;
        }
        if (figures.trucks > 0) {
            stats.lanes.push_back(figures);
        }
    };
    for (int lane = 0; lane < kLineValues; ++lane) {
        for (int direction = 0; direction < kLineValues; ++direction) {
            addLane(lane, direction,
                    lineHours_[static_cast<std::size_t>(lane * kLineValues + direction)]);
        }
    }
    for (const auto& [place, hours] : otherHours_) {
        addLane(place.first, place.second, hours);
    }
    std::sort(stats.lanes.begin(), stats.lanes.end(), [](const auto& a, const auto& b) {
        return std::pair(a.lane, a.direction) < std::pair(b.lane, b.direction);
    });

    if (trucks_ > 0) {
        stats.gvw = PercentilesOf(gvw_);
        const BinPlan plan = PlanBins(gvw_);
        stats.gvwAll = BinValues(gvw_, plan.lo, plan.hi, plan.width);
        stats.gvwFiveAxle = BinValues(gvwFiveAxle_, plan.lo, plan.hi, plan.width);
        for (const std::size_t bin : HistogramPeaks(stats.gvwFiveAxle, 2)) {
            stats.gvwPeaks.push_back({bin, stats.gvwFiveAxle.middle(bin)});
        }
        const BinPlan speedPlan = PlanBins(speed_);
        stats.speed = BinValues(speed_, speedPlan.lo, speedPlan.hi, speedPlan.width);
    }

    for (const Day& day : days_) {
        DayFigures figures;
        figures.year = day.year;
        figures.month = day.month;
        figures.day = day.day;
        figures.dayNumber = DayNumber(day.year, day.month, day.day);
        figures.trucks = day.trucks;
        figures.first = day.first;
        figures.fiveAxle = static_cast<TruckIndex>(day.steering.size());
        if (!day.steering.empty()) {
            std::vector<std::int16_t> values = day.steering;
            figures.steeringMedian = MedianOf(values);
            values = day.tandem;
            figures.tandemMedian = MedianOf(values);
        }
        stats.days.push_back(figures);
    }
    std::sort(stats.days.begin(), stats.days.end(),
              [](const auto& a, const auto& b) { return a.dayNumber < b.dayNumber; });
    stats.undated = undated_;

    stats.fiveAxle = steering_.total();
    if (stats.fiveAxle > 0) {
        stats.steeringMedian = steering_.median();
        stats.tandemMedian = tandem_.median();
    }
    axles_.forEach(
        [&stats](int value, TruckIndex count) { stats.axleCounts.emplace_back(value, count); });
    return stats;
}

}  // namespace axlewise

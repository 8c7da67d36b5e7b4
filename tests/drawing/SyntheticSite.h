#pragma once

#include "records/FieldTable.h"
#include "records/modUDTs.h"
#include "stats/Calendar.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace axlewise::test {

// The trucks of a made-up but realistic site, the same on every machine:
// lanes 1 and 2 (most trucks in lane 1), directions 1 and 2, more trucks by
// day than by night, passages in time order starting on 24-02-27 (so that
// February's 29th and a month end are crossed). Weights in tenths of a tonne,
// spacings in decimetres, as the files of such a site hold them.
//
// Two thirds of the trucks have 5 axles; their GVW has two humps, the
// unloaded one around 150 and the loaded one around 390. Their steering axle
// (WT AX 1) has a median of about 60 on the first day and drifts up by
// `drift` each day after; the drive tandem's spacing (S AX 2 - AX 3) is 13.
struct SiteShape {
    int days = 10;
    int trucksPerDay = 200;
    double drift = 0.5;
};

class SyntheticSite {
public:
    explicit SyntheticSite(std::uint64_t seed = 1) : state_(seed) {}

    std::vector<TruckRecord> trucks(const SiteShape& shape) {
        std::vector<TruckRecord> list;
        list.reserve(static_cast<std::size_t>(shape.days * shape.trucksPerDay));
        const int start = DayNumber(24, 2, 27);
        for (int d = 0; d < shape.days; ++d) {
            const CalendarDate date = DateOfDayNumber(start + d);
            // Sorted times of day, in hundredths, busier from 6 to 20 h.
            std::vector<int> times;
            for (int k = 0; k < shape.trucksPerDay; ++k) {
                const int hour = uniform(0, 9) < 8 ? uniform(6, 19) : uniform(0, 23);
                times.push_back(hour * 360000 + uniform(0, 359999));
            }
            std::sort(times.begin(), times.end());
            for (const int time : times) {
                list.push_back(truck(date, time, 60 + shape.drift * d));
            }
        }
        return list;
    }

private:
    // splitmix64, as bench/BenchLines: the same sequence everywhere.
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int uniform(int lo, int hi) {
        return lo + static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    // Roughly normal: the sum of four uniforms, mean `mean`, spread about sigma.
    int normal(double mean, double sigma) {
        double sum = 0;
        for (int k = 0; k < 4; ++k) {
            sum += static_cast<double>(next() % 1000000) / 1000000.0;
        }
        return static_cast<int>(std::lround(mean + (sum - 2.0) * sigma * 1.732));
    }

    TruckRecord truck(const CalendarDate& date, int time, double steering) {
        TruckRecord record;
        const auto set = [&record](int index, int value) {
            record.Data[static_cast<std::size_t>(index)] = static_cast<std::int16_t>(value);
        };
        set(1, 4711);
        set(kYearField, date.year);
        set(kMonthField, date.month);
        set(kDayField, date.day);
        set(kHourField, time / 360000);
        set(kMinuteField, time / 6000 % 60);
        set(kSecondField, time / 100 % 60);
        set(kHundredthsField, time % 100);
        const int lane = uniform(0, 9) < 7 ? 1 : 2;
        set(kLaneField, lane);
        set(kDirectionField, uniform(1, 2));
        set(kSpeedField, lane == 1 ? normal(82, 5) : normal(95, 6));

        const bool fiveAxle = uniform(0, 2) > 0;
        if (fiveAxle) {
            const bool loaded = uniform(0, 9) < 6;
            const int gvw = loaded ? normal(390, 25) : normal(150, 12);
            const int first = normal(steering, 3);
            const int rest = gvw - first;
            set(kNoAxlesField, 5);
            set(AxleWeightField(1), first);
            set(AxleWeightField(2), rest * 34 / 100);
            set(AxleWeightField(3), rest * 22 / 100);
            set(AxleWeightField(4), rest * 22 / 100);
            set(AxleWeightField(5), rest - rest * 34 / 100 - 2 * (rest * 22 / 100));
            set(AxleSpacingField(1), normal(37, 1));
            set(AxleSpacingField(2), 13);
            set(AxleSpacingField(3), normal(68, 4));
            set(AxleSpacingField(4), 13);
            set(kGvwField, gvw);
            set(kLengthField, 160);
        } else {
            const int w1 = normal(50, 6);
            const int w2 = normal(80, 15);
            set(kNoAxlesField, 2);
            set(AxleWeightField(1), w1);
            set(AxleWeightField(2), w2);
            set(AxleSpacingField(1), normal(48, 4));
            set(kGvwField, w1 + w2);
            set(kLengthField, 80);
        }
        record.Time = TruckTime(record);
        return record;
    }

    std::uint64_t state_;
};

}  // namespace axlewise::test

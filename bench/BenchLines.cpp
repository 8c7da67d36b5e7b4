#include "BenchLines.h"

#include "records/FieldTable.h"

#include <array>
#include <cstdlib>
#include <memory>

namespace axlewise::bench {

namespace {

// A range of a figure, both ends included.
struct Span {
    int lo;
    int hi;
};

// One kind of lorry: its axle spacings (decimetres) and, per axle, the weight
// when empty and when fully laden (tenths of a tonne).
struct TruckType {
    int axles;
    int share;  // relative frequency at the site
    std::array<Span, kMaxAxles - 1> spacings;
    std::array<int, kMaxAxles> empty;
    std::array<int, kMaxAxles> laden;
};

constexpr std::array<TruckType, 10> kTypes = {{
    // Two-axle rigid: delivery lorries, box vans.
    {2, 12, {{{38, 58}}}, {30, 20}, {65, 100}},
    // Three-axle rigid with a rear tandem.
    {3, 8, {{{40, 50}, {13, 14}}}, {55, 30, 30}, {75, 95, 95}},
    // Four-axle rigid tipper: twin steer axles and a rear tandem.
    {4, 6, {{{17, 20}, {30, 36}, {13, 14}}}, {50, 50, 35, 35}, {75, 75, 90, 90}},
    // Two-axle tractor with a tri-axle semi-trailer: the common case.
    {5,
     45,
     {{{36, 39}, {60, 77}, {13, 14}, {13, 14}}},
     {55, 45, 25, 25, 25},
     {75, 115, 90, 90, 90}},
    // Three-axle tractor with a tandem semi-trailer.
    {5, 10, {{{50, 58}, {13, 14}, {72, 85}, {12, 13}}}, {50, 35, 35, 30, 30}, {60, 85, 85, 85, 85}},
    // Three-axle tractor with a tri-axle semi-trailer, one axle lifted.
    {5, 4, {{{32, 36}, {13, 14}, {60, 72}, {13, 14}}}, {60, 45, 25, 25, 25}, {75, 95, 75, 80, 80}},
    // Three-axle tractor with a tri-axle semi-trailer.
    {6,
     8,
     {{{32, 36}, {13, 14}, {60, 72}, {13, 14}, {13, 14}}},
     {60, 45, 25, 25, 25, 25},
     {75, 95, 75, 80, 80, 80}},
    // Four-axle rigid with a three-axle drawbar trailer.
    {7,
     3,
     {{{18, 19}, {32, 35}, {13, 14}, {45, 55}, {13, 14}, {13, 14}}},
     {55, 55, 40, 40, 25, 25, 25},
     {75, 75, 85, 85, 70, 70, 70}},
    // Four-axle heavy tractor with a four-axle low-loader.
    {8,
     2,
     {{{19, 20}, {30, 34}, {14, 15}, {75, 95}, {14, 15}, {14, 15}, {14, 15}}},
     {70, 70, 60, 60, 35, 35, 35, 35},
     {80, 80, 115, 115, 100, 100, 100, 100}},
    // Four-axle heavy tractor with a five-axle low-loader.
    {9,
     1,
     {{{19, 20}, {30, 34}, {14, 15}, {80, 95}, {14, 15}, {14, 15}, {14, 15}, {14, 15}}},
     {70, 70, 65, 65, 35, 35, 35, 35, 35},
     {85, 85, 120, 120, 105, 105, 105, 105, 105}},
}};

constexpr int kTotalShare = [] {
    int total = 0;
    for (const TruckType& type : kTypes) {
        total += type.share;
    }
    return total;
}();

// Days of the months of a leap year; the year wraps after December.
constexpr std::array<int, 12> kMonthDays = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr int kHundredthsPerDay = 24 * 3600 * 100;

// Writes value right-aligned into its field, padded with spaces or zeros.
void Put(std::string& line, int index, int value, bool zeroPadded = false) {
    const LineField& field = kFields[static_cast<std::size_t>(index - 1)];
    std::size_t pos = static_cast<std::size_t>(field.last());  // one past the field
    const std::size_t begin = static_cast<std::size_t>(field.start - 1);
    const bool negative = value < 0;
    int magnitude = std::abs(value);
    do {
        line[--pos] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0 && pos > begin);
    if (negative && pos > begin) {
        line[--pos] = '-';
    }
    while (pos > begin) {
        line[--pos] = zeroPadded ? '0' : ' ';
    }
}

}  // namespace

TruckLineGenerator::TruckLineGenerator(std::uint64_t seed) : state_(seed) {
    site_ = between(1000, 9999);
    month_ = between(1, 12);
    day_ = between(1, 28);
    hundredths_ = between(0, kHundredthsPerDay - 1);
}

// splitmix64: small, fast, and the same sequence everywhere, unlike the
// distributions of <random>.
std::uint64_t TruckLineGenerator::random() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int TruckLineGenerator::between(int lo, int hi) {
    const auto range = static_cast<std::uint64_t>(hi - lo + 1);
    return lo + static_cast<int>(((random() >> 32) * range) >> 32);
}

// A busy motorway site: a truck every 0.5 to 60 seconds.
void TruckLineGenerator::advanceClock() {
    hundredths_ += between(50, 6000);
    if (hundredths_ < kHundredthsPerDay) {
        return;
    }
    hundredths_ -= kHundredthsPerDay;
    if (++day_ <= kMonthDays[static_cast<std::size_t>(month_ - 1)]) {
        return;
    }
    day_ = 1;
    if (++month_ <= 12) {
        return;
    }
    month_ = 1;
    year_ = (year_ + 1) % 100;
}

void TruckLineGenerator::next(std::string& line) {
    advanceClock();

    int pick = between(0, kTotalShare - 1);
    std::size_t t = 0;
    while (pick >= kTypes[t].share) {
        pick -= kTypes[t].share;
        ++t;
    }
    const TruckType& type = kTypes[t];

    // Load in percent of the way from empty to laden: many run empty, most
    // laden, a few overloaded.
    const int mood = between(0, 9);
    const int load = mood < 3 ? between(0, 20) : mood < 5 ? between(20, 70) : between(70, 108);

    line.assign(static_cast<std::size_t>(kLineColumns) + 1, ' ');
    int gvw = 0;
    int wheelbase = 0;
    for (int axle = 1; axle <= kMaxAxles; ++axle) {
        int weight = 0;
        int spacing = 0;
        if (axle <= type.axles) {
            const auto a = static_cast<std::size_t>(axle - 1);
            weight = type.empty[a] + (type.laden[a] - type.empty[a]) * load / 100 + between(-3, 3);
            if (axle < type.axles) {
                spacing = between(type.spacings[a].lo, type.spacings[a].hi);
            }
        }
        gvw += weight;
        wheelbase += spacing;
        Put(line, AxleWeightField(axle), weight);
        if (axle < kMaxAxles) {
            Put(line, AxleSpacingField(axle), spacing);
        }
    }

    const int lane = between(0, 99) < 85 ? 1 : 2;
    const bool congested = between(0, 99) < 4;
    const int speed = congested ? between(8, 55) : lane == 1 ? between(74, 92) : between(84, 101);
    const int hundredths = hundredths_;

    Put(line, 1, site_);
    Put(line, kDayField, day_, true);
    Put(line, kMonthField, month_, true);
    Put(line, 4, year_, true);
    Put(line, kHourField, hundredths / 360000, true);
    Put(line, kMinuteField, hundredths / 6000 % 60, true);
    Put(line, kSecondField, hundredths / 100 % 60, true);
    Put(line, kHundredthsField, hundredths % 100, true);
    Put(line, 9, speed);
    Put(line, kGvwField, gvw);
    Put(line, 11, between(11, 14) + wheelbase + between(10, 28));
    Put(line, kNoAxlesField, type.axles);
    Put(line, 13, between(1, 2));
    Put(line, 14, lane);
    Put(line, 15, between(-45, 45));

    int digitSum = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(kLineColumns); ++i) {
        if (line[i] >= '0' && line[i] <= '9') {
            digitSum += line[i] - '0';
        }
    }
    line[static_cast<std::size_t>(kLineColumns)] = static_cast<char>('0' + digitSum % 10);
}

std::vector<std::string> MakeTruckLines(std::size_t count, std::uint64_t seed) {
    TruckLineGenerator generator(seed);
    std::vector<std::string> lines(count);
    for (std::string& line : lines) {
        generator.next(line);
    }
    return lines;
}

std::string MakeTruckText(std::size_t count, std::uint64_t seed) {
    TruckLineGenerator generator(seed);
    std::string text;
    text.reserve(count * 79);
    std::string line;
    for (std::size_t i = 0; i < count; ++i) {
        generator.next(line);
        text += line;
        text += '\n';
    }
    return text;
}

SharedText MakeSharedTruckText(std::size_t count, std::uint64_t seed) {
    const auto block = std::make_shared<const std::string>(MakeTruckText(count, seed));
    return SharedText(block, *block);
}

}  // namespace axlewise::bench

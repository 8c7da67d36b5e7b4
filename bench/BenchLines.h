#pragma once

#include "records/SharedText.h"

#include <cstdint>
#include <string>
#include <vector>

namespace axlewise::bench {

// Writes realistic fixed-column truck lines, the same ones for the same seed on
// every machine: the common lorry types of a motorway site (2 to 9 axles, mostly
// 5-axle articulated trucks), empty to fully laden, in passing order.
//
// Units are those of the line format: weights in tenths of a tonne, spacings
// and length in decimetres, speed in km/h, lateral position in centimetres off
// the lane centre. Each line is 78 characters: the 77 columns of the fields and
// a check digit (the sum of the digits of columns 1-77, modulo 10). GVW is the
// sum of the axle weights; unused axle columns hold 0.
class TruckLineGenerator {
public:
    explicit TruckLineGenerator(std::uint64_t seed);

    // Writes the next truck into `line` (replacing its contents, no line end).
    void next(std::string& line);

private:
    std::uint64_t random();
    // Uniform in lo..hi, both included.
    int between(int lo, int hi);
    void advanceClock();

    std::uint64_t state_;
    int site_;
    // The clock of the site: passages come in increasing time order.
    int year_ = 24;
    int month_ = 1;
    int day_ = 1;
    int hundredths_ = 0;  // of the day
};

// `count` lines from a generator seeded with `seed`.
std::vector<std::string> MakeTruckLines(std::size_t count, std::uint64_t seed);

// The same lines as one text, each ending in '\n'.
std::string MakeTruckText(std::size_t count, std::uint64_t seed);

// That text as one shared block, as a load hands it to the box.
SharedText MakeSharedTruckText(std::size_t count, std::uint64_t seed);

}  // namespace axlewise::bench

#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace axlewise {

// One fixed-column field of a truck line. Columns count from 1.
struct LineField {
    int index;  // 1..32, the index into TruckRecord::Data
    std::string_view caption;
    int start;  // first column
    int width;  // number of characters

    int last() const { return start + width - 1; }
};

inline constexpr int kFieldCount = 32;
// The fields end at this column; characters after it are never looked at.
inline constexpr int kLineColumns = 77;

// The single table of the line format: the parser cuts lines by it and the
// caption column of the window is built from it.
inline constexpr std::array<LineField, kFieldCount> kFields = {{
    {1, "HEAD", 1, 4},
    {2, "DAY", 5, 2},
    {3, "MONTH", 7, 2},
    {4, "YEAR", 9, 2},
    {5, "HOUR", 11, 2},
    {6, "MINUTE", 13, 2},
    {7, "SECOND", 15, 2},
    {8, "SECOND/100", 17, 2},
    {9, "SPEED", 19, 3},
    {10, "GVW", 22, 4},
    {11, "LENGTH", 26, 3},
    {12, "NO. AXLES", 29, 1},
    {13, "DIRECTION", 30, 1},
    {14, "LANE", 31, 1},
    {15, "TRNS LANE POS", 32, 3},
    {16, "WT AX 1", 35, 3},
    {17, "S AX 1 - AX 2", 38, 2},
    {18, "WT AX 2", 40, 3},
    {19, "S AX 2 - AX 3", 43, 2},
    {20, "WT AX 3", 45, 3},
    {21, "S AX 3 - AX 4", 48, 2},
    {22, "WT AX 4", 50, 3},
    {23, "S AX 4 - AX 5", 53, 2},
    {24, "WT AX 5", 55, 3},
    {25, "S AX 5 - AX 6", 58, 2},
    {26, "WT AX 6", 60, 3},
    {27, "S AX 6 - AX 7", 63, 2},
    {28, "WT AX 7", 65, 3},
    {29, "S AX 7 - AX 8", 68, 2},
    {30, "WT AX 8", 70, 3},
    {31, "S AX 8 - AX 9", 73, 2},
    {32, "WT AX 9", 75, 3},
}};

// Indices into TruckRecord::Data of the fields that other code reads by meaning.
inline constexpr int kDayField = 2;
inline constexpr int kMonthField = 3;
inline constexpr int kYearField = 4;
inline constexpr int kHourField = 5;
inline constexpr int kMinuteField = 6;
inline constexpr int kSecondField = 7;
inline constexpr int kHundredthsField = 8;
inline constexpr int kSpeedField = 9;
inline constexpr int kGvwField = 10;
inline constexpr int kLengthField = 11;
inline constexpr int kNoAxlesField = 12;
inline constexpr int kDirectionField = 13;
inline constexpr int kLaneField = 14;
inline constexpr int kMaxAxles = 9;

// The field with the given Data index (1..32).
constexpr const LineField& Field(int index) {
    return kFields[static_cast<std::size_t>(index - 1)];
}

// Data index of the weight of axle i (1..9).
constexpr int AxleWeightField(int axle) {
    return 2 * axle + 14;
}
// Data index of the spacing between axle k and axle k + 1 (k 1..8).
constexpr int AxleSpacingField(int axle) {
    return 2 * axle + 15;
}

// "SPEED (columns 19-21)": how a field names itself in messages.
std::string FieldLabel(const LineField& field);

}  // namespace axlewise

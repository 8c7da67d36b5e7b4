#pragma once

// Truck lines for the tests of tests/cli: the sample truck of TruckLines.h,
// cut to fewer axles and with fields changed, and lines that are not trucks.

#include "CliProcess.h"
#include "TruckLines.h"

#include <QByteArray>
#include <QDir>
#include <QList>

namespace axlewise::test {

// Field indices (1..32) used by the tests.
constexpr int kHour = 5, kMinute = 6, kSecond = 7, kSpeed = 9, kGvw = 10, kAxles = 12,
              kDirection = 13, kLane = 14, kS1 = 17, kS2 = 19, kW5 = 24;

// The sample five-axle truck (weights 56, 78, 76, 76, 76, GVW 362, spacings 36,
// 13, 58, 13, lane 2, direction 1, 14 March 08:35:12.47) cut down to its first
// `axles` axles (the weights and spacings past them 0), then changed: a field's
// index (1..32) and its new value in turn.
inline FieldValues Values(int head, const QList<int>& changes = {}, int axles = 5) {
    FieldValues values = SampleTruck(head);
    values[kAxles - 1] = axles;
    for (int index = kS1 + 2 * (axles - 1); index <= kW5; ++index) {
        values[static_cast<std::size_t>(index - 1)] = 0;
    }
    for (qsizetype i = 0; i + 1 < changes.size(); i += 2) {
        values[static_cast<std::size_t>(changes[i] - 1)] = changes[i + 1];
    }
    return values;
}

inline QByteArray Line(int head, const QList<int>& changes = {}, int axles = 5) {
    return QByteArray::fromStdString(TruckLine(Values(head, changes, axles)));
}

// The sample truck's line with the text of one field replaced: not a truck.
inline QByteArray Broken(int head, int index, const char* text) {
    return QByteArray::fromStdString(WithField(TruckLine(head), index, text));
}

// Writes the files the tests name into `dir`:
//   good.txt    two trucks
//   bad.txt     a truck, a line that is not one (SPEED "1x3"), a truck
//   headed.txt  a head line, then a truck
//   worked.txt  a head line and five trucks, worked through by hand:
//     line 2  truck 1  lane 2 dir 1  08:35:12.47  GVW 362  passes
//     line 3  truck 2  lane 2 dir 1  09:35:12.47  GVW 362  SPEED 0
//     line 4  "1x3" as SPEED: unreadable
//     line 5  blank
//     line 6  truck 3  the same fields as truck 2: SPEED and DUPLICATE
//     line 7  truck 4  lane 1 dir 2  10:35:12.47  two axles 56 + 78, GVW 134
//     line 8  truck 5  lane 2 dir 1  08:00:12.47  GVW 500: AXLE_SUM, and ORDER
//                      (earlier than truck 3, the last of its lane)
//   GVW sorted: 134 362 362 362 500; nearest rank of 5 trucks: p10 rank 1,
//   p50 rank 3, p90 rank 5.
inline void WriteSamples(const QDir& dir) {
    WriteFile(dir.filePath(QStringLiteral("good.txt")), Line(7001) + "\n" + Line(7002) + "\n");
    WriteFile(dir.filePath(QStringLiteral("bad.txt")),
              Line(7001) + "\n" + Broken(7002, kSpeed, "1x3") + "\n" + Line(7003) + "\n");
    WriteFile(dir.filePath(QStringLiteral("headed.txt")), "WIM site 12\n" + Line(7001) + "\n");
    const QByteArray truck2 = Line(7002, {kSpeed, 0, kHour, 9});
    const QByteArray truck4 = Line(7004, {kLane, 1, kDirection, 2, kHour, 10, kGvw, 134}, 2);
    WriteFile(dir.filePath(QStringLiteral("worked.txt")),
              "SITE 12 NORTH\n" + Line(7001) + "\n" + truck2 + "\n" + Broken(7003, kSpeed, "1x3") +
                  "\n\n" + truck2 + "\n" + truck4 + "\n" +
                  Line(7005, {kHour, 8, kMinute, 0, kGvw, 500}) + "\n");
}

}  // namespace axlewise::test

#pragma once

// Truck lines for the tests of tests/cli: the sample truck of TruckLines.h,
// cut to fewer axles and with fields changed, and lines that are not trucks.

#include "TruckLines.h"

#include <QByteArray>
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

}  // namespace axlewise::test

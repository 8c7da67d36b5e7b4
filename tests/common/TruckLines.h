#pragma once

#include "records/BrowserState.h"
#include "records/FieldTable.h"
#include "records/RuntimeError.h"
#include "records/modUDTs.h"

#include <array>
#include <cassert>
#include <string>
#include <string_view>

namespace axlewise::test {

// Parses the line and appends the truck; when ReadTruck raises, nothing is added.
inline void AddTruck(BrowserState& state, std::string_view line) {
    state.AddTruck(ReadTruck(line));
}

// The 32 field values of a line, in the order of kFields.
using FieldValues = std::array<int, kFieldCount>;

// A five-axle truck as a weigh-in-motion site records it. `head` goes into the
// HEAD field so that tests can tell trucks apart.
inline FieldValues SampleTruck(int head) {
    return {head, 14, 3,  24, 8,  35, 12, 47, 87, 362, 165, 5, 1, 2, 145, 56,
            36,   78, 13, 76, 58, 76, 13, 76, 0,  0,   0,   0, 0, 0, 0,   0};
}

// The 77-column line of the values, each right-aligned in its field.
inline std::string TruckLine(const FieldValues& values) {
    std::string line;
    for (const LineField& field : kFields) {
        const std::string text = std::to_string(values[static_cast<std::size_t>(field.index - 1)]);
        assert(text.size() <= static_cast<std::size_t>(field.width));
        line.append(static_cast<std::size_t>(field.width) - text.size(), ' ');
        line += text;
    }
    return line;
}

inline std::string TruckLine(int head) {
    return TruckLine(SampleTruck(head));
}

// The line with the field of the given index replaced by text (padded or cut to
// the field's width).
inline std::string WithField(std::string line, int index, std::string_view text) {
    const LineField& field = Field(index);
    std::string padded(text.substr(0, static_cast<std::size_t>(field.width)));
    padded.resize(static_cast<std::size_t>(field.width), ' ');
    line.replace(static_cast<std::size_t>(field.start - 1), padded.size(), padded);
    return line;
}

// The record with fields changed by caption, later changes winning, and its
// Time worked out again: "GVW=364, WT AX 1=897".
inline TruckRecord WithChanges(TruckRecord record, std::string_view changes) {
    while (!changes.empty()) {
        const std::size_t comma = changes.find(", ");
        const std::string_view change = changes.substr(0, comma);
        changes = comma == std::string_view::npos ? std::string_view() : changes.substr(comma + 2);
        if (change.empty()) {
            continue;
        }
        const std::size_t equals = change.rfind('=');
        const std::string_view caption = change.substr(0, equals);
        const LineField* field = nullptr;
        for (const LineField& candidate : kFields) {
            if (candidate.caption == caption) {
                field = &candidate;
            }
        }
        assert(field != nullptr && equals != std::string_view::npos);
        record.Data[static_cast<std::size_t>(field->index)] =
            static_cast<std::int16_t>(std::stoi(std::string(change.substr(equals + 1))));
    }
    record.Time = TruckTime(record);
    return record;
}

// The number of the RuntimeError that call() raises (its reason into *reason),
// 0 when it raises none.
template <typename Call>
int Raised(Call call, std::string* reason = nullptr) {
    try {
        call();
    } catch (const RuntimeError& e) {
        if (reason != nullptr) {
            *reason = e.what();
        }
        return e.code();
    }
    return 0;
}

}  // namespace axlewise::test

#pragma once

#include "records/FieldTable.h"

namespace axlewise {

// The largest value a field's columns can hold, 10^width - 1: 99 for a spacing,
// 999 for a weight, 9999 for GVW.
constexpr int LargestValue(int index) {
    int largest = 1;
    for (int k = 0; k < Field(index).width; ++k) {
        largest *= 10;
    }
    return largest - 1;
}

}  // namespace axlewise

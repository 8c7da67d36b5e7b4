#include "display/DrawingSurface.h"

namespace axlewise {

std::string DrawingSurface::PrintIntegerText(int value) {
    // A non-negative number takes a blank where the sign would stand, so that
    // labels of mixed signs start their digits in the same column.
    std::string text = value < 0 ? std::string() : std::string(" ");
    text += std::to_string(value);
    text += ' ';
    return text;
}

}  // namespace axlewise

#pragma once

#include <functional>

namespace axlewise {

// Asked now and then during a long read with the share done so far (0 to 1);
// returning false cancels the read.
using LoadProgress = std::function<bool(double done)>;

}  // namespace axlewise

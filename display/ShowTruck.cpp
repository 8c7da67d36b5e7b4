#include "display/ShowTruck.h"

namespace axlewise {}  // namespace axlewise

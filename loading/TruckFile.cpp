#include "loading/TruckFile.h"

namespace axlewise {}  // namespace axlewise

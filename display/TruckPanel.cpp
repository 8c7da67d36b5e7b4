#include "display/TruckPanel.h"

namespace axlewise {}  // namespace axlewise

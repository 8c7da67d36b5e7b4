#include "display/DrawingSurface.h"

namespace axlewise {}  // namespace axlewise

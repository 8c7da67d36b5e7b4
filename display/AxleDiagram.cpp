#include "display/AxleDiagram.h"

namespace axlewise {}  // namespace axlewise

#include "display/Navigation.h"

namespace axlewise {}  // namespace axlewise

#include "loading/LineSplitter.h"

namespace axlewise {}  // namespace axlewise

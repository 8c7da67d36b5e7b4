#include "loading/PastedText.h"

namespace axlewise {}  // namespace axlewise

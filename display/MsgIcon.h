#pragma once

namespace axlewise {

// The icon of a message box.
enum class MsgIcon { None, Critical, Information };

}  // namespace axlewise

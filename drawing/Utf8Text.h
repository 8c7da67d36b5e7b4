#pragma once

#include <QString>

#include <string_view>

namespace axlewise {

// Text of the Qt-free layers (UTF-8) as a QString.
inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace axlewise

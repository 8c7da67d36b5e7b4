#include "RecordingSurface.h"

#include <algorithm>

namespace axlewise {

void RecordingSurface::Cls() {
    ++clears;
    circles = prints = QStringList();
    currentX = currentY = 0.0F;
}

void RecordingSurface::Circle(float x, float y, float radius) {
    const char* drawMode = mode == DrawMode::Invert ? "invert" : "copy-pen";
    circles << QString("r%1@(%2,%3) %4").arg(radius).arg(x).arg(y).arg(drawMode);
    currentX = x;
    currentY = y;
}

void RecordingSurface::Print(std::string_view text) {
    const QString where = QString("@(%1,%2)").arg(currentX).arg(currentY);
    prints << QString::fromUtf8(text.data(), qsizetype(text.size())) + where;
    currentX = scale[0];
    currentY += kLineHeight;
}

float RecordingSurface::TextWidth(std::string_view text) const {
    // Continuation bytes (10xxxxxx) belong to the character before them.
    const auto characters = std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U;
    });
    return kCharWidth * static_cast<float>(characters);
}

}  // namespace axlewise

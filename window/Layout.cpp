#include "window/Layout.h"

#include <cassert>

namespace axlewise {

QRect PixelRect(const ControlSpec& control) {
    return QRect(TwipsToPixels(control.left), TwipsToPixels(control.top),
                 TwipsToPixels(control.width), TwipsToPixels(control.height));
}

const ControlSpec& Control(std::string_view name) {
    for (const ControlSpec& control : kControls) {
        if (control.name == name) {
            return control;
        }
    }
    assert(false && "unknown control");
    return kControls.front();
}

QSize ClientSize() {
    return QSize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips));
}

QStringList WindowFontFamilies() {
    return {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans Narrow"),
            QStringLiteral("Liberation Sans")};
}

QFont WindowFont(qreal points, bool bold) {
    QFont font;
    font.setFamilies(WindowFontFamilies());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

}  // namespace axlewise

#include "drawing/Layout.h"

#include "drawing/QImageSurface.h"

#include <stdexcept>
#include <string>

namespace axlewise {

QRect PixelRect(const ControlPlace& control) {
    return QRect(TwipsToPixels(control.left), TwipsToPixels(control.top),
                 TwipsToPixels(control.width), TwipsToPixels(control.height));
}

const ControlPlace& Control(std::string_view name) {
    for (const ControlPlace& control : kControls) {
        if (control.name == name) {
            return control;
        }
    }
    throw std::logic_error("no control named " + std::string(name) + " in the layout");
}

QSize ClientSize() {
    return QSize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips));
}

QSize PictureArea() {
    return PixelRect(Control("picTruck")).size() - QSize(2 * kPictureBorder, 2 * kPictureBorder);
}

std::unique_ptr<QImageSurface> PictureSurface(qreal devicePixelRatio) {
    return std::make_unique<QImageSurface>(PictureArea(), devicePixelRatio,
                                           WindowFont(kWindowPoints), Qt::white, Qt::black);
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

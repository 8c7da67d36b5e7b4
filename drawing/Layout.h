#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <array>
#include <memory>
#include <string_view>

namespace axlewise {

class QImageSurface;

// Geometry of the window's controls, in twips (1/1440 inch) from the top-left
// corner of the client area. At 96 dots per inch a pixel is 15 twips; the
// window places every control from this one table.
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 10230;
inline constexpr int kClientHeightTwips = 6975;

enum class ControlKind { TextBox, Label, CommandButton, PictureBox };

struct ControlPlace {
    std::string_view name;  // also the widget's objectName
    ControlKind kind;
    int left;
    int top;
    int width;
    int height;
};

// The controls in tab order (labels take no focus but keep their place).
inline constexpr std::array<ControlPlace, 15> kControls = {{
    {"txtHeads", ControlKind::TextBox, 6960, 0, 1815, 6735},
    {"lblNoTrucks", ControlKind::Label, 240, 240, 2535, 255},
    {"btnPrev", ControlKind::CommandButton, 1200, 1800, 855, 375},
    {"btnStart", ControlKind::CommandButton, 240, 1800, 855, 375},
    {"btnEnd", ControlKind::CommandButton, 3120, 1800, 855, 375},
    {"btnNext", ControlKind::CommandButton, 2160, 1800, 855, 375},
    {"Command1", ControlKind::CommandButton, 3120, 1200, 855, 375},
    {"Label1", ControlKind::Label, 240, 720, 3015, 255},
    {"txtIgline", ControlKind::TextBox, 3360, 720, 615, 285},
    {"txtTruck", ControlKind::TextBox, 8760, 0, 1215, 6735},
    {"Label3", ControlKind::Label, 240, 2520, 3015, 255},
    {"Editor", ControlKind::TextBox, 240, 3000, 6495, 1695},
    {"picTruck", ControlKind::PictureBox, 240, 4800, 6495, 1935},
    {"btnReadTxt", ControlKind::CommandButton, 240, 1200, 1815, 375},
    // The checks of the truck on show, in the free strip under the picture.
    {"lblChecks", ControlKind::Label, 240, 6765, 9735, 195},
}};

constexpr int TwipsToPixels(int twips) {
    return twips / kTwipsPerPixel;
}

// The control's rectangle in device-independent pixels.
QRect PixelRect(const ControlPlace& control);
// The place of the control with the given name; std::logic_error when the
// layout has no such control.
const ControlPlace& Control(std::string_view name);
// The client area below the menu bar, in pixels (682 x 465).
QSize ClientSize();

// The sunken border of picTruck, in pixels on each side, and the drawing area
// inside it (431 x 127), where the axle diagram is drawn.
inline constexpr int kPictureBorder = 1;
QSize PictureArea();
// The drawing surface of picTruck as a fresh picture box has it: the drawing
// area at the given pixel ratio, the window's font, black on white (the
// classic colours of a picture box), copy-pen mode. The window's picture and
// the pictures of axlewise-cli are drawn on it alike.
std::unique_ptr<QImageSurface> PictureSurface(qreal devicePixelRatio);

// Font sizes of the window: its own font, the two columns of the truck panel,
// and the count label.
inline constexpr qreal kWindowPoints = 8.25;
inline constexpr qreal kCountLabelPoints = 9.75;

// The window's font family list: "MS Sans Serif" first, then a narrow sans
// font that the set-up installs, in which every caption fits its control.
QStringList WindowFontFamilies();
QFont WindowFont(qreal points, bool bold = false);

}  // namespace axlewise

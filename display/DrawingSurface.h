#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace axlewise {

// How a Circle combines with what is already on the surface.
enum class DrawMode : int {
    Invert = 6,    // every covered pixel takes the inverse of its colour
    CopyPen = 13,  // covered pixels take the drawing (outline) and fill colours
};

enum class FillStyle : int { Solid = 0, Transparent = 1 };

// A picture box to draw the axle diagram on: a user coordinate system set by
// Scale, circles, and lines of text printed from a current position. The diagram
// is written against this interface only, so it can be drawn on a Qt image or
// recorded by a test double.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    // Clears the surface to its background colour; CurrentX and CurrentY become 0.
    virtual void Cls() = 0;
    // Sets the user coordinates: (x1, y1) is the top-left corner of the drawing
    // area, (x2, y2) the bottom-right one.
    virtual void Scale(float x1, float y1, float x2, float y2) = 0;
    // The user y-coordinate of the top edge (y1 of the last Scale).
    virtual float ScaleTop() const = 0;

    virtual void setFillStyle(FillStyle style) = 0;
    // 0xRRGGBB
    virtual void setFillColor(std::uint32_t rgb) = 0;
    virtual void setDrawMode(DrawMode mode) = 0;

    // A full circle around (x, y) whose radius is measured along x and drawn as a
    // true circle on the screen, outlined and filled as the fill settings and the
    // draw mode say. Afterwards CurrentX and CurrentY are the centre.
    virtual void Circle(float x, float y, float radius) = 0;

    // The point where the next text starts: the top-left corner of its first character.
    virtual void setCurrentX(float x) = 0;
    virtual void setCurrentY(float y) = 0;

    // Writes the text from (CurrentX, CurrentY) in the surface's font and text
    // colour, then ends the line: CurrentY grows by one line of text and CurrentX
    // goes back to the left edge of the user scale. Not affected by the draw mode.
    virtual void Print(std::string_view text) = 0;

    // The advance width of the text (UTF-8) in the surface's font, in user units
    // along x under the current scale, blanks included: Print at x covers
    // [x, x + TextWidth]. Negative when the scale's x axis runs right to left.
    virtual float TextWidth(std::string_view text) const = 0;
    // The height of one line of text in user units along y under the current
    // scale: how far Print moves CurrentY. Negative when the y axis runs upwards.
    virtual float TextHeight() const = 0;

    // Prints an integer item: a blank before it (a minus sign instead when
    // negative) and a blank after it, e.g. " 60 " or "-5 ".
    void PrintInteger(int value) { Print(PrintIntegerText(value)); }

    static std::string PrintIntegerText(int value);
};

}  // namespace axlewise

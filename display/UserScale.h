#pragma once

namespace axlewise {

// A user coordinate system laid over a drawing area of width x height pixels:
// (left, top) is the user point at the area's top-left corner and (right,
// bottom) the one at its bottom-right corner. Either axis may run backwards
// (right < left, bottom < top). The pixel grid is whatever the caller gives:
// logical pixels, or device pixels at a pixel ratio.
struct UserScale {
    float left = 0;
    float top = 0;
    float right = 1;
    float bottom = 1;
    double width = 1;
    double height = 1;

    // Pixels from the area's left and top edges of a user point.
    double pixelX(double x) const { return (x - left) * width / (right - left); }
    double pixelY(double y) const { return (y - top) * height / (bottom - top); }
    // A length along x in pixels (never negative), as circle radii are measured.
    double pixelsAlongX(double length) const {
        const double pixels = length * width / (right - left);
        return pixels < 0 ? -pixels : pixels;
    }
    // User units along x and y (with their sign) of a distance in pixels.
    double userWidth(double pixels) const { return pixels * (right - left) / width; }
    double userHeight(double pixels) const { return pixels * (bottom - top) / height; }
};

}  // namespace axlewise

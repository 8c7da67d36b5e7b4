#pragma once

#include <QIcon>
#include <QImage>

namespace axlewise {

// The program's icon: a small side view of a truck, drawn on a 32 x 32 grid
// and scaled to size x size pixels. The window icon and the icons installed
// for the desktop come from this one drawing.
QImage TruckIconImage(int size);

// The window icon, drawn at a few sizes.
QIcon TruckIcon();

}  // namespace axlewise

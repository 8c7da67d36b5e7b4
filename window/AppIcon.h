#pragma once

#include <QIcon>

namespace axlewise {

// The window icon: a small side view of a truck, drawn at a few sizes.
QIcon TruckIcon();

}  // namespace axlewise

#pragma once

#include <QString>

#include "display/ShowTruck.h"

class QWidget;

namespace axlewise {

inline constexpr const char* kAppTitle = "Axlewise";

// Shows the program's modal message boxes: a text, an OK button, an optional
// icon and the caption "Axlewise". Replaceable, so tests never block on a box.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void MsgBox(QWidget* parent, const QString& text, MsgIcon icon);
};

}  // namespace axlewise

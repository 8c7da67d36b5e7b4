#pragma once

#include "display/MsgIcon.h"

#include <QString>

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

// Writes each message to standard error instead of showing it: for offscreen
// runs (benchmarks, screenshots) where nobody could press OK.
class PrintedMessageBoxes : public MessageBoxes {
public:
    void MsgBox(QWidget* parent, const QString& text, MsgIcon icon) override;
};

}  // namespace axlewise

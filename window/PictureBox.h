#pragma once

#include "drawing/QImageSurface.h"

#include <QFrame>

#include <memory>

namespace axlewise {

// The picture box of the axle diagram: a sunken frame whose inside is a
// QImageSurface. The widget keeps the drawn image and repaints from it, so
// covering and uncovering the window does not erase the diagram.
class PictureBox : public QFrame {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    QImageSurface& surface() { return *surface_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<QImageSurface> surface_;
};

}  // namespace axlewise

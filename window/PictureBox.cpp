#include "window/PictureBox.h"

#include <QPainter>

namespace axlewise {

PictureBox::PictureBox(QSize size, const QFont& font, QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFixedSize(size);
    setFont(font);
    // A picture box takes its turn in the keyboard order like the other controls.
    setFocusPolicy(Qt::StrongFocus);
    const int frame = frameWidth();
    const QSize inside = size - QSize(2 * frame, 2 * frame);
    // Black on white: the classic drawing and background colours of a picture box.
    surface_ =
        std::make_unique<QImageSurface>(inside, devicePixelRatioF(), font, Qt::white, Qt::black);
    surface_->onChanged = [this] { update(); };
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    // On a screen of another scale the picture is drawn again in its pixels.
    surface_->setDevicePixelRatio(devicePixelRatioF());
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), surface_->image());
}

}  // namespace axlewise

#include "window/PictureBox.h"

#include "drawing/Layout.h"

#include <QPainter>
#include <QStyleOptionFrame>

namespace axlewise {

PictureBox::PictureBox(QWidget* parent)
    : QFrame(parent), surface_(PictureSurface(devicePixelRatioF())) {
    // The border is the text boxes' own sunken frame, drawn in paintEvent around
    // a fixed margin, so the drawing area has the same size under every style.
    setFrameStyle(QFrame::NoFrame);
    setContentsMargins(kPictureBorder, kPictureBorder, kPictureBorder, kPictureBorder);
    setFixedSize(PictureArea() + QSize(2 * kPictureBorder, 2 * kPictureBorder));
    // A picture box takes its turn in the keyboard order like the other controls.
    setFocusPolicy(Qt::StrongFocus);
    surface_->onChanged = [this] { update(); };
}

void PictureBox::paintEvent(QPaintEvent*) {
    // On a screen of another scale the picture is drawn again in its pixels.
    surface_->setDevicePixelRatio(devicePixelRatioF());
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), surface_->image());
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = rect();
    frame.state |= QStyle::State_Sunken;
    frame.lineWidth = kPictureBorder;
    frame.midLineWidth = 0;
    frame.frameShape = QFrame::StyledPanel;
    style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
}

}  // namespace axlewise

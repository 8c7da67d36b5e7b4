#pragma once
#include <QFrame>
namespace axlewise {
class PictureBox : public QFrame {
    Q_OBJECT
};
}  // namespace axlewise

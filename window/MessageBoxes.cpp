#include "window/MessageBoxes.h"

#include <QMessageBox>

namespace axlewise {

void MessageBoxes::MsgBox(QWidget* parent, const QString& text, MsgIcon icon) {
    QMessageBox box(icon == MsgIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QString::fromUtf8(kAppTitle), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace axlewise

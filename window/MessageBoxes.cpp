#include "window/MessageBoxes.h"

#include <QMessageBox>

#include <cstdio>

namespace axlewise {

void MessageBoxes::MsgBox(QWidget* parent, const QString& text, MsgIcon icon) {
    QMessageBox box(icon == MsgIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QString::fromUtf8(kAppTitle), text, QMessageBox::Ok, parent);
    box.exec();
}

void PrintedMessageBoxes::MsgBox(QWidget*, const QString& text, MsgIcon icon) {
    std::fprintf(stderr, "%s%s\n",
                 icon == MsgIcon::Critical ? "error: " : "message: ", qPrintable(text));
}

}  // namespace axlewise

#include "window/MessageBoxes.h"

#include <QMessageBox>

#include <cstdio>

namespace axlewise {

void MessageBoxes::MsgBox(QWidget* parent, const QString& text, MsgIcon icon) {
    QMessageBox::Icon shown = QMessageBox::NoIcon;
    if (icon == MsgIcon::Critical) {
        shown = QMessageBox::Critical;
    } else if (icon == MsgIcon::Information) {
        shown = QMessageBox::Information;
    }
    QMessageBox box(shown, QString::fromUtf8(kAppTitle), text, QMessageBox::Ok, parent);
    box.exec();
}

void PrintedMessageBoxes::MsgBox(QWidget*, const QString& text, MsgIcon icon) {
    std::fprintf(stderr, "%s%s\n",
                 icon == MsgIcon::Critical ? "error: " : "message: ", qPrintable(text));
}

}  // namespace axlewise

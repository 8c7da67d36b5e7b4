#include "window/CommonDialog.h"

#include "records/RuntimeError.h"

#include <QFileDialog>
#include <QFileInfo>

namespace axlewise {

QStringList CommonDialog::NameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        filters << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1]);
    }
    return filters;
}

void CommonDialog::ShowOpen() {
    Request request;
    request.parent = parent_;
    request.flags = Flags;
    request.defaultExt = DefaultExt;
    request.nameFilters = NameFilters(Filter);
    request.fileName = FileName;
    const std::optional<QString> chosen = runner_ ? runner_(request) : RunFileDialog(request);
    if (chosen) {
        FileName = *chosen;
        return;
    }
    if (CancelError) {
        throw RuntimeError(ErrorNumber::Cancelled, "the open dialog was cancelled");
    }
}

std::optional<QString> CommonDialog::RunFileDialog(const Request& request) {
    QFileDialog dialog(request.parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((request.flags & kFileMustExist) != 0 ? QFileDialog::ExistingFile
                                                             : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultExt);
    dialog.setNameFilters(request.nameFilters);
    if (!request.fileName.isEmpty()) {
        const QFileInfo last(request.fileName);
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace axlewise

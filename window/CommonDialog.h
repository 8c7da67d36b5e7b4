#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

namespace axlewise {

// The file-open dialog, with the settings a caller makes before ShowOpen and the
// chosen path read back from FileName afterwards.
class CommonDialog {
public:
    // Flags: only files that exist can be chosen.
    static constexpr int kFileMustExist = 4096;

    // What the dialog is asked to show; a runner returns the chosen path, or
    // nothing when the user cancels.
    struct Request {
        QWidget* parent = nullptr;
        int flags = 0;
        QString defaultExt;
        QStringList nameFilters;  // "Text files (*.txt)", ...
        QString fileName;         // the file chosen last time, if any
    };
    using Runner = std::function<std::optional<QString>(const Request&)>;

    explicit CommonDialog(QWidget* parent = nullptr) : parent_(parent) {}

    bool CancelError = false;
    int Flags = 0;
    QString DefaultExt;
    // Pairs of description and pattern separated by '|': "Text files|*.txt|All files|*.*".
    QString Filter;
    // The chosen path; kept between calls, so the dialog opens on the last choice.
    QString FileName;

    // Shows the dialog. On OK sets FileName. On cancel raises RuntimeError 32755
    // (cancelled) when CancelError is set, else leaves FileName as it was.
    void ShowOpen();

    // Replaces the real dialog (tests answer with a path or a cancel).
    void setRunner(Runner runner) { runner_ = std::move(runner); }

    // "Text files|*.txt|All files|*.*" -> {"Text files (*.txt)", "All files (*.*)"}
    static QStringList NameFilters(const QString& filter);

private:
    static std::optional<QString> RunFileDialog(const Request& request);

    QWidget* parent_;
    Runner runner_;
};

}  // namespace axlewise

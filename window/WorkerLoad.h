#pragma once

#include "loading/LoadProgress.h"
#include "loading/TruckFile.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class QProgressDialog;
class QWidget;

namespace axlewise {

// Runs the work of a load on a worker thread while the window waits for it.
// The work touches nothing of the window: it reads into a LoadResult that the
// caller commits once run() returns. While it runs:
// - the window stays painted (the window's thread runs its event loop);
// - mouse and key input meant for any window of the program, and every
//   shortcut, is swallowed, so clicks and keys made meanwhile never act
//   afterwards;
// - after dialogAfterMs a progress dialog shows the name of what is read, the
//   share done and Cancel, which stops the work at its next progress step;
// - closing the window cancels the work; the window closes once it stopped.
class WorkerLoad : public QObject {
    Q_OBJECT

public:
    using Work = std::function<LoadResult(const LoadProgress& progress)>;

    // what: the text of the progress dialog, e.g. "Reading trucks.txt".
    WorkerLoad(QWidget* window, const QString& what, int dialogAfterMs = kDialogAfterMs);
    ~WorkerLoad() override;
    WorkerLoad(const WorkerLoad&) = delete;
    WorkerLoad& operator=(const WorkerLoad&) = delete;

    // Called on the worker thread at every progress step, before the step goes
    // on (tests hold the work there).
    void setProbe(std::function<void(double done)> probe) { probe_ = std::move(probe); }

    // Runs work on a worker thread and waits for it. Returns its result, or
    // nothing when it was cancelled; an exception it raised is raised here.
    std::optional<LoadResult> run(Work work);

    // Milliseconds of work after which the progress dialog shows.
    static constexpr int kDialogAfterMs = 500;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showDialog();

    QWidget* window_;
    QString what_;
    int dialogAfterMs_;
    QPointer<QProgressDialog> dialog_;
    std::function<void()> cancel_;
    std::function<void(double)> probe_;
    bool closeRequested_ = false;
};

}  // namespace axlewise

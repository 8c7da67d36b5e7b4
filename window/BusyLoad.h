#pragma once

#include "loading/TruckFile.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

namespace axlewise {

// The window's side of a load that runs on the window's own thread. While it
// lives:
// - the window was repainted first, so a dialog closed just before is gone;
// - mouse and key input meant for the window, and every shortcut, is
//   swallowed, so clicks and keys made while the load is busy never act on the
//   window afterwards (a close request cancels the load and closes the window
//   once it is over);
// - a load that takes longer than about half a second shows a modal progress
//   dialog with the name of what is read, the share done and Cancel. The
//   platform gets control only from the progress callbacks.
class BusyLoad : public QObject {
    Q_OBJECT

public:
    // what: the text of the progress dialog, e.g. "Reading trucks.txt".
    // dialogAfterMs: the work after which the progress dialog shows.
    BusyLoad(QWidget* window, const QString& what, int dialogAfterMs = kDialogAfterMs);
    ~BusyLoad() override;
    BusyLoad(const BusyLoad&) = delete;
    BusyLoad& operator=(const BusyLoad&) = delete;

    // A progress callback for one step of the load, which covers the share
    // from..to of the whole; it returns false once the user has cancelled.
    LoadProgress step(double from, double to);

    bool cancelled() const { return cancelled_; }

    // Milliseconds of work after which the progress dialog shows.
    static constexpr int kDialogAfterMs = 500;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool report(double done);
    void handOver();

    QWidget* window_;
    QString what_;
    int dialogAfterMs_;
    QElapsedTimer clock_;
    qint64 lastHandOver_ = 0;
    QPointer<QProgressDialog> dialog_;
    bool cancelled_ = false;
    bool closeRequested_ = false;
};

}  // namespace axlewise

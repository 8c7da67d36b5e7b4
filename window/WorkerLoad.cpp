#include "window/WorkerLoad.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QPromise>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QtConcurrent/QtConcurrentRun>

#include <exception>
#include <utility>

namespace axlewise {

namespace {

constexpr int kSteps = 1000;

// What the worker hands back: the load, or the exception it raised.
struct Outcome {
    std::optional<LoadResult> result;
    std::exception_ptr error;
};

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}

}  // namespace

WorkerLoad::WorkerLoad(QWidget* window, const QString& what, int dialogAfterMs)
    : window_(window), what_(what), dialogAfterMs_(dialogAfterMs) {
    qApp->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WorkerLoad::~WorkerLoad() {
    // Input that came in during the last stretch of work is swallowed too.
    QCoreApplication::processEvents();
    qApp->removeEventFilter(this);
    delete dialog_;
    QApplication::restoreOverrideCursor();
    if (closeRequested_) {
        QMetaObject::invokeMethod(window_, &QWidget::close, Qt::QueuedConnection);
    }
}

std::optional<LoadResult> WorkerLoad::run(Work work) {
    QFuture<Outcome> future =
        QtConcurrent::run([work = std::move(work), probe = probe_](QPromise<Outcome>& promise) {
            promise.setProgressRange(0, kSteps);
            Outcome outcome;
            try {
                outcome.result = work([&promise, &probe](double done) {
                    if (probe) {
                        probe(done);
                    }
                    promise.setProgressValue(static_cast<int>(done * kSteps));
                    return !promise.isCanceled();
                });
            } catch (...) {
                outcome.error = std::current_exception();
            }
            promise.addResult(std::move(outcome));
        });

    // The window's thread waits in an event loop of its own, as it would under
    // a modal dialog: it paints, runs timers and swallows input, and the work
    // never hands control back to it.
    QEventLoop waiting;
    QFutureWatcher<Outcome> watcher;
    connect(&watcher, &QFutureWatcherBase::finished, &waiting, &QEventLoop::quit);
    connect(&watcher, &QFutureWatcherBase::progressValueChanged, this, [this](int value) {
        if (dialog_ != nullptr) {
            dialog_->setValue(value);
        }
    });
    QTimer dialogTimer;
    dialogTimer.setSingleShot(true);
    connect(&dialogTimer, &QTimer::timeout, this, &WorkerLoad::showDialog);
    cancel_ = [&future] { future.cancel(); };
    watcher.setFuture(future);
    dialogTimer.start(dialogAfterMs_);
    if (closeRequested_) {
        future.cancel();
    }
    waiting.exec();
    cancel_ = nullptr;
    future.waitForFinished();

    if (future.isCanceled() || future.resultCount() == 0) {
        return std::nullopt;
    }
    Outcome outcome = future.takeResult();
    if (outcome.error) {
        std::rethrow_exception(outcome.error);
    }
    if (!outcome.result || outcome.result->cancelled) {
        return std::nullopt;
    }
    return std::move(outcome.result);
}

void WorkerLoad::showDialog() {
    if (dialog_ != nullptr || !cancel_) {
        return;
    }
    // Not modal: a modal dialog would keep the window's close button from
    // reaching it. The window's input is swallowed anyway.
    dialog_ = new QProgressDialog(what_, QStringLiteral("Cancel"), 0, kSteps, window_);
    dialog_->setWindowTitle(QStringLiteral("Axlewise"));
    dialog_->setWindowModality(Qt::NonModal);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    connect(dialog_, &QProgressDialog::canceled, this, [this] {
        if (cancel_) {
            cancel_();
        }
    });
    dialog_->show();
    // Cancel is a button to press: the pointer shows work going on, not a wait.
    QApplication::changeOverrideCursor(Qt::BusyCursor);
}

bool WorkerLoad::eventFilter(QObject* watched, QEvent* event) {
    const auto* widget = qobject_cast<QWidget*>(watched);
    const bool ofDialog = dialog_ != nullptr && widget != nullptr &&
                          (widget == dialog_ || dialog_->isAncestorOf(widget));
    if (event->type() == QEvent::Close && watched == window_) {
        // Closing ends the load first; the window closes once it is over.
        closeRequested_ = true;
        if (cancel_) {
            cancel_();
        }
        event->ignore();
        return true;
    }
    if (ofDialog) {
        return false;
    }
    // Input for any window of the program, and shortcuts, which reach actions
    // rather than widgets: none may start another command while this one works.
    return IsInput(event->type()) &&
           (widget != nullptr || watched->isWindowType() || event->type() == QEvent::Shortcut ||
            event->type() == QEvent::ShortcutOverride);
}

}  // namespace axlewise

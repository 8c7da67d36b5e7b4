#include "window/BusyLoad.h"

#include <QApplication>
#include <QCloseEvent>
#include <QProgressDialog>
#include <QWidget>
#include <QWindow>

namespace axlewise {

namespace {

// How often the platform gets control while a load is busy: often enough to
// repaint and to swallow input, rarely enough to cost nothing.
constexpr qint64 kHandOverMs = 30;
constexpr int kSteps = 1000;

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

BusyLoad::BusyLoad(QWidget* window, const QString& what, int dialogAfterMs)
    : window_(window), what_(what), dialogAfterMs_(dialogAfterMs) {
    qApp->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Whatever a closed dialog covered is painted again before the work starts.
    QCoreApplication::processEvents();
    window_->repaint();
    clock_.start();
}

BusyLoad::~BusyLoad() {
    // Input that came in during the last stretch of work is swallowed too.
    QCoreApplication::processEvents();
    qApp->removeEventFilter(this);
    delete dialog_;
    QApplication::restoreOverrideCursor();
    if (closeRequested_) {
        QMetaObject::invokeMethod(window_, &QWidget::close, Qt::QueuedConnection);
    }
}

LoadProgress BusyLoad::step(double from, double to) {
    return [this, from, to](double done) { return report(from + (to - from) * done); };
}

bool BusyLoad::report(double done) {
    if (cancelled_) {
        return false;
    }
    const qint64 elapsed = clock_.elapsed();
    if (dialog_ == nullptr && elapsed >= dialogAfterMs_) {
        dialog_ = new QProgressDialog(what_, QStringLiteral("Cancel"), 0, kSteps, window_);
        dialog_->setWindowTitle(QStringLiteral("Axlewise"));
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->show();
        // Cancel is a button to press: the pointer shows work going on, not a wait.
        QApplication::changeOverrideCursor(Qt::BusyCursor);
        handOver();
    }
    if (dialog_ != nullptr) {
        dialog_->setValue(static_cast<int>(done * kSteps));
    }
    if (elapsed - lastHandOver_ >= kHandOverMs) {
        handOver();
    }
    if (dialog_ != nullptr && dialog_->wasCanceled()) {
        cancelled_ = true;
    }
    return !cancelled_;
}

void BusyLoad::handOver() {
    lastHandOver_ = clock_.elapsed();
    QCoreApplication::processEvents();
}

bool BusyLoad::eventFilter(QObject* watched, QEvent* event) {
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::Shortcut || event->type() == QEvent::ShortcutOverride) {
        // Shortcuts reach actions, which are no widgets of the window: none may
        // start another command while this one works. The progress dialog
        // keeps its keys.
        return dialog_ == nullptr || widget == nullptr ||
               (widget != dialog_ && !dialog_->isAncestorOf(widget));
    }
    const bool ofWindow = (widget != nullptr && widget->window() == window_) ||
                          (watched->isWindowType() && watched == window_->windowHandle());
    if (!ofWindow) {
        return false;
    }
    if (event->type() == QEvent::Close && watched == window_) {
        // Closing ends the load first; the window closes once it is over.
        closeRequested_ = true;
        cancelled_ = true;
        event->ignore();
        return true;
    }
    return IsInput(event->type());
}

}  // namespace axlewise

// The Go menu of the main window: a truck by its number, by its time of
// passage, or the next or previous one that fails a check.

#include "display/GoTo.h"
#include "drawing/Utf8Text.h"
#include "window/frmMain.h"

#include <QAction>
#include <QActionGroup>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>
#include <climits>

namespace axlewise {

namespace {

// The object name of a check's item: "Failing_AXLE_SUM".
QString FailingItemName(CheckCode code) {
    return QStringLiteral("Failing_") + QString::fromLatin1(CheckName(code));
}

}  // namespace

void frmMain::BuildGoMenu() {
    GoMenu = menuBar()->addMenu(QStringLiteral("Go"));
    GoMenu->setObjectName(QStringLiteral("GoMenu"));
    const auto item = [this](const QString& text, const QString& name, const QKeySequence& key,
                             const char* command, void (frmMain::*procedure)()) {
        QAction* action = GoMenu->addAction(text);
        action->setObjectName(name);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this,
                [this, command, procedure] { RunCommand(command, procedure); });
        return action;
    };
    GoToTruck = item(QStringLiteral("Go to Truck..."), QStringLiteral("GoToTruck"),
                     QKeySequence(Qt::CTRL | Qt::Key_G), "Go to Truck", &frmMain::GoToTruck_Click);
    GoToTime = item(QStringLiteral("Go to Time..."), QStringLiteral("GoToTime"),
                    QKeySequence(Qt::CTRL | Qt::Key_T), "Go to Time", &frmMain::GoToTime_Click);
    GoMenu->addSeparator();
    NextFailing = item(QStringLiteral("Next Failing Truck"), QStringLiteral("NextFailing"),
                       QKeySequence(Qt::Key_F8), "Next Failing Truck", &frmMain::NextFailing_Click);
    PreviousFailing = item(QStringLiteral("Previous Failing Truck"),
                           QStringLiteral("PreviousFailing"), QKeySequence(Qt::SHIFT | Qt::Key_F8),
                           "Previous Failing Truck", &frmMain::PreviousFailing_Click);

    FailingCheckMenu = GoMenu->addMenu(QStringLiteral("Failing Check"));
    FailingCheckMenu->setObjectName(QStringLiteral("FailingCheckMenu"));
    FailingChecks = new QActionGroup(this);
    FailingChecks->setExclusive(true);
    QAction* any = FailingCheckMenu->addAction(QStringLiteral("Any Check"));
    any->setObjectName(QStringLiteral("FailingAny"));
    any->setData(static_cast<int>(kEveryCheck));
    FailingCheckMenu->addSeparator();
    FailingChecks->addAction(any);
    for (const CheckCode code : kAllChecks) {
        QAction* check = FailingCheckMenu->addAction(QString::fromLatin1(CheckName(code)));
        check->setObjectName(FailingItemName(code));
        check->setData(static_cast<int>(MaskOf(code)));
        FailingChecks->addAction(check);
    }
    for (QAction* choice : FailingChecks->actions()) {
        choice->setCheckable(true);
    }
    any->setChecked(true);
    UpdateGoActions();
}

void frmMain::UpdateGoActions() {
    const bool held = state_.NoTrucks > 0;
    for (QAction* action : {GoToTruck, GoToTime, NextFailing, PreviousFailing}) {
        action->setEnabled(held);
    }
}

CheckMask frmMain::WantedChecks() const {
    const QAction* chosen = FailingChecks->checkedAction();
    return chosen != nullptr ? static_cast<CheckMask>(chosen->data().toInt()) : kEveryCheck;
}

void frmMain::ShowTruckAt(TruckIndex n) {
    state_.CurrentTruck = n;
    ShowTruck();
}

void frmMain::GoToTruck_Click() {
    if (state_.NoTrucks < 1) {
        return;
    }
    bool ok = false;
    // The dialog counts in int; no list that fits in memory holds more trucks.
    const int last = static_cast<int>(std::min<TruckIndex>(state_.NoTrucks, INT_MAX));
    const int current = static_cast<int>(std::clamp<TruckIndex>(state_.CurrentTruck, 1, last));
    const int chosen = QInputDialog::getInt(this, QStringLiteral("Axlewise"),
                                            QStringLiteral("Truck number (1 to %1):").arg(last),
                                            current, 1, last, 1, &ok);
    if (ok) {
        ShowTruckAt(chosen);
    }
}

void frmMain::NextFailing_Click() {
    GoToFailing(Direction::Forward);
}

void frmMain::PreviousFailing_Click() {
    GoToFailing(Direction::Backward);
}

void frmMain::GoToFailing(Direction direction) {
    if (state_.NoTrucks < 1) {
        return;
    }
    const CheckMask wanted = WantedChecks();
    const std::optional<TruckIndex> found =
        FindFailing(state_, state_.CurrentTruck, wanted, direction);
    if (!found) {
        const QAction* chosen = FailingChecks->checkedAction();
        messageBoxes_->MsgBox(this,
                              wanted == kEveryCheck
                                  ? QStringLiteral("No truck fails any check.")
                                  : QStringLiteral("No truck fails %1.").arg(chosen->text()),
                              MsgIcon::Information);
        return;
    }
    ShowTruckAt(*found);
}

void frmMain::GoToTime_Click() {
    if (state_.NoTrucks < 1) {
        return;
    }
    const TruckIndex current = std::clamp<TruckIndex>(state_.CurrentTruck, 1, state_.NoTrucks);
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, QStringLiteral("Axlewise"),
        QStringLiteral("Time of passage (YY-MM-DD hh:mm, :ss and .cc if wanted):"),
        QLineEdit::Normal, QString::fromStdString(PassageText(state_.Truck(current))), &ok);
    if (!ok) {
        return;
    }
    const std::optional<PassageTime> when = ReadPassage(text.toStdString());
    if (!when) {
        messageBoxes_->MsgBox(
            this,
            QStringLiteral("\"%1\" is not a time of passage.\nType it as YY-MM-DD hh:mm, "
                           "optionally with :ss and .cc, e.g. 24-03-11 10:37 or "
                           "24-03-11 10:37:33.76.")
                .arg(text),
            MsgIcon::Information);
        return;
    }
    const std::optional<TruckIndex> found = FirstPassingAtOrAfter(state_, *when);
    if (!found) {
        ShowTruckAt(state_.NoTrucks);
        messageBoxes_->MsgBox(
            this,
            QStringLiteral("No truck passed at or after %1; the last truck of the list is shown.")
                .arg(text.trimmed()),
            MsgIcon::Information);
        return;
    }
    ShowTruckAt(*found);
}

}  // namespace axlewise

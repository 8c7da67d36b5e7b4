#pragma once

#include "display/GoTo.h"
#include "display/ReadFromBox.h"
#include "text/Units.h"
#include "display/ShowTruck.h"
#include "loading/TruckFile.h"
#include "records/BrowserState.h"
#include "window/WorkerLoad.h"
#include "window/CommonDialog.h"
#include "window/MessageBoxes.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace axlewise {

class PictureBox;
class frmSummary;
class StatsAccumulator;
class FindBar;
class TextBox;

// The one window of Axlewise. It owns the browser state for its whole life and
// turns the user's commands (the File menu and six buttons) into loads,
// navigation and the display of a truck. Controls carry their names as
// objectName, so tests find them by name.
class frmMain : public QMainWindow, private TruckView {
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    BrowserState& state() { return state_; }
    const BrowserState& state() const { return state_; }
    // The open dialog; tests replace what it shows with CommonDialog::setRunner.
    CommonDialog& CommonDialog1() { return CommonDialog1_; }
    // Replaces the message boxes (tests record them instead of blocking).
    void setMessageBoxes(std::unique_ptr<MessageBoxes> boxes);

    // Loads a file exactly as if it had been chosen in the open dialog.
    void OpenFile(const QString& path);
    // The work after which a load shows its progress dialog (tests shorten it).
    void setProgressDialogDelay(int ms) { progressDialogDelay_ = ms; }
    // Called on the worker thread at every progress step of a load (tests hold
    // a load there to press Cancel or close the window at a known point).
    void setLoadProbe(std::function<void(double done)> probe) { loadProbe_ = std::move(probe); }

    // The event procedures. FileOpen_Click traps every error of its own work;
    // the others let errors go, and the window reports an error that leaves a
    // command in a message box and keeps working.
    void FileOpen_Click();
    void Command1_Click();
    void btnReadTxt_Click();
    void btnStart_Click();
    void btnPrev_Click();
    void btnNext_Click();
    void btnEnd_Click();

    // Shows truck n (1..NoTrucks) as the navigation buttons do: where the Go
    // menu, the Summary window and the file-contents box take the window.
    void ShowTruckAt(TruckIndex n);

    // The Go menu: straight to a truck by its number, its time of passage or
    // the checks it failed.
    void GoToTruck_Click();
    void NextFailing_Click();
    void PreviousFailing_Click();
    void GoToTime_Click();
    // Find in the file-contents box: opens the find bar, finds the next or
    // previous match of its text.
    void Find_Click();
    void FindNext_Click();
    void FindPrevious_Click();

    // Opens the Summary window over every truck held (one window, brought to
    // the front when it is open already).
    void ViewSummary_Click();

private:
    void BuildControls();
    void BuildMenu();
    void BuildGoMenu();
    void BuildViewMenu();
    // The Go menu's find items, and the box's find bar and its requests.
    void BuildFind();
    // Connects the box's requests for a line's truck and its edits.
    void FollowBox();
    // Marks the line of the truck on show in the box and brings it into view,
    // while the box still holds the text that truck was read from.
    void MarkTruckLine();
    // Shows the truck read from line `line` of the box, or says why there is
    // none.
    void ShowTruckOfLine(LineNumber line);
    // Shows the file's contents in the system's fixed-width font (at the size
    // of the window's font) or in the window's font, and remembers the choice.
    void UseFixedFont(bool fixed);
    // Gives the Summary window the figures of the trucks held, when it is open:
    // while it is closed, a load costs nothing for it.
    void RefreshSummary();
    // Enables what needs a truck held.
    void UpdateGoActions();
    void GoToFailing(Direction direction);
    // The checks Next and Previous Failing Truck look for.
    CheckMask WantedChecks() const;
    void Connect(QPushButton* button, const char* command, void (frmMain::*procedure)());
    // Runs a command's procedure and reports a run-time error that leaves it.
    void RunCommand(const char* command, void (frmMain::*procedure)());
    void RunCommand(const char* command, const std::function<void()>& work);

    // Moves to another truck and shows it; with no truck held nothing happens.
    void Navigate(bool (*step)(BrowserState&));
    enum class LoadKind { File, Pasted };
    // Runs the work of the open command, reporting every error it raises as
    // the file's message; a cancelled dialog is silent.
    void TrapFileErrors(const std::function<void()>& work);
    void LoadChosenFile();
    void ReportOpenFailure(const QString& reason);
    // Ends a load: the count, then the failure reported, or truck 1 shown when
    // any truck is held.
    void FinishLoad(const LoadResult& result, LoadKind kind);
    void ReportLoadFailure(const LoadResult& result, LoadKind kind);
    void ShowCount();
    void ShowTruck();

    // TruckView: what the truck panel and the diagram write to.
    void setTruckText(const std::string& text) override;
    void setChecks(const std::vector<CheckFailure>& failures) override;
    void MsgBox(const std::string& text, MsgIcon icon) override;
    DrawingSurface& picture() override;
    std::string_view decimalSeparator() const override { return decimalSeparator_; }

    BrowserState state_;
    CommonDialog CommonDialog1_;
    std::unique_ptr<MessageBoxes> messageBoxes_;
    std::string decimalSeparator_;
    int progressDialogDelay_ = WorkerLoad::kDialogAfterMs;
    std::function<void(double)> loadProbe_;

    QPlainTextEdit* txtHeads = nullptr;
    QLabel* lblNoTrucks = nullptr;
    QPushButton* btnPrev = nullptr;
    QPushButton* btnStart = nullptr;
    QPushButton* btnEnd = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtIgline = nullptr;
    QPlainTextEdit* txtTruck = nullptr;
    QLabel* Label3 = nullptr;
    TextBox* Editor = nullptr;
    PictureBox* picTruck = nullptr;
    QPushButton* btnReadTxt = nullptr;
    QLabel* lblChecks = nullptr;

    QMenu* FileMenu = nullptr;
    QAction* FileOpen = nullptr;
    QAction* mnuBar2 = nullptr;
    QAction* FileExit = nullptr;

    QMenu* GoMenu = nullptr;
    QAction* GoToTruck = nullptr;
    QAction* NextFailing = nullptr;
    QAction* PreviousFailing = nullptr;
    QMenu* FailingCheckMenu = nullptr;
    QActionGroup* FailingChecks = nullptr;
    QAction* GoToTime = nullptr;
    QAction* Find = nullptr;
    QAction* FindNext = nullptr;
    QAction* FindPrevious = nullptr;
    FindBar* findBar_ = nullptr;
    // What the box held when trucks were last read from it (a file or a
    // paste); nothing before the first such read.
    std::optional<ReadFromBox> boxRead_;

    QMenu* ViewMenu = nullptr;
    QAction* ViewSummary = nullptr;
    QAction* ViewFixedFont = nullptr;
    frmSummary* summary_ = nullptr;
    // The figures of trucks 1..trucks() of those held: trucks are only ever
    // added, so a refresh adds those loaded since. Made when the Summary
    // window is first opened.
    std::unique_ptr<StatsAccumulator> summaryFigures_;
    // Lines read by every load, blank, head and failing ones included.
    TruckIndex linesRead_ = 0;
};

}  // namespace axlewise

// The main window and its file-contents box: find in the box, the line of the
// truck on show marked in it, and the truck of a line shown from it.

#include "display/ReadFromBox.h"
#include "loading/EchoText.h"
#include "drawing/Utf8Text.h"
#include "window/FindBar.h"
#include "window/TextBox.h"
#include "window/frmMain.h"

#include <QAction>
#include <QMenu>

namespace axlewise {

void frmMain::BuildFind() {
    GoMenu->addSeparator();
    const auto item = [this](const QString& text, const QString& name, const QKeySequence& key,
                             void (frmMain::*procedure)()) {
        QAction* action = GoMenu->addAction(text);
        action->setObjectName(name);
        action->setShortcut(key);
        action->setEnabled(false);
        connect(action, &QAction::triggered, this, procedure);
        return action;
    };
    Find = item(QStringLiteral("Find..."), QStringLiteral("Find"), QKeySequence::Find,
                &frmMain::Find_Click);
    FindNext = item(QStringLiteral("Find Next"), QStringLiteral("FindNext"),
                    QKeySequence(Qt::Key_F3), &frmMain::FindNext_Click);
    FindPrevious = item(QStringLiteral("Find Previous"), QStringLiteral("FindPrevious"),
                        QKeySequence(Qt::SHIFT | Qt::Key_F3), &frmMain::FindPrevious_Click);
    findBar_ = new FindBar(Editor);
    connect(Editor, &TextBox::findRequested, this, &frmMain::Find_Click);
    connect(Editor, &TextBox::hasTextChanged, this, [this](bool hasText) {
        for (QAction* action : {Find, FindNext, FindPrevious}) {
            action->setEnabled(hasText);
        }
    });
}

void frmMain::Find_Click() {
    findBar_->open();
}

void frmMain::FindNext_Click() {
    findBar_->findNext();
}

void frmMain::FindPrevious_Click() {
    findBar_->findPrevious();
}

void frmMain::FollowBox() {
    connect(Editor, &TextBox::showTruckRequested, this, [this](LineNumber line) {
        RunCommand("Show This Truck", [this, line] { ShowTruckOfLine(line); });
    });
    // An edit parts the box from the trucks read from it: no line is marked.
    connect(Editor, &TextBox::textChanged, this, [this] {
        if (boxRead_ && Editor->revision() != boxRead_->revision) {
            Editor->setMarkedLine(std::nullopt);
        }
    });
}

void frmMain::MarkTruckLine() {
    std::optional<std::int64_t> offset;
    if (boxRead_ && Editor->revision() == boxRead_->revision) {
        offset = LineOffsetOf(state_, *boxRead_, state_.CurrentTruck);
    }
    if (!offset) {
        Editor->setMarkedLine(std::nullopt);
        return;
    }
    const LineNumber line = Editor->buffer().lineAt(ByteOffset(*offset));
    Editor->setMarkedLine(line);
    Editor->revealLine(line);
}

void frmMain::ShowTruckOfLine(LineNumber line) {
    const TextBuffer& text = Editor->buffer();
    const TruckIndex number = line.value() + 1;
    const bool edited = !boxRead_ || Editor->revision() != boxRead_->revision;
    if (!edited) {
        const std::optional<TruckIndex> truck =
            TruckAt(state_, *boxRead_, text.lineStart(line).value());
        if (truck) {
            ShowTruckAt(*truck);
            return;
        }
    }
    std::string why;
    if (!boxRead_) {
        why = "Line " + std::to_string(number) +
              " was not read as a truck: no truck has been read from this text.";
    } else {
        bool blank = true;
        text.forEachPiece(
            ByteRange{text.lineStart(line), text.lineEnd(line)},
            [&blank](std::string_view piece) { blank = blank && IsBlankLine(piece); });
        why = WhyNoTruck(*boxRead_, number, blank, edited);
    }
    messageBoxes_->MsgBox(this, FromUtf8(why), MsgIcon::Information);
}

}  // namespace axlewise

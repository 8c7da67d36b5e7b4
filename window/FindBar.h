#pragma once

#include "text/Find.h"

#include <QPointer>
#include <QWidget>

#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace axlewise {

class TextBox;

// A small find window for the file-contents box: a tool window of the box's
// window (so the window's own layout never changes), shown below the box,
// with the text to find (txtFind), "Match case" (chkMatchCase), "Previous"
// (btnFindPrevious), "Next" (btnFindNext) and a status (lblFindStatus) that
// reads "Search wrapped" or "Not found"; never a message box. Enter in the
// window finds the next match, Shift+Enter the previous one, F3 and Shift+F3
// the same; Esc closes it, as its window's close button does, and either
// gives the focus back to the box.
class FindBar : public QWidget {
    Q_OBJECT

public:
    // box must already be in its window.
    explicit FindBar(TextBox* box);

    // Shows the bar (below the box the first time, where it was left after
    // that), active, with the text field focused and all of it selected; the
    // field first takes the box's selection when that is one short line.
    void open();
    // Finds the field's text after (or before) the box's selection, as
    // TextBox::find does, and says how it went in the status. With an empty
    // field the bar opens instead, and nothing is returned.
    std::optional<FindResult> findNext();
    std::optional<FindResult> findPrevious();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::optional<FindResult> find(bool backward);
    // Hides the bar and gives the focus back to the box.
    void dismiss();
    void giveBackFocus();
    void place();

    QPointer<TextBox> box_;
    QLineEdit* field_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QLabel* status_ = nullptr;
    bool placed_ = false;
};

}  // namespace axlewise

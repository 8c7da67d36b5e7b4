#pragma once

// What the window's test suites share: a shown main window with its open
// dialog and message boxes substituted, found by the names of its controls,
// and the truck lines they load.

#include "window/frmMain.h"

#include "TruckLines.h"
#include "window/PictureBox.h"
#include "window/TextBox.h"

#include <QAction>
#include <QLabel>
#include <QObject>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace axlewise::test {

// A truck line and its break, with the text of one field replaced if given.
QByteArray Line(int head, int field = 1, std::string_view text = {});
// The sample truck `head` with fields changed, and its break.
QByteArray Changed(int head, const std::vector<std::pair<int, const char*>>& changes);
// Trucks 1001, 1002 and 1003.
QByteArray ThreeTrucks();
// "Unkown error while opening file %1\n"
QString FailedToOpen(const QString& path);

// Keeps each message box's text, after "(x) " when it has the critical icon
// and "(i) " when it has the information icon.
struct RecordingBoxes : MessageBoxes {
    explicit RecordingBoxes(QStringList* into) : sink(into) {}
    QStringList* sink;
    void MsgBox(QWidget*, const QString& text, MsgIcon icon) override;
};

bool AllWhite(const QImage& image);

// What an input dialog showed, and how it was answered.
struct DialogAnswer {
    bool shown = false;
    QString label;
    QString value;
    int minimum = 0;
    int maximum = 0;
};

// Answers the next modal input dialog with reply (an int dialog takes it as
// its value), or with Cancel; what it showed is filled in once it has run.
std::shared_ptr<DialogAnswer> AnswerInputDialog(const std::optional<QString>& reply);

// The base of a window test suite; each suite calls setUpWindow() from its
// own init() slot.
class WindowFixture : public QObject {
    Q_OBJECT

protected:
    void setUpWindow();

    template <typename T = QWidget>
    T* find(const QString& name) {
        return window->findChild<T*>(name);
    }
    TextBox* editor() { return find<TextBox>(QStringLiteral("Editor")); }
    QByteArray editorText() { return QByteArray::fromStdString(editor()->text().str()); }
    void click(const QString& name) { QTest::mouseClick(find(name), Qt::LeftButton); }
    // Puts text into the box and reads it with "Read Pasted Truck(s)".
    void read(const QByteArray& text);
    // Opens through the menu or the Open button; the dialog answers (nullopt: Cancel).
    void open(const QString& how, const std::optional<QString>& reply);
    // Writes a file into the test's folder and gives its path.
    QString write(const QString& name, const QByteArray& contents);
    // Three trucks read from a file opened through the menu, the last on show.
    void holdThree();
    QString label() { return find<QLabel>(QStringLiteral("lblNoTrucks"))->text(); }
    QStringList panel() {
        return find<QPlainTextEdit>(QStringLiteral("txtTruck"))->toPlainText().split('\n');
    }
    const QImage& picture() {
        return find<PictureBox>(QStringLiteral("picTruck"))->surface().image();
    }

    QStringList messages;
    std::optional<QString> answer;
    QList<CommonDialog::Request> requests;
    std::unique_ptr<frmMain> window;
    QTemporaryDir dir;
};

}  // namespace axlewise::test

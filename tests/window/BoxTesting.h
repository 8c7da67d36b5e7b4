#pragma once

// What the tests of the file-contents box share: a shown box of the size of
// the window's Editor, marked texts, typing by key names, and places on the
// screen worked out from the font's metrics (never from the box).

#include "drawing/Layout.h"
#include "window/TextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QTest>
#include <QTextLayout>

#include <memory>

namespace axlewise::boxtesting {

// Types into widget: plain characters as typed text, "{Name}" as the key
// sequence Name, e.g. "ab{Shift+Left}{Backspace}".
inline void Type(QWidget* widget, const QString& keys) {
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (keys.at(i) == QLatin1Char('{')) {
            const qsizetype end = keys.indexOf(QLatin1Char('}'), i);
            const QKeyCombination key = QKeySequence::fromString(keys.mid(i + 1, end - i - 1))[0];
            QTest::keyClick(widget, key.key(), key.keyboardModifiers());
            i = end;
        } else {
            QTest::keyClick(widget, keys.at(i).toLatin1());
        }
    }
}

// count lines, each its number in `digits` digits: "00\n", "01\n", ...
inline QByteArray NumberedLines(int count, int digits) {
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        text += QByteArray::number(i).rightJustified(digits, '0') + '\n';
    }
    return text;
}

// A text with the caret marked '|' and, when something is selected, the
// selection's other end '^': "a^bc|d" is "abcd" with "bc" selected, the caret
// after it.
struct Marked {
    QByteArray text;
    ByteOffset anchor;
    ByteOffset caret;
};

inline Marked Unmark(QByteArray text) {
    qsizetype caret = text.indexOf('|');
    text.remove(caret, 1);
    qsizetype anchor = text.indexOf('^');
    if (anchor < 0) {
        anchor = caret;
    } else {
        text.remove(anchor, 1);
        caret -= anchor < caret ? 1 : 0;
    }
    return {text, ByteOffset(anchor), ByteOffset(caret)};
}

// A window with a box in it where frmMain has its Editor, shown, active and
// with the box focused; the clipboard empty.
class BoxWindow {
public:
    BoxWindow() : window_(std::make_unique<QWidget>()) {
        window_->setFont(WindowFont(kWindowPoints));
        window_->resize(460, 160);
        box = new TextBox(window_.get());
        box->setGeometry(10, 10, 433, 113);
        window_->show();
        window_->activateWindow();
        ready = QTest::qWaitForWindowActive(window_.get());
        box->setFocus();
        QApplication::clipboard()->clear();
    }

    QWidget* window() const { return window_.get(); }
    QWidget* surface() const { return box->viewport(); }

    void show(const QByteArray& text) const {
        box->setText(SharedText(std::string_view(text.constData(), std::size_t(text.size()))));
    }
    QByteArray bytes() const {
        const SharedText text = box->text();
        return QByteArray(text.view().data(), static_cast<qsizetype>(text.size()));
    }
    // The height of a row: a line of the box's font laid out by Qt (which
    // rounds it up from the font's own height).
    qreal rowHeight() const {
        QTextLayout layout(QStringLiteral("Xg"), box->font());
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(1000);
        const qreal height = line.height();
        layout.endLayout();
        return height;
    }
    // The left edge (or the middle) of character `index` of `line`, on screen
    // row `row` from the top, for a text whose rows are single lines.
    QPoint at(const QString& line, int row, int index, bool middle = false) const {
        const QFontMetricsF metrics(box->font());
        qreal x = 4 + metrics.horizontalAdvance(line.left(index));
        x += middle ? metrics.horizontalAdvance(line.at(index)) / 2 : 0;
        return QPointF(x, 4 + (row + 0.5) * rowHeight()).toPoint();
    }

    TextBox* box = nullptr;
    bool ready = false;

private:
    std::unique_ptr<QWidget> window_;
};

// The base of the box's widget suites: a fresh BoxWindow for every test
// function.
class BoxTest : public QObject {
    Q_OBJECT

protected slots:
    void init() {
        fixture = std::make_unique<BoxWindow>();
        QVERIFY(fixture->ready);
        box = fixture->box;
    }
    void cleanup() { fixture.reset(); }

protected:
    void show(const QByteArray& text) const { fixture->show(text); }
    QByteArray bytes() const { return fixture->bytes(); }

    std::unique_ptr<BoxWindow> fixture;
    TextBox* box = nullptr;
};

}  // namespace axlewise::boxtesting

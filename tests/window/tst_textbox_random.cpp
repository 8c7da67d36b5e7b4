// The file-contents box under random input: keys with every modifier, mouse
// presses, drags, double and triple clicks, the wheel, resizes down to 0x0,
// input-method pre-edits and commits, the clipboard, the context menu, new
// texts, and the window's calls (find, the marked line, revealing a line),
// each followed by a paint and by checks that hold whatever was done:
// the caret and anchor inside the text, on character boundaries and never in
// the hidden part of a cut line; the text equal to a plain model for the edits
// the model can predict, never holding '\r'; the revision changed with the
// text; the line functions agreeing with the text; the top row and the
// marked line ones that exist; and, now and then, undo-all giving the text last set and redo-all
// giving back the edited one.
//
// The seeds are fixed, so a run is repeatable. By hand, longer and with other
// seeds:
//   AXLEWISE_BOX_RANDOM_SECONDS=600 AXLEWISE_BOX_RANDOM_SEED=7 tst_textbox_random
// runs seed 7, then 8, 9, ... until 600 seconds have passed, and prints the
// number of actions taken. A run longer than Qt Test lets one test function
// run (5 minutes) needs QTEST_FUNCTION_TIMEOUT (in milliseconds) set too.

#include "BoxTesting.h"

#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QMenu>
#include <QScrollBar>
#include <QStringDecoder>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <vector>

using namespace axlewise;
using namespace axlewise::boxtesting;

namespace {

// A few actions per seed in a normal run: the whole suite takes seconds.
constexpr int kActionsPerSeed = 700;

class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    int below(int n) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T, std::size_t N>
    const T& pick(const T (&items)[N]) {
        return items[static_cast<std::size_t>(below(static_cast<int>(N)))];
    }

private:
    std::mt19937_64 engine_;
};

// Characters of one to four UTF-8 bytes, a combining accent, a tab.
const char* const kPieces[] = {"a", "b", "x", " ", " ",      "1",      ".",      "\t",
                               "é", "€", "😀", "w", "\u0301", "\u00df", "\u4e2d", "-"};

std::string RandomLine(Random& random) {
    int length = random.below(12);
    if (random.chance(15)) {
        length = 60 + random.below(300);  // wraps over rows
    } else if (random.chance(1)) {
        length = 66000 + random.below(2000);  // cut, and a mark shown
    }
    std::string line;
    for (int i = 0; i < length; ++i) {
        line += random.pick(kPieces);
    }
    return line;
}

std::string RandomText(Random& random) {
    std::string text = random.chance(10) ? "\xEF\xBB\xBF" : "";
    for (int lines = random.below(40); lines > 0; --lines) {
        text += RandomLine(random) + (random.chance(90) ? "\n" : "");
    }
    return text;
}

QString RandomQString(Random& random) {
    static const char* const kOutside[] = {
        "a", "Z",      " ",      "\r\n", "\n",     "\r",           "é",
        "😀", "\u2028", "\u2029", "q",    "\u0301", "\xEF\xBB\xBF", "9"};
    QString out;
    for (int n = random.below(8); n > 0; --n) {
        out += QString::fromUtf8(random.pick(kOutside));
    }
    return out;
}

// Text from outside as the box keeps it: every break made '\n'.
std::string Normalised(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    out.replace(QChar(0x2028), u'\n');
    out.replace(QChar(0x2029), u'\n');
    return out.toStdString();
}

// UTF-8 to UTF-16 by Qt, a leading U+FEFF kept: the test's own reading.
QString Decoded(const std::string& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

bool IsContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

}  // namespace

class tst_TextBoxRandom : public QObject {
    Q_OBJECT

private slots:
    void randomActions_data();
    void randomActions();

private:
    void run(std::uint64_t seed, int actions);
    void act(Random& random);
    void check(Random& random);
    void undoAllRedoAll();

    std::unique_ptr<BoxWindow> window_;
    TextBox* box_ = nullptr;
    // The text the box must hold when the model can tell; nothing otherwise.
    std::optional<std::string> expected_;
    std::string original_;  // as last set: what undo-all gives back
    std::string before_;    // before the last action
    std::uint64_t revisionBefore_ = 0;
    std::deque<QString> log_;  // the last actions, for a failure's message
    std::int64_t actions_ = 0;
};

void tst_TextBoxRandom::randomActions_data() {
    QTest::addColumn<quint64>("seed");
    if (qEnvironmentVariableIsSet("AXLEWISE_BOX_RANDOM_SEED")) {
        QTest::newRow("seed from the environment")
            << qEnvironmentVariable("AXLEWISE_BOX_RANDOM_SEED").toULongLong();
        return;
    }
    for (const quint64 seed : {1ULL, 2ULL, 3ULL, 4ULL}) {
        QTest::addRow("seed %llu", seed) << seed;
    }
}

void tst_TextBoxRandom::randomActions() {
    QFETCH(quint64, seed);
    const qint64 seconds = qEnvironmentVariableIntValue("AXLEWISE_BOX_RANDOM_SECONDS");
    QElapsedTimer clock;
    clock.start();
    for (std::uint64_t next = seed;; ++next) {
        run(next, kActionsPerSeed);
        if (QTest::currentTestFailed() || clock.elapsed() >= seconds * 1000) {
            break;
        }
    }
    qInfo("%lld actions", static_cast<long long>(actions_));
}

void tst_TextBoxRandom::run(std::uint64_t seed, int actions) {
    window_ = std::make_unique<BoxWindow>();
    QVERIFY(window_->ready);
    box_ = window_->box;
    Random random(seed);
    original_ = RandomText(random);
    box_->setText(SharedText(original_));
    expected_ = original_;
    log_.clear();
    for (int step = 0; step < actions; ++step) {
        before_ = box_->text().str();
        revisionBefore_ = box_->revision();
        act(random);
        ++actions_;
        check(random);
        if (QTest::currentTestFailed()) {
            QString trail;
            for (const QString& entry : log_) {
                trail += entry + QLatin1Char('\n');
            }
            qWarning("seed %llu, step %d; the last actions:\n%s",
                     static_cast<unsigned long long>(seed), step, qPrintable(trail));
            return;
        }
    }
    window_.reset();
}

void tst_TextBoxRandom::act(Random& random) {
    QWidget* surface = box_->viewport();
    const ByteRange selection = box_->selection();
    const std::string text = box_->text().str();
    const auto replaced = [&](const std::string& with) {
        std::string out = text;
        out.replace(selection.from.index(), selection.size().index(), with);
        return out;
    };
    const auto point = [&] {
        return QPoint(random.below(surface->width() + 40) - 20,
                      random.below(surface->height() + 40) - 20);
    };
    const auto modifiers = [&] {
        static const Qt::KeyboardModifier kEach[] = {Qt::ShiftModifier, Qt::ControlModifier,
                                                     Qt::AltModifier, Qt::MetaModifier,
                                                     Qt::KeypadModifier};
        Qt::KeyboardModifiers all;
        for (const Qt::KeyboardModifier one : kEach) {
            if (random.chance(18)) {
                all |= one;
            }
        }
        return all;
    };
    // The model follows what it can tell; every other action may change the
    // text in ways only the box knows, and the model takes the box's text.
    expected_.reset();
    QString what;
    const int kind = random.below(100);
    if (kind < 30) {
        static const Qt::Key kKeys[] = {
            Qt::Key_Left,   Qt::Key_Right,  Qt::Key_Up,       Qt::Key_Down,      Qt::Key_Home,
            Qt::Key_End,    Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Backspace, Qt::Key_Delete,
            Qt::Key_Return, Qt::Key_Enter,  Qt::Key_Insert,   Qt::Key_A,         Qt::Key_C,
            Qt::Key_V,      Qt::Key_X,      Qt::Key_Y,        Qt::Key_Z,         Qt::Key_B,
            Qt::Key_Space,  Qt::Key_1,      Qt::Key_Tab,      Qt::Key_Escape};
        const Qt::Key key = random.pick(kKeys);
        const Qt::KeyboardModifiers mods = modifiers();
        what = QStringLiteral("key %1 modifiers %2").arg(key, 0, 16).arg(mods.toInt(), 0, 16);
        const bool plain = (mods & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
        const bool letter = key == Qt::Key_A || key == Qt::Key_B || key == Qt::Key_C ||
                            key == Qt::Key_V || key == Qt::Key_X || key == Qt::Key_Y ||
                            key == Qt::Key_Z || key == Qt::Key_Space || key == Qt::Key_1;
        if (plain && letter) {
            // QTest types the key's lower-case character, Shift or not.
            expected_ = replaced(std::string(1, QTest::keyToAscii(key)));
        } else if (mods == Qt::NoModifier && key == Qt::Key_Backspace) {
            if (!selection.empty()) {
                expected_ = replaced({});
            } else if (selection.from > ByteOffset(0)) {
                std::size_t from = selection.from.index() - 1;
                while (from > 0 && IsContinuation(text[from])) {
                    --from;
                }
                expected_ = text;
                expected_->erase(from, selection.from.index() - from);
            } else {
                expected_ = text;
            }
        } else if ((mods & ~Qt::KeypadModifier) == 0 && key == Qt::Key_Return) {
            expected_ = replaced("\n");
        }
        QTest::keyClick(box_, key, mods);
    } else if (kind < 36) {
        // Typed text beyond ASCII, as a keyboard layout gives it.
        const QString typed = QString::fromUtf8(random.pick(kPieces));
        what = QStringLiteral("type ") + typed;
        if (typed != QStringLiteral("\t")) {
            expected_ = replaced(typed.toStdString());
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
        QApplication::sendEvent(box_, &press);
    } else if (kind < 56) {
        const QPoint from = point();
        const QPoint to = point();
        const Qt::KeyboardModifiers mods =
            random.chance(20) ? modifiers() : Qt::KeyboardModifiers();
        const int gesture = random.below(6);
        what = QString::asprintf("mouse %d from %d,%d to %d,%d modifiers %x", gesture, from.x(),
                                 from.y(), to.x(), to.y(), mods.toInt());
        if (gesture == 0) {
            QTest::mouseClick(surface, Qt::LeftButton, mods, from);
        } else if (gesture == 1) {  // a drag, the button held across other actions
            QTest::mousePress(surface, Qt::LeftButton, mods, from);
            QTest::mouseMove(surface, to);
        } else if (gesture == 2) {
            QTest::mouseMove(surface, to);
            QTest::mouseRelease(surface, Qt::LeftButton, mods, to);
        } else if (gesture == 3) {
            QTest::mouseClick(surface, Qt::LeftButton, {}, from);
            QTest::mouseDClick(surface, Qt::LeftButton, {}, from);
            if (random.chance(50)) {
                QTest::mousePress(surface, Qt::LeftButton, {}, from);  // the third click
            }
            QTest::mouseMove(surface, to);
        } else if (gesture == 4) {
            QTest::mouseClick(surface, Qt::MiddleButton, mods, from);
        } else {
            // Moves while the timers run: the caret blinks, a drag scrolls.
            QTest::mouseMove(surface, to);
            QCoreApplication::processEvents();
        }
    } else if (kind < 62) {
        const int delta = (random.below(9) - 4) * 120 + (random.chance(20) ? 40 : 0);
        what = QStringLiteral("wheel %1").arg(delta);
        const QPointF at(20, 20);
        QWheelEvent wheel(at, surface->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(surface, &wheel);
        expected_ = text;
    } else if (kind < 66) {
        const int width = random.chance(20) ? 0 : random.below(600);
        const int height = random.chance(20) ? 0 : random.below(400);
        what = QStringLiteral("resize %1x%2").arg(width).arg(height);
        box_->resize(width, height);
        expected_ = text;
    } else if (kind < 76) {
        const QString preedit = random.chance(70) ? RandomQString(random) : QString();
        const QString commit = random.chance(50) ? RandomQString(random) : QString();
        const int from = random.chance(20) ? random.below(5) - 2 : 0;
        const int length = random.chance(20) ? random.below(4) : 0;
        QList<QInputMethodEvent::Attribute> attributes;
        if (random.chance(50)) {
            attributes.append(
                {QInputMethodEvent::Cursor, random.below(static_cast<int>(preedit.size()) + 1), 1});
        }
        what = QStringLiteral("input method pre-edit \"%1\" commit \"%2\" replacing %3+%4")
                   .arg(preedit, commit, QString::number(from), QString::number(length));
        QInputMethodEvent event(preedit, attributes);
        event.setCommitString(commit, from, length);
        if (from == 0 && length == 0) {
            expected_ = commit.isEmpty() ? text : replaced(Normalised(commit));
        }
        QApplication::sendEvent(box_, &event);
    } else if (kind < 84) {
        const QString clip = RandomQString(random);
        QApplication::clipboard()->setText(clip);
        const int way = random.below(4);
        what = QStringLiteral("clipboard \"%1\", way %2").arg(clip).arg(way);
        if (way == 0) {
            box_->paste();
            expected_ = clip.isEmpty() ? text : replaced(Normalised(clip));
        } else if (way == 1) {
            box_->cut();
            expected_ = replaced({});
        } else if (way == 2) {
            box_->copy();
            expected_ = text;
            if (!selection.empty()) {
                QCOMPARE(QApplication::clipboard()->text(),
                         Decoded(text.substr(selection.from.index(), selection.size().index())));
            }
        } else {
            std::unique_ptr<QMenu> menu(box_->createStandardContextMenu());
            QList<QAction*> enabled;
            for (QAction* action : menu->actions()) {
                if (!action->isSeparator() && action->isEnabled()) {
                    enabled << action;
                }
            }
            if (!enabled.isEmpty()) {
                QAction* action = enabled.at(random.below(static_cast<int>(enabled.size())));
                what += QStringLiteral(" menu ") + action->objectName();
                action->trigger();
            }
        }
    } else if (kind < 90) {
        what = QStringLiteral("undo or redo");
        random.chance(50) ? box_->undo() : box_->redo();
    } else if (kind < 93) {
        original_ = RandomText(random);
        what = QStringLiteral("setText of %1 bytes").arg(original_.size());
        box_->setText(SharedText(original_));
        expected_ = original_;
    } else if (kind < 96) {
        what = QStringLiteral("focus");
        random.chance(50) ? box_->clearFocus() : box_->setFocus();
        expected_ = text;
    } else if (kind < 98) {
        what = QStringLiteral("input method queries");
        for (const Qt::InputMethodQuery query :
             {Qt::ImCursorRectangle, Qt::ImCursorPosition, Qt::ImAnchorPosition,
              Qt::ImSurroundingText, Qt::ImTextBeforeCursor, Qt::ImTextAfterCursor,
              Qt::ImCurrentSelection}) {
            box_->inputMethodQuery(query);
        }
        const auto surrounding = box_->inputMethodQuery(Qt::ImSurroundingText).toString().size();
        QVERIFY(box_->inputMethodQuery(Qt::ImCursorPosition).toInt() <= surrounding);
        QVERIFY(box_->inputMethodQuery(Qt::ImAnchorPosition).toInt() <= surrounding);
        expected_ = text;
    } else {
        const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
        const int way = random.below(3);
        if (way == 0) {
            // Whole characters of the text, or of the pieces it is made of.
            std::string needle = random.pick(kPieces);
            if (!text.empty() && random.chance(70)) {
                std::size_t from =
                    static_cast<std::size_t>(random.below(static_cast<int>(text.size())));
                while (from > 0 && IsContinuation(text[from])) {
                    --from;
                }
                std::size_t to =
                    std::min(text.size(), from + 1 + static_cast<std::size_t>(random.below(6)));
                while (to < text.size() && IsContinuation(text[to])) {
                    ++to;
                }
                needle = text.substr(from, to - from);
            }
            const bool matchCase = random.chance(50);
            const bool backward = random.chance(50);
            what = QString::asprintf("find \"%s\" case %d backward %d", needle.c_str(), matchCase,
                                     backward);
            const FindResult result = box_->find(needle, matchCase, backward);
            const ByteRange found = box_->selection();
            if (result == FindResult::NotFound) {
                QCOMPARE(found, selection);
            } else if (matchCase && found.size().index() == needle.size()) {
                QCOMPARE(text.substr(found.from.index(), needle.size()), needle);
            }
        } else if (way == 1) {
            const int line = random.below(lines + 3) - 1;
            what = QStringLiteral("mark line %1").arg(line);
            box_->setMarkedLine(line < 0 ? std::nullopt
                                         : std::optional<LineNumber>(LineNumber(line)));
            QCOMPARE(box_->markedLine().has_value(), line >= 0 && line < lines);
        } else {
            const int line = random.below(lines + 2);
            what = QStringLiteral("reveal line %1").arg(line);
            box_->revealLine(LineNumber(line));
        }
        expected_ = text;
    }
    log_.push_back(what);
    if (log_.size() > 12) {
        log_.pop_front();
    }
}

void tst_TextBoxRandom::check(Random& random) {
    box_->viewport()->repaint();
    const std::string text = box_->text().str();
    if (expected_) {
        QCOMPARE(QByteArray::fromStdString(text), QByteArray::fromStdString(*expected_));
    }
    QVERIFY(text.find('\r') == std::string::npos);
    if (text != before_) {
        QVERIFY(box_->revision() != revisionBefore_);
    }

    const TextBuffer& buffer = box_->buffer();
    const auto size = static_cast<std::int64_t>(text.size());
    QCOMPARE(buffer.size().value(), size);
    for (const ByteOffset at : {box_->cursorPosition(), box_->anchorPosition()}) {
        QVERIFY(ByteOffset(0) <= at && at.value() <= size);
        QVERIFY2(at.value() == size || !IsContinuation(text[at.index()]),
                 qPrintable(QStringLiteral("inside a character at %1").arg(at.value())));
    }

    // Lines: the count, and the caret's line and a random one, by the text.
    std::vector<std::size_t> starts{0};
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        starts.push_back(at + 1);
    }
    const auto lines = static_cast<std::int64_t>(starts.size());
    QCOMPARE(buffer.lineCount().value(), lines);
    const LineNumber caretLine = buffer.lineAt(box_->cursorPosition());
    for (const LineNumber line : {caretLine, LineNumber(random.below(static_cast<int>(lines)))}) {
        const std::size_t start = starts[line.index()];
        const std::size_t end =
            line.value() + 1 < lines ? starts[line.index() + 1] - 1 : text.size();
        QCOMPARE(buffer.lineStart(line).index(), start);
        QCOMPARE(buffer.lineEnd(line).index(), end);
        const QString decoded = Decoded(text.substr(start, end - start));
        if (decoded.size() > 65536) {
            // The caret never stands in the hidden part: past the first 65,536
            // units, or 65,535 where the next would split a surrogate pair.
            const qsizetype units = decoded.at(65535).isHighSurrogate() ? 65535 : 65536;
            const auto shownBytes = static_cast<std::size_t>(decoded.left(units).toUtf8().size());
            const std::size_t caret = box_->cursorPosition().index();
            if (line == caretLine) {
                QVERIFY2(caret - start <= shownBytes || caret == end,
                         "the caret stands in the hidden part");
            }
        } else if (line != caretLine) {
            QCOMPARE(box_->shownLineText(line), decoded);
        }
    }

    if (const std::optional<LineNumber> marked = box_->markedLine()) {
        QVERIFY(LineNumber(0) <= *marked && marked->value() < lines);
    }

    // The top row exists, and the scroll bar shows it within its range.
    const LineNumber top = box_->firstVisibleLine();
    QVERIFY(LineNumber(0) <= top && top.value() < lines);
    QVERIFY(0 <= box_->firstVisibleRow() && box_->firstVisibleRow() < box_->rowCount(top));
    const QScrollBar* bar = box_->verticalScrollBar();
    QVERIFY(bar->minimum() <= bar->value() && bar->value() <= bar->maximum());
    QVERIFY(bar->pageStep() >= 1);

    if (random.chance(3)) {
        undoAllRedoAll();
    }
}

void tst_TextBoxRandom::undoAllRedoAll() {
    const std::string edited = box_->text().str();
    const TextSnapshot snapshot = box_->snapshot();
    int steps = 0;
    while (box_->buffer().canUndo()) {
        const std::uint64_t revision = box_->revision();
        box_->undo();
        QVERIFY(box_->revision() != revision);
        ++steps;
    }
    QCOMPARE(QByteArray::fromStdString(box_->text().str()), QByteArray::fromStdString(original_));
    for (; steps > 0; --steps) {
        QVERIFY(box_->buffer().canRedo());
        box_->redo();
    }
    QCOMPARE(QByteArray::fromStdString(box_->text().str()), QByteArray::fromStdString(edited));
    // A snapshot taken before keeps its text whatever happened since.
    QCOMPARE(QByteArray::fromStdString(snapshot.join()->str()), QByteArray::fromStdString(edited));
}

QTEST_MAIN(tst_TextBoxRandom)
#include "tst_textbox_random.moc"

// The edit session: the caret, the anchor, mouse selections by unit, the
// pre-edit and the edits, given as scripts of session calls on marked texts.
// Expected texts, places and the lines reported changed are worked out by
// hand.

#include "text/EditSession.h"

#include <QTest>

#include <string>
#include <vector>

using namespace axlewise;

namespace {

// A text with the caret marked '|' and the anchor '^' (when something is
// selected): "a^bc|d" is "abcd" with "bc" selected, the caret after it.
struct Marked {
    std::string text;
    std::int64_t anchor = 0;
    std::int64_t caret = 0;
};

Marked Unmark(QByteArray text) {
    std::int64_t caret = text.indexOf('|');
    text.remove(caret, 1);
    std::int64_t anchor = text.indexOf('^');
    if (anchor < 0) {
        anchor = caret;
    } else {
        text.remove(anchor, 1);
        caret -= anchor < caret ? 1 : 0;
    }
    return {text.toStdString(), anchor, caret};
}

QByteArray Mark(const EditSession& session) {
    QByteArray text =
        QByteArray::fromStdString(session.buffer().text({ByteOffset(0), session.buffer().size()}));
    const auto caret = session.position().value();
    const auto anchor = session.anchor().value();
    if (anchor != caret) {
        text.insert(anchor, '^');
    }
    text.insert(caret + (anchor < caret && anchor != caret ? 1 : 0), '|');
    return text;
}

// Writes down what the session tells its listeners: "2-3-2" for lines 2..3
// replaced by line 2 alone, "all" for a new text.
class Recorder : public LineListener {
public:
    void linesReplaced(const LineChange& change) override {
        told << QStringLiteral("%1-%2-%3")
                    .arg(change.first.value())
                    .arg(change.oldLast.value())
                    .arg(change.newLast.value());
    }
    void textReplaced() override { told << QStringLiteral("all"); }
    QStringList told;
};

ByteOffset At(const QString& word) {
    return ByteOffset(word.toLongLong());
}

// Runs one command of a script: see script_data.
void Run(EditSession& session, const QString& command) {
    const qsizetype space = command.indexOf(QLatin1Char(' '));
    const QString name = command.left(space);
    const QString rest = space < 0 ? QString() : command.mid(space + 1);
    const QStringList word = rest.split(QLatin1Char(' '));
    const std::string text = rest.toStdString();
    if (name == QLatin1String("type")) {
        session.replaceSelection(text, true);
    } else if (name == QLatin1String("put")) {
        session.replaceSelection(text, false);
    } else if (name == QLatin1String("delete-to")) {
        session.deleteTo(At(word[0]));
    } else if (name == QLatin1String("undo")) {
        session.undo();
    } else if (name == QLatin1String("redo")) {
        session.redo();
    } else if (name == QLatin1String("select")) {
        session.select(At(word[0]), At(word[1]));
    } else if (name == QLatin1String("move")) {
        session.moveTo(At(word[0]), false);
    } else if (name == QLatin1String("extend")) {
        session.moveTo(At(word[0]), true);
    } else if (name == QLatin1String("drop")) {
        session.dropSelection(At(word[0]), false);
    } else if (name == QLatin1String("copy-drop")) {
        session.dropSelection(At(word[0]), true);
    } else if (name == QLatin1String("drag")) {
        const SelectUnit unit = word[0] == QLatin1String("word")   ? SelectUnit::Word
                                : word[0] == QLatin1String("line") ? SelectUnit::Line
                                                                   : SelectUnit::Character;
        session.beginDrag(unit, {At(word[1]), At(word[2])}, word.size() > 3);
    } else if (name == QLatin1String("drag-to")) {
        session.dragTo({At(word[0]), At(word[1])});
    } else if (name == QLatin1String("preedit")) {
        session.inputMethod({}, Utf16Index(0), Utf16Index(0), word[0].toStdU16String(),
                            Utf16Index(word[1].toLongLong()));
    } else if (name == QLatin1String("commit")) {
        // commit TEXT [FROM LENGTH]: the units around the caret it replaces.
        session.inputMethod(
            word[0].toStdString(), Utf16Index(word.size() > 1 ? word[1].toLongLong() : 0),
            Utf16Index(word.size() > 2 ? word[2].toLongLong() : 0), {}, Utf16Index(0));
    } else if (name == QLatin1String("drop-preedit")) {
        session.dropPreedit();
    } else if (name == QLatin1String("set-text")) {
        session.setText(SharedText(text));
    } else {
        QFAIL(qPrintable(QStringLiteral("unknown command ") + command));
    }
}

}  // namespace

class tst_EditSession : public QObject {
    Q_OBJECT

private slots:
    void script_data();
    void script();
    void preeditIsShownAndDropped_data();
    void preeditIsShownAndDropped();
    void longLine_data();
    void longLine();
};

void tst_EditSession::script_data() {
    QTest::addColumn<QByteArray>("before");  // marked
    QTest::addColumn<QString>("script");     // commands separated by ';'
    QTest::addColumn<QByteArray>("after");   // marked
    QTest::addColumn<QStringList>("told");   // what the listeners were told
    const auto row = [](const char* tag, const char* before, const char* script, const char* after,
                        const QStringList& told) {
        QTest::newRow(tag) << QByteArray(before) << QString::fromUtf8(script) << QByteArray(after)
                           << told;
    };
    // Edits: the caret after the new text, the lines they changed.
    row("typing replaces the selection", "ab^cd|e", "type X", "abX|e", {"0-0-0"});
    row("a break splits the line", "ab|c\nd", "put \n", "ab\n|c\nd", {"0-0-1"});
    row("deleting across breaks joins lines", "a\nb^c\nd\ne|f", "delete-to 0", "a\nb|f", {"1-3-1"});
    row("delete-to without a selection", "abc|def", "delete-to 5", "abc|f", {"0-0-0"});
    row("deleting nothing tells nothing", "ab|c", "delete-to 2", "ab|c", {});
    // Undo puts the text back selected, redo puts the caret after it.
    row("undo selects what it puts back", "hello ^big |world", "put ;undo", "hello ^big |world",
        {"0-0-0", "0-0-0"});
    row("redo selects what it puts back", "a|", "type b;type c;undo;redo", "a^bc|",
        {"0-0-0", "0-0-0", "0-0-0", "0-0-0"});
    row("undo of a paste over two lines", "x|", "put 1\n2\n3;undo", "x|", {"0-0-2", "0-2-0"});
    // The caret stands on characters' starts ("é" is two bytes, "€" three).
    row("a selection inside characters", "|\xE2\x82\xAC\xE2\x82\xAC", "select 1 5",
        "^\xE2\x82\xAC|\xE2\x82\xAC", {});
    row("places past the text are clamped", "ab|", "select -4 99", "^ab|", {});
    row("extend keeps the anchor", "a^b|cd", "extend 4", "a^bcd|", {});
    // Mouse selections by unit keep the unit first pressed on.
    row("words: dragging back keeps the first word", "one two three|", "drag word 4 7;drag-to 0 3",
        "|one two^ three", {});
    row("words: dragging on adds whole words", "one two three|", "drag word 4 7;drag-to 8 13",
        "one ^two three|", {});
    row("lines: dragging up from the second", "aa\nbb\ncc|", "drag line 3 6;drag-to 0 3",
        "|aa\nbb\n^cc", {});
    row("characters: shift extends from the anchor", "a^b|cdef", "drag char 5 5 shift", "a^bcde|f",
        {});
    // An edit ends a mouse selection, which then never reaches places of the
    // text it was pressed on: "last" is not lost, and no place is past the end.
    row("a line drag ends with a delete", "first line\n|www\nlast",
        "drag line 11 15;put ;drag-to 4 15;type x", "first line\nx|last", {"1-2-1", "1-1-1"});
    row("a word drag ends with typing", "|one two", "drag word 4 7;type x;drag-to 0 3", "one x|",
        {"0-0-0"});
    row("a drag ends with undo", "ab|", "type c;drag word 0 3;undo;drag-to 0 0", "ab|",
        {"0-0-0", "0-0-0"});
    // A selection dragged to another place: one undo step each.
    row("moved forward", "^ab|cdef", "drop 5", "cde^ab|f", {"0-0-0"});
    row("moved backward", "abcd^ef|", "drop 1", "a^ef|bcd", {"0-0-0"});
    row("moved down two lines", "^x|\ny\nz", "drop 4", "\ny\n^x|z", {"0-2-2"});
    row("moved, undone and redone", "^ab|cdef", "drop 5;undo;redo", "cde^ab|f",
        {"0-0-0", "0-0-0", "0-0-0"});
    row("dropped inside itself: nothing", "a^bcd|e", "drop 2", "a^bcd|e", {});
    row("dropped at its own end: nothing", "a^bcd|e", "drop 4", "a^bcd|e", {});
    row("copied", "^ab|c", "copy-drop 3", "abc^ab|", {"0-0-0"});
    // The pre-edit: the line it is shown on is told when it comes and goes.
    row("a pre-edit comes and goes with a move", "ab\nc|d", "preedit xy 1;move 0", "|ab\ncd",
        {"1-1-1", "1-1-1"});
    row("a commit replaces the selection", "a^bc|d", "commit Z", "aZ|d", {"0-0-0"});
    row("a commit replaces units around the caret", "abc|de", "commit Z -2 1", "aZ|cde", {"0-0-0"});
    row("a commit's replacement stays in the line", "x\nab|", "commit Z -9 99", "x\nZ|", {"1-1-1"});
    row("a commit over the text after a typed run is a step of its own", "|de",
        "type a;type b;commit Z 0 1;undo", "ab^d|e", {"0-0-0", "0-0-0", "0-0-0", "0-0-0"});
    row("a new text", "ab|c", "set-text xy", "|xy", {"all"});
}

void tst_EditSession::script() {
    QFETCH(QByteArray, before);
    QFETCH(QString, script);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, told);
    const Marked start = Unmark(before);
    EditSession session;
    session.setText(SharedText(start.text));
    session.select(ByteOffset(start.anchor), ByteOffset(start.caret));
    Recorder recorder;
    session.addListener(&recorder);
    for (const QString& command : script.split(QLatin1Char(';'))) {
        Run(session, command);
    }
    QCOMPARE(Mark(session), after);
    QCOMPARE(recorder.told, told);
}

void tst_EditSession::preeditIsShownAndDropped_data() {
    QTest::addColumn<QString>("script");  // after a pre-edit "xy" at "ab|c"
    QTest::addColumn<QString>("shown");   // line 0 as shown, "[..]" around the pre-edit
    QTest::addColumn<bool>("reset");      // the input method must be reset
    const auto row = [](const char* tag, const char* script, const char* shown, bool reset) {
        QTest::newRow(tag) << QString::fromLatin1(script) << QString::fromLatin1(shown) << reset;
    };
    row("shown at the caret", "", "ab[xy]c", false);
    row("the input method's next pre-edit needs no reset", "preedit z 0", "ab[z]c", false);
    row("a commit takes its place without a reset", "commit Q", "abQc", false);
    row("a move drops it", "move 0", "abc", true);
    row("an edit drops it", "type e", "abec", true);
    row("undo drops it", "undo", "abc", true);
    row("a new text drops it", "set-text abc", "abc", true);
}

void tst_EditSession::preeditIsShownAndDropped() {
    QFETCH(QString, script);
    QFETCH(QString, shown);
    QFETCH(bool, reset);
    EditSession session;
    session.setText(SharedText(std::string("abc")));
    session.moveTo(ByteOffset(2), false);
    Run(session, QStringLiteral("preedit xy 1"));
    session.takeChanges();
    if (!script.isEmpty()) {
        Run(session, script);
    }
    const ShownLine line = session.shownLine(LineNumber(0));
    QString found = QString::fromStdU16String(line.text());
    if (line.preeditAt() >= Utf16Index(0)) {
        found.insert(
            line.preeditAt().value(),
            QLatin1Char('[') + QString::fromStdU16String(session.preedit()) + QLatin1Char(']'));
    }
    QCOMPARE(found, shown);
    QCOMPARE(session.takeChanges().resetInput, reset);
}

void tst_EditSession::longLine_data() {
    // Line 1 of "x\n" + 70,000 'a' + "\nz": 65,536 'a' shown (bytes 2..65,538),
    // the rest hidden; the line ends at 70,002.
    QTest::addColumn<QString>("script");
    QTest::addColumn<qint64>("caret");
    QTest::addColumn<qint64>("anchor");
    QTest::addColumn<int>("imCursor");  // what an input method is told
    const auto row = [](const char* tag, const char* script, qint64 caret, qint64 anchor,
                        int imCursor) {
        QTest::newRow(tag) << QString::fromLatin1(script) << caret << anchor << imCursor;
    };
    row("a place in the hidden part moves to the line's end", "move 68000", 70002, 70002, 65536);
    row("the end of the shown part stays", "move 65538", 65538, 65538, 65536);
    row("the anchor on the line before counts as its start", "select 0 500", 500, 0, 498);
    // Deleting the break at the true end joins "z": the caret would stand in
    // the hidden part, and goes to the end of the joined line.
    row("the break deleted at the true end", "move 70002;delete-to 70003", 70003, 70003, 65536);
    row("one hidden character deleted at the end of the shown part", "move 65538;delete-to 65539",
        65538, 65538, 65536);
}

void tst_EditSession::longLine() {
    QFETCH(QString, script);
    QFETCH(qint64, caret);
    QFETCH(qint64, anchor);
    QFETCH(int, imCursor);
    EditSession session;
    session.setText(SharedText("x\n" + std::string(70000, 'a') + "\nz"));
    for (const QString& command : script.split(QLatin1Char(';'))) {
        Run(session, command);
    }
    QCOMPARE(session.position().value(), caret);
    QCOMPARE(session.anchor().value(), anchor);
    // Never past the text the input method is given.
    const InputContext context = session.inputContext();
    QCOMPARE(context.surrounding.size(), std::size_t(65536));
    QCOMPARE(context.cursor.value(), imCursor);
    QVERIFY(context.anchor.value() <= 65536);
}

// Bytes, lines and UTF-16 units are numbers of their own kinds: mixing them
// does not compile.
template <typename A, typename B>
concept Comparable = requires(A a, B b) {
    a < b;
};
static_assert(Comparable<ByteOffset, ByteOffset> && !Comparable<ByteOffset, Utf16Index>);
static_assert(!Comparable<ByteOffset, LineNumber> && !Comparable<ByteOffset, std::int64_t>);
static_assert(!std::is_constructible_v<ByteOffset, Utf16Index>);

QTEST_GUILESS_MAIN(tst_EditSession)
#include "tst_editsession.moc"

#include "loading/TextBuffer.h"

#include <QTest>

#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace axlewise;

using Offset = TextBuffer::Offset;
using Range = TextBuffer::Range;

namespace {

QList<qint64> Pair(const Range& range) {
    return {range.from, range.to};
}
QList<qint64> Pair(const std::optional<Range>& range) {
    return range ? Pair(*range) : QList<qint64>();
}

QByteArray Whole(const TextBuffer& buffer) {
    return QByteArray::fromStdString(buffer.text(0, buffer.size()));
}

// A slice in the middle of a larger block, so that offsets counted from the
// block instead of the slice show.
SharedText Loaded(std::string_view text) {
    const auto block = std::make_shared<const std::string>("<<" + std::string(text) + ">>");
    return SharedText(block, std::string_view(*block).substr(2, text.size()));
}

// The same text held as a plain string, with undo steps as copied strings: what
// the buffer must behave like.
struct PlainModel {
    struct Step {
        Offset at;
        std::string removed;
        std::string inserted;
    };
    std::string text;
    std::vector<Step> undos;
    std::vector<Step> redos;
    bool typing = false;

    Range replace(Offset from, Offset to, const std::string& s, bool merge) {
        if (from == to && s.empty()) {
            return {from, from};
        }
        const auto at = static_cast<std::size_t>(from);
        const auto count = static_cast<std::size_t>(to - from);
        std::string removed = text.substr(at, count);
        text.replace(at, count, s);
        redos.clear();
        if (merge && typing && from == to &&
            undos.back().at + static_cast<Offset>(undos.back().inserted.size()) == from) {
            undos.back().inserted += s;
        } else {
            undos.push_back({from, removed, s});
        }
        typing = merge;
        return {from, from + static_cast<Offset>(s.size())};
    }
    std::optional<Range> undo() { return move(undos, redos, true); }
    std::optional<Range> redo() { return move(redos, undos, false); }
    std::optional<Range> move(std::vector<Step>& from, std::vector<Step>& to, bool back) {
        typing = false;
        if (from.empty()) {
            return std::nullopt;
        }
        Step step = from.back();
        from.pop_back();
        const std::string& out = back ? step.inserted : step.removed;
        const std::string& in = back ? step.removed : step.inserted;
        text.replace(static_cast<std::size_t>(step.at), out.size(), in);
        to.push_back(step);
        return Range{step.at, step.at + static_cast<Offset>(in.size())};
    }
};

class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    // Uniform in 0..n-1 (n > 0).
    Offset below(Offset n) {
        return static_cast<Offset>(engine_() % static_cast<std::uint64_t>(n));
    }
    bool chance(int percent) { return below(100) < percent; }
    std::string line(Offset maxLength) {
        static constexpr std::string_view kChars = "abcdefxyz 0123456789,.";
        std::string out(static_cast<std::size_t>(below(maxLength + 1)), ' ');
        for (char& c : out) {
            c = kChars[static_cast<std::size_t>(below(static_cast<Offset>(kChars.size())))];
        }
        return out;
    }
    std::string lines(Offset count, Offset maxLength) {
        std::string out;
        for (Offset i = 0; i < count; ++i) {
            out += line(maxLength) + '\n';
        }
        return out;
    }
    // A short text, now and then with a line break in it.
    std::string snippet() { return chance(30) ? line(3) + '\n' + line(3) : line(4) + 'q'; }

private:
    std::mt19937_64 engine_;
};

bool SameText(const TextBuffer& buffer, std::string_view text) {
    Offset checked = 0;
    bool same = buffer.size() == static_cast<Offset>(text.size());
    buffer.forEachPiece(0, same ? buffer.size() : 0, [&](std::string_view piece) {
        same = same && !piece.empty() &&
               piece == text.substr(static_cast<std::size_t>(checked), piece.size());
        checked += static_cast<Offset>(piece.size());
    });
    return same;
}

// Line counts, lines and offsets sampled at random and at the ends, each with
// what the buffer gives for it and what the plain string says.
void Probe(const TextBuffer& buffer, const std::string& text, Random& random, QList<qint64>& actual,
           QList<qint64>& expected) {
    std::vector<Offset> breaks;
    for (auto at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        breaks.push_back(static_cast<Offset>(at));
    }
    const auto size = static_cast<Offset>(text.size());
    const auto lines = static_cast<Offset>(breaks.size()) + 1;
    actual << buffer.lineCount();
    expected << lines;
    for (Offset n : {Offset{0}, lines - 1, random.below(lines), random.below(lines)}) {
        actual << n << buffer.lineStart(n) << buffer.lineEnd(n);
        expected << n << (n == 0 ? 0 : breaks[static_cast<std::size_t>(n - 1)] + 1)
                 << (n == lines - 1 ? size : breaks[static_cast<std::size_t>(n)]);
    }
    const Offset atBreak =
        breaks.empty() ? 0 : breaks[static_cast<std::size_t>(random.below(lines - 1))];
    for (Offset at : {Offset{0}, size, atBreak, random.below(size + 1), random.below(size + 1)}) {
        actual << at << buffer.lineAt(at);
        expected << at << std::lower_bound(breaks.begin(), breaks.end(), at) - breaks.begin();
    }
    if (size > 0) {
        const Offset from = random.below(size);
        const Offset to = std::min(size, from + random.below(300));
        actual << from << buffer.at(from)
               << (buffer.text(from, to) == text.substr(static_cast<std::size_t>(from),
                                                        static_cast<std::size_t>(to - from)));
        expected << from << text[static_cast<std::size_t>(from)] << 1;
    }
}

}  // namespace

class tst_TextBuffer : public QObject {
    Q_OBJECT

private slots:
    void randomEditsMatchPlainString_data();
    void randomEditsMatchPlainString();
    void lineIndex_data();
    void lineIndex();
    void undoRedoRanges_data();
    void undoRedoRanges();
    void undoSteps_data();
    void undoSteps();
    void loadedBlockIsViewedNotCopied();
};

void tst_TextBuffer::randomEditsMatchPlainString_data() {
    QTest::addColumn<int>("startLines");
    QTest::addColumn<quint64>("seed");
    QTest::newRow("empty start") << 0 << quint64{1};
    QTest::newRow("3,000 lines") << 3000 << quint64{2};
    QTest::newRow("3,000 lines, another seed") << 3000 << quint64{3};
}

// Thousands of edits of every kind, each followed by a comparison with the
// plain string: splits and joins of spans, the prefix sums after them, the
// break index of both buffers, and undo steps that hold spans.
void tst_TextBuffer::randomEditsMatchPlainString() {
    QFETCH(int, startLines);
    QFETCH(quint64, seed);
    Random random(seed);
    TextBuffer buffer;
    PlainModel model;
    const std::string start = random.lines(startLines, 60);
    buffer.setText(Loaded(start));
    model.text = start;

    for (int step = 0; step < 3000; ++step) {
        const Offset size = static_cast<Offset>(model.text.size());
        const Offset from = random.below(size + 1);
        const Offset to = std::min(size, from + random.below(random.chance(5) ? 5000 : 40));
        const Offset kind = random.below(100);
        Range edited;
        const auto edit = [&](Offset a, Offset b, const std::string& s, bool merge) {
            edited = buffer.replace(a, b, s, merge);
            QCOMPARE(Pair(edited), Pair(model.replace(a, b, s, merge)));
        };
        if (kind < 18) {
            edit(from, from, random.snippet(), false);
        } else if (kind < 30) {
            edit(from, to, {}, false);
        } else if (kind < 40) {
            edit(from, to, random.snippet(), false);
        } else if (kind < 48) {
            edit(from, random.chance(50) ? from : to, random.lines(random.below(40) + 1, 70),
                 false);
        } else if (kind < 63) {
            // A typing run, now and then over a selection or broken by closeUndoStep.
            Offset at = from;
            if (random.chance(20)) {
                edit(from, to, random.line(1) + 'x', true);
                at = edited.to;
            }
            for (Offset n = random.below(8) + 1; n > 0; --n) {
                if (random.chance(10)) {
                    buffer.closeUndoStep();
                    model.typing = false;
                }
                const std::string typed = random.chance(15) ? "\n" : random.line(1) + 'y';
                edit(at, at, typed.substr(0, 1), true);
                at += 1;
            }
        } else if (kind < 83) {
            for (Offset n = random.below(3) + 1; n > 0; --n) {
                QCOMPARE(buffer.canUndo(), !model.undos.empty());
                QCOMPARE(Pair(buffer.undo()), Pair(model.undo()));
            }
        } else if (kind < 97) {
            for (Offset n = random.below(3) + 1; n > 0; --n) {
                QCOMPARE(buffer.canRedo(), !model.redos.empty());
                QCOMPARE(Pair(buffer.redo()), Pair(model.redo()));
            }
        } else if (kind < 99) {
            edit(0, size, {}, false);  // select all, delete
        } else {
            const std::string text = random.lines(random.below(500), 60);
            buffer.setText(Loaded(text));
            model = PlainModel();
            model.text = text;
            QVERIFY(!buffer.canUndo() && !buffer.canRedo());
        }
        QVERIFY2(!QTest::currentTestFailed() && SameText(buffer, model.text),
                 qPrintable(QStringLiteral("step %1").arg(step)));
        QList<qint64> actual, expected;
        Probe(buffer, model.text, random, actual, expected);
        if (actual != expected) {
            qWarning("step %d", step);
        }
        QCOMPARE(actual, expected);
    }
}

void tst_TextBuffer::lineIndex_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("build");
    QTest::addColumn<QList<qint64>>("starts");      // lineStart of each line
    QTest::addColumn<QList<qint64>>("ends");        // lineEnd of each line
    QTest::addColumn<QList<qint64>>("lineAtEach");  // lineAt of each offset 0..size
    struct Row {
        const char* name;
        QByteArray text;
        QList<qint64> starts, ends, lineAtEach;
    };
    const Row rows[] = {
        {"empty text", "", {0}, {0}, {0}},
        {"one line without a break", "ab", {0}, {2}, {0, 0, 0}},
        {"trailing break", "ab\n", {0, 3}, {2, 3}, {0, 0, 0, 1}},
        {"only breaks", "\n\n", {0, 1, 2}, {0, 1, 2}, {0, 1, 2}},
        {"empty line between", "a\n\nbc", {0, 2, 3}, {1, 2, 5}, {0, 0, 1, 2, 2, 2}},
        {"two-byte and three-byte characters",
         "\xC3\xA9\n\xE2\x82\xAC",
         {0, 3},
         {2, 6},
         {0, 0, 0, 1, 1, 1, 1}},
    };
    // Loaded as a slice of a larger block; typed backwards, a span per byte in
    // the add buffer; the second half loaded and the first half typed before it.
    for (const Row& row : rows) {
        for (const char* build : {"loaded", "typed backwards", "half loaded, half typed"}) {
            QTest::addRow("%s, %s", row.name, build) << row.text << QString::fromLatin1(build)
                                                     << row.starts << row.ends << row.lineAtEach;
        }
    }
}

void tst_TextBuffer::lineIndex() {
    QFETCH(QByteArray, text);
    QFETCH(QString, build);
    QFETCH(QList<qint64>, starts);
    QFETCH(QList<qint64>, ends);
    QFETCH(QList<qint64>, lineAtEach);
    const std::string all = text.toStdString();
    TextBuffer buffer;
    if (build == QLatin1String("loaded")) {
        buffer.setText(Loaded(all));
    } else if (build == QLatin1String("typed backwards")) {
        for (auto i = all.size(); i-- > 0;) {
            buffer.insert(0, all.substr(i, 1));
        }
    } else {
        const std::size_t half = all.size() / 2;
        buffer.setText(Loaded(all.substr(half)));
        for (std::size_t i = 0; i < half; ++i) {
            buffer.insert(static_cast<Offset>(i), all.substr(i, 1), true);
        }
    }
    QCOMPARE(Whole(buffer), text);
    QCOMPARE(buffer.lineCount(), starts.size());
    for (qsizetype n = 0; n < starts.size(); ++n) {
        QCOMPARE(buffer.lineStart(n), starts[n]);
        QCOMPARE(buffer.lineEnd(n), ends[n]);
    }
    for (qsizetype offset = 0; offset <= text.size(); ++offset) {
        QCOMPARE(buffer.lineAt(offset), lineAtEach[offset]);
    }
}

void tst_TextBuffer::undoRedoRanges_data() {
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    QTest::addColumn<QByteArray>("inserted");
    QTest::addColumn<QByteArray>("edited");
    // The ranges that the edit, its undo and its redo return, from and to of each.
    QTest::addColumn<QList<qint64>>("ranges");
    const auto row = [](const char* tag, const QByteArray& start, qint64 from, qint64 to,
                        const QByteArray& inserted, const QByteArray& edited,
                        const QList<qint64>& ranges) {
        QTest::newRow(tag) << start << from << to << inserted << edited << ranges;
    };
    row("insert", "abc", 1, 1, "XY", "aXYbc", {1, 3, 1, 1, 1, 3});
    row("remove", "abcdef", 1, 4, "", "aef", {1, 1, 1, 4, 1, 1});
    row("replace by a longer text", "abcdef", 2, 3, "XYZ", "abXYZdef", {2, 5, 2, 3, 2, 5});
    row("replace across lines by a break", "ab\ncd\nef", 1, 7, "\n", "a\nf", {1, 2, 1, 7, 1, 2});
    row("remove everything", "ab\ncd", 0, 5, "", "", {0, 0, 0, 5, 0, 0});
    row("insert into an empty text", "", 0, 0, "x\n", "x\n", {0, 2, 0, 0, 0, 2});
    row("append at the end", "ab", 2, 2, "c\n", "abc\n", {2, 4, 2, 2, 2, 4});
}

// The ranges for the caret, the texts, and which of undo and redo can act.
void tst_TextBuffer::undoRedoRanges() {
    QFETCH(QByteArray, start);
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    QFETCH(QByteArray, inserted);
    QFETCH(QByteArray, edited);
    QFETCH(QList<qint64>, ranges);
    TextBuffer buffer;
    buffer.setText(Loaded(start.toStdString()));
    QVERIFY(!buffer.canUndo() && !buffer.undo());
    QCOMPARE(Pair(buffer.replace(from, to, inserted.toStdString())), ranges.mid(0, 2));
    QCOMPARE(Whole(buffer), edited);
    QVERIFY(buffer.canUndo() && !buffer.canRedo() && !buffer.redo());

    QCOMPARE(Pair(buffer.undo()), ranges.mid(2, 2));
    QCOMPARE(Whole(buffer), start);
    QVERIFY(!buffer.canUndo() && buffer.canRedo() && !buffer.undo());

    QCOMPARE(Pair(buffer.redo()), ranges.mid(4, 2));
    QCOMPARE(Whole(buffer), edited);
    QVERIFY(buffer.canUndo() && !buffer.canRedo() && !buffer.redo());

    // A new edit after an undo drops the step that could have been redone.
    buffer.undo();
    buffer.insert(0, "!");
    QVERIFY(!buffer.canRedo() && !buffer.redo());
    QCOMPARE(Whole(buffer), "!" + start);
}

void tst_TextBuffer::undoSteps_data() {
    QTest::addColumn<QByteArray>("start");
    // "type AT TEXT" and "typeover FROM TO TEXT" merge, "insert AT TEXT" and
    // "remove FROM TO" do not; "close", "undo", "redo".
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QByteArray>("edited");
    QTest::addColumn<QByteArrayList>("undone");  // the text after each undo, until none is left
    const auto row = [](const char* tag, const QByteArray& start, const char* script,
                        const QByteArray& edited, const QByteArrayList& undone) {
        QTest::newRow(tag) << start << QString::fromLatin1(script).split(QLatin1Char(';')) << edited
                           << undone;
    };
    row("typed characters undo together", "", "type 0 a;type 1 b;type 2 c", "abc", {""});
    row("a typed break stays in the step", "x", "type 1 a;type 2 \n;type 3 b", "xa\nb", {"x"});
    row("typing elsewhere starts a step", "", "type 0 a;type 1 b;type 0 c", "cab", {"ab", ""});
    row("a removal starts a step", "", "type 0 a;type 1 b;remove 1 2;type 1 c", "ac",
        {"a", "ab", ""});
    row("closeUndoStep starts a step", "", "type 0 a;close;type 1 b", "ab", {"a", ""});
    row("a plain insert is a step of its own", "", "type 0 a;insert 1 bc;type 3 d", "abcd",
        {"abc", "a", ""});
    row("typing over a selection undoes with what follows", "hello", "typeover 0 5 w;type 1 o",
        "wo", {"hello"});
    row("typing over a selection after typing starts a step", "X",
        "type 0 a;type 1 b;typeover 2 3 c", "abc", {"abX", "X"});
    row("typing after an undo starts a step", "", "type 0 a;close;type 1 b;undo;type 1 c", "ac",
        {"a", ""});
    row("typing after a redo starts a step", "", "type 0 a;type 1 b;undo;redo;type 2 c", "abc",
        {"ab", ""});
}

// Which edits undo together: the texts after each undo, then all redone.
void tst_TextBuffer::undoSteps() {
    QFETCH(QByteArray, start);
    QFETCH(QStringList, script);
    QFETCH(QByteArray, edited);
    QFETCH(QByteArrayList, undone);
    TextBuffer buffer;
    buffer.setText(Loaded(start.toStdString()));
    for (const QString& command : script) {
        const QStringList word = command.split(QLatin1Char(' '));
        const auto number = [&word](int i) { return word[i].toLongLong(); };
        const auto text = [&word](int i) { return word[i].toStdString(); };
        if (word[0] == QLatin1String("type")) {
            buffer.insert(number(1), text(2), true);
        } else if (word[0] == QLatin1String("typeover")) {
            buffer.replace(number(1), number(2), text(3), true);
        } else if (word[0] == QLatin1String("insert")) {
            buffer.insert(number(1), text(2));
        } else if (word[0] == QLatin1String("remove")) {
            buffer.remove(number(1), number(2));
        } else if (word[0] == QLatin1String("close")) {
            buffer.closeUndoStep();
        } else if (word[0] == QLatin1String("undo")) {
            QVERIFY(buffer.undo());
        } else {
            QVERIFY(buffer.redo());
        }
    }
    QCOMPARE(Whole(buffer), edited);
    QByteArrayList texts;
    while (buffer.undo()) {
        texts << Whole(buffer);
    }
    QCOMPARE(texts, undone);
    while (buffer.redo()) {
    }
    QCOMPARE(Whole(buffer), edited);
}

// The box holds the loaded block itself and gives it back while the text is
// unchanged, so that reading a loaded text costs no copy.
void tst_TextBuffer::loadedBlockIsViewedNotCopied() {
    const auto block = std::make_shared<const std::string>("head\nab\ncd\ntail");
    const SharedText slice(block, std::string_view(*block).substr(5, 6));  // "ab\ncd\n"
    QCOMPARE(block.use_count(), 2);
    TextBuffer buffer;
    buffer.insert(0, "x");
    buffer.setText(slice);
    QCOMPARE(block.use_count(), 3);
    QVERIFY(!buffer.canUndo());
    QCOMPARE(buffer.lineCount(), 3);
    QCOMPARE(buffer.lineStart(1), 3);

    const auto same = [&](const SharedText& text) {
        return text.block().get() == block.get() && text.view().data() == block->data() + 5 &&
               text.size() == 6;
    };
    QVERIFY(same(buffer.sharedText()));
    buffer.insert(2, "X");
    const SharedText edited = buffer.sharedText();
    QCOMPARE(edited.view(), "abX\ncd\n");
    QVERIFY(edited.block() != block);
    buffer.remove(0, 7);  // the text split around the insert, then removed whole
    QVERIFY(buffer.sharedText().empty());
    buffer.undo();
    buffer.undo();
    QVERIFY(same(buffer.sharedText()));
    buffer.redo();
    buffer.undo();
    QVERIFY(same(buffer.sharedText()));
    // One stretch of the loaded text, its first line deleted: still a slice.
    buffer.remove(0, 3);
    {
        const SharedText rest = buffer.sharedText();
        QVERIFY(rest.block() == block && rest.view().data() == block->data() + 8);
        QCOMPARE(rest.view(), "cd\n");
    }

    buffer.setText(SharedText());
    QCOMPARE(block.use_count(), 2);
    QVERIFY(buffer.sharedText().empty() && buffer.lineCount() == 1 && !buffer.canUndo());
    buffer.insert(0, "a");
    buffer.undo();
    QVERIFY(buffer.sharedText().empty());
}

QTEST_GUILESS_MAIN(tst_TextBuffer)
#include "tst_textbuffer.moc"

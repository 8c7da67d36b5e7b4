#include "text/TextBuffer.h"

#include <QTest>

#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace axlewise;

namespace {

using Offset = std::int64_t;
using Pair = QList<qint64>;  // a range as plain numbers, empty for none

ByteRange Bytes(Offset from, Offset to) {
    return {ByteOffset(from), ByteOffset(to)};
}

Pair Plain(const std::optional<ByteRange>& range) {
    return range ? Pair{range->from.value(), range->to.value()} : Pair();
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
        std::string removed, inserted;
    };
    std::string text;
    std::vector<Step> undos, redos;
    bool typing = false;

    Pair replace(Offset from, Offset to, const std::string& s, bool merge) {
        if (from == to && s.empty()) {
            return {from, from};
        }
        const auto at = static_cast<std::size_t>(from);
        const auto count = static_cast<std::size_t>(to - from);
        Step step{from, text.substr(at, count), s};
        text.replace(at, count, s);
        redos.clear();
        if (merge && typing && from == to &&
            undos.back().at + static_cast<Offset>(undos.back().inserted.size()) == from) {
            undos.back().inserted += s;
        } else {
            undos.push_back(step);
        }
        typing = merge;
        return {from, from + static_cast<Offset>(s.size())};
    }
    // Undoes (back) or redoes the last step and moves it to the other list.
    Pair move(bool back) {
        std::vector<Step>& from = back ? undos : redos;
        std::vector<Step>& to = back ? redos : undos;
        typing = false;
        if (from.empty()) {
            return {};
        }
        to.push_back(from.back());
        from.pop_back();
        const Step& step = to.back();
        const std::string& in = back ? step.removed : step.inserted;
        text.replace(static_cast<std::size_t>(step.at),
                     (back ? step.inserted : step.removed).size(), in);
        return {step.at, step.at + static_cast<Offset>(in.size())};
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

// The text piece by piece (no piece empty), which of undo and redo can act, line
// counts, lines and offsets sampled at random and at the ends, each with what
// the buffer gives for it and what the model says.
void Probe(const TextBuffer& buffer, const PlainModel& model, Random& random, QList<qint64>& actual,
           QList<qint64>& expected) {
    const std::string& text = model.text;
    const auto size = static_cast<Offset>(text.size());
    std::size_t checked = 0;
    bool same = buffer.size().value() == size;
    buffer.forEachPiece(Bytes(0, same ? size : 0), [&](std::string_view piece) {
        same = same && !piece.empty() && text.compare(checked, piece.size(), piece) == 0;
        checked += piece.size();
    });
    actual << same << buffer.canUndo() << buffer.canRedo();
    expected << true << !model.undos.empty() << !model.redos.empty();
    // The offset of the break before each line (-1 for the first), then size.
    std::vector<Offset> ends{-1};
    for (auto at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        ends.push_back(static_cast<Offset>(at));
    }
    const auto lines = static_cast<Offset>(ends.size());
    ends.push_back(size);
    const auto end = [&ends](Offset n) { return ends[static_cast<std::size_t>(n)]; };
    actual << buffer.lineCount().value();
    expected << lines;
    for (Offset n : {Offset{0}, lines - 1, random.below(lines), random.below(lines)}) {
        actual << n << buffer.lineStart(LineNumber(n)).value()
               << buffer.lineEnd(LineNumber(n)).value();
        expected << n << end(n) + 1 << end(n + 1);
    }
    const Offset atBreak = lines == 1 ? 0 : end(random.below(lines - 1) + 1);
    for (Offset at : {Offset{0}, size, atBreak, random.below(size + 1), random.below(size + 1)}) {
        actual << at << buffer.lineAt(ByteOffset(at)).value();
        expected << at << std::lower_bound(ends.begin() + 1, ends.end(), at) - ends.begin() - 1;
    }
    if (size > 0) {
        const Offset from = random.below(size);
        const Offset to = std::min(size, from + random.below(300));
        actual << from << buffer.at(ByteOffset(from))
               << (buffer.text(Bytes(from, to)) ==
                   text.substr(static_cast<std::size_t>(from),
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
    void loadedBlockIsViewedNotCopied();
    void revision_data();
    void revision();
    void snapshotKeepsItsText();
    void join_data();
    void join();
    void charactersAcrossPieces();
};

void tst_TextBuffer::randomEditsMatchPlainString_data() {
    QTest::addColumn<int>("startLines");
    QTest::addColumn<quint64>("seed");
    QTest::newRow("empty start") << 0 << quint64{1};
    QTest::newRow("3,000 lines") << 3000 << quint64{2};
}

// Thousands of edits of every kind, each followed by a comparison with the
// plain string: splits and joins of spans, the prefix sums after them, the
// break index of both buffers, undo steps that hold spans, and which edits
// undo together (a typed run; not across a removal, closeUndoStep, an undo
// or typing elsewhere) with the ranges undo and redo give the caret.
void tst_TextBuffer::randomEditsMatchPlainString() {
    QFETCH(int, startLines);
    QFETCH(quint64, seed);
    Random random(seed);
    TextBuffer buffer;
    PlainModel model;
    const auto load = [&](const std::string& text) {
        buffer.setText(Loaded(text));
        model = PlainModel();
        model.text = text;
    };
    load(random.lines(startLines, 60));

    for (int step = 0; step < 3000; ++step) {
        const Offset size = static_cast<Offset>(model.text.size());
        const Offset from = random.below(size + 1);
        const Offset to = std::min(size, from + random.below(random.chance(5) ? 5000 : 40));
        const Offset kind = random.below(100);
        Pair edited;
        const auto edit = [&](Offset a, Offset b, const std::string& s, bool merge) {
            edited = Plain(buffer.replace(Bytes(a, b), s, merge));
            QCOMPARE(edited, model.replace(a, b, s, merge));
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
                at = edited.back();
            }
            for (Offset n = random.below(8) + 1; n > 0; --n) {
                if (random.chance(10)) {
                    buffer.closeUndoStep();
                    model.typing = false;
                }
                edit(at, at, random.chance(15) ? "\n" : (random.line(1) + 'y').substr(0, 1), true);
                at += 1;
            }
        } else if (kind < 97) {
            const bool undo = kind < 83;
            for (Offset n = random.below(3) + 1; n > 0; --n) {
                QCOMPARE(Plain(undo ? buffer.undo() : buffer.redo()), model.move(undo));
            }
        } else if (kind < 99) {
            edit(0, size, {}, false);  // select all, delete
        } else {
            load(random.lines(random.below(500), 60));
        }
        QList<qint64> actual, expected;
        Probe(buffer, model, random, actual, expected);
        if (QTest::currentTestFailed() || actual != expected) {
            qWarning("step %d", step);
        }
        QCOMPARE(actual, expected);
    }
}

// The box holds the loaded block itself and gives it back while the text is
// unchanged, so that reading a loaded text costs no copy.
void tst_TextBuffer::loadedBlockIsViewedNotCopied() {
    const auto block = std::make_shared<const std::string>("head\nab\ncd\ntail");
    const SharedText slice(block, std::string_view(*block).substr(5, 6));  // "ab\ncd\n"
    TextBuffer buffer;
    const long held = block.use_count();
    buffer.setText(slice);
    QVERIFY(block.use_count() > held);
    // Whether text is [from, from + size) of the block itself.
    const auto inBlock = [&](const SharedText& text, std::size_t from, std::size_t size) {
        return text.block() == block && text.view().data() == block->data() + from &&
               text.size() == size;
    };
    QVERIFY(inBlock(buffer.sharedText(), 5, 6));

    buffer.insert(ByteOffset(2), "X");
    const SharedText edited = buffer.sharedText();
    QCOMPARE(edited.view(), "abX\ncd\n");
    QVERIFY(edited.block() != block);
    buffer.remove(Bytes(0, 7));  // the text split around the insert, then removed whole
    QVERIFY(buffer.sharedText().empty());
    buffer.undo();
    buffer.undo();
    QVERIFY(inBlock(buffer.sharedText(), 5, 6));
    // One stretch of the loaded text, its first line deleted: still a slice.
    buffer.remove(Bytes(0, 3));
    QVERIFY(inBlock(buffer.sharedText(), 8, 3));  // "cd\n"

    buffer.setText(SharedText());
    QCOMPARE(block.use_count(), held);
    QVERIFY(buffer.sharedText().empty() && buffer.lineCount() == LineNumber(1) &&
            !buffer.canUndo());
}

void tst_TextBuffer::revision_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("changed");  // per command: '+' a new revision, '=' the same
    QTest::newRow("edits, undo and redo") << "edit 0 0 a;type 1 1 b;type 2 2 c;undo;redo;undo;undo"
                                          << "+++++++";
    QTest::newRow("nothing replaced by nothing, and no step to take") << "edit 0 0 ;undo;redo;close"
                                                                      << "====";
    QTest::newRow("moves and copies") << "edit 0 0 abc;move 0 1 3;copy 0 1 0;undo;undo"
                                      << "+++++";
}

// The window reads the box's text in the background and must tell whether it
// is still the text it read: the revision changes with every change.
void tst_TextBuffer::revision() {
    QFETCH(QString, script);
    QFETCH(QString, changed);
    TextBuffer buffer;
    QString found;
    for (const QString& command : script.split(QLatin1Char(';'))) {
        const QStringList word = command.split(QLatin1Char(' '));
        const std::uint64_t before = buffer.revision();
        const auto at = [&word](int i) { return ByteOffset(word[i].toLongLong()); };
        if (word[0] == QLatin1String("undo")) {
            buffer.undo();
        } else if (word[0] == QLatin1String("redo")) {
            buffer.redo();
        } else if (word[0] == QLatin1String("close")) {
            buffer.closeUndoStep();
        } else if (word[0] == QLatin1String("move")) {
            buffer.move({at(1), at(2)}, at(3));
        } else if (word[0] == QLatin1String("copy")) {
            buffer.copy({at(1), at(2)}, at(3));
        } else {
            buffer.replace({at(1), at(2)}, word[3].toStdString(), word[0] == QLatin1String("type"));
        }
        found += buffer.revision() != before ? QLatin1Char('+') : QLatin1Char('=');
    }
    QCOMPARE(found, changed);
}

// A snapshot is the text as it was, whatever the buffer does after, also when
// read on another thread while the buffer goes on being edited.
void tst_TextBuffer::snapshotKeepsItsText() {
    TextBuffer buffer;
    buffer.setText(Loaded("one\ntwo\n"));
    buffer.insert(ByteOffset(3), " more");
    const TextSnapshot snapshot = buffer.snapshot();
    const TextSnapshot copy = snapshot;
    std::string read;
    std::thread reader([&read, copy] { read = copy.join()->str(); });
    for (int i = 0; i < 2000; ++i) {
        buffer.insert(ByteOffset(0), "x");
        buffer.remove(Bytes(buffer.size().value() - 1, buffer.size().value()));
    }
    reader.join();
    buffer.setText(Loaded("other"));
    QCOMPARE(read, "one more\ntwo\n");
    QCOMPARE(snapshot.join()->str(), "one more\ntwo\n");
    QCOMPARE(snapshot.text(Bytes(4, 8)), "more");
    QCOMPARE(snapshot.size().value(), 13);
    QVERIFY(snapshot.revision() != buffer.revision());
}

void tst_TextBuffer::join_data() {
    QTest::addColumn<int>("cancelAt");         // the call of progress that says stop, 0 none
    QTest::addColumn<QList<double>>("calls");  // what progress was told
    QTest::addColumn<bool>("joined");
    // 10 MiB in three pieces: told after 4 and 8 MiB and at the end.
    QTest::newRow("to the end") << 0 << QList<double>{0.4, 0.8, 1.0} << true;
    QTest::newRow("cancelled half way") << 2 << QList<double>{0.4, 0.8} << false;
    QTest::newRow("cancelled at the end") << 3 << QList<double>{0.4, 0.8, 1.0} << false;
}

void tst_TextBuffer::join() {
    QFETCH(int, cancelAt);
    QFETCH(QList<double>, calls);
    QFETCH(bool, joined);
    constexpr std::size_t kMiB = 1 << 20;
    const std::string loaded = std::string(5 * kMiB, 'a') + std::string(5 * kMiB - 1, 'c');
    TextBuffer buffer;
    buffer.setText(Loaded(loaded));
    buffer.insert(ByteOffset(5 * kMiB), "b");  // 10 MiB in three pieces
    QList<double> told;
    const std::optional<SharedText> text = buffer.snapshot().join([&](double done) {
        told << done;
        return told.size() != cancelAt;
    });
    QCOMPARE(told, calls);
    QCOMPARE(text.has_value(), joined);
    if (text) {
        QVERIFY(text->view() == std::string(5 * kMiB, 'a') + 'b' + std::string(5 * kMiB - 1, 'c'));
    }
}

// A character can lie across two pieces: counted once, and its bytes are not
// places of their own.
void tst_TextBuffer::charactersAcrossPieces() {
    TextBuffer buffer;
    buffer.setText(Loaded("a\xF0\x9F"));
    buffer.insert(ByteOffset(3), "\x98\x80z");  // "a😀z", the 😀 in both pieces
    QCOMPARE(buffer.countChars(Bytes(0, 6)), 3);
    QCOMPARE(buffer.countChars(Bytes(1, 5)), 1);
    QList<qint64> starts, nexts, previous;
    for (ByteOffset at(0); at <= buffer.size(); ++at) {
        starts << buffer.charStart(at).value();
        nexts << buffer.nextChar(at).value();
        previous << buffer.previousChar(at).value();
    }
    QCOMPARE(starts, (QList<qint64>{0, 1, 1, 1, 1, 5, 6}));
    QCOMPARE(nexts, (QList<qint64>{1, 5, 3, 4, 5, 6, 6}));
    QCOMPARE(previous, (QList<qint64>{0, 0, 1, 1, 1, 1, 5}));
    // Cut right after its lead byte, whose next byte has a narrower range.
    buffer.setText(Loaded("x\xF0"));
    buffer.insert(ByteOffset(2), "\x93\x8C\x83\t");
    QCOMPARE(buffer.countChars(Bytes(0, 6)), 3);
}

QTEST_GUILESS_MAIN(tst_TextBuffer)
#include "tst_textbuffer.moc"

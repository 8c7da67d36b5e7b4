// Find over the box's text model: forward and backward from a selection,
// going round the ends, ASCII and Latin-1 folding (and no other), overlapping
// candidates, matches at the ends of the text, matches across the pieces of
// an edited text (random edited texts against a plain search of the whole
// text). Expected ranges are worked out by hand.

#include "text/Find.h"

#include "text/TextBuffer.h"
#include "text/TextSnapshot.h"

#include <QTest>

#include <memory>
#include <random>
#include <string>

using namespace axlewise;

namespace {

// A slice in the middle of a larger block, as a load gives it.
SharedText Loaded(const QByteArray& text) {
    const auto block = std::make_shared<const std::string>("<<" + text.toStdString() + ">>");
    return SharedText(block, std::string_view(*block).substr(2, std::size_t(text.size())));
}

// "Found 4 7", "Wrapped 0 3" or "NotFound".
QString Described(const FoundText& found) {
    if (found.result == FindResult::NotFound) {
        return QStringLiteral("NotFound");
    }
    return QStringLiteral("%1 %2 %3")
        .arg(found.result == FindResult::Found ? "Found" : "Wrapped")
        .arg(found.range.from.value())
        .arg(found.range.to.value());
}

bool IsContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The reference: both sides folded as a whole (ASCII letters to small ones,
// the second byte of a Latin-1 capital after C3 to the small letter's), then
// every start tried in turn.
std::string Folded(std::string s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        const bool tail = i > 0 && static_cast<unsigned char>(s[i - 1]) == 0xC3 && c >= 0x80 &&
                          c <= 0x9E && c != 0x97;
        if ((c >= 'A' && c <= 'Z') || tail) {
            s[i] = static_cast<char>(c + 0x20);
        }
    }
    return s;
}

FoundText PlainFind(std::string text, std::string needle, ByteRange selection,
                    FindOptions options) {
    if (!options.matchCase) {
        text = Folded(text);
        needle = Folded(needle);
    }
    const auto size = static_cast<std::int64_t>(text.size());
    const auto n = static_cast<std::int64_t>(needle.size());
    std::vector<std::int64_t> starts;
    for (std::int64_t at = 0; n > 0 && at + n <= size; ++at) {
        if (text.compare(static_cast<std::size_t>(at), needle.size(), needle) == 0) {
            starts.push_back(at);
        }
    }
    if (starts.empty()) {
        return {};
    }
    const auto found = [n](std::int64_t at, FindResult result) {
        return FoundText{result, {ByteOffset(at), ByteOffset(at + n)}};
    };
    if (!options.backward) {
        for (const std::int64_t at : starts) {
            if (at >= selection.to.value()) {
                return found(at, FindResult::Found);
            }
        }
        return found(starts.front(), FindResult::Wrapped);
    }
    for (auto at = starts.rbegin(); at != starts.rend(); ++at) {
        if (*at + n <= selection.from.value()) {
            return found(*at, FindResult::Found);
        }
    }
    return found(starts.back(), FindResult::Wrapped);
}

}  // namespace

class tst_Find : public QObject {
    Q_OBJECT

private slots:
    void find_data();
    void find();
    void randomEdits_matchAPlainSearch();
};

void tst_Find::find_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QByteArray>("needle");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* tag, const char* text, int anchor, int caret,
                        const char* needle, const char* expected) {
        QTest::newRow(tag) << QByteArray(text) << anchor << caret << QByteArray(needle)
                           << QString::fromLatin1(expected);
    };
    // Directions, wrapping and overlapping starts are left to the random
    // search; these are the edges it does not reach.
    const char* const two = "one Two three two TWO";
    row("the only match, selected, is found again on wrapping", two, 8, 13, "three",
        "Wrapped 8 13");
    row("an empty needle finds nothing", two, 0, 0, "", "NotFound");
    row("a needle longer than the text", "ab", 0, 0, "abc", "NotFound");
    row("a caret past the end is taken as the end", "ab", 9, 9, "a", "Wrapped 0 1");
    // Folding: the ends of each range that folds.
    row("@ and ` do not fold", "a`b", 0, 0, "a@b", "NotFound");
    row("[ and { do not fold", "{", 0, 0, "[", "NotFound");
    row("A grave and thorn, the ends of the range, fold", "x\xC3\xA0\xC3\xBE", 0, 0,
        "\xC3\x80\xC3\x9E", "Found 1 5");
    row("a second byte after a lead other than C3 does not fold", "\xC4\xA9", 0, 0, "\xC4\x89",
        "NotFound");
    row("a folded needle of digits and a letter", "12 7 A 12 7 a", 0, 0, "12 7 a", "Found 0 6");
}

void tst_Find::find() {
    QFETCH(QByteArray, text);
    QFETCH(int, anchor);
    QFETCH(int, caret);
    QFETCH(QByteArray, needle);
    QFETCH(QString, expected);
    TextBuffer buffer;
    buffer.setText(Loaded(text));
    const ByteRange selection{ByteOffset(std::min(anchor, caret)),
                              ByteOffset(std::max(anchor, caret))};
    const std::string_view wanted(needle.constData(), std::size_t(needle.size()));
    QCOMPARE(Described(Find(buffer, wanted, selection, FindOptions{})), expected);
}

// Random texts of letters that fold and letters that do not, edited into
// many pieces (characters cut between them too), searched both ways from
// random places for needles taken from the text, often in the other case.
void tst_Find::randomEdits_matchAPlainSearch() {
    static const char* const kChars[] = {"a",        "A",        "b",        "B",
                                         " ",        "\xC3\xA9", "\xC3\x89", "\xC3\x9F",
                                         "\xC3\xBF", "\xC3\x97", "\xC3\xB7", "\n"};
    std::mt19937_64 engine(20240611);
    const auto below = [&engine](std::size_t n) {
        return static_cast<std::size_t>(engine() % static_cast<std::uint64_t>(n));
    };
    const auto text = [&](std::size_t chars) {
        std::string out;
        for (std::size_t i = 0; i < chars; ++i) {
            out += kChars[below(std::size(kChars))];
        }
        return out;
    };
    int found = 0;
    for (int round = 0; round < 300; ++round) {
        TextBuffer buffer;
        buffer.setText(SharedText(text(below(60))));
        for (std::size_t edits = below(12); edits > 0; --edits) {
            const auto size = static_cast<std::size_t>(buffer.size().value());
            const ByteOffset at(static_cast<std::int64_t>(below(size + 1)));
            if (below(3) == 0 && at < buffer.size()) {
                const auto to = std::min<std::int64_t>(buffer.size().value(),
                                                       at.value() + 1 + std::int64_t(below(4)));
                buffer.remove({at, ByteOffset(to)});
            } else {
                buffer.insert(at, text(1 + below(4)));
            }
        }
        const std::string whole = buffer.text({ByteOffset(0), buffer.size()});
        for (int search = 0; search < 10; ++search) {
            std::string needle = text(1 + below(3));
            if (!whole.empty() && below(4) != 0) {
                // Whole characters of the text, as the find bar gives them.
                std::size_t from = below(whole.size());
                while (from > 0 && IsContinuation(whole[from])) {
                    --from;
                }
                std::size_t to = std::min(whole.size(), from + 1 + below(5));
                while (to < whole.size() && IsContinuation(whole[to])) {
                    ++to;
                }
                needle = whole.substr(from, to - from);
                if (below(2) == 0) {
                    needle = Folded(needle);
                }
            }
            const std::int64_t size = buffer.size().value();
            const auto a = std::int64_t(below(std::size_t(size) + 1));
            const auto b = std::int64_t(below(std::size_t(size) + 1));
            const ByteRange selection{ByteOffset(std::min(a, b)), ByteOffset(std::max(a, b))};
            const FindOptions options{below(2) == 0, below(2) == 0};
            const FoundText expected = PlainFind(whole, needle, selection, options);
            const FoundText actual = Find(buffer, needle, selection, options);
            // A snapshot is searched piece by piece the same way.
            QCOMPARE(Described(Find(buffer.snapshot(), needle, selection, options)),
                     Described(actual));
            found += expected.result != FindResult::NotFound ? 1 : 0;
            if (Described(actual) != Described(expected)) {
                qWarning("round %d: \"%s\" in \"%s\", %lld..%lld, case %d, backward %d", round,
                         needle.c_str(), whole.c_str(), static_cast<long long>(a),
                         static_cast<long long>(b), options.matchCase, options.backward);
            }
            QCOMPARE(Described(actual), Described(expected));
        }
    }
    // Most searches find something, so the ranges are compared, not just failures.
    QVERIFY2(found > 1500, qPrintable(QString::number(found)));
}

QTEST_GUILESS_MAIN(tst_Find)
#include "tst_find.moc"

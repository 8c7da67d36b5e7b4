#include "loading/LineSplitter.h"

#include <QList>
#include <QTest>

#include <string>

using namespace axlewise;

namespace {

QByteArray Bytes(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

QList<QByteArray> Split(const QByteArray& text) {
    LineSplitter splitter(
        std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    QList<QByteArray> lines;
    std::string_view line;
    while (splitter.next(line)) {
        lines.append(Bytes(line));
    }
    return lines;
}

}  // namespace

class tst_LineSplitter : public QObject {
    Q_OBJECT

private slots:
    void splitsLines_data();
    void splitsLines();
    void blankLines_data();
    void blankLines();
    void skipsByteOrderMark_data();
    void skipsByteOrderMark();
    void appendsReadable_data();
    void appendsReadable();
};

void tst_LineSplitter::splitsLines_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<QByteArray>>("lines");

    const QByteArray longLine(1000, 'x');
    // A break right at the end of the first search window, and a CRLF split by it.
    const QByteArray edge(255, 'e');

    QTest::newRow("empty text has no lines") << QByteArray() << QList<QByteArray>{};
    QTest::newRow("lf") << QByteArray("a\nb\n") << QList<QByteArray>{"a", "b"};
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QList<QByteArray>{"a", "b"};
    QTest::newRow("cr") << QByteArray("a\rb\r") << QList<QByteArray>{"a", "b"};
    QTest::newRow("no final break") << QByteArray("a\nb") << QList<QByteArray>{"a", "b"};
    QTest::newRow("mixed breaks") << QByteArray("a\rb\r\nc\nd")
                                  << QList<QByteArray>{"a", "b", "c", "d"};
    QTest::newRow("empty lines kept")
        << QByteArray("\n\r\n\ra\n\n") << QList<QByteArray>{"", "", "", "a", ""};
    QTest::newRow("lf cr is two breaks") << QByteArray("a\n\rb") << QList<QByteArray>{"a", "", "b"};
    QTest::newRow("cr cr lf") << QByteArray("a\r\r\nb") << QList<QByteArray>{"a", "", "b"};
    QTest::newRow("long lines lf") << longLine + "\n" + longLine + "\n"
                                   << QList<QByteArray>{longLine, longLine};
    QTest::newRow("long lines cr")
        << longLine + "\r" + longLine + "\r" << QList<QByteArray>{longLine, longLine};
    QTest::newRow("cr after lf-free window") << QByteArray(600, 'y') + "\rz\n"
                                             << QList<QByteArray>{QByteArray(600, 'y'), "z"};
    QTest::newRow("crlf across search window") << edge + "\r\nz" << QList<QByteArray>{edge, "z"};
    QTest::newRow("commas and quotes are text")
        << QByteArray("a,b \"c,d\"\n  e") << QList<QByteArray>{"a,b \"c,d\"", "  e"};
}

void tst_LineSplitter::splitsLines() {
    QFETCH(QByteArray, text);
    QFETCH(QList<QByteArray>, lines);
    QCOMPARE(Split(text), lines);
}

void tst_LineSplitter::blankLines_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("blank");

    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("spaces") << QByteArray("    ") << true;
    QTest::newRow("text after spaces") << QByteArray("   7") << false;
    QTest::newRow("text before spaces") << QByteArray("7   ") << false;
    QTest::newRow("tab is not a space") << QByteArray("\t") << false;
}

void tst_LineSplitter::blankLines() {
    QFETCH(QByteArray, line);
    QFETCH(bool, blank);
    QCOMPARE(IsBlankLine(std::string_view(line.constData(), static_cast<std::size_t>(line.size()))),
             blank);
}

void tst_LineSplitter::skipsByteOrderMark_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("rest");

    QTest::newRow("mark then text") << QByteArray(
                                           "\xEF\xBB\xBF"
                                           "abc")
                                    << QByteArray("abc");
    QTest::newRow("no mark") << QByteArray("abc") << QByteArray("abc");
    QTest::newRow("only the first mark")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF") << QByteArray("\xEF\xBB\xBF");
    QTest::newRow("part of a mark stays") << QByteArray(
                                                 "\xEF\xBB"
                                                 "a")
                                          << QByteArray(
                                                 "\xEF\xBB"
                                                 "a");
}

void tst_LineSplitter::skipsByteOrderMark() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, rest);
    QCOMPARE(Bytes(SkipByteOrderMark(
                 std::string_view(text.constData(), static_cast<std::size_t>(text.size())))),
             rest);
}

void tst_LineSplitter::appendsReadable_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("shown");

    QTest::newRow("ascii") << QByteArray("Site 12, lane 2") << QStringLiteral("Site 12, lane 2");
    QTest::newRow("valid utf-8") << QByteArray("Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x9A\x9A")
                                 << QStringLiteral("Zürich € \U0001F69A");
    QTest::newRow("latin-1 byte") << QByteArray("M\xFCnchen") << QStringLiteral("München");
    QTest::newRow("utf-8 then a stray byte")
        << QByteArray("\xC3\xBC \xFC") << QStringLiteral("Ã¼ ü");
    QTest::newRow("overlong form") << QByteArray("\xC0\xAF") << QStringLiteral("À¯");
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << QString::fromLatin1("\xED\xA0\x80");
    QTest::newRow("truncated sequence at end")
        << QByteArray("ab\xE2\x82") << QString::fromLatin1("ab\xE2\x82");
    QTest::newRow("past U+10FFFF")
        << QByteArray("\xF4\x90\x80\x80") << QString::fromLatin1("\xF4\x90\x80\x80");
    QTest::newRow("nul byte kept") << QByteArray("a\0b", 3) << QString::fromLatin1("a\0b", 3);
}

void tst_LineSplitter::appendsReadable() {
    QFETCH(QByteArray, line);
    QFETCH(QString, shown);
    std::string out = "kept|";
    AppendReadable(out, std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
    const QByteArray bytes = Bytes(out);
    QVERIFY(QUtf8StringView(bytes).isValidUtf8());
    QCOMPARE(QString::fromUtf8(bytes), QStringLiteral("kept|") + shown);
}

QTEST_GUILESS_MAIN(tst_LineSplitter)
#include "tst_linesplitter.moc"

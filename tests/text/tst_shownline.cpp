// A line as the box shows it: cut after 65,536 UTF-16 units with a count of
// the characters not shown, and the map between the line's bytes and the
// units shown, with an input method's pre-edit placed at the caret.

#include "text/EditSession.h"
#include "text/ShownLine.h"

#include <QTest>

#include <string>

using namespace axlewise;

namespace {

std::string Repeated(const char* piece, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += piece;
    }
    return out;
}

}  // namespace

class tst_ShownLine : public QObject {
    Q_OBJECT

private slots:
    void cut_data();
    void cut();
    void places_data();
    void places();
};

void tst_ShownLine::cut_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("units");   // shown
    QTest::addColumn<int>("bytes");   // shown
    QTest::addColumn<int>("hidden");  // characters
    const auto row = [](const char* tag, const std::string& line, int units, int bytes,
                        int hidden) {
        QTest::newRow(tag) << QByteArray::fromStdString(line) << units << bytes << hidden;
    };
    row("exactly the limit", std::string(65536, 'b'), 65536, 65536, 0);
    row("one character over", std::string(65537, 'b'), 65536, 65536, 1);
    // Each a surrogate pair: half as many characters shown.
    row("four-byte characters", Repeated("\xF0\x9F\x98\x80", 100000), 65536, 131072, 67232);
    row("a pair never split at the limit", std::string(65535, 'a') + "\xF0\x9F\x98\x80", 65535,
        65535, 1);
    // 65,535 three-byte characters fill all but one unit; the four-byte one
    // after them needs two and is not shown. It lies across where a read of
    // 3 * 65,536 bytes would end: read short, it would show as a bad byte.
    row("a character across the end of the bytes a read takes",
        Repeated("\xE2\x82\xAC", 65535) + "\xF0\x9F\x98\x80" + "tail", 65535, 196605, 5);
    row("bad bytes count as characters", std::string(65536, 'a') + "\xFF\x80", 65536, 65536, 2);
}

// Through the session, which reads the line's first bytes and counts the rest.
void tst_ShownLine::cut() {
    QFETCH(QByteArray, line);
    QFETCH(int, units);
    QFETCH(int, bytes);
    QFETCH(int, hidden);
    EditSession session;
    session.setText(SharedText("first\n" + line.toStdString() + "\nlast"));
    const ShownLine shown = session.shownLine(LineNumber(1));
    QCOMPARE(static_cast<int>(shown.text().size()), units);
    QCOMPARE(shown.shownBytes().value(), bytes);
    QCOMPARE(shown.cut(), hidden > 0);
    QCOMPARE(shown.hiddenChars(), hidden);
    QVERIFY(shown.text().find(u'\uFFFD') == std::u16string::npos || line.endsWith("\xFF\x80"));
    QCOMPARE(QString::fromStdU16String(session.shownLine(LineNumber(2)).text()), "last");
}

void tst_ShownLine::places_data() {
    // The line "aé😀b": a at byte 0, é at 1..2, 😀 at 3..6, b at 7, the end 8;
    // shown as units a=0, é=1, 😀=2..3, b=4, the end 5.
    QTest::addColumn<int>("preeditAt");  // the caret's byte, -1 for no pre-edit
    QTest::addColumn<int>("preeditUnits");
    QTest::addColumn<QList<int>>("indexOf");     // of bytes 0, 1, 3, 7, 8
    QTest::addColumn<QList<int>>("byteAt");      // of every display index
    QTest::addColumn<QList<int>>("caretIndex");  // of bytes 0, 1, 3, 7, 8, cursor 1
    QTest::newRow("no pre-edit") << -1 << 0 << QList<int>{0, 1, 2, 4, 5}
                                 << QList<int>{0, 1, 3, 3, 7, 8} << QList<int>{0, 1, 2, 4, 5};
    // The pre-edit's units all stand for the caret's byte; the caret stands in
    // it at its own cursor.
    QTest::newRow("a pre-edit before the pair")
        << 3 << 2 << QList<int>{0, 1, 2, 6, 7} << QList<int>{0, 1, 3, 3, 3, 3, 7, 8}
        << QList<int>{0, 1, 3, 6, 7};
    QTest::newRow("a pre-edit at the end")
        << 8 << 3 << QList<int>{0, 1, 2, 4, 5} << QList<int>{0, 1, 3, 3, 7, 8, 8, 8, 8}
        << QList<int>{0, 1, 2, 4, 6};
    QTest::newRow("a pre-edit at the start")
        << 0 << 1 << QList<int>{0, 2, 3, 5, 6} << QList<int>{0, 0, 1, 3, 3, 7, 8}
        << QList<int>{1, 2, 3, 5, 6};
}

void tst_ShownLine::places() {
    QFETCH(int, preeditAt);
    QFETCH(int, preeditUnits);
    QFETCH(QList<int>, indexOf);
    QFETCH(QList<int>, byteAt);
    QFETCH(QList<int>, caretIndex);
    const std::string line =
        "a\xC3\xA9\xF0\x9F\x98\x80"
        "b";
    ShownLine shown(line, ByteOffset(8));
    if (preeditAt >= 0) {
        shown.placePreedit(ByteOffset(preeditAt), Utf16Index(preeditUnits));
    }
    QList<int> foundIndex, foundCaret, foundByte;
    for (const int byte : {0, 1, 3, 7, 8}) {
        foundIndex << static_cast<int>(shown.indexOf(ByteOffset(byte)).value());
        foundCaret << static_cast<int>(shown.caretIndex(ByteOffset(byte), Utf16Index(1)).value());
    }
    for (Utf16Index index(0); index <= shown.length(); ++index) {
        foundByte << static_cast<int>(shown.byteAt(index).value());
    }
    QCOMPARE(foundIndex, indexOf);
    QCOMPARE(foundByte, byteAt);
    QCOMPARE(foundCaret, caretIndex);
    // Input methods are told places in the line's own text only.
    QCOMPARE(shown.textIndex(ByteOffset(8)).value(), 5);
    QCOMPARE(shown.textIndex(ByteOffset(3)).value(), 2);
}

QTEST_GUILESS_MAIN(tst_ShownLine)
#include "tst_shownline.moc"

// The one UTF-8 reading (records/Utf8.h) that the box's text stands on: where
// characters start, how many there are, and the text decoded with the byte of
// every code unit. Expected values are worked out by hand from the bytes.

#include "records/Utf8.h"

#include <QTest>

#include <string>

using namespace axlewise;

namespace {

std::string Bytes(const QByteArray& bytes) {
    return bytes.toStdString();
}

// Not QString::fromStdU16String, which drops a leading U+FEFF.
QString FromUtf16(const std::u16string& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

QList<int> Ints(const std::vector<std::int32_t>& values) {
    return QList<int>(values.begin(), values.end());
}

}  // namespace

class tst_Utf8 : public QObject {
    Q_OBJECT

private slots:
    void charStart_data();
    void charStart();
    void countChars_data();
    void countChars();
    void decode_data();
    void decode();
    void encode_data();
    void encode();
};

void tst_Utf8::charStart_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<int>>("starts");  // Utf8CharStart of each place 0..size
    // "é" is C3 A9, "€" E2 82 AC, "😀" F0 9F 98 80. A byte that begins no
    // well-formed sequence is a character of its own.
    const auto row = [](const char* tag, const char* text, const QList<int>& starts) {
        QTest::newRow(tag) << QByteArray(text) << starts;
    };
    row("two, three and four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
        {0, 0, 2, 2, 2, 5, 5, 5, 5, 9});
    row("continuation bytes after a whole character", "\xC3\xA9\x80\xBF", {0, 0, 2, 3, 4});
    row("a sequence cut short by a letter", "\xE2\x82z", {0, 1, 2, 3});
    row("overlong two bytes", "\xC0\x80", {0, 1, 2});
    row("a surrogate", "\xED\xA0\x80", {0, 1, 2, 3});
    row("past U+10FFFF", "\xF4\x90\x80\x80", {0, 1, 2, 3, 4});
}

void tst_Utf8::charStart() {
    QFETCH(QByteArray, text);
    QFETCH(QList<int>, starts);
    const std::string bytes = Bytes(text);
    QList<int> found;
    for (std::size_t pos = 0; pos <= bytes.size(); ++pos) {
        found << static_cast<int>(Utf8CharStart(bytes, pos));
    }
    QCOMPARE(found, starts);
}

void tst_Utf8::countChars_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("continues");  // a piece of the text follows
    QTest::addColumn<int>("chars");
    QTest::addColumn<int>("bytes");  // where counting stopped
    const auto row = [](const char* tag, const char* text, bool continues, int chars, int bytes) {
        QTest::newRow(tag) << QByteArray(text) << continues << chars << bytes;
    };
    row("ASCII past a word of eight", "0123456789ab", false, 12, 12);
    row("mixed", "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z", false, 5, 11);
    row("bad bytes count one each", "\x80\xC0\x80\xFF", false, 4, 4);
    row("a cut sequence at the very end counts byte by byte", "a\xF0\x9F\x98", false, 4, 4);
    row("a cut sequence at a piece's end waits for the next piece", "a\xF0\x9F\x98", true, 1, 1);
    // The second byte after E0 or F0 has a narrower range than later ones.
    row("E0 A0 at a piece's end waits", "a\xE0\xA0", true, 1, 1);
    row("E0 80 at a piece's end is two bad bytes", "a\xE0\x80", true, 3, 3);
    row("a bad byte at a piece's end is counted", "a\xFF", true, 2, 2);
}

void tst_Utf8::countChars() {
    QFETCH(QByteArray, text);
    QFETCH(bool, continues);
    QFETCH(int, chars);
    QFETCH(int, bytes);
    const Utf8Count count = CountUtf8Chars(Bytes(text), continues);
    QCOMPARE(count.chars, chars);
    QCOMPARE(count.bytes, std::size_t(bytes));
}

void tst_Utf8::decode_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("maxUnits");
    QTest::addColumn<QString>("decoded");
    QTest::addColumn<QList<int>>("byteOf");
    QTest::newRow("a leading byte order mark stays")
        << QByteArray("\xEF\xBB\xBFx") << 10 << QStringLiteral("\uFEFFx") << QList<int>{0, 3, 4};
    QTest::newRow("a surrogate pair maps both units to its first byte")
        << QByteArray("a\xF0\x9F\x98\x80z") << 10 << QString::fromUtf8("a\U0001F600z")
        << QList<int>{0, 1, 1, 5, 6};
    QTest::newRow("a pair that would pass the limit stays out")
        << QByteArray("a\xF0\x9F\x98\x80z") << 2 << QStringLiteral("a") << QList<int>{0, 1};
    QTest::newRow("the limit in the middle of ASCII")
        << QByteArray("abcdefghijk") << 3 << QStringLiteral("abc") << QList<int>{0, 1, 2, 3};
    QTest::newRow("each bad byte becomes U+FFFD")
        << QByteArray("\xE2\x82z\x80") << 10 << QStringLiteral("\uFFFD\uFFFDz\uFFFD")
        << QList<int>{0, 1, 2, 3, 4};
}

void tst_Utf8::decode() {
    QFETCH(QByteArray, text);
    QFETCH(int, maxUnits);
    QFETCH(QString, decoded);
    QFETCH(QList<int>, byteOf);
    const Utf16Text out = DecodeUtf8(Bytes(text), static_cast<std::size_t>(maxUnits), true);
    QCOMPARE(FromUtf16(out.text), decoded);
    QCOMPARE(Ints(out.byteOf), byteOf);
    QCOMPARE(out.bytes, std::size_t(byteOf.last()));
    // The same text without a byte map, and the whole of it into a buffer.
    QCOMPARE(FromUtf16(DecodeUtf8(Bytes(text), static_cast<std::size_t>(maxUnits), false).text),
             decoded);
    if (maxUnits >= text.size()) {
        std::u16string whole(static_cast<std::size_t>(text.size()), u'\0');
        whole.resize(DecodeUtf8Into(Bytes(text), whole.data()));
        QCOMPARE(FromUtf16(whole), decoded);
    }
}

void tst_Utf8::encode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("encoded");
    QTest::newRow("one to four bytes") << QString::fromUtf8("a\u00e9\u20ac\U0001F600")
                                       << QByteArray("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    QTest::newRow("a byte order mark") << QStringLiteral("\uFEFF") << QByteArray("\xEF\xBB\xBF");
    QTest::newRow("an unpaired surrogate becomes U+FFFD")
        << QString(QChar(0xD83D)) + QLatin1Char('x') << QByteArray("\xEF\xBF\xBDx");
}

void tst_Utf8::encode() {
    QFETCH(QString, text);
    QFETCH(QByteArray, encoded);
    QCOMPARE(QByteArray::fromStdString(EncodeUtf8(text.toStdU16String())), encoded);
}

QTEST_GUILESS_MAIN(tst_Utf8)
#include "tst_utf8.moc"

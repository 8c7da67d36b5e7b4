#include "loading/PastedText.h"

#include "TruckLines.h"
#include "records/BrowserState.h"
#include "records/RuntimeError.h"

#include <QList>
#include <QTest>

#include <string>

using namespace axlewise;
using axlewise::test::TruckLine;
using axlewise::test::WithField;

namespace {

QByteArray Bytes(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

QByteArray Line(int head) {
    return Bytes(TruckLine(head));
}

// The 78-character form in which trucks are usually pasted.
QByteArray Line78(int head) {
    return Line(head) + " ";
}

QList<QByteArray> RawLines(const BrowserState& state) {
    QList<QByteArray> lines;
    for (TruckIndex i = 1; i <= state.NoTrucks; ++i) {
        lines.append(Bytes(state.Truck(i).RawLine));
    }
    return lines;
}

LoadResult Paste(BrowserState& state, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return LoadPastedText(
        state, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace

class tst_PastedText : public QObject {
    Q_OBJECT

private slots:
    void readsLines_data();
    void readsLines();
    void readsBeyondSixteenBitLengths();
    void appendsEachTime();
};

void tst_PastedText::readsLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<QByteArray>>("trucks");
    QTest::addColumn<qint64>("lines");
    QTest::addColumn<qint64>("failureLine");
    QTest::addColumn<QString>("reason");

    const QString a = QString::fromLatin1(Line78(7001));
    const QString b = QString::fromLatin1(Line78(7002));
    const QString c = QString::fromLatin1(Line78(7003));
    const QString a77 = QString::fromLatin1(Line(7001));
    const QString b77 = QString::fromLatin1(Line(7002));
    const QString c77 = QString::fromLatin1(Line(7003));
    const QString bad = QString::fromStdString(WithField(TruckLine(7002), 10, " 3O2"));

    QTest::newRow("78-character lines")
        << a + "\r\n" + b + "\r\n" + c + "\r\n"
        << QList<QByteArray>{Line78(7001), Line78(7002), Line78(7003)} << qint64(3) << qint64(0)
        << QString();
    QTest::newRow("no final line break")
        << a + "\r\n" + b + "\r\n" + c
        << QList<QByteArray>{Line78(7001), Line78(7002), Line78(7003)} << qint64(3) << qint64(0)
        << QString();
    QTest::newRow("77-character lines") << a77 + "\r\n" + b77 + "\r\n" + c77 + "\r\n"
                                        << QList<QByteArray>{Line(7001), Line(7002), Line(7003)}
                                        << qint64(3) << qint64(0) << QString();
    QTest::newRow("lines of mixed length and breaks")
        << a + "\n" + b77 + "\r" + a + " note, \"ok\"\r\n"
        << QList<QByteArray>{Line78(7001), Line(7002), Line78(7001) + " note, \"ok\""} << qint64(3)
        << qint64(0) << QString();
    QTest::newRow("leading spaces keep the columns")
        << QString::fromLatin1(Line(12)) + "\n"
        << QList<QByteArray>{Line(12)} << qint64(1) << qint64(0) << QString();
    QTest::newRow("blank lines skipped")
        << "\r\n" + a + "\r\n\r\n   \r\n" + b + "\r\n\r\n"
        << QList<QByteArray>{Line78(7001), Line78(7002)} << qint64(6) << qint64(0) << QString();
    QTest::newRow("bad line stops the reading")
        << a + "\r\n" + bad + "\r\n" + c + "\r\n"
        << QList<QByteArray>{Line78(7001)} << qint64(2) << qint64(2)
        << QStringLiteral("line 2: GVW (columns 22-25): \" 3O2\" is not a number");
    QTest::newRow("head line is not skipped")
        << "WIM site 12\r\n" + a + "\r\n"
        << QList<QByteArray>{} << qint64(1) << qint64(1)
        << "line 1: HEAD (columns 1-4): \"WIM \" is not a number";
    QTest::newRow("non-ascii text in a line")
        << QStringLiteral("Zürich") + a.mid(6) + "\r\n"
        << QList<QByteArray>{} << qint64(1) << qint64(1)
        << QStringLiteral("line 1: HEAD (columns 1-4): \"Züri\" is not a number");
    QTest::newRow("empty text") << QString() << QList<QByteArray>{} << qint64(0) << qint64(0)
                                << QString();
    QTest::newRow("one character")
        << QStringLiteral("7") << QList<QByteArray>{} << qint64(1) << qint64(1)
        << QStringLiteral("line 1: DAY (columns 5-6): the line ends before this field");
}

void tst_PastedText::readsLines() {
    QFETCH(QString, text);
    QFETCH(QList<QByteArray>, trucks);
    QFETCH(qint64, lines);
    QFETCH(qint64, failureLine);
    QFETCH(QString, reason);

    BrowserState state;
    const LoadResult result = Paste(state, text);

    QCOMPARE(RawLines(state), trucks);
    QCOMPARE(result.added, TruckIndex(trucks.size()));
    QCOMPARE(result.lines, TruckIndex(lines));
    QVERIFY(result.echo.empty());
    if (failureLine == 0) {
        QVERIFY2(result.ok(), result.failure ? result.failure->reason.c_str() : "");
    } else {
        QVERIFY(!result.ok());
        QCOMPARE(result.failure->line, TruckIndex(failureLine));
        QCOMPARE(result.failure->number, ErrorNumber::TypeMismatch);
        QCOMPARE(QString::fromStdString(result.failure->reason), reason);
    }
}

void tst_PastedText::readsBeyondSixteenBitLengths() {
    constexpr int kTrucks = 500;  // 40,000 characters
    QString text;
    for (int i = 1; i <= kTrucks; ++i) {
        text += QString::fromLatin1(Line78(i)) + "\r\n";
    }
    QVERIFY(text.size() > 32'767);

    BrowserState state;
    const LoadResult result = Paste(state, text);
    QVERIFY(result.ok());
    QCOMPARE(state.NoTrucks, TruckIndex(kTrucks));
    QCOMPARE(state.Truck(kTrucks).RawLine, TruckLine(kTrucks) + " ");
}

void tst_PastedText::appendsEachTime() {
    const QString text = QString::fromLatin1(Line78(1) + "\r\n" + Line78(2) + "\r\n");
    BrowserState state;
    state.CurrentTruck = 1;
    QVERIFY(Paste(state, text).ok());
    QVERIFY(Paste(state, text).ok());
    QCOMPARE(RawLines(state), (QList<QByteArray>{Line78(1), Line78(2), Line78(1), Line78(2)}));
    QCOMPARE(state.CurrentTruck, TruckIndex(1));
}

QTEST_GUILESS_MAIN(tst_PastedText)
#include "tst_pastedtext.moc"

#include "loading/TruckFile.h"

#include "TruckLines.h"
#include "records/BrowserState.h"
#include "records/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <limits>
#include <string>

using namespace axlewise;
using axlewise::test::TruckLine;
using axlewise::test::WithField;

namespace {

QByteArray Bytes(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::string_view View(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QByteArray Line(int head) {
    return Bytes(TruckLine(head));
}

QList<QByteArray> RawLines(const BrowserState& state) {
    QList<QByteArray> lines;
    for (TruckIndex i = 1; i <= state.NoTrucks; ++i) {
        lines.append(Bytes(state.Truck(i).RawLine));
    }
    return lines;
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& contents) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

LoadResult LoadFile(BrowserState& state, const QString& path, TruckIndex ignore) {
    const std::string bytes = ReadFileBytes(path.toStdString());
    return LoadTruckText(state, bytes, ignore);
}

}  // namespace

class tst_TruckFile : public QObject {
    Q_OBJECT

private slots:
    void ignoreCount_data();
    void ignoreCount();
    void ignoreCountRejects_data();
    void ignoreCountRejects();
    void loadsText_data();
    void loadsText();
    void readsFileBytes();
    void unreadablePath_data();
    void unreadablePath();
    void filesAppend();
    void sameFileTwiceHoldsTrucksTwice();
    void loadsFortyThousandLines();
};

void tst_TruckFile::ignoreCount_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("count");

    QTest::newRow("zero") << "0" << qint64(0);
    QTest::newRow("empty") << "" << qint64(0);
    QTest::newRow("spaces only") << "   " << qint64(0);
    QTest::newRow("spaces around") << "  2 " << qint64(2);
    QTest::newRow("plus sign") << "+3" << qint64(3);
    QTest::newRow("fraction cut off") << "1.9" << qint64(1);
    QTest::newRow("trailing point") << "7." << qint64(7);
    QTest::newRow("fraction only") << ".5" << qint64(0);
    QTest::newRow("negative") << "-1" << qint64(0);
    QTest::newRow("negative fraction") << "-0.5" << qint64(0);
    QTest::newRow("beyond 16 bits") << "40000" << qint64(40000);
    QTest::newRow("beyond 64 bits saturates")
        << "123456789012345678901234567890" << std::numeric_limits<qint64>::max();
}

void tst_TruckFile::ignoreCount() {
    QFETCH(QString, text);
    QFETCH(qint64, count);
    QCOMPARE(IgnoreCount(text.toStdString()), TruckIndex(count));
}

void tst_TruckFile::ignoreCountRejects_data() {
    QTest::addColumn<QString>("text");

    QTest::newRow("word") << "abc";
    // Exponents, grouping and the comma as decimal point are not read: the box
    // takes a plain count, the same in every locale.
    QTest::newRow("exponent") << "1e3";
    QTest::newRow("decimal comma") << "1,5";
    QTest::newRow("two numbers") << "2 3";
    QTest::newRow("point only") << ".";
    QTest::newRow("sign only") << "-";
    QTest::newRow("hex") << "0x10";
    QTest::newRow("digit then letter") << "3a";
    QTest::newRow("non-ascii") << "zwölf";
}

void tst_TruckFile::ignoreCountRejects() {
    QFETCH(QString, text);
    try {
        IgnoreCount(text.toStdString());
        QFAIL("no error raised");
    } catch (const RuntimeError& error) {
        QCOMPARE(error.number(), ErrorNumber::TypeMismatch);
        QCOMPARE(QString::fromStdString(error.reason()),
                 "No of lines to ignore: \"" + text + "\" is not a number");
    }
}

void tst_TruckFile::loadsText_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<qint64>("ignore");
    QTest::addColumn<QList<QByteArray>>("trucks");
    QTest::addColumn<qint64>("lines");
    QTest::addColumn<QByteArray>("echo");
    QTest::addColumn<qint64>("failureLine");
    QTest::addColumn<QString>("reason");

    const QByteArray a = Line(7001);
    const QByteArray b = Line(7002);
    const QByteArray c = Line(7003);
    const QByteArray head = "WIM site 12 - A1 northbound";
    const QByteArray columns = "HEAD,DATE,TIME,SPEED,GVW,\"LENGTH\"";
    const QByteArray bom = "\xEF\xBB\xBF";

    QTest::newRow("lf, nothing ignored")
        << a + "\n" + b + "\n" + c + "\n"
        << qint64(0) << QList<QByteArray>{a, b, c} << qint64(3) << a + "\n" + b + "\n" + c + "\n"
        << qint64(0) << QString();
    QTest::newRow("crlf") << a + "\r\n" + b + "\r\n" + c + "\r\n"
                          << qint64(0) << QList<QByteArray>{a, b, c} << qint64(3)
                          << a + "\n" + b + "\n" + c + "\n"
                          << qint64(0) << QString();
    QTest::newRow("cr") << a + "\r" + b + "\r" + c + "\r" << qint64(0) << QList<QByteArray>{a, b, c}
                        << qint64(3) << a + "\n" + b + "\n" + c + "\n"
                        << qint64(0) << QString();
    QTest::newRow("no final line break")
        << a + "\n" + b << qint64(0) << QList<QByteArray>{a, b} << qint64(2) << a + "\n" + b + "\n"
        << qint64(0) << QString();
    QTest::newRow("ignore 1 passes over the head line")
        << head + "\n" + a + "\n" + b + "\n"
        << qint64(1) << QList<QByteArray>{a, b} << qint64(3) << head + "\n" + a + "\n" + b + "\n"
        << qint64(0) << QString();
    QTest::newRow("ignore 2 passes over two head lines")
        << head + "\n" + columns + "\n" + a + "\n" + b + "\n"
        << qint64(2) << QList<QByteArray>{a, b} << qint64(4)
        << head + "\n" + columns + "\n" + a + "\n" + b + "\n"
        << qint64(0) << QString();
    QTest::newRow("ignore 3 passes over a truck line too")
        << head + "\n" + columns + "\n" + a + "\n" + b + "\n"
        << qint64(3) << QList<QByteArray>{b} << qint64(4)
        << head + "\n" + columns + "\n" + a + "\n" + b + "\n"
        << qint64(0) << QString();
    QTest::newRow("ignore 0 parses the head line")
        << head + "\n" + a + "\n"
        << qint64(0) << QList<QByteArray>{} << qint64(1) << head + "\n"
        << qint64(1) << "line 1: HEAD (columns 1-4): \"WIM \" is not a number";
    QTest::newRow("ignore more lines than the file holds")
        << a + "\n" + b + "\n"
        << qint64(5) << QList<QByteArray>{} << qint64(2) << a + "\n" + b + "\n"
        << qint64(0) << QString();
    QTest::newRow("trailing blank lines")
        << a + "\n" + b + "\n\n   \r\n\n"
        << qint64(0) << QList<QByteArray>{a, b} << qint64(5) << a + "\n" + b + "\n\n   \n\n"
        << qint64(0) << QString();
    QTest::newRow("blank lines between trucks")
        << a + "\n\n  \n" + b << qint64(0) << QList<QByteArray>{a, b} << qint64(4)
        << a + "\n\n  \n" + b + "\n"
        << qint64(0) << QString();
    QTest::newRow("byte order mark before a head line")
        << bom + head + "\r\n" + a + "\r\n"
        << qint64(1) << QList<QByteArray>{a} << qint64(2) << head + "\n" + a + "\n"
        << qint64(0) << QString();
    QTest::newRow("byte order mark before a truck")
        << bom + a + "\n"
        << qint64(0) << QList<QByteArray>{a} << qint64(1) << a + "\n"
        << qint64(0) << QString();
    QTest::newRow("commas in a head line")
        << columns + "\n" + a + "\n"
        << qint64(1) << QList<QByteArray>{a} << qint64(2) << columns + "\n" + a + "\n"
        << qint64(0) << QString();
    QTest::newRow("commas and quotes after column 77")
        << a + " ,checked, \"ok\"\n"
        << qint64(0) << QList<QByteArray>{a + " ,checked, \"ok\""} << qint64(1)
        << a + " ,checked, \"ok\"\n"
        << qint64(0) << QString();
    QTest::newRow("leading spaces keep the columns")
        << Line(12) + "\n" + Line(7) + "\n"
        << qint64(0) << QList<QByteArray>{Line(12), Line(7)} << qint64(2)
        << Line(12) + "\n" + Line(7) + "\n"
        << qint64(0) << QString();

    const QByteArray bad = Bytes(WithField(TruckLine(7002), 9, "1x3"));
    QTest::newRow("bad line in the middle")
        << head + "\n" + a + "\n" + bad + "\n" + c + "\n"
        << qint64(1) << QList<QByteArray>{a} << qint64(3) << head + "\n" + a + "\n" + bad + "\n"
        << qint64(3) << "line 3: SPEED (columns 19-21): \"1x3\" is not a number";
    QTest::newRow("bad line numbered past blank lines")
        << a + "\r\n\r\n" + bad + "\r\n"
        << qint64(0) << QList<QByteArray>{a} << qint64(3) << a + "\n\n" + bad + "\n"
        << qint64(3) << "line 3: SPEED (columns 19-21): \"1x3\" is not a number";

    QTest::newRow("latin-1 head line echoed readably")
        << "Station M\xFCnchen\n" + a + "\n"
        << qint64(1) << QList<QByteArray>{a} << qint64(2)
        << QByteArray("Station M\xC3\xBCnchen\n") + a + "\n"
        << qint64(0) << QString();
    // SPEED holds "8", the Latin-1 byte of "é" and "7".
    const QByteArray stray = Bytes(WithField(TruckLine(7002), 9, "8\xE9\x37"));
    const QByteArray strayShown = QByteArray(stray).replace("\xE9", "\xC3\xA9");
    QTest::newRow("stray byte in a field")
        << a + "\n" + stray + "\n"
        << qint64(0) << QList<QByteArray>{a} << qint64(2) << a + "\n" + strayShown + "\n"
        << qint64(2) << QStringLiteral("line 2: SPEED (columns 19-21): \"8é7\" is not a number");

    QTest::newRow("empty contents") << QByteArray() << qint64(0) << QList<QByteArray>{} << qint64(0)
                                    << QByteArray() << qint64(0) << QString();
}

void tst_TruckFile::loadsText() {
    QFETCH(QByteArray, contents);
    QFETCH(qint64, ignore);
    QFETCH(QList<QByteArray>, trucks);
    QFETCH(qint64, lines);
    QFETCH(QByteArray, echo);
    QFETCH(qint64, failureLine);
    QFETCH(QString, reason);

    BrowserState state;
    const LoadResult result = LoadTruckText(state, contents.toStdString(), ignore);

    QCOMPARE(RawLines(state), trucks);
    QCOMPARE(state.NoTrucks, TruckIndex(trucks.size()));
    QCOMPARE(result.added, TruckIndex(trucks.size()));
    QCOMPARE(result.lines, TruckIndex(lines));
    QCOMPARE(Bytes(result.echo), echo);
    QCOMPARE(state.CurrentTruck, TruckIndex(0));
    if (failureLine == 0) {
        QVERIFY2(result.ok(), result.failure ? result.failure->reason.c_str() : "");
    } else {
        QVERIFY(!result.ok());
        QCOMPARE(result.failure->line, TruckIndex(failureLine));
        QCOMPARE(result.failure->number, ErrorNumber::TypeMismatch);
        QCOMPARE(QString::fromStdString(result.failure->reason), reason);
    }
}

void tst_TruckFile::readsFileBytes() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QByteArray contents("head\r\nnul \0 and \xFF\rend", 21);
    contents.append(QByteArray(300'000, 'x'));
    QCOMPARE(Bytes(ReadFileBytes(WriteFile(dir, "mixed.txt", contents).toStdString())), contents);
    QCOMPARE(ReadFileBytes(WriteFile(dir, "empty.txt", QByteArray()).toStdString()), std::string());
}

void tst_TruckFile::unreadablePath_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");

    QTest::newRow("missing file") << "missing.txt" << int(ErrorNumber::FileNotFound);
    QTest::newRow("directory") << "folder" << int(ErrorNumber::FileAccess);
    QTest::newRow("file used as a folder")
        << "trucks.txt/inner.txt" << int(ErrorNumber::FileNotFound);
}

void tst_TruckFile::unreadablePath() {
    QFETCH(QString, name);
    QFETCH(int, number);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    QCOMPARE(::mkfifo(dir.filePath("pipe").toLocal8Bit().constData(), 0600), 0);
    WriteFile(dir, "trucks.txt", Line(7001) + "\n");
    const std::string path = dir.filePath(name).toStdString();

    try {
        ReadFileBytes(path);
        QFAIL("no error raised");
    } catch (const RuntimeError& error) {
        QCOMPARE(error.code(), number);
        // The path, then the system's own reason.
        const std::string reason = error.reason();
        QVERIFY2(reason.starts_with(path + ": ") && reason.size() > path.size() + 2,
                 reason.c_str());
    }
}

void tst_TruckFile::filesAppend() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString first = WriteFile(dir, "first.txt", Line(1001) + "\n" + Line(1002) + "\n");
    const QString second =
        WriteFile(dir, "second.txt", "site 2\r\n" + Line(2001) + "\r\n" + Line(2002) + "\r\n");
    const QString broken = WriteFile(dir, "broken.txt", Line(3001) + "\n" + "3002 not a truck\n");

    BrowserState state;
    state.CurrentTruck = 2;
    QVERIFY(LoadFile(state, first, 0).ok());
    const LoadResult result = LoadFile(state, second, 1);
    QVERIFY(result.ok());
    QCOMPARE(result.added, TruckIndex(2));
    QCOMPARE(RawLines(state), (QList<QByteArray>{Line(1001), Line(1002), Line(2001), Line(2002)}));

    // A load that fails keeps what it read before the bad line and adds nothing for it.
    const LoadResult failed = LoadFile(state, broken, 0);
    QCOMPARE(failed.added, TruckIndex(1));
    QCOMPARE(failed.failure->line, TruckIndex(2));
    QCOMPARE(state.NoTrucks, TruckIndex(5));
    QCOMPARE(state.Truck(5).RawLine, TruckLine(3001));
    QCOMPARE(state.CurrentTruck, TruckIndex(2));
}

void tst_TruckFile::sameFileTwiceHoldsTrucksTwice() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path =
        WriteFile(dir, "trucks.txt", "head\n" + Line(1) + "\n" + Line(2) + "\n" + Line(3) + "\n");
    BrowserState state;
    QVERIFY(LoadFile(state, path, 1).ok());
    QVERIFY(LoadFile(state, path, 1).ok());
    QCOMPARE(RawLines(state),
             (QList<QByteArray>{Line(1), Line(2), Line(3), Line(1), Line(2), Line(3)}));
}

void tst_TruckFile::loadsFortyThousandLines() {
    constexpr int kLines = 40'000;
    QByteArray contents;
    for (int i = 0; i < kLines; ++i) {
        contents += Line(i % 10'000) + " \r\n";
    }
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = WriteFile(dir, "big.txt", contents);

    BrowserState state;
    const LoadResult result = LoadFile(state, path, 0);
    QVERIFY(result.ok());
    QCOMPARE(result.added, TruckIndex(kLines));
    QCOMPARE(result.lines, TruckIndex(kLines));
    QCOMPARE(state.NoTrucks, TruckIndex(kLines));
    QCOMPARE(result.echo.size(), std::size_t{kLines} * 79);
    QCOMPARE(state.Truck(kLines).RawLine, TruckLine(9999) + " ");
    QCOMPARE(state.Truck(kLines).Data[1], std::int16_t{9999});
    QCOMPARE(state.Truck(32'768).Data[1], std::int16_t{2767});
}

QTEST_GUILESS_MAIN(tst_TruckFile)
#include "tst_truckfile.moc"

#include "loading/TruckFile.h"

#include "TruckLines.h"
#include "checks/TruckChecks.h"
#include "loading/PastedText.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <limits>
#include <string>

using namespace axlewise;
using namespace axlewise::test;

namespace {

QByteArray Line(int head) {
    return QByteArray::fromStdString(TruckLine(head));
}

QByteArrayList RawLines(const BrowserState& state) {
    QByteArrayList lines;
    for (TruckIndex i = 1; i <= state.NoTrucks; ++i) {
        lines << QByteArray::fromStdString(state.Truck(i).RawLine.str());
    }
    return lines;
}

std::string Write(const QTemporaryDir& dir, const QString& name, const QByteArray& contents) {
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(contents);
    return file.fileName().toStdString();
}

}  // namespace

class tst_TruckFile : public QObject {
    Q_OBJECT

private slots:
    // File rows are written to disk and read back; pasted rows leave the echo empty.
    void loads_data() {
        QTest::addColumn<int>("ignore");  // -1: pasted into the box
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QByteArrayList>("trucks");  // RawLine of each truck added
        QTest::addColumn<QByteArray>("echo");
        QTest::addColumn<QString>("failure");  // with its line number; empty when none
        const auto file = [](const char* tag, int ignore, const QByteArray& contents,
                             const QByteArrayList& trucks, const QByteArray& echo,
                             const QString& failure = {}) {
            QTest::newRow(tag) << ignore << contents << trucks << echo << failure;
        };
        const auto paste = [](const char* tag, const QByteArray& text, const QByteArrayList& trucks,
                              const QString& failure = {}) {
            QTest::newRow(tag) << -1 << text << trucks << QByteArray() << failure;
        };
        const QByteArray a = Line(7001), b = Line(7002), c = Line(7003);
        const QByteArray head = "WIM site 12 - A1 northbound", columns = "HEAD,DATE,\"SPEED\",GVW";
        // SPEED (columns 19-21) replaced.
        const QByteArray bom = "\xEF\xBB\xBF", bad = Line(7002).replace(18, 3, "1x3"),
                         stray = Line(7002).replace(18, 3, "8\xE9\x37");
        const QString badReason = R"(SPEED (columns 19-21): "1x3" is not a number)";

        file("CR, N=2 skips a head line with commas and quotes", 2,
             head + "\r" + columns + "\r" + a + "\r" + b + "\r", {a, b},
             head + "\n" + columns + "\n" + a + "\n" + b + "\n");
        file("N=3, BOM, Latin-1, UTF-8 and broken UTF-8 head lines echoed as UTF-8", 3,
             bom + "M\xFCnchen\nZ\xC3\xBCrich\n\xED\xA0\x80\n" + a + "\n", {a},
             "M\xC3\xBCnchen\nZ\xC3\xBCrich\n\xC3\xAD\xC2\xA0\xC2\x80\n" + a + "\n");
        file("BOM before a truck, no final line break", 0, bom + a, {a}, a + "\n");
        file("trailing blank lines", 0, a + "\n" + b + "\n\n   \r\n\n", {a, b},
             a + "\n" + b + "\n\n   \n\n");
        file("bad line in the middle", 1,
             head + "\r\n" + a + "\r\n\r\n" + bad + "\r\n" + c + "\r\n", {a},
             head + "\n" + a + "\n\n" + bad + "\n", "line 4: " + badReason);
        file("Latin-1 byte in a field quoted readably", 0, a + "\n" + stray, {a},
             a + "\n" + QByteArray(stray).replace("\xE9", "\xC3\xA9") + "\n",
             QStringLiteral("line 2: SPEED (columns 19-21): \"8é7\" is not a number"));
        // Breaks far into long lines, one of them just after the 255th character;
        // the blank lines between are echoed, not read.
        const QByteArray longA = a + QByteArray(600, ' '), longB = b + QByteArray(255 - 77, ' ');
        file("long lines, CR, CRLF, LF CR", 0, longA + "\r" + longB + "\r\n\n\r" + c,
             {longA, longB, c}, longA + "\n" + longB + "\n\n\n" + c + "\n");
        file("empty file", 0, "", {}, "");

        paste("77-character lines, no final line break", a + "\n" + b, {a, b});
        paste("blank lines skipped", "\r\n" + a + "\r\n\r\n   \r\n" + b + "\r\n\r\n", {a, b});
        paste("bad line stops the reading", a + "\r\n" + bad + "\r\n" + c, {a},
              "line 2: " + badReason);
        // A pasted byte order mark is a character like any other, whatever the breaks.
        paste("byte order mark kept with CRLF breaks", bom + a + "\r\n", {},
              QString::fromUtf8("line 1: HEAD (columns 1-4): \"\xEF\xBB\xBF"
                                "700\" is not a number"));
        paste("78-character lines, more than 32,767 characters", (a + " \r\n").repeated(500),
              QByteArrayList(500, a + " "));
        paste("empty text", "", {});
    }
    void loads() {
        QFETCH(int, ignore);
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        BrowserState state;
        const LoadResult result =
            ignore < 0
                ? LoadPastedText(state, SharedText(contents.toStdString()))
                : LoadTruckText(state, *ReadFileBytes(Write(dir, "trucks.txt", contents)), ignore);
        QTEST(RawLines(state), "trucks");
        QTEST(QByteArray::fromStdString(result.echo.str()), "echo");
        QTEST(QString::fromStdString(result.failure ? result.failure->text() : ""), "failure");
        QVERIFY(!result.failure || result.failure->number == ErrorNumber::TypeMismatch);
        // The box's line index comes with a file's echo: where its breaks are.
        QList<qint64> breaks;
        const std::string echo = result.echo.str();
        for (std::size_t i = 0; ignore >= 0 && i < echo.size(); ++i) {
            if (echo[i] == '\n') {
                breaks << qint64(i);
            }
        }
        QCOMPARE(QList<qint64>(result.lineBreaks.begin(), result.lineBreaks.end()), breaks);
    }

    // Cancelled while the lines are read, or while a Latin-1 file is still
    // being rewritten: the state is as before.
    void cancel_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<double>("at");  // the share done when Cancel is pressed
        const QByteArray lines = (Line(7001) + "\n").repeated(20'000);
        QTest::newRow("reading lines") << lines << 0.5;
        QTest::newRow("rewriting Latin-1 lines")
            << QByteArray(lines).replace("\n", "\xE9\n") << 0.1;
    }
    void cancel() {
        QFETCH(QByteArray, contents);
        QFETCH(double, at);
        BrowserState state;
        AddTruck(state, TruckLine(1));
        AddTruck(state, TruckLine(2));
        double reached = 0;
        const LoadResult result = LoadTruckText(state, contents.toStdString(), 0, [&](double done) {
            reached = done;
            return done < at;
        });
        QVERIFY(result.cancelled && reached >= at && reached < at + 0.1);
        QCOMPARE(RawLines(state), (QByteArrayList{Line(1), Line(2)}));
        QCOMPARE(state.Trucks.count(), 2);
        QCOMPARE(state.LoadStarts, std::vector<TruckIndex>{1});
    }

    // A load checks its trucks on another thread, a stretch at a time, while
    // it reads: trucks that fail right at the edges between stretches (and
    // chunks) fail as they would one by one, the ones before in their own
    // load. Every truck passes but the three made to fail.
    void checksOfALargeLoad() {
        constexpr int kTrucks = 70'000;
        std::string text;
        for (int n = 1; n <= kTrucks; ++n) {
            // HEAD tells trucks apart; the clock keeps them in order. Truck
            // 8193 is the same as the last truck of the first stretch.
            const int stamp = n == 8193 ? 8192 : n;
            FieldValues values = SampleTruck(stamp % 10'000);
            values[kHourField - 1] = stamp / 3600 % 24;
            values[kMinuteField - 1] = stamp / 60 % 60;
            values[kSecondField - 1] = stamp % 60;
            if (n == 16'385) {  // a minute earlier than the truck before it
                values[kMinuteField - 1] = (values[kMinuteField - 1] + 59) % 60;
            }
            if (n == 65'537) {  // the first truck of the second chunk
                values[kSpeedField - 1] = 0;
            }
            text += TruckLine(values) + '\n';
        }
        BrowserState state;
        state.AddTruck(ReadTruck(TruckLine(8192 % 10'000)));  // another load: no DUPLICATE
        const LoadResult result = LoadTruckText(state, text, 0);
        QCOMPARE(result.added, kTrucks);
        QList<QPair<qint64, int>> failing;
        for (TruckIndex n = 1; n <= state.NoTrucks; ++n) {
            if (state.Checks(n) != 0) {
                failing << qMakePair(qint64(n), int(state.Checks(n)));
            }
        }
        // Numbers in the state: the truck held before is number 1.
        QCOMPARE(failing, (QList<QPair<qint64, int>>{{8194, MaskOf(CheckCode::Duplicate)},
                                                     {16'386, MaskOf(CheckCode::Order)},
                                                     {65'538, MaskOf(CheckCode::Speed)}}));
    }

    void kindOfText_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");  // 0 text, 1 UTF-16, 2 binary
        QTest::addColumn<bool>("failingLineIsText");
        const QByteArray truck = Line(7001) + "\n";
        const auto utf16 = [](const QByteArray& latin, bool little) {
            QByteArray out;
            for (const char c : latin) {
                out += little ? QByteArray(1, c) + '\0' : QByteArray(1, '\0') + c;
            }
            return out;
        };
        QTest::newRow("Latin-1 head line with a tab") << "Site\t\xE9t\xE9\r\n" + truck << 0 << true;
        QTest::newRow("UTF-16 LE with its mark")
            << "\xFF\xFE" + utf16("WIM site\r\n", true) << 1 << false;
        QTest::newRow("UTF-16 BE with its mark")
            << "\xFE\xFF" + utf16("WIM site\r\n", false) << 1 << false;
        QTest::newRow("UTF-16 LE without a mark") << utf16(truck, true) << 1 << false;
        // One control byte in 100 is still text; a head line with a form feed
        // is not a line of text, though.
        QTest::newRow("1 % control bytes") << "\f" + QByteArray(99, 'x') + "\n" << 0 << false;
        QTest::newRow("2 % control bytes") << "\x01\x02" + QByteArray(97, 'x') + "\n" << 2 << false;
        QTest::newRow("a NUL-filled file") << QByteArray(4096, '\0') << 2 << false;
    }
    // What the window says of a file that fails: what it looks like, and
    // whether the failing line was text at all.
    void kindOfText() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QFETCH(bool, failingLineIsText);
        QCOMPARE(int(KindOfText(bytes.toStdString())), kind);
        const LoadResult result = ReadTruckText(bytes.toStdString(), 0, 1);
        QCOMPARE(result.kind, TextKind(kind));
        if (result.failure) {
            QCOMPARE(result.failingLineIsText, failingLineIsText);
        }
    }

    void ignoreCount_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qint64>("count");  // -1: refused with 13, naming the text
        const auto row = [](const char* tag, const QByteArray& text, qint64 count) {
            QTest::newRow(tag) << text << count;
        };
        row("spaces only", "   ", 0);
        row("spaces around", " 2 ", 2);
        row("fraction cut off", "1.9", 1);
        row("negative", "-1", 0);
        row("beyond 16 bits", "40000", 40'000);
        row("beyond 64 bits", "123456789012345678901234567890", std::numeric_limits<qint64>::max());
        row("word", "abc", -1);
        row("non-ASCII", "zw\xC3\xB6lf", -1);
    }
    void ignoreCount() {
        QFETCH(QByteArray, text);
        QFETCH(qint64, count);
        std::string reason;
        TruckIndex actual = -1;
        QCOMPARE(Raised([&] { actual = IgnoreCount(text.toStdString()); }, &reason),
                 count < 0 ? 13 : 0);
        QCOMPARE(actual, count);
        QCOMPARE(QByteArray::fromStdString(reason),
                 count < 0 ? "No of lines to ignore: \"" + text + "\" is not a number" : "");
    }

    void unreadablePath_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::newRow("missing file") << "missing.txt" << 53;
        QTest::newRow("file used as a folder") << "trucks.txt/inner.txt" << 53;
        QTest::newRow("directory") << "folder" << 75;
        QTest::newRow("named pipe") << "pipe" << 75;
    }
    // The reason is the system's words; the window names the path.
    void unreadablePath() {
        QFETCH(QString, name);
        QFETCH(int, number);
        QTemporaryDir dir;
        Write(dir, "trucks.txt", Line(1));
        QVERIFY(::mkdir(qPrintable(dir.filePath("folder")), 0700) == 0 &&
                ::mkfifo(qPrintable(dir.filePath("pipe")), 0600) == 0);
        const std::string path = dir.filePath(name).toStdString();
        std::string reason;
        QCOMPARE(Raised([&] { ReadFileBytes(path); }, &reason), number);
        QVERIFY2(!reason.empty() && reason.find(path) == std::string::npos, reason.c_str());
    }

    // Two files in a row, the same file twice, a file that fails after one truck
    // and a paste all append; none of them moves CurrentTruck.
    void loadsAppend() {
        QTemporaryDir dir;
        const std::string first = Write(dir, "first.txt", Line(1) + "\n" + Line(2) + "\n");
        const std::string second = Write(dir, "second.txt", "site 2\r\n" + Line(3) + "\r\n");
        const std::string broken = Write(dir, "broken.txt", Line(4) + "\nnot a truck\n" + Line(5));
        BrowserState state;
        state.CurrentTruck = 2;
        for (const auto& [path, ignore] :
             {std::pair(first, 0), {second, 1}, {first, 0}, {broken, 0}}) {
            LoadTruckText(state, *ReadFileBytes(path), ignore);
        }
        LoadPastedText(state, SharedText(TruckLine(6)));
        QCOMPARE(RawLines(state),
                 (QByteArrayList{Line(1), Line(2), Line(3), Line(1), Line(2), Line(4), Line(6)}));
        QCOMPARE(state.CurrentTruck, 2);
    }
};

QTEST_GUILESS_MAIN(tst_TruckFile)
#include "tst_truckfile.moc"

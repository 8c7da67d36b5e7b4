// axlewise-cli run as a process on small files: exit statuses, the check
// report, unreadable lines, the CSV read back field by field, and pictures
// checked in pixels against positions worked out by hand.

#include "TruckLines.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace axlewise;
using namespace axlewise::test;

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run RunCli(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(AXLEWISE_CLI), arguments);
    Run run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        qWarning("axlewise-cli did not finish normally: %s", qPrintable(process.errorString()));
        return run;
    }
    run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& contents) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

// A truck line from the sample five-axle truck (weights 56, 78, 76, 76, 76,
// GVW 362, spacings 36, 13, 58, 13, lane 2, direction 1, 14 March
// 08:35:12.47), with the fields named by their index (1..32) changed.
QByteArray Line(int head, const QList<std::pair<int, int>>& changes = {}) {
    FieldValues values = SampleTruck(head);
    for (const auto& [index, value] : changes) {
        values[static_cast<std::size_t>(index - 1)] = value;
    }
    return QByteArray::fromStdString(TruckLine(values));
}

// Field indices used below.
constexpr int kHour = 5, kMinute = 6, kSpeed = 9, kGvw = 10, kLength = 11, kAxles = 12,
              kDirection = 13, kLane = 14;
constexpr int kW1 = 16, kS1 = 17, kW2 = 18, kS2 = 19, kW3 = 20, kS3 = 21, kW4 = 22, kS4 = 23,
              kW5 = 24;

// The rows of RFC 4180 text, every row ended by CRLF; nothing when the text
// breaks the format (a bare LF or CR, a stray quote, a last row without CRLF).
std::optional<QList<QStringList>> ReadCsv(const QByteArray& text) {
    QList<QStringList> rows;
    QStringList row;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        QByteArray field;
        if (text[i] == '"') {
            ++i;
            for (;;) {
                if (i >= n) {
                    return std::nullopt;
                }
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
        } else {
            while (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                if (text[i] == '"') {
                    return std::nullopt;
                }
                field += text[i++];
            }
        }
        row << QString::fromUtf8(field);
        if (i < n && text[i] == ',') {
            ++i;
            continue;
        }
        if (text.mid(i, 2) != "\r\n") {
            return std::nullopt;
        }
        i += 2;
        rows << row;
        row.clear();
    }
    return rows;
}

bool Dark(const QImage& image, int x, int y) {
    return image.pixelColor(x, y).lightness() < 128;
}

}  // namespace

class tst_Cli : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void exitStatus_data();
    void exitStatus();
    void checkReport();
    void unreadableLinesListed_data();
    void unreadableLinesListed();
    void csvReadsBack();
    void render_data();
    void render();
    void renderFewerThanTwoAxles();

private:
    QTemporaryDir dir_;
    QString good_;     // two trucks
    QString bad_;      // a truck, a line that is not one, a truck
    QString headed_;   // a head line, then a truck
    QString missing_;  // no such file
};

void tst_Cli::initTestCase() {
    QVERIFY(dir_.isValid());
    good_ = Write(dir_, QStringLiteral("good.txt"), Line(7001) + "\n" + Line(7002) + "\n");
    bad_ = Write(dir_, QStringLiteral("bad.txt"),
                 Line(7001) + "\n" + WithField(Line(7002).toStdString(), kSpeed, "1x3").c_str() +
                     "\n" + Line(7003) + "\n");
    headed_ = Write(dir_, QStringLiteral("headed.txt"), "WIM site 12\n" + Line(7001) + "\n");
    missing_ = dir_.filePath(QStringLiteral("missing.txt"));
}

void tst_Cli::exitStatus_data() {
    QTest::addColumn<QStringList>("arguments");  // {good}, {bad}, ... stand for files
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("stderrHolds");  // with the same stand-ins; empty: anything
    const auto row = [](const char* tag, const QStringList& arguments, int status,
                        const char* stderrHolds = "") {
        QTest::newRow(tag) << arguments << status << QString::fromUtf8(stderrHolds);
    };
    row("check: every line read", {"check", "{good}"}, 0);
    row("check: a line is not a truck", {"check", "{bad}"}, 1);
    row("check: a head line without --ignore", {"check", "{headed}"}, 1);
    row("check: --ignore 1 skips the head line", {"check", "--ignore", "1", "{headed}"}, 0);
    row("check: --ignore=1", {"check", "--ignore=1", "{headed}"}, 0);
    row("check: a missing file", {"check", "{missing}"}, 2, "{missing}: No such file or directory");
    row("check: a folder", {"check", "{dir}"}, 2, "{dir}: Is a directory");
    row("check: a missing file among good ones", {"check", "{good}", "{missing}", "{bad}"}, 2,
        "{missing}: No such file or directory");
    row("check: no file", {"check"}, 2, "no FILE given");
    row("check: --ignore not a number", {"check", "--ignore", "x2", "{good}"}, 2,
        "--ignore: \"x2\" is not a number");
    row("check: --ignore without a value", {"check", "{good}", "--ignore"}, 2,
        "--ignore needs a value");
    row("check: an option of render", {"check", "--truck", "1", "{good}"}, 2,
        "unknown option --truck");
    row("no command", {}, 2, "usage: axlewise-cli");
    row("an unknown command", {"verify", "{good}"}, 2, "unknown command 'verify'");
    row("csv: every line read", {"csv", "{good}", "-o", "{out}"}, 0);
    row("csv: a line is not a truck", {"csv", "{bad}", "-o", "{out}"}, 1,
        "{bad}:2: SPEED (columns 19-21): \"1x3\" is not a number");
    row("csv: a missing file", {"csv", "{missing}", "-o", "{out}"}, 2,
        "{missing}: No such file or directory");
    row("csv: an output that cannot be written", {"csv", "{good}", "-o", "{dir}/none/out.csv"}, 2,
        "{dir}/none/out.csv: No such file or directory");
    row("render: written", {"render", "{good}", "--truck", "2", "-o", "{out}"}, 0);
    row("render: written past a line that is not a truck",
        {"render", "{bad}", "--truck", "2", "-o", "{out}"}, 1, "{bad}:2: SPEED (columns 19-21)");
    row("render: no such truck", {"render", "{good}", "--truck", "3", "-o", "{out}"}, 2,
        "{good}: no truck 3: the file holds 2 trucks");
    row("render: truck 0", {"render", "{good}", "--truck", "0", "-o", "{out}"}, 2,
        "--truck: \"0\" is not a truck number");
    row("render: without --truck", {"render", "{good}", "-o", "{out}"}, 2,
        "render needs --truck N");
    row("render: without -o", {"render", "{good}", "--truck", "1"}, 2, "render needs -o OUT.png");
    row("render: two files", {"render", "{good}", "{bad}", "--truck", "1", "-o", "{out}"}, 2,
        "render draws from one FILE");
    row("render: scale 0", {"render", "{good}", "--truck", "1", "-o", "{out}", "--scale", "0"}, 2,
        "--scale: \"0\" is not a pixel ratio");
    row("render: a missing file", {"render", "{missing}", "--truck", "1", "-o", "{out}"}, 2,
        "{missing}: No such file or directory");
    row("help", {"--help"}, 0);
    row("help of a command", {"csv", "--help"}, 0);
    row("help wins over a missing file", {"check", "{missing}", "--help"}, 0);
}

void tst_Cli::exitStatus() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, stderrHolds);
    const QString out = dir_.filePath(QStringLiteral("out.data"));
    const auto place = [&](QString text) {
        return text.replace(QStringLiteral("{good}"), good_)
            .replace(QStringLiteral("{bad}"), bad_)
            .replace(QStringLiteral("{headed}"), headed_)
            .replace(QStringLiteral("{missing}"), missing_)
            .replace(QStringLiteral("{dir}"), dir_.path())
            .replace(QStringLiteral("{out}"), out);
    };
    for (QString& argument : arguments) {
        argument = place(argument);
    }
    const Run run = RunCli(arguments);
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(place(stderrHolds).toUtf8()), run.err.constData());
}

// Five trucks after a head line, worked through by hand:
//   line 2  truck 1  lane 2 dir 1  08:35:12.47  GVW 362  passes
//   line 3  truck 2  lane 2 dir 1  09:35:12.47  GVW 362  SPEED 0
//   line 4  "1x3" as SPEED: unreadable
//   line 5  blank
//   line 6  truck 3  the same fields as truck 2: SPEED and DUPLICATE
//   line 7  truck 4  lane 1 dir 2  10:35:12.47  two axles 100 + 100, GVW 200
//   line 8  truck 5  lane 2 dir 1  08:00:12.47  GVW 500: AXLE_SUM, and ORDER
//                    (earlier than truck 3, the last of its lane)
// GVW sorted: 200 362 362 362 500; nearest rank of 5 trucks: p10 rank 1,
// p50 rank 3, p90 rank 5.
void tst_Cli::checkReport() {
    const QByteArray truck2 = Line(7002, {{kSpeed, 0}, {kHour, 9}});
    const QByteArray contents = "SITE 12 NORTH\n" + Line(7001) + "\n" + truck2 + "\n" +
                                WithField(Line(7003).toStdString(), kSpeed, "1x3").c_str() + "\n" +
                                "\n" + truck2 + "\n" +
                                Line(7004, {{kLane, 1},
                                            {kDirection, 2},
                                            {kHour, 10},
                                            {kAxles, 2},
                                            {kW1, 100},
                                            {kS1, 40},
                                            {kW2, 100},
                                            {kS2, 0},
                                            {kW3, 0},
                                            {kS3, 0},
                                            {kW4, 0},
                                            {kS4, 0},
                                            {kW5, 0},
                                            {kGvw, 200},
                                            {kLength, 120}}) +
                                "\n" + Line(7005, {{kHour, 8}, {kMinute, 0}, {kGvw, 500}}) + "\n";
    const QString path = Write(dir_, QStringLiteral("report.txt"), contents);
    const Run run =
        RunCli({QStringLiteral("check"), QStringLiteral("--ignore"), QStringLiteral("1"), path});
    QCOMPARE(run.status, 1);
    const QString expected = path + QStringLiteral(R"(
  lines read: 8
  trucks: 5
  unreadable lines: 1
)") + path + QStringLiteral(R"(:4: SPEED (columns 19-21): "1x3" is not a number
  checks failed (trucks, share, first trucks):
    AXLE_SUM   1  20.0%  truck 5
    AXLE_COUNT 0   0.0%
    AXLE_EMPTY 0   0.0%
    AXLE_EXTRA 0   0.0%
    WHEELBASE  0   0.0%
    FIELD_MAX  0   0.0%
    CLOCK      0   0.0%
    SPEED      2  40.0%  trucks 2, 3
    DUPLICATE  1  20.0%  truck 3
    ORDER      1  20.0%  truck 5
  time of passage (YY-MM-DD hh:mm:ss.cc):
    first: 24-03-14 08:00:12.47 (truck 5)
    last:  24-03-14 10:35:12.47 (truck 4)
  trucks per lane and direction:
    lane 1, direction 2: 1 (20.0%)
    lane 2, direction 1: 4 (80.0%)
  GVW: min 200, p10 200, p50 362, p90 500, max 500
)");
    QCOMPARE(QString::fromUtf8(run.out), expected);
}

// The first 20 unreadable lines are listed, the rest counted; csv lists them all.
void tst_Cli::unreadableLinesListed_data() {
    QTest::addColumn<int>("badLines");
    QTest::addColumn<QString>("notListed");  // the last line of the list, or nothing
    QTest::newRow("20 bad lines, all listed") << 20 << QString();
    QTest::newRow("21 bad lines, 1 more")
        << 21 << QStringLiteral("  (1 more unreadable line not listed)");
    QTest::newRow("23 bad lines, 3 more")
        << 23 << QStringLiteral("  (3 more unreadable lines not listed)");
}

void tst_Cli::unreadableLinesListed() {
    QFETCH(int, badLines);
    QFETCH(QString, notListed);
    // Line 1 a truck, lines 2 .. badLines + 1 not trucks, then a truck.
    QByteArray contents = Line(7001) + "\n";
    for (int k = 0; k < badLines; ++k) {
        contents += WithField(Line(7100 + k).toStdString(), kMinute, "x").c_str();
        contents += "\r\n";
    }
    contents += Line(7002);
    const QString path =
        Write(dir_, QStringLiteral("bad%1.txt").arg(badLines), contents);  // no break at the end
    const QString reason = QStringLiteral(R"(: MINUTE (columns 13-14): "x " is not a number)");

    const Run check = RunCli({QStringLiteral("check"), path});
    QCOMPARE(check.status, 1);
    QStringList expected{QStringLiteral("  lines read: %1").arg(badLines + 2),
                         QStringLiteral("  trucks: 2"),
                         QStringLiteral("  unreadable lines: %1").arg(badLines)};
    for (int line = 2; line <= 21; ++line) {
        expected << path + QLatin1Char(':') + QString::number(line) + reason;
    }
    if (!notListed.isEmpty()) {
        expected << notListed;
    }
    expected << QStringLiteral("  checks failed (trucks, share, first trucks):");
    const QStringList lines = QString::fromUtf8(check.out).split(QLatin1Char('\n'));
    QCOMPARE(lines.mid(1, expected.size()), expected);

    const Run csv = RunCli({QStringLiteral("csv"), path});
    QCOMPARE(csv.status, 1);
    QStringList all;
    for (int line = 2; line <= badLines + 1; ++line) {
        all << path + QLatin1Char(':') + QString::number(line) + reason;
    }
    QCOMPARE(QString::fromUtf8(csv.err).split(QLatin1Char('\n'), Qt::SkipEmptyParts), all);
    QCOMPARE(ReadCsv(csv.out).value_or(QList<QStringList>()).size(), 3);  // header, 2 trucks
}

void tst_Cli::csvReadsBack() {
    // A name with a comma and quotes must be quoted, its quotes doubled.
    const QString odd =
        Write(dir_, QStringLiteral("site 4, \"north\".txt"),
              "HEAD LINE\n" + Line(7001) + "\n" + Line(7002, {{kMinute, 61}, {kSpeed, 0}}) + "\n");
    const QString plain =
        Write(dir_, QStringLiteral("plain.txt"), "HEAD LINE\n" + Line(7003) + "\n");
    const QString out = dir_.filePath(QStringLiteral("trucks.csv"));
    const QStringList arguments{QStringLiteral("csv"), QStringLiteral("--ignore"),
                                QStringLiteral("1"), odd, plain};
    const Run run = RunCli(arguments + QStringList{QStringLiteral("-o"), out});
    QCOMPARE(run.status, 0);
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.contains("\r\n\"" + odd.toUtf8().replace("\"", "\"\"") + "\",2,"));

    const std::optional<QList<QStringList>> rows = ReadCsv(bytes);
    QVERIFY2(rows, "not RFC 4180 with CRLF row ends");
    QCOMPARE(rows->size(), 4);
    QCOMPARE(rows->at(0), (QStringList{"file",          "line",       "HEAD",          "DAY",
                                       "MONTH",         "YEAR",       "HOUR",          "MINUTE",
                                       "SECOND",        "SECOND/100", "SPEED",         "GVW",
                                       "LENGTH",        "NO. AXLES",  "DIRECTION",     "LANE",
                                       "TRNS LANE POS", "WT AX 1",    "S AX 1 - AX 2", "WT AX 2",
                                       "S AX 2 - AX 3", "WT AX 3",    "S AX 3 - AX 4", "WT AX 4",
                                       "S AX 4 - AX 5", "WT AX 5",    "S AX 5 - AX 6", "WT AX 6",
                                       "S AX 6 - AX 7", "WT AX 7",    "S AX 7 - AX 8", "WT AX 8",
                                       "S AX 8 - AX 9", "WT AX 9",    "Time (s)",      "checks"}));
    // 14 March 08:35:12.47 is (2 * 30 + 13) days, 8 h, 35 min and 12.47 s:
    // 6338112.47 s; with MINUTE 61, 6339672.47 s.
    const QStringList fields = {"14", "3", "24",  "8",  "35", "12", "47", "87", "362", "165", "5",
                                "1",  "2", "145", "56", "36", "78", "13", "76", "58",  "76",  "13",
                                "76", "0", "0",   "0",  "0",  "0",  "0",  "0",  "0"};
    QCOMPARE(rows->at(1), QStringList{odd} << "2"
                                           << "7001" << fields << "6338112.47"
                                           << "");
    QStringList failing = fields;
    failing[4] = QStringLiteral("61");
    failing[7] = QStringLiteral("0");
    QCOMPARE(rows->at(2), QStringList{odd} << "3"
                                           << "7002" << failing << "6339672.47"
                                           << "CLOCK SPEED");
    QCOMPARE(rows->at(3), QStringList{plain} << "2"
                                             << "7003" << fields << "6338112.47"
                                             << "");

    // Standard output gets the same bytes.
    QCOMPARE(RunCli(arguments).out, bytes);
}

// One truck with three axles at 0, 50 and 110 on the scale running from -10 to
// 200 over 431 pixels: wheel centres at (x + 10) * 431 / 210 = 20.52, 123.14
// and 246.29 pixels, radius 5 * 431 / 210 = 10.26, hub radius 3.42. Their row,
// y 0 on -35..5 over 127 pixels, is 35 * 127 / 40 = 111.1. Rings are dark, hubs
// (inverted) white, the rest of the row white.
void tst_Cli::render_data() {
    QTest::addColumn<QStringList>("scaleArguments");
    QTest::addColumn<int>("ratio");
    QTest::newRow("scale 1 (default)") << QStringList{} << 1;
    QTest::newRow("scale 2") << QStringList{QStringLiteral("--scale"), QStringLiteral("2")} << 2;
}

void tst_Cli::render() {
    QFETCH(QStringList, scaleArguments);
    QFETCH(int, ratio);
    const QByteArray truck = Line(7001, {{kAxles, 3},
                                         {kS1, 50},
                                         {kS2, 60},
                                         {kW1, 60},
                                         {kW2, 80},
                                         {kW3, 80},
                                         {kS3, 0},
                                         {kW4, 0},
                                         {kS4, 0},
                                         {kW5, 0},
                                         {kGvw, 220},
                                         {kLength, 200}});
    const QString path = Write(dir_, QStringLiteral("three.txt"), Line(7000) + "\n" + truck + "\n");
    const QString png = dir_.filePath(QStringLiteral("three-%1.png").arg(ratio));
    const Run run = RunCli(QStringList{QStringLiteral("render"), path, QStringLiteral("--truck"),
                                       QStringLiteral("2"), QStringLiteral("-o"), png} +
                           scaleArguments);
    QCOMPARE(run.status, 0);
    const QImage image(png);
    QCOMPARE(image.size(), QSize(431 * ratio, 127 * ratio));

    const double centres[] = {20.52, 123.14, 246.29};
    const int row = 111 * ratio;
    for (int x = 0; x < image.width(); ++x) {
        const double pixel = (x + 0.5) / ratio;  // in logical pixels
        double nearest = 1e9;
        for (const double centre : centres) {
            nearest = std::min(nearest, std::abs(pixel - centre));
        }
        // Ring: 3.42 .. 10.26 from the centre; a pixel of slack on each edge.
        const bool ring = nearest > 4.5 && nearest < 9.2;
        const bool white = nearest < 2.4 || nearest > 11.3;
        if (ring) {
            QVERIFY2(Dark(image, x, row), qPrintable(QStringLiteral("column %1 light").arg(x)));
        } else if (white) {
            QVERIFY2(!Dark(image, x, row), qPrintable(QStringLiteral("column %1 dark").arg(x)));
        }
    }
}

// No picture for one axle: the blank picture is written and stderr says why.
void tst_Cli::renderFewerThanTwoAxles() {
    const QByteArray truck = Line(7001, {{kAxles, 1},
                                         {kS1, 0},
                                         {kW2, 0},
                                         {kS2, 0},
                                         {kW3, 0},
                                         {kS3, 0},
                                         {kW4, 0},
                                         {kS4, 0},
                                         {kW5, 0},
                                         {kGvw, 56}});
    const QString path = Write(dir_, QStringLiteral("one.txt"), truck + "\n");
    const QString png = dir_.filePath(QStringLiteral("one.png"));
    const Run run = RunCli({QStringLiteral("render"), path, QStringLiteral("--truck"),
                            QStringLiteral("1"), QStringLiteral("-o"), png});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.err.contains((path + QStringLiteral(":1: truck 1: This truck's geometry is "
                                                     "erroneous (NO. AXLES is 1); the picture "
                                                     "is blank"))
                                  .toUtf8()),
             run.err.constData());
    const QImage image(png);
    QCOMPARE(image.size(), QSize(431, 127));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QVERIFY2(image.pixel(x, y) == qRgb(255, 255, 255),
                     qPrintable(QStringLiteral("(%1, %2) not white").arg(x).arg(y)));
        }
    }
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"

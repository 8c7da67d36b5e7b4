// axlewise-cli run as a process on small files: exit statuses, the check
// report, unreadable lines, the CSV byte for byte, and pictures checked in
// pixels against positions worked out by hand.

#include "CliProcess.h"
#include "CliTrucks.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace axlewise;
using namespace axlewise::test;

namespace {

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& contents) {
    return WriteFile(dir.filePath(name), contents);
}

// A CSV row as written: the file as quoted, the line, the 32 fields, then `rest`.
QByteArray CsvRow(const QByteArray& file, int line, const FieldValues& values, const char* rest) {
    QByteArray row = file + ',' + QByteArray::number(line);
    for (const int value : values) {
        row += ',' + QByteArray::number(value);
    }
    return row + ',' + rest + "\r\n";
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
    void controlCharactersInNames_escaped_data();
    void controlCharactersInNames_escaped();
    void readmeShowsTheOutput_data();
    void readmeShowsTheOutput();

private:
    QTemporaryDir dir_;
    QString good_;    // two trucks
    QString bad_;     // a truck, a line that is not one, a truck
    QString headed_;  // a head line, then a truck
};

void tst_Cli::initTestCase() {
    QVERIFY(dir_.isValid());
    good_ = Write(dir_, QStringLiteral("good.txt"), Line(7001) + "\n" + Line(7002) + "\n");
    bad_ = Write(dir_, QStringLiteral("bad.txt"),
                 Line(7001) + "\n" + Broken(7002, kSpeed, "1x3") + "\n" + Line(7003) + "\n");
    headed_ = Write(dir_, QStringLiteral("headed.txt"), "WIM site 12\n" + Line(7001) + "\n");
}

void tst_Cli::exitStatus_data() {
    // Split at blanks; {good}, {bad}, ... stand for paths ({dir}/none does not exist).
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("stderrHolds");  // with the same stand-ins; empty: anything
    const auto row = [](const char* tag, const QString& arguments, int status,
                        const QString& stderrHolds = QString()) {
        QTest::newRow(tag) << arguments << status << stderrHolds;
    };
    row("check: --ignore 1 skips the head line", "check --ignore 1 {headed}", 0);
    row("check: --ignore=1", "check --ignore=1 {headed}", 0);
    row("check: a missing file among others", "check {good} {dir}/none {bad}", 2,
        "{dir}/none: No such");
    row("check: no file", "check", 2, "check: FILE is required");
    row("check: --ignore x2", "check --ignore x2 {good}", 2, "--ignore: \"x2\" is not a number");
    row("check: --ignore without a value", "check {good} --ignore", 2,
        "--ignore: 1 required N missing");
    row("check: an option of render", "check --truck 1 {good}", 2,
        "check: The following argument was not expected: --truck");
    row("no command", "", 2, "Usage: axlewise-cli [OPTIONS] COMMAND");
    row("an unknown command", "verify {good}", 2, "unknown command \"verify\"");
    row("csv: a missing file", "csv {dir}/none -o {out}", 2, "{dir}/none: No such");
    row("csv: an output it cannot write", "csv {good} -o {dir}/no/out", 2, "{dir}/no/out: No such");
    row("csv: the output is an input", "csv {bad} {good} -o {good}", 2,
        "{good}: is also an input file");
    row("render: past a bad line", "render {bad} --truck 2 -o {out}", 1, "{bad}:2: SPEED (columns");
    row("render: no such truck", "render {good} --truck 3 -o {out}", 2,
        "{good}: no truck 3: the file holds 2 trucks");
    row("render: truck 0", "render {good} --truck 0 -o {out}", 2, "--truck: \"0\" is not a truck");
    row("render: without --truck", "render {good} -o {out}", 2, "render: --truck is required");
    row("render: without -o", "render {good} --truck 1", 2, "render: --output is required");
    row("render: two files", "render {good} {bad} --truck 1 -o {out}", 2,
        "render: FILE: At Most 1 required but received 2");
    row("render: scale 0", "render {good} --truck 1 -o {out} --scale 0", 2,
        "--scale: \"0\" is not");
    row("render: scale 0.25, the least", "render {good} --truck 1 -o {out} --scale 0.25", 0);
    row("render: scale 8, the most", "render {good} --truck 1 -o {out} --scale=8", 0);
    row("render: scale 0.24", "render {good} --truck 1 -o {out} --scale 0.24", 2,
        "--scale: \"0.24\" is not a pixel ratio from 0.25 to 8");
    row("render: scale 1e-300", "render {good} --truck 1 -o {out} --scale 1e-300", 2,
        "--scale: \"1e-300\" is not");
    row("render: scale 8.01", "render {good} --truck 1 -o {out} --scale 8.01", 2,
        "--scale: \"8.01\" is not");
    row("render: scale nan", "render {good} --truck 1 -o {out} --scale nan", 2,
        "--scale: \"nan\" is not");
    row("render: --truck 1x", "render {good} --truck 1x -o {out}", 2,
        "--truck: \"1x\" is not a truck number");
    row("check: --ignore 1.9 cuts the fraction", "check --ignore 1.9 {headed}", 0);
    row("csv: --ignore= empty counts as 0", "csv --ignore= {headed}", 1, "{headed}:1: ");
    row("csv: --ignore -3 counts as 0", "csv --ignore -3 {headed}", 1, "{headed}:1: ");
    row("check: -- after a file ends the options", "check {good} -- --ignore", 2,
        "axlewise-cli: --ignore: No such file");
    row("check: -- before the files", "check -- --truck {good}", 2,
        "axlewise-cli: --truck: No such file");
    row("render: a second file after --", "render {good} --truck 1 -o {out} -- {bad}", 2,
        "render: The following argument was not expected: {bad}");
    row("csv: -o without a name", "csv {good} --output=", 2, "csv: --output: needs a file name");
    row("render: a missing file", "render {dir}/none --truck 1 -o {out}", 2, "{dir}/none: No such");
    row("help", "--help", 0);
    row("help, as a word", "help", 0);
    row("help of a command", "render -h", 0);
    row("help wins over a missing file", "check {dir}/none --help", 0);
}

void tst_Cli::exitStatus() {
    QFETCH(QString, arguments);
    QFETCH(int, status);
    QFETCH(QString, stderrHolds);
    const QString out = dir_.filePath(QStringLiteral("out.data"));
    const auto place = [&](QString text) {
        return text.replace(QStringLiteral("{good}"), good_)
            .replace(QStringLiteral("{bad}"), bad_)
            .replace(QStringLiteral("{headed}"), headed_)
            .replace(QStringLiteral("{dir}"), dir_.path())
            .replace(QStringLiteral("{out}"), out);
    };
    QStringList words = arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString& word : words) {
        word = place(word);
    }
    const Run run = RunCli(words);
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(place(stderrHolds).toUtf8()), run.err.constData());
    // No command ever changes an input.
    QFile good(good_);
    QVERIFY(good.open(QIODevice::ReadOnly));
    QCOMPARE(good.readAll(), Line(7001) + "\n" + Line(7002) + "\n");
}

// Five trucks after a head line, worked through by hand:
//   line 2  truck 1  lane 2 dir 1  08:35:12.47  GVW 362  passes
//   line 3  truck 2  lane 2 dir 1  09:35:12.47  GVW 362  SPEED 0
//   line 4  "1x3" as SPEED: unreadable
//   line 5  blank
//   line 6  truck 3  the same fields as truck 2: SPEED and DUPLICATE
//   line 7  truck 4  lane 1 dir 2  10:35:12.47  two axles 56 + 78, GVW 134
//   line 8  truck 5  lane 2 dir 1  08:00:12.47  GVW 500: AXLE_SUM, and ORDER
//                    (earlier than truck 3, the last of its lane)
// GVW sorted: 134 362 362 362 500; nearest rank of 5 trucks: p10 rank 1,
// p50 rank 3, p90 rank 5.
void tst_Cli::checkReport() {
    const QByteArray truck2 = Line(7002, {kSpeed, 0, kHour, 9});
    const QByteArray truck4 = Line(7004, {kLane, 1, kDirection, 2, kHour, 10, kGvw, 134}, 2);
    const QByteArray contents = "SITE 12 NORTH\n" + Line(7001) + "\n" + truck2 + "\n" +
                                Broken(7003, kSpeed, "1x3") + "\n\n" + truck2 + "\n" + truck4 +
                                "\n" + Line(7005, {kHour, 8, kMinute, 0, kGvw, 500}) + "\n";
    const QString path = Write(dir_, QStringLiteral("report.txt"), contents);
    const Run run = RunCli({"check", "--ignore", "1", path});
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
  GVW: min 134, p10 134, p50 362, p90 500, max 500
)");
    QCOMPARE(QString::fromUtf8(run.out), expected);
}

// The first 20 unreadable lines are listed, the rest counted; csv lists them all.
void tst_Cli::unreadableLinesListed_data() {
    QTest::addColumn<int>("badLines");
    QTest::addColumn<QStringList>("notListed");  // the last line of the list, if any
    QTest::newRow("20 bad lines, all listed") << 20 << QStringList();
    QTest::newRow("21 bad lines") << 21 << QStringList{"  (1 more unreadable line not listed)"};
    QTest::newRow("23 bad lines") << 23 << QStringList{"  (3 more unreadable lines not listed)"};
}

void tst_Cli::unreadableLinesListed() {
    QFETCH(int, badLines);
    QFETCH(QStringList, notListed);
    // Line 1 a truck, lines 2 .. badLines + 1 not trucks, then a truck without a break.
    QByteArray contents = Line(7001) + "\n";
    for (int k = 0; k < badLines; ++k) {
        contents += Broken(7100 + k, kMinute, "x") + "\r\n";
    }
    const QString path =
        Write(dir_, QStringLiteral("bad%1.txt").arg(badLines), contents + Line(7002));
    QStringList reasons;
    for (int line = 2; line <= badLines + 1; ++line) {
        reasons << path + QStringLiteral(":%1: MINUTE (columns 13-14): \"x \" is not a number")
                              .arg(line);
    }

    const Run check = RunCli({"check", path});
    QCOMPARE(check.status, 1);
    const QStringList expected =
        QStringList{QStringLiteral("  lines read: %1").arg(badLines + 2),
                    QStringLiteral("  trucks: 2"),
                    QStringLiteral("  unreadable lines: %1").arg(badLines)}
        << reasons.mid(0, 20) << notListed
        << QStringLiteral("  checks failed (trucks, share, first trucks):");
    const QStringList lines = QString::fromUtf8(check.out).split(QLatin1Char('\n'));
    QCOMPARE(lines.mid(1, expected.size()), expected);

    const Run csv = RunCli({"csv", path});
    QCOMPARE(csv.status, 1);
    QCOMPARE(QString::fromUtf8(csv.err).split(QLatin1Char('\n'), Qt::SkipEmptyParts), reasons);
    QCOMPARE(csv.out.count("\r\n"), 3);  // the header and 2 trucks
}

void tst_Cli::csvReadsBack() {
    // A name with a comma and quotes is quoted, its quotes doubled. 14 March
    // 08:35:12.47 is (2 * 30 + 13) days, 8 h, 35 min and 12.47 s: 6338112.47 s;
    // MINUTE 61 and SECOND 60 add 26 min 48 s. Two CLOCK failures name CLOCK once.
    const FieldValues failing = Values(7002, {kMinute, 61, kSecond, 60, kSpeed, 0});
    const QString odd =
        Write(dir_, QStringLiteral("site 4, \"north\".txt"),
              "HEAD LINE\n" + Line(7001) + "\n" + TruckLine(failing).c_str() + "\n");
    const QString plain =
        Write(dir_, QStringLiteral("plain.txt"), "HEAD LINE\n" + Line(7003) + "\n");
    const QByteArray quoted = '"' + dir_.path().toUtf8() + "/site 4, \"\"north\"\".txt\"";
    QByteArray expected = "file,line";
    for (const LineField& field : kFields) {
        expected += ',' + QByteArray(field.caption.data(), field.caption.size());
    }
    expected += ",Time (s),checks\r\n" + CsvRow(quoted, 2, SampleTruck(7001), "6338112.47,") +
                CsvRow(quoted, 3, failing, "6339720.47,CLOCK SPEED") +
                CsvRow(plain.toUtf8(), 2, SampleTruck(7003), "6338112.47,");

    const QString out = dir_.filePath(QStringLiteral("trucks.csv"));
    const QStringList arguments{"csv", "--ignore", "1", odd, plain};
    QCOMPARE(RunCli(arguments + QStringList{"-o", out}).status, 0);
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expected);
    // Standard output gets the same bytes.
    QCOMPARE(RunCli(arguments).out, expected);
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
    QTest::newRow("scale 2") << QStringList{"--scale", "2"} << 2;
}

void tst_Cli::render() {
    QFETCH(QStringList, scaleArguments);
    QFETCH(int, ratio);
    const QByteArray truck = Line(7001, {kS1, 50, kS2, 60}, 3);
    const QString path = Write(dir_, QStringLiteral("three.txt"), Line(7000) + "\n" + truck + "\n");
    const QString png = dir_.filePath(QStringLiteral("three-%1.png").arg(ratio));
    const Run run = RunCli(QStringList{"render", path, "--truck", "2", "-o", png} + scaleArguments);
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
        const bool dark = image.pixelColor(x, row).lightness() < 128;
        if (ring) {
            QVERIFY2(dark, qPrintable(QStringLiteral("column %1 light").arg(x)));
        } else if (white) {
            QVERIFY2(!dark, qPrintable(QStringLiteral("column %1 dark").arg(x)));
        }
    }
}

// No picture for one axle: the blank picture is written and stderr says why.
void tst_Cli::renderFewerThanTwoAxles() {
    const QString path = Write(dir_, QStringLiteral("one.txt"), Line(7001, {kGvw, 56}, 1) + "\n");
    const QString png = dir_.filePath(QStringLiteral("one.png"));
    const Run run = RunCli({"render", path, "--truck", "1", "-o", png});
    QCOMPARE(run.status, 0);
    QVERIFY2(QString::fromUtf8(run.err).contains(path + ":1: truck 1: This truck's geometry is "
                                                        "erroneous (NO. AXLES is 1); the picture "
                                                        "is blank"),
             run.err.constData());
    QImage white(431, 127, QImage::Format_RGB32);
    white.fill(Qt::white);
    QCOMPARE(QImage(png).convertToFormat(QImage::Format_RGB32), white);
}

// A file name with a line break, an escape sequence and a backslash: reports
// and messages show it escaped as reasons quote text, so that it cannot split
// a line or colour the terminal; the CSV's file column keeps the name itself.
void tst_Cli::controlCharactersInNames_escaped_data() {
    QTest::addColumn<QString>("arguments");  // {odd}: the file; {out}: an output
    QTest::addColumn<bool>("toStandardOutput");
    QTest::addColumn<QString>("holds");  // {shown}: the name as shown; {raw}: as it is
    QTest::newRow("check: the report's first line")
        << "check {odd}" << true << "{shown}\n  lines read: 2\n";
    QTest::newRow("check: an unreadable line") << "check {odd}" << true << "\n{shown}:2: SPEED";
    QTest::newRow("csv: an unreadable line") << "csv {odd}" << false << "{shown}:2: SPEED";
    QTest::newRow("csv: the file column") << "csv {odd}" << true << "\r\n\"{raw}\",1,7001,";
    QTest::newRow("a missing file")
        << "check {odd}.none" << false << "axlewise-cli: {shown}.none: No such file";
    QTest::newRow("render: no such truck")
        << "render {odd} --truck 5 -o {out}" << false << "axlewise-cli: {shown}: no truck 5";
    QTest::newRow("csv: an output that cannot be written")
        << "csv {good} -o {odd}/out.csv" << false
        << "axlewise-cli: {shown}/out.csv: Not a directory";
}

void tst_Cli::controlCharactersInNames_escaped() {
    QFETCH(QString, arguments);
    QFETCH(bool, toStandardOutput);
    QFETCH(QString, holds);
    const QString raw = dir_.filePath(QStringLiteral("a\nb\x1B[31m\\.txt"));
    Write(dir_, QStringLiteral("a\nb\x1B[31m\\.txt"),
          Line(7001) + "\n" + Broken(7002, kSpeed, "1x3") + "\n");
    const QString shown = dir_.path() + QStringLiteral(R"(/a\nb\x1B[31m\\.txt)");
    QStringList words = arguments.split(QLatin1Char(' '));
    for (QString& word : words) {
        word.replace(QStringLiteral("{odd}"), raw)
            .replace(QStringLiteral("{good}"), good_)
            .replace(QStringLiteral("{out}"), dir_.filePath(QStringLiteral("odd.png")));
    }
    const Run run = RunCli(words);
    const QByteArray& stream = toStandardOutput ? run.out : run.err;
    holds.replace(QStringLiteral("{shown}"), shown).replace(QStringLiteral("{raw}"), raw);
    QVERIFY2(stream.contains(holds.toUtf8()), stream.constData());
    QVERIFY(!run.err.contains('\x1B'));
    if (arguments.startsWith(QStringLiteral("check"))) {
        QVERIFY(!run.out.contains('\x1B'));
    }
}

// The README shows help and the sample report as the program prints them,
// not a copy that drifts. Run in the source directory, where the sample lives.
void tst_Cli::readmeShowsTheOutput_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("the program's help") << QStringList{"--help"};
    QTest::newRow("render's help") << QStringList{"render", "--help"};
    QTest::newRow("check of the sample file") << QStringList{"check", "examples/trucks.txt"};
}

void tst_Cli::readmeShowsTheOutput() {
    QFETCH(QStringList, arguments);
    const QString source = qEnvironmentVariable("AXLEWISE_SOURCE_DIR");
    const QByteArray readme = ReadFile(source + "/README.md");
    Start start;
    start.workingDirectory = source;
    const Run run = RunCli(arguments, start);
    QCOMPARE(run.status, 0);
    QVERIFY(!run.out.isEmpty());
    const QByteArray block =
        "```\n$ axlewise-cli " + arguments.join(u' ').toUtf8() + "\n" + run.out + "```\n";
    QVERIFY2(readme.contains(block), run.out.constData());
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"

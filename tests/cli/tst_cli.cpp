// axlewise-cli run as a process on small files: exit statuses, the check
// report, unreadable lines, the CSV byte for byte, and pictures checked in
// pixels against positions worked out by hand.

#include "CliProcess.h"
#include "CliTrucks.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace axlewise;
using namespace axlewise::test;

namespace {

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
    QString write(const QString& name, const QByteArray& contents) const {
        return WriteFile(dir_.filePath(name), contents);
    }
    Run run(const QString& arguments) const { return RunIn(dir_.path(), arguments); }

    QTemporaryDir dir_;  // the files of WriteSamples; the program runs here
};

void tst_Cli::initTestCase() {
    QVERIFY(dir_.isValid());
    WriteSamples(dir_.path());
}

void tst_Cli::exitStatus_data() {
    QTest::addColumn<QString>("arguments");  // split at blanks
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("stderrHolds");  // empty: anything
    const auto row = [](const char* tag, const char* arguments, int status,
                        const char* stderrHolds = "") {
        QTest::newRow(tag) << arguments << status << stderrHolds;
    };
    row("check: --ignore 1 skips the head line", "check --ignore 1 headed.txt", 0);
    row("check: no file", "check", 2, "check: FILE is required");
    row("check: --ignore x2", "check --ignore x2 good.txt", 2, "--ignore: \"x2\" is not a number");
    row("check: an option of render", "check --truck 1 good.txt", 2,
        "check: The following argument was not expected: --truck");
    row("check: files only after --", "check -- good.txt", 0);
    row("check: -- after a file ends the options", "check good.txt -- --ignore", 2,
        "axlewise-cli: --ignore: No such file");
    row("no command", "", 2, "Usage: axlewise-cli [OPTIONS] COMMAND");
    row("an unknown command", "verify good.txt", 2, "unknown command \"verify\"");
    row("help, as a word", "help", 0);
    row("csv: --ignore= empty counts as 0", "csv --ignore= headed.txt", 1, "headed.txt:1: ");
    row("csv: -o without a name", "csv good.txt --output=", 2, "csv: --output: needs a file name");
    row("render: past a bad line", "render bad.txt --truck 2 -o out.png", 1, "bad.txt:2: SPEED (");
    row("render: truck 0", "render good.txt --truck 0 -o out.png", 2, "--truck: \"0\" is not");
    row("render: --truck 1x", "render good.txt --truck 1x -o out.png", 2,
        "--truck: \"1x\" is not a truck number");
    row("render: without --truck", "render good.txt -o out.png", 2, "render: --truck is required");
    row("render: without -o", "render good.txt --truck 1", 2, "render: --output is required");
    row("render: a second file after --", "render good.txt --truck 1 -o out.png -- bad.txt", 2,
        "render: The following argument was not expected: bad.txt");
    row("render: scale 0.25, the least", "render good.txt --truck 1 -o out.png --scale 0.25", 0);
    row("render: scale 8, the most", "render good.txt --truck 1 -o out.png --scale=8", 0);
    row("render: scale 0.24", "render good.txt --truck 1 -o out.png --scale 0.24", 2,
        "--scale: \"0.24\" is not a pixel ratio from 0.25 to 8");
    row("render: scale 8.01", "render good.txt --truck 1 -o out.png --scale 8.01", 2,
        "--scale: \"8.01\" is not");
    row("render: scale nan", "render good.txt --truck 1 -o out.png --scale nan", 2,
        "--scale: \"nan\" is not");
    row("report: without -o", "report good.txt", 2, "report: --output is required");
    row("report: without a file", "report -o out.html", 2, "report: FILE is required");
}

void tst_Cli::exitStatus() {
    QFETCH(QString, arguments);
    QFETCH(int, status);
    QFETCH(QString, stderrHolds);
    const Run result = run(arguments);
    QCOMPARE(result.status, status);
    QVERIFY2(result.err.contains(stderrHolds.toUtf8()), result.err.constData());
    // No command ever changes an input.
    QCOMPARE(ReadFile(dir_.filePath("good.txt")), Line(7001) + "\n" + Line(7002) + "\n");
}

// worked.txt, worked through by hand in CliTrucks.h; the missing file before
// it is reported on standard error and the others are still checked.
void tst_Cli::checkReport() {
    const Run result = run("check --ignore 1 none worked.txt");
    QCOMPARE(result.status, 2);
    QCOMPARE(result.err, "axlewise-cli: none: No such file or directory\n");
    QCOMPARE(QString::fromUtf8(result.out), QStringLiteral(R"(worked.txt
  lines read: 8
  trucks: 5
  unreadable lines: 1
worked.txt:4: SPEED (columns 19-21): "1x3" is not a number
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
)"));
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
    const QString name = QStringLiteral("bad%1.txt").arg(badLines);
    write(name, contents + Line(7002));
    QStringList reasons;
    for (int line = 2; line <= badLines + 1; ++line) {
        reasons << name + QStringLiteral(":%1: MINUTE (columns 13-14): \"x \" is not a number")
                              .arg(line);
    }

    const Run check = run("check " + name);
    QCOMPARE(check.status, 1);
    const QStringList expected =
        QStringList{name, QStringLiteral("  lines read: %1").arg(badLines + 2),
                    QStringLiteral("  trucks: 2"),
                    QStringLiteral("  unreadable lines: %1").arg(badLines)}
        << reasons.mid(0, 20) << notListed
        << QStringLiteral("  checks failed (trucks, share, first trucks):");
    QCOMPARE(QString::fromUtf8(check.out).split(QLatin1Char('\n')).mid(0, expected.size()),
             expected);

    const Run csv = run("csv " + name);
    QCOMPARE(csv.status, 1);
    QCOMPARE(QString::fromUtf8(csv.err).split(QLatin1Char('\n'), Qt::SkipEmptyParts), reasons);
    QCOMPARE(csv.out.count("\r\n"), 3);  // the header and 2 trucks
}

// A name with a comma and quotes is quoted, its quotes doubled. 14 March
// 08:35:12.47 is (2 * 30 + 13) days, 8 h, 35 min and 12.47 s: 6338112.47 s;
// MINUTE 61 and SECOND 60 add 26 min 48 s. Two CLOCK failures name CLOCK once.
void tst_Cli::csvReadsBack() {
    const FieldValues failing = Values(7002, {kMinute, 61, kSecond, 60, kSpeed, 0});
    write(QStringLiteral("site4,\"north\".txt"),
          "HEAD LINE\n" + Line(7001) + "\n" + TruckLine(failing).c_str() + "\n");
    write("plain.txt", "HEAD LINE\n" + Line(7003) + "\n");
    QByteArray expected = "file,line";
    for (const LineField& field : kFields) {
        expected += ',' + QByteArray(field.caption.data(), field.caption.size());
    }
    expected += ",Time (s),checks\r\n" +
                CsvRow(R"("site4,""north"".txt")", 2, SampleTruck(7001), "6338112.47,") +
                CsvRow(R"("site4,""north"".txt")", 3, failing, "6339720.47,CLOCK SPEED") +
                CsvRow("plain.txt", 2, SampleTruck(7003), "6338112.47,");
    const QString arguments = QStringLiteral(R"(csv --ignore 1 site4,"north".txt plain.txt)");
    QCOMPARE(run(arguments + " -o trucks.csv").status, 0);
    QCOMPARE(ReadFile(dir_.filePath("trucks.csv")), expected);
    QCOMPARE(run(arguments).out, expected);
}

// One truck with three axles at 0, 50 and 110 on the scale running from -10 to
// 200 over 431 pixels: wheel centres at (x + 10) * 431 / 210 = 20.52, 123.14
// and 246.29 pixels, radius 5 * 431 / 210 = 10.26, hub radius 3.42. Their row,
// y 0 on -35..5 over 127 pixels, is 35 * 127 / 40 = 111.1. Rings are dark, hubs
// (inverted) white, the rest of the row white. The file's first truck has five
// axles: drawing it would put dark pixels where these are white.
void tst_Cli::render_data() {
    QTest::addColumn<QString>("scale");
    QTest::addColumn<int>("ratio");
    QTest::newRow("scale 1 (default)") << "" << 1;
    QTest::newRow("scale 2") << "--scale 2" << 2;
}

void tst_Cli::render() {
    QFETCH(QString, scale);
    QFETCH(int, ratio);
    write("three.txt", Line(7000) + "\n" + Line(7001, {kS1, 50, kS2, 60}, 3));
    QCOMPARE(run("render three.txt --truck 2 -o three.png " + scale).status, 0);
    const QImage image(dir_.filePath("three.png"));
    QCOMPARE(image.size(), QSize(431 * ratio, 127 * ratio));
    for (int x = 0; x < image.width(); ++x) {
        const double pixel = (x + 0.5) / ratio;  // in logical pixels
        double nearest = 1e9;
        for (const double centre : {20.52, 123.14, 246.29}) {
            nearest = std::min(nearest, std::abs(pixel - centre));
        }
        // Ring: 3.42 .. 10.26 from the centre; a pixel of slack on each edge.
        const bool ring = nearest > 4.5 && nearest < 9.2, white = nearest < 2.4 || nearest > 11.3;
        const bool dark = image.pixelColor(x, 111 * ratio).lightness() < 128;
        QVERIFY2(!(ring || white) || dark == ring, qPrintable(QString::number(x)));
    }
}

// No picture for one axle: the blank picture is written and stderr says why.
void tst_Cli::renderFewerThanTwoAxles() {
    write("one.txt", Line(7001, {kGvw, 56}, 1) + "\n");
    const Run result = run("render one.txt --truck 1 -o one.png");
    QCOMPARE(result.status, 0);
    QVERIFY2(result.err.contains("one.txt:1: truck 1: This truck's geometry is erroneous "
                                 "(NO. AXLES is 1); the picture is blank"),
             result.err.constData());
    QImage white(431, 127, QImage::Format_RGB32);
    white.fill(Qt::white);
    QCOMPARE(QImage(dir_.filePath("one.png")).convertToFormat(white.format()), white);
}

// A file name with a line break, an escape sequence and a backslash: reports
// and messages show it escaped as reasons quote text, so that it cannot split
// a line or colour the terminal; the CSV's file column keeps the name itself.
void tst_Cli::controlCharactersInNames_escaped_data() {
    QTest::addColumn<QString>("arguments");  // {odd}: the file
    QTest::addColumn<bool>("toStandardOutput");
    QTest::addColumn<QString>("holds");  // {shown}: the name as shown; {odd}: as it is
    QTest::newRow("check: the report") << "check {odd}" << true
                                       << "{shown}\n  lines read: 2\n  trucks: 1\n"
                                          "  unreadable lines: 1\n{shown}:2: SPEED";
    QTest::newRow("csv: an unreadable line") << "csv {odd}" << false << "{shown}:2: SPEED";
    QTest::newRow("csv: the file column") << "csv {odd}" << true << "\r\n\"{odd}\",1,7001,";
    QTest::newRow("a missing file")
        << "check {odd}.none" << false << "axlewise-cli: {shown}.none: No such file";
    QTest::newRow("render: no such truck")
        << "render {odd} --truck 5 -o odd.png" << false << "axlewise-cli: {shown}: no truck 5";
    QTest::newRow("csv: an output that cannot be written")
        << "csv good.txt -o {odd}/out.csv" << false
        << "axlewise-cli: {shown}/out.csv: Not a directory";
}

void tst_Cli::controlCharactersInNames_escaped() {
    QFETCH(QString, arguments);
    QFETCH(bool, toStandardOutput);
    QFETCH(QString, holds);
    const QString odd = QStringLiteral("a\nb\x1B[31m\\.txt");
    write(odd, Line(7001) + "\n" + Broken(7002, kSpeed, "1x3") + "\n");
    const Run result = run(arguments.replace("{odd}", odd));
    const QByteArray& stream = toStandardOutput ? result.out : result.err;
    holds.replace("{shown}", QStringLiteral(R"(a\nb\x1B[31m\\.txt)")).replace("{odd}", odd);
    QVERIFY2(stream.contains(holds.toUtf8()), stream.constData());
    QVERIFY(!result.err.contains('\x1B'));
    QVERIFY(arguments.startsWith("csv") || !result.out.contains('\x1B'));
}

// The README shows help and the sample report as the program prints them,
// not a copy that drifts. Run in the source directory, where the sample lives.
void tst_Cli::readmeShowsTheOutput_data() {
    QTest::addColumn<QString>("arguments");
    QTest::newRow("the program's help") << "--help";
    QTest::newRow("render's help") << "render --help";
    QTest::newRow("check of the sample file") << "check examples/trucks.txt";
}

void tst_Cli::readmeShowsTheOutput() {
    QFETCH(QString, arguments);
    const QString source = qEnvironmentVariable("AXLEWISE_SOURCE_DIR");
    const Run result = RunIn(source, arguments);
    QCOMPARE(result.status, 0);
    QVERIFY(!result.out.isEmpty());
    const QByteArray block =
        "```\n$ axlewise-cli " + arguments.toUtf8() + "\n" + result.out + "```\n";
    QVERIFY2(ReadFile(source + "/README.md").contains(block), result.out.constData());
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"

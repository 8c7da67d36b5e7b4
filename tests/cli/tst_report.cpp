// axlewise-cli report run as a process: exit statuses, the page's tables
// against check's figures and against figures worked out by hand, the charts
// over all files, a page that xmllint finds valid (HTML, and each SVG as XML),
// names and reasons escaped, and an output written whole or not at all.

#include "CliProcess.h"
#include "CliTrucks.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <memory>
#include <unistd.h>

using namespace axlewise;
using namespace axlewise::test;

namespace {

using Rows = QList<QStringList>;

// One file's section of the page: its name and its tables by class, each the
// cell texts of its body rows.
struct FileTables {
    QString name;
    QMap<QString, Rows> tables;
};

struct ChartTexts {
    QString title;      // the SVG's <title>
    QStringList texts;  // every <text> drawn
};

struct Page {
    QString title;
    QString lead;
    QList<FileTables> files;
    QList<ChartTexts> charts;
    QString error;  // where the page is not well-formed XML
};

QString ClassOf(const QXmlStreamReader& xml) {
    return xml.attributes().value(QStringLiteral("class")).toString();
}

// Reads the page as XML (it is written to be well-formed XML as well as HTML),
// so that every text comes back unescaped as a browser shows it.
Page ReadPage(const QByteArray& html) {
    Page page;
    QXmlStreamReader xml(html);
    QString table;
    QStringList row;
    bool head = false;
    int svgDepth = 0;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        const QString name = xml.name().toString();
        if (token == QXmlStreamReader::StartElement) {
            if (svgDepth > 0) {
                if (name == QStringLiteral("title") && svgDepth == 1) {
                    page.charts.last().title = xml.readElementText();
                } else if (name == QStringLiteral("text")) {
                    page.charts.last().texts
                        << xml.readElementText(QXmlStreamReader::IncludeChildElements);
                } else {
                    ++svgDepth;
                }
            } else if (name == QStringLiteral("svg")) {
                svgDepth = 1;
                page.charts.append(ChartTexts());
            } else if (name == QStringLiteral("title")) {
                page.title = xml.readElementText();
            } else if (name == QStringLiteral("p") && ClassOf(xml) == QStringLiteral("lead")) {
                page.lead = xml.readElementText();
            } else if (name == QStringLiteral("div") && ClassOf(xml) == QStringLiteral("file")) {
                page.files.append(FileTables());
            } else if (name == QStringLiteral("h2") && !page.files.isEmpty() && table.isEmpty() &&
                       page.files.last().name.isEmpty()) {
                page.files.last().name = xml.readElementText();
            } else if (name == QStringLiteral("table") && !page.files.isEmpty()) {
                table = ClassOf(xml);
                page.files.last().tables[table];
            } else if (name == QStringLiteral("thead")) {
                head = true;
            } else if (name == QStringLiteral("tr")) {
                row.clear();
            } else if (name == QStringLiteral("th") || name == QStringLiteral("td")) {
                row << xml.readElementText();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (svgDepth > 0) {
                --svgDepth;
            } else if (name == QStringLiteral("thead")) {
                head = false;
            } else if (name == QStringLiteral("tr") && !head && !table.isEmpty()) {
                page.files.last().tables[table].append(row);
            } else if (name == QStringLiteral("table")) {
                table.clear();
            }
        }
    }
    if (xml.hasError()) {
        page.error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    }
    return page;
}

// One report of check's output read into the same tables as the page's.
FileTables FromCheckText(const QString& report) {
    static const QRegularExpression check(
        QStringLiteral(R"(^    ([A-Z_]+) +(\d+) +(\d+\.\d%)(?:  trucks? (.*))?$)"));
    static const QRegularExpression passage(
        QStringLiteral(R"(^    (first|last): +(\S+ \S+) \(truck (\d+)\)$)"));
    static const QRegularExpression lane(
        QStringLiteral(R"(^    lane (-?\d+), direction (-?\d+): (\d+) \((\S+)\)$)"));
    static const QRegularExpression gvw(QStringLiteral(
        R"(^  GVW: min (-?\d+), p10 (-?\d+), p50 (-?\d+), p90 (-?\d+), max (-?\d+)$)"));
    static const QRegularExpression count(
        QStringLiteral(R"(^  (lines read|trucks|unreadable lines): (\d+)$)"));
    const QStringList headings{QStringLiteral("  checks failed (trucks, share, first trucks):"),
                               QStringLiteral("  time of passage (YY-MM-DD hh:mm:ss.cc):"),
                               QStringLiteral("  trucks per lane and direction:")};

    QStringList lines = report.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    FileTables file;
    file.name = lines.takeFirst();
    for (const QString& line : lines) {
        QRegularExpressionMatch m;
        if ((m = count.match(line)).hasMatch()) {
            file.tables[QStringLiteral("lines")] << m.capturedTexts().mid(1);
        } else if (line.startsWith(file.name + QLatin1Char(':'))) {
            const QString rest = line.mid(file.name.size() + 1);
            const qsizetype colon = rest.indexOf(QStringLiteral(": "));
            file.tables[QStringLiteral("unreadable")]
                << QStringList{rest.left(colon), rest.mid(colon + 2)};
        } else if (line.startsWith(QStringLiteral("  ("))) {
            file.tables[QStringLiteral("unreadable")] << QStringList{line.trimmed()};
        } else if ((m = check.match(line)).hasMatch()) {
            file.tables[QStringLiteral("checks")]
                << QStringList{m.captured(1), m.captured(2), m.captured(3), m.captured(4)};
        } else if ((m = passage.match(line)).hasMatch()) {
            file.tables[QStringLiteral("passage")] << m.capturedTexts().mid(1);
        } else if ((m = lane.match(line)).hasMatch()) {
            file.tables[QStringLiteral("lanes")] << m.capturedTexts().mid(1);
        } else if ((m = gvw.match(line)).hasMatch()) {
            file.tables[QStringLiteral("gvw")] << m.capturedTexts().mid(1);
        } else if (!headings.contains(line)) {
            file.tables[QStringLiteral("not understood")] << QStringList{line};
        }
    }
    return file;
}

// The SVG elements of the page, as they stand in it.
QList<QByteArray> SvgElements(const QByteArray& html) {
    QList<QByteArray> svgs;
    for (qsizetype at = html.indexOf("<svg "); at >= 0; at = html.indexOf("<svg ", at + 1)) {
        const qsizetype end = html.indexOf("</svg>", at);
        if (end < 0) {
            break;
        }
        svgs << html.mid(at, end + 6 - at);
    }
    return svgs;
}

// The page with every SVG element cut out: what an HTML 4 parser knows.
QByteArray WithoutSvg(QByteArray html) {
    for (const QByteArray& svg : SvgElements(html)) {
        html.replace(svg, QByteArray());
    }
    return html;
}

// xmllint on a file; a missing xmllint gives status -1.
Run Xmllint(const QStringList& options, const QString& path) {
    QProcess process;
    process.start(QStringLiteral("xmllint"), options + QStringList{path});
    const bool finished =
        process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return {finished ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

// The charts' titles in the order the page shows them.
const QStringList kChartTitles{
    "GVW", "Checks", "Steering axle", "Drive-tandem spacing", "Trucks per hour", "Speed", "Axles"};

}  // namespace

class tst_Report : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void exitStatus_data();
    void exitStatus();
    void tablesWorkedByHand();
    void tablesEqualCheck_data();
    void tablesEqualCheck();
    void chartsOverAllFiles();
    void pageValid_data();
    void pageValid();
    void namesAndReasonsEscaped_data();
    void namesAndReasonsEscaped();
    void safeOutput_data();
    void safeOutput();

private:
    QString write(const QString& name, const QByteArray& contents) const {
        return WriteFile(dir_.filePath(name), contents);
    }
    // Splits at blanks; {name} stands for the path of a file of the directory.
    QStringList words(const QString& arguments) const {
        QStringList list = arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (QString& word : list) {
            static const QRegularExpression place(QStringLiteral(R"(\{([a-z0-9.]+)\})"));
            QRegularExpressionMatch m;
            while ((m = place.match(word)).hasMatch()) {
                word.replace(m.capturedStart(), m.capturedLength(), dir_.filePath(m.captured(1)));
            }
        }
        return list;
    }

    QTemporaryDir dir_;
};

// The files the rows name:
//   good      two trucks
//   bad       a truck, a line that is not one, a truck
//   headed    a head line, then a truck
//   worked    a head line and five trucks worked through in tablesWorkedByHand
//   many      a truck, 23 lines that are not trucks, a truck
//   empty     nothing
//   none      no truck at all, one line that is not one
void tst_Report::initTestCase() {
    QVERIFY(dir_.isValid());
    write(QStringLiteral("good"), Line(7001) + "\n" + Line(7002) + "\n");
    write(QStringLiteral("bad"),
          Line(7001) + "\n" + Broken(7002, kSpeed, "1x3") + "\n" + Line(7003) + "\n");
    write(QStringLiteral("headed"), "WIM site 12\n" + Line(7001) + "\n");
    const QByteArray truck2 = Line(7002, {kSpeed, 0, kHour, 9});
    const QByteArray truck4 = Line(7004, {kLane, 1, kDirection, 2, kHour, 10, kGvw, 134}, 2);
    write(QStringLiteral("worked"), "SITE 12 NORTH\n" + Line(7001) + "\n" + truck2 + "\n" +
                                        Broken(7003, kSpeed, "1x3") + "\n\n" + truck2 + "\n" +
                                        truck4 + "\n" +
                                        Line(7005, {kHour, 8, kMinute, 0, kGvw, 500}) + "\n");
    QByteArray many = Line(7001) + "\n";
    for (int k = 0; k < 23; ++k) {
        many += Broken(7100 + k, kMinute, "x") + "\r\n";
    }
    write(QStringLiteral("many"), many + Line(7002));
    write(QStringLiteral("empty"), QByteArray());
    write(QStringLiteral("none"), Broken(7001, kGvw, "?") + "\n");
}

void tst_Report::exitStatus_data() {
    QTest::addColumn<QString>("arguments");  // {out} is the page
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("stderrHolds");
    QTest::addColumn<bool>("written");
    const auto row = [](const char* tag, const char* arguments, int status, bool written,
                        const char* stderrHolds = "") {
        QTest::newRow(tag) << arguments << status << stderrHolds << written;
    };
    row("every line read", "report {good} -o {out}", 0, true);
    // Lines that are not trucks are listed in the page, as check lists them in
    // its report.
    row("a line that is not a truck: the page is still written", "report {good} {bad} -o {out}", 1,
        true);
    row("--ignore 1 skips the head line", "report --ignore 1 {headed} -o {out}", 0, true);
    row("without --ignore the head line is not a truck", "report {headed} -o {out}", 1, true);
    row("a file without lines", "report {empty} -o {out}", 0, true);
    row("without -o", "report {good}", 2, false, "report: --output is required");
    row("without a file", "report -o {out}", 2, false, "report: FILE is required");
    row("--ignore x2", "report --ignore x2 {good} -o {out}", 2, false,
        "--ignore: \"x2\" is not a number");
    row("an option of render", "report --truck 1 {good} -o {out}", 2, false,
        "report: The following argument was not expected: --truck");
    row("a missing file", "report {good} {missing} -o {out}", 2, false,
        "missing: No such file or directory");
    row("help", "report --help", 0, false);
}

void tst_Report::exitStatus() {
    QFETCH(QString, arguments);
    QFETCH(int, status);
    QFETCH(QString, stderrHolds);
    QFETCH(bool, written);
    const QString out = dir_.filePath(QStringLiteral("out"));
    QFile::remove(out);
    const Run run = RunCli(words(arguments));
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(stderrHolds.toUtf8()), run.err.constData());
    QCOMPARE(QFileInfo::exists(out), written);
    if (written) {
        const QByteArray page = ReadFile(out);
        QVERIFY(page.startsWith("<!DOCTYPE html>\n<html"));
        QVERIFY(page.endsWith("</html>\n"));
        QCOMPARE(ReadPage(page).error, QString());
    }
}

// The file of tst_cli's check report, worked through by hand there:
// line 4 unreadable; trucks 2 and 3 SPEED 0, truck 3 a DUPLICATE of 2;
// truck 5 AXLE_SUM and ORDER; truck 4 the only one in lane 1, direction 2.
void tst_Report::tablesWorkedByHand() {
    const Run run = RunCli(words(QStringLiteral("report --ignore 1 {worked} -o {page.html}")));
    QCOMPARE(run.status, 1);
    const Page page = ReadPage(ReadFile(dir_.filePath(QStringLiteral("page.html"))));
    QCOMPARE(page.error, QString());
    QCOMPARE(page.files.size(), 1);
    const FileTables& file = page.files.first();
    QCOMPARE(file.name, dir_.filePath(QStringLiteral("worked")));
    QCOMPARE(page.title, QStringLiteral("Truck report: ") + file.name);
    QVERIFY2(page.lead.startsWith(QStringLiteral("1 file, 5 trucks, 1 unreadable line. ")),
             qPrintable(page.lead));

    QCOMPARE(file.tables.keys(),
             (QStringList{"checks", "gvw", "lanes", "lines", "passage", "unreadable"}));
    QCOMPARE(file.tables[QStringLiteral("lines")],
             (Rows{{"lines read", "8"}, {"trucks", "5"}, {"unreadable lines", "1"}}));
    QCOMPARE(file.tables[QStringLiteral("unreadable")],
             (Rows{{"4", "SPEED (columns 19-21): \"1x3\" is not a number"}}));
    QCOMPARE(file.tables[QStringLiteral("checks")], (Rows{{"AXLE_SUM", "1", "20.0%", "5"},
                                                          {"AXLE_COUNT", "0", "0.0%", ""},
                                                          {"AXLE_EMPTY", "0", "0.0%", ""},
                                                          {"AXLE_EXTRA", "0", "0.0%", ""},
                                                          {"WHEELBASE", "0", "0.0%", ""},
                                                          {"FIELD_MAX", "0", "0.0%", ""},
                                                          {"CLOCK", "0", "0.0%", ""},
                                                          {"SPEED", "2", "40.0%", "2, 3"},
                                                          {"DUPLICATE", "1", "20.0%", "3"},
                                                          {"ORDER", "1", "20.0%", "5"}}));
    QCOMPARE(file.tables[QStringLiteral("passage")],
             (Rows{{"first", "24-03-14 08:00:12.47", "5"}, {"last", "24-03-14 10:35:12.47", "4"}}));
    QCOMPARE(file.tables[QStringLiteral("lanes")],
             (Rows{{"1", "2", "1", "20.0%"}, {"2", "1", "4", "80.0%"}}));
    QCOMPARE(file.tables[QStringLiteral("gvw")], (Rows{{"134", "134", "362", "500", "500"}}));
}

// Each file's tables hold what check prints for it, whatever the files hold.
void tst_Report::tablesEqualCheck_data() {
    QTest::addColumn<QString>("files");
    QTest::newRow("trucks worked by hand") << "--ignore 1 {worked}";
    QTest::newRow("two files, one with a bad line") << "{good} {bad}";
    QTest::newRow("23 unreadable lines: 20 listed") << "{many}";
    QTest::newRow("the same file twice") << "{good} {good}";
    QTest::newRow("a file without lines") << "{empty}";
    QTest::newRow("a file without trucks") << "{none} {headed}";
}

void tst_Report::tablesEqualCheck() {
    QFETCH(QString, files);
    const Run check = RunCli(words(QStringLiteral("check ") + files));
    const Run report = RunCli(words(QStringLiteral("report -o {page.html} ") + files));
    QCOMPARE(report.status, check.status);
    const Page page = ReadPage(ReadFile(dir_.filePath(QStringLiteral("page.html"))));
    QCOMPARE(page.error, QString());

    // check sets its reports apart by an empty line.
    const QStringList reports = QString::fromUtf8(check.out).split(QStringLiteral("\n\n"));
    QCOMPARE(page.files.size(), reports.size());
    for (qsizetype k = 0; k < reports.size(); ++k) {
        const FileTables expected = FromCheckText(reports[k]);
        const Rows odd = expected.tables.value(QStringLiteral("not understood"));
        QVERIFY2(odd.isEmpty(), qPrintable(odd.isEmpty() ? QString() : odd.first().first()));
        QCOMPARE(page.files[k].name, expected.name);
        QCOMPARE(page.files[k].tables, expected.tables);
    }
}

// The charts count every truck of every file: 2 trucks in good, 3 in three of
// which 2 fail SPEED, so 2 of 5 trucks fail it (40.0%) where three alone
// gives 66.7%.
void tst_Report::chartsOverAllFiles() {
    write(QStringLiteral("three"), Line(7101, {kSpeed, 0}) + "\n" + Line(7102, {kHour, 9}) + "\n" +
                                       Line(7103, {kSpeed, 0, kHour, 10}) + "\n");
    const Run run = RunCli(words(QStringLiteral("report {good} {three} -o {page.html}")));
    QCOMPARE(run.status, 0);
    const Page page = ReadPage(ReadFile(dir_.filePath(QStringLiteral("page.html"))));
    QCOMPARE(page.error, QString());
    QVERIFY2(page.lead.startsWith(QStringLiteral("2 files, 5 trucks, 0 unreadable lines. ")),
             qPrintable(page.lead));
    QCOMPARE(page.files.size(), 2);
    QCOMPARE(page.files[1].tables[QStringLiteral("checks")][7],
             (QStringList{"SPEED", "2", "66.7%", "1, 3"}));
    QCOMPARE(page.charts.size(), kChartTitles.size());
    const QStringList& checks = page.charts[kChartTitles.indexOf(QStringLiteral("Checks"))].texts;
    QVERIFY2(checks.contains(QStringLiteral("2 (40.0%)")), qPrintable(checks.join(u'|')));
    QVERIFY(!checks.contains(QStringLiteral("2 (66.7%)")));
}

// The page is valid HTML with one well-formed SVG per chart, and stands alone.
void tst_Report::pageValid_data() {
    QTest::addColumn<QString>("files");
    QTest::newRow("one file") << "{good}";
    QTest::newRow("two files, one with a bad line") << "{good} {bad}";
    QTest::newRow("many unreadable lines") << "{many}";
    QTest::newRow("no trucks: charts without data") << "{empty} {none}";
}

void tst_Report::pageValid() {
    QFETCH(QString, files);
    const QString path = dir_.filePath(QStringLiteral("valid.html"));
    const Run run = RunCli(words(QStringLiteral("report -o {valid.html} ") + files));
    QVERIFY(run.status == 0 || run.status == 1);
    const QByteArray html = ReadFile(path);

    const QList<QByteArray> svgs = SvgElements(html);
    QCOMPARE(svgs.size(), kChartTitles.size());
    QCOMPARE(html.count("<svg"), kChartTitles.size());
    QStringList titles;
    for (const ChartTexts& chart : ReadPage(html).charts) {
        titles << chart.title;
    }
    QCOMPARE(titles, kChartTitles);
    for (qsizetype k = 0; k < svgs.size(); ++k) {
        const QString svg = WriteFile(dir_.filePath(QStringLiteral("chart%1.svg").arg(k)), svgs[k]);
        const Run lint = Xmllint({"--noout"}, svg);
        QCOMPARE(lint.status, 0);
        QCOMPARE(lint.err, QByteArray());
    }
    // libxml2's HTML parser knows HTML 4, which has no SVG: the page is tried
    // without its charts, and as a whole as XML, where the charts must nest.
    const QString bare = WriteFile(dir_.filePath(QStringLiteral("bare.html")), WithoutSvg(html));
    const Run asHtml = Xmllint({"--html", "--noout"}, bare);
    QCOMPARE(asHtml.status, 0);
    QCOMPARE(asHtml.err, QByteArray());
    const Run asXml = Xmllint({"--noout"}, path);
    QCOMPARE(asXml.status, 0);
    QCOMPARE(asXml.err, QByteArray());

    // Nothing is fetched from elsewhere: no script, style sheet, font or
    // picture, and no address but the SVG namespaces.
    for (const char* outside :
         {"<script", "<link", "<img", "<iframe", "<object", "@import", "url(", "src=", "href="}) {
        QVERIFY2(!html.contains(outside), outside);
    }
    QByteArray rest = html;
    rest.replace("xmlns=\"http://www.w3.org/2000/svg\"", "")
        .replace("xmlns:xlink=\"http://www.w3.org/1999/xlink\"", "");
    QVERIFY(!rest.contains("http"));
}

// A file's name and the text of a line that is not a truck reach the page
// escaped: the page stays valid and shows them as check does.
void tst_Report::namesAndReasonsEscaped_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");  // as check and the page show it
    QTest::newRow("markup and quotes") << "<b>&amp;\"x'.txt"
                                       << "<b>&amp;\"x'.txt";
    QTest::newRow("a line break and an escape sequence") << "a\nb\x1B[31m\\.txt"
                                                         << R"(a\nb\x1B[31m\\.txt)";
    QTest::newRow("a tab and DEL") << "t\tx\x7F.txt"
                                   << R"(t\tx\x7F.txt)";
}

void tst_Report::namesAndReasonsEscaped() {
    QFETCH(QString, name);
    QFETCH(QString, shown);
    const QString path = write(name, Line(7001) + "\n" + Broken(7002, kSpeed, "<&>") + "\n");
    const QString out = dir_.filePath(QStringLiteral("names.html"));
    QCOMPARE(RunCli({"report", path, "-o", out}).status, 1);
    const QByteArray html = ReadFile(out);
    const Page page = ReadPage(html);
    QCOMPARE(page.error, QString());
    QCOMPARE(page.files.size(), 1);
    QCOMPARE(page.files.first().name, dir_.filePath(shown));
    QCOMPARE(page.title, QStringLiteral("Truck report: ") + dir_.filePath(shown));
    QCOMPARE(page.files.first().tables[QStringLiteral("unreadable")],
             (Rows{{"2", "SPEED (columns 19-21): \"<&>\" is not a number"}}));
    QVERIFY(!html.contains(QFile::encodeName(name)));
    QVERIFY(!html.contains("<b>"));
    QVERIFY(!html.contains("\"<&>\""));
    QVERIFY(!html.contains('\x1B'));
    QVERIFY(!html.contains('\x7F'));
    const Run lint =
        Xmllint({"--html", "--noout"},
                WriteFile(dir_.filePath(QStringLiteral("bare.html")), WithoutSvg(html)));
    QCOMPARE(lint.err, QByteArray());
}

// The page is written as every output is: never over an input, and not at all
// when an input cannot be read or the output cannot be written. Run in a
// fresh directory holding good.txt, other.txt, a hard and a symbolic link to
// good.txt, a directory, and out.html.
void tst_Report::safeOutput_data() {
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("message");
    const QString refused = QStringLiteral(": is also an input file; not replaced");
    QTest::newRow("over its input") << "report good.txt -o good.txt"
                                    << "good.txt" + refused;
    QTest::newRow("over an input, through a hard link") << "report other.txt good.txt -o hard.txt"
                                                        << "hard.txt" + refused;
    QTest::newRow("over an input, through a symbolic link") << "report good.txt -o soft.txt"
                                                            << "soft.txt" + refused;
    QTest::newRow("a missing input after a good one") << "report good.txt missing.txt -o out.html"
                                                      << "missing.txt: No such file or directory";
    QTest::newRow("a missing input, first") << "report missing.txt good.txt -o out.html"
                                            << "missing.txt: No such file or directory";
    QTest::newRow("a directory as input") << "report good.txt sub -o out.html"
                                          << "sub: Is a directory";
    QTest::newRow("a full device") << "report good.txt -o /dev/full"
                                   << "/dev/full: No space left on device";
    QTest::newRow("a directory as output") << "report good.txt -o sub"
                                           << "sub: Is a directory";
    QTest::newRow("in a directory that does not exist") << "report good.txt -o no/out.html"
                                                        << "no/out.html: No such file or directory";
}

void tst_Report::safeOutput() {
    QFETCH(QString, arguments);
    QFETCH(QString, message);
    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray good = Line(7001) + "\n" + Line(7002) + "\n";
    const QByteArray old = "<p>the old page</p>\n";
    WriteFile(dir.filePath(QStringLiteral("good.txt")), good);
    WriteFile(dir.filePath(QStringLiteral("other.txt")), Line(7101) + "\n");
    WriteFile(dir.filePath(QStringLiteral("out.html")), old);
    QCOMPARE(::link(QFile::encodeName(dir.filePath(QStringLiteral("good.txt"))).constData(),
                    QFile::encodeName(dir.filePath(QStringLiteral("hard.txt"))).constData()),
             0);
    QVERIFY(QFile::link(QStringLiteral("good.txt"), dir.filePath(QStringLiteral("soft.txt"))));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    const auto listing = [&dir] {
        return QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    };
    const QStringList before = listing();

    Start start;
    start.workingDirectory = dir.path();
    const Run run = RunCli(arguments.split(QLatin1Char(' ')), start);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
    QCOMPARE(ReadFile(dir.filePath(QStringLiteral("good.txt"))), good);
    QCOMPARE(ReadFile(dir.filePath(QStringLiteral("out.html"))), old);
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("soft.txt"))).isSymLink());
    QCOMPARE(listing(), before);
    QCOMPARE(QDir(dir.filePath(QStringLiteral("sub")))
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
}

QTEST_GUILESS_MAIN(tst_Report)
#include "tst_report.moc"

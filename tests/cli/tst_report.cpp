// axlewise-cli report run as a process: the page's tables against check's
// figures, the charts over all files, a page that xmllint finds valid (HTML,
// and each SVG as XML), names and reasons escaped. Its statuses and its output
// are tried with those of the other commands in tst_cli and tst_output.

#include "CliProcess.h"
#include "CliTrucks.h"

#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <utility>

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

// Reads the page as XML (it is written to be well-formed XML as well as HTML),
// so that every text comes back unescaped as a browser shows it.
Page ReadPage(const QByteArray& html) {
    Page page;
    QXmlStreamReader xml(html);
    QString table;  // the class of the table being read
    QStringList row;
    bool inSvg = false;
    while (!xml.atEnd()) {
        xml.readNext();
        const QString name = xml.name().toString();
        const QString type = xml.attributes().value("class").toString();
        if (xml.isEndElement()) {
            if (name == "svg") {
                inSvg = false;
            } else if (name == "tr" && !table.isEmpty()) {
                page.files.last().tables[table] << row;
            } else if (name == "table") {
                table.clear();
            }
        } else if (!xml.isStartElement()) {
        } else if (name == "svg") {
            inSvg = true;
            page.charts.append(ChartTexts());
        } else if (inSvg) {
            if (name == "title" && page.charts.last().title.isEmpty()) {
                page.charts.last().title = xml.readElementText();
            } else if (name == "text") {
                page.charts.last().texts
                    << xml.readElementText(QXmlStreamReader::IncludeChildElements);
            }
        } else if (name == "title") {
            page.title = xml.readElementText();
        } else if (name == "p" && type == "lead") {
            page.lead = xml.readElementText();
        } else if (name == "div" && type == "file") {
            page.files.append(FileTables());
        } else if (name == "h2" && !page.files.isEmpty() && page.files.last().name.isEmpty()) {
            page.files.last().name = xml.readElementText();
        } else if (name == "table" && !page.files.isEmpty()) {
            table = type;
            page.files.last().tables[table];
        } else if (name == "thead") {
            xml.skipCurrentElement();
        } else if (name == "tr") {
            row.clear();
        } else if (name == "th" || name == "td") {
            row << xml.readElementText();
        }
    }
    if (xml.hasError()) {
        page.error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    }
    return page;
}

// One report of check's output read into the same tables as the page's: each
// line's form names its table (empty: a heading) and its groups are the cells.
FileTables FromCheckText(const QString& report) {
    QStringList lines = report.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    FileTables file;
    file.name = lines.takeFirst();
    const std::pair<QString, QString> forms[] = {
        {"lines", R"(  (lines read|trucks|unreadable lines): (\d+))"},
        {"unreadable", QRegularExpression::escape(file.name) + R"(:(\d+): (.*))"},
        {"unreadable", R"(  (\(\d+ more unreadable lines? not listed\)))"},
        {"checks", R"(    ([A-Z_]+) +(\d+) +(\d+\.\d%)(?:  trucks? )?(.*))"},
        {"passage", R"(    (first|last): +(\S+ \S+) \(truck (\d+)\))"},
        {"lanes", R"(    lane (-?\d+), direction (-?\d+): (\d+) \((\S+)\))"},
        {"gvw", R"(  GVW: min (-?\d+), p10 (-?\d+), p50 (-?\d+), p90 (-?\d+), max (-?\d+))"},
        {"", R"(  (checks failed|time of passage|trucks per lane and direction).*:)"},
    };
    for (const QString& line : lines) {
        QString table = QStringLiteral("not understood");
        QStringList cells{line};
        for (const auto& [name, pattern] : forms) {
            const QRegularExpressionMatch m =
                QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(line);
            if (m.hasMatch()) {
                table = name;
                cells = m.capturedTexts().mid(1);
                break;
            }
        }
        if (!table.isEmpty()) {
            file.tables[table] << cells;
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

// The charts' titles in the order the page shows them.
const QStringList kChartTitles{
    "GVW", "Checks", "Steering axle", "Drive-tandem spacing", "Trucks per hour", "Speed", "Axles"};

const QString kOddName = QStringLiteral("<b>&amp;\"x'\n\x1B[31m\x7F\\.txt");

}  // namespace

class tst_Report : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void pageMatchesCheck_data();
    void pageMatchesCheck();

private:
    QString write(const QString& name, const QByteArray& contents) const {
        return WriteFile(dir_.filePath(name), contents);
    }
    // xmllint on contents written to a file; its complaints (none when valid).
    QByteArray lint(const QString& options, const QString& name, const QByteArray& contents) const {
        const Run result = RunProgram("xmllint", options.split(u' ') << write(name, contents));
        return result.status == 0 ? result.err : "status " + QByteArray::number(result.status);
    }

    QTemporaryDir dir_;  // the files of WriteSamples and those below; the program runs here
};

// Besides the files of WriteSamples:
//   many.txt   a truck, 23 lines that are not trucks, a truck
//   empty.txt  nothing
//   none.txt   no truck at all, one line that is not one
//   three.txt  three trucks, the first and the last of them SPEED 0
//   kOddName   markup, an entity, quotes and control characters in its name; a
//              truck, then a line whose SPEED holds markup
void tst_Report::initTestCase() {
    QVERIFY(dir_.isValid());
    WriteSamples(dir_.path());
    QByteArray many = Line(7001) + "\n";
    for (int k = 0; k < 23; ++k) {
        many += Broken(7100 + k, kMinute, "x") + "\r\n";
    }
    write("many.txt", many + Line(7002));
    write("empty.txt", QByteArray());
    write("none.txt", Broken(7001, kGvw, "?") + "\n");
    write("three.txt", Line(7101, {kSpeed, 0}) + "\n" + Line(7102, {kHour, 9}) + "\n" +
                           Line(7103, {kSpeed, 0, kHour, 10}) + "\n");
    write(kOddName, Line(7001) + "\n" + Broken(7002, kSpeed, "<&>") + "\n");
}

// Each file's tables hold what check prints for it (check's own figures are
// worked by hand in tst_cli), names and reasons escaped so that a reader shows
// them as check does; the charts count every truck of every file; the page is
// valid HTML with one well-formed SVG per chart, and stands alone.
void tst_Report::pageMatchesCheck_data() {
    QTest::addColumn<QString>("files");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("lead");         // how the page begins
    QTest::addColumn<QString>("checksChart");  // a text of the Checks chart; empty: none asked
    const auto row = [](const char* tag, const QString& files, int status, const char* lead,
                        const char* checksChart = "") {
        QTest::newRow(tag) << files << status << lead << checksChart;
    };
    row("trucks worked by hand", "--ignore 1 worked.txt", 1,
        "1 file, 5 trucks, 1 unreadable line.");
    // bad.txt's two trucks pass; three.txt alone would give SPEED 2 (66.7%).
    row("two files: charts over all trucks", "bad.txt three.txt", 1,
        "2 files, 5 trucks, 1 unreadable line.", "2 (40.0%)");
    row("23 unreadable lines: 20 listed", "many.txt", 1, "1 file, 2 trucks, 23 unreadable lines.");
    row("no trucks: charts without data", "empty.txt none.txt", 1,
        "2 files, 0 trucks, 1 unreadable line.");
    row("markup and control characters in a name and a reason", kOddName, 1,
        "1 file, 1 truck, 1 unreadable line.");
}

void tst_Report::pageMatchesCheck() {
    QFETCH(QString, files);
    QFETCH(int, status);
    QFETCH(QString, lead);
    QFETCH(QString, checksChart);
    const Run check = RunIn(dir_.path(), "check " + files);
    QCOMPARE(RunIn(dir_.path(), "report -o page.html " + files).status, status);
    const QByteArray html = ReadFile(dir_.filePath("page.html"));
    const Page page = ReadPage(html);
    QCOMPARE(page.error, QString());
    QVERIFY2(page.lead.startsWith(lead + ' '), qPrintable(page.lead));

    // check sets its reports apart by an empty line.
    const QStringList reports = QString::fromUtf8(check.out).split("\n\n");
    QCOMPARE(page.files.size(), reports.size());
    QStringList names;
    for (qsizetype k = 0; k < reports.size(); ++k) {
        const FileTables expected = FromCheckText(reports[k]);
        const Rows odd = expected.tables.value("not understood");
        QVERIFY2(odd.isEmpty(), qPrintable(odd.isEmpty() ? QString() : odd.first().first()));
        QCOMPARE(page.files[k].name, expected.name);
        QCOMPARE(page.files[k].tables, expected.tables);
        names << expected.name;
    }
    QCOMPARE(page.title, "Truck report: " + names.join(", "));

    QStringList titles;
    for (const ChartTexts& chart : page.charts) {
        titles << chart.title;
    }
    QCOMPARE(titles, kChartTitles);
    QVERIFY(checksChart.isEmpty() || page.charts[1].texts.contains(checksChart));
    const QList<QByteArray> svgs = SvgElements(html);
    QCOMPARE(svgs.size(), kChartTitles.size());
    QCOMPARE(html.count("<svg"), kChartTitles.size());
    for (qsizetype k = 0; k < svgs.size(); ++k) {
        QCOMPARE(lint(QStringLiteral("--noout"), QStringLiteral("chart%1.svg").arg(k), svgs[k]),
                 QByteArray());
    }
    // libxml2's HTML parser knows HTML 4, which has no SVG: the page is tried
    // without its charts (as a whole it was read as XML above).
    QCOMPARE(lint("--html --noout", "bare.html", WithoutSvg(html)), QByteArray());
    // Nothing is fetched from elsewhere: no script, style sheet, font or picture.
    for (const char* outside :
         {"<script", "<link", "<img", "<iframe", "<object", "@import", "url(", "src=", "href="}) {
        QVERIFY2(!html.contains(outside), outside);
    }
}

QTEST_GUILESS_MAIN(tst_Report)
#include "tst_report.moc"

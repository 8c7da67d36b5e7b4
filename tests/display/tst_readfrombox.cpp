// The lines of the file-contents box and the trucks read from them, both
// ways: a file with head lines, blank lines and CRLF breaks, a file that
// stops at a bad line, pasted text, and a box whose text changed since.

#include "display/ReadFromBox.h"

#include "TruckLines.h"
#include "loading/PastedText.h"

#include <QTest>

using namespace axlewise;
using namespace axlewise::test;

namespace {

// What each line of the box gives: "truck N", or the sentence why none.
QStringList LinesToTrucks(const BrowserState& state, const ReadFromBox& read, const SharedText& box,
                          bool edited = false) {
    QStringList found;
    const std::string_view text = box.view();
    std::size_t start = 0;
    TruckIndex line = 0;
    while (start <= text.size()) {
        ++line;
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view content = text.substr(start, end - start);
        const std::optional<TruckIndex> truck =
            edited ? std::nullopt : TruckAt(state, read, static_cast<std::int64_t>(start));
        if (truck) {
            found << QStringLiteral("truck %1").arg(*truck);
            // And back: the truck's line starts where this one does.
            if (LineOffsetOf(state, read, *truck) != static_cast<std::int64_t>(start)) {
                found << QStringLiteral("truck %1 is elsewhere").arg(*truck);
            }
        } else {
            const bool blank = content.find_first_not_of(' ') == std::string_view::npos;
            found << QString::fromStdString(WhyNoTruck(read, line, blank, edited));
        }
        if (end == text.size()) {
            break;
        }
        start = end + 1;
    }
    return found;
}

}  // namespace

class tst_ReadFromBox : public QObject {
    Q_OBJECT

private slots:
    void fileLines_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<int>("ignore");
        QTest::addColumn<QStringList>("lines");  // what each line of the box gives
        const QByteArray a = QByteArray::fromStdString(TruckLine(1));
        const QByteArray b = QByteArray::fromStdString(TruckLine(2));
        const QString head = QStringLiteral("Line %1 is a head line: it was not read as a truck.");
        // Two trucks were held before, so this file's trucks are 3 and on.
        QTest::newRow("head lines, a blank line, CRLF breaks")
            << "site 4\r\nlane 1\r\n" + a + "\r\n  \r\n" + b + "\r\n"
            << 2 << QStringList{head.arg(1), head.arg(2),
                                "truck 3",   "Line 4 is blank: it was not read as a truck.",
                                "truck 4",   "Line 6 is blank: it was not read as a truck."};
        QTest::newRow("a bad line stops the reading")
            << a + "\n" + "not a truck\n" + b + "\n"
            << 0
            << QStringList{
                   "truck 3",
                   "Line 2 stopped the reading: HEAD (columns 1-4): \"not \" is not a "
                   "number.",
                   "Line 3 comes after the line that stopped the reading: it was not read."};
        QTest::newRow("no break after the last line")
            << a + "\n" + b << 0
            << QStringList{"truck 3", "truck 4", "Line 3 is blank: it was not read as a truck."};
    }
    // A file's trucks are mapped through the echo the box shows.
    void fileLines() {
        QFETCH(QByteArray, contents);
        QFETCH(int, ignore);
        QFETCH(QStringList, lines);
        BrowserState state;
        state.AddTruck(ReadTruck(TruckLine(9001)));
        state.AddTruck(ReadTruck(TruckLine(9002)));
        const TruckIndex first = state.NoTrucks + 1;
        LoadResult result = LoadTruckText(state, contents.toStdString(), ignore);
        const ReadFromBox read = ReadFromBox::Of(result.echo, 7, first, ignore, result);
        QCOMPARE(LinesToTrucks(state, read, result.echo), lines);
        // The trucks held before were not read from the box.
        QCOMPARE(LineOffsetOf(state, read, 2), std::nullopt);
    }

    // Pasted text is read where it stands in the box, which may start further
    // into its block than the block's start (its head lines deleted); lines
    // after one that stopped the reading were not read.
    void pastedLines() {
        const std::string a = TruckLine(1), b = TruckLine(2);
        const auto block =
            std::make_shared<const std::string>("site\n" + a + "\n\n" + b + "\nbad\n" + a + "\n");
        const SharedText box(block, std::string_view(*block).substr(5));
        BrowserState state;
        LoadResult result = LoadPastedText(state, box);
        const ReadFromBox read = ReadFromBox::Of(box, 3, 1, 0, result);
        QCOMPARE(LinesToTrucks(state, read, box),
                 (QStringList{"truck 1", "Line 2 is blank: it was not read as a truck.", "truck 2",
                              "Line 4 stopped the reading: HEAD (columns 1-4): \"bad\" is not a "
                              "number.",
                              "Line 5 comes after the line that stopped the reading: it was not "
                              "read.",
                              "Line 6 comes after the line that stopped the reading: it was not "
                              "read."}));
        // Once the box's text changed, no line is matched.
        QCOMPARE(LinesToTrucks(state, read, box, true).first(),
                 QStringLiteral("Line 1 cannot be matched with a truck: the text has been changed "
                                "since its trucks were read."));
    }
};

QTEST_GUILESS_MAIN(tst_ReadFromBox)
#include "tst_readfrombox.moc"

// Where the box is scrolled to, counted in rows: the top row, the scroll
// bar's value, maximum and page step, over lines of given row counts (each
// row 10 pixels high, in a view of 58 pixels: 4 of margin above the first row
// and below the last, so 5 rows in view). Expected rows are worked out by hand.

#include "window/textbox/ScrollState.h"

#include <QTest>

#include <vector>

using namespace axlewise;

namespace {

// Lines of given row counts, laid out (and so noted) when asked, as the
// box's layouts are.
class Rows : public RowGeometry {
public:
    std::vector<int> perLine;
    ScrollState* scroll = nullptr;

    LineNumber lineCount() const override {
        return LineNumber(static_cast<std::int64_t>(perLine.size()));
    }
    int rows(LineNumber line) const override {
        const int count = perLine[line.index()];
        if (scroll) {
            scroll->noteRows(line, count);
        }
        return count;
    }
    double rowHeight(LineNumber, int) const override { return 10; }
    double typicalRowHeight() const override { return 10; }
};

QString Top(const ScrollState& scroll) {
    return QStringLiteral("%1:%2").arg(scroll.top().line.value()).arg(scroll.top().row);
}

}  // namespace

class tst_ScrollState : public QObject {
    Q_OBJECT

private slots:
    void scroll_data();
    void scroll();
};

void tst_ScrollState::scroll_data() {
    QTest::addColumn<QList<int>>("rows");  // per line
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("top");  // line:row
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("maximum");
    const auto row = [](const char* tag, const QList<int>& rows, const char* script,
                        const char* top, int value, int maximum) {
        QTest::newRow(tag) << rows << QString::fromLatin1(script) << QString::fromLatin1(top)
                           << value << maximum;
    };
    QList<int> wrapped{60};  // a line of 60 rows, then 20 of one
    for (int i = 0; i < 20; ++i) {
        wrapped << 1;
    }
    const QList<int> thirty(30, 1);
    row("three wheel notches go nine rows into a wrapped line", wrapped, "scroll 9", "0:9", 9, 75);
    row("the bar from 0 to 1 goes one row down, not past the line", wrapped, "bar 1", "0:1", 1, 75);
    row("the bar past the wrapped line", wrapped, "bar 62", "3:0", 62, 75);
    row("the bar at its end shows the last rows", wrapped, "bar 75", "16:0", 75, 75);
    row("scrolled up out of a wrapped line, row by row", wrapped, "bar 62;scroll -3", "0:59", 59,
        75);
    // The first row has its margin above it: from the top 5 rows fit, and
    // elsewhere 5 too (54 pixels of room).
    row("a row below the view scrolls up to be the last one", thirty, "show 10 0", "6:0", 6, 25);
    row("a row above the view becomes the top one", thirty, "bar 20;show 3 0", "3:0", 3, 25);
    row("the top never goes below the last page", thirty, "scroll 100", "25:0", 25, 25);
    // Revealing a line: not moved when in view, as little as shows it when
    // a page away at most, else the line in the middle; never past the end.
    row("a line in view is not scrolled to", thirty, "bar 10;reveal 14", "10:0", 10, 25);
    row("the line below the view becomes the last one", thirty, "bar 10;reveal 15", "11:0", 11, 25);
    row("a line a page above the view becomes the top one", thirty, "bar 20;reveal 15", "15:0", 15,
        25);
    row("a line far below goes to the middle", thirty, "reveal 20", "18:0", 18, 25);
    row("a line far above goes to the middle", thirty, "bar 20;reveal 3", "1:0", 1, 25);
    row("the last line far below stops at the last page", thirty, "reveal 29", "25:0", 25, 25);
    row("a line with only its first row in view is shown whole", {1, 1, 1, 1, 3, 1, 1, 1, 1, 1},
        "reveal 4", "2:0", 2, 7);
    row("a wrapped line taller than the view shows its first row", wrapped, "bar 62;reveal 0",
        "0:0", 0, 75);
    // Edits: lines replaced above the top renumber it; a top line that lost
    // rows keeps a row it has.
    row("two lines inserted above the top", thirty, "bar 10;replace 2 2 4", "12:0", 12, 27);
    row("lines joined across the top", thirty, "bar 10;replace 8 12 8", "8:0", 8, 21);
    row("the top line lost its second row", {1, 2, 1, 1, 1, 1, 1, 1, 1, 1},
        "top 1 1;replace 1 1 1;clamp", "1:0", 1, 5);
    // Until line 0 is laid out again it counts as one row.
    row("a new width forgets the wrapped rows", wrapped, "bar 62;forget", "3:0", 3, 16);
}

void tst_ScrollState::scroll() {
    QFETCH(QList<int>, rows);
    QFETCH(QString, script);
    QFETCH(QString, top);
    QFETCH(int, value);
    QFETCH(int, maximum);
    Rows geometry;
    geometry.perLine.assign(rows.begin(), rows.end());
    ScrollState scroll(geometry);
    geometry.scroll = &scroll;
    scroll.setViewHeight(58);
    scroll.setTop({});
    for (const QString& command : script.split(QLatin1Char(';'))) {
        const QStringList word = command.split(QLatin1Char(' '));
        const auto number = [&word](int i) { return word[i].toLongLong(); };
        if (word[0] == QLatin1String("scroll")) {
            scroll.scrollRows(number(1));
        } else if (word[0] == QLatin1String("bar")) {
            scroll.setBarValue(number(1));
        } else if (word[0] == QLatin1String("top")) {
            scroll.setTop({LineNumber(number(1)), static_cast<int>(number(2))});
        } else if (word[0] == QLatin1String("reveal")) {
            scroll.revealLine(LineNumber(number(1)));
        } else if (word[0] == QLatin1String("show")) {
            scroll.scrollToShow({LineNumber(number(1)), static_cast<int>(number(2))});
        } else if (word[0] == QLatin1String("replace")) {
            // Lines first..oldLast become first..newLast, each of one row.
            const auto first = static_cast<std::ptrdiff_t>(number(1));
            geometry.perLine.erase(geometry.perLine.begin() + first,
                                   geometry.perLine.begin() + number(2) + 1);
            geometry.perLine.insert(geometry.perLine.begin() + first,
                                    static_cast<std::size_t>(number(3) - number(1) + 1), 1);
            scroll.linesReplaced(
                {LineNumber(number(1)), LineNumber(number(2)), LineNumber(number(3))});
        } else if (word[0] == QLatin1String("clamp")) {
            scroll.clampTop();
        } else if (word[0] == QLatin1String("forget")) {
            scroll.forgetRows();
        }
    }
    QCOMPARE(Top(scroll), top);
    QCOMPARE(scroll.barValue(), value);
    QCOMPARE(scroll.barMaximum(), maximum);
    QCOMPARE(scroll.pageStep(), 5);
}

QTEST_GUILESS_MAIN(tst_ScrollState)
#include "tst_scrollstate.moc"

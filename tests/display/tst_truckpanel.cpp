#include "display/TruckPanel.h"

#include <QString>
#include <QStringList>
#include <QTest>

#include <algorithm>

using namespace axlewise;

class tst_TruckPanel : public QObject {
    Q_OBJECT

private slots:
    void headLines();
    void formatGeneral_data();
    void formatGeneral();
    void truckText_data();
    void truckText();
};

void tst_TruckPanel::headLines() {
    const QStringList heads =
        QString::fromStdString(HeadsText("\r\n")).split(QStringLiteral("\r\n"));
    QCOMPARE(heads.size(), kPanelLines);
    QCOMPARE(heads.first(), QStringLiteral("TRUCK NO.:"));
    QCOMPARE(heads[1], QStringLiteral("HEAD:"));
    QCOMPARE(heads[10], QStringLiteral("GVW:"));
    QCOMPARE(heads[12], QStringLiteral("NO. AXLES:"));
    QCOMPARE(heads[17], QStringLiteral("S AX 1 - AX 2:"));
    QCOMPARE(heads[32], QStringLiteral("WT AX 9:"));
    QCOMPARE(heads.last(), QStringLiteral("Time (s)"));
    QCOMPARE(HeadLines().size(), std::size_t{kPanelLines});
}

void tst_TruckPanel::formatGeneral_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected");
    QTest::newRow("start of the year") << 0.0 << "."
                                       << "0";
    QTest::newRow("negative zero") << -0.0 << "."
                                   << "0";
    QTest::newRow("hundredths kept") << 5285106.07 << "."
                                     << "5285106.07";
    QTest::newRow("last hundredth of day 31 of month 12") << 31190399.99 << "."
                                                          << "31190399.99";
    QTest::newRow("whole seconds: no point") << 86400.0 << "."
                                             << "86400";
    QTest::newRow("day 0: negative time") << -86399.99 << "."
                                          << "-86399.99";
    QTest::newRow("month 0 and day 0") << -2678400.0 << "."
                                       << "-2678400";
    QTest::newRow("binary noise hidden by 15 digits") << 0.1 + 0.2 << "."
                                                      << "0.3";
    QTest::newRow("rounded to 15 significant digits") << 1234567.891234567 << "."
                                                      << "1234567.89123457";
    QTest::newRow("comma separator") << 5285106.07 << ","
                                     << "5285106,07";
    QTest::newRow("comma separator, negative") << -0.5 << ","
                                               << "-0,5";
}

void tst_TruckPanel::formatGeneral() {
    QFETCH(double, value);
    QFETCH(QString, separator);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(FormatGeneral(value, separator.toStdString())), expected);
}

void tst_TruckPanel::truckText_data() {
    QTest::addColumn<qint64>("index");
    QTest::addColumn<QList<int>>("data");  // Data(0) to Data(32)
    QTest::addColumn<double>("time");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("two axles, unused columns 0")
        << qint64{1} << QList<int>{0,  11,  2, 3, 99, 4, 5, 6, 7, 85, 180, 62, 2, 1, 2, 45, 80,
                                   41, 100, 0, 0, 0,  0, 0, 0, 0, 0,  0,   0,  0, 0, 0, 0}
        << 5285106.07 << "."
        << QStringList{"1", "11", "2", "3",  "99", "4",  "5",   "6", "7", "85",        "180", "62",
                       "2", "1",  "2", "45", "80", "41", "100", "0", "0", "0",         "0",   "0",
                       "0", "0",  "0", "0",  "0",  "0",  "0",   "0", "0", "5285106.07"};
    QTest::newRow("nine axles, negative values, comma separator")
        << qint64{32768}
        << QList<int>{0,  11,  2,  3,   99, 4,   5,  6,   7,  85,  -180, 62,  9,  1,   2,  -45, 101,
                      31, 102, 32, 103, 33, 104, 34, 105, 35, 106, 36,   107, 37, 108, -9, 109}
        << -86399.99 << ","
        << QStringList{"32768", "11",   "2",   "3",   "99",  "4",   "5",        "6",   "7",
                       "85",    "-180", "62",  "9",   "1",   "2",   "-45",      "101", "31",
                       "102",   "32",   "103", "33",  "104", "34",  "105",      "35",  "106",
                       "36",    "107",  "37",  "108", "-9",  "109", "-86399,99"};
}

void tst_TruckPanel::truckText() {
    QFETCH(qint64, index);
    QFETCH(QList<int>, data);
    QFETCH(double, time);
    QFETCH(QString, separator);
    QFETCH(QStringList, expected);

    TruckRecord record;
    QCOMPARE(data.size(), qsizetype{kFieldCount + 1});
    std::copy(data.begin(), data.end(), record.Data.begin());
    record.Time = time;
    const QString text =
        QString::fromStdString(TruckText(index, record, "\r\n", separator.toStdString()));
    QVERIFY(!text.endsWith(QStringLiteral("\r\n")));
    QCOMPARE(text.split(QStringLiteral("\r\n")), expected);
}

QTEST_GUILESS_MAIN(tst_TruckPanel)
#include "tst_truckpanel.moc"

#include "records/FieldTable.h"

#include <QtTest>

#include <array>

using namespace axlewise;

class TestFieldTable : public QObject {
    Q_OBJECT

private slots:
    void everyColumnBelongsToOneField();
    void captionsInOrder();
    void fieldsFoundByMeaning_data();
    void fieldsFoundByMeaning();
    void fieldLabel_data();
    void fieldLabel();
};

void TestFieldTable::everyColumnBelongsToOneField() {
    std::array<int, kLineColumns + 2> owners{};
    for (int i = 1; i <= kFieldCount; ++i) {
        const FieldSpec& field = Field(i);
        QCOMPARE(field.index, i);
        QVERIFY2(field.width >= 1, qPrintable(QString::number(i)));
        for (int column = field.start; column <= field.last(); ++column) {
            QVERIFY2(column >= 1 && column <= kLineColumns, qPrintable(QString::number(column)));
            ++owners[static_cast<std::size_t>(column)];
        }
    }
    for (int column = 1; column <= kLineColumns; ++column) {
        QVERIFY2(owners[static_cast<std::size_t>(column)] == 1,
                 qPrintable(QStringLiteral("column %1 belongs to %2 fields")
                                .arg(column)
                                .arg(owners[static_cast<std::size_t>(column)])));
    }
    // The fields follow one another in column order.
    for (int i = 2; i <= kFieldCount; ++i) {
        QCOMPARE(Field(i).start, Field(i - 1).last() + 1);
    }
}

void TestFieldTable::captionsInOrder() {
    const QStringList expected = {
        "HEAD",          "DAY",        "MONTH",         "YEAR",    "HOUR",          "MINUTE",
        "SECOND",        "SECOND/100", "SPEED",         "GVW",     "LENGTH",        "NO. AXLES",
        "DIRECTION",     "LANE",       "TRNS LANE POS", "WT AX 1", "S AX 1 - AX 2", "WT AX 2",
        "S AX 2 - AX 3", "WT AX 3",    "S AX 3 - AX 4", "WT AX 4", "S AX 4 - AX 5", "WT AX 5",
        "S AX 5 - AX 6", "WT AX 6",    "S AX 6 - AX 7", "WT AX 7", "S AX 7 - AX 8", "WT AX 8",
        "S AX 8 - AX 9", "WT AX 9",
    };
    QStringList captions;
    for (const FieldSpec& field : kFields) {
        captions << QString::fromUtf8(field.caption.data(),
                                      static_cast<qsizetype>(field.caption.size()));
    }
    QCOMPARE(captions, expected);
}

// The named indices and the axle rules point at the fields that carry the
// captions other code shows them under.
void TestFieldTable::fieldsFoundByMeaning_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");

    QTest::newRow("day") << kDayField << "DAY";
    QTest::newRow("month") << kMonthField << "MONTH";
    QTest::newRow("hour") << kHourField << "HOUR";
    QTest::newRow("minute") << kMinuteField << "MINUTE";
    QTest::newRow("second") << kSecondField << "SECOND";
    QTest::newRow("hundredths") << kHundredthsField << "SECOND/100";
    QTest::newRow("gross weight") << kGvwField << "GVW";
    QTest::newRow("axle count") << kNoAxlesField << "NO. AXLES";
    for (int axle = 1; axle <= kMaxAxles; ++axle) {
        QTest::addRow("weight of axle %d", axle)
            << AxleWeightField(axle) << QStringLiteral("WT AX %1").arg(axle);
    }
    for (int axle = 1; axle < kMaxAxles; ++axle) {
        QTest::addRow("spacing after axle %d", axle)
            << AxleSpacingField(axle) << QStringLiteral("S AX %1 - AX %2").arg(axle).arg(axle + 1);
    }
}

void TestFieldTable::fieldsFoundByMeaning() {
    QFETCH(int, index);
    QFETCH(QString, caption);
    const std::string_view actual = Field(index).caption;
    QCOMPARE(QString::fromUtf8(actual.data(), static_cast<qsizetype>(actual.size())), caption);
}

void TestFieldTable::fieldLabel_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("label");

    QTest::newRow("first field") << 1 << "HEAD (columns 1-4)";
    QTest::newRow("three columns") << 9 << "SPEED (columns 19-21)";
    QTest::newRow("one column") << kNoAxlesField << "NO. AXLES (column 29)";
    QTest::newRow("caption with blanks") << 17 << "S AX 1 - AX 2 (columns 38-39)";
    QTest::newRow("last field") << 32 << "WT AX 9 (columns 75-77)";
}

void TestFieldTable::fieldLabel() {
    QFETCH(int, index);
    QFETCH(QString, label);
    QCOMPARE(QString::fromStdString(FieldLabel(Field(index))), label);
}

QTEST_GUILESS_MAIN(TestFieldTable)
#include "tst_fieldtable.moc"

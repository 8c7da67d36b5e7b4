#include "records/IntegerText.h"

#include <QtTest>

#include <clocale>
#include <locale>
#include <string>

#include "records/RuntimeError.h"

using namespace axlewise;

namespace {

constexpr int kOk = 0;
constexpr int kOverflow = static_cast<int>(ErrorNumber::Overflow);
constexpr int kTypeMismatch = static_cast<int>(ErrorNumber::TypeMismatch);

// A numeric punctuation that a careless conversion would pick up: decimal
// comma, full stop between thousands.
class CommaDecimal : public std::numpunct<char> {
protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

}  // namespace

class TestIntegerText : public QObject {
    Q_OBJECT

private slots:
    void conversion_data();
    void conversion();
    void trimSpaces_data();
    void trimSpaces();
    void independentOfLocale_data();
    void independentOfLocale();
};

void TestIntegerText::conversion_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("error");  // 0 when the text converts
    QTest::addColumn<int>("value");

    QTest::newRow("digits") << QByteArray("42") << kOk << 42;
    QTest::newRow("blank then digit") << QByteArray(" 7") << kOk << 7;
    QTest::newRow("blanks around") << QByteArray("  42  ") << kOk << 42;
    QTest::newRow("minus") << QByteArray("-3") << kOk << -3;
    QTest::newRow("plus") << QByteArray("+3") << kOk << 3;
    QTest::newRow("blank then minus") << QByteArray(" -3") << kOk << -3;
    QTest::newRow("minus zero") << QByteArray("-0") << kOk << 0;
    QTest::newRow("leading zeros") << QByteArray("0007") << kOk << 7;
    QTest::newRow("many leading zeros") << QByteArray("0000000000000000000000012") << kOk << 12;

    QTest::newRow("fraction below half") << QByteArray("2.49") << kOk << 2;
    QTest::newRow("fraction above half") << QByteArray("2.51") << kOk << 3;
    QTest::newRow("half to even, down") << QByteArray("2.5") << kOk << 2;
    QTest::newRow("half to even, up") << QByteArray("3.5") << kOk << 4;
    QTest::newRow("negative half to even") << QByteArray("-2.5") << kOk << -2;
    QTest::newRow("negative half away") << QByteArray("-3.5") << kOk << -4;
    QTest::newRow("half with zeros after") << QByteArray("2.5000") << kOk << 2;
    QTest::newRow("just above half") << QByteArray("2.50001") << kOk << 3;
    QTest::newRow("zero and a half") << QByteArray("0.5") << kOk << 0;
    QTest::newRow("no integer part") << QByteArray(".6") << kOk << 1;
    QTest::newRow("point without fraction") << QByteArray("5.") << kOk << 5;
    QTest::newRow("negative small fraction") << QByteArray("-0.4") << kOk << 0;

    QTest::newRow("largest") << QByteArray("32767") << kOk << 32767;
    QTest::newRow("smallest") << QByteArray("-32768") << kOk << -32768;
    QTest::newRow("one past largest") << QByteArray("32768") << kOverflow << 0;
    QTest::newRow("one below smallest") << QByteArray("-32769") << kOverflow << 0;
    QTest::newRow("largest plus half rounds out") << QByteArray("32767.5") << kOverflow << 0;
    QTest::newRow("largest plus less than half") << QByteArray("32767.49") << kOk << 32767;
    QTest::newRow("smallest minus half rounds in") << QByteArray("-32768.5") << kOk << -32768;
    QTest::newRow("smallest minus more than half") << QByteArray("-32768.51") << kOverflow << 0;
    QTest::newRow("huge") << QByteArray("123456789012345678901234567890") << kOverflow << 0;
    QTest::newRow("huge negative") << QByteArray("-99999999999999999999.5") << kOverflow << 0;

    QTest::newRow("empty") << QByteArray("") << kTypeMismatch << 0;
    QTest::newRow("blanks only") << QByteArray("   ") << kTypeMismatch << 0;
    QTest::newRow("sign only") << QByteArray("-") << kTypeMismatch << 0;
    QTest::newRow("point only") << QByteArray(".") << kTypeMismatch << 0;
    QTest::newRow("sign and point") << QByteArray("+.") << kTypeMismatch << 0;
    QTest::newRow("letters inside") << QByteArray("1x3") << kTypeMismatch << 0;
    QTest::newRow("blank inside") << QByteArray("1 2") << kTypeMismatch << 0;
    QTest::newRow("blank after sign") << QByteArray("- 3") << kTypeMismatch << 0;
    QTest::newRow("two signs") << QByteArray("+-3") << kTypeMismatch << 0;
    QTest::newRow("sign after digits") << QByteArray("3-") << kTypeMismatch << 0;
    QTest::newRow("two points") << QByteArray("1.2.3") << kTypeMismatch << 0;
    QTest::newRow("exponent") << QByteArray("1e2") << kTypeMismatch << 0;
    QTest::newRow("capital exponent") << QByteArray("1E2") << kTypeMismatch << 0;
    QTest::newRow("thousands separator") << QByteArray("1,000") << kTypeMismatch << 0;
    QTest::newRow("decimal comma") << QByteArray("2,5") << kTypeMismatch << 0;
    QTest::newRow("hex") << QByteArray("0x1F") << kTypeMismatch << 0;
    QTest::newRow("hex with ampersand") << QByteArray("&H1F") << kTypeMismatch << 0;
    QTest::newRow("infinity") << QByteArray("inf") << kTypeMismatch << 0;
    QTest::newRow("not a number") << QByteArray("nan") << kTypeMismatch << 0;
    QTest::newRow("tab before digit") << QByteArray("\t7") << kTypeMismatch << 0;
    QTest::newRow("no-break space before digit") << QByteArray(
                                                        "\xC2\xA0"
                                                        "7")
                                                 << kTypeMismatch << 0;
    QTest::newRow("full-width digit") << QByteArray("\xEF\xBC\x97") << kTypeMismatch << 0;
    QTest::newRow("arabic-indic digit") << QByteArray("\xD9\xA3") << kTypeMismatch << 0;
}

// TextToInteger and CInt agree on every text: the status on one side, the
// error number on the other.
void TestIntegerText::conversion() {
    QFETCH(QByteArray, text);
    QFETCH(int, error);
    QFETCH(int, value);
    const std::string_view view(text.constData(), static_cast<std::size_t>(text.size()));

    std::int16_t converted = 12345;
    const ConversionStatus status = TextToInteger(view, converted);
    const ConversionStatus expectedStatus = error == kOk         ? ConversionStatus::Ok
                                            : error == kOverflow ? ConversionStatus::OutOfRange
                                                                 : ConversionStatus::NotANumber;
    QCOMPARE(status, expectedStatus);
    if (error == kOk) {
        QCOMPARE(int(converted), value);
        QCOMPARE(int(CInt(view)), value);
        return;
    }
    try {
        CInt(view);
        QFAIL("CInt returned");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.code(), error);
        // The reason quotes the text as found.
        QVERIFY2(std::string(e.what()).find("\"" + std::string(view) + "\"") != std::string::npos,
                 e.what());
    }
}

void TestIntegerText::trimSpaces_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("trimmed");

    QTest::newRow("empty") << QByteArray("") << QByteArray("");
    QTest::newRow("blanks only") << QByteArray("    ") << QByteArray("");
    QTest::newRow("both ends") << QByteArray("  1 2  ") << QByteArray("1 2");
    QTest::newRow("other white space kept") << QByteArray("\t7 \r") << QByteArray("\t7 \r");
}

void TestIntegerText::trimSpaces() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, trimmed);
    const std::string_view result =
        TrimSpaces(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    QCOMPARE(QByteArray(result.data(), static_cast<qsizetype>(result.size())), trimmed);
}

void TestIntegerText::independentOfLocale_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("value");

    QTest::newRow("decimal point") << QByteArray("2.6") << kOk << 3;
    QTest::newRow("half to even") << QByteArray("2.5") << kOk << 2;
    QTest::newRow("decimal comma") << QByteArray("2,6") << kTypeMismatch << 0;
    QTest::newRow("grouped thousands") << QByteArray("1.000") << kOk << 1;
}

// Under a locale that writes numbers with a decimal comma, the texts read as
// they do in the C locale.
void TestIntegerText::independentOfLocale() {
    QFETCH(QByteArray, text);
    QFETCH(int, error);
    QFETCH(int, value);
    const std::string_view view(text.constData(), static_cast<std::size_t>(text.size()));

    const std::locale previousGlobal =
        std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "fr_FR"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            break;
        }
    }
    std::int16_t converted = 0;
    const ConversionStatus status = TextToInteger(view, converted);
    std::setlocale(LC_ALL, previousC.c_str());
    std::locale::global(previousGlobal);

    QCOMPARE(status, error == kOk ? ConversionStatus::Ok : ConversionStatus::NotANumber);
    if (error == kOk) {
        QCOMPARE(int(converted), value);
    }
}

QTEST_GUILESS_MAIN(TestIntegerText)
#include "tst_integertext.moc"

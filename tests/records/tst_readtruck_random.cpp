// Random and mutated lines against an independent reading of the format.
// Seeded, so every run sees the same lines.

#include "records/modUDTs.h"

#include <QtTest>

#include <charconv>
#include <cmath>
#include <optional>
#include <random>
#include <string>

#include "records/IntegerText.h"
#include "records/RuntimeError.h"

using namespace axlewise;

namespace {

constexpr int kOk = 0;
constexpr int kOverflow = static_cast<int>(ErrorNumber::Overflow);
constexpr int kTypeMismatch = static_cast<int>(ErrorNumber::TypeMismatch);

struct Outcome {
    int error = kOk;
    int value = 0;
};

// What a field's text must give, worked out from first principles: blanks
// trimmed, an optional sign, digits with at most one point, rounded half to
// even by the floating-point unit. Only for texts of up to eight characters,
// where a double holds every digit.
Outcome Reference(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int digits = 0;
    int points = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.') {
            ++points;
        } else {
            return {kTypeMismatch};
        }
    }
    if (digits == 0 || points > 1) {
        return {kTypeMismatch};
    }
    double number = 0.0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), number, std::chars_format::fixed);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return {kTypeMismatch};
    }
    double rounded = std::nearbyint(number);
    rounded = negative ? -rounded : rounded;
    if (rounded < -32768.0 || rounded > 32767.0) {
        return {kOverflow};
    }
    return {kOk, static_cast<int>(rounded)};
}

const std::string kSeeds[] = {
    "310514032415514454 89 935251921 14 8220 84331201512193108151041510414107141051",
    "310512032411464352 78 448163511-39 753911272 8614 8913 86 0  0 0  0 0  0 0  08",
    "310511032422570347 84  57 82221-21 3557 22 0  0 0  0 0  0 0  0 0  0 0  0 0  06",
    "310512032420230890 88 435172721-19 7018 6632 7113 6847 5313 5414 53 0  0 0  07",
};

// Characters that number parsing is most likely to trip on.
const std::string kAlphabet = "0123456789      +-..,eEx\t/";
const std::string kMultiByte[] = {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x9A\x9A", "\xFF", "\x80"};

class Mutator {
public:
    explicit Mutator(std::uint64_t seed) : random_(seed) {}

    std::size_t below(std::size_t n) { return static_cast<std::size_t>(random_() % n); }

    char character() {
        return below(20) == 0 ? static_cast<char>(below(128)) : kAlphabet[below(kAlphabet.size())];
    }

    std::string line() {
        if (below(10) == 0) {
            std::string text(below(100), ' ');
            for (char& c : text) {
                c = character();
            }
            return text;
        }
        std::string text = kSeeds[below(std::size(kSeeds))];
        const std::size_t edits = 1 + below(3);
        for (std::size_t e = 0; e < edits; ++e) {
            mutate(text);
        }
        return text;
    }

    // A short text for the conversion itself.
    std::string field() {
        std::string text(below(9), ' ');
        for (char& c : text) {
            c = below(50) == 0 ? static_cast<char>(below(256)) : kAlphabet[below(kAlphabet.size())];
        }
        return text;
    }

private:
    // Mostly edits that keep the columns in place, so that about half of the
    // lines still parse; now and then one that shifts or cuts them.
    void mutate(std::string& text) {
        const std::size_t at = below(text.size() + 1);
        switch (below(16)) {
            case 0:
                text.insert(at, 1, character());
                break;
            case 1:
                if (at < text.size()) {
                    text.erase(at, 1 + below(3));
                }
                break;
            case 2:
                text.resize(below(text.size() + 1));
                break;
            case 3:
                text.replace(std::min(at, text.size()), below(2),
                             kMultiByte[below(std::size(kMultiByte))]);
                break;
            case 4:
            case 5:
            case 6:
                if (at < text.size()) {
                    text[at] = character();
                }
                break;
            default:
                writeNumber(text);
                break;
        }
    }

    // A plausible number, often with a fraction, written into one field.
    void writeNumber(std::string& text) {
        const FieldSpec& field = Field(1 + static_cast<int>(below(kFieldCount)));
        const auto start = static_cast<std::size_t>(field.start - 1);
        const auto width = static_cast<std::size_t>(field.width);
        if (text.size() < start + width) {
            return;
        }
        std::string number = std::to_string(static_cast<int>(below(2000)) - 1000);
        if (below(2) == 0) {
            number.push_back('.');
            number.push_back(static_cast<char>('0' + below(10)));
        }
        if (number.size() <= width) {
            const std::size_t pad = below(width - number.size() + 1);
            number.insert(0, pad, ' ');
            number.resize(width, ' ');
            text.replace(start, width, number);
        }
    }

    std::mt19937_64 random_;
};

bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// Checks one line; returns what went wrong, or nothing.
std::optional<std::string> CheckLine(const std::string& line) {
    std::optional<TruckRecord> record;
    int error = kOk;
    std::string reason;
    try {
        record = ReadTruck(line);
    } catch (const RuntimeError& e) {
        error = e.code();
        reason = e.what();
    }
    if (error != kOk && error != kTypeMismatch && error != kOverflow) {
        return "error " + std::to_string(error);
    }
    if (record) {
        if (record->Data[0] != 0 || record->RawLine != line || record->Time != TruckTime(*record)) {
            return std::string("record not filled as read");
        }
    }
    // Columns are bytes when the first 77 are ASCII: the field texts are then
    // known without decoding, and every field can be checked.
    if (!IsAscii(std::string_view(line).substr(0, kLineColumns))) {
        return std::nullopt;
    }
    for (const FieldSpec& field : kFields) {
        const auto start = static_cast<std::size_t>(field.start - 1);
        const std::string_view text =
            start < line.size() ? std::string_view(line).substr(start, field.width) : "";
        const Outcome expected = Reference(text);
        if (expected.error != kOk) {
            if (error != expected.error || reason.rfind(FieldLabel(field) + ": ", 0) != 0) {
                return "expected error " + std::to_string(expected.error) + " at " +
                       FieldLabel(field) + ", got " + std::to_string(error) + ": " + reason;
            }
            return std::nullopt;
        }
        const auto index = static_cast<std::size_t>(field.index);
        if (record && record->Data[index] != expected.value) {
            return FieldLabel(field) + " read as " + std::to_string(record->Data[index]) +
                   ", expected " + std::to_string(expected.value);
        }
    }
    if (!record) {
        return "rejected: " + reason;
    }
    return std::nullopt;
}

}  // namespace

class TestReadTruckRandom : public QObject {
    Q_OBJECT

private slots:
    void referenceAgreesWithKnownTexts_data();
    void referenceAgreesWithKnownTexts();
    void randomLines();
    void randomFieldTexts();
};

// The reference itself reads the texts that matter as the format says.
void TestReadTruckRandom::referenceAgreesWithKnownTexts_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("value");

    QTest::newRow("blank then digit") << QByteArray(" 7") << kOk << 7;
    QTest::newRow("half to even, down") << QByteArray("2.5") << kOk << 2;
    QTest::newRow("half to even, up") << QByteArray("3.5") << kOk << 4;
    QTest::newRow("negative half") << QByteArray("-2.5") << kOk << -2;
    QTest::newRow("largest plus half") << QByteArray("32767.5") << kOverflow << 0;
    QTest::newRow("smallest minus half") << QByteArray("-32768.5") << kOk << -32768;
    QTest::newRow("blanks only") << QByteArray("   ") << kTypeMismatch << 0;
    QTest::newRow("exponent") << QByteArray("1e2") << kTypeMismatch << 0;
}

void TestReadTruckRandom::referenceAgreesWithKnownTexts() {
    QFETCH(QByteArray, text);
    QFETCH(int, error);
    QFETCH(int, value);
    const Outcome outcome = Reference(text.toStdString());
    QCOMPARE(outcome.error, error);
    QCOMPARE(outcome.value, value);
}

// Lines either parse into the values the reference gives or raise the error of
// the first field that the reference rejects; nothing else happens to them.
void TestReadTruckRandom::randomLines() {
    constexpr int kLines = 300000;
    Mutator mutator(20240311);
    int failures = 0;
    std::string first;
    for (int n = 0; n < kLines; ++n) {
        const std::string line = mutator.line();
        if (const auto problem = CheckLine(line)) {
            if (failures++ == 0) {
                first = "\"" + line + "\": " + *problem;
            }
        }
    }
    QVERIFY2(failures == 0, qPrintable(QString::number(failures) + " lines wrong, first " +
                                       QString::fromStdString(first)));
}

void TestReadTruckRandom::randomFieldTexts() {
    constexpr int kTexts = 200000;
    Mutator mutator(7);
    for (int n = 0; n < kTexts; ++n) {
        const std::string text = mutator.field();
        const Outcome expected = Reference(text);
        std::int16_t value = 0;
        const ConversionStatus status = TextToInteger(text, value);
        const int error = status == ConversionStatus::Ok           ? kOk
                          : status == ConversionStatus::OutOfRange ? kOverflow
                                                                   : kTypeMismatch;
        if (error != expected.error || (error == kOk && value != expected.value)) {
            QFAIL(qPrintable(QString("\"%1\": got error %2 value %3, expected error %4 value %5")
                                 .arg(QString::fromStdString(text))
                                 .arg(error)
                                 .arg(value)
                                 .arg(expected.error)
                                 .arg(expected.value)));
        }
    }
}

QTEST_GUILESS_MAIN(TestReadTruckRandom)
#include "tst_readtruck_random.moc"

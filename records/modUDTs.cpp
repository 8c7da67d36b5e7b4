#include "records/modUDTs.h"

#include "records/IntegerText.h"
#include "records/RuntimeError.h"
#include "records/Utf8.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace axlewise {

namespace {

// Byte offset of each character position 0..kLineColumns (the last one is the
// end of column 77, or of the line when it is shorter). Only used for lines that
// hold non-ASCII bytes among their first 77.
struct ColumnOffsets {
    std::array<std::size_t, kLineColumns + 1> at{};

    explicit ColumnOffsets(std::string_view line) {
        std::size_t pos = 0;
        for (int column = 0; column <= kLineColumns; ++column) {
            at[static_cast<std::size_t>(column)] = pos;
            if (pos < line.size()) {
                // A byte that starts no well-formed sequence is a character of its own.
                pos += std::max<std::size_t>(Utf8SequenceLength(line, pos), 1);
            }
        }
    }
};

[[noreturn]] void RaiseFieldError(const LineField& field, std::string_view text,
                                  ConversionStatus status, bool lineEnded) {
    std::string reason = FieldLabel(field) + ": ";
    if (status == ConversionStatus::OutOfRange) {
        throw RuntimeError(ErrorNumber::Overflow, reason + ConversionReason(text, status));
    }
    reason += lineEnded ? "the line ends before this field" : ConversionReason(text, status);
    throw RuntimeError(ErrorNumber::TypeMismatch, reason);
}

// The fast reading of a line. Nearly every field of a real file is a plain
// integer: spaces, an optional sign, digits, spaces. Such a field is read here
// without a branch on its characters, by a table of states; a field of any other
// form (a fraction, blanks only, a stray or non-ASCII byte) sends the whole line
// to the full conversion, which then gives the value or the error.
enum : std::uint8_t { kSpaceChar, kSignChar, kDigitChar, kOtherChar };
enum : std::uint8_t { kLeading, kSigned, kInDigits, kTrailing, kRejected };

constexpr std::array<std::uint8_t, 256> kCharClass = [] {
    std::array<std::uint8_t, 256> classes{};
    classes.fill(kOtherChar);
    classes[' '] = kSpaceChar;
    classes['+'] = kSignChar;
    classes['-'] = kSignChar;
    for (int c = '0'; c <= '9'; ++c) {
        classes[static_cast<std::size_t>(c)] = kDigitChar;
    }
    return classes;
}();

// kNextState[state][class of the next character]
constexpr std::uint8_t kNextState[5][4] = {
    {kLeading, kSigned, kInDigits, kRejected},     // kLeading
    {kRejected, kRejected, kInDigits, kRejected},  // kSigned
    {kTrailing, kRejected, kInDigits, kRejected},  // kInDigits
    {kTrailing, kRejected, kRejected, kRejected},  // kTrailing
    {kRejected, kRejected, kRejected, kRejected},  // kRejected
};

// Reads the plain field at columns Start..Start+Width-1 of a line that holds
// them all; false when the field is not plain. Four digits hold at most 9999,
// so the value always fits.
template <int Start, int Width>
bool ReadPlainField(const char* line, std::int16_t& value) {
    static_assert(Width >= 1 && Width <= 4);
    unsigned state = kLeading;
    int magnitude = 0;
    bool negative = false;
    for (int k = 0; k < Width; ++k) {
        const auto c = static_cast<unsigned char>(line[Start - 1 + k]);
        const unsigned charClass = kCharClass[c];
        state = kNextState[state][charClass];
        magnitude = charClass == kDigitChar ? magnitude * 10 + (c - '0') : magnitude;
        negative = negative | (c == '-');
    }
    value = static_cast<std::int16_t>(negative ? -magnitude : magnitude);
    return state == kInDigits || state == kTrailing;
}

// All 32 fields by the fast reading, unrolled over the field table; false when
// any field is not plain.
template <std::size_t... I>
bool ReadPlainFields(const char* line, TruckRecord& record, std::index_sequence<I...>) {
    bool plain = true;
    ((plain &= ReadPlainField<kFields[I].start, kFields[I].width>(
          line, record.Data[static_cast<std::size_t>(kFields[I].index)])),
     ...);
    return plain;
}

bool ReadPlainLine(std::string_view line, TruckRecord& record) {
    return line.size() >= static_cast<std::size_t>(kLineColumns) &&
           ReadPlainFields(line.data(), record, std::make_index_sequence<kFieldCount>{});
}

// The full reading: every field through TextToInteger, columns counted in
// characters; raises the error of the first field that fails.
void ReadFields(std::string_view line, TruckRecord& record) {
    const bool ascii = IsAscii(line.substr(0, kLineColumns));
    std::optional<ColumnOffsets> offsets;
    if (!ascii) {
        offsets.emplace(line);
    }
    for (const LineField& field : kFields) {
        std::string_view text;
        const auto first = static_cast<std::size_t>(field.start - 1);
        if (ascii) {
            if (first < line.size()) {
                text = line.substr(first, static_cast<std::size_t>(field.width));
            }
        } else {
            const std::size_t begin = offsets->at[first];
            const std::size_t end = offsets->at[first + static_cast<std::size_t>(field.width)];
            text = line.substr(begin, end - begin);
        }
        std::int16_t value = 0;
        const ConversionStatus status = TextToInteger(text, value);
        if (status != ConversionStatus::Ok) {
            RaiseFieldError(field, text, status, text.empty());
        }
        record.Data[static_cast<std::size_t>(field.index)] = value;
    }
}

}  // namespace

TruckRecord ReadTruck(const SharedText& line) {
    TruckRecord record;
    if (!ReadPlainLine(line, record)) {
        ReadFields(line, record);
    }
    record.RawLine = line;
    record.Time = TruckTime(record);
    return record;
}

TruckRecord ReadTruck(std::string_view line) {
    return ReadTruck(SharedText(line));
}

double TruckTime(const TruckRecord& record) {
    const auto field = [&record](int index) {
        return record.Data[static_cast<std::size_t>(index)];
    };
    const double monthsBefore = field(kMonthField) - 1;
    const double daysBefore = field(kDayField) - 1;
    double t = monthsBefore * 30.0 * 24.0 * 3600.0;
    t = daysBefore * 24.0 * 3600.0 + t;
    t = field(kHourField) * 3600.0 + t;
    t = field(kMinuteField) * 60.0 + t;
    t = field(kSecondField) + t;
    t = field(kHundredthsField) / 100.0 + t;
    return t;
}

}  // namespace axlewise

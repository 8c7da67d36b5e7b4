#include "records/modUDTs.h"

#include <optional>

#include "records/IntegerText.h"
#include "records/RuntimeError.h"

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
                pos += SequenceLength(line, pos);
            }
        }
    }

    // Length of the UTF-8 sequence starting at pos; a stray or truncated byte
    // counts as one character of its own.
    static std::size_t SequenceLength(std::string_view line, std::size_t pos) {
        const auto lead = static_cast<unsigned char>(line[pos]);
        std::size_t length = 1;
        if (lead >= 0xF0 && lead < 0xF8) {
            length = 4;
        } else if (lead >= 0xE0) {
            length = lead < 0xF0 ? 3 : 1;
        } else if (lead >= 0xC0) {
            length = 2;
        }
        if (pos + length > line.size()) {
            return 1;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(line[pos + k]) & 0xC0) != 0x80) {
                return 1;
            }
        }
        return length;
    }
};

bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

[[noreturn]] void RaiseFieldError(const FieldSpec& field, std::string_view text,
                                  ConversionStatus status, bool lineEnded) {
    std::string reason = FieldLabel(field) + ": ";
    if (status == ConversionStatus::OutOfRange) {
        reason += "\"" + std::string(text) + "\" is out of range (-32768 to 32767)";
        throw RuntimeError(ErrorNumber::Overflow, reason);
    }
    if (lineEnded) {
        reason += "the line ends before this field";
    } else {
        reason += "\"" + std::string(text) + "\" is not a number";
    }
    throw RuntimeError(ErrorNumber::TypeMismatch, reason);
}

}  // namespace

TruckRecord ReadTruck(std::string_view line) {
    TruckRecord record;
    const std::string_view head = line.substr(0, kLineColumns);
    const bool ascii = IsAscii(head);
    std::optional<ColumnOffsets> offsets;
    if (!ascii) {
        offsets.emplace(line);
    }

    for (const FieldSpec& field : kFields) {
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
    record.RawLine = std::string(line);
    record.Time = TruckTime(record);
    return record;
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

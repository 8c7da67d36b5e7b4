#include "ReferenceReading.h"

#include <cstdio>
#include <cstdlib>

namespace axlewise::fuzz {

namespace {

unsigned char ByteAt(std::string_view text, std::size_t pos) {
    return static_cast<unsigned char>(text[pos]);
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsControlCode(char32_t code) {
    return code < 0x20 || (code >= 0x7F && code < 0xA0);
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view TakeDigits(std::string_view text, std::size_t& pos) {
    const std::size_t from = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        ++pos;
    }
    return text.substr(from, pos - from);
}

std::string Label(const LineField& field) {
    std::string label(field.caption);
    if (field.width == 1) {
        label += " (column " + std::to_string(field.start) + ")";
    } else {
        label += " (columns " + std::to_string(field.start) + "-" +
                 std::to_string(field.start + field.width - 1) + ")";
    }
    return label;
}

}  // namespace

Character CharacterAt(std::string_view text, std::size_t pos) {
    const unsigned char lead = ByteAt(text, pos);
    Character single{1, lead, lead < 0x80};
    std::size_t length = 0;
    char32_t code = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1Fu;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0Fu;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07u;
        smallest = 0x10000;
    } else {
        return single;
    }
    if (text.size() - pos < length) {
        return single;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char next = ByteAt(text, pos + k);
        if ((next & 0xC0) != 0x80) {
            return single;
        }
        code = (code << 6) | (next & 0x3Fu);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return single;
    }
    return Character{length, code, true};
}

bool IsUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const Character c = CharacterAt(text, pos);
        if (!c.utf8) {
            return false;
        }
        pos += c.length;
    }
    return true;
}

std::string Readable(std::string_view text) {
    if (IsUtf8(text)) {
        return std::string(text);
    }
    std::string out;
    for (const char c : text) {
        AppendUtf8(out, static_cast<unsigned char>(c));
    }
    return out;
}

bool HoldsControl(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const Character c = CharacterAt(text, pos);
        if (IsControlCode(c.code)) {
            return true;
        }
        pos += c.length;
    }
    return false;
}

std::string ReferenceQuoted(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (std::size_t pos = 0; pos < text.size();) {
        const Character c = CharacterAt(text, pos);
        pos += c.length;
        switch (c.code) {
            case 0:
                out += "\\0";
                continue;
            case '\t':
                out += "\\t";
                continue;
            case '\n':
                out += "\\n";
                continue;
            case '\r':
                out += "\\r";
                continue;
            case '\\':
                out += "\\\\";
                continue;
            default:
                break;
        }
        if (IsControlCode(c.code)) {
            out += "\\x";
            out += kHex[(c.code >> 4) & 0xF];
            out += kHex[c.code & 0xF];
        } else {
            AppendUtf8(out, c.code);
        }
    }
    out += '"';
    return out;
}

FieldOutcome ReferenceInteger(std::string_view text, std::int16_t& value) {
    text = Trimmed(text);
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    std::string_view whole = TakeDigits(text, pos);
    std::string_view fraction;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        fraction = TakeDigits(text, pos);
    }
    if (pos != text.size() || (whole.empty() && fraction.empty())) {
        return FieldOutcome::NotANumber;
    }
    while (!whole.empty() && whole.front() == '0') {
        whole.remove_prefix(1);
    }
    // Seven digits or more are a million or more: out of range whatever follows.
    if (whole.size() > 6) {
        return FieldOutcome::OutOfRange;
    }
    long magnitude = 0;
    for (const char digit : whole) {
        magnitude = magnitude * 10 + (digit - '0');
    }
    // Without trailing zeros the fraction compares with one half as text does:
    // "" and "49" are below "5", "51" and "6" above it.
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.remove_suffix(1);
    }
    const int againstHalf = fraction.compare("5");
    if (againstHalf > 0 || (againstHalf == 0 && magnitude % 2 == 1)) {
        ++magnitude;
    }
    if (magnitude > (negative ? 32768 : 32767)) {
        return FieldOutcome::OutOfRange;
    }
    value = static_cast<std::int16_t>(negative ? -magnitude : magnitude);
    return FieldOutcome::Ok;
}

std::string ReferenceRecord::reason() const {
    std::string label = Label(kFields[field]) + ": ";
    switch (outcome) {
        case FieldOutcome::Ok:
            return std::string();
        case FieldOutcome::LineEnded:
            return label + "the line ends before this field";
        case FieldOutcome::NotANumber:
            return label + ReferenceQuoted(text) + " is not a number";
        case FieldOutcome::OutOfRange:
            return label + ReferenceQuoted(text) + " is out of range (-32768 to 32767)";
    }
    return std::string();
}

ReferenceRecord ReferenceReadLine(std::string_view line) {
    // Byte offset of the start of each character among the first kLineColumns,
    // and one past the last of them.
    std::array<std::size_t, kLineColumns + 1> starts{};
    std::size_t characters = 0;
    std::size_t pos = 0;
    while (pos < line.size() && characters < static_cast<std::size_t>(kLineColumns)) {
        starts[characters++] = pos;
        pos += CharacterAt(line, pos).length;
    }
    starts[characters] = pos;

    ReferenceRecord record;
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const LineField& field = kFields[i];
        const auto first = static_cast<std::size_t>(field.start - 1);
        FieldOutcome outcome = FieldOutcome::LineEnded;
        std::string_view text;
        std::int16_t value = 0;
        if (first < characters) {
            const std::size_t last =
                std::min(first + static_cast<std::size_t>(field.width), characters);
            text = line.substr(starts[first], starts[last] - starts[first]);
            outcome = ReferenceInteger(text, value);
        }
        if (outcome != FieldOutcome::Ok) {
            record.outcome = outcome;
            record.field = i;
            record.text = std::string(text);
            record.data = {};
            return record;
        }
        record.data[static_cast<std::size_t>(field.index)] = value;
    }
    return record;
}

std::vector<std::string_view> ReferenceLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = from;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') {
            ++end;
        }
        lines.push_back(text.substr(from, end - from));
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') {
            from = end + 2;
        } else {
            from = end + 1;
        }
    }
    return lines;
}

bool IsBlank(std::string_view line) {
    for (const char c : line) {
        if (c != ' ') {
            return false;
        }
    }
    return true;
}

void Die(const char* what) {
    std::fprintf(stderr, "\n*** invariant broken: %s\n", what);
    std::fflush(stderr);
    __builtin_trap();
}

namespace {

struct IntegerCase {
    std::string_view text;
    FieldOutcome outcome;
    int value;
};

// Worked out by hand from the rules above.
constexpr IntegerCase kIntegerCases[] = {
    {" 22", FieldOutcome::Ok, 22},
    {"-3", FieldOutcome::Ok, -3},
    {"  +5  ", FieldOutcome::Ok, 5},
    {"007", FieldOutcome::Ok, 7},
    {"2.5", FieldOutcome::Ok, 2},
    {"3.5", FieldOutcome::Ok, 4},
    {"-2.5", FieldOutcome::Ok, -2},
    {"2.51", FieldOutcome::Ok, 3},
    {"2.4999", FieldOutcome::Ok, 2},
    {"2.500", FieldOutcome::Ok, 2},
    {"0.5", FieldOutcome::Ok, 0},
    {"12.", FieldOutcome::Ok, 12},
    {".6", FieldOutcome::Ok, 1},
    {"-.5", FieldOutcome::Ok, 0},
    {"32767", FieldOutcome::Ok, 32767},
    {"32766.5", FieldOutcome::Ok, 32766},
    {"32767.5", FieldOutcome::OutOfRange, 0},
    {"-32768", FieldOutcome::Ok, -32768},
    {"-32768.5", FieldOutcome::Ok, -32768},
    {"-32767.5", FieldOutcome::Ok, -32768},
    {"-32768.6", FieldOutcome::OutOfRange, 0},
    {"0000000032767", FieldOutcome::Ok, 32767},
    {"1000000", FieldOutcome::OutOfRange, 0},
    {"99999999999999999999999", FieldOutcome::OutOfRange, 0},
    {"1x3", FieldOutcome::NotANumber, 0},
    {"", FieldOutcome::NotANumber, 0},
    {"   ", FieldOutcome::NotANumber, 0},
    {"+", FieldOutcome::NotANumber, 0},
    {".", FieldOutcome::NotANumber, 0},
    {"-.", FieldOutcome::NotANumber, 0},
    {"1 2", FieldOutcome::NotANumber, 0},
    {"1e3", FieldOutcome::NotANumber, 0},
    {"\t1", FieldOutcome::NotANumber, 0},
    {"+-1", FieldOutcome::NotANumber, 0},
    {"1.2.3", FieldOutcome::NotANumber, 0},
    {"0x1F", FieldOutcome::NotANumber, 0},
};

// The sample line of the README, and the same with its last column a check
// digit beyond column 77.
constexpr std::string_view kSample =
    "310511032410373376 22 220160511 15 5639 5761 3313 3914 35 0  0 0  0 0  0 0  05";
constexpr std::array<std::int16_t, kFieldCount + 1> kSampleData = {
    0,  3105, 11, 3,  24, 10, 37, 33, 76, 22, 220, 160, 5, 1, 1, 15, 56,
    39, 57,   61, 33, 13, 39, 14, 35, 0,  0,  0,   0,   0, 0, 0, 0};

struct FailureCase {
    std::string_view line;
    FieldOutcome outcome;
    std::size_t field;  // 0-based
    std::string_view reason;
};

// "é" in UTF-8 is one character of two bytes, so it takes one column; a lone
// byte 0xE9 is one character too, quoted as Latin-1 "é".
constexpr FailureCase kFailureCases[] = {
    {"3105", FieldOutcome::LineEnded, 1, "DAY (columns 5-6): the line ends before this field"},
    {"31051", FieldOutcome::LineEnded, 2, "MONTH (columns 7-8): the line ends before this field"},
    {"3105110324103733761x3", FieldOutcome::NotANumber, 8,
     "SPEED (columns 19-21): \"1x3\" is not a number"},
    {"310511032410373376\xC3\xA9"
     "22 220",
     FieldOutcome::NotANumber, 8,
     "SPEED (columns 19-21): \"\xC3\xA9"
     "22\" is not a number"},
    {"310511032410373376\xE9"
     "22 220",
     FieldOutcome::NotANumber, 8,
     "SPEED (columns 19-21): \"\xC3\xA9"
     "22\" is not a number"},
    {"\t105", FieldOutcome::NotANumber, 0, "HEAD (columns 1-4): \"\\t105\" is not a number"},
    {"310511032410373376 22 9", FieldOutcome::LineEnded, 10,
     "LENGTH (columns 26-28): the line ends before this field"},
    {"310511032410373376 22 220160\xC2\x85", FieldOutcome::NotANumber, 11,
     "NO. AXLES (column 29): \"\\x85\" is not a number"},
};

}  // namespace

void SelfCheckReference() {
    for (const IntegerCase& c : kIntegerCases) {
        std::int16_t value = 0;
        const FieldOutcome outcome = ReferenceInteger(c.text, value);
        if (outcome != c.outcome || (outcome == FieldOutcome::Ok && value != c.value)) {
            std::fprintf(stderr, "reference reads \"%.*s\" wrongly\n",
                         static_cast<int>(c.text.size()), c.text.data());
            Die("the reference integer reading");
        }
    }
    const ReferenceRecord sample = ReferenceReadLine(kSample);
    CheckOrDie(sample.ok() && sample.data == kSampleData, "the reference reading of the sample");
    for (const FailureCase& c : kFailureCases) {
        const ReferenceRecord record = ReferenceReadLine(c.line);
        if (record.outcome != c.outcome || record.field != c.field || record.reason() != c.reason) {
            std::fprintf(stderr, "reference reason: %s\n", record.reason().c_str());
            Die("the reference reading of a failing line");
        }
    }
    CheckOrDie(ReferenceQuoted("\x7F\r\n") == "\"\\x7F\\r\\n\"", "the reference quoting");
    CheckOrDie(IsUtf8("\xF4\x8F\xBF\xBF") && !IsUtf8("\xF4\x90\x80\x80") &&
                   !IsUtf8("\xED\xA0\x80") && !IsUtf8("\xC0\xAF") && !IsUtf8("\xE2\x82"),
               "the reference UTF-8 decoding");
    CheckOrDie(ReferenceLines("a\r\nb\rc\n\nd").size() == 5 && ReferenceLines("a\r").size() == 1 &&
                   ReferenceLines("").empty() && ReferenceLines("\r\n").size() == 1,
               "the reference line splitting");
}

}  // namespace axlewise::fuzz

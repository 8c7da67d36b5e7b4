#include "records/RuntimeError.h"

#include "records/Utf8.h"

#include <array>

namespace axlewise {

const char* ErrorName(ErrorNumber number) {
    switch (number) {
        case ErrorNumber::Overflow:
            return "overflow";
        case ErrorNumber::SubscriptOutOfRange:
            return "subscript out of range";
        case ErrorNumber::DivisionByZero:
            return "division by zero";
        case ErrorNumber::TypeMismatch:
            return "type mismatch";
        case ErrorNumber::FileNotFound:
            return "file not found";
        case ErrorNumber::FileAccess:
            return "path/file access error";
        case ErrorNumber::Cancelled:
            return "cancelled";
    }
    return "run-time error";
}

namespace {

void AppendEscape(std::string& out, unsigned code) {
    switch (code) {
        case 0:
            out += "\\0";
            return;
        case '\t':
            out += "\\t";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        default:
            break;
    }
    constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                           '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
    out += "\\x";
    out += kHex[(code >> 4) & 0xF];
    out += kHex[code & 0xF];
}

bool IsControl(unsigned code) {
    return code < 0x20 || (code >= 0x7F && code < 0xA0);
}

}  // namespace

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    out.reserve(text.size() + 2);
    for (std::size_t pos = 0; pos < text.size();) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        const std::size_t length = Utf8SequenceLength(text, pos);
        if (length > 1) {
            // U+0080..U+009F are the two-byte sequences C2 80..C2 9F.
            const auto second = static_cast<unsigned char>(text[pos + 1]);
            if (byte == 0xC2 && second < 0xA0) {
                AppendEscape(out, second);
            } else {
                out.append(text.substr(pos, length));
            }
            pos += length;
            continue;
        }
        // A character of its own: ASCII, or a byte read as Latin-1.
        if (IsControl(byte)) {
            AppendEscape(out, byte);
        } else if (byte == '\\') {
            // Doubled, so that a backslash in the text never reads as the
            // start of one of the escapes above.
            out += "\\\\";
        } else if (byte < 0x80) {
            out += static_cast<char>(byte);
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
        ++pos;
    }
    out += '"';
    return out;
}

RuntimeError SubscriptError(std::string_view array, std::int64_t index, std::int64_t first,
                            std::int64_t last) {
    std::string reason(array);
    reason.append("(").append(std::to_string(index)).append(") does not exist ");
    if (last < first) {
        reason.append("(the array is empty)");
    } else {
        reason.append("(indices ").append(std::to_string(first));
        reason.append(" to ").append(std::to_string(last)).append(")");
    }
    return RuntimeError(ErrorNumber::SubscriptOutOfRange, reason);
}

}  // namespace axlewise

#include "display/TruckPanel.h"

#include "records/FieldTable.h"

#include <array>
#include <charconv>

namespace axlewise {

namespace {

constexpr int kSignificantDigits = 15;

std::string JoinLines(const std::vector<std::string>& lines, std::string_view lineBreak) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            text += lineBreak;
        }
        text += lines[i];
    }
    return text;
}

}  // namespace

std::vector<std::string> HeadLines() {
    std::vector<std::string> lines;
    lines.reserve(kPanelLines);
    lines.emplace_back("TRUCK NO.:");
    for (const LineField& field : kFields) {
        lines.push_back(std::string(field.caption) + ":");
    }
    lines.emplace_back("Time (s)");
    return lines;
}

std::string HeadsText(std::string_view lineBreak) {
    return JoinLines(HeadLines(), lineBreak);
}

std::string FormatGeneral(double value, std::string_view decimalSeparator) {
    // A negative zero is shown as plain 0: the sign carries no meaning here.
    if (value == 0.0) {
        value = 0.0;
    }
    // to_chars never looks at the process locale, so the separator is ours to
    // choose; general format with a precision drops trailing zeros by itself.
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, kSignificantDigits);
    const std::string_view digits(buffer.data(),
                                  static_cast<std::size_t>(result.ptr - buffer.data()));
    std::string text;
    text.reserve(digits.size() + decimalSeparator.size());
    for (char c : digits) {
        if (c == '.') {
            text += decimalSeparator;
        } else {
            text += c;
        }
    }
    return text;
}

std::string TruckText(TruckIndex index, const TruckRecord& record, std::string_view lineBreak,
                      std::string_view decimalSeparator) {
    std::vector<std::string> lines;
    lines.reserve(kPanelLines);
    lines.push_back(std::to_string(index));
    for (int i = 1; i <= kFieldCount; ++i) {
        lines.push_back(std::to_string(record.Data[static_cast<std::size_t>(i)]));
    }
    lines.push_back(FormatGeneral(record.Time, decimalSeparator));
    return JoinLines(lines, lineBreak);
}

}  // namespace axlewise

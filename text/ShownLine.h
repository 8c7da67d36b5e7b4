#pragma once

#include "text/Units.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace axlewise {

// One line of the text as the box shows it. A line is shown no further than its
// first kMaxShownUnits UTF-16 code units; a mark after them counts the
// characters not shown. The box also shows an input method's pre-edit at the
// caret, inside the line's text, without it being part of the text.
//
// The shown text runs: the line's own shown text with the pre-edit inserted,
// then the mark. "Display" indexes count UTF-16 units of all of that; byte
// offsets count from the line's start. ShownLine maps between the two.
class ShownLine {
public:
    static constexpr Utf16Index kMaxShownUnits{65536};
    // Bytes read from a line to show it. Every character gives at least one
    // unit per three bytes, so the first 3 * kMaxShownUnits bytes fill the
    // units; a character that starts before them ends within 3 bytes more. So
    // the decoder never reaches the end of what was read while the line goes
    // on, and never takes a character the read cut in two for a bad one.
    static constexpr ByteOffset kShownBytes{3 * kMaxShownUnits.value() + 3};

    ShownLine() = default;
    // The line whose first bytes (at most kShownBytes of them) are firstBytes,
    // of lineBytes bytes in all.
    ShownLine(std::string_view firstBytes, ByteOffset lineBytes);

    // True when a line of lineBytes bytes might be cut: only one of more bytes
    // than kMaxShownUnits can be, as a unit takes at least a byte.
    static bool MayBeCut(ByteOffset lineBytes) {
        return lineBytes.value() > kMaxShownUnits.value();
    }

    // The line's shown text (without pre-edit and mark).
    const std::u16string& text() const { return text_; }
    ByteOffset shownBytes() const { return shownBytes_; }
    ByteOffset lineBytes() const { return lineBytes_; }
    bool cut() const { return shownBytes_ < lineBytes_; }
    // Characters in the shown text.
    std::int64_t shownChars() const;

    // The characters not shown, for the mark, and the mark's length in units;
    // the one who draws the mark words it.
    std::int64_t hiddenChars() const { return hiddenChars_; }
    void setHiddenChars(std::int64_t chars) { hiddenChars_ = chars; }
    void setMarkLength(Utf16Index length) { markLength_ = length; }

    // Places a pre-edit of `length` units at the caret, caretInLine bytes into
    // the line (at the end of the shown text when the caret is past it).
    void placePreedit(ByteOffset caretInLine, Utf16Index length);
    // The display index the pre-edit starts at, or -1 when there is none.
    Utf16Index preeditAt() const { return preeditAt_; }
    Utf16Index preeditLength() const { return preeditLength_; }

    // Units of the own text with the pre-edit, and of everything shown.
    Utf16Index ownLength() const;
    Utf16Index length() const { return ownLength() + markLength_; }

    // The display index of the byte at inLine: before a pre-edit there, at the
    // end of the own text for a byte in the hidden part, and past the mark for
    // the end of a cut line.
    Utf16Index indexOf(ByteOffset inLine) const;
    // The byte a display index stands for: the caret's byte inside the
    // pre-edit, the line's end inside the mark.
    ByteOffset byteAt(Utf16Index index) const;
    // Where the caret is drawn when it stands at inLine: inside the pre-edit
    // at its own cursor when there is one.
    Utf16Index caretIndex(ByteOffset inLine, Utf16Index preeditCursor) const;
    // The index of inLine in the shown text alone, without pre-edit and mark,
    // within 0..text().size(): what input methods are told.
    Utf16Index textIndex(ByteOffset inLine) const;
    // The byte inside text() at a text index (0..text().size()).
    ByteOffset textByte(Utf16Index index) const;

private:
    std::u16string text_;
    // The byte of each unit of text_, then shownBytes_; empty while every unit
    // is one byte (ASCII), where the map is the identity.
    std::vector<std::int32_t> byteOf_;
    ByteOffset shownBytes_;
    ByteOffset lineBytes_;
    std::int64_t hiddenChars_ = 0;
    Utf16Index markLength_;
    Utf16Index preeditAt_{-1};
    Utf16Index preeditLength_;
};

}  // namespace axlewise

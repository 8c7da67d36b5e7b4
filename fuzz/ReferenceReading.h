#pragma once

// A slow, plain reading of truck lines and texts, written apart from the
// project's parser and loaders so that the fuzz targets can hold them to it.
// Nothing here is fast or shared with the code it checks; only the field table
// (captions and columns) is the project's own.

#include "records/FieldTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace axlewise::fuzz {

// One character of a text: a well-formed UTF-8 sequence, or a single byte that
// starts none (then it stands for the Latin-1 character of its value).
struct Character {
    std::size_t length = 1;  // bytes, 1..4
    char32_t code = 0;       // the code point, or the byte's value
    bool utf8 = true;        // false for a byte that starts no well-formed sequence
};

// The character at text[pos] (pos < text.size()), decoded by its code point:
// overlong forms, surrogates, code points past U+10FFFF, stray continuation
// bytes and cut-off sequences leave a single byte.
Character CharacterAt(std::string_view text, std::size_t pos);

// True when every character of text is a well-formed UTF-8 sequence.
bool IsUtf8(std::string_view text);

// The text as UTF-8: unchanged when it is UTF-8, otherwise each byte read as
// the Latin-1 character of its value.
std::string Readable(std::string_view text);

// True when the text (UTF-8) holds a raw C0 control, DEL or a C1 control.
bool HoldsControl(std::string_view text);

// The text in double quotes with every character visible: \0, \t, \n, \r, or
// \xNN (upper-case hex) for the other C0 controls, DEL and the C1 controls;
// bytes that are not UTF-8 as their Latin-1 characters.
std::string ReferenceQuoted(std::string_view text);

enum class FieldOutcome { Ok, NotANumber, OutOfRange, LineEnded };

// A field's text as a number: spaces (' ' only) trimmed at both ends, then an
// optional sign, digits, and an optional point with digits, at least one digit
// in all. The value is rounded to the nearest integer, halves to the even one,
// and must lie within -32768..32767.
FieldOutcome ReferenceInteger(std::string_view text, std::int16_t& value);

// What reading a line must give.
struct ReferenceRecord {
    FieldOutcome outcome = FieldOutcome::Ok;
    // On success the 32 values at 1..32 (index 0 stays 0).
    std::array<std::int16_t, kFieldCount + 1> data{};
    // On failure: the first field that fails (0-based index into kFields) and
    // the text cut for it.
    std::size_t field = 0;
    std::string text;

    bool ok() const { return outcome == FieldOutcome::Ok; }
    // 6 for a value out of range, 13 for anything else that fails.
    int errorNumber() const { return outcome == FieldOutcome::OutOfRange ? 6 : 13; }
    // "SPEED (columns 19-21): "1x3" is not a number"
    std::string reason() const;
};

// Cuts the line by the columns of kFields, counting characters as CharacterAt
// does and never looking past column kLineColumns, and reads every field. A
// field that starts past the end of the line fails as LineEnded; one cut short
// by it is read from what there is.
ReferenceRecord ReferenceReadLine(std::string_view line);

// The lines of a text, ended by LF, CRLF or CR; the break is not part of a
// line, and a break at the very end starts no further line.
std::vector<std::string_view> ReferenceLines(std::string_view text);

// True for a line that is empty or holds only spaces.
bool IsBlank(std::string_view line);

// Traps (via CheckOrDie) when the reference gives anything but the values
// worked out by hand for a fixed set of fields, lines and texts. Run once
// before fuzzing, so that a wrong reference cannot pass for a fault.
void SelfCheckReference();

// Prints what broke and stops the process with __builtin_trap, which libFuzzer
// reports as a crash with the input that caused it.
[[noreturn]] void Die(const char* what);
inline void CheckOrDie(bool holds, const char* what) {
    if (!holds) {
        Die(what);
    }
}

}  // namespace axlewise::fuzz

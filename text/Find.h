#pragma once

#include "text/Units.h"

#include <string_view>

namespace axlewise {

class TextBuffer;
class TextSnapshot;

// How a search ended: a match after the place it started from (before it,
// going backward), a match only after going round the end (or the start) of
// the text, or none at all.
enum class FindResult { Found, Wrapped, NotFound };

struct FindOptions {
    // Bytes compared exactly; otherwise A-Z match a-z, and the Latin-1
    // letters U+00C0-U+00DE (but U+00D7) match U+00E0-U+00FE (but U+00F7),
    // as their UTF-8 sequences. No other letter folds.
    bool matchCase = false;
    bool backward = false;
};

struct FoundText {
    FindResult result = FindResult::NotFound;
    // The match, in bytes; empty when nothing was found.
    ByteRange range;
};

// Searches the text as it is now, edits included, for needle, as UTF-8
// bytes, a piece of the text at a time: nothing is copied, and a match may
// lie across any number of pieces.
//
// Forward it finds the first match that starts at or after selection.to,
// else (Wrapped) the first one in the text; backward the last match that ends
// at or before selection.from, else (Wrapped) the last one in the text. So
// with a match selected, the next search finds the one after it; matches that
// overlap the selected one are passed over. selection is clamped to the text.
// An empty needle, or one longer than the text, finds nothing.
//
// Any bytes may be searched for; a needle of whole UTF-8 characters matches
// only whole characters of valid text. Fast on large texts: a memmem per piece
// for exact bytes, and a scan for the needle's rarest byte (in both cases)
// when letters fold.
FoundText Find(const TextBuffer& text, std::string_view needle, ByteRange selection,
               FindOptions options);
FoundText Find(const TextSnapshot& text, std::string_view needle, ByteRange selection,
               FindOptions options);

}  // namespace axlewise

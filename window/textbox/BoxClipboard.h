#pragma once

#include "text/TextBuffer.h"
#include "text/Units.h"

#include <QClipboard>
#include <QString>

#include <string>
#include <string_view>

class QMimeData;

namespace axlewise {

// The box's UTF-8 as a QString, decoded by the project's one UTF-8 reading:
// a leading U+FEFF stays (QString::fromUtf8 would drop it as a byte order
// mark), and a byte that begins no character becomes U+FFFD.
QString ToQString(std::string_view utf8);
// UTF-16 as a QString, unit for unit (QString::fromStdU16String would also
// drop a leading U+FEFF).
QString ToQString(std::u16string_view utf16);

// Text from outside (clipboard, keys, input methods) as the box keeps it:
// UTF-8 with every line break ("\r\n", "\r", U+2028, U+2029) made '\n', so
// that the box's text never holds a '\r'.
std::string FromOutside(const QString& text);

// The clipboard and X11's primary selection as the box uses them. What is
// put there is the text of the moment: later edits never change it. A small
// text is copied at once; a large one keeps a snapshot of the box's text
// (shared, not copied) and is converted only when another program asks.
class BoxClipboard {
public:
    // Puts range of the buffer's text on the clipboard, or offers it as the
    // primary selection where the system has one.
    static void copy(const TextBuffer& buffer, ByteRange range);
    static void offerSelection(const TextBuffer& buffer, ByteRange range);
    // Text for a drag: the same kind of data as copy puts on the clipboard.
    static QMimeData* dragData(const TextBuffer& buffer, ByteRange range);
    // The text in the clipboard or the selection, as the box keeps it.
    static std::string text(QClipboard::Mode mode);
    static bool hasText();
};

}  // namespace axlewise

#include "window/textbox/InputMethod.h"

#include "window/textbox/BoxClipboard.h"

#include <QInputMethodEvent>
#include <QTextCharFormat>

#include <algorithm>

namespace axlewise {

namespace {

// Input methods ask often: they are given no more of the selection than a
// line's shown part.
constexpr ByteOffset kMostSelection = ShownLine::kShownBytes;

}  // namespace

void ApplyInputMethodEvent(const QInputMethodEvent& event, EditSession& session,
                           LineLayouts& layouts) {
    const QString preedit = event.preeditString();
    auto cursor = static_cast<int>(preedit.size());
    QList<QTextLayout::FormatRange> formats;
    for (const QInputMethodEvent::Attribute& attribute : event.attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor) {
            cursor = attribute.start;
        } else if (attribute.type == QInputMethodEvent::TextFormat && attribute.length > 0) {
            const QTextCharFormat format = attribute.value.value<QTextFormat>().toCharFormat();
            if (format.isValid()) {
                formats.append({attribute.start, attribute.length, format});
            }
        }
    }
    layouts.setPreeditFormats(formats);
    session.inputMethod(FromOutside(event.commitString()), Utf16Index(event.replacementStart()),
                        Utf16Index(event.replacementLength()), preedit.toStdU16String(),
                        Utf16Index(cursor));
}

QVariant InputMethodAnswer(Qt::InputMethodQuery query, const EditSession& session) {
    if (query == Qt::ImCurrentSelection) {
        const TextBuffer& buffer = session.buffer();
        const ByteRange range = session.selection();
        const ByteOffset to = buffer.charStart(std::min(range.to, range.from + kMostSelection));
        return ToQString(buffer.text({range.from, to}));
    }
    if (query != Qt::ImCursorPosition && query != Qt::ImAnchorPosition &&
        query != Qt::ImSurroundingText && query != Qt::ImTextBeforeCursor &&
        query != Qt::ImTextAfterCursor) {
        return {};
    }
    const InputContext context = session.inputContext();
    const QString surrounding = ToQString(std::u16string_view(context.surrounding));
    const auto cursor = static_cast<int>(context.cursor.value());
    switch (query) {
        case Qt::ImCursorPosition:
            return cursor;
        case Qt::ImAnchorPosition:
            return static_cast<int>(context.anchor.value());
        case Qt::ImSurroundingText:
            return surrounding;
        case Qt::ImTextBeforeCursor:
            return surrounding.left(cursor);
        default:
            return surrounding.mid(cursor);
    }
}

}  // namespace axlewise

#include "window/textbox/BoxClipboard.h"

#include "records/Utf8.h"
#include "text/TextSnapshot.h"

#include <QGuiApplication>
#include <QMimeData>

#include <utility>

namespace axlewise {

namespace {

// Up to this size the text is copied at once.
constexpr ByteOffset kCopiedBytes{1 << 20};

const QString& PlainText() {
    static const QString type = QStringLiteral("text/plain");
    return type;
}

// Text converted only when asked for: a copy of the bytes, or a range of a
// snapshot, which no later edit changes.
class TextMime : public QMimeData {
public:
    TextMime(const TextBuffer& buffer, ByteRange range) {
        if (range.size() <= kCopiedBytes) {
            bytes_ = buffer.text(range);
        } else {
            snapshot_ = buffer.snapshot();
            range_ = range;
        }
    }

    QStringList formats() const override { return {PlainText()}; }
    bool hasFormat(const QString& type) const override { return type == PlainText(); }

protected:
    QVariant retrieveData(const QString& type, QMetaType) const override {
        if (type != PlainText()) {
            return {};
        }
        return ToQString(range_.empty() ? bytes_ : snapshot_.text(range_));
    }

private:
    std::string bytes_;
    TextSnapshot snapshot_;
    ByteRange range_;
};

}  // namespace

QString ToQString(std::string_view utf8) {
    // Never more code units than bytes.
    QString out(static_cast<qsizetype>(utf8.size()), Qt::Uninitialized);
    const std::size_t units = DecodeUtf8Into(utf8, reinterpret_cast<char16_t*>(out.data()));
    out.truncate(static_cast<qsizetype>(units));
    return out;
}

QString ToQString(std::u16string_view utf16) {
    return QString(reinterpret_cast<const QChar*>(utf16.data()),
                   static_cast<qsizetype>(utf16.size()));
}

std::string FromOutside(const QString& text) {
    std::u16string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'\r') {
            if (i + 1 < text.size() && text.at(i + 1) == u'\n') {
                ++i;
            }
            out += u'\n';
        } else if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            out += u'\n';
        } else {
            out += c;
        }
    }
    return EncodeUtf8(out);
}

void BoxClipboard::copy(const TextBuffer& buffer, ByteRange range) {
    if (!range.empty()) {
        QGuiApplication::clipboard()->setMimeData(new TextMime(buffer, range),
                                                  QClipboard::Clipboard);
    }
}

void BoxClipboard::offerSelection(const TextBuffer& buffer, ByteRange range) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!range.empty() && clipboard->supportsSelection()) {
        clipboard->setMimeData(new TextMime(buffer, range), QClipboard::Selection);
    }
}

QMimeData* BoxClipboard::dragData(const TextBuffer& buffer, ByteRange range) {
    return new TextMime(buffer, range);
}

std::string BoxClipboard::text(QClipboard::Mode mode) {
    return FromOutside(QGuiApplication::clipboard()->text(mode));
}

bool BoxClipboard::hasText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data != nullptr && data->hasText();
}

}  // namespace axlewise

// libFuzzer target: the file-contents box's edit session (text/) driven by a
// script read from the input, over a text of any bytes, well-formed UTF-8 or
// not. After every call it holds the session to a slow reference reading of
// UTF-8 written here from the Unicode rules (not from records/Utf8): the caret
// and anchor stand on character starts; every line is found where its breaks
// are, decodes to what the shown line holds and counts the same characters;
// a view of the lines kept up to date from what the session tells its
// listeners matches the text; and at the end undo-all gives the text first
// set, redo-all the edited one, and a snapshot still holds what it was taken
// of.

#include "ReferenceReading.h"
#include "text/EditSession.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace axlewise;
using namespace axlewise::fuzz;

namespace {

// The characters of text: where each starts, and its UTF-16 units.
struct Reading {
    std::vector<std::size_t> starts;
    std::u16string units;
};

Reading Read(std::string_view text) {
    Reading out;
    for (std::size_t i = 0; i < text.size();) {
        const Character character = CharacterAt(text, i);
        out.starts.push_back(i);
        const char32_t code = character.utf8 ? character.code : 0xFFFD;
        if (code >= 0x10000) {
            out.units += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out.units += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            out.units += static_cast<char16_t>(code);
        }
        i += character.length;
    }
    return out;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (const char c : text) {
        if (c == '\n') {
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

std::string Whole(const EditSession& session) {
    return session.buffer().text({ByteOffset(0), session.buffer().size()});
}

// The lines as a view keeps them: refreshed only where the session says lines
// changed.
class LineView : public LineListener {
public:
    explicit LineView(const EditSession& session) : session_(session) { textReplaced(); }
    void linesReplaced(const LineChange& change) override {
        CheckOrDie(change.first <= change.oldLast + LineNumber(1) && change.first <= change.newLast,
                   "a line change runs backwards");
        const auto first = static_cast<std::ptrdiff_t>(change.first.value());
        lines_.erase(lines_.begin() + first, lines_.begin() + change.oldLast.value() + 1);
        const std::vector<std::string> now = Lines(Whole(session_));
        lines_.insert(lines_.begin() + first, now.begin() + first,
                      now.begin() + change.newLast.value() + 1);
    }
    void textReplaced() override { lines_ = Lines(Whole(session_)); }
    const std::vector<std::string>& lines() const { return lines_; }

private:
    const EditSession& session_;
    std::vector<std::string> lines_;
};

// Reads the script: numbers and snippets of text from the input, in turn.
class Script {
public:
    Script(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool done() const { return at_ >= size_; }
    unsigned byte() { return at_ < size_ ? data_[at_++] : 0; }
    // A place in a text of `size` bytes.
    ByteOffset place(ByteOffset size) {
        const unsigned value = byte() << 8 | byte();
        return ByteOffset(static_cast<std::int64_t>(value % (size.value() + 1)));
    }
    // Up to `most` bytes of the input, as they are.
    std::string text(unsigned most = 8) {
        const std::size_t length =
            std::min<std::size_t>(byte() % most, size_ - std::min(at_, size_));
        std::string out(reinterpret_cast<const char*>(data_ + at_), length);
        at_ += length;
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

void Check(const EditSession& session, const LineView& view) {
    const std::string text = Whole(session);
    const Reading reading = Read(text);
    for (const ByteOffset at : {session.position(), session.anchor()}) {
        CheckOrDie(at >= ByteOffset(0) && at.index() <= text.size(),
                   "the caret is outside the text");
        const bool start =
            at.index() == text.size() ||
            std::binary_search(reading.starts.begin(), reading.starts.end(), at.index());
        CheckOrDie(start, "the caret stands inside a character");
    }
    const std::vector<std::string> lines = Lines(text);
    CheckOrDie(view.lines() == lines, "a view kept by the line changes told is not the text");
    const TextBuffer& buffer = session.buffer();
    CheckOrDie(buffer.lineCount().index() == lines.size(), "the line count is wrong");
    std::size_t start = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const LineNumber line(static_cast<std::int64_t>(n));
        CheckOrDie(buffer.lineStart(line).index() == start, "a line starts in the wrong place");
        CheckOrDie(buffer.lineEnd(line).index() == start + lines[n].size(),
                   "a line ends in the wrong place");
        const Reading own = Read(lines[n]);
        const ShownLine shown = session.shownLine(line);
        CheckOrDie(shown.text() == own.units, "a shown line decodes differently");
        CheckOrDie(buffer.countChars({buffer.lineStart(line), buffer.lineEnd(line)}) ==
                       static_cast<std::int64_t>(own.starts.size()),
                   "a line's characters are counted differently");
        start += lines[n].size() + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Script script(data, size);
    EditSession session;
    std::string original = script.text(64);
    const std::string initial = original;
    session.setText(SharedText(original));
    LineView view(session);
    session.addListener(&view);
    const TextSnapshot first = session.buffer().snapshot();
    // Copies of a selection can double the text at every step: the checks
    // read it all, so the script ends once it has grown large.
    while (!script.done() && session.buffer().size() < ByteOffset(1 << 14)) {
        const ByteOffset end = session.buffer().size();
        switch (script.byte() % 12) {
            case 0:
            case 1: {
                const ByteOffset a = script.place(end);
                const ByteOffset b = script.place(end);
                session.replace({std::min(a, b), std::max(a, b)}, script.text(), script.byte() & 1);
                break;
            }
            case 2:
                session.deleteTo(script.place(end));
                break;
            case 3:
                session.undo();
                break;
            case 4:
                session.redo();
                break;
            case 5: {
                const ByteOffset anchor = script.place(end);
                session.select(anchor, script.place(end));
                break;
            }
            case 6:
                session.moveTo(script.place(end), script.byte() & 1);
                break;
            case 7:
                session.dropSelection(script.place(end), script.byte() & 1);
                break;
            case 8: {
                const std::string commit = script.text();
                const Utf16Index from(static_cast<std::int64_t>(script.byte() % 5) - 2);
                const Utf16Index length(script.byte() % 4);
                session.inputMethod(commit, from, length, script.byte() & 1 ? u"xy" : u"",
                                    Utf16Index(1));
                break;
            }
            case 9:
                session.dropPreedit();
                break;
            case 10: {
                const auto unit = static_cast<SelectUnit>(script.byte() % 3);
                const ByteOffset a = script.place(end);
                session.beginDrag(unit, {a, std::max(a, script.place(end))}, false);
                const ByteOffset b = script.place(session.buffer().size());
                session.dragTo({b, b});
                break;
            }
            default:
                original = script.text(64);
                session.setText(SharedText(original));
                break;
        }
        Check(session, view);
    }
    const std::string edited = Whole(session);
    int steps = 0;
    while (session.buffer().canUndo()) {
        session.undo();
        ++steps;
    }
    CheckOrDie(Whole(session) == original, "undo-all does not give the text first set");
    for (; steps > 0; --steps) {
        session.redo();
    }
    CheckOrDie(Whole(session) == edited, "redo-all does not give the edited text");
    CheckOrDie(first.join()->view() == initial, "a snapshot changed with the text");
    Check(session, view);
    return 0;
}

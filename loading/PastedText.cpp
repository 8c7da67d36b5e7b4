#include "loading/PastedText.h"

#include "loading/EchoText.h"

#include <memory>
#include <string>

namespace axlewise {

LoadResult ReadPastedText(const SharedText& text, TruckIndex firstNumber,
                          const LoadProgress& progress) {
    const std::string_view view = text.view();
    LoadResult result;
    if (view.find('\r') == std::string_view::npos) {
        result = ReadLines(text, 0, firstNumber, progress);
    } else {
        // Other breaks are made '\n' once, in a copy that the trucks then slice;
        // nothing else in the text changes.
        const auto lines = std::make_shared<const std::string>(WithLineFeeds(view));
        result = ReadLines(SharedText(lines, *lines), 0, firstNumber, progress);
    }
    // The box keeps its own text and line index.
    result.echo = SharedText();
    result.lineBreaks = {};
    return result;
}

LoadResult LoadPastedText(BrowserState& state, const SharedText& text,
                          const LoadProgress& progress) {
    LoadResult result = ReadPastedText(text, state.NoTrucks + 1, progress);
    CommitLoad(state, result);
    return result;
}

}  // namespace axlewise

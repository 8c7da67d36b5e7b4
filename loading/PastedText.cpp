#include "loading/PastedText.h"

#include "loading/EchoText.h"

#include <memory>
#include <string>

namespace axlewise {

LoadResult LoadPastedText(BrowserState& state, const SharedText& text,
                          const LoadProgress& progress) {
    const std::string_view view = text.view();
    LoadResult result;
    if (view.find('\r') == std::string_view::npos) {
        result = LoadLines(state, text, 0, progress);
    } else {
        // Other breaks are made '\n' once, in a copy that the trucks then slice;
        // nothing else in the text changes.
        const auto lines = std::make_shared<const std::string>(WithLineFeeds(view));
        result = LoadLines(state, SharedText(lines, *lines), 0, progress);
    }
    // The box keeps its own text and line index.
    result.echo = SharedText();
    result.lineBreaks = {};
    return result;
}

}  // namespace axlewise

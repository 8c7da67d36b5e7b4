#include "loading/PastedText.h"

#include "loading/EchoText.h"
#include <memory>
#include <string>

namespace axlewise {

LoadResult LoadPastedText(BrowserState& state, std::string_view text) {
    // No head line is skipped in pasted text, and the editor keeps its text.
    const auto lines = std::make_shared<const std::string>(EchoText(std::string(text)));
    LoadResult result = LoadLines(state, lines, 0);
    result.echo = SharedText();
    return result;
}

}  // namespace axlewise

// libFuzzer target: the input as text pasted into the file-contents box, read
// with LoadPastedText into a state that already holds two trucks. The box only
// ever holds UTF-8, so other inputs are skipped. Each input is read twice: once
// to the end, and once with the progress callback cancelling at its first call.

#include "FuzzChecks.h"
#include "ReferenceReading.h"
#include "loading/PastedText.h"
#include "records/BrowserState.h"
#include "records/SharedText.h"
#include "records/Utf8.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

using namespace axlewise;
using namespace axlewise::fuzz;

namespace {

LoadResult Load(BrowserState& state, const SharedText& text, ProgressProbe& probe) {
    try {
        return LoadPastedText(state, text, std::ref(probe));
    } catch (...) {
        Die("LoadPastedText raised");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SelfCheckReference();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const bool utf8 = IsUtf8(input);
    CheckOrDie(IsValidUtf8(input) == utf8, "IsValidUtf8 and the reference disagree");
    if (!utf8) {
        return 0;
    }
    const SharedText text(input);

    BrowserState state = StateWithTwoTrucks();
    const StateSnapshot before(state);
    ProgressProbe probe(0);
    const LoadResult result = Load(state, text, probe);

    // Every line (LF, CRLF or CR) is read as it stands: no line is skipped as
    // a head line, and nothing is taken off the first one.
    const std::vector<std::string_view> lines = ReferenceLines(input);
    CheckLoad(state, before, result, lines, LineText::AsIs, 0);
    CheckOrDie(result.echo.empty(), "a pasted load has an echo");
    // Text with '\n' breaks only is read where it stands.
    if (input.find('\r') == std::string_view::npos) {
        for (TruckIndex i = before.count() + 1; i <= state.NoTrucks; ++i) {
            CheckOrDie(state.Truck(i).RawLine.block() == text.block(),
                       "a pasted truck copied its line out of the text");
        }
    }

    BrowserState cancelledState = StateWithTwoTrucks();
    ProgressProbe cancelFirst(1);
    const LoadResult cancelled = Load(cancelledState, text, cancelFirst);
    if (cancelFirst.cancelled()) {
        CheckCancelled(cancelledState, before, cancelled);
    } else {
        CheckLoad(cancelledState, before, cancelled, lines, LineText::AsIs, 0);
    }
    return 0;
}

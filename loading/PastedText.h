#pragma once

#include "loading/TruckFile.h"
#include "records/BrowserState.h"

#include <string_view>

namespace axlewise {

// Appends the trucks of text pasted into the editor (UTF-8): each line (LF, CRLF
// or CR) is one record, so lines of any length read by their columns; blank
// lines are skipped; no head line is skipped. Reading stops at the first line
// ReadTruck rejects, as for files. The result's echo stays empty: the editor is
// not changed.
LoadResult LoadPastedText(BrowserState& state, std::string_view text);

}  // namespace axlewise

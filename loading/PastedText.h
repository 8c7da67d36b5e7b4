#pragma once

#include "loading/TruckFile.h"
#include "records/BrowserState.h"
#include "records/SharedText.h"

namespace axlewise {

// Reads the trucks of the text in the file-contents box (UTF-8), numbering
// them from firstNumber: each line (LF, CRLF or CR) is one record, so lines of
// any length read by their columns; blank lines are skipped; no head line is
// skipped. Reading stops at the first line ReadTruck rejects, as for files.
// Text with '\n' breaks only is read where it stands, and the trucks keep
// their lines as slices of it. The result's echo stays empty: the box is not
// changed. Touches nothing but its arguments.
LoadResult ReadPastedText(const SharedText& text, TruckIndex firstNumber,
                          const LoadProgress& progress = {});

// ReadPastedText, committed to state unless cancelled.
LoadResult LoadPastedText(BrowserState& state, const SharedText& text,
                          const LoadProgress& progress = {});

}  // namespace axlewise

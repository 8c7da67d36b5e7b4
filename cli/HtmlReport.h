#pragma once

#include "cli/FileSummary.h"
#include "stats/SiteStats.h"

#include <string>
#include <string_view>
#include <vector>

namespace axlewise {

// Text (UTF-8) for HTML, as element content or a quoted attribute value: &, <,
// >, " and ' as character references, and any control character (which a
// file name or reason should hold only escaped already) as \xNN, so that no
// text of a file can open an element or break the page.
std::string HtmlText(std::string_view text);

// The <svg> element of an SVG document, to stand inline in an HTML page:
// what comes before the element (the XML declaration, a document type) is
// dropped. Empty when the document holds no <svg> element.
std::string InlineSvg(std::string_view document);

// The page `report` writes: a self-contained HTML document (its style sheet
// inline; no script, font or picture from elsewhere) that is also well-formed
// XML. A title, then per file, in the order given, the figures `check` prints
// as tables (lines, unreadable lines with the first kListedFailures listed,
// each check's trucks, share and first trucks, the first and last passage,
// trucks per lane and direction, GVW's percentiles), then the charts, each an
// inline <svg> element (see InlineSvg), with `all`, the figures of every
// truck of every file, in their heading.
std::string ReportPage(const std::vector<FileFigures>& files, const SiteStats& all,
                       const std::vector<std::string>& charts);

}  // namespace axlewise

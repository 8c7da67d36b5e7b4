#include "cli/HtmlReport.h"

#include "checks/TruckChecks.h"
#include "records/IntegerText.h"
#include "stats/FiguresText.h"

#include <cstddef>
#include <initializer_list>
#include <utility>

namespace axlewise {

namespace {

// The page's look, inline so the file stands alone. Two charts, drawn at
// 558 x 336, fill a row, and they shrink with a narrow window; numbers are right-aligned in
// figures of one width so that columns of them read down.
constexpr const char* kStyle = R"(
body { font-family: "Liberation Sans", Arial, Helvetica, sans-serif; color: #1f2328;
  background: #ffffff; max-width: 1140px; margin: 0 auto; padding: 20px 20px 40px; }
h1 { font-size: 24px; margin: 0 0 4px; }
h2 { font-size: 18px; margin: 32px 0 10px; padding-bottom: 4px; border-bottom: 2px solid #d0d7de;
  overflow-wrap: anywhere; }
p.lead { color: #57606a; margin: 0 0 8px; }
p.note { color: #57606a; margin: 4px 0 12px; font-size: 14px; }
div.tables { display: flex; flex-wrap: wrap; gap: 12px 40px; align-items: flex-start;
  margin: 10px 0; }
table { border-collapse: collapse; font-size: 14px; margin: 4px 0; }
caption { text-align: left; font-weight: bold; padding: 0 0 4px; }
th, td { padding: 3px 10px; border-bottom: 1px solid #d8dee4; text-align: left;
  vertical-align: top; }
thead th { background: #f3f5f7; font-weight: normal; color: #57606a; }
tbody th { font-weight: normal; }
td.n, th.n { text-align: right; font-variant-numeric: tabular-nums; }
table.checks tr.failed td.share { color: #a40e26; font-weight: bold; }
table.checks tr.passed { color: #8c959f; }
table.unreadable td.reason { font-family: "Liberation Mono", monospace; font-size: 13px;
  overflow-wrap: anywhere; }
tr.more td { color: #57606a; font-style: italic; }
div.charts { display: flex; flex-wrap: wrap; gap: 20px; }
div.chart { flex: 0 1 560px; box-sizing: border-box; border: 1px solid #d8dee4; }
div.chart svg { display: block; width: 100%; height: auto; }
)";

// Appends <tag class="cls">text</tag>, the text escaped.
void Element(std::string& out, const char* tag, std::string_view text, const char* cls = nullptr) {
    out += '<';
    out += tag;
    if (cls != nullptr) {
        out += " class=\"";
        out += cls;
        out += '"';
    }
    out += '>';
    out += HtmlText(text);
    out += "</";
    out += tag;
    out += '>';
}

// A number, right-aligned.
void Number(std::string& out, std::string_view text) {
    Element(out, "td", text, "n");
}

void Number(std::string& out, long long value) {
    Number(out, std::to_string(value));
}

// A column's head; the heads of columns of numbers stand right, over them.
struct Head {
    const char* text;
    bool number = false;
};
constexpr bool kNumber = true;

// Opens a table with its caption and the heads of its columns (none: no head).
void OpenTable(std::string& out, const char* cls, std::string_view caption,
               std::initializer_list<Head> heads) {
    out += "<table class=\"";
    out += cls;
    out += "\">";
    Element(out, "caption", caption);
    if (heads.size() > 0) {
        out += "<thead><tr>";
        for (const Head& head : heads) {
            Element(out, "th", head.text, head.number ? "n" : nullptr);
        }
        out += "</tr></thead>";
    }
    out += "<tbody>\n";
}

void CloseTable(std::string& out) {
    out += "</tbody></table>\n";
}

void LinesTable(std::string& out, const FileFigures& file) {
    OpenTable(out, "lines", "Lines", {});
    const std::pair<const char*, TruckIndex> rows[] = {
        {"lines read", file.counts.lines},
        {"trucks", file.counts.trucks},
        {"unreadable lines", file.counts.unreadable},
    };
    for (const auto& [what, count] : rows) {
        out += "<tr>";
        Element(out, "th", what);
        Number(out, count);
        out += "</tr>\n";
    }
    CloseTable(out);
}

void PassageTable(std::string& out, const SiteStats& stats) {
    OpenTable(out, "passage", "Time of passage",
              {{""}, {"YY-MM-DD hh:mm:ss.cc"}, {"truck", kNumber}});
    const std::pair<const char*, const Passage&> rows[] = {
        {"first", *stats.firstPassage},
        {"last", *stats.lastPassage},
    };
    for (const auto& [which, passage] : rows) {
        out += "<tr>";
        Element(out, "th", which);
        Element(out, "td", PassageText(passage));
        Number(out, passage.truck.number);
        out += "</tr>\n";
    }
    CloseTable(out);
}

void GvwTable(std::string& out, const Percentiles& gvw) {
    OpenTable(
        out, "gvw", "GVW, nearest-rank percentiles",
        {{"min", kNumber}, {"p10", kNumber}, {"p50", kNumber}, {"p90", kNumber}, {"max", kNumber}});
    out += "<tr>";
    for (const int value : {gvw.min, gvw.p10, gvw.p50, gvw.p90, gvw.max}) {
        Number(out, value);
    }
    out += "</tr>\n";
    CloseTable(out);
}

void UnreadableTable(std::string& out, const FileFigures& file) {
    OpenTable(out, "unreadable", "Unreadable lines", {{"line", kNumber}, {"reason"}});
    for (const LoadFailure& failure : file.listed) {
        out += "<tr>";
        Number(out, failure.line);
        Element(out, "td", failure.reason, "reason");
        out += "</tr>\n";
    }
    if (const std::string unlisted = UnlistedText(file); !unlisted.empty()) {
        out += "<tr class=\"more\"><td colspan=\"2\">" + HtmlText(unlisted) + "</td></tr>\n";
    }
    CloseTable(out);
}

void ChecksTable(std::string& out, const SiteStats& stats) {
    OpenTable(out, "checks", "Checks failed",
              {{"check"}, {"trucks", kNumber}, {"share", kNumber}, {"first trucks"}});
    for (const CheckCode code : kAllChecks) {
        const CheckFigures& check = stats.checks[static_cast<std::size_t>(code)];
        out += check.trucks > 0 ? "<tr class=\"failed\">" : "<tr class=\"passed\">";
        Element(out, "th", CheckName(code));
        Number(out, check.trucks);
        Element(out, "td", ShareText(check.tenths), "n share");
        Element(out, "td", TruckNumbersText(check.first, check.trucks));
        out += "</tr>\n";
    }
    CloseTable(out);
}

void LanesTable(std::string& out, const SiteStats& stats) {
    OpenTable(out, "lanes", "Trucks per lane and direction",
              {{"lane", kNumber}, {"direction", kNumber}, {"trucks", kNumber}, {"share", kNumber}});
    for (const LaneFigures& lane : stats.lanes) {
        out += "<tr>";
        Number(out, lane.lane);
        Number(out, lane.direction);
        Number(out, lane.trucks);
        Number(out, ShareText(TenthsOfPercent(lane.trucks, stats.trucks)));
        out += "</tr>\n";
    }
    CloseTable(out);
}

void FileSection(std::string& out, const FileFigures& file) {
    const SiteStats& stats = file.stats;
    out += "<div class=\"file\">\n";
    Element(out, "h2", file.name);
    out += "\n<div class=\"tables\">\n";
    LinesTable(out, file);
    if (stats.firstPassage && stats.lastPassage && stats.gvw) {
        PassageTable(out, stats);
        GvwTable(out, *stats.gvw);
    }
    out += "</div>\n";
    if (file.counts.unreadable > 0) {
        UnreadableTable(out, file);
    }
    out += "<div class=\"tables\">\n";
    ChecksTable(out, stats);
    if (!stats.lanes.empty()) {
        LanesTable(out, stats);
    }
    out += "</div>\n</div>\n";
}

std::string Plural(TruckIndex count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string HtmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default: {
                const auto byte = static_cast<unsigned char>(c);
                if (byte < 0x20 || byte == 0x7F) {
                    constexpr char kDigits[] = "0123456789ABCDEF";
                    out += "\\x";
                    out += kDigits[byte >> 4];
                    out += kDigits[byte & 0xF];
                } else {
                    out += c;
                }
            }
        }
    }
    return out;
}

std::string InlineSvg(std::string_view document) {
    // "<svg" followed by a blank or the end of the tag, so that no other
    // element's name that starts the same is taken for it.
    for (std::size_t at = document.find("<svg"); at != std::string_view::npos;
         at = document.find("<svg", at + 1)) {
        const std::size_t after = at + 4;
        if (after < document.size() &&
            (document[after] == ' ' || document[after] == '>' || document[after] == '\n' ||
             document[after] == '\t' || document[after] == '\r')) {
            std::string element(document.substr(at));
            while (!element.empty() && (element.back() == '\n' || element.back() == ' ')) {
                element.pop_back();
            }
            return element;
        }
    }
    return {};
}

std::string ReportPage(const std::vector<FileFigures>& files, const SiteStats& all,
                       const std::vector<std::string>& charts) {
    TruckIndex unreadable = 0;
    std::string names;
    for (const FileFigures& file : files) {
        unreadable += file.counts.unreadable;
        names += (names.empty() ? "" : ", ") + file.name;
    }
    const auto fileCount = static_cast<TruckIndex>(files.size());

    std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n";
    out += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n";
    out += "<meta name=\"generator\" content=\"axlewise-cli report\"/>\n";
    Element(out, "title", "Truck report: " + names);
    out += "\n<style>";
    out += kStyle;
    out += "</style>\n</head>\n<body>\n";
    Element(out, "h1", "Weigh-in-motion truck report");
    out += '\n';
    Element(out, "p",
            Plural(fileCount, "file", "files") + ", " + Plural(all.trucks, "truck", "trucks") +
                ", " + Plural(unreadable, "unreadable line", "unreadable lines") +
                ". Every value is in the file's own units, under its field's caption.",
            "lead");
    out += '\n';
    for (const FileFigures& file : files) {
        FileSection(out, file);
    }

    out += "<div class=\"all\">\n";
    Element(out, "h2", fileCount == 1 ? "Charts" : "Charts of all files");
    out += '\n';
    Element(
        out, "p",
        Plural(all.trucks, "truck", "trucks") + " from " + Plural(fileCount, "file", "files") + ".",
        "note");
    out += "\n<div class=\"charts\">\n";
    for (const std::string& chart : charts) {
        out += "<div class=\"chart\">\n";
        out += chart;
        out += "\n</div>\n";
    }
    out += "</div>\n</div>\n</body>\n</html>\n";
    return out;
}

}  // namespace axlewise

// report: one HTML page of every file's figures and the charts over all trucks.

#include "cli/Commands.h"
#include "cli/FileSummary.h"
#include "cli/HtmlReport.h"
#include "drawing/charts/ChartFile.h"
#include "drawing/charts/Charts.h"

#include <QGuiApplication>
#include <QSize>

#include <memory>
#include <optional>
#include <utility>

namespace axlewise {

namespace {

// A chart's size in CSS pixels: two fill a row of the page (see the page's style).
constexpr QSize kChartSize(558, 336);

}  // namespace

// Every file is read before anything is drawn, and the page is written in one
// piece at the end, so OUT is replaced whole or not at all. A file that cannot
// be read ends the run without a page: a report that left a file out would
// look complete.
ExitStatus RunReport(const Arguments& arguments, int& argc, char** argv) {
    if (!AllReadable(arguments.files)) {
        return ExitStatus::Failed;
    }
    std::optional<SafeOutput> out;
    if (!OpenOutput(out, arguments.output, arguments.files)) {
        return ExitStatus::Failed;
    }

    ExitStatus status = ExitStatus::Ok;
    std::vector<FileFigures> files;
    StatsAccumulator all;
    for (std::size_t k = 0; k < arguments.files.size(); ++k) {
        const std::string& path = arguments.files[k];
        FileSummary summary(path, static_cast<int>(k));
        FileCounts counts;
        status = Worse(status, ReadInto(path, arguments.ignore, summary, counts));
        if (status == ExitStatus::Failed) {
            return status;  // the output is dropped as it was
        }
        all.merge(summary.accumulator());
        files.push_back(summary.figures(counts));
    }
    const auto stats = std::make_shared<const SiteStats>(all.result());

    PreferOffscreen();
    const QGuiApplication application(argc, argv);
    std::vector<std::string> charts;
    for (const ChartKind kind : kAllCharts) {
        charts.push_back(InlineSvg(ChartSvg(Chart(kind, stats), kChartSize).toStdString()));
    }

    out->write(ReportPage(files, *stats, charts));
    return Commit(*out, status);
}

}  // namespace axlewise

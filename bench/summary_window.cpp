// Loads a truck file as the window does (each truck's checks kept with it),
// then times what opening the Summary window costs: the statistics, and the
// window shown and painted, offscreen. With OUT.png, the whole scrolling page of
// figures and charts is written there too.
//   summary_window FILE [OUT.png]

#include "PeakMemory.h"
#include "loading/TruckFile.h"
#include "records/BrowserState.h"
#include "stats/SiteStats.h"
#include "window/frmSummary.h"

#include <QApplication>
#include <QTest>

#include <chrono>
#include <cstdio>

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace axlewise;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: summary_window FILE [OUT.png]\n");
        return 2;
    }
    BrowserState state;
    const std::optional<std::string> bytes = ReadFileBytes(argv[1]);
    if (!bytes) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    const LoadResult loaded = LoadTruckText(state, *bytes, 0);

    auto start = std::chrono::steady_clock::now();
    StatsAccumulator accumulator;
    for (TruckIndex n = 1; n <= state.NoTrucks; ++n) {
        accumulator.add(n, state.Truck(n), state.Trucks.checks(n));
    }
    SiteStats stats = accumulator.result();
    const double statistics = SecondsSince(start);

    start = std::chrono::steady_clock::now();
    frmSummary window;
    window.setMessageBoxes(std::make_unique<PrintedMessageBoxes>());
    window.setSummary(std::move(stats), loaded.lines);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    window.repaint();
    const double shown = SecondsSince(start);

    std::printf("trucks: %lld\n", static_cast<long long>(state.NoTrucks));
    std::printf("seconds for the statistics: %.3f\n", statistics);
    std::printf("seconds to the window shown and painted: %.3f\n", shown);
    std::printf("statistics and window together: %.3f\n", statistics + shown);
    std::printf("peak memory: %.1f MiB\n",
                static_cast<double>(bench::PeakResidentBytes()) / 1048576.0);
    if (argc == 3) {
        auto* page = window.findChild<QWidget*>(QStringLiteral("pnlSummary"));
        if (page == nullptr || !page->grab().save(QString::fromLocal8Bit(argv[2]), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", argv[2]);
            return 2;
        }
    }
    return 0;
}

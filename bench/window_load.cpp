// Opens a truck file in the main window, offscreen, and prints the time from the
// start of the load until truck 1 is shown, and the peak memory:
//   window_load FILE
#include "PeakMemory.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

#include <chrono>
#include <cstdio>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_load FILE\n");
        return 2;
    }
    axlewise::frmMain window;
    window.setMessageBoxes(std::make_unique<axlewise::PrintedMessageBoxes>());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    const std::int64_t before = axlewise::bench::PeakResidentBytes();

    const auto start = std::chrono::steady_clock::now();
    window.OpenFile(QString::fromLocal8Bit(argv[1]));
    // Until the window has painted what the load changed.
    QApplication::processEvents();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const auto& state = window.state();
    std::printf("trucks: %lld\nshown: truck %lld\nseconds to truck 1: %.3f\n",
                static_cast<long long>(state.NoTrucks), static_cast<long long>(state.CurrentTruck),
                seconds);
    std::printf("peak memory: %.1f MiB (window before the load: %.1f MiB)\n",
                static_cast<double>(axlewise::bench::PeakResidentBytes()) / 1048576.0,
                static_cast<double>(before) / 1048576.0);
    return state.CurrentTruck == 1 ? 0 : 1;
}

// Opens a truck file in the main window, offscreen, and times what the user
// does to move through it, each the median of many runs:
//   window_navigation FILE
// "Next" clicks, a jump to the middle truck (what Go to Truck does once its
// dialog is answered), and F8 when only the last truck fails a check (the
// file's last truck is made to fail: its SPEED is set to 0 in a copy).

#include "window/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// The median of `runs` timings of act, in milliseconds; the window repaints
// after each, as it would for the user.
double MedianMs(int runs, const std::function<void(int)>& act) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        act(run);
        QApplication::processEvents();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_navigation FILE\n");
        return 2;
    }
    // A copy of the file whose last truck fails SPEED.
    QFile source(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir dir;
    QFile copy(dir.filePath(QStringLiteral("trucks.txt")));
    if (!source.open(QIODevice::ReadOnly) || !copy.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    QByteArray text = source.readAll();
    const qsizetype lastLine = text.lastIndexOf('\n', text.size() - 2) + 1;
    text.replace(lastLine + 18, 3, "  0");  // SPEED, columns 19-21
    copy.write(text);
    copy.close();
    text.clear();

    axlewise::frmMain window;
    window.setMessageBoxes(std::make_unique<axlewise::PrintedMessageBoxes>());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    window.OpenFile(copy.fileName());
    QApplication::processEvents();
    const auto& state = window.state();
    std::printf("trucks: %lld\n", static_cast<long long>(state.NoTrucks));

    auto* next = window.findChild<QPushButton*>(QStringLiteral("btnNext"));
    std::printf("Next click: %.3f ms\n",
                MedianMs(1000, [&](int) { QTest::mouseClick(next, Qt::LeftButton); }));
    std::printf("jump to the middle truck: %.3f ms\n", MedianMs(200, [&](int run) {
                    window.ShowTruckAt(state.NoTrucks / 2 + (run % 2) * 1000);
                }));
    auto* nextFailing = window.findChild<QAction*>(QStringLiteral("NextFailing"));
    std::printf("F8, only the last truck failing: %.3f ms\n", MedianMs(200, [&](int) {
                    window.ShowTruckAt(1);
                    nextFailing->trigger();
                }));
    return state.CurrentTruck == state.NoTrucks ? 0 : 1;
}

// Opens a truck file in the main window, offscreen, and prints the time from the
// start of the load until truck 1 is shown, and the peak memory:
//   window_load FILE
// With --paste, the file's text is pasted into the file-contents box first (the
// time that takes is printed too), and then "Read Pasted Truck(s)" is timed
// from the click until truck 1 is shown:
//   window_load FILE --paste
// With --again, the file is loaded once untimed and then again, appended to
// the trucks of the first load, timed:
//   window_load FILE --again
#include "PeakMemory.h"
#include "window/TextBox.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double MiB(std::int64_t bytes) {
    return static_cast<double>(bytes) / 1048576.0;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool paste = argc == 3 && std::strcmp(argv[2], "--paste") == 0;
    const bool again = argc == 3 && std::strcmp(argv[2], "--again") == 0;
    if (argc < 2 || (argc == 3 && !paste && !again) || argc > 3) {
        std::fprintf(stderr, "usage: window_load FILE [--paste | --again]\n");
        return 2;
    }
    axlewise::frmMain window;
    window.setMessageBoxes(std::make_unique<axlewise::PrintedMessageBoxes>());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    if (again) {
        window.OpenFile(path);
        QApplication::processEvents();
    }
    auto start = std::chrono::steady_clock::now();
    if (paste) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", argv[1]);
            return 2;
        }
        QApplication::clipboard()->setText(QString::fromUtf8(file.readAll()));
        auto* editor = window.findChild<axlewise::TextBox*>(QStringLiteral("Editor"));
        start = std::chrono::steady_clock::now();
        editor->paste();
        QApplication::processEvents();
        std::printf("seconds to paste: %.3f\n", SecondsSince(start));
    }
    const std::int64_t before = axlewise::bench::PeakResidentBytes();

    start = std::chrono::steady_clock::now();
    if (paste) {
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("btnReadTxt")),
                          Qt::LeftButton);
    } else {
        window.OpenFile(path);
    }
    // Until the window has painted what the load changed.
    QApplication::processEvents();
    const double seconds = SecondsSince(start);

    const auto& state = window.state();
    std::printf("trucks: %lld\nshown: truck %lld\nseconds to truck 1: %.3f\n",
                static_cast<long long>(state.NoTrucks), static_cast<long long>(state.CurrentTruck),
                seconds);
    std::printf("peak memory: %.1f MiB (before the %s: %.1f MiB)\n",
                MiB(axlewise::bench::PeakResidentBytes()), paste ? "read" : "load", MiB(before));
    return state.CurrentTruck == 1 ? 0 : 1;
}

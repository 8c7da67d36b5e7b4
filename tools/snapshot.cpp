// Renders the main window offscreen to a PNG, for the pictures in docs/:
//   snapshot OUT.png [FILE] [--truck N]
// FILE is loaded as if chosen in the open dialog; --truck presses "Next" until
// truck N is on show. Message boxes are printed instead of shown.
#include "window/frmMain.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    long truck = 1;
    const qsizetype truckOption = arguments.indexOf(QStringLiteral("--truck"));
    if (truckOption >= 0 && truckOption + 1 < arguments.size()) {
        truck = arguments.at(truckOption + 1).toLong();
        arguments.remove(truckOption, 2);
    }
    if (arguments.isEmpty()) {
        std::fprintf(stderr, "usage: snapshot OUT.png [FILE] [--truck N]\n");
        return 2;
    }

    axlewise::frmMain window;
    window.setMessageBoxes(std::make_unique<axlewise::PrintedMessageBoxes>());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the window was not shown\n");
        return 1;
    }
    if (arguments.size() > 1) {
        window.OpenFile(arguments.at(1));
        auto* next = window.findChild<QPushButton*>(QStringLiteral("btnNext"));
        for (long i = 1; i < truck; ++i) {
            QTest::mouseClick(next, Qt::LeftButton);
        }
    }
    QApplication::processEvents();
    if (!window.grab().save(arguments.at(0))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments.at(0)));
        return 1;
    }
    return 0;
}

#include "window/frmMain.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Axlewise"));

    axlewise::frmMain window;
    window.show();

    // A file named on the command line is loaded once the window is up, exactly
    // as if it had been chosen in the open dialog.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        const QString path = arguments.at(1);
        QTimer::singleShot(0, &window, [&window, path] { window.OpenFile(path); });
    }
    return app.exec();
}

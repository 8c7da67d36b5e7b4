#include <QApplication>

#include "window/frmMain.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    axlewise::frmMain window;
    window.show();
    return app.exec();
}

#include "window/frmMain.h"

namespace axlewise {

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Axlewise by Quenby");
}

}  // namespace axlewise

#pragma once

#include <QMainWindow>

namespace axlewise {

class frmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
};

}  // namespace axlewise

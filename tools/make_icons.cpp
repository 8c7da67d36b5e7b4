// Writes the program's icon for the desktop's icon theme:
//   make_icons OUTDIR   ->   OUTDIR/32/axlewise.png, OUTDIR/64/..., OUTDIR/128/...
// drawn by the same code as the window icon. Runs at build time, without a
// display.
#include "drawing/AppIcon.h"

#include <QDir>
#include <QString>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (const int size : {32, 64, 128}) {
        const QString folder = QStringLiteral("%1/%2").arg(out).arg(size);
        const QString file = folder + QStringLiteral("/axlewise.png");
        if (!QDir().mkpath(folder) || !axlewise::TruckIconImage(size).save(file)) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}

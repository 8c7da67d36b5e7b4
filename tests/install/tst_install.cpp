// `cmake --install` lays out a desktop program: the executables, a valid
// desktop entry that names them and the icon in the hicolor theme.

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class tst_Install : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void files_data();
    void files();
    void desktopEntry();

private:
    QTemporaryDir prefix_;
};

void tst_Install::initTestCase() {
    QVERIFY(prefix_.isValid());
    QProcess install;
    install.start(QStringLiteral(AXLEWISE_CMAKE),
                  {QStringLiteral("--install"), QStringLiteral(AXLEWISE_BUILD_DIR),
                   QStringLiteral("--prefix"), prefix_.path()});
    QVERIFY(install.waitForFinished(60'000));
    QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
}

void tst_Install::files_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("iconSize");  // 0: not an image
    QTest::newRow("viewer") << "bin/axlewise" << 0;
    QTest::newRow("command-line program") << "bin/axlewise-cli" << 0;
    QTest::newRow("icon 32") << "share/icons/hicolor/32x32/apps/axlewise.png" << 32;
    QTest::newRow("icon 64") << "share/icons/hicolor/64x64/apps/axlewise.png" << 64;
    QTest::newRow("icon 128") << "share/icons/hicolor/128x128/apps/axlewise.png" << 128;
}

void tst_Install::files() {
    QFETCH(QString, path);
    QFETCH(int, iconSize);
    const QFileInfo file(QDir(prefix_.path()).filePath(path));
    QVERIFY2(file.isFile(), qPrintable(file.filePath()));
    if (iconSize == 0) {
        QVERIFY(file.isExecutable());
        return;
    }
    QImageReader reader(file.filePath());
    QCOMPARE(reader.size(), QSize(iconSize, iconSize));
    // A drawing, not an empty square: the icon has see-through and opaque parts.
    const QImage icon = reader.read();
    QCOMPARE(icon.pixelColor(0, 0).alpha(), 0);
    QCOMPARE(icon.pixelColor(iconSize / 4, iconSize / 2).alpha(), 255);
}

void tst_Install::desktopEntry() {
    const QString path =
        QDir(prefix_.path()).filePath(QStringLiteral("share/applications/axlewise.desktop"));
    QSettings entry(path, QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    QCOMPARE(entry.value(QStringLiteral("Type")).toString(), QStringLiteral("Application"));
    QCOMPARE(entry.value(QStringLiteral("Exec")).toString(), QStringLiteral("axlewise %f"));
    QCOMPARE(entry.value(QStringLiteral("Icon")).toString(), QStringLiteral("axlewise"));

    const QString validate =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validate.isEmpty()) {
        QSKIP("desktop-file-validate is not installed");
    }
    QProcess check;
    check.start(validate, {path});
    QVERIFY(check.waitForFinished(30'000));
    QVERIFY2(check.exitCode() == 0 && check.readAllStandardOutput().isEmpty(),
             check.readAllStandardError().constData());
}

QTEST_GUILESS_MAIN(tst_Install)
#include "tst_install.moc"

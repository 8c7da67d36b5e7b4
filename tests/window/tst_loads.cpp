// Loads as the user meets them: a bad or huge line, Cancel in the progress dialog,
// input and a close request while a load works on its worker thread.

#include "WindowFixture.h"

#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

using namespace axlewise;
using namespace axlewise::test;

class tst_Loads : public WindowFixture {
    Q_OBJECT

    // The next load, held half-way (trucks read) on its worker thread until
    // `act` has been done on the window's thread with the progress dialog
    // showing.
    struct HalfWay {
        std::atomic<bool> reached = false;
        std::atomic<bool> acted = false;
        QTimer timer;
    };
    std::unique_ptr<HalfWay> whenHalfWay(std::function<void(QProgressDialog*)> act) {
        auto halfWay = std::make_unique<HalfWay>();
        HalfWay* held = halfWay.get();
        window->setProgressDialogDelay(0);
        window->setLoadProbe([held](double done) {
            if (done > 0.5) {
                held->reached = true;
                while (!held->acted) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
            }
        });
        connect(&held->timer, &QTimer::timeout, [this, held, act] {
            auto* progress = window->findChild<QProgressDialog*>();
            if (held->reached && progress != nullptr && progress->isVisible()) {
                held->timer.stop();
                act(progress);
                held->acted = true;
            }
        });
        held->timer.start(0);
        return halfWay;
    }

private slots:
    void init() { setUpWindow(); }

    void badLine_reportedWithTrucksKept_data();
    void badLine_reportedWithTrucksKept();
    void cancelProgress_leavesEverythingAsItWas_data();
    void cancelProgress_leavesEverythingAsItWas();
    void inputDuringLoad_neverActs();
    void closeDuringLoad_cancelsThenCloses();
};

void tst_Loads::badLine_reportedWithTrucksKept_data() {
    QTest::addColumn<QByteArray>("bad");  // the line between trucks 1004 and 1006, with its break
    QTest::addColumn<QString>("reason");
    QTest::newRow("a bad speed") << Line(1005, 9, "1x3")
                                 << R"(SPEED (columns 19-21): "1x3" is not a number)";
    QTest::newRow("a 10 MB line") << QByteArray(10'000'000, 'x') + '\n'
                                  << R"(HEAD (columns 1-4): "xxxx" is not a number)";
    // A file of NULs is said to be binary data.
    QTest::newRow("1,000,000 NUL bytes") << QByteArray(1'000'000, '\0') + '\n'
                                         << "HEAD (columns 1-4): \"\\0\\0\\0\\0\" is not a number\n"
                                            "The file holds binary data, not lines of text.";
}

// A file whose second line is bad: the truck before it is added to the three
// held, the message names the line and gives no hint (a truck of the file was
// read), the truck on show stays, and the box holds the file up to the bad
// line, however long.
void tst_Loads::badLine_reportedWithTrucksKept() {
    QFETCH(QByteArray, bad);
    QFETCH(QString, reason);
    holdThree();
    const QString path = write(QStringLiteral("bad.txt"), Line(1004) + bad + Line(1006));
    open(QStringLiteral("menu"), path);
    QCOMPARE(messages, QStringList{FailedToOpen(path) + QStringLiteral("line 2: ") + reason});
    QCOMPARE(label(), QStringLiteral("No. Trucks is 4"));
    QCOMPARE(panel().first(), QStringLiteral("3"));
    QVERIFY(window->state().FileName.empty());
    QCOMPARE(editor()->text().size(), std::size_t(Line(1004).size() + bad.size()));
    click(QStringLiteral("btnNext"));
    QCOMPARE(panel().mid(0, 2), QStringList({"4", "1004"}));
}

void tst_Loads::cancelProgress_leavesEverythingAsItWas_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("file load") << "file";
    QTest::newRow("pasted read") << "paste";
}

// Cancel in the progress dialog: no truck added, the label, the truck on
// show, FileName and the box as before, no message, no dialog left.
void tst_Loads::cancelProgress_leavesEverythingAsItWas() {
    QFETCH(QString, how);
    holdThree();
    QByteArray many;
    for (int i = 0; i < 20'000; ++i) {
        many += Line(i % 10'000);
    }
    const QString path = write(QStringLiteral("many.txt"), many);
    const auto halfWay = whenHalfWay([](QProgressDialog* progress) {
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
    });
    const SharedText before = editor()->text();
    if (how == QLatin1String("paste")) {
        editor()->setText(SharedText(many.toStdString()));
        click(QStringLiteral("btnReadTxt"));
    } else {
        open(QStringLiteral("menu"), path);
    }
    QVERIFY(halfWay->acted);
    QCOMPARE(messages, QStringList());
    QCOMPARE(window->state().Trucks.count(), 3);
    QCOMPARE(label(), QStringLiteral("No. Trucks is 3"));
    QCOMPARE(panel().first(), QStringLiteral("3"));
    QCOMPARE(window->state().FileName, dir.filePath(QStringLiteral("three.txt")).toStdString());
    if (how == QLatin1String("file")) {
        QCOMPARE(editor()->text().block(), before.block());
    }
    QVERIFY(window->findChildren<QProgressDialog*>().isEmpty());
}

// Keys and clicks that reach the window while a load is busy are swallowed:
// they never act on it, during the load or afterwards.
void tst_Loads::inputDuringLoad_neverActs() {
    auto* ignore = find<QLineEdit>(QStringLiteral("txtIgline"));
    ignore->setFocus();
    const QString path = write(QStringLiteral("three.txt"), ThreeTrucks());
    // A shortcut would start a second command inside this one.
    QAction shortcut(window.get());
    shortcut.setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_R));
    window->addAction(&shortcut);
    int sent = 0, triggered = 0;
    connect(&shortcut, &QAction::triggered, [&] { ++triggered; });
    QTimer::singleShot(0, [&] {
        QTest::keyClick(ignore, Qt::Key_5);
        QTest::mouseClick(find(QStringLiteral("btnReadTxt")), Qt::LeftButton);
        QTest::keyClick(ignore, Qt::Key_R, Qt::ControlModifier);
        ++sent;
    });
    open(QStringLiteral("menu"), path);
    QCOMPARE(sent, 1);
    QCOMPARE(triggered, 0);
    QCOMPARE(ignore->text(), QStringLiteral("0"));
    QCOMPARE(window->state().NoTrucks, 3);
    // Afterwards the window answers again.
    QTest::keyClick(ignore, Qt::Key_5);
    QCOMPARE(ignore->text(), QStringLiteral("05"));
    QTest::keyClick(ignore, Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(triggered, 1);
}

// Closing the window while a load works (the progress dialog showing) stops
// the load, keeps the trucks as they were, and then closes the window.
void tst_Loads::closeDuringLoad_cancelsThenCloses() {
    holdThree();
    const QString path = write(QStringLiteral("many.txt"), Line(1).repeated(20'000));
    const auto halfWay = whenHalfWay([this](QProgressDialog*) {
        window->close();
        QVERIFY(window->isVisible());  // not before the load has stopped
    });
    open(QStringLiteral("menu"), path);
    QVERIFY(halfWay->acted);
    QCOMPARE(window->state().NoTrucks, 3);
    QCOMPARE(messages, QStringList());
    QTRY_VERIFY(!window->isVisible());
}

QTEST_MAIN(tst_Loads)
#include "tst_loads.moc"

// The Go menu: a truck by its number or its time of passage, and the next or
// previous truck that fails a check, through the menu's actions, their keys
// and real input dialogs. The View menu's Summary window: kept up to date by
// every load while open, and taking the main window to the truck it asks for.

#include "WindowFixture.h"

#include "window/frmSummary.h"

#include <QLabel>
#include <QLineEdit>

using namespace axlewise;
using namespace axlewise::test;

namespace {

QByteArray FiveTrucks() {
    return Changed(1, {}) + Changed(2, {{kMinuteField, "40"}, {kSpeedField, "0"}}) +
           Changed(3, {{kMinuteField, "45"}, {kSpeedField, "0"}, {kGvwField, "300"}}) +
           Changed(4, {{kDayField, "20"}}) + Changed(5, {{kDayField, "21"}, {kGvwField, "300"}});
}

}  // namespace

class tst_GoMenu : public WindowFixture {
    Q_OBJECT

private slots:
    void init() { setUpWindow(); }

    void goMenu_needsTrucks();
    void goToTruck_data();
    void goToTruck();
    void failingTrucks_data();
    void failingTrucks();
    void goToTime_data();
    void goToTime();
    void summary_keptUpToDateAndShowsTheTruckAskedFor();
};

void tst_GoMenu::goMenu_needsTrucks() {
    const QStringList items{"GoToTruck", "GoToTime", "NextFailing", "PreviousFailing"};
    for (const QString& name : items) {
        QVERIFY2(!find<QAction>(name)->isEnabled(), qPrintable(name));
    }
    // Nothing to go to: the keys do nothing either.
    QTest::keyClick(window.get(), Qt::Key_F8);
    QCOMPARE(messages, QStringList());
    holdThree();
    for (const QString& name : items) {
        QVERIFY2(find<QAction>(name)->isEnabled(), qPrintable(name));
    }
}

void tst_GoMenu::goToTruck_data() {
    QTest::addColumn<std::optional<QString>>("reply");
    QTest::addColumn<QString>("shown");  // the first line of the panel afterwards
    QTest::newRow("OK on truck 2") << std::optional<QString>(QStringLiteral("2")) << "2";
    QTest::newRow("Cancel") << std::optional<QString>() << "3";
}

void tst_GoMenu::goToTruck() {
    QFETCH(std::optional<QString>, reply);
    QFETCH(QString, shown);
    holdThree();
    const auto dialog = AnswerInputDialog(reply);
    find<QAction>(QStringLiteral("GoToTruck"))->trigger();
    QVERIFY(dialog->shown);
    QCOMPARE(dialog->label, QStringLiteral("Truck number (1 to 3):"));
    QCOMPARE(dialog->value, QStringLiteral("3"));
    QCOMPARE(std::pair(dialog->minimum, dialog->maximum), std::pair(1, 3));
    QCOMPARE(panel().first(), shown);
    QCOMPARE(panel().at(1), QString::number(1000 + shown.toInt()));
    QCOMPARE(messages, QStringList());
}

void tst_GoMenu::failingTrucks_data() {
    QTest::addColumn<QString>("check");       // the Failing Check item chosen
    QTest::addColumn<QString>("keys");        // "F8" and "Shift+F8", one after the other
    QTest::addColumn<QStringList>("trucks");  // the truck on show after each key
    QTest::addColumn<QString>("message");     // when none fails
    QTest::newRow("any check, round the end and back round the start")
        << "FailingAny"
        << "F8 F8 Shift+F8 Shift+F8 Shift+F8" << QStringList{"5", "2", "5", "3", "2"} << "";
    QTest::newRow("one check") << "Failing_AXLE_SUM"
                               << "F8 F8 Shift+F8" << QStringList{"5", "3", "5"} << "";
    QTest::newRow("a check no truck fails")
        << "Failing_ORDER"
        << "F8" << QStringList{"4"} << "(i) No truck fails ORDER.";
}

// The trucks' checks, kept with them when they were read, take F8 and
// Shift+F8 from failing truck to failing truck; truck 4 is on show first.
void tst_GoMenu::failingTrucks() {
    QFETCH(QString, check);
    QFETCH(QString, keys);
    QFETCH(QStringList, trucks);
    QFETCH(QString, message);
    open(QStringLiteral("menu"), write(QStringLiteral("five.txt"), FiveTrucks()));
    window->state().CurrentTruck = 4;
    find<QAction>(check)->trigger();
    QVERIFY(find<QAction>(check)->isChecked());
    QStringList shown;
    for (const QString& key : keys.split(QLatin1Char(' '))) {
        const QKeyCombination combination = QKeySequence(key)[0];
        QTest::keyClick(window.get(), combination.key(), combination.keyboardModifiers());
        shown << QString::number(window->state().CurrentTruck);
    }
    QCOMPARE(shown, trucks);
    QCOMPARE(messages, message.isEmpty() ? QStringList() : QStringList{message});
}

void tst_GoMenu::goToTime_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("truck");  // on show afterwards
    QTest::addColumn<QString>("message");
    const auto row = [](const char* tag, const char* reply, const char* truck,
                        const char* message = "") {
        QTest::newRow(tag) << QString::fromLatin1(reply) << QString::fromLatin1(truck)
                           << QString::fromLatin1(message);
    };
    row("a minute, to the first truck after it", "24-03-14 08:36", "2");
    row("the seconds count", "24-03-14 08:35:12.48", "2");
    row("exactly a truck's passage", "24-03-14 08:35:12.47", "1");
    row("a later day", "24-03-15 00:00", "4");
    row("after every truck: the last, and a message", "24-04-01 00:00", "5",
        "(i) No truck passed at or after 24-04-01 00:00; the last truck of the list is shown.");
    row("not a time: nothing moves", "14.3.2024 8:36", "1",
        "(i) \"14.3.2024 8:36\" is not a time of passage.\nType it as YY-MM-DD hh:mm, "
        "optionally with :ss and .cc, e.g. 24-03-11 10:37 or 24-03-11 10:37:33.76.");
}

// The dialog starts with the passage of the truck on show, truck 1.
void tst_GoMenu::goToTime() {
    QFETCH(QString, reply);
    QFETCH(QString, truck);
    QFETCH(QString, message);
    open(QStringLiteral("menu"), write(QStringLiteral("five.txt"), FiveTrucks()));
    const auto dialog = AnswerInputDialog(reply);
    find<QAction>(QStringLiteral("GoToTime"))->trigger();
    QVERIFY(dialog->shown);
    QCOMPARE(dialog->value, QStringLiteral("24-03-14 08:35:12.47"));
    QCOMPARE(QString::number(window->state().CurrentTruck), truck);
    QCOMPARE(panel().first(), truck);
    QCOMPARE(messages, message.isEmpty() ? QStringList() : QStringList{message});
}

// No Summary window until asked for; one window, however often; a second
// load, a file with a head line, while it is open shows in its figures.
void tst_GoMenu::summary_keptUpToDateAndShowsTheTruckAskedFor() {
    holdThree();
    const auto summary = [this] { return window->findChild<frmSummary*>(); };
    const auto figure = [&summary](const char* name) {
        return summary()->findChild<QLabel*>(QString::fromLatin1(name))->text();
    };
    QVERIFY(summary() == nullptr);
    find<QAction>(QStringLiteral("ViewSummary"))->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(summary()));
    QCOMPARE(figure("lblLines"), QStringLiteral("lines read: 3"));
    find<QLineEdit>(QStringLiteral("txtIgline"))->setText(QStringLiteral("1"));
    open(QStringLiteral("menu"), write(QStringLiteral("two.txt"), "site\n" + Line(7) + Line(8)));
    QCOMPARE(figure("lblTrucks"), QStringLiteral("trucks: 5"));
    QCOMPARE(figure("lblLines"), QStringLiteral("lines read: 6"));
    find<QAction>(QStringLiteral("ViewSummary"))->trigger();
    QCOMPARE(window->findChildren<frmSummary*>().size(), 1);

    emit summary()->showTruckRequested(4);
    QCOMPARE(panel().mid(0, 2), QStringList({"4", "7"}));
}

QTEST_MAIN(tst_GoMenu)
#include "tst_gomenu.moc"

// The View menu of the main window: the Summary window opened over the trucks
// held, kept up to date by every load while open, and taking the main window
// to the truck a click asks for.

#include "WindowFixture.h"

#include "drawing/charts/ChartGeometry.h"
#include "window/frmSummary.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

using namespace axlewise;
using namespace axlewise::test;

class tst_ViewMenu : public WindowFixture {
    Q_OBJECT

private slots:
    void init() { setUpWindow(); }

    void menuComesAfterGo();
    void summary_openedFromTheMenuAndKeptUpToDate();
    void summary_checkBarShowsItsFirstFailingTruck();

private:
    frmSummary* summary() { return window->findChild<frmSummary*>(QStringLiteral("frmSummary")); }
    QString figure(const char* name) {
        return summary()->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
};

void tst_ViewMenu::menuComesAfterGo() {
    QStringList menus;
    for (QAction* menu : window->menuBar()->actions()) {
        menus << menu->menu()->objectName();
    }
    QCOMPARE(menus, QStringList({"FileMenu", "GoMenu", "ViewMenu"}));
    QCOMPARE(find<QAction>(QStringLiteral("ViewSummary"))->text(), QStringLiteral("Summary..."));
}

// No Summary window until asked for; one window, whatever how often.
void tst_ViewMenu::summary_openedFromTheMenuAndKeptUpToDate() {
    holdThree();
    QVERIFY(summary() == nullptr);
    find<QAction>(QStringLiteral("ViewSummary"))->trigger();
    QVERIFY(summary() != nullptr && summary()->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(summary()));
    QCOMPARE(summary()->windowTitle(), QStringLiteral("Axlewise - Summary"));
    QCOMPARE(figure("lblTrucks"), QStringLiteral("trucks: 3"));
    QCOMPARE(figure("lblLines"), QStringLiteral("lines read: 3"));

    // A second load, a file with a head line, while it is open.
    find<QLineEdit>(QStringLiteral("txtIgline"))->setText(QStringLiteral("1"));
    open(QStringLiteral("menu"), write(QStringLiteral("two.txt"), "site\n" + Line(7) + Line(8)));
    QCOMPARE(figure("lblTrucks"), QStringLiteral("trucks: 5"));
    QCOMPARE(figure("lblLines"), QStringLiteral("lines read: 6"));

    find<QAction>(QStringLiteral("ViewSummary"))->trigger();
    QCOMPARE(window->findChildren<frmSummary*>().size(), 1);
}

// The click on the AXLE_SUM bar goes to the first truck that fails it, with
// the checks kept when the trucks were read.
void tst_ViewMenu::summary_checkBarShowsItsFirstFailingTruck() {
    open(QStringLiteral("menu"),
         write(QStringLiteral("four.txt"),
               Line(1) + Line(2) + Line(3, kGvwField, "300") + Line(4, kGvwField, "300")));
    QCOMPARE(window->state().CurrentTruck, 1);
    find<QAction>(QStringLiteral("ViewSummary"))->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(summary()));
    auto* view = summary()->findChild<ChartView*>(QStringLiteral("chartChecks"));
    const ChartGeometry geometry = view->chart().layout(QRectF(view->rect()));
    QPointF bar;
    for (const Mark* mark : geometry.marksOf(MarkRole::Bar)) {
        if (mark->item == static_cast<int>(CheckCode::AxleSum)) {
            bar = mark->rect.center();
        }
    }
    QVERIFY(!bar.isNull());
    QTest::mouseClick(view, Qt::LeftButton, {}, bar.toPoint());
    QCOMPARE(window->state().CurrentTruck, 3);
    QCOMPARE(panel().mid(0, 2), QStringList({"3", "3"}));
}

QTEST_MAIN(tst_ViewMenu)
#include "tst_viewmenu.moc"

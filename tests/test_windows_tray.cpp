// The main window of both programs: popup menu, tray states, start minimised, rights
// and the end of the program.
#include "ProgramFixture.h"
#include "WindowHelpers.h"
#include "mdMisc.h"
#include <QMenu>
#include <QScreen>
#include <QWindow>

using namespace tolvex;
using namespace tolvex::test;

class WindowsTrayTest : public QObject {
    Q_OBJECT
private slots:
    void trayAndPopupMenu_data() { addProgramRows(); }
    void trayAndPopupMenu();
    void rights_data();
    void rights();
    void startMinimised_data();
    void startMinimised();
    void trayMenuRights_data();
    void trayMenuRights();
    void closeButton();
};

void WindowsTrayTest::trayAndPopupMenu()
{
    QFETCH(bool, slave);
    ProgramFixture f(slave);
    QVERIFY(f.load());
    MonitorWindow &w = f.window();
    const QString word = slave ? QStringLiteral("Tolvex Slave") : QStringLiteral("Tolvex Master");
    QStringList items;
    for (QAction *a : w.MenuPopUp->actions())
        items << a->objectName() + '=' + (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(items, (QStringList{"mPopUpAbout=About " + word, "mPopUpLine1=-", "mPopUpCancel=Cancel",
                                 "mPopUpConfig=Configure", "mPopUpMin=Minimise", "mPopUpReset=Reset", "mPopUpRestore=Restore",
                                 "mPopUpTest=Test", "mPopUpUpdate=Update", "mPopUpLine2=-", "mPopUpExit=Close " + word}));
    QVERIFY(!w.mPopUpCancel->isVisible());
    QCOMPARE(w.controls().TestS->toolTip() + '|' + w.controls().Reset->toolTip(),
             "Enables/Restarts " + f.product() + " Test Mode|Reset " + f.product());

    RecordingTrayService &tray = f.tray();
    QCOMPARE(tray.calls().front().call, RecordingTrayService::Call::Add);
    QCOMPARE(tray.calls().front().tip, f.product());
    QList<qint64> keys{tray.currentIconKey()}; // "Activate" at start-up
    for (const char *state : {"Activity", "NoActivity", "Shutdown"}) {
        w.SetTrayIcon(QLatin1String(state));
        keys << tray.currentIconKey();
    }
    QCOMPARE(QSet<qint64>(keys.begin(), keys.end()).size(), 4);
    QCOMPARE(keys.at(2), w.windowIcon().cacheKey());
    w.SetTrayIcon(QStringLiteral("activity")); // states are compared case-sensitively
    QCOMPARE(tray.currentIconKey(), keys.at(3));
    QCOMPARE(tray.calls().back().call, RecordingTrayService::Call::Modify);
    w.SetTrayIcon(QStringLiteral("Activate"));
    QCOMPARE(tray.currentIconKey(), keys.at(0));
}

void WindowsTrayTest::rights_data()
{
    QTest::addColumn<bool>("slave");
    QTest::addColumn<int>("userExit");
    for (bool slave : {false, true}) {
        QTest::addRow("%s, users may not exit", programName(slave)) << slave << 1;
        QTest::addRow("%s, users may exit", programName(slave)) << slave << 2;
    }
}

// A user without administrator rights gets the buttons, closing and cancelling only
// when UserExitA allows it.
void WindowsTrayTest::rights()
{
    QFETCH(bool, slave);
    QFETCH(int, userExit);
    const bool may = userExit == 2;
    ProgramFixture f(slave);
    f.setAdmin(false);
    f.config().UserExitA = userExit;
    QVERIFY(f.load());
    MonitorWindow &w = f.window();
    for (QWidget *button : {w.controls().TestS, w.controls().Config, w.controls().Exit})
        QCOMPARE(button->isEnabled(), may);
    QCOMPARE(w.closeAllowed(), may);
    w.state().RunState = 2;
    w.state().Count = 1;
    QVERIFY(f.second());
    QCOMPARE(w.controls().Reset->isEnabled(), may);
    QCOMPARE(w.mPopUpCancel->isVisible(), may);
}

void WindowsTrayTest::startMinimised_data()
{
    QTest::addColumn<bool>("slave");
    QTest::addColumn<bool>("tray");
    QTest::addColumn<int>("runOnTop");
    for (bool slave : {false, true}) {
        const char *p = programName(slave);
        QTest::addRow("%s, hidden in the tray", p) << slave << true << 1;
        QTest::addRow("%s, no tray: minimised on the task bar", p) << slave << false << 1;
        QTest::addRow("%s, hidden in the tray, topmost", p) << slave << true << 2;
    }
}

// Started minimised as the program starts: behind the tray icon, or where there is no
// notification area shown minimised on the task bar (never without window and icon).
// The first restore centres the window, later ones leave it where it is.
void WindowsTrayTest::startMinimised()
{
    QFETCH(bool, slave);
    QFETCH(bool, tray);
    QFETCH(int, runOnTop);
    ProgramFixture f(slave);
    f.config().StartMin = 2;
    f.config().RunOnTop = runOnTop;
    f.tray().setAvailable(tray);
    QVERIFY(f.load());
    MonitorWindow &w = f.window();
    QVERIFY(w.isMinimised());
    QCOMPARE(w.isVisible(), !tray);
    QVERIFY(f.tray().isShown());
    QVERIFY(w.mPopUpRestore->isVisible() && !w.mPopUpMin->isVisible());
    QVERIFY(w.state().CentreOnShow && !w.state().WindowToggled);

    // Hidden behind the tray icon, the window comes back as a new window of the window
    // system, which has never seen it minimised (the old one could go straight back).
    const WId hidden = w.internalWinId();
    QVERIFY(hidden != 0);
    f.tray().simulateMouse(515); // double click
    QVERIFY(w.isVisible() && !w.isMinimised() && !w.state().CentreOnShow && w.state().WindowToggled);
    QCOMPARE(w.internalWinId() != hidden, tray);
    QCOMPARE(w.windowHandle()->windowStates(), Qt::WindowNoState);
    const QRect screen = w.screen()->geometry();
    QCOMPARE(w.pos(), QPoint(screen.width() / 2 - w.width() / 2, screen.height() / 2 - w.height() / 2));
    QCOMPARE(bool(w.windowFlags() & Qt::WindowStaysOnTopHint), runOnTop == 2);
    QVERIFY(!w.mPopUpRestore->isVisible() && w.mPopUpMin->isVisible());

    w.mPopUpMin->trigger();
    QCOMPARE(w.isVisible(), !tray);
    QVERIFY(!w.state().WindowToggled);
    w.move(10, 20);
    w.mPopUpRestore->trigger();
    QVERIFY(w.isVisible() && w.state().WindowToggled);
    QCOMPARE(w.pos(), QPoint(10, 20));
    QVERIFY(!f.runs([&] { w.Exit_Click(); }));
    QVERIFY(f.log().contains(QStringLiteral(",  Exit     , Initialise, Count:    3")));
    QVERIFY(!f.tray().isShown());
    QCOMPARE(f.end().endCount(), 1);
}

void WindowsTrayTest::trayMenuRights_data()
{
    QTest::addColumn<bool>("slave");
    QTest::addColumn<bool>("admin");
    QTest::addColumn<int>("userExit");
    QTest::addColumn<bool>("tray");
    for (bool slave : {false, true}) {
        const char *p = programName(slave);
        QTest::addRow("%s, user with UserExitA 1, tray", p) << slave << false << 1 << true;
        QTest::addRow("%s, user with UserExitA 1, no tray", p) << slave << false << 1 << false;
        QTest::addRow("%s, user with UserExitA 2", p) << slave << false << 2 << true;
        QTest::addRow("%s, administrator", p) << slave << true << 1 << true;
    }
}

// Started minimised (the window never activated), the tray menu offers "Close ...",
// "Configure" and "Test" only to those who may, whatever enabled them before (the
// master's reset enables them for everybody), also after a cancelled countdown.
void WindowsTrayTest::trayMenuRights()
{
    QFETCH(bool, slave);
    QFETCH(bool, admin);
    QFETCH(int, userExit);
    QFETCH(bool, tray);
    ProgramFixture f(slave);
    f.setAdmin(admin);
    f.config().UserExitA = userExit;
    f.config().StartMin = 2;
    f.tray().setAvailable(tray);
    QVERIFY(f.load(QStringLiteral("-InhibitShutdown")));
    MonitorWindow &w = f.window();
    const QString may = admin || userExit == 2 ? "Configure Test Close " + QString(slave ? "Tolvex Slave" : "Tolvex Master")
                                               : QString();
    const auto menuOffers = [&] {
        f.tray().simulateMouse(516); // right button
        QStringList on;
        for (const QAction *a : {w.mPopUpConfig, w.mPopUpTest, w.mPopUpExit}) {
            if (w.MenuPopUp->isVisible() && a->isEnabled())
                on << a->text();
        }
        w.MenuPopUp->close();
        return on.join(QLatin1Char(' '));
    };
    QCOMPARE(menuOffers(), may);
    w.mPopUpReset->trigger();
    QCOMPARE(menuOffers(), may);
    w.mPopUpExit->setEnabled(true);
    QCOMPARE(menuOffers(), may);
    w.state().RunState = 2; // a countdown, cancelled from the menu where allowed
    w.state().Count = 1;
    QVERIFY(f.second());
    QCOMPARE(menuOffers(), QString());
    w.Reset_Click();
    QCOMPARE(menuOffers(), may);
    QVERIFY(w.isMinimised()); // back in its start-up state
    QCOMPARE(w.closeAllowed(), !may.isEmpty());
}

// Taking Close away twice is the same as once; giving it back always restores the
// default title bar. A close request is refused while Close is taken away.
void WindowsTrayTest::closeButton()
{
    ProgramFixture f(false);
    QVERIFY(f.load());
    MonitorWindow &w = f.window();
    const Qt::WindowFlags normal = w.windowFlags();
    QVERIFY(normal & Qt::WindowCloseButtonHint);
    mdMisc::DisableFormClose(w, false);
    const Qt::WindowFlags without = w.windowFlags();
    QVERIFY(!(without & Qt::WindowCloseButtonHint) && (without & Qt::WindowMinimizeButtonHint));
    mdMisc::DisableFormClose(w, false);
    QCOMPARE(w.windowFlags(), without);
    QVERIFY(w.isVisible());
    QVERIFY(!w.close());
    QVERIFY(w.isVisible() && !f.end().ended());
    mdMisc::DisableFormClose(w, true);
    QCOMPARE(w.windowFlags(), normal);
    mdMisc::DisableFormClose(w, true);
    QCOMPARE(w.windowFlags(), normal);
    setTopmost(w, true); // other flags survive both ways
    mdMisc::RemoveCloseMenu(w, false);
    mdMisc::RemoveCloseMenu(w, true);
    QCOMPARE(w.windowFlags(), normal | Qt::WindowStaysOnTopHint);
    QVERIFY(!f.runs([&] { w.close(); }));
    QCOMPARE(f.end().endCount(), 1);
}

QTEST_MAIN(WindowsTrayTest)
#include "test_windows_tray.moc"

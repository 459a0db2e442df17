// The master's window: popup menu, tray states, rights and the end of the program.
#include "MasterFixture.h"
#include "WindowHelpers.h"
#include "mdMisc.h"
#include "ui_TolvexMMain.h"
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

using namespace tolvex;
using namespace tolvex::test;

class MasterWindowTest : public QObject {
    Q_OBJECT
private slots:
    void trayAndPopupMenu();
    void rights_data();
    void rights();
    void startMinimised_data();
    void startMinimised();
    void closeItemInTheTrayMenu_data();
    void closeItemInTheTrayMenu();
    void closeButton();
};

void MasterWindowTest::trayAndPopupMenu()
{
    MasterFixture f;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    QStringList items;
    for (QAction *a : m.MenuPopUp->actions())
        items << a->objectName() + '=' + (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(items, (QStringList{"mPopUpAbout=About Tolvex Master", "mPopUpLine1=-", "mPopUpCancel=Cancel",
                                 "mPopUpConfig=Configure", "mPopUpMin=Minimise", "mPopUpReset=Reset", "mPopUpRestore=Restore",
                                 "mPopUpTest=Test", "mPopUpUpdate=Update", "mPopUpLine2=-", "mPopUpExit=Close Tolvex Master"}));
    QVERIFY(!m.mPopUpCancel->isVisible());
    QCOMPARE(m.ui->TestS->toolTip() + '|' + m.ui->Reset->toolTip(), QStringLiteral("Enables/Restarts Tolvex Test Mode|Reset Tolvex"));

    QCOMPARE(f.tray.calls().front().call, RecordingTrayService::Call::Add);
    QCOMPARE(f.tray.calls().front().tip, QStringLiteral("Tolvex"));
    QList<qint64> keys{f.tray.currentIconKey()}; // "Activate" at start-up
    for (const char *state : {"Activity", "NoActivity", "Shutdown"}) {
        m.SetTrayIcon(QLatin1String(state));
        keys << f.tray.currentIconKey();
    }
    QCOMPARE(QSet<qint64>(keys.begin(), keys.end()).size(), 4);
    QCOMPARE(keys.at(2), m.windowIcon().cacheKey());
    m.SetTrayIcon(QStringLiteral("activity")); // states are compared case-sensitively
    QCOMPARE(f.tray.currentIconKey(), keys.at(3));
    QCOMPARE(f.tray.calls().back().call, RecordingTrayService::Call::Modify);
    m.SetTrayIcon(QStringLiteral("Activate"));
    QCOMPARE(f.tray.currentIconKey(), keys.at(0));
}

void MasterWindowTest::rights_data()
{
    QTest::addColumn<int>("userExit");
    QTest::newRow("users may not exit") << 1;
    QTest::newRow("users may exit") << 2;
}

// A user without administrator rights gets the buttons, closing and cancelling only
// when UserExitA allows it.
void MasterWindowTest::rights()
{
    QFETCH(int, userExit);
    const bool may = userExit == 2;
    MasterFixture f;
    f.admin = false;
    f.config.UserExitA = userExit;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    for (QWidget *button : {m.ui->TestS, m.ui->Config, m.ui->Exit})
        QCOMPARE(button->isEnabled(), may);
    QCOMPARE(m.closeAllowed(), may);
    m.st.RunState = 2;
    m.st.Count = 1;
    QVERIFY(f.second());
    QCOMPARE(m.ui->Reset->isEnabled(), may);
    QCOMPARE(m.mPopUpCancel->isVisible(), may);
}

void MasterWindowTest::startMinimised_data()
{
    QTest::addColumn<bool>("tray");
    QTest::addColumn<int>("runOnTop");
    QTest::newRow("hidden in the tray") << true << 1;
    QTest::newRow("no tray: minimised on the task bar") << false << 1;
    QTest::newRow("hidden in the tray, topmost") << true << 2;
}

// Started minimised as the program starts: behind the tray icon, or where there is no
// notification area shown minimised on the task bar (never without window and icon).
// The first restore centres the window, later ones leave it where it is.
void MasterWindowTest::startMinimised()
{
    QFETCH(bool, tray);
    QFETCH(int, runOnTop);
    MasterFixture f;
    f.config.StartMin = 2;
    f.config.RunOnTop = runOnTop;
    f.tray.setAvailable(tray);
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    QVERIFY(m.isMinimised());
    QCOMPARE(m.isVisible(), !tray);
    QVERIFY(f.tray.isShown());
    QVERIFY(m.mPopUpRestore->isVisible() && !m.mPopUpMin->isVisible());
    QVERIFY(m.st.CentreOnShow && !m.st.WindowToggled);

    // Hidden behind the tray icon, the window comes back as a new window of the window
    // system, which has never seen it minimised (the old one could go straight back).
    const WId hidden = m.internalWinId();
    QVERIFY(hidden != 0);
    f.tray.simulateMouse(515); // double click
    QVERIFY(m.isVisible() && !m.isMinimised() && !m.st.CentreOnShow && m.st.WindowToggled);
    QCOMPARE(m.internalWinId() != hidden, tray);
    QCOMPARE(m.windowHandle()->windowStates(), Qt::WindowNoState);
    const QRect screen = m.screen()->geometry();
    QCOMPARE(m.pos(), QPoint(screen.width() / 2 - m.width() / 2, screen.height() / 2 - m.height() / 2));
    QCOMPARE(bool(m.windowFlags() & Qt::WindowStaysOnTopHint), runOnTop == 2);
    QVERIFY(!m.mPopUpRestore->isVisible() && m.mPopUpMin->isVisible());

    m.mPopUpMin->trigger();
    QCOMPARE(m.isVisible(), !tray);
    QVERIFY(!m.st.WindowToggled);
    m.move(10, 20);
    m.mPopUpRestore->trigger();
    QVERIFY(m.isVisible() && m.st.WindowToggled);
    QCOMPARE(m.pos(), QPoint(10, 20));
    QVERIFY(!f.runs([&] { m.Exit_Click(); }));
    QVERIFY(f.log().contains(QStringLiteral(",  Exit     , Initialise, Count:    3")));
    QVERIFY(!f.tray.isShown());
    QCOMPARE(f.end.endCount(), 1);
}

void MasterWindowTest::closeItemInTheTrayMenu_data()
{
    QTest::addColumn<bool>("admin");
    QTest::addColumn<int>("userExit");
    QTest::addColumn<bool>("tray");
    QTest::newRow("user with UserExitA 1, tray") << false << 1 << true;
    QTest::newRow("user with UserExitA 1, no tray") << false << 1 << false;
    QTest::newRow("user with UserExitA 2") << false << 2 << true;
    QTest::newRow("administrator") << true << 1 << true;
}

// Started minimised (the window never activated), the tray menu offers "Close Tolvex
// Master", "Configure" and "Test" only to those who may, also after a reset (which
// enables them for everybody) and a cancelled countdown.
void MasterWindowTest::closeItemInTheTrayMenu()
{
    QFETCH(bool, admin);
    QFETCH(int, userExit);
    QFETCH(bool, tray);
    const QString may = admin || userExit == 2 ? QStringLiteral("Configure Test Close Tolvex Master") : QString();
    MasterFixture f;
    f.admin = admin;
    f.config.UserExitA = userExit;
    f.config.StartMin = 2;
    f.tray.setAvailable(tray);
    QVERIFY(f.load(QStringLiteral("-InhibitShutdown")));
    TolvexMMain &m = *f.window;
    const auto menuOffers = [&] {
        f.tray.simulateMouse(516); // right button
        QStringList on;
        for (const QAction *a : {m.mPopUpConfig, m.mPopUpTest, m.mPopUpExit}) {
            if (m.MenuPopUp->isVisible() && a->isEnabled())
                on << a->text();
        }
        m.MenuPopUp->close();
        return on.join(QLatin1Char(' '));
    };
    QCOMPARE(menuOffers(), may);
    m.mPopUpReset->trigger();
    QCOMPARE(menuOffers(), may);
    m.st.RunState = 2; // a countdown, cancelled from the menu where allowed
    m.st.Count = 1;
    QVERIFY(f.second());
    QCOMPARE(menuOffers(), QString());
    m.Reset_Click();
    QCOMPARE(menuOffers(), may);
    QVERIFY(m.isMinimised()); // back in its start-up state
    QCOMPARE(m.closeAllowed(), !may.isEmpty());
}

// Taking Close away twice is the same as once; giving it back always restores the
// default title bar. A close request is refused while Close is taken away.
void MasterWindowTest::closeButton()
{
    MasterFixture f;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    const Qt::WindowFlags normal = m.windowFlags();
    QVERIFY(normal & Qt::WindowCloseButtonHint);
    mdMisc::DisableFormClose(m, false);
    const Qt::WindowFlags without = m.windowFlags();
    QVERIFY(!(without & Qt::WindowCloseButtonHint) && (without & Qt::WindowMinimizeButtonHint));
    mdMisc::DisableFormClose(m, false);
    QCOMPARE(m.windowFlags(), without);
    QVERIFY(m.isVisible());
    QVERIFY(!m.close());
    QVERIFY(m.isVisible() && !f.end.ended());
    mdMisc::DisableFormClose(m, true);
    QCOMPARE(m.windowFlags(), normal);
    mdMisc::DisableFormClose(m, true);
    QCOMPARE(m.windowFlags(), normal);
    setTopmost(m, true); // other flags survive both ways
    mdMisc::RemoveCloseMenu(m, false);
    mdMisc::RemoveCloseMenu(m, true);
    QCOMPARE(m.windowFlags(), normal | Qt::WindowStaysOnTopHint);
    QVERIFY(!f.runs([&] { m.close(); }));
    QCOMPARE(f.end.endCount(), 1);
}

QTEST_MAIN(MasterWindowTest)
#include "test_master_window.moc"

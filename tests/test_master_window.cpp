// The master's window: popup menu, tray states, rights and the end of the program.
#include "MasterFixture.h"
#include "VbColor.h"
#include "ui_TolvexMMain.h"
#include <QAction>
#include <QMenu>
#include <QPushButton>

using namespace tolvex;
using namespace tolvex::test;

class MasterWindowTest : public QObject {
    Q_OBJECT
private slots:
    void popupMenuItems();
    void trayStatesChooseTheirPictures();
    void rightsDecideWhatUsersGet();
    void exitLogsAndRemovesTheTray();
    void closingUnconfiguredWritesNoExitLine();
    void startMinimisedHidesTheWindow();
    void withoutTrayTheWindowStaysOnTheTaskBar();
};

void MasterWindowTest::popupMenuItems()
{
    MasterFixture f;
    QVERIFY(f.load());
    QStringList names;
    QStringList captions;
    for (QAction *a : f.window->MenuPopUp->actions()) {
        names << a->objectName();
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    QCOMPARE(names, (QStringList{"mPopUpAbout", "mPopUpLine1", "mPopUpCancel", "mPopUpConfig", "mPopUpMin", "mPopUpReset",
                                 "mPopUpRestore", "mPopUpTest", "mPopUpUpdate", "mPopUpLine2", "mPopUpExit"}));
    QCOMPARE(captions, (QStringList{"About Tolvex Master", "-", "Cancel", "Configure", "Minimise", "Reset", "Restore", "Test",
                                    "Update", "-", "Close Tolvex Master"}));
    QVERIFY(!f.window->mPopUpCancel->isVisible());
    QCOMPARE(f.window->ui->TestS->toolTip(), QStringLiteral("Enables/Restarts Tolvex Test Mode"));
    QCOMPARE(f.window->ui->Reset->toolTip(), QStringLiteral("Reset Tolvex"));
}

void MasterWindowTest::trayStatesChooseTheirPictures()
{
    MasterFixture f;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    QCOMPARE(f.tray.calls().front().call, RecordingTrayService::Call::Add);
    QCOMPARE(f.tray.calls().front().tip, QStringLiteral("Tolvex"));
    const qint64 activate = f.tray.currentIconKey();
    m.SetTrayIcon(QStringLiteral("Activity"));
    const qint64 activity = f.tray.currentIconKey();
    m.SetTrayIcon(QStringLiteral("NoActivity"));
    const qint64 none = f.tray.currentIconKey();
    m.SetTrayIcon(QStringLiteral("Shutdown"));
    const qint64 shutdown = f.tray.currentIconKey();
    QCOMPARE(QSet<qint64>({activate, activity, none, shutdown}).size(), 4);
    QCOMPARE(none, m.windowIcon().cacheKey());
    m.SetTrayIcon(QStringLiteral("activity")); // states are compared case-sensitively
    QCOMPARE(f.tray.currentIconKey(), shutdown);
    QCOMPARE(f.tray.calls().back().call, RecordingTrayService::Call::Modify);
    m.SetTrayIcon(QStringLiteral("Activate"));
    QCOMPARE(f.tray.currentIconKey(), activate);
}

void MasterWindowTest::rightsDecideWhatUsersGet()
{
    MasterFixture f;
    f.admin = false;
    f.config.UserExitA = 1;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    // Disabled at design time, and a user without rights does not get them.
    QVERIFY(!m.ui->TestS->isEnabled());
    QVERIFY(!m.ui->Config->isEnabled());
    QVERIFY(!m.ui->Exit->isEnabled());
    QVERIFY(!m.closeAllowed());
    m.st.RunState = 2;
    m.st.Count = 1;
    QVERIFY(f.second());
    QVERIFY(!m.ui->Reset->isEnabled()); // may not cancel
    QVERIFY(!m.mPopUpCancel->isVisible());

    MasterFixture g;
    g.admin = false;
    g.config.UserExitA = 2;
    QVERIFY(g.load());
    QVERIFY(g.window->ui->Exit->isEnabled());
    QVERIFY(g.window->closeAllowed());
}

void MasterWindowTest::exitLogsAndRemovesTheTray()
{
    MasterFixture f;
    QVERIFY(f.load());
    QVERIFY(!f.runs([&] { f.window->Exit_Click(); }));
    QVERIFY(f.log().contains(QStringLiteral(",  Exit     , Initialise, Count:    3")));
    QVERIFY(!f.tray.isShown());
    QCOMPARE(f.end.endCount(), 1);
}

void MasterWindowTest::closingUnconfiguredWritesNoExitLine()
{
    MasterFixture f;
    f.config.CName[0].clear();
    QVERIFY(f.load());
    QVERIFY(!f.runs([&] { f.window->close(); }));
    QVERIFY(!f.log().contains(QStringLiteral("Exit")));
    QVERIFY(!f.tray.isShown());
}

void MasterWindowTest::startMinimisedHidesTheWindow()
{
    MasterFixture f;
    f.config.StartMin = 2;
    QVERIFY(f.load());
    QVERIFY(f.window->isMinimised());
    QVERIFY(f.window->isHidden());
    QVERIFY(f.window->st.CentreOnShow);
    QVERIFY(f.window->mPopUpRestore->isVisible());
    QVERIFY(!f.window->mPopUpMin->isVisible());
    f.window->ShowMainWindow();
    QVERIFY(f.window->isVisible());
    QVERIFY(!f.window->st.CentreOnShow);
}

void MasterWindowTest::withoutTrayTheWindowStaysOnTheTaskBar()
{
    MasterFixture f;
    f.config.StartMin = 2;
    f.tray.setAvailable(false);
    QVERIFY(f.load());
    f.window->show();
    QVERIFY(f.window->isMinimised());
    f.window->Form_Resize();
    f.window->Form_Activate();
    QVERIFY(!f.window->isHidden());
}

QTEST_MAIN(MasterWindowTest)
#include "test_master_window.moc"

// The master's window: popup menu, tray states, rights and the end of the program.
#include "MasterFixture.h"
#include "ui_TolvexMMain.h"
#include <QAction>
#include <QMenu>
#include <QPushButton>

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
    QTest::newRow("hidden in the tray") << true;
    QTest::newRow("no tray: stays on the task bar") << false;
}

// Started minimised, restored, then ended with Exit.
void MasterWindowTest::startMinimised()
{
    QFETCH(bool, tray);
    MasterFixture f;
    f.config.StartMin = 2;
    f.tray.setAvailable(tray);
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    if (!tray) { // as the window system shows and resizes it
        m.show();
        m.Form_Resize();
        m.Form_Activate();
    }
    QVERIFY(m.isMinimised());
    QCOMPARE(m.isHidden(), tray);
    QVERIFY(m.mPopUpRestore->isVisible() && !m.mPopUpMin->isVisible());
    QVERIFY(m.st.CentreOnShow);
    m.ShowMainWindow();
    QVERIFY(m.isVisible() && !m.st.CentreOnShow);
    QVERIFY(!f.runs([&] { m.Exit_Click(); }));
    QVERIFY(f.log().contains(QStringLiteral(",  Exit     , Initialise, Count:    3")));
    QVERIFY(!f.tray.isShown());
    QCOMPARE(f.end.endCount(), 1);
}

QTEST_MAIN(MasterWindowTest)
#include "test_master_window.moc"

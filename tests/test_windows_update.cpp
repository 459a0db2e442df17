// The update check of both programs: the Update button and menu item, Update_Inhibit,
// the master's daily schedule run by its monitoring cycle, and the update window
// against a local HTTP server.
#include "HttpTestServer.h"
#include "ProgramFixture.h"
#include "UpdateWindowHost.h"
#include "ui_frmUpdater.h"
#include <QMenu>

using namespace tolvex;
using namespace tolvex::test;

namespace {

bool updateEnabled(MonitorWindow &w)
{
    return w.controls().Update->isEnabled() && w.mPopUpUpdate->isEnabled();
}
bool updateDisabled(MonitorWindow &w)
{
    return !w.controls().Update->isEnabled() && !w.mPopUpUpdate->isEnabled();
}

// A program whose update window asks `root`; stepped by the test only unless `ownTimer`.
bool loadAsking(ProgramFixture &f, const QString &root, const QString &commandLine, bool ownTimer = false)
{
    if (!f.load(commandLine))
        return false;
    f.window().updates->webRoot = root;
    f.window().updates->windowOptions.manualTimer = !ownTimer;
    return true;
}

} // namespace

class WindowsUpdateTest : public QObject {
    Q_OBJECT
private slots:
    // The seconds after start-up at which the automatic check loads its window, in a
    // run of 20 seconds; each window is closed at once.
    void schedule_data()
    {
        QTest::addColumn<bool>("slave");
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<int>("updateOn");
        QTest::addColumn<QList<int>>("fired");
        QTest::newRow("daily") << false << "" << 2 << QList<int>{3};
        QTest::newRow("short update time") << false << "-ShortUpdateTime" << 2 << QList<int>{3, 10, 17};
        QTest::newRow("-InhibitUpdate") << false << "-InhibitUpdate" << 2 << QList<int>{3};
        QTest::newRow("switched off") << false << "" << 1 << QList<int>{};
        for (const char *sw : {"-InhibitShutdown", "-AddErrorMessage", "-StartShutdown", "-InhibitAdmin"})
            QTest::newRow(sw) << false << sw << 2 << QList<int>{};
        QTest::newRow("the slave has no schedule") << true << "-ShortUpdateTime" << 2 << QList<int>{};
    }
    void schedule()
    {
        QFETCH(bool, slave);
        QFETCH(QString, commandLine);
        QFETCH(int, updateOn);
        HttpTestServer server;
        ProgramFixture f(slave);
        if (!slave)
            f.master()->config.Update_On = updateOn;
        QVERIFY(loadAsking(f, server.root(), commandLine));
        MonitorWindow &w = f.window();
        QList<int> fired;
        for (int s = 1; s <= 20 && f.second(); ++s) {
            if (frmUpdater *u = w.updates->window()) {
                fired << s;
                QVERIFY(!u->isVisible());
                QVERIFY(w.state().UpdaterBusy && !w.state().ManualCheck);
                QVERIFY(updateDisabled(w));
                u->Exit_Click();
                QVERIFY(!w.state().UpdaterBusy);
                QVERIFY(updateEnabled(w));
            }
        }
        QTEST(fired, "fired");
    }

    // Once a day from the moment it fired; a late cycle still runs the check; a check
    // still open holds the next one back until it closes.
    void dailyLateAndHeldBack()
    {
        HttpTestServer server;
        ProgramFixture f(false);
        QVERIFY(loadAsking(f, server.root(), QString()));
        TolvexMMain &m = *f.master()->window;
        const QDateTime start = f.clock().now();
        f.clock().advanceSeconds(10); // the cycle comes 10 s late
        QVERIFY(f.second());
        QVERIFY(m.updates->window());
        QCOMPARE(m.st.NextUpdateCheck, start.addSecs(11 + 24 * 3600));
        // Still open when the next day's moment comes: nothing more is loaded.
        f.clock().advanceSeconds(24 * 3600);
        frmUpdater *first = m.updates->window();
        QVERIFY(f.second());
        QCOMPARE(m.updates->window(), first);
        first->Exit_Click();
        QVERIFY(f.second());
        QVERIFY(m.updates->window());
        QCOMPARE(m.st.NextUpdateCheck, f.clock().now().addSecs(24 * 3600));
    }

    // The Update button and its menu item open the window by hand and ask the server
    // (the master moves its next automatic check a day ahead); the controls come back
    // when it closes.
    void byHand_data()
    {
        QTest::addColumn<bool>("slave");
        QTest::addColumn<bool>("menu");
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("status");
        for (bool menu : {false, true}) {
            const char *way = menu ? "menu item" : "button";
            QTest::addRow("master, %s", way) << false << menu << "-ShortUpdateTime" << "0.9"
                                             << "Version 1 of Tolvex is available ";
            QTest::addRow("slave, %s", way) << true << menu << "" << "1.0"
                                            << "You have the latest version of Tolvex Slave";
        }
    }
    void byHand()
    {
        QFETCH(bool, slave);
        QFETCH(bool, menu);
        QFETCH(QString, commandLine);
        QFETCH(QString, version);
        QFETCH(QString, status);
        HttpTestServer server;
        server.setReply({200, updateDocument("1", "0"), false, true});
        ProgramFixture f(slave);
        QVERIFY(loadAsking(f, server.root(), commandLine));
        MonitorWindow &w = f.window();
        w.show();
        if (menu)
            w.mPopUpUpdate->trigger();
        else
            QTest::mouseClick(w.controls().Update, Qt::LeftButton);
        frmUpdater *u = w.updates->window();
        QVERIFY(u && u->isVisible());
        QCOMPARE(u->windowTitle(), f.product() + " Update Check");
        QCOMPARE(u->ui->UVersion->text(), f.product() + " Version " + version);
        QVERIFY(w.state().UpdaterBusy && w.state().ManualCheck);
        QVERIFY(updateDisabled(w));
        if (!slave)
            QCOMPARE(f.master()->window->st.NextUpdateCheck, f.clock().now().addSecs(24 * 3600));
        u->Timer1_Timer();
        u->Timer1_Timer();
        QTRY_COMPARE(u->ui->Status->text(), status);
        QVERIFY(server.requestLines().value(0).startsWith(
            "GET /software/misc/updatecheck.xml?PName=Tolvex&ampPVer=" + version + ".0.0&ampOSVer="));

        // Closing a dialog while the check runs leaves Update disabled; a reset enables
        // the menu item, which the menu takes back when it is shown.
        mdInit::RestoreMainControls(w);
        QVERIFY(updateDisabled(w));
        w.Reset_Click();
        f.tray().simulateMouse(516);
        QVERIFY(updateDisabled(w));
        w.MenuPopUp->close();
        for (int s = 0; s < 10; ++s)
            QVERIFY(f.second());
        QCOMPARE(w.updates->window(), u); // no automatic check on top of it
        QPointer<frmUpdater> closed = u;
        QTest::mouseClick(u->ui->Exit, Qt::LeftButton);
        QVERIFY(!w.updates->window());
        QVERIFY(!w.state().UpdaterBusy);
        QVERIFY(updateEnabled(w));
        QTRY_VERIFY(closed.isNull());
    }

    void inhibit_data() { addProgramRows(); }
    void inhibit()
    {
        QFETCH(bool, slave);
        ProgramFixture f(slave);
        QVERIFY(loadAsking(f, HttpTestServer::refusingRoot(), QString()));
        MonitorWindow &w = f.window();
        w.Update_Click();
        QPointer<frmUpdater> u = w.updates->window();
        w.Update_Inhibit(false); // a check runs: nothing changes
        QVERIFY(updateDisabled(w));
        QVERIFY(u && !u->unloaded());
        w.Update_Inhibit(true);
        QVERIFY(u->unloaded() && !w.updates->window());
        QVERIFY(!w.state().UpdaterBusy);
        QVERIFY(updateDisabled(w));
        w.Update_Inhibit(false);
        QVERIFY(updateEnabled(w));
        QTRY_VERIFY(u.isNull()); // the unloaded window goes away
    }

    // The whole road with the window's own timer: three seconds after start the
    // hidden check asks the server and shows itself only for a newer version.
    void scheduledCheck_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("shown");
        QTest::newRow("newer") << "1" << true;
        QTest::newRow("equal") << "0" << false; // 0.9 under -ShortUpdateTime
    }
    void scheduledCheck()
    {
        QFETCH(QString, version);
        QFETCH(bool, shown);
        HttpTestServer server;
        server.setReply({200, updateDocument(version, version == "1" ? "0" : "9"), false, true});
        ProgramFixture f(false);
        QPointer<frmUpdater> u = scheduledWindow(f, server);
        QVERIFY(u);
        ShowCounter spy;
        u->installEventFilter(&spy);
        QTRY_COMPARE(server.requestLines().size(), 1);
        QVERIFY(server.requestLines()[0].startsWith(
            "GET /software/misc/updatecheck.xml?PName=Tolvex&ampPVer=0.9.0.0&ampOSVer="));
        if (shown) {
            QTRY_VERIFY(u->isVisible());
            QCOMPARE(u->ui->Status->text(), QStringLiteral("Version 1 of Tolvex is available "));
            QVERIFY(f.window().state().UpdaterBusy);
            QTRY_VERIFY_WITH_TIMEOUT(u.isNull(), 10000); // closes itself after about 3 s
        } else {
            QTRY_VERIFY(u.isNull());
        }
        QCOMPARE(spy.shows, shown ? 1 : 0);
        QVERIFY(!f.window().state().UpdaterBusy);
        QVERIFY(updateEnabled(f.window()));
    }

    // A check whose reply lacked elements does not close the next one early.
    void eachCheckCountsItsOwnReply()
    {
        HttpTestServer server;
        server.setReply({404, "<html>Not Found</html>", false, true});
        ProgramFixture f(false);
        QVERIFY(scheduledWindow(f, server));
        QTRY_VERIFY(!f.window().state().UpdaterBusy);
        server.setReply({200, updateDocument("1", "0"), false, true});
        for (int s = 0; s < 7; ++s)
            QVERIFY(f.second());
        QPointer<frmUpdater> u = f.window().updates->window();
        QVERIFY(u);
        QTRY_VERIFY(u->isVisible());
        QCOMPARE(server.requestLines().size(), 2);
    }

private:
    // A master under "-ShortUpdateTime" whose own timers run, three seconds after its
    // start: the window its schedule has just loaded.
    static frmUpdater *scheduledWindow(ProgramFixture &f, HttpTestServer &server)
    {
        if (!loadAsking(f, server.root(), "-ShortUpdateTime", true))
            return nullptr;
        for (int s = 0; s < 3; ++s) {
            if (!f.second())
                return nullptr;
        }
        return f.window().updates->window();
    }
};

QTEST_MAIN(WindowsUpdateTest)
#include "test_windows_update.moc"

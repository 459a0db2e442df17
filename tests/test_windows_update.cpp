// The update check of both programs: the Update button and menu item, Update_Inhibit,
// the master's daily schedule run by its monitoring cycle, and the update window
// against a local HTTP server.
#include "HttpTestServer.h"
#include "ProgramFixture.h"
#include "UpdateWindowHost.h"
#include "ui_frmUpdater.h"
#include <QDir>
#include <QMenu>
#include <QScreen>

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

// A window that comes up whole in the middle of its screen.
bool isCentred(const QWidget &window)
{
    const QRect screen = window.screen()->availableGeometry();
    return screen.contains(window.frameGeometry())
        && (window.frameGeometry().center() - screen.center()).manhattanLength() <= 4;
}

// What an update window showed when it was deleted.
struct LastLook : QObject {
    QString status;
    int ticks = -1;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::DeferredDelete) {
            const auto *window = static_cast<frmUpdater *>(watched);
            status = window->ui->Status->text();
            ticks = window->TickCount;
        }
        return false;
    }
};

} // namespace

class WindowsUpdateTest : public QObject {
    Q_OBJECT
private slots:
    // The seconds after start-up at which the automatic check loads its window, in a
    // run of 20 seconds; each window is closed at once. The schedule keeps whole
    // seconds: a cycle that comes a little earlier in its second each time (half a
    // second in at the start) keeps the cadence.
    void schedule_data()
    {
        QTest::addColumn<bool>("slave");
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<int>("updateOn");
        QTest::addColumn<int>("earlierMs"); // each second's cycle comes this much earlier
        QTest::addColumn<QList<int>>("fired");
        QTest::newRow("daily") << false << "" << 2 << 0 << QList<int>{3};
        QTest::newRow("short update time") << false << "-ShortUpdateTime" << 2 << 0 << QList<int>{3, 10, 17};
        QTest::newRow("short update time, cycle drifting")
            << false << "-ShortUpdateTime" << 2 << 1 << QList<int>{3, 10, 17};
        QTest::newRow("-InhibitUpdate") << false << "-InhibitUpdate" << 2 << 0 << QList<int>{3};
        QTest::newRow("switched off") << false << "" << 1 << 0 << QList<int>{};
        for (const char *sw : {"-InhibitShutdown", "-AddErrorMessage", "-StartShutdown", "-InhibitAdmin"})
            QTest::newRow(sw) << false << sw << 2 << 0 << QList<int>{};
        QTest::newRow("the slave has no schedule") << true << "-ShortUpdateTime" << 2 << 0 << QList<int>{};
    }
    void schedule()
    {
        QFETCH(bool, slave);
        QFETCH(QString, commandLine);
        QFETCH(int, updateOn);
        QFETCH(int, earlierMs);
        HttpTestServer server;
        ProgramFixture f(slave);
        if (!slave)
            f.master()->config.Update_On = updateOn;
        if (earlierMs > 0)
            f.clock().set(f.clock().now().addMSecs(500));
        QVERIFY(loadAsking(f, server.root(), commandLine));
        MonitorWindow &w = f.window();
        QList<int> fired;
        for (int s = 1; s <= 20 && (f.clock().set(f.clock().now().addMSecs(-earlierMs)), f.second()); ++s) {
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
        QVERIFY(isCentred(*u));
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
            QVERIFY(isCentred(*u));
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

    // A server that never ends its head holds nothing up: a flood of header lines ends
    // each scheduled check at once as a failed download, a trickle is ended by the
    // window's own time-out (its repeating timer firing on throughout), and no check
    // leaves a connection or a thread behind.
    void endlessHeadHoldsNothingUp_data()
    {
        QTest::addColumn<int>("everyMs"); // one header line every so many ms; 0: a flood
        QTest::addColumn<int>("seconds"); // of the master's cycle
        QTest::addColumn<QString>("status");
        QTest::newRow("flood") << 0 << 17 << "Unable to contact web site";
        QTest::newRow("trickle") << 50 << 3 << "Please Wait - Checking for the latest version";
    }
    void endlessHeadHoldsNothingUp()
    {
        QFETCH(int, everyMs);
        QFETCH(int, seconds);
        QFETCH(QString, status);
        HttpTestServer server;
        server.setReply({200, {}, false, true, {}, {}, everyMs});
        ProgramFixture f(false);
        QVERIFY(loadAsking(f, server.root(), "-ShortUpdateTime", true));
        const auto threads = [] {
            return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
        };
        const qsizetype before = threads();
        int checks = 0;
        for (int s = 1; s <= seconds; ++s) {
            QVERIFY(f.second());
            QPointer<frmUpdater> u = f.window().updates->window();
            if (!u)
                continue;
            ++checks;
            LastLook look;
            u->installEventFilter(&look);
            QTRY_VERIFY_WITH_TIMEOUT(u.isNull(), 10000);
            QCOMPARE(look.status, status);
            QCOMPARE(look.ticks == 31, everyMs > 0); // closed by its own timer, or by the failure
            QVERIFY(!f.window().state().UpdaterBusy);
        }
        QCOMPARE(server.requestLines().size(), checks);
        QTRY_COMPARE(server.closedByClient(), checks);
        QCOMPARE(threads(), before);
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

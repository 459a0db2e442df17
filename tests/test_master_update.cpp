// The master's update check: the Update button, the daily schedule run by the
// monitoring cycle, and the update window against a local HTTP server.
#include "HttpTestServer.h"
#include "MasterFixture.h"
#include "UpdateWindowHost.h"
#include "ui_TolvexMMain.h"
#include "ui_frmUpdater.h"
#include <QAction>
#include <QMenu>
#include <QPushButton>

using namespace tolvex;
using namespace tolvex::test;

namespace {

bool updateEnabled(TolvexMMain &m)
{
    return m.ui->Update->isEnabled() && m.mPopUpUpdate->isEnabled();
}
bool updateDisabled(TolvexMMain &m)
{
    return !m.ui->Update->isEnabled() && !m.mPopUpUpdate->isEnabled();
}

// A master whose update window asks `server` and is stepped by the test only.
bool loadStepped(MasterFixture &f, HttpTestServer &server, const QString &commandLine = QString())
{
    if (!f.load(commandLine))
        return false;
    f.window->updates->webRoot = server.root();
    f.window->updates->windowOptions.manualTimer = true;
    return true;
}

} // namespace

class MasterUpdateTest : public QObject {
    Q_OBJECT
private slots:
    // The seconds after start-up at which the automatic check loads its window, in a
    // run of 20 seconds; each window is closed at once.
    void schedule_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<int>("updateOn");
        QTest::addColumn<QList<int>>("fired");
        QTest::newRow("daily") << "" << 2 << QList<int>{3};
        QTest::newRow("short update time") << "-ShortUpdateTime" << 2 << QList<int>{3, 10, 17};
        QTest::newRow("-InhibitUpdate") << "-InhibitUpdate" << 2 << QList<int>{3};
        QTest::newRow("switched off") << "" << 1 << QList<int>{};
        for (const char *sw : {"-InhibitShutdown", "-AddErrorMessage", "-StartShutdown", "-InhibitAdmin"})
            QTest::newRow(sw) << sw << 2 << QList<int>{};
    }
    void schedule()
    {
        QFETCH(QString, commandLine);
        QFETCH(int, updateOn);
        HttpTestServer server;
        MasterFixture f;
        f.config.Update_On = updateOn;
        QVERIFY(loadStepped(f, server, commandLine));
        TolvexMMain &m = *f.window;
        QList<int> fired;
        for (int s = 1; s <= 20 && f.second(); ++s) {
            if (frmUpdater *w = m.updates->window()) {
                fired << s;
                QVERIFY(!w->isVisible());
                QVERIFY(m.st.UpdaterBusy);
                QVERIFY(!m.st.ManualCheck);
                QVERIFY(updateDisabled(m));
                w->Exit_Click();
                QVERIFY(!m.st.UpdaterBusy);
                QVERIFY(updateEnabled(m));
            }
        }
        QTEST(fired, "fired");
    }

    // Once a day from the moment it fired; a late cycle still runs the check; a check
    // still open holds the next one back until it closes.
    void dailyLateAndHeldBack()
    {
        HttpTestServer server;
        MasterFixture f;
        QVERIFY(loadStepped(f, server));
        TolvexMMain &m = *f.window;
        const QDateTime start = f.clock.now();
        f.clock.advanceSeconds(10); // the cycle comes 10 s late
        QVERIFY(f.second());
        QVERIFY(m.updates->window());
        QCOMPARE(m.st.NextUpdateCheck, start.addSecs(11 + 24 * 3600));
        // Still open when the next day's moment comes: nothing more is loaded.
        f.clock.advanceSeconds(24 * 3600);
        frmUpdater *first = m.updates->window();
        QVERIFY(f.second());
        QCOMPARE(m.updates->window(), first);
        first->Exit_Click();
        QVERIFY(f.second());
        QVERIFY(m.updates->window());
        QCOMPARE(m.st.NextUpdateCheck, f.clock.now().addSecs(24 * 3600));
    }

    // The Update button and its menu item open the window by hand and move the next
    // automatic check a day ahead; the controls come back when it closes.
    void byHand_data()
    {
        QTest::addColumn<bool>("menu");
        QTest::newRow("button") << false;
        QTest::newRow("menu item") << true;
    }
    void byHand()
    {
        QFETCH(bool, menu);
        HttpTestServer server;
        MasterFixture f;
        QVERIFY(loadStepped(f, server, "-ShortUpdateTime"));
        TolvexMMain &m = *f.window;
        m.show();
        if (menu)
            m.mPopUpUpdate->trigger();
        else
            QTest::mouseClick(m.ui->Update, Qt::LeftButton);
        frmUpdater *w = m.updates->window();
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Tolvex Update Check"));
        QVERIFY(m.st.UpdaterBusy);
        QVERIFY(m.st.ManualCheck);
        QVERIFY(updateDisabled(m));
        QCOMPARE(m.st.NextUpdateCheck, f.clock.now().addSecs(24 * 3600));
        // Closing a dialog while the check runs leaves Update disabled; a reset enables
        // the menu item, which the menu takes back when it is shown.
        mdInit::RestoreMainControls(m);
        QVERIFY(updateDisabled(m));
        m.Reset_Click();
        f.tray.simulateMouse(516);
        QVERIFY(updateDisabled(m));
        m.MenuPopUp->close();
        for (int s = 0; s < 10; ++s)
            QVERIFY(f.second());
        QCOMPARE(m.updates->window(), w); // no automatic check on top of it
        QTest::mouseClick(w->ui->Exit, Qt::LeftButton);
        QVERIFY(!m.updates->window());
        QVERIFY(!m.st.UpdaterBusy);
        QVERIFY(updateEnabled(m));
    }

    void inhibit()
    {
        HttpTestServer server;
        MasterFixture f;
        QVERIFY(loadStepped(f, server));
        TolvexMMain &m = *f.window;
        m.Update_Click();
        QPointer<frmUpdater> w = m.updates->window();
        m.Update_Inhibit(false); // a check runs: nothing changes
        QVERIFY(updateDisabled(m));
        QVERIFY(w && !w->unloaded());
        m.Update_Inhibit(true);
        QVERIFY(w->unloaded());
        QVERIFY(!m.st.UpdaterBusy);
        QVERIFY(updateDisabled(m));
        m.Update_Inhibit(false);
        QVERIFY(updateEnabled(m));
        QTRY_VERIFY(w.isNull()); // the unloaded window goes away
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
        MasterFixture f;
        QVERIFY(f.load("-ShortUpdateTime"));
        TolvexMMain &m = *f.window;
        m.updates->webRoot = server.root();
        for (int s = 0; s < 3; ++s)
            QVERIFY(f.second());
        QPointer<frmUpdater> w = m.updates->window();
        QVERIFY(w);
        ShowCounter spy;
        w->installEventFilter(&spy);
        QTRY_COMPARE(server.requestLines().size(), 1);
        QVERIFY(server.requestLines()[0].startsWith(
            "GET /software/misc/updatecheck.xml?PName=Tolvex&ampPVer=0.9.0.0&ampOSVer="));
        if (shown) {
            QTRY_VERIFY(w->isVisible());
            QCOMPARE(w->ui->Status->text(), QStringLiteral("Version 1 of Tolvex is available "));
            QVERIFY(m.st.UpdaterBusy);
            QTRY_VERIFY_WITH_TIMEOUT(w.isNull(), 10000); // closes itself after about 3 s
        } else {
            QTRY_VERIFY(w.isNull());
        }
        QCOMPARE(spy.shows, shown ? 1 : 0);
        QVERIFY(!m.st.UpdaterBusy);
        QVERIFY(updateEnabled(m));
    }

    // A check whose reply lacked elements does not close the next one early.
    void eachCheckCountsItsOwnReply()
    {
        HttpTestServer server;
        server.setReply({404, "<html>Not Found</html>", false, true});
        MasterFixture f;
        QVERIFY(f.load("-ShortUpdateTime"));
        TolvexMMain &m = *f.window;
        m.updates->webRoot = server.root();
        for (int s = 0; s < 3; ++s)
            QVERIFY(f.second());
        QTRY_VERIFY(!m.st.UpdaterBusy);
        server.setReply({200, updateDocument("1", "0"), false, true});
        for (int s = 0; s < 7; ++s)
            QVERIFY(f.second());
        QPointer<frmUpdater> w = m.updates->window();
        QVERIFY(w);
        QTRY_VERIFY(w->isVisible());
        QCOMPARE(server.requestLines().size(), 2);
    }
};

QTEST_MAIN(MasterUpdateTest)
#include "test_master_update.moc"

// The master's run arming, its three state steps and the end of a countdown.
#include "MasterFixture.h"
#include "mdShut.h"
#include "ui_TolvexMMain.h"
#include <QAction>
#include <QLabel>
#include <QPushButton>

using namespace tolvex;
using namespace tolvex::test;

Q_DECLARE_METATYPE(tolvex::PowerAction)

namespace {

// The event words of the log's event lines, in order, from the first one matching `from`.
QStringList eventWords(const QString &log)
{
    QStringList words;
    for (const QString &line : log.split(QStringLiteral("\r\n"))) {
        const QStringList fields = line.split(QStringLiteral(", "));
        if (fields.size() >= 4 && fields.at(2).size() == 10)
            words << fields.at(1).mid(1).trimmed() + QLatin1Char('|') + fields.at(2).trimmed();
    }
    return words;
}

QStringList wordsAfter(const QStringList &words, const QString &first)
{
    const int at = words.indexOf(first);
    return at < 0 ? QStringList() : words.mid(at);
}

} // namespace

class MasterCycleTest : public QObject {
    Q_OBJECT
private slots:
    void armingClockTime_data();
    void armingClockTime();
    void switchesOverrideLimits();
    void silentSlavesStartTheCountdown();
    void countdownShowsAndActsAtZero();
    void countdownEnd_data();
    void countdownEnd();
    void silentImmediateAction();
    void stopTimeForcesTheCountdown();
    void fixedDelayAddsUpSilentSeconds();
    void testRunEndsInBox();
    void powerErrorIsShownAndEnds();
    void unwritableLogDoesNotStopThePowerAction_data();
    void unwritableLogDoesNotStopThePowerAction();
    void countdownStepDoesNotRepeatWhileBoxOpen();
};

void MasterCycleTest::armingClockTime_data()
{
    QTest::addColumn<int>("hhmm");
    QTest::addColumn<QTime>("now");
    QTest::addColumn<int>("count");
    QTest::newRow("20 minutes ahead") << 930 << QTime(9, 10, 45) << 1200;
    QTest::newRow("this minute") << 930 << QTime(9, 30, 10) << 1;
    QTest::newRow("passed today") << 930 << QTime(23, 0) << 1;
    QTest::newRow("five past midnight") << 5 << QTime(0, 0, 30) << 300;
}

void MasterCycleTest::armingClockTime()
{
    QFETCH(int, hhmm);
    QFETCH(QTime, now);
    QFETCH(int, count);
    MasterFixture f;
    f.config.StartTime = 2;
    f.config.StartDelay = hhmm;
    f.clock.setTime(now);
    QVERIFY(f.load());
    QCOMPARE(f.window->st.Count, count);
    QCOMPARE(f.window->ui->Counter->text(), QStringLiteral("Program Activation at ") + timeText(hhmm));
}

void MasterCycleTest::switchesOverrideLimits()
{
    MasterFixture f;
    f.config.CPUDelay = 30;
    f.config.ShutTime = 60;
    QVERIFY(f.load(QStringLiteral("-StartShutdown")));
    QCOMPARE(f.window->st.CommsLimit, 6);
    QCOMPARE(f.window->cfg.ShutTime, 60);
    QCOMPARE(f.window->ui->Title->text(), QStringLiteral("Power Off if no comms for over 60 sec"));

    MasterFixture g;
    g.config.ShutTime = 60;
    QVERIFY(g.load(QStringLiteral("-InhibitAdmin")));
    QCOMPARE(g.window->st.CommsLimit, 6);
    QCOMPARE(g.window->cfg.ShutTime, 6);
    QVERIFY(!g.window->IsAdmin());
}

void MasterCycleTest::silentSlavesStartTheCountdown()
{
    MasterFixture f;
    f.config.StartDelay = 1;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    QVERIFY(f.second());
    QCOMPARE(m.st.RunState, 1);
    for (int i = 1; i <= 4; ++i) {
        QVERIFY(f.second());
        QCOMPARE(m.st.Count, i);
        QCOMPARE(m.ui->Counter->text(), QStringLiteral("No connections for the last %1s").arg(i));
    }
    // The fifth silent second enters the countdown and runs its first step at once.
    QVERIFY(f.second());
    QCOMPARE(m.st.RunState, 2);
    QCOMPARE(m.st.Count, 1);
    QCOMPARE(m.ui->Counter->text(), QStringLiteral(" The Computer Will Power Off In 60s"));
    QCOMPARE(m.ui->Reset->text(), QStringLiteral("&Cancel"));
    QVERIFY(!m.ui->Exit->isEnabled());
    QVERIFY(m.mPopUpCancel->isVisible());
    QVERIFY(!m.mPopUpReset->isVisible());
    QVERIFY(f.log().contains(QStringLiteral(",  Enter    , Power Off , Count:    0")));

    // A valid answer keeps the run going: Count back to 0, "Activity" icon.
    MasterFixture g;
    g.config.StartDelay = 1;
    QVERIFY(g.load());
    QVERIFY(g.second());
    g.window->st.NoComms = 0;
    g.window->tmrRefresh_Timer();
    g.window->tmrRefresh_Timer();
    QCOMPARE(g.window->st.Count, 0);
    QCOMPARE(g.window->ui->Counter->text(), QString());
}

void MasterCycleTest::countdownShowsAndActsAtZero()
{
    MasterFixture f;
    f.config.ShutType = 3;
    f.config.ShutTime = 10;
    f.config.Force = 1;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    m.st.RunState = 2;
    m.st.Count = 0;
    for (int left = 10; left >= 1; --left) {
        QVERIFY(f.second());
        QCOMPARE(m.ui->Counter->text(), QStringLiteral(" The Computer Will Shutdown In %1s").arg(left));
        QVERIFY(f.power.performed().empty());
    }
    QVERIFY(!f.second()); // the step that shows 0 acts and ends the program
    QCOMPARE(m.ui->Counter->text(), QStringLiteral(" The Computer Will Shutdown In 0s"));
    QCOMPARE(int(f.power.performed().size()), 1);
    QCOMPARE(f.power.performed().front().action, PowerAction::Halt);
    QVERIFY(!f.power.performed().front().force);
}

void MasterCycleTest::countdownEnd_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("force");
    QTest::addColumn<bool>("simulate");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("ends");
    // Ten dashes as the event word are cut to nine behind the mark.
    const QString sep = QStringLiteral("---------|----------");
    QTest::newRow("power off") << 1 << 1 << true
                               << QStringList{"Start|Power Off", "Start|Power Off", "Simulate|Power Off", "Close|Power Off"} << true;
    QTest::newRow("reboot forced") << 2 << 2 << true
                                   << QStringList{"Start(F)|Reboot", "Start(F)|Reboot", "Simulate|Reboot", "Close|Reboot"} << true;
    QTest::newRow("shutdown real") << 3 << 1 << false << QStringList{"Start|Shutdown", "Start|Shutdown", "Close|Shutdown"} << true;
    QTest::newRow("monitor") << 4 << 2 << true << QStringList{"Start|Monitor", "Simulate|Monitor", "Close|Monitor"} << true;
    QTest::newRow("hibernate") << 5 << 1 << true
                               << QStringList{"Start|Hibernate", "Simulate|Hibernate", "Start|Initialise", "Restart|Hibernate", sep, sep}
                               << false;
    QTest::newRow("standby real") << 6 << 1 << false << QStringList{"Start|Standby", "Start|Initialise", "Restart|Standby", sep, sep} << false;
    QTest::newRow("log off") << 7 << 1 << true
                             << QStringList{"Start|Log Off", "Start|Log Off", "Simulate|Log Off", "Start|Initialise",
                                            "Restart|Log Off", sep, sep}
                             << true;
}

void MasterCycleTest::countdownEnd()
{
    QFETCH(int, type);
    QFETCH(int, force);
    QFETCH(bool, simulate);
    QFETCH(QStringList, lines);
    QFETCH(bool, ends);
    MasterFixture f;
    f.config.ShutType = type;
    f.config.Force = force;
    f.config.ShutTime = 2;
    f.config.StartDelay = 4;
    QVERIFY(f.load(simulate ? QStringLiteral("-AddErrorMessage") : QString()));
    TolvexMMain &m = *f.window;
    m.st.RunState = 2;
    m.st.Count = 2;
    QCOMPARE(f.second(), !ends);
    QCOMPARE(wordsAfter(eventWords(f.log()), lines.first()).mid(0, lines.size()), lines);

    const std::vector<RecordingPowerBackend::Call> performed = f.power.performed();
    if (simulate || type == 4) {
        QVERIFY(performed.empty());
    } else {
        QCOMPARE(int(performed.size()), 1);
    }
    if (simulate) {
        const BoxRequest &box = f.boxes.shown().back();
        QCOMPARE(box.text, QStringLiteral("Test Real ") + m.st.ActionName);
        QCOMPARE(box.title, QStringLiteral("Tolvex Simulate ") + m.st.ActionName);
        QCOMPARE(box.timeoutSeconds, 0);
    }
    if (ends) {
        QVERIFY(!f.tray.isShown());
    } else {
        // Re-armed: one second longer than the configured delay.
        QCOMPARE(m.st.RunState, 0);
        QCOMPARE(m.st.Count, 5);
        QCOMPARE(m.ui->Reset->text(), QStringLiteral("&Reset"));
    }
}

void MasterCycleTest::silentImmediateAction()
{
    MasterFixture f;
    f.config.NoWarn = 2;
    f.config.Force = 1;
    f.config.StartDelay = 1;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    m.st.RunState = 2;
    m.st.Count = 0;
    QVERIFY(!f.second());
    QCOMPARE(wordsAfter(eventWords(f.log()), QStringLiteral("Enter|Power Off")),
             (QStringList{"Enter|Power Off", "Silent|Power Off", "Start|Power Off", "Close|Power Off"}));
    QCOMPARE(int(f.power.performed().size()), 1);
    QCOMPARE(f.power.performed().front().action, PowerAction::PowerOff);
}

void MasterCycleTest::stopTimeForcesTheCountdown()
{
    MasterFixture f;
    f.config.Stop_On = 2;
    f.config.StopTime = 2215;
    f.config.StartDelay = 1;
    f.config.CPUDelay = 60;
    f.config.NoWarn = 2;
    f.clock.setTime(QTime(22, 14, 57));
    QVERIFY(f.load(QStringLiteral("-InhibitShutdown")));
    TolvexMMain &m = *f.window;
    QVERIFY(f.second()); // Run
    m.st.NoComms = 0;
    QVERIFY(f.second()); // 22:14:59, answered
    QCOMPARE(m.st.RunState, 1);
    m.st.NoComms = 0;
    QVERIFY(!f.second()); // 22:15:00: stop time, although a slave answered
    QVERIFY(f.log().contains(QStringLiteral(",  Silent(F), Power Off ,")));
    QVERIFY(f.power.performed().empty());
}

void MasterCycleTest::fixedDelayAddsUpSilentSeconds()
{
    MasterFixture f;
    f.config.Del_On = 2;
    f.config.DelTime = 60;
    f.config.CPUDelay = 30;
    f.config.StartDelay = 1;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    QCOMPARE(m.ui->Title->text(), QStringLiteral("Power Off if no comms for over 30 sec or after 60s"));
    QVERIFY(f.second());
    for (int i = 0; i < 20; ++i) {
        QVERIFY(f.second());
        m.st.NoComms = (i % 2) ? 0 : 1;
    }
    // Two silent seconds, then every other one: 11 of 20.
    QCOMPARE(m.st.DelElapsed, 11);
    QVERIFY(m.ui->Counter->text().endsWith(QStringLiteral(" - Delay Left: 49s")));
    QCOMPARE(m.st.RunState, 1);
}

void MasterCycleTest::testRunEndsInBox()
{
    MasterFixture f;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    m.TestS_Click();
    QCOMPARE(m.windowTitle(), QStringLiteral("Tolvex - Test Mode"));
    QVERIFY(m.st.TestMode);
    QCOMPARE(m.st.Count, 2);
    QVERIFY(!m.ui->About->isEnabled());
    for (int i = 0; i < 6; ++i)
        QVERIFY(f.second());
    QVERIFY(f.boxes.shown().empty());
    QVERIFY(f.second()); // after 2 seconds of activation and 5 silent seconds: the box
    QCOMPARE(int(f.boxes.shown().size()), 1);
    QCOMPARE(f.boxes.shown().front().title, QStringLiteral("Tolvex Test"));
    QCOMPARE(f.boxes.shown().front().text, QStringLiteral("Test Power Off"));
    QCOMPARE(f.boxes.shown().front().timeoutSeconds, 600);
    QVERIFY(!m.st.TestMode);
    QCOMPARE(m.st.RunState, 0);
    QCOMPARE(m.windowTitle(), QStringLiteral("Tolvex"));
    QVERIFY(f.log().contains(QStringLiteral(", *Enter    , Test      ,")));
    QVERIFY(f.log().contains(QStringLiteral(", *Simulate , Power Off ,")));
    QVERIFY(f.power.calls().empty());
}

void MasterCycleTest::powerErrorIsShownAndEnds()
{
    MasterFixture f;
    f.power.refusePrivilege(QStringLiteral("Access denied"));
    QVERIFY(f.load());
    f.window->st.RunState = 2;
    f.window->st.Count = 60;
    QVERIFY(!f.second());
    const BoxRequest &box = f.boxes.shown().back();
    QCOMPARE(box.title, QStringLiteral("Tolvex Power Action Error"));
    QVERIFY(box.text.contains(QStringLiteral("0x8004062E")));
    QVERIFY(box.text.contains(QStringLiteral("TolvexMu.mShutDown")));
    QVERIFY(box.text.contains(QStringLiteral("[Access denied]")));
    QVERIFY(!f.tray.isShown());
}

void MasterCycleTest::unwritableLogDoesNotStopThePowerAction_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<PowerAction>("action");
    QTest::newRow("power off") << 1 << PowerAction::PowerOff;
    // Hibernate re-arms (and writes its status line) before the call.
    QTest::newRow("hibernate") << 5 << PowerAction::Hibernate;
}

void MasterCycleTest::unwritableLogDoesNotStopThePowerAction()
{
    QFETCH(int, type);
    QFETCH(PowerAction, action);
    MasterFixture f;
    f.config.ShutType = type;
    QVERIFY(f.load());
    f.window->st.RunState = 2;
    f.window->st.Count = 60;
    QFile::remove(f.path("Log/TolvexM.log"));
    QVERIFY(!f.second());
    QCOMPARE(int(f.power.performed().size()), 1);
    QCOMPARE(f.power.performed().front().action, action);
    // Reported afterwards, with the box of a missing log file.
    QCOMPARE(f.boxes.shown().back().title, QStringLiteral("Tolvex Log File Error"));
}

void MasterCycleTest::countdownStepDoesNotRepeatWhileBoxOpen()
{
    MasterFixture f;
    QVERIFY(f.load(QStringLiteral("-InhibitShutdown")));
    TolvexMMain &m = *f.window;
    m.st.RunState = 2;
    m.st.Count = 6;
    // While the simulation box is open the timer goes on ticking.
    f.boxes.whileOpen = [&m] {
        for (int i = 0; i < 6; ++i)
            m.tmrRefresh_Timer();
    };
    QVERIFY(!f.second());
    QCOMPARE(int(f.boxes.shown().size()), 1);
}

QTEST_MAIN(MasterCycleTest)
#include "test_master_cycle.moc"

// The master's run arming, its three state steps and the end of a countdown.
#include "MasterFixture.h"
#include "mdShut.h"
#include "ui_TolvexMMain.h"
#include <QAction>
#include <QLabel>
#include <QPushButton>

using namespace tolvex;
using namespace tolvex::test;

namespace {

// A loaded master whose countdown is at `count`.
void startCountdown(MasterFixture &f, int count, const QString &commandLine = QString())
{
    QVERIFY(f.load(commandLine));
    f.window->st.RunState = 2;
    f.window->st.Count = count;
}

} // namespace

class MasterCycleTest : public QObject {
    Q_OBJECT
private slots:
    void arming_data();
    void arming();
    void silenceCountsDownToThePowerAction();
    void countdownEnd_data();
    void countdownEnd();
    void fixedDelayAndStopTime();
    void fixedDelayAloneEndsTheRun();
    void logFailuresInACountdown_data();
    void logFailuresInACountdown();
    void powerFaults_data();
    void powerFaults();
};

void MasterCycleTest::arming_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("hhmm"); // activation at this clock time; 0: after StartDelay (3s)
    QTest::addColumn<QTime>("now");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("commsLimit");
    QTest::addColumn<int>("shutTime");
    QTest::addColumn<int>("titleSeconds");
    const auto row = [](const char *name, const char *line, int hhmm, QTime now, int count, int limit, int shut, int title) {
        QTest::newRow(name) << line << hhmm << now << count << limit << shut << title;
    };
    row("no switch", "", 0, QTime(12, 0), 3, 30, 60, 30);
    row("-InhibitShutdown", "-InhibitShutdown", 0, QTime(12, 0), 3, 6, 6, 6);
    row("-StartShutdown", "-StartShutdown", 0, QTime(12, 0), 3, 6, 60, 60);
    row("-InhibitAdmin", "-InhibitAdmin", 0, QTime(12, 0), 3, 6, 6, 6);
    row("at 9:30, 20 minutes ahead", "", 930, QTime(9, 10, 45), 1200, 30, 60, 30);
    row("at 9:30, this minute", "", 930, QTime(9, 30, 10), 1, 30, 60, 30);
    row("at 9:30, passed today", "", 930, QTime(23, 0), 1, 30, 60, 30);
    row("at 0:05, five past midnight", "", 5, QTime(0, 0, 30), 300, 30, 60, 30);
}

void MasterCycleTest::arming()
{
    QFETCH(QString, line);
    QFETCH(int, hhmm);
    QFETCH(QTime, now);
    QFETCH(int, titleSeconds);
    MasterFixture f;
    f.config.CPUDelay = 30;
    f.config.ShutTime = 60;
    f.config.StartTime = hhmm ? 2 : 1;
    f.config.StartDelay = hhmm ? hhmm : 3;
    f.clock.setTime(now);
    QVERIFY(f.load(line));
    TolvexMMain &m = *f.window;
    QTEST(m.st.Count, "count");
    QTEST(m.st.CommsLimit, "commsLimit");
    QTEST(m.st.ShutLimit, "shutTime");
    // The switches shorten the run only: the configuration keeps the file's values.
    QCOMPARE(QList<int>({m.cfg.CPUDelay, m.cfg.ShutTime}), QList<int>({30, 60}));
    QCOMPARE(m.IsAdmin(), line != QLatin1String("-InhibitAdmin"));
    QCOMPARE(m.ui->Title->text(), QStringLiteral("Power Off if no comms for over %1 sec").arg(titleSeconds));
    QCOMPARE(m.ui->Counter->text(), hhmm ? QStringLiteral("Program Activation at ") + timeText(hhmm)
                                         : QStringLiteral("Program Activation in 3s"));
}

// Run, an answer, five silent seconds, the countdown down to 0 and the call at 0.
void MasterCycleTest::silenceCountsDownToThePowerAction()
{
    MasterFixture f;
    f.config.StartDelay = 1;
    f.config.ShutType = 3;
    f.config.ShutTime = 10;
    f.config.Force = 1;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    QVERIFY(f.second() && f.second());
    QCOMPARE(m.st.RunState, 1);
    m.st.NoComms = 0; // a valid answer: Count back to 0
    QVERIFY(f.second());
    QCOMPARE(m.st.Count, 0);
    QCOMPARE(m.ui->Counter->text(), QString());
    for (int i = 1; i <= 4; ++i) {
        QVERIFY(f.second());
        QCOMPARE(m.ui->Counter->text(), QStringLiteral("No connections for the last %1s").arg(i));
        QVERIFY(!m.countdownUnderWay()); // a failing file still ends the program here
    }
    // The fifth silent second enters the countdown and runs its first step at once.
    for (int left = 10; left >= 1; --left) {
        QVERIFY(f.second());
        QCOMPARE(m.st.RunState, 2);
        QCOMPARE(m.ui->Counter->text(), QStringLiteral(" The Computer Will Shutdown In %1s").arg(left));
        QVERIFY(f.power.performed().empty());
        QVERIFY(m.countdownUnderWay()); // and no longer from the first step on
    }
    QVERIFY(f.log().contains(QStringLiteral(",  Enter    , Shutdown  , Count:    0")));
    QCOMPARE(m.ui->Reset->text(), QStringLiteral("&Cancel"));
    QVERIFY(!m.ui->Exit->isEnabled());
    QVERIFY(m.mPopUpCancel->isVisible() && !m.mPopUpReset->isVisible());
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
    QTest::addColumn<int>("noWarn");
    QTest::addColumn<bool>("simulate");
    QTest::addColumn<QString>("words");
    QTest::addColumn<bool>("ends");
    const auto row = [](const char *name, int type, int force, int noWarn, bool simulate, const QString &words, bool ends) {
        QTest::newRow(name) << type << force << noWarn << simulate << words << ends;
    };
    // Ten dashes as the event word are cut to nine behind the mark.
    const QString rearm = QStringLiteral(",Start|Initialise,Restart|%1,---------|----------,---------|----------");
    row("power off", 1, 1, 1, true, "Start|Power Off,Start|Power Off,Simulate|Power Off,Close|Power Off", true);
    row("reboot forced", 2, 2, 1, true, "Start(F)|Reboot,Start(F)|Reboot,Simulate|Reboot,Close|Reboot", true);
    row("shutdown real", 3, 1, 1, false, "Start|Shutdown,Start|Shutdown,Close|Shutdown", true);
    row("monitor", 4, 2, 1, true, "Start|Monitor,Simulate|Monitor,Close|Monitor", true);
    row("hibernate", 5, 1, 1, true, "Start|Hibernate,Simulate|Hibernate" + rearm.arg("Hibernate"), false);
    row("standby real", 6, 1, 1, false, "Start|Standby" + rearm.arg("Standby"), false);
    row("log off", 7, 1, 1, true, "Start|Log Off,Start|Log Off,Simulate|Log Off" + rearm.arg("Log Off"), true);
    row("silent power off", 1, 1, 2, false, "Silent|Power Off,Start|Power Off,Close|Power Off", true);
}

void MasterCycleTest::countdownEnd()
{
    QFETCH(int, type);
    QFETCH(int, force);
    QFETCH(int, noWarn);
    QFETCH(bool, simulate);
    QFETCH(QString, words);
    QFETCH(bool, ends);
    MasterFixture f;
    f.config.ShutType = type;
    f.config.Force = force;
    f.config.NoWarn = noWarn;
    f.config.ShutTime = 2;
    f.config.StartDelay = 4;
    startCountdown(f, 2, simulate ? QStringLiteral("-AddErrorMessage") : QString());
    TolvexMMain &m = *f.window;
    // The timer goes on ticking while a box is open; the step must not run again.
    f.boxes.whileOpen = [&m] {
        for (int i = 0; i < 6; ++i)
            m.tmrRefresh_Timer();
    };
    QCOMPARE(f.second(), !ends);
    const QStringList expected = words.split(QLatin1Char(','));
    QCOMPARE(f.pairs(expected.first()).mid(0, expected.size()), expected);
    QCOMPARE(int(f.power.performed().size()), simulate || type == 4 ? 0 : 1);
    QCOMPARE(int(f.boxes.shown().size()), simulate ? 1 : 0);
    if (simulate) {
        const BoxRequest box = f.boxes.shown().back();
        QCOMPARE(box.title + '|' + box.text, "Tolvex Simulate " + m.st.ActionName + "|Test Real " + m.st.ActionName);
        QCOMPARE(box.timeoutSeconds, 0);
    }
    QCOMPARE(f.tray.isShown(), !ends);
    if (!ends) { // re-armed: one second longer than the configured delay
        QVERIFY(m.st.RunState == 0 && m.st.Count == 5);
        QCOMPARE(m.ui->Reset->text(), QStringLiteral("&Reset"));
    }
}

// The fixed delay adds up silent seconds; the stop time forces the countdown although
// a slave answered.
void MasterCycleTest::fixedDelayAndStopTime()
{
    MasterFixture f;
    f.config.Del_On = 2;
    f.config.DelTime = 60;
    f.config.Stop_On = 2;
    f.config.StopTime = 2215;
    f.config.CPUDelay = 30;
    f.config.StartDelay = 1;
    f.config.NoWarn = 2;
    f.config.Force = 1; // the "(F)" comes from the stop time
    f.clock.setTime(QTime(22, 14, 37));
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    QCOMPARE(m.ui->Title->text(), "Power Off if no comms for over 30 sec or at " + timeText(2215) + " or after 60s");
    QVERIFY(f.second()); // Run
    for (int i = 0; i < 20; ++i) {
        QVERIFY(f.second());
        m.st.NoComms = (i % 2) ? 0 : 1;
    }
    // Two silent seconds, then every other one: 11 of 20.
    QCOMPARE(m.st.DelElapsed, 11);
    QVERIFY(m.ui->Counter->text().endsWith(QStringLiteral(" - Delay Left: 49s")));
    QVERIFY(f.second()); // 22:14:59, answered
    QCOMPARE(m.st.RunState, 1);
    m.st.NoComms = 0;
    QVERIFY(!f.second()); // 22:15:00
    QVERIFY(f.log().contains(QStringLiteral(",  Silent(F), Power Off ,")));
    QCOMPARE(int(f.power.performed().size()), 1);
}

// A slave that answers every third second keeps the lost-link count low; only the
// fixed delay, the silent seconds of the run added up, can end the run. It does so in
// the very second in which they reach DelTime, and the countdown reaches its action.
void MasterCycleTest::fixedDelayAloneEndsTheRun()
{
    MasterFixture f;
    f.config.Del_On = 2;
    f.config.DelTime = 60;
    f.config.CPUDelay = 30;
    f.config.Stop_On = 1;
    f.config.StartDelay = 1;
    f.config.ShutTime = 2;
    f.config.Force = 1;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    QVERIFY(f.second());
    QCOMPARE(m.st.RunState, 1);
    int silent = 0;
    for (int second = 1; silent < 60 && second <= 100; ++second) {
        const bool answered = second % 3 == 0;
        if (answered)
            m.st.NoComms = 0; // the slave's answer of this second
        QVERIFY(f.second());
        silent += answered ? 0 : 1;
        QCOMPARE(m.st.DelElapsed, silent);
        QVERIFY(m.st.Count < m.st.CommsLimit);
        QCOMPARE(m.st.RunState, silent < 60 ? 1 : 2);
    }
    QCOMPARE(silent, 60);
    // The countdown's first step ran in the same second.
    QCOMPARE(m.ui->Counter->text(), QStringLiteral(" The Computer Will Power Off In 2s"));
    QVERIFY(f.second());
    QVERIFY(f.power.performed().empty());
    QVERIFY(!f.second());
    QCOMPARE(int(f.power.performed().size()), 1);
    QCOMPARE(f.power.performed().front().action, PowerAction::PowerOff);
    QVERIFY(f.log().contains(QStringLiteral(",  Start(F) , Power Off ,")));
}

// From its first step on, a log that cannot be written no longer stops a countdown: the
// failure is reported once the countdown is over, after the power call. Outside a
// countdown it ends the program at once.
void MasterCycleTest::logFailuresInACountdown_data()
{
    QTest::addColumn<int>("failAt");    // the step whose lines fail first; -1: a Run second
    QTest::addColumn<bool>("cancel");   // the countdown is cancelled in the step after
    QTest::addColumn<int>("powerCalls");
    QTest::newRow("in Run") << -1 << false << 0;
    QTest::newRow("first step, its Enter line") << 0 << false << 1;
    QTest::newRow("second step") << 1 << false << 1;
    QTest::newRow("third step") << 2 << false << 1;
    QTest::newRow("the end's lines") << 3 << false << 1;
    QTest::newRow("then cancelled") << 1 << true << 0;
}

void MasterCycleTest::logFailuresInACountdown()
{
    QFETCH(int, failAt);
    QFETCH(bool, cancel);
    QFETCH(int, powerCalls);
    MasterFixture f;
    f.config.LogLevel = 3; // a line in every second
    f.config.ShutTime = 3;
    f.config.Force = 1;
    startCountdown(f, 0);
    TolvexMMain &m = *f.window;
    if (failAt < 0)
        m.st.RunState = 1;
    int powerCallsAtBox = -1;
    f.boxes.whileOpen = [&] { powerCallsAtBox = int(f.power.performed().size()); };
    for (int step = 0; step < failAt; ++step)
        QVERIFY(f.second());
    const QByteArray before = readFile(f.path("Log/TolvexM.log"));
    bool ended = false;
    {
        FileSizeLimit full(before.size()); // the disk is full from here on
        QVERIFY(full.inForce());
        if (cancel) {
            ended = !f.second();
            full.lift(); // the log takes the Reset line again; the failure is still reported
            ended = ended || !f.runs([&m] { m.Reset_Click(); });
        }
        for (int i = 0; i < 6 && !ended; ++i)
            ended = !f.second();
    }
    QVERIFY(ended);
    QCOMPARE(int(f.power.performed().size()), powerCalls);
    QCOMPARE(int(f.boxes.shown().size()), 1);
    QCOMPARE(f.boxes.shown().front().title, QStringLiteral("Tolvex Log File Write Error"));
    QCOMPARE(powerCallsAtBox, powerCalls); // reported after the power call
    QVERIFY(!f.tray.isShown());
    // Nothing torn: the log as it was, and the Reset line once it took lines again.
    const QByteArray after = readFile(f.path("Log/TolvexM.log"));
    QCOMPARE(after.left(before.size()), before);
    const QByteArray added = after.mid(before.size());
    QVERIFY2(cancel ? added.count("\r\n") == 1 && added.endsWith(",  Reset    , Power Off , Count:    2, Comms: 0, 0, 0, 0\r\n")
                    : added.isEmpty(),
             added.constData());
}

void MasterCycleTest::powerFaults_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("action"); // the PowerAction carried out, -1 for none
    QTest::newRow("refused") << 1 << true << "Tolvex Power Action Error" << -1;
    // A lost log is reported afterwards; hibernate re-arms (and writes its status line) first.
    QTest::newRow("log lost, power off") << 1 << false << "Tolvex Log File Error" << int(PowerAction::PowerOff);
    QTest::newRow("log lost, hibernate") << 5 << false << "Tolvex Log File Error" << int(PowerAction::Hibernate);
}

void MasterCycleTest::powerFaults()
{
    QFETCH(int, type);
    QFETCH(bool, refused);
    QFETCH(int, action);
    MasterFixture f;
    f.config.ShutType = type;
    if (refused)
        f.power.refusePrivilege(QStringLiteral("Access denied"));
    startCountdown(f, 60);
    if (!refused)
        QVERIFY(QFile::remove(f.path("Log/TolvexM.log")));
    QVERIFY(!f.second());
    QCOMPARE(int(f.power.performed().size()), action < 0 ? 0 : 1);
    if (action >= 0)
        QCOMPARE(int(f.power.performed().front().action), action);
    QCOMPARE(int(f.boxes.shown().size()), 1);
    QTEST(f.boxes.shown().back().title, "title");
    for (const char *part : {"0x8004062E", "TolvexMu.mShutDown", "[Access denied]"})
        QVERIFY2(f.boxes.shown().back().text.contains(QLatin1String(part)) == refused, part);
    QVERIFY(!f.tray.isShown());
}

QTEST_MAIN(MasterCycleTest)
#include "test_master_cycle.moc"

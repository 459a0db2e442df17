#include <QtTest>

#include "SlaveFixture.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

// A box service that lets the cycle tick while a box is open, as the real one does.
class TickingBoxes : public ScriptedMessageBoxService {
public:
    std::function<void()> whileOpen;
    BoxAnswer show(const BoxRequest &request) override
    {
        const BoxAnswer answer = ScriptedMessageBoxService::show(request);
        if (whileOpen) {
            for (int i = 0; i < 3; ++i)
                whileOpen();
        }
        return answer;
    }
};

} // namespace

// How a countdown ends: the power action or its simulation, the log lines written
// on the way, and the program's end or its re-arming.
class TestSlaveCountdown : public QObject {
    Q_OBJECT

private slots:
    void simulatedCountdownEnds_data();
    void simulatedCountdownEnds();
    void realPowerCalls_data();
    void realPowerCalls();
    void countdownEndAtLevelOne();
    void countdownEndWithLostLog();
    void powerErrorIsShown();
    void oneBoxPerCountdownEnd_data();
    void oneBoxPerCountdownEnd();
};

void TestSlaveCountdown::simulatedCountdownEnds_data()
{
    QTest::addColumn<int>("shutType");
    QTest::addColumn<int>("force");
    QTest::addColumn<QStringList>("lines");

    // The event column is ten characters after its leading blank: ten dashes lose one.
    const QStringList restart{"Start|Initialise", "Restart|%1", "---------|----------", "---------|----------"};
    auto rearmed = [&restart](QStringList head, const QString &action) {
        for (const QString &line : restart)
            head << QString(line).replace(QStringLiteral("%1"), action);
        return head;
    };
    QTest::newRow("power off") << 1 << 1
                               << QStringList{"Silent|Power Off", "Start|Power Off", "Simulate|Power Off", "Close|Power Off"};
    QTest::newRow("reboot forced") << 2 << 2
                                   << QStringList{"Silent(F)|Reboot", "Start(F)|Reboot", "Simulate|Reboot", "Close|Reboot"};
    QTest::newRow("shutdown") << 3 << 1
                              << QStringList{"Silent|Shutdown", "Start|Shutdown", "Simulate|Shutdown", "Close|Shutdown"};
    QTest::newRow("monitor") << 4 << 2 << QStringList{"Start|Monitor", "Simulate|Monitor", "Close|Monitor"};
    QTest::newRow("hibernate") << 5 << 1 << rearmed({"Start|Hibernate", "Simulate|Hibernate"}, "Hibernate");
    QTest::newRow("standby") << 6 << 2 << rearmed({"Start|Standby", "Simulate|Standby"}, "Standby");
    QTest::newRow("log off") << 7 << 1 << rearmed({"Silent|Log Off", "Start|Log Off", "Simulate|Log Off"}, "Log Off");
}

void TestSlaveCountdown::simulatedCountdownEnds()
{
    QFETCH(int, shutType);
    QFETCH(int, force);
    QFETCH(QStringList, lines);
    SlaveFixture fx;
    fx.config.StartDelay = 1;
    fx.config.ShutType = shutType;
    fx.config.Force = force;
    fx.config.NoWarn = 2;
    QVERIFY(fx.load(QStringLiteral("-InhibitShutdown")));
    const QString action = fx.window->st.ActionName;
    const bool ends = shutType != 5 && shutType != 6;
    QCOMPARE(fx.throughCountdown(), ends ? Outcome::Ended : Outcome::Rearmed);

    QCOMPARE(fx.boxes.shown().size(), size_t(1));
    QCOMPARE(fx.boxes.shown().front().title, QStringLiteral("Tolvex Slave Simulate ") + action);
    QCOMPARE(fx.boxes.shown().front().text, QStringLiteral("Test Real ") + action);
    QVERIFY(fx.power.calls().empty());
    QCOMPARE(fx.end.ended(), ends);
    QCOMPARE(!fx.tray.isShown(), ends);
    QCOMPARE(fx.pairsFrom(QStringLiteral("Enter|") + action).mid(1), lines);
    if (!ends) {
        QCOMPARE(fx.window->st.RunState, 0);
        QCOMPARE(fx.window->st.Count, 2); // the activation delay plus the countdown's last step
    }
}

void TestSlaveCountdown::realPowerCalls_data()
{
    QTest::addColumn<int>("shutType");
    QTest::addColumn<int>("force");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("forced"); // -1: not looked at
    QTest::addColumn<bool>("ends");

    QTest::newRow("power off") << 1 << 1 << int(PowerAction::PowerOff) << 0 << true;
    QTest::newRow("reboot forced") << 2 << 2 << int(PowerAction::Reboot) << 1 << true;
    QTest::newRow("shutdown") << 3 << 1 << int(PowerAction::Halt) << 0 << true;
    QTest::newRow("monitor") << 4 << 1 << -1 << -1 << true;
    QTest::newRow("hibernate") << 5 << 1 << int(PowerAction::Hibernate) << -1 << false;
    QTest::newRow("standby") << 6 << 2 << int(PowerAction::Suspend) << -1 << false;
    QTest::newRow("log off forced") << 7 << 2 << int(PowerAction::LogOff) << 1 << true;
}

void TestSlaveCountdown::realPowerCalls()
{
    QFETCH(int, shutType);
    QFETCH(int, force);
    QFETCH(int, action);
    QFETCH(bool, ends);
    SlaveFixture fx;
    fx.config.StartDelay = 1;
    fx.config.ShutType = shutType;
    fx.config.Force = force;
    fx.config.NoWarn = 2;
    QVERIFY(fx.load());
    QCOMPARE(fx.throughCountdown(), ends ? Outcome::Ended : Outcome::Rearmed);
    QVERIFY(fx.boxes.shown().empty());

    const auto performed = fx.power.performed();
    if (action < 0) {
        QVERIFY(fx.power.calls().empty());
    } else {
        QCOMPARE(performed.size(), size_t(1));
        QCOMPARE(int(performed.front().action), action);
        QFETCH(int, forced);
        if (forced >= 0)
            QCOMPARE(int(performed.front().force), forced);
    }
    QCOMPARE(fx.end.ended(), ends);
    if (!ends) {
        // Re-armed before the computer sleeps; after waking the delay is one second longer.
        QCOMPARE(fx.window->st.RunState, 0);
        QCOMPARE(fx.window->st.Count, fx.config.StartDelay + 1);
    }
}

void TestSlaveCountdown::countdownEndAtLevelOne()
{
    SlaveFixture fx;
    fx.config.LogLevel = 1;
    fx.config.StartDelay = 1;
    fx.config.NoWarn = 2;
    QVERIFY(fx.load());
    QVERIFY(!QFile::exists(fx.path("Log/TolvexS.log")));
    QCOMPARE(fx.throughCountdown(), Outcome::Ended);
    QCOMPARE(fx.power.performed().size(), size_t(1));
    QVERIFY(fx.boxes.shown().empty());
    QVERIFY(!QFile::exists(fx.path("Log/TolvexS.log")));
}

void TestSlaveCountdown::countdownEndWithLostLog()
{
    SlaveFixture fx;
    fx.config.StartDelay = 1;
    fx.config.ShutTime = 2;
    QVERIFY(fx.load());
    QVERIFY(fx.reach(2));
    QVERIFY(QFile::remove(fx.path("Log/TolvexS.log")));
    // The power action comes first; the lost log is reported after it.
    QCOMPARE(fx.throughCountdown(), Outcome::Ended);
    QCOMPARE(fx.power.performed().size(), size_t(1));
    QCOMPARE(fx.boxes.shown().size(), size_t(1));
    QCOMPARE(fx.boxes.shown().front().title, QStringLiteral("Tolvex Slave Log File Error"));
    QVERIFY(!fx.tray.isShown());
}

void TestSlaveCountdown::powerErrorIsShown()
{
    SlaveFixture fx;
    fx.config.StartDelay = 1;
    fx.config.NoWarn = 2;
    fx.power.refusePrivilege(QStringLiteral("Access denied"));
    QVERIFY(fx.load());
    QCOMPARE(fx.throughCountdown(), Outcome::Ended);
    QVERIFY(fx.power.performed().empty());
    QCOMPARE(fx.boxes.shown().size(), size_t(1));
    const BoxRequest &box = fx.boxes.shown().front();
    QCOMPARE(box.title, QStringLiteral("Tolvex Slave Power Action Error"));
    QVERIFY(box.text.contains(QStringLiteral("Error Number: 0x8004062E")));
    QVERIFY(box.text.contains(QStringLiteral("Error Source: TolvexSu.mShutDown")));
    QVERIFY(box.text.contains(QStringLiteral("[Access denied]")));
    QVERIFY(!fx.tray.isShown());
}

void TestSlaveCountdown::oneBoxPerCountdownEnd_data()
{
    QTest::addColumn<bool>("testRun");
    QTest::addColumn<QString>("title");
    QTest::newRow("simulated end") << false << "Tolvex Slave Simulate Power Off";
    QTest::newRow("test run") << true << "Tolvex Slave Test";
}

void TestSlaveCountdown::oneBoxPerCountdownEnd()
{
    QFETCH(bool, testRun);
    TickingBoxes boxes;
    SlaveFixture fx;
    fx.boxService = &boxes;
    boxes.whileOpen = [&fx] { fx.window->tmrRefresh_Timer(); };
    fx.config.StartDelay = 1;
    fx.config.NoWarn = 2;
    QVERIFY(fx.load(QStringLiteral("-InhibitShutdown")));
    if (testRun)
        fx.window->TestS_Click();
    QCOMPARE(fx.throughCountdown(), testRun ? Outcome::Rearmed : Outcome::Ended);
    QCOMPARE(boxes.shown().size(), size_t(1));
    QTEST(boxes.shown().front().title, "title");
    QCOMPARE(fx.log().count(QStringLiteral("Simulate ")), 1);
}

QTEST_MAIN(TestSlaveCountdown)
#include "test_slave_countdown.moc"

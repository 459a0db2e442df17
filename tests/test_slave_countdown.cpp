#include <QtTest>

#include "SlaveFixture.h"

using namespace tolvex;
using namespace tolvex::test;

// How a countdown ends in the slave: the power call or its simulation, its one box (the
// timer ticks on behind it) and its log lines. The window base ends the countdown for
// both programs and the lines of every action are tested with the master; these cases
// prove the slave's wiring and texts. A real end by the stop time is in test_slave_cycle.
class TestSlaveCountdown : public QObject {
    Q_OBJECT

private slots:
    void countdownEnd_data();
    void countdownEnd();
    void logFailuresInACountdown_data();
    void logFailuresInACountdown();
};

void TestSlaveCountdown::countdownEnd_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<int>("logLevel");
    QTest::addColumn<bool>("lostLog");      // the log is gone when the countdown ends
    QTest::addColumn<QString>("box");       // the one box, "title|text"; empty: no box
    QTest::addColumn<QStringList>("lines"); // the event lines of the end

    QTest::newRow("simulated") << "-InhibitShutdown" << 2 << false
                               << "Tolvex Slave Simulate Power Off|Test Real Power Off"
                               << QStringList{"Silent|Power Off", "Start|Power Off", "Simulate|Power Off", "Close|Power Off"};
    QTest::newRow("real") << QString() << 2 << false << QString()
                          << QStringList{"Silent|Power Off", "Start|Power Off", "Close|Power Off"};
    QTest::newRow("level 1 writes nothing") << QString() << 1 << false << QString() << QStringList();
    // Reported after the power action, with the box of a missing log file.
    QTest::newRow("lost log") << QString() << 2 << true << "Tolvex Slave Log File Error|" << QStringList();
}

void TestSlaveCountdown::countdownEnd()
{
    QFETCH(QString, commandLine);
    QFETCH(int, logLevel);
    QFETCH(QString, box);
    SlaveFixture fx;
    fx.config.LogLevel = logLevel;
    fx.config.StartDelay = 1;
    fx.config.Force = 1;
    fx.config.NoWarn = 2;
    QVERIFY(fx.load(commandLine));
    QVERIFY(fx.reach(1));
    QFETCH(bool, lostLog);
    if (lostLog)
        QVERIFY(QFile::remove(fx.path("Log/TolvexS.log")));
    fx.window->st.RunState = 2; // in the countdown, past its first step: no warning, so it ends now
    fx.window->st.Count = 1;
    QVERIFY(!fx.seconds());

    QCOMPARE(fx.boxes.shown().size(), size_t(!box.isEmpty()));
    if (!box.isEmpty()) {
        const QString shown = fx.boxes.shown().front().title + QLatin1Char('|') + fx.boxes.shown().front().text;
        QVERIFY2(shown.startsWith(box), qPrintable(shown));
    }
    const bool simulated = !commandLine.isEmpty();
    QCOMPARE(fx.power.calls().empty(), simulated);
    if (!simulated)
        QVERIFY(fx.power.performed().size() == 1 && fx.power.performed().front().action == PowerAction::PowerOff);
    QVERIFY(!fx.tray.isShown());
    QTEST(fx.pairs(QStringLiteral("Enter|Run")).mid(1), "lines");
    if (logLevel == 1)
        QVERIFY(!QFile::exists(fx.path("Log/TolvexS.log")));
}

// A disk that fills at any step of the countdown: the countdown still reaches its power
// call and the failure is reported afterwards; in Run it ends the slave at once.
void TestSlaveCountdown::logFailuresInACountdown_data()
{
    QTest::addColumn<int>("failAt"); // the step whose lines fail first; -1: a Run second
    for (int step = -1; step <= 3; ++step)
        QTest::addRow("step %d", step) << step;
}

void TestSlaveCountdown::logFailuresInACountdown()
{
    QFETCH(int, failAt);
    SlaveFixture fx;
    fx.config.LogLevel = 3;
    fx.config.StartDelay = 1;
    fx.config.ShutTime = 3;
    fx.config.Force = 1;
    QVERIFY(fx.load());
    QVERIFY(fx.reach(1));
    if (failAt >= 0) { // the lost link's last second: the countdown's first step follows in it
        fx.window->st.Count = fx.window->st.CommsLimit - 1;
        fx.window->st.NoComms = 1;
    }
    int powerCallsAtBox = -1;
    fx.boxes.whileOpen = [&] { powerCallsAtBox = int(fx.power.performed().size()); };
    for (int step = 0; step < failAt; ++step)
        QVERIFY(fx.seconds());
    const QByteArray before = readFile(fx.path("Log/TolvexS.log"));
    {
        FileSizeLimit full(before.size());
        QVERIFY(full.inForce());
        QVERIFY(!fx.seconds(6));
    }
    const int powerCalls = failAt < 0 ? 0 : 1;
    QCOMPARE(int(fx.power.performed().size()), powerCalls);
    QCOMPARE(powerCallsAtBox, powerCalls);
    QCOMPARE(int(fx.boxes.shown().size()), 1);
    QCOMPARE(fx.boxes.shown().front().title, QStringLiteral("Tolvex Slave Log File Write Error"));
    QVERIFY(!fx.tray.isShown());
    QCOMPARE(readFile(fx.path("Log/TolvexS.log")), before);
}

QTEST_MAIN(TestSlaveCountdown)
#include "test_slave_countdown.moc"

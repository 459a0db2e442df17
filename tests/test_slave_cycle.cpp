#include <QtTest>

#include "SlaveFixture.h"
#include "UdpEndpoint.h"
#include "VbColor.h"
#include "ui_TolvexSMain.h"
#include <QAction>

using namespace tolvex;
using namespace tolvex::test;

// The slave's start-up, its one-second cycle and its own texts.
class TestSlaveCycle : public QObject {
    Q_OBJECT

private slots:
    void startUp_data();
    void startUp();
    void switchIsReadBeforeConfiguration_data();
    void switchIsReadBeforeConfiguration();
    void unconfiguredOrPortInUse_data();
    void unconfiguredOrPortInUse();
    void activationAndRun();
    void countdownWarningAndReset();
    void testRun_data();
    void testRun();
    void stopTimeStartsCountdown();
};

void TestSlaveCycle::startUp_data()
{
    QTest::addColumn<int>("shutType");
    QTest::addColumn<int>("startTime");
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("counter");

    const QString in3 = QStringLiteral("Program Activation in 3s");
    QTest::newRow("power off") << 1 << 1 << QString() << "Power Off if no communications for over 5 sec" << in3;
    QTest::newRow("start shutdown names 60") << 2 << 1 << "-StartShutdown"
                                             << "Reboot if no communications for over 60 sec" << in3;
    QTest::newRow("monitor, clock activation") << 4 << 2 << "-InhibitShutdown -AllowMulti"
                                               << "Monitor until no communications for over 6 sec"
                                               << "Program Activation at 00:03";
}

void TestSlaveCycle::startUp()
{
    QFETCH(QString, commandLine);
    SlaveFixture fx;
    QFETCH(int, shutType);
    QFETCH(int, startTime);
    fx.config.ShutType = shutType;
    fx.config.StartTime = startTime;
    QVERIFY(fx.load(commandLine));
    TolvexSMain &w = *fx.window;
    QTEST(w.ui->Title->text(), "title");
    QTEST(w.ui->Counter->text(), "counter");
    QCOMPARE(w.windowTitle(), QStringLiteral("Tolvex Slave"));
    QCOMPARE(w.mPopUpExit->text(), QStringLiteral("Close Tolvex Slave"));
    QCOMPARE(fx.tray.calls().at(0).tip, QStringLiteral("Tolvex Slave"));
    QVERIFY(fx.log().startsWith(QStringLiteral("Tolvex Slave\r\n")));
    QCOMPARE(fx.pairs().last(), QStringLiteral("Start|Initialise"));
    QVERIFY(w.timerEnabled() && fx.boxes.shown().empty());

    // The receive port is bound, and without sharing.
    QUdpSocket other;
    QCOMPARE(w.udpServ->localPort(), fx.config.Port2);
    QVERIFY(!other.bind(QHostAddress::AnyIPv4, quint16(fx.config.Port2),
                        QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint));
}

void TestSlaveCycle::switchIsReadBeforeConfiguration_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("no switch") << QString() << "The configuration file is corrupted.";
    QTest::newRow("with switch") << "-AddErrorMessage" << "1 Section Errors";
}

void TestSlaveCycle::switchIsReadBeforeConfiguration()
{
    QFETCH(QString, commandLine);
    SlaveFixture fx;
    QVERIFY(!fx.load(commandLine, slaveConfigFileText(fx.config, 1, 0, fx.clock.now()).remove(QStringLiteral("[Run]"))));
    QCOMPARE(fx.boxes.shown().size(), size_t(1));
    const BoxRequest &box = fx.boxes.shown().front();
    QCOMPARE(box.title, QStringLiteral("Tolvex Slave Configuration File Error"));
    QTEST(box.text.section(QStringLiteral("\r\n"), 0, 0), "firstLine");
    QVERIFY(box.text.endsWith(QStringLiteral("The program will now terminate.")));
}

void TestSlaveCycle::unconfiguredOrPortInUse_data()
{
    QTest::addColumn<bool>("portInUse");
    QTest::addColumn<bool>("yes");       // the answer to the port's box
    QTest::addColumn<bool>("logExists"); // before the start
    QTest::newRow("no master address") << false << false << false;
    QTest::newRow("port in use, No") << true << false << false;
    QTest::newRow("port in use, Yes, first start") << true << true << false;
    QTest::newRow("port in use, Yes, log present") << true << true << true;
}

void TestSlaveCycle::unconfiguredOrPortInUse()
{
    QFETCH(bool, portInUse);
    QFETCH(bool, yes);
    QFETCH(bool, logExists);
    SlaveFixture fx;
    // Bound only when the port is to be in use: a spare socket on a port of the
    // system's choice could take the very port the fixture chose for the slave.
    QUdpSocket blocker;
    if (portInUse) {
        QVERIFY(blocker.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress));
        fx.config.Port2 = blocker.localPort();
    } else {
        fx.config.IPAdd.clear();
    }
    if (logExists)
        QVERIFY(writeFile(fx.path("Log/TolvexS.log"), "Tolvex Slave\r\n"));
    fx.boxes.setNextAnswer(yes ? BoxAnswer::Yes : BoxAnswer::No);
    QCOMPARE(fx.load(), !yes);

    QCOMPARE(fx.boxes.shown().size(), size_t(portInUse)); // no log error on the way out
    if (portInUse) {
        const BoxRequest &box = fx.boxes.shown().front();
        QCOMPARE(box.title, QStringLiteral("Tolvex Slave Port Error"));
        QCOMPARE(box.text, QStringLiteral("The RX Port %1 Is Already In Use.\r\nThis Error Must Be Resolved Before\r\n"
                                          "You Can Use Tolvex Slave.\r\nUse The Configuration Screen\r\n"
                                          "To Change The RX Port.\r\nDo You Want To End The Program?")
                               .arg(blocker.localPort()));
        QVERIFY(box.icon == BoxIcon::Critical && box.buttons == BoxButtons::YesNo);
    }
    if (yes) { // ended through the window's unload: its "Exit" line, the tray removed
        QVERIFY(!fx.tray.isShown());
        QCOMPARE(fx.pairs().contains(QStringLiteral("Exit|Initialise")), logExists);
        return;
    }
    TolvexSMain &w = *fx.window;
    QVERIFY(w.st.NotConfigured);
    QCOMPARE(w.ui->Title->text(), QStringLiteral("Click Configure To Set Up Tolvex Slave"));
    QCOMPARE(colors::foreColor(w.ui->Title), quint32(0x80FF));
    QVERIFY(fx.pairs().contains(QStringLiteral("UnConfig|********")));
    QVERIFY(!fx.pairs().contains(QStringLiteral("Start|Initialise")));
    QVERIFY(fx.seconds(10));
    QVERIFY(w.st.RunState == 0 && w.st.Count == 3);
}

void TestSlaveCycle::activationAndRun()
{
    SlaveFixture fx;
    fx.config.LogLevel = 3;
    QVERIFY(fx.load());
    TolvexSMain &w = *fx.window;
    // Each full-level line ends with the link's state.
    auto lastLine = [&fx](const char *tail) { return fx.log().endsWith(QLatin1String(tail) + QStringLiteral("\r\n")); };

    QVERIFY(fx.seconds(2));
    QCOMPARE(w.ui->Counter->text(), QStringLiteral("Program Activation in 1s"));
    QVERIFY(lastLine(",  Inactive ,           , Count:    1, Comms: ...."));
    QVERIFY(fx.seconds());
    QCOMPARE(fx.pairs(QStringLiteral("Start|Initialise")),
             QStringList({"Start|Initialise", "Inactive|", "Inactive|", "Enter|Run"}));

    QVERIFY(fx.seconds());
    QCOMPARE(w.ui->Counter->text(), QStringLiteral("Not connected for the last 1s"));
    QCOMPARE(colors::foreColor(w.ui->Counter), quint32(0x80FF));
    QVERIFY(lastLine(",  Run      ,           , Count:    1, Comms: Fail"));

    // A valid datagram during the second: connected at the next step.
    w.st.NoComms = 0;
    w.st.LinkStatus = QStringLiteral("-OK-");
    QVERIFY(fx.seconds());
    QCOMPARE(w.ui->Counter->text(), QStringLiteral("Connected"));
    QCOMPARE(colors::foreColor(w.ui->Counter), quint32(0x8000));
    QVERIFY(lastLine(",  Run      ,           , Count:    0, Comms: -OK-"));
    w.st.LinkStatus = QStringLiteral("Error");
    QVERIFY(fx.seconds());
    QVERIFY(lastLine(",  Run      ,           , Count:    1, Comms: Error"));

    // Five silent seconds reach the limit; the countdown's first step runs at once.
    QVERIFY(fx.seconds(3));
    QCOMPARE(w.st.RunState, 1);
    QVERIFY(fx.seconds());
    QCOMPARE(fx.pairs(QStringLiteral("Enter|Power Off")), QStringList({"Enter|Power Off", "Power Off|"}));
}

void TestSlaveCycle::countdownWarningAndReset()
{
    SlaveFixture fx;
    fx.admin = false;
    fx.config.UserExitA = 1; // a user who may not exit, and so may not cancel
    fx.config.StartDelay = 1;
    fx.config.ShutType = 4;
    QVERIFY(fx.load(QStringLiteral("-InhibitShutdown")));
    TolvexSMain &w = *fx.window;
    Ui::TolvexSMain &ui = *w.ui;
    QVERIFY(fx.reach(2));
    QCOMPARE(ui.Counter->text(), QStringLiteral("Tolvex Slave Will Close In 6s"));
    QCOMPARE(colors::foreColor(ui.Counter), quint32(0xFFFFFF));
    QCOMPARE(colors::backColor(ui.Counter), quint32(0x80FF));
    QVERIFY(!ui.Reset->isEnabled() && !w.mPopUpCancel->isVisible());

    // The master's reset ends the countdown; what only the rights give stays off.
    w.Reset_Click();
    QCOMPARE(fx.pairs(QStringLiteral("Reset|Monitor")), QStringList({"Reset|Monitor", "Start|Initialise"}));
    QCOMPARE(colors::backColor(ui.Counter), colors::kButtonFace);
    QVERIFY(ui.Reset->isEnabled() && w.mPopUpReset->isVisible());
    for (QAbstractButton *b : {ui.Config, ui.TestS, ui.Exit})
        QVERIFY(!b->isEnabled());
    QVERIFY(!w.mPopUpExit->isEnabled() && !w.mPopUpTest->isEnabled() && !w.closeAllowed());
}

void TestSlaveCycle::testRun_data()
{
    QTest::addColumn<bool>("admin");
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<int>("timeout"); // of the box
    QTest::newRow("administrator") << true << QString() << 600;
    QTest::newRow("user") << false << QString() << 30;
    QTest::newRow("with a switch") << true << "-InhibitShutdown" << 3;
}

void TestSlaveCycle::testRun()
{
    QFETCH(bool, admin);
    QFETCH(QString, commandLine);
    SlaveFixture fx;
    fx.admin = admin;
    QVERIFY(fx.load(commandLine));
    TolvexSMain &w = *fx.window;
    w.TestS_Click();
    QCOMPARE(w.windowTitle(), QStringLiteral("Tolvex Slave - Test Mode"));
    QCOMPARE(w.ui->Counter->text(), QStringLiteral("Program Activation in 2s"));
    QVERIFY(!w.ui->About->isEnabled());
    QCOMPARE(fx.pairs(QStringLiteral("*Enter|Test")), QStringList({"*Enter|Test", "*Start|Initialise"}));

    // Two seconds of activation and five silent ones; the timer ticks on behind the box.
    QVERIFY(fx.seconds(6));
    QVERIFY(fx.boxes.shown().empty());
    QVERIFY(fx.seconds());
    QCOMPARE(fx.boxes.shown().size(), size_t(1));
    const BoxRequest &box = fx.boxes.shown().front();
    QCOMPARE(box.title + QLatin1Char('|') + box.text, QStringLiteral("Tolvex Slave Test|Test Power Off"));
    QTEST(box.timeoutSeconds, "timeout");
    QCOMPARE(fx.log().count(QStringLiteral(", *Simulate , Power Off ,")), 1);

    // Back to a normal run, nothing powered and nothing ended.
    QVERIFY(!w.st.TestMode && w.st.RunState == 0);
    QCOMPARE(w.windowTitle(), QStringLiteral("Tolvex Slave"));
    QVERIFY(fx.power.calls().empty() && !fx.end.ended());
}

void TestSlaveCycle::stopTimeStartsCountdown()
{
    SlaveFixture fx;
    fx.config.StartDelay = 2;
    fx.config.Stop_On = 2;
    fx.config.StopTime = 1215;
    fx.config.Force = 1;
    fx.config.NoWarn = 2;
    fx.config.CPUDelay = 60;
    fx.clock.setTime(QTime(12, 14, 56));
    QVERIFY(fx.load());
    QCOMPARE(fx.window->ui->Title->text(), QStringLiteral("Power Off if no communications for over 60 sec or until 12:15"));
    // The link stays good; the stop minute ends the run all the same, with the (fake)
    // power call.
    bool running = true;
    for (int i = 0; i < 6 && running; ++i) {
        fx.window->st.NoComms = 0;
        running = fx.seconds();
    }
    QVERIFY(!running);
    // Below the full level: no "Inactive" and "Run" lines, no link field.
    QCOMPARE(fx.pairs(QStringLiteral("Start|Initialise")),
             QStringList({"Start|Initialise", "Enter|Run", "Enter|Power Off", "Silent(F)|Power Off", "Start|Power Off",
                          "Close|Power Off"}));
    QVERIFY(!fx.log().contains(QStringLiteral("Comms:")));
    QCOMPARE(fx.power.performed().size(), size_t(1));
    QVERIFY(!fx.power.performed().front().force);
}

QTEST_MAIN(TestSlaveCycle)
#include "test_slave_cycle.moc"

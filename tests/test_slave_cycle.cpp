#include <QtTest>

#include "SlaveFixture.h"
#include "UdpEndpoint.h"
#include "VbColor.h"
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

using namespace tolvex;
using namespace tolvex::test;

namespace {

template <typename T> T *control(SlaveFixture &fx, const char *name)
{
    return fx.window->findChild<T *>(QLatin1String(name));
}

QString text(SlaveFixture &fx, const char *name)
{
    if (auto *edit = control<QLineEdit>(fx, name))
        return edit->text();
    return control<QLabel>(fx, name)->text();
}

} // namespace

class TestSlaveCycle : public QObject {
    Q_OBJECT

private slots:
    void startUp();
    void descriptions_data();
    void descriptions();
    void switchIsReadBeforeConfiguration_data();
    void switchIsReadBeforeConfiguration();
    void unconfiguredSlaveStaysIdle();
    void clockActivation();
    void activationAndRun();
    void levelTwoHasNoLinkField();
    void countdownWarning();
    void resetCancelsCountdown();
    void nonAdministratorCannotCancel();
    void testRun_data();
    void testRun();
    void stopTimeStartsCountdown();
};

void TestSlaveCycle::startUp()
{
    SlaveFixture fx;
    QVERIFY(fx.load());
    TolvexSMain &w = *fx.window;

    QCOMPARE(w.windowTitle(), QStringLiteral("Tolvex Slave"));
    QCOMPARE(text(fx, "Title"), QStringLiteral("Power Off if no communications for over 5 sec"));
    QCOMPARE(text(fx, "Counter"), QStringLiteral("Program Activation in 3s"));
    QVERIFY(w.timerEnabled());
    QCOMPARE(w.st.RunState, 0);
    QCOMPARE(w.st.TxMessage, QStringLiteral("<LOC000>"));
    QCOMPARE(w.st.LinkStatus, QStringLiteral("...."));
    QVERIFY(fx.boxes.shown().empty());
    QVERIFY(w.udpServ->isBound());

    QVERIFY(!fx.tray.calls().empty());
    QCOMPARE(int(fx.tray.calls().front().call), int(RecordingTrayService::Call::Add));
    QCOMPARE(fx.tray.calls().front().tip, QStringLiteral("Tolvex Slave"));

    QCOMPARE(fx.logLines().value(0), QStringLiteral("Tolvex Slave"));
    QVERIFY(fx.pairs().contains(QStringLiteral("Start|Initialise")));

    for (const char *name : {"Config", "TestS", "Exit", "Reset", "About"})
        QVERIFY2(control<QPushButton>(fx, name)->isEnabled(), name);

    QStringList captions;
    for (QAction *a : w.MenuPopUp->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(captions, QStringList({"About Tolvex Slave", "-", "Cancel", "Configure", "Minimise", "Reset", "Restore",
                                    "Test", "Update", "-", "Close Tolvex Slave"}));
    QVERIFY(!w.mPopUpCancel->isVisible());
}

void TestSlaveCycle::descriptions_data()
{
    QTest::addColumn<int>("shutType");
    QTest::addColumn<int>("stopOn");
    QTest::addColumn<int>("startTime");
    QTest::addColumn<int>("startDelay");
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("counter");

    QTest::newRow("power off") << 1 << 1 << 1 << 3 << QString()
                               << "Power Off if no communications for over 5 sec" << "Program Activation in 3s";
    QTest::newRow("monitor with stop time") << 4 << 2 << 1 << 3 << QString()
                                            << "Monitor until no communications for over 5 sec or until 09:30"
                                            << "Program Activation in 3s";
    QTest::newRow("start shutdown names 60") << 2 << 1 << 1 << 3 << "-StartShutdown"
                                             << "Reboot if no communications for over 60 sec"
                                             << "Program Activation in 3s";
    QTest::newRow("inhibit shutdown forces 6") << 6 << 1 << 1 << 3 << "-InhibitShutdown -AllowMulti"
                                               << "Standby if no communications for over 6 sec"
                                               << "Program Activation in 3s";
    QTest::newRow("clock activation") << 7 << 1 << 2 << 5 << QString()
                                      << "Log Off if no communications for over 5 sec"
                                      << "Program Activation at 00:05";
}

void TestSlaveCycle::descriptions()
{
    QFETCH(int, shutType);
    QFETCH(int, stopOn);
    QFETCH(int, startTime);
    QFETCH(int, startDelay);
    QFETCH(QString, commandLine);
    SlaveFixture fx;
    fx.config.ShutType = shutType;
    fx.config.Stop_On = stopOn;
    fx.config.StopTime = 930;
    fx.config.StartTime = startTime;
    fx.config.StartDelay = startDelay;
    QVERIFY(fx.load(commandLine));
    QTEST(text(fx, "Title"), "title");
    QTEST(text(fx, "Counter"), "counter");
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
    fx.writeConfigText(slaveConfigFileText(fx.config, 1, 0, fx.clock.now()).replace(QStringLiteral("[Run]"), QString()));
    fx.make(commandLine);
    QVERIFY(!fx.runs([&fx] { fx.window->Form_Load(); }));
    QCOMPARE(fx.boxes.shown().size(), size_t(1));
    const BoxRequest &box = fx.boxes.shown().front();
    QCOMPARE(box.title, QStringLiteral("Tolvex Slave Configuration File Error"));
    QTEST(box.text.split(QStringLiteral("\r\n")).value(0), "firstLine");
    QVERIFY(box.text.endsWith(QStringLiteral("The program will now terminate.")));
    QVERIFY(!fx.tray.isShown());
}

void TestSlaveCycle::unconfiguredSlaveStaysIdle()
{
    SlaveFixture fx;
    fx.config.IPAdd.clear();
    QVERIFY(fx.load());
    TolvexSMain &w = *fx.window;
    QVERIFY(w.st.NotConfigured);
    QCOMPARE(text(fx, "Title"), QStringLiteral("Click Configure To Set Up Tolvex Slave"));
    QCOMPARE(colors::foreColor(control<QLabel>(fx, "Title")), quint32(0x80FF));
    QCOMPARE(text(fx, "Counter"), QString());
    QVERIFY(fx.pairs().contains(QStringLiteral("UnConfig|********")));
    QVERIFY(!fx.pairs().contains(QStringLiteral("Start|Initialise")));

    QVERIFY(fx.seconds(10));
    QCOMPARE(w.st.RunState, 0);
    QCOMPARE(w.st.Count, 3);
    w.TestS_Click();
    QVERIFY(!w.st.TestMode);
    QVERIFY(w.timerEnabled());
}

void TestSlaveCycle::clockActivation()
{
    SlaveFixture fx;
    fx.config.StartTime = 2;
    fx.config.StartDelay = 1230;
    fx.clock.setTime(QTime(12, 29, 45));
    QVERIFY(fx.load());
    QCOMPARE(fx.window->st.Count, 60);

    // A time already passed today activates after one second, not tomorrow.
    fx.clock.setTime(QTime(13, 0, 0));
    fx.window->Reset_Click();
    QCOMPARE(fx.window->st.Count, 1);
    QVERIFY(fx.second());
    QCOMPARE(fx.window->st.RunState, 1);
}

void TestSlaveCycle::activationAndRun()
{
    SlaveFixture fx;
    fx.config.LogLevel = 3;
    QVERIFY(fx.load());
    TolvexSMain &w = *fx.window;

    QVERIFY(fx.seconds(2));
    QCOMPARE(text(fx, "Counter"), QStringLiteral("Program Activation in 1s"));
    QVERIFY(fx.second());
    QCOMPARE(w.st.RunState, 1);
    QCOMPARE(w.st.LinkStatus, QStringLiteral("Fail"));
    QCOMPARE(fx.pairsFrom(QStringLiteral("Start|Initialise")),
             QStringList({"Start|Initialise", "Inactive|", "Inactive|", "Enter|Run"}));
    QVERIFY(fx.log().contains(QStringLiteral(",  Inactive ,           , Count:    2, Comms: ....")));

    QVERIFY(fx.second());
    QCOMPARE(text(fx, "Counter"), QStringLiteral("Not connected for the last 1s"));
    QCOMPARE(colors::foreColor(control<QLineEdit>(fx, "Counter")), quint32(0x80FF));
    QVERIFY(fx.log().endsWith(QStringLiteral(",  Run      ,           , Count:    1, Comms: Fail\r\n")));

    // A valid datagram during the second: connected at the next step.
    w.st.NoComms = 0;
    w.st.LinkStatus = QStringLiteral("-OK-");
    QVERIFY(fx.second());
    QCOMPARE(w.st.Count, 0);
    QCOMPARE(text(fx, "Counter"), QStringLiteral("Connected"));
    QCOMPARE(colors::foreColor(control<QLineEdit>(fx, "Counter")), quint32(0x8000));
    QVERIFY(fx.log().endsWith(QStringLiteral(",  Run      ,           , Count:    0, Comms: -OK-\r\n")));
    QCOMPARE(w.st.NoComms, 1);

    // Five silent seconds reach the limit; the countdown's first step runs at once.
    QVERIFY(fx.seconds(4));
    QCOMPARE(w.st.RunState, 1);
    QVERIFY(fx.second());
    QCOMPARE(w.st.RunState, 2);
    QCOMPARE(w.st.Count, 1);
    QCOMPARE(fx.pairs().last(), QStringLiteral("Power Off|"));
    QVERIFY(fx.pairs().contains(QStringLiteral("Enter|Power Off")));
}

void TestSlaveCycle::levelTwoHasNoLinkField()
{
    SlaveFixture fx;
    QVERIFY(fx.load());
    QVERIFY(fx.reach(1));
    fx.window->Reset_Click();
    QVERIFY(fx.pairs().contains(QStringLiteral("Reset|Run")));
    QVERIFY(!fx.log().contains(QStringLiteral("Comms:")));
    QVERIFY(!fx.pairs().contains(QStringLiteral("Inactive|")));
}

void TestSlaveCycle::countdownWarning()
{
    SlaveFixture fx;
    fx.config.StartDelay = 1;
    QVERIFY(fx.load(QStringLiteral("-InhibitShutdown")));
    QVERIFY(fx.reach(2));
    TolvexSMain &w = *fx.window;
    auto *counter = control<QLineEdit>(fx, "Counter");
    auto *cpuLoad = control<QLabel>(fx, "CPULoad");
    QCOMPARE(counter->text(), QStringLiteral("The Computer Will Power Off In 6s"));
    QCOMPARE(colors::foreColor(counter), quint32(0xFFFFFF));
    QCOMPARE(colors::backColor(counter), quint32(0x80FF));
    QVERIFY(counter->font().bold());
    QCOMPARE(cpuLoad->text(), QString());
    QCOMPARE(colors::backColor(cpuLoad), quint32(0x80FF));
    QCOMPARE(control<QPushButton>(fx, "Reset")->text(), QStringLiteral("&Cancel"));
    QCOMPARE(control<QPushButton>(fx, "Reset")->toolTip(), QStringLiteral("Cancel Tolvex Slave Power Off"));
    for (const char *name : {"Config", "About", "TestS", "Exit", "Update"})
        QVERIFY2(!control<QPushButton>(fx, name)->isEnabled(), name);
    QVERIFY(w.mPopUpCancel->isVisible());
    QVERIFY(!w.mPopUpReset->isVisible());

    // The step that shows 0s acts.
    QVERIFY(fx.seconds(5));
    QCOMPARE(counter->text(), QStringLiteral("The Computer Will Power Off In 1s"));
    QVERIFY(!fx.second());
    QCOMPARE(counter->text(), QStringLiteral("The Computer Will Power Off In 0s"));
    QCOMPARE(fx.boxes.shown().size(), size_t(1));
}

void TestSlaveCycle::resetCancelsCountdown()
{
    SlaveFixture fx;
    fx.config.StartDelay = 1;
    fx.config.ShutType = 4;
    QVERIFY(fx.load(QStringLiteral("-InhibitShutdown")));
    QVERIFY(fx.reach(2));
    QCOMPARE(text(fx, "Counter"), QStringLiteral("Tolvex Slave Will Close In 6s"));

    fx.window->Reset_Click();
    TolvexSMain &w = *fx.window;
    QCOMPARE(fx.pairs().last(), QStringLiteral("Start|Initialise"));
    QVERIFY(fx.pairs().contains(QStringLiteral("Reset|Monitor")));
    QCOMPARE(w.st.RunState, 0);
    QCOMPARE(w.st.Count, 1);
    QCOMPARE(control<QPushButton>(fx, "Reset")->text(), QStringLiteral("&Reset"));
    QCOMPARE(colors::backColor(control<QLineEdit>(fx, "Counter")), colors::kButtonFace);
    QVERIFY(!control<QLineEdit>(fx, "Counter")->font().bold());
    QVERIFY(!w.mPopUpCancel->isVisible());
    QVERIFY(w.mPopUpReset->isVisible());
    QVERIFY(w.timerEnabled());
    QVERIFY(fx.boxes.shown().empty());
}

void TestSlaveCycle::nonAdministratorCannotCancel()
{
    SlaveFixture fx;
    fx.admin = false;
    fx.config.UserExitA = 1;
    fx.config.StartDelay = 1;
    QVERIFY(fx.load(QStringLiteral("-InhibitShutdown")));
    TolvexSMain &w = *fx.window;
    QVERIFY(!w.closeAllowed());
    QVERIFY(!control<QPushButton>(fx, "TestS")->isEnabled());
    QVERIFY(fx.reach(2));
    QVERIFY(!control<QPushButton>(fx, "Reset")->isEnabled());
    QVERIFY(!w.mPopUpCancel->isVisible());

    // The master's reset command ends the countdown; what the countdown disabled stays so.
    w.Reset_Click();
    QCOMPARE(w.st.RunState, 0);
    for (const char *name : {"TestS", "Config", "Exit"})
        QVERIFY2(!control<QPushButton>(fx, name)->isEnabled(), name);
    QVERIFY(!w.mPopUpConfig->isEnabled());
    QVERIFY(!w.mPopUpTest->isEnabled());
    QVERIFY(!w.mPopUpExit->isEnabled());
    QVERIFY(!w.closeAllowed());
}

void TestSlaveCycle::testRun_data()
{
    QTest::addColumn<bool>("admin");
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<int>("timeout");
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
    QVERIFY(w.st.TestMode);
    QCOMPARE(w.st.Count, 2);
    QCOMPARE(w.st.CommsLimit, 5);
    QCOMPARE(text(fx, "Counter"), QStringLiteral("Program Activation in 2s"));
    QVERIFY(!control<QPushButton>(fx, "About")->isEnabled());
    QVERIFY(!w.mPopUpUpdate->isEnabled());
    QVERIFY(fx.pairs().contains(QStringLiteral("*Enter|Test")));

    QVERIFY(fx.seconds(2));
    QCOMPARE(w.st.RunState, 1);
    QVERIFY(fx.seconds(4));
    QVERIFY(fx.boxes.shown().empty());
    QVERIFY(fx.second());
    QCOMPARE(fx.boxes.shown().size(), size_t(1));
    const BoxRequest &box = fx.boxes.shown().front();
    QCOMPARE(box.title, QStringLiteral("Tolvex Slave Test"));
    QCOMPARE(box.text, QStringLiteral("Test Power Off"));
    QTEST(box.timeoutSeconds, "timeout");
    QVERIFY(fx.pairs().contains(QStringLiteral("*Simulate|Power Off")));

    // Back to a normal run, nothing powered and nothing ended.
    QVERIFY(!w.st.TestMode);
    QCOMPARE(w.st.RunState, 0);
    QCOMPARE(w.windowTitle(), QStringLiteral("Tolvex Slave"));
    QVERIFY(w.mPopUpUpdate->isEnabled());
    QVERIFY(fx.power.calls().empty());
    QVERIFY(!fx.end.ended());
}

void TestSlaveCycle::stopTimeStartsCountdown()
{
    SlaveFixture fx;
    fx.config.StartDelay = 1;
    fx.config.Stop_On = 2;
    fx.config.StopTime = 1215;
    fx.config.Force = 1;
    fx.config.NoWarn = 2;
    fx.config.CPUDelay = 60;
    fx.clock.setTime(QTime(12, 14, 57));
    QVERIFY(fx.load());
    QCOMPARE(text(fx, "Title"), QStringLiteral("Power Off if no communications for over 60 sec or until 12:15"));
    QVERIFY(fx.reach(1));
    // The link stays good; the stop minute ends the run all the same.
    bool running = true;
    for (int i = 0; i < 5 && running; ++i) {
        fx.window->st.NoComms = 0;
        running = fx.second();
    }
    QVERIFY(!running);
    QCOMPARE(fx.pairsFrom(QStringLiteral("Silent(F)|Power Off")),
             QStringList({"Silent(F)|Power Off", "Start|Power Off", "Close|Power Off"}));
    QCOMPARE(fx.power.performed().size(), size_t(1));
    QVERIFY(!fx.power.performed().front().force);
}

QTEST_MAIN(TestSlaveCycle)
#include "test_slave_cycle.moc"

// The master's configuration screen without its main window: loading, the value
// string, the field states, the two-step Exit, Restore, the rights and the timers.
#include "MasterScreen.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

// What the field states show, in one line.
QString statesShown(const MasterScreen &f)
{
    auto on = [&f](const char *name) { return f.control(name)->isEnabled() ? QStringLiteral("on") : QStringLiteral("off"); };
    return QStringList{f.text("IPAddL"), f.control("IPAddT2")->toolTip(), "Force " + on("ForceT"), f.text("ShutTypeM"),
                       f.text("StartDelayL") + ' ' + f.text("StartDelayM"), f.control("StartDelayT")->toolTip(),
                       "DelTime " + on("DelTimeT"), "StopTime " + on("StopTimeT"), "ShutTime " + on("ShutTimeT"),
                       QString::number(colors::backColor(f.control("ShutTimeT")), 16)}
        .join(" | ");
}

} // namespace

class ConfigScreenTest : public QObject {
    Q_OBJECT
private slots:
    void loadsTheRunningValues();
    void fieldStates_data();
    void fieldStates();
    void handlersFollowTheFields();
    void exitTwoStep_data();
    void exitTwoStep();
    void restore();
    void rights_data();
    void rights();
    void closingCountdown_data();
    void closingCountdown();
    void startModeEmptiesTheOtherKind();
    void topmostAndLogo();
};

void ConfigScreenTest::loadsTheRunningValues()
{
    MasterScreen f(masterRecordWith({"FAT_On=2", "StartDelay=10930", "StopTime=10005", "ShutType=6", "LogLevel=3"}));
    frmConfig &s = f.open();
    QCOMPARE(s.windowTitle(), QStringLiteral("Tolvex Configuration"));
    QCOMPARE(f.text("StartDelayT") + ' ' + f.text("StopTimeT") + ' ' + f.text("ShutNameT") + ' ' + f.text("LogLevelT"),
             QStringLiteral("09:30 00:05 StandBy Full"));
    QCOMPARE(s.ShutTypeIndex, 6);
    QCOMPARE(s.LogLevelIndex, 3);
    QVERIFY(f.host.DialogOpen);
    QVERIFY(!s.Loading);
    QCOMPARE(f.text("Status"), QString());
    QCOMPARE(f.host.ConfigCountdown, 600);
    QCOMPARE(s.Signature, s.BuildValueString());

    // The default values with two computers; the last five values are joined by ", ".
    MasterScreen d;
    d.open();
    QCOMPARE(d.screen->BuildValueString(),
             QStringLiteral("60,0,1,10.1.1.1,,,,Master,Node1,,,,TolvexM.log,Log\\\\,1,10000,10001,0,0,60,2,2,1,0,00:00,1, 0, "
                            "900, 0, 1"));
    // A comma moved from one field into the next is still a change.
    d.set({"CompT2=a,b", "CompT3="});
    const QString before = d.screen->BuildValueString();
    d.set({"CompT2=a", "CompT3=,b"});
    QVERIFY(d.screen->BuildValueString() != before);
}

void ConfigScreenTest::fieldStates_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("expected");
    const QString ipTip = "IP Address of remote computer 2  (Empty or a valid IP address - must be set if Remote Computer 2 name is set)";
    const QString nameTip = "Domain name of remote computer 2  (Empty or a valid domain name - must be set if Remote Computer 2 name is set)";
    const QString delay = "Activate After: sec (min 1, max 3600) | Delay in seconds after startup before program is activated";
    const QString clock = "Activate At: Time in the format xx:xx | Time at which program is activated in the format 'xx:xx' (24 hour clock)";
    const QString window = "80000005";
    const QString face = "8000000f";
    QTest::newRow("defaults") << QStringList{} << QStringList{"IP Address", ipTip, "Force on", "(Forces Applications To Close)", delay,
                                                    "DelTime off", "StopTime off", "ShutTime on", window}.join(" | ");
    QTest::newRow("names, clock, both limits, silent")
        << QStringList{"DName=2", "FAT_On=2", "StartDelay=10800", "Del_On=2", "Stop_On=2", "NoWarn=2", "IPAdd1=node1"}
        << QStringList{"Domain Name", nameTip, "Force on", "(Forces Applications To Close)", clock, "DelTime on",
                       "StopTime on", "ShutTime off", face}.join(" | ");
    QTest::newRow("monitor") << QStringList{"ShutType=4"} << QStringList{"IP Address", ipTip, "Force off", "(Monitor computer only)",
                                                                         delay, "DelTime off", "StopTime off", "ShutTime on", window}.join(" | ");
    QTest::newRow("standby") << QStringList{"ShutType=6"} << QStringList{"IP Address", ipTip, "Force off", "", delay, "DelTime off",
                                                                         "StopTime off", "ShutTime on", window}.join(" | ");
    QTest::newRow("shutdown, not forced") << QStringList{"ShutType=3", "Force=1"}
                                          << QStringList{"IP Address", ipTip, "Force on", "(Forces Applications To Close)", delay,
                                                         "DelTime off", "StopTime off", "ShutTime on", window}.join(" | ");
    QTest::newRow("log off, forced") << QStringList{"ShutType=7"} << QStringList{"IP Address", ipTip, "Force on", "(Forces Applications To Close)",
                                                                                 delay, "DelTime off", "StopTime off", "ShutTime on", window}.join(" | ");
    QTest::newRow("log off, not forced") << QStringList{"ShutType=7", "Force=1"}
                                         << QStringList{"IP Address", ipTip, "Force on", "", delay, "DelTime off", "StopTime off",
                                                        "ShutTime on", window}.join(" | ");
}

void ConfigScreenTest::fieldStates()
{
    QFETCH(QStringList, keys);
    QFETCH(QString, expected);
    MasterScreen f(masterRecordWith(keys));
    f.open();
    QCOMPARE(statesShown(f), expected);
}

// Lists and check boxes changed after opening run their handlers, from code as from
// the user.
void ConfigScreenTest::handlersFollowTheFields()
{
    MasterScreen f;
    frmConfig &s = f.open();
    f.set("ShutNameT=Monitor");
    QCOMPARE(s.ShutTypeIndex, 4);
    QCOMPARE(f.text("ShutTypeM"), QStringLiteral("(Monitor computer only)"));
    QVERIFY(!f.control("ForceT")->isEnabled());
    f.set({"ShutNameT=Log Off", "ForceT=0"});
    QCOMPARE(f.text("ShutTypeM"), QString());
    f.set("ForceT=1");
    QCOMPARE(f.text("ShutTypeM"), QStringLiteral("(Forces Applications To Close)"));
    f.set({"Del_OnT=1", "Stop_OnT=1", "NoWarnT=1"});
    QVERIFY(f.control("DelTimeT")->isEnabled() && f.control("StopTimeT")->isEnabled());
    QVERIFY(!f.control("ShutTimeT")->isEnabled());

    // The address mode clears every marker and changes the column's caption.
    f.set("CPUDelayT=1");
    QVERIFY(s.ValidateFields() > 0);
    QVERIFY(!f.marked().isEmpty());
    f.set("DNameT=1");
    QCOMPARE(f.marked(), QStringList());
    QCOMPARE(f.text("IPAddL"), QStringLiteral("Domain Name"));
}

void ConfigScreenTest::exitTwoStep_data()
{
    QTest::addColumn<bool>("admin");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("notConfigured");
    QTest::addColumn<int>("pressesToLeave");
    QTest::addColumn<int>("applies");
    QTest::newRow("admin, nothing changed") << true << "" << false << false << 1 << 0;
    QTest::newRow("admin, a field changed") << true << "CPUDelayT=45" << false << false << 2 << 0;
    // The log level counts only once a field check has run.
    QTest::newRow("admin, only the log level") << true << "LogLevelT=Full" << false << false << 1 << 0;
    QTest::newRow("admin, after a save") << true << "" << true << false << 1 << 1;
    QTest::newRow("user, a field changed") << false << "CPUDelayT=45" << false << false << 1 << 0;
    QTest::newRow("user, not configured") << false << "CPUDelayT=45" << false << true << 1 << 1;
}

void ConfigScreenTest::exitTwoStep()
{
    QFETCH(bool, admin);
    QFETCH(QString, edit);
    QFETCH(bool, saved);
    QFETCH(bool, notConfigured);
    QFETCH(int, pressesToLeave);
    QFETCH(int, applies);
    MasterScreen f;
    f.host.admin = admin;
    f.host.NotConfigured = notConfigured;
    frmConfig &s = f.open();
    if (!edit.isEmpty())
        f.set(edit);
    f.host.ConfigSaved = saved;
    for (int press = 1; press < pressesToLeave; ++press) {
        s.ExitConfig_Click();
        QVERIFY(!s.isUnloaded());
        QCOMPARE(f.text("ExitConfig"), QStringLiteral("&Cancel"));
        QCOMPARE(f.text("Status"), QStringLiteral("Click Cancel to exit without saving changes"));
        QCOMPARE(f.control("ExitConfig")->toolTip(), QStringLiteral("Close Tolvex Configuration Screen without saving changes"));
    }
    s.ExitConfig_Click();
    QVERIFY(s.isUnloaded());
    QCOMPARE(f.host.restores, 1);
    QVERIFY(!f.host.DialogOpen);
    QCOMPARE(f.host.applies, applies);
}

void ConfigScreenTest::restore()
{
    MasterScreen f(masterRecordWith({"CPUDelay=45", "Del_On=2", "DelTime=1200", "Force=1", "LogLevel=3", "LogName=Other.log",
                               "LogR_On=1", "NoWarn=2", "Port1=12000", "Port2=12001", "RunOnTop=2", "ShutTime=30",
                               "StartMin=2", "ShutType=2", "FAT_On=2", "StartDelay=10830", "StopTime=12230",
                               "Stop_On=2", "UserExitA=1", "Update_On=1", "DName=2", "IPAdd1=node1"}));
    frmConfig &s = f.open();
    f.set("CPUDelayT=1");
    s.ExitConfig_Click();
    QCOMPARE(f.text("ExitConfig"), QStringLiteral("&Cancel"));
    QVERIFY(s.ValidateFields() > 0);

    s.Restore_Click();
    MasterScreen d(masterRecordWith({"DName=2", "IPAdd1=node1"}));
    d.open();
    d.screen->ValidateFields();
    s.ValidateFields();  // refreshes the log level's index, as Save does
    QCOMPARE(s.BuildValueString(), d.screen->BuildValueString());
    QCOMPARE(f.text("Status"), QStringLiteral("Defaults Restored - Click Save To Keep"));
    QCOMPARE(f.text("ExitConfig"), QStringLiteral("&Exit"));
    QCOMPARE(f.marked(), QStringList());
    QVERIFY(s.Timer2->isActive());
    QVERIFY(!(s.windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(f.host.program.shown().empty());
    // Nothing is saved; the defaults differ from the running values.
    s.ExitConfig_Click();
    QCOMPARE(f.text("ExitConfig"), QStringLiteral("&Cancel"));
}

void ConfigScreenTest::rights_data()
{
    QTest::addColumn<bool>("admin");
    QTest::addColumn<int>("userExit");
    QTest::addColumn<int>("logLevel");
    QTest::addColumn<QString>("expected");  // Save Restore Archive ViewL
    QTest::newRow("admin") << true << 1 << 2 << "1111";
    QTest::newRow("admin, no log") << true << 2 << 1 << "1100";
    QTest::newRow("user who may exit") << false << 2 << 3 << "0011";
    QTest::newRow("user who may not exit") << false << 1 << 2 << "0000";
}

void ConfigScreenTest::rights()
{
    QFETCH(bool, admin);
    QFETCH(int, userExit);
    QFETCH(int, logLevel);
    QFETCH(QString, expected);
    MasterScreen f(masterRecordWith({"UserExitA=" + QString::number(userExit), "LogLevel=" + QString::number(logLevel)}));
    f.host.admin = admin;
    f.open();
    auto buttons = [&f] {
        QString s;
        for (const char *name : {"Save", "Restore", "Archive", "ViewL"})
            s += f.control(name)->isEnabled() ? '1' : '0';
        return s;
    };
    QCOMPARE(buttons(), expected);
    // After a change of the list only administrators get the log buttons back.
    f.set("LogLevelT=None");
    QCOMPARE(buttons(), expected.left(2) + "00");
    f.set("LogLevelT=Normal");
    QCOMPARE(buttons(), expected.left(2) + (admin ? "11" : "00"));
}

void ConfigScreenTest::closingCountdown_data()
{
    QTest::addColumn<bool>("admin");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("seconds");
    QTest::newRow("admin") << true << 0 << 600;
    QTest::newRow("user") << false << 0 << 30;
    QTest::newRow("admin, -InhibitShutdown") << true << 1 << 4;
    QTest::newRow("user, -InhibitShutdown") << false << 1 << 2;
}

void ConfigScreenTest::closingCountdown()
{
    QFETCH(bool, admin);
    QFETCH(int, mode);
    QFETCH(int, seconds);
    MasterScreen f;
    f.host.admin = admin;
    f.host.mode = mode;
    frmConfig &s = f.open();
    QCOMPARE(f.host.ConfigCountdown, seconds);
    QCOMPARE(f.text("TMessage"), QString());
    s.Timer1_Timer();
    const QString first = seconds <= 90 ? "The Configuration Screen will close in " + QString::number(seconds) + " sec" : QString();
    QCOMPARE(f.text("TMessage"), first);
    while (f.host.ConfigCountdown > 0)
        s.Timer1_Timer();
    QCOMPARE(f.text("TMessage"), QStringLiteral("The Configuration Screen will close in 1 sec"));

    // The status line's time-out empties it and stops itself.
    f.set("CPUDelayT=1");
    s.Save_Click();
    QVERIFY(s.Timer2->isActive());
    s.Timer2_Timer();
    QCOMPARE(f.text("Status"), QString());
    QVERIFY(!s.Timer2->isActive());
}

void ConfigScreenTest::startModeEmptiesTheOtherKind()
{
    MasterScreen f;
    f.open();
    f.set({"StartTimeT=1", "StartDelayT=08:30"});
    f.set("StartTimeT=0");
    QCOMPARE(f.text("StartDelayT"), QString());
    f.set("StartDelayT=120");
    f.set("StartTimeT=1");
    QCOMPARE(f.text("StartDelayT"), QString());
    f.set("StartDelayT=08:30");
    f.set("StartTimeT=0");
    f.set("StartDelayT=2");
    f.set("StartTimeT=0");
    QCOMPARE(f.text("StartDelayT"), QStringLiteral("2"));
}

void ConfigScreenTest::topmostAndLogo()
{
    MasterScreen f(masterRecordWith({"RunOnTop=2"}));
    frmConfig &s = f.open();
    s.Form_Activate();
    QVERIFY(s.windowFlags() & Qt::WindowStaysOnTopHint);
    f.set("RunOnTopT=0");
    QVERIFY(!(s.windowFlags() & Qt::WindowStaysOnTopHint));
    f.set("RunOnTopT=1");
    QVERIFY(s.windowFlags() & Qt::WindowStaysOnTopHint);
    QTest::mouseClick(f.control("Logo"), Qt::LeftButton);
    QCOMPARE(f.host.homePages, 1);
}

QTEST_MAIN(ConfigScreenTest)
#include "test_config_screen.moc"

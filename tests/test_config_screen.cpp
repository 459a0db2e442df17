// The master's configuration screen without its main window: loading, the value
// string, the field states and their handlers, the two-step Exit, the rights and the
// timers. What both screens share is tested here, on the master's.
#include "AltLetterGuard.h"
#include "ScreenFixture.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

struct ExitCase {
    bool admin;
    QString edit;
    bool saved;
    bool notConfigured;
    int pressesToLeave;
    int applies;  // how often leaving applied the file
};

} // namespace

Q_DECLARE_METATYPE(ExitCase)

class ConfigScreenTest : public QObject {
    Q_OBJECT
private slots:
    void loadsTheRunningValues();
    void fieldStates_data();
    void fieldStates();
    void modeTexts();
    void exitTwoStep_data();
    void exitTwoStep();
    void rights_data();
    void rights();
    void closingCountdown_data();
    void closingCountdown();
    void startModeEmptiesTheOtherKind_data();
    void startModeEmptiesTheOtherKind();
    void topmostAndLogo();
    void strayMnemonics_data();
    void strayMnemonics();
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
    QCOMPARE(f.text("Status"), QString());

    // A comma moved from one field into the next is still a change.
    f.set({"CompT2=a,b", "CompT3="});
    const QString before = s.BuildValueString();
    f.set({"CompT2=a", "CompT3=,b"});
    QVERIFY(s.BuildValueString() != before);
}

// The states follow the boxes and lists as the user changes them after opening.
void ConfigScreenTest::fieldStates_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("expected");  // ForceT, ShutTypeM, DelTimeT, StopTimeT, ShutTimeT and its colour
    const QString forces = "(Forces Applications To Close)";
    QTest::newRow("defaults") << QStringList{} << "on|" + forces + "|off|off|on 80000005";
    QTest::newRow("both limits, silent") << QStringList{"Del_OnT=1", "Stop_OnT=1", "NoWarnT=1"}
                                         << "on|" + forces + "|on|on|off 8000000f";
    QTest::newRow("monitor") << QStringList{"ShutNameT=Monitor"} << "off|(Monitor computer only)|off|off|on 80000005";
    QTest::newRow("standby") << QStringList{"ShutNameT=StandBy"} << "off||off|off|on 80000005";
    QTest::newRow("shutdown, not forced") << QStringList{"ShutNameT=Shutdown", "ForceT=0"} << "on|" + forces + "|off|off|on 80000005";
    QTest::newRow("log off, forced") << QStringList{"ShutNameT=Log Off"} << "on|" + forces + "|off|off|on 80000005";
    QTest::newRow("log off, not forced") << QStringList{"ShutNameT=Log Off", "ForceT=0"} << "on||off|off|on 80000005";
}

void ConfigScreenTest::fieldStates()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, expected);
    MasterScreen f;
    f.open();
    f.set(edits);
    auto on = [&f](const char *name) { return f.control(name)->isEnabled() ? QStringLiteral("on") : QStringLiteral("off"); };
    QCOMPARE(QStringList({on("ForceT"), f.text("ShutTypeM"), on("DelTimeT"), on("StopTimeT"),
                          on("ShutTimeT") + ' ' + QString::number(colors::backColor(f.control("ShutTimeT")), 16)})
                 .join('|'),
             expected);
}

// The address mode and the activation mode change captions and tips; the address
// mode also clears every marker.
void ConfigScreenTest::modeTexts()
{
    MasterScreen f(masterRecordWith({"FAT_On=2", "StartDelay=10800"}));
    frmConfig &s = f.open();
    auto shown = [&f] {
        return QStringList{f.text("IPAddL"), f.control("IPAddT1")->toolTip(), f.control("IPAddT3")->toolTip(),
                           f.text("StartDelayL"), f.text("StartDelayM"), f.control("StartDelayT")->toolTip()};
    };
    QCOMPARE(shown(), QStringList({"IP Address", "IP Address of remote computer 1  (A valid IP address)",
                                   "IP Address of remote computer 3  (Empty or a valid IP address - must be set if "
                                   "Remote Computer 3 name is set)",
                                   "Activate At:", "Time in the format xx:xx",
                                   "Time at which program is activated in the format 'xx:xx' (24 hour clock)"}));
    f.set("CPUDelayT=1");
    QVERIFY(s.ValidateFields() > 0);
    f.set({"DNameT=1", "StartTimeT=0"});
    QCOMPARE(f.marked(), QStringList());
    QCOMPARE(shown(), QStringList({"Domain Name",
                                   "Domain name of remote computer 1  (Empty or a valid domain name - must be set if "
                                   "Remote Computer 1 name is set)",
                                   "Domain name of remote computer 3  (Empty or a valid domain name - must be set if "
                                   "Remote Computer 3 name is set)",
                                   "Activate After:", "sec (min 1, max 3600)",
                                   "Delay in seconds after startup before program is activated"}));
}

void ConfigScreenTest::exitTwoStep_data()
{
    QTest::addColumn<ExitCase>("c");
    QTest::newRow("admin, nothing changed") << ExitCase{true, "", false, false, 1, 0};
    QTest::newRow("admin, a field changed") << ExitCase{true, "CPUDelayT=45", false, false, 2, 0};
    // The log level counts only once a field check has run.
    QTest::newRow("admin, only the log level") << ExitCase{true, "LogLevelT=Full", false, false, 1, 0};
    QTest::newRow("admin, after a save") << ExitCase{true, "", true, false, 1, 1};
    QTest::newRow("user, a field changed") << ExitCase{false, "CPUDelayT=45", false, false, 1, 0};
    QTest::newRow("user, not configured") << ExitCase{false, "CPUDelayT=45", false, true, 1, 1};
}

void ConfigScreenTest::exitTwoStep()
{
    QFETCH(ExitCase, c);
    MasterScreen f;
    f.host.admin = c.admin;
    f.host.NotConfigured = c.notConfigured;
    frmConfig &s = f.open();
    if (!c.edit.isEmpty())
        f.set(c.edit);
    f.host.ConfigSaved = c.saved;
    for (int press = 1; press < c.pressesToLeave; ++press) {
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
    QCOMPARE(f.host.applies, c.applies);
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

// A delay in seconds and a clock time never stand in the box of the other mode.
void ConfigScreenTest::startModeEmptiesTheOtherKind_data()
{
    QTest::addColumn<bool>("clock");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("to delay mode, a clock time goes") << false << "08:30" << "";
    QTest::newRow("to clock mode, a delay goes") << true << "120" << "";
    QTest::newRow("to clock mode, a clock time stays") << true << "08:30" << "08:30";
    QTest::newRow("to delay mode, a delay stays") << false << "45" << "45";
}

void ConfigScreenTest::startModeEmptiesTheOtherKind()
{
    QFETCH(bool, clock);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    MasterScreen f;
    f.open();
    f.set({clock ? "StartTimeT=0" : "StartTimeT=1", "StartDelayT=" + typed});
    f.set(clock ? "StartTimeT=1" : "StartTimeT=0");
    QCOMPARE(f.text("StartDelayT"), kept);
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
    // While another window of the program stays on top, the screen never drops behind it.
    test::quietOffscreenWindowWarnings();
    QWidget main;
    main.setWindowFlag(Qt::WindowStaysOnTopHint);
    main.show();
    f.set("RunOnTopT=0");
    QVERIFY(s.windowFlags() & Qt::WindowStaysOnTopHint);
    QTest::mouseClick(f.control("Logo"), Qt::LeftButton);
    QCOMPARE(f.host.homePages, 1);
}

// Alt+letter acts only through an enabled button: a greyed button's letter, or a
// letter no button has, never reaches the field with the focus as typed text.
void ConfigScreenTest::strayMnemonics_data()
{
    QTest::addColumn<bool>("admin");
    QTest::addColumn<int>("logLevel");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("letters");
    QTest::addColumn<int>("viewed");  // View Log's openings
    QTest::newRow("no log: Alt+A, Alt+V in the log name") << true << 1 << "LogNameT" << "av" << 0;
    QTest::newRow("user: Alt+S, Alt+R in a number") << false << 2 << "CPUDelayT" << "sr" << 0;
    QTest::newRow("user: Alt+S, Alt+R in the shut type list") << false << 2 << "ShutNameT" << "sr" << 0;
    QTest::newRow("a letter no button has") << true << 2 << "LogPathT" << "q" << 0;
    QTest::newRow("an enabled button's letter acts") << true << 2 << "LogNameT" << "v" << 1;
}

void ConfigScreenTest::strayMnemonics()
{
    QFETCH(bool, admin);
    QFETCH(int, logLevel);
    QFETCH(QString, field);
    QFETCH(QString, letters);
    QFETCH(int, viewed);
    guardAltLetters(*qApp);  // as both programs do when they start
    test::quietOffscreenWindowWarnings();
    MasterScreen f(masterRecordWith({"LogLevel=" + QString::number(logLevel)}));
    f.host.admin = admin;
    frmConfig &s = f.open();
    s.show();
    s.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&s));
    QWidget *target = f.control(field);
    target->setFocus();
    const QString before = f.text(field);
    for (const QChar letter : letters)
        QTest::keyClick(target, Qt::Key(Qt::Key_A + (letter.unicode() - 'a')), Qt::AltModifier);
    QTest::qWait(300);  // a button pressed by its letter clicks once it has shown the press
    QCOMPARE(f.text(field), before);
    QCOMPARE(f.host.program.desktopService.opened().size(), viewed);
    QVERIFY(f.host.program.shown().empty());
}

QTEST_MAIN(ConfigScreenTest)
#include "test_config_screen.moc"

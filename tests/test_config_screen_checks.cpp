// The master screen's field checks: the count, the markers, and what a screen that
// accepts a value must guarantee about the file the reader will read back.
#include "ScreenFixture.h"

using namespace tolvex;
using namespace tolvex::test;

class ConfigScreenChecksTest : public QObject {
    Q_OBJECT
private slots:
    void checks_data();
    void checks();
    void delayCaption();
    void invalidDataBox();
    void acceptedValuesReadBackValid_data();
    void acceptedValuesReadBackValid();
};

void ConfigScreenChecksTest::checks_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("expected");  // the count of failed checks, then the marked labels
    const QString n26(26, 'n');
    QTest::newRow("all valid") << QStringList{} << "0";
    QTest::newRow("empty numbers read 0") << QStringList{"CPUDelayT=", "ShutTimeT=", "Port1T=", "Port2T="}
                                          << "4 CPUDelayM,Port1M,ShutTimeM";
    QTest::newRow("leading number") << QStringList{"CPUDelayT=12abc"} << "0";
    QTest::newRow("fraction inside the range") << QStringList{"CPUDelayT=5.5"} << "0";
    // Numbers are made whole as the reader makes them, halves to even.
    QTest::newRow("4.6 is 5") << QStringList{"CPUDelayT=4.6"} << "0";
    QTest::newRow("4.5 is 4, not 5") << QStringList{"CPUDelayT=4.5"} << "1 CPUDelayM";
    QTest::newRow("600.5 is 600") << QStringList{"CPUDelayT=600.5"} << "0";
    QTest::newRow("equal delays") << QStringList{"Del_OnT=1", "CPUDelayT=600", "DelTimeT=600"} << "1 DelTimeM";
    QTest::newRow("equal delays, fixed delay off") << QStringList{"CPUDelayT=600", "DelTimeT=600"} << "0";
    QTest::newRow("101.5 and 101.6 are both 102") << QStringList{"Del_OnT=1", "CPUDelayT=101.5", "DelTimeT=101.6"} << "1 DelTimeM";
    QTest::newRow("short delay, fixed delay off") << QStringList{"DelTimeT=59"} << "1 DelTimeM";
    QTest::newRow("delay 60") << QStringList{"Del_OnT=1", "CPUDelayT=59", "DelTimeT=60"} << "0";
    QTest::newRow("same ports") << QStringList{"Port1T=20000", "Port2T=20000"} << "0";
    QTest::newRow("ports out of range") << QStringList{"Port1T=1023", "Port2T=65536"} << "2 Port1M";
    QTest::newRow("stop time 25:00, not used") << QStringList{"StopTimeT=25:00"} << "1 StopTimeM";
    QTest::newRow("clock start 8:30") << QStringList{"StartTimeT=1", "StartDelayT=8:30"} << "1 StartDelayM";
    QTest::newRow("delay 0") << QStringList{"StartDelayT=0"} << "1 StartDelayM";
    QTest::newRow("no shut type") << QStringList{"ShutNameT="} << "1 ShutTypeM";
    // A list without a chosen item leaves the last matching log level in place.
    QTest::newRow("no log level") << QStringList{"LogLevelT="} << "0";
    QTest::newRow("address with a part 0") << QStringList{"IPAddT1=0.1.2.3"} << "1 IPAddL,IPAddM1";
    QTest::newRow("named row without address") << QStringList{"CompT2=Node2"} << "1 IPAddL,IPAddM2";
    QTest::newRow("no address at all") << QStringList{"IPAddT1="} << "2 IPAddL,IPAddM1";
    QTest::newRow("name mode, an IPv4 address") << QStringList{"DNameT=1", "IPAddT1=10.1.1.2"} << "1 IPAddL,IPAddM1";
    QTest::newRow("name mode, no IPv4 address") << QStringList{"DNameT=1", "IPAddT1=10.0.0.300"} << "0";
    // A trailing blank is not read back: the reader would find an IPv4 address.
    QTest::newRow("name mode, an IPv4 address and a blank") << QStringList{"DNameT=1", "IPAddT1=10.1.1.2  "} << "1 IPAddL,IPAddM1";
    // A text of blanks only is read back empty, and fails where an empty one fails.
    QTest::newRow("name mode, blanks for a named row") << QStringList{"DNameT=1", "IPAddT1=   "} << "2 IPAddL,IPAddM1";
    QTest::newRow("name mode, blanks for a row") << QStringList{"DNameT=1", "IPAddT1=node1", "IPAddT2=   ", "CompT2=Node2"} << "1 IPAddL,IPAddM2";
    QTest::newRow("address mode, blanks for a named row") << QStringList{"IPAddT1=   "} << "2 IPAddL,IPAddM1";
    QTest::newRow("blanks for a row without a name") << QStringList{"IPAddT3=  "} << "0";
    QTest::newRow("rows 2 and 4 without 1 and 3") << QStringList{"IPAddT1=", "CompT1=", "IPAddT2=10.2.2.2", "IPAddT4=10.4.4.4"} << "1 IPAddL,IPAddM1,IPAddM3";
    QTest::newRow("rows 2 and 4 beside 3") << QStringList{"IPAddT1=", "CompT1=", "IPAddT2=10.2.2.2", "IPAddT3=10.3.3.3", "IPAddT4=10.4.4.4"} << "0";
    QTest::newRow("address and a trailing blank") << QStringList{"IPAddT1=10.1.1.2 "} << "0";
    QTest::newRow("name mode, 100 characters") << QStringList{"DNameT=1", "IPAddT1=" + QString(100, 'h')} << "0";
    QTest::newRow("name mode, 101 characters") << QStringList{"DNameT=1", "IPAddT1=" + QString(101, 'h')} << "1 IPAddL,IPAddM1";
    QTest::newRow("no name for this computer") << QStringList{"CompT0="} << "1 CompL,IPAddM0";
    QTest::newRow("blanks for this computer") << QStringList{"CompT0=   "} << "1 CompL,IPAddM0";
    QTest::newRow("blanks for a row's name") << QStringList{"IPAddT2=10.2.2.2", "CompT2=  "} << "0";
    QTest::newRow("25-character name and a blank") << QStringList{"CompT1=" + QString(25, 'n') + ' '} << "0";
    QTest::newRow("26-character name") << QStringList{"CompT1=" + n26} << "1 CompL,IPAddM1";
    QTest::newRow("folder without its end") << QStringList{"LogPathT=Log"} << "1 LogPathM";
    QTest::newRow("folder that does not exist") << QStringList{"LogPathT=Nowhere\\"} << "1 LogPathM";
    QTest::newRow("both folder checks") << QStringList{"LogPathT=C:\\Logs"} << "2 LogPathM";
    QTest::newRow("folder of blanks only") << QStringList{"LogPathT=   "} << "2 LogPathM";
    QTest::newRow("folder and a trailing blank") << QStringList{"LogPathT=Log\\ "} << "0";
    QTest::newRow("short log name") << QStringList{"LogNameT=a.log"} << "1 LogNameM";
    QTest::newRow("log name of 20 characters") << QStringList{"LogNameT=" + QString(16, 'l') + ".log"} << "0";
    QTest::newRow("log name of 21 characters") << QStringList{"LogNameT=" + QString(17, 'l') + ".log"} << "1 LogNameM";
    // What the reader makes of the file decides: trailing blanks are not read back.
    QTest::newRow("log name with a trailing blank") << QStringList{"LogNameT=1234567 "} << "1 LogNameM";
    QTest::newRow("log name with a folder") << QStringList{"LogNameT=../up.log"} << "1 LogNameM";
    QTest::newRow("log name with a backslash") << QStringList{"LogNameT=sub\\a.log"} << "1 LogNameM";
    QTest::newRow("log naming the configuration file") << QStringList{"LogPathT=Data\\", "LogNameT=TolvexM.ini"} << "1 LogNameM";
    QTest::newRow("configuration file and a blank") << QStringList{"LogPathT=Data\\", "LogNameT=TolvexM.ini "} << "1 LogNameM";
    QTest::newRow("log name with a line break") << QStringList{"LogNameT=Tolvex\nM.log"} << "1 LogNameM";
    QTest::newRow("folder with a tab") << QStringList{"LogPathT=Log\t\\"} << "2 LogPathM";
    QTest::newRow("name with CR LF") << QStringList{"CompT1=Node\r\nIPAdd2=1.1.1.1"} << "1 CompL,IPAddM1";
    QTest::newRow("this computer with NUL") << QStringList{"CompT0=Ma" + QString(QChar(0)) + "ster"} << "1 CompL,IPAddM0";
    QTest::newRow("host name with a line feed") << QStringList{"DNameT=1", "IPAddT1=node\n1"} << "1 IPAddL,IPAddM1";
}

void ConfigScreenChecksTest::checks()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, expected);
    MasterScreen f;
    f.open();
    QCOMPARE(f.checked(edits), expected);
    QVERIFY(f.screen->Timer2->isActive());
}

// Once the delays have been found in the wrong order, the caption says so until the
// screen is opened again, and the stop time's box is usable while its time is wrong.
void ConfigScreenChecksTest::delayCaption()
{
    MasterScreen f;
    frmConfig &s = f.open();
    QCOMPARE(f.text("DelTimeM"), QStringLiteral("sec (min 60, max 10800)"));
    f.set({"Del_OnT=1", "CPUDelayT=600", "DelTimeT=600", "StopTimeT=24:00"});
    QCOMPARE(s.ValidateFields(), 2);
    QCOMPARE(f.text("DelTimeM"), QStringLiteral("< Comms Delay"));
    QVERIFY(f.control("StopTimeT")->isEnabled());
    f.set({"DelTimeT=900", "StopTimeT=00:00"});
    QCOMPARE(s.ValidateFields(), 0);
    QCOMPARE(f.marked(), QStringList());
    QCOMPARE(f.text("DelTimeM"), QStringLiteral("< Comms Delay"));
    QVERIFY(!f.control("StopTimeT")->isEnabled());
}

void ConfigScreenChecksTest::invalidDataBox()
{
    MasterScreen f;
    f.host.mode = 2;  // -AddErrorMessage
    frmConfig &s = f.open();
    QVERIFY(f.host.program.shown().empty());
    f.set("CPUDelayT=1");
    s.ValidateFields();
    s.ValidateFields();
    QCOMPARE(f.boxTitles(), QStringList({"Tolvex Data Error", "Tolvex Data Error"}));
    const BoxRequest box = f.host.program.lastBox();
    QCOMPARE(box.text, QStringLiteral("Invalid Data"));
    QCOMPARE(box.icon, BoxIcon::None);
    QCOMPARE(box.buttons, BoxButtons::Ok);
    f.set("CPUDelayT=60");
    s.ValidateFields();
    QCOMPARE(f.host.program.shown().size(), size_t(2));
}

void ConfigScreenChecksTest::acceptedValuesReadBackValid_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::newRow("halves") << QStringList{"Del_OnT=1", "CPUDelayT=100.5", "DelTimeT=101.5", "ShutTimeT=2.5", "StartDelayT=1.5"};
    QTest::newRow("ports at the ends") << QStringList{"Port1T=1023.5", "Port2T=65535.4"};
    QTest::newRow("names") << QStringList{"DNameT=1", "IPAddT1=host-1", "CompT4=Last", "IPAddT4=10.0.0.300"};
    QTest::newRow("trailing blanks") << QStringList{"IPAddT1=10.1.1.2  ", "IPAddT2= ", "CompT1=" + QString(25, 'n') + "  ",
                                                    "LogPathT=Log\\ ", "LogNameT=TolvexM.log "};
    QTest::newRow("rows 2 to 4") << QStringList{"IPAddT1=", "CompT1=", "IPAddT2=10.2.2.2", "IPAddT3=10.3.3.3", "IPAddT4=10.4.4.4"};
    QTest::newRow("clock times with blanks") << QStringList{"StartTimeT=1", "StartDelayT= 9:30", "StopTimeT=23:59"};
}

// Whatever the screen accepts, the reader and the file check accept too, so that
// applying a saved file never ends the program as corrupted nor leaves it unconfigured.
void ConfigScreenChecksTest::acceptedValuesReadBackValid()
{
    QFETCH(QStringList, edits);
    MasterScreen f;
    frmConfig &s = f.open();
    f.set(edits);
    QCOMPARE(s.ValidateFields(), 0);
    s.Save_Click();
    QCOMPARE(f.text("Status"), QStringLiteral("Changes Saved - Click Exit To Activate The Changes"));
    MasterConfig rec;
    const ConfigReadResult read = readMasterConfig(f.configPath(), rec);
    QCOMPARE(int(read.status), int(ConfigReadStatus::Ok));
    const ConfigCheck check = validateMasterConfig(rec);
    QCOMPARE(check.errors, 0);
    QVERIFY(!check.notConfigured);
}

QTEST_MAIN(ConfigScreenChecksTest)
#include "test_config_screen_checks.moc"

// Save on the master's screen: the exact file, what is written for each kind of
// value, no change, invalid fields, and a write that fails.
#include "MasterScreen.h"

using namespace tolvex;
using namespace tolvex::test;

namespace {

QString lineOf(const QByteArray &file, const QString &key)
{
    for (const QString &line : QString::fromUtf8(file).split(QStringLiteral("\r\n"))) {
        if (line.startsWith(key + '='))
            return line;
    }
    return QString();
}

} // namespace

class ConfigScreenSaveTest : public QObject {
    Q_OBJECT
private slots:
    void restoreThenSaveWritesTheDefaults();
    void valuesAsWritten_data();
    void valuesAsWritten();
    void noChangesToSave();
    void invalidFieldsWriteNothing();
    void startMinClearsWindowToggled();
    void failedWriteKeepsTheOldFile();
};

void ConfigScreenSaveTest::restoreThenSaveWritesTheDefaults()
{
    MasterConfig running = masterRecordWith({"CPUDelay=45", "Del_On=2", "DelTime=1200", "LogLevel=3", "Port1=12000",
                                             "Port2=12001", "ShutType=2", "Stop_On=2", "StopTime=12230", "NoWarn=2",
                                             "RunOnTop=2", "Update_On=1", "DName=2", "IPAdd1=node1", "CName2=Two",
                                             "IPAdd2=node2"});
    MasterScreen f(running);
    frmConfig &s = f.open();
    f.set("CPUDelayT=1");
    s.ExitConfig_Click();  // "&Cancel"
    s.Restore_Click();
    s.Save_Click();

    MasterConfig expected = masterScreenDefaults();
    expected.CName = running.CName;
    expected.IPAdd = running.IPAdd;
    expected.DName = 2;
    const QByteArray file = f.configBytes();
    QCOMPARE(file, f.fileTextOf(expected));
    QCOMPARE(file.count("\r\n"), 42);
    QVERIFY(file.endsWith("UserExitA=2\r\n"));
    QVERIFY(!file.contains("\n\n") && !file.contains("\r\r"));
    QCOMPARE(f.text("Status"), QStringLiteral("Changes Saved - Click Exit To Activate The Changes"));
    QCOMPARE(f.text("ExitConfig"), QStringLiteral("&Exit"));
    QCOMPARE(f.control("ExitConfig")->toolTip(),
             QStringLiteral("Close Tolvex Configuration Screen (The program will be reset if changed values have been saved)"));
    QCOMPARE(f.control("Save")->toolTip(),
             QStringLiteral("Save Tolvex Configuration Values (The program will be reset when you close this screen if values have been changed)"));
    QVERIFY(f.host.ConfigSaved);
    QVERIFY(s.Timer2->isActive());
    QCOMPARE(s.Signature, s.BuildValueString());
    // Saving again compares with what was just saved.
    s.Save_Click();
    QCOMPARE(f.text("Status"), QStringLiteral("No Changes To Save"));
}

void ConfigScreenSaveTest::valuesAsWritten_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("clock start") << QStringList{"StartTimeT=1", "StartDelayT=09:30"} << QStringList{"FAT_On=2", "StartDelay=10930"};
    QTest::newRow("delayed start") << QStringList{"StartDelayT=45"} << QStringList{"FAT_On=1", "StartDelay=45"};
    QTest::newRow("stop time not used") << QStringList{"StopTimeT=22:30"} << QStringList{"StopTime=12230", "Stop_On=1"};
    QTest::newRow("stop time with a blank") << QStringList{"StopTimeT=9 :30"} << QStringList{"StopTime=10930"};
    QTest::newRow("leading zero") << QStringList{"CPUDelayT=060"} << QStringList{"CPUDelay=60"};
    QTest::newRow("halves to even") << QStringList{"CPUDelayT=59.5", "ShutTimeT=60.5", "DelTimeT=901.5", "Port1T=10000.5"}
                                    << QStringList{"CPUDelay=60", "ShutTime=60", "DelTime=902", "Port1=10000"};
    QTest::newRow("standby") << QStringList{"ShutNameT=StandBy"} << QStringList{"ShutType=6"};
    QTest::newRow("flags") << QStringList{"ForceT=0", "UExitT=0", "Update_OnT=0", "Del_OnT=1", "NoWarnT=1", "DNameT=1", "IPAddT1=node1"}
                           << QStringList{"Force=1", "UserExitA=1", "Update_On=1", "Del_On=2", "NoWarn=2", "DName=2"};
    QTest::newRow("texts as typed") << QStringList{"CompT4= Far away", "IPAddT4=10.2.2.2", "LogNameT=ab=cd.log"}
                                    << QStringList{"CName4= Far away", "IPAdd4=10.2.2.2", "LogName=ab=cd.log"};
}

void ConfigScreenSaveTest::valuesAsWritten()
{
    QFETCH(QStringList, edits);
    QFETCH(QStringList, lines);
    MasterScreen f;
    frmConfig &s = f.open();
    f.set(edits);
    s.Save_Click();
    QCOMPARE(f.text("Status"), QStringLiteral("Changes Saved - Click Exit To Activate The Changes"));
    QStringList written;
    for (const QString &line : lines)
        written << lineOf(f.configBytes(), line.section('=', 0, 0));
    QCOMPARE(written, lines);
}

void ConfigScreenSaveTest::noChangesToSave()
{
    MasterScreen f;
    writeFile(f.configPath(), f.configBytes() + "# kept\r\n");
    const QByteArray before = f.configBytes();
    frmConfig &s = f.open();
    s.Save_Click();
    QCOMPARE(f.text("Status"), QStringLiteral("No Changes To Save"));
    f.set({"CPUDelayT=45", "ForceT=0"});
    f.set({"CPUDelayT=60", "ForceT=1"});
    s.Save_Click();
    QCOMPARE(f.text("Status"), QStringLiteral("No Changes To Save"));
    QCOMPARE(f.configBytes(), before);
    QVERIFY(!f.host.ConfigSaved);
    QVERIFY(s.Timer2->isActive());
}

void ConfigScreenSaveTest::invalidFieldsWriteNothing()
{
    MasterScreen f;
    const QByteArray before = f.configBytes();
    frmConfig &s = f.open();
    f.set({"ShutTimeT=1", "CompT1=Node\nIPAdd2=1.1.1.1"});
    s.Save_Click();
    QCOMPARE(f.text("Status"), QStringLiteral("Item(s) Highlighted Contain Out Of Range Values - Changes Not Saved"));
    QCOMPARE(f.marked(), QStringList({"CompL", "IPAddM1", "ShutTimeM"}));
    QCOMPARE(f.configBytes(), before);
    QVERIFY(!f.host.ConfigSaved);
}

void ConfigScreenSaveTest::startMinClearsWindowToggled()
{
    MasterScreen f;
    frmConfig &s = f.open();
    QVERIFY(f.host.WindowToggled);
    f.set("StartMinT=1");
    s.Save_Click();
    QVERIFY(!f.host.WindowToggled);
    QCOMPARE(lineOf(f.configBytes(), "StartMin"), QStringLiteral("StartMin=2"));
}

void ConfigScreenSaveTest::failedWriteKeepsTheOldFile()
{
    MasterScreen f;
    const QByteArray before = f.configBytes();
    frmConfig &s = f.open();
    f.set({"CPUDelayT=45", "CompT2=Two", "IPAddT2=10.2.2.2"});
    {
        const FileSizeLimit limit(64);
        s.Save_Click();
    }
    QCOMPARE(f.boxTitles(), QStringList{"Tolvex Configuration File Error"});
    QCOMPARE(f.host.program.lastBox().text,
             QStringLiteral("Unable to write to the configuration file.\r\nThis may be a permissions problem."));
    QCOMPARE(f.host.program.lastBox().icon, BoxIcon::Exclamation);
    QCOMPARE(f.configBytes(), before);
    QCOMPARE(QDir(f.folder.path("Data")).entryList(QDir::Files), QStringList{"TolvexM.ini"});
    // The screen shows the running values again, and nothing counts as saved.
    QCOMPARE(f.text("CPUDelayT") + '|' + f.text("CompT2"), QStringLiteral("60|"));
    QCOMPARE(s.Signature, s.BuildValueString());
    QVERIFY(!f.host.ConfigSaved);
}

QTEST_MAIN(ConfigScreenSaveTest)
#include "test_config_screen_save.moc"

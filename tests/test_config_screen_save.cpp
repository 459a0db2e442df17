// Restore and Save on the master's screen: the defaults, the exact file, what is
// written for each kind of value, nothing to write, and a write that fails.
#include "ScreenFixture.h"

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
    void nothingWritten_data();
    void nothingWritten();
    void failedWriteKeepsTheOldFile();
};

// Restore puts the defaults in and saves nothing; names, addresses and the address
// mode stay. The following Save writes the whole file.
void ConfigScreenSaveTest::restoreThenSaveWritesTheDefaults()
{
    MasterConfig running = masterRecordWith({"CPUDelay=45", "Del_On=2", "DelTime=1200", "Force=1", "LogLevel=3",
                                             "LogName=Other.log", "LogR_On=1", "NoWarn=2", "Port1=12000", "Port2=12001",
                                             "RunOnTop=2", "ShutTime=30", "StartMin=2", "ShutType=2", "FAT_On=2",
                                             "StartDelay=10830", "Stop_On=2", "StopTime=12230", "UserExitA=1",
                                             "Update_On=1", "DName=2", "IPAdd1=node1", "CName2=Two", "IPAdd2=node2"});
    MasterScreen f(running);
    frmConfig &s = f.open();
    f.set("CPUDelayT=1");
    s.ExitConfig_Click();
    QVERIFY(s.ValidateFields() > 0);
    const QByteArray before = f.configBytes();

    s.Restore_Click();
    QCOMPARE(f.text("Status"), QStringLiteral("Defaults Restored - Click Save To Keep"));
    QCOMPARE(f.text("ExitConfig"), QStringLiteral("&Exit"));
    QCOMPARE(f.marked(), QStringList());
    QVERIFY(s.Timer2->isActive());
    QVERIFY(!(s.windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(f.host.program.shown().empty());
    QCOMPARE(f.configBytes(), before);
    // The defaults differ from the running values: Exit asks first.
    s.ExitConfig_Click();
    QCOMPARE(f.text("ExitConfig"), QStringLiteral("&Cancel"));

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
    QVERIFY(!f.host.WindowToggled);  // the start-minimised setting changed
    QVERIFY(s.Timer2->isActive());
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
    // Only the start-minimised box changed: the file is written all the same.
    QTest::newRow("start minimised") << QStringList{"StartMinT=1"} << QStringList{"StartMin=2"};
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
    QCOMPARE(f.host.WindowToggled, !edits.contains("StartMinT=1"));
}

void ConfigScreenSaveTest::nothingWritten_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("marked");
    QTest::newRow("no change") << QStringList{} << "No Changes To Save" << QStringList{};
    QTest::newRow("changed and changed back") << QStringList{"CPUDelayT=45", "ForceT=0", "CPUDelayT=60", "ForceT=1"}
                                              << "No Changes To Save" << QStringList{};
    QTest::newRow("invalid fields") << QStringList{"ShutTimeT=1", "CompT1=Node\nIPAdd2=1.1.1.1"}
                                    << "Item(s) Highlighted Contain Out Of Range Values - Changes Not Saved"
                                    << QStringList{"CompL", "IPAddM1", "ShutTimeM"};
    // Blanks only are read back as nothing: the master would come back without a slave.
    QTest::newRow("blanks for a host name") << QStringList{"DNameT=1", "IPAddT1=   "}
                                            << "Item(s) Highlighted Contain Out Of Range Values - Changes Not Saved"
                                            << QStringList{"IPAddL", "IPAddM1"};
    QTest::newRow("blanks for this computer") << QStringList{"CompT0=   "}
                                              << "Item(s) Highlighted Contain Out Of Range Values - Changes Not Saved"
                                              << QStringList{"CompL", "IPAddM0"};
}

void ConfigScreenSaveTest::nothingWritten()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, status);
    QFETCH(QStringList, marked);
    MasterScreen f;
    writeFile(f.configPath(), f.configBytes() + "# kept\r\n");
    const QByteArray before = f.configBytes();
    frmConfig &s = f.open();
    f.set(edits);
    s.Save_Click();
    QCOMPARE(f.text("Status"), status);
    QCOMPARE(f.marked(), marked);
    QCOMPARE(f.configBytes(), before);
    QVERIFY(!f.host.ConfigSaved);
    QVERIFY(s.Timer2->isActive());
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

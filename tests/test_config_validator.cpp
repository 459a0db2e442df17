#include "ConfigFile.h"
#include "TestSupport.h"
#include <QTemporaryDir>
#include <QtTest>

using namespace tolvex;

class TestConfigValidator : public QObject {
    Q_OBJECT

private slots:
    void screenDefaultsPassButNameNoComputer()
    {
        MasterConfig rec = masterScreenDefaults();
        rec.LogPath.clear();
        const ConfigCheck check = validateMasterConfig(rec);
        QCOMPARE(check.errors, 0);
        QVERIFY(check.notConfigured);
        QCOMPARE(rec.LogPath, QStringLiteral("Log\\"));  // an empty LogPath becomes the default folder
        rec.CName[0] = QStringLiteral("Office");
        QVERIFY(!validateMasterConfig(rec).notConfigured);
    }

    // Each change to a valid record, with the number of rules it breaks.
    void eachBrokenRuleCounts()
    {
        using M = MasterConfig &;
        const struct {
            const char *name;
            void (*change)(M);
            int errors;
        } rules[] = {
            {"CPUDelay 4", [](M r) { r.CPUDelay = 4; }, 1}, {"CPUDelay 600", [](M r) { r.CPUDelay = 600; }, 0},
            {"CPUDelay 601", [](M r) { r.CPUDelay = 601; }, 1},
            {"LogPath slash", [](M r) { r.LogPath = "/var/log/tolvex/"; }, 0},
            {"LogPath no end", [](M r) { r.LogPath = "Log"; }, 1}, {"LogPath short", [](M r) { r.LogPath = "\\"; }, 1},
            {"LogPath 101", [](M r) { r.LogPath = QString(100, 'a') + '\\'; }, 1},
            {"LogPath 102, no end", [](M r) { r.LogPath = QString(101, 'a') + 'x'; }, 1},
            {"LogName 7", [](M r) { r.LogName = "a.log12"; }, 1},
            {"LogName 21", [](M r) { r.LogName = QString(21, 'l'); }, 1},
            {"LogName into Data", [](M r) { r.LogName = "../Data/TolvexS.ini"; }, 1},
            {"LogName up and out", [](M r) { r.LogName = "../../../esc.log"; }, 1},
            {"LogName with \\", [](M r) { r.LogName = "..\\..\\esc.log"; }, 1},
            {"LogName absolute", [](M r) { r.LogName = "/tmp/tolvex.log"; }, 1},
            {"LogName short, in a folder", [](M r) { r.LogName = "a/b.log"; }, 2},
            {"LogName of dots", [](M r) { r.LogName = "........"; }, 0},
            {"LogPath outside", [](M r) { r.LogPath = "../outside/"; }, 0},
            {"LogLevel 4", [](M r) { r.LogLevel = 4; }, 1},  {"Port1 1023", [](M r) { r.Port1 = 1023; }, 1},
            {"Port2 65535", [](M r) { r.Port2 = 65535; }, 0}, {"Port2 65536", [](M r) { r.Port2 = 65536; }, 1},
            {"ShutTime 1", [](M r) { r.ShutTime = 1; }, 1},   {"ShutType 8", [](M r) { r.ShutType = 8; }, 1},
            {"flags", [](M r) { r.Force = 0; r.NoWarn = 3; r.Update_On = 0; r.UserExitA = 3; }, 4},
            {"delay 0", [](M r) { r.StartDelay = 0; }, 1},    {"delay 3600", [](M r) { r.StartDelay = 3600; }, 0},
            {"clock 23:59", [](M r) { r.StartTime = 2; r.StartDelay = 2359; }, 0},
            {"clock 23:60", [](M r) { r.StartTime = 2; r.StartDelay = 2360; }, 2},
            {"clock 09:60", [](M r) { r.StartTime = 2; r.StartDelay = 960; }, 1},
            {"clock negative", [](M r) { r.StartTime = 2; r.StartDelay = -1; }, 2},
            {"mode 3 skips delay", [](M r) { r.StartTime = 3; r.StartDelay = -5; }, 1},
            {"StopTime 10930", [](M r) { r.StopTime = 10930; }, 0}, {"StopTime 2400", [](M r) { r.StopTime = 2400; }, 1},
            {"StopTime 12360", [](M r) { r.StopTime = 12360; }, 2}, {"StopTime -1", [](M r) { r.StopTime = -1; }, 2},
            {"DelTime 59", [](M r) { r.DelTime = 59; }, 1},
            {"Del_On, DelTime not above", [](M r) { r.Del_On = 2; r.DelTime = 60; }, 1},
            {"Del_On, DelTime above", [](M r) { r.Del_On = 2; r.DelTime = 61; }, 0},
            {"CName 26", [](M r) { r.CName[3] = QString(26, 'c'); }, 1},
            {"DName 1 host name", [](M r) { r.IPAdd[1] = "host1"; }, 1},
            {"DName 1 address", [](M r) { r.IPAdd[4] = "10.1.1.1"; }, 0},
            {"DName 2 address", [](M r) { r.DName = 2; r.IPAdd[2] = "10.1.1.1"; }, 1},
            {"DName 2 name 101", [](M r) { r.DName = 2; r.IPAdd[2] = QString(101, 'h'); }, 1},
            {"DName 2 name", [](M r) { r.DName = 2; r.IPAdd[2] = "server1"; }, 0},
            {"DName 3", [](M r) { r.DName = 3; }, 1},
        };
        QStringList wrong;  // every rule whose count is off, named
        for (const auto &rule : rules) {
            MasterConfig rec = masterScreenDefaults();
            rec.CName[0] = QStringLiteral("Office");
            rule.change(rec);
            if (const int errors = validateMasterConfig(rec).errors; errors != rule.errors)
                wrong << QStringLiteral("%1: %2 errors").arg(rule.name).arg(errors);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join("; ")));
    }

    // The log folder and name must not lead to the program's own configuration file,
    // by whatever name; the default file is the one in the working folder.
    void logIsNeverTheConfigurationFile_data()
    {
        QTest::addColumn<QString>("logPath");
        QTest::addColumn<QString>("logName");
        QTest::addColumn<int>("errors");
        QTest::newRow("Data\\TolvexM.ini") << "Data\\" << "TolvexM.ini" << 1;
        QTest::newRow("other case") << "data/" << "tolvexm.INI" << 1;
        QTest::newRow("from the log folder") << "Log\\..\\Data\\" << "TolvexM.ini" << 1;
        QTest::newRow("absolute") << "<dir>/Data/" << "TolvexM.ini" << 1;
        QTest::newRow("a link to it") << "Log\\" << "Settings.log" << 1;
        QTest::newRow("the slave's") << "Data\\" << "TolvexS.ini" << 0;
        QTest::newRow("same name, log folder") << "Log\\" << "TolvexM.ini" << 0;
        QTest::newRow("a new log") << "Data\\" << "TolvexM.log" << 0;
    }

    void logIsNeverTheConfigurationFile()
    {
        QFETCH(QString, logPath);
        QFETCH(QString, logName);
        QTemporaryDir dir;
        QVERIFY(test::writeFile(dir.filePath("Data/TolvexM.ini"), "x") && test::writeFile(dir.filePath("Log/TolvexM.ini"), "x"));
        QVERIFY(QFile::link(dir.filePath("Data/TolvexM.ini"), dir.filePath("Log/Settings.log")));
        MasterConfig rec = masterScreenDefaults();
        rec.CName[0] = QStringLiteral("Office");
        rec.LogPath = logPath.replace("<dir>", dir.path());
        rec.LogName = logName;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const int byDefault = validateMasterConfig(rec).errors;
        const int named = validateMasterConfig(rec, dir.filePath("Data/TolvexM.ini")).errors;
        const int elsewhere = validateMasterConfig(rec, dir.filePath("Data/Other.ini")).errors;
        const bool usable = isUsableLogName(rec.LogPath, rec.LogName, dir.filePath("Data/TolvexM.ini"));
        QDir::setCurrent(previous);
        QTEST(byDefault, "errors");
        QTEST(named, "errors");
        QCOMPARE(elsewhere, 0);
        QCOMPARE(usable, byDefault == 0);
    }

    void notConfiguredRules_data()
    {
        QTest::addColumn<int>("dName");
        QTest::addColumn<QStringList>("row1AndAddresses");  // CName1, then IPAdd1 to IPAdd4
        QTest::addColumn<bool>("notConfigured");
        QTest::newRow("named with address") << 1 << QStringList{"PC1", "10.9.1.1", "", "", ""} << false;
        QTest::newRow("named without address") << 1 << QStringList{"PC1", "", "", "", ""} << true;
        QTest::newRow("unnamed without address") << 1 << QStringList{"", "", "", "", ""} << false;
        QTest::newRow("host name, named") << 2 << QStringList{"PC1", "server1", "", "", ""} << false;
        QTest::newRow("host name empty, named") << 2 << QStringList{"PC1", "", "", "", ""} << true;
        QTest::newRow("only rows 2 and 4") << 1 << QStringList{"", "", "10.9.1.2", "", "10.9.1.4"} << true;
        QTest::newRow("rows 1, 2 and 4") << 1 << QStringList{"", "10.9.1.1", "10.9.1.2", "", "10.9.1.4"} << false;
    }

    void notConfiguredRules()
    {
        QFETCH(int, dName);
        QFETCH(QStringList, row1AndAddresses);
        QFETCH(bool, notConfigured);
        MasterConfig rec = masterScreenDefaults();
        rec.CName[0] = QStringLiteral("Office");
        rec.DName = dName;
        rec.CName[1] = row1AndAddresses.takeFirst();
        std::copy(row1AndAddresses.begin(), row1AndAddresses.end(), rec.IPAdd.begin() + 1);
        const ConfigCheck check = validateMasterConfig(rec);
        QCOMPARE(check.errors, 0);
        QCOMPARE(check.notConfigured, notConfigured);
    }

    void ipAddressAndTimeSyntax_data()
    {
        QTest::addColumn<bool>("time");  // IsValidTime, otherwise IsIPAddress
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        // Dotted quads of 1 to 255; a 0 part, a blank, a sign or a missing part fails.
        for (const char *ip : {"192.168.1.20", "255.255.255.255", "010.1.1.001"})
            QTest::addRow("ip %s", ip) << false << QString(ip) << true;
        for (const char *ip : {"192.168.0.20", "0.1.2.3", "1.2.3.256", "1.2.3", "1.2.3.4.5", ".1.2.3", "1.2.3.",
                               "1..2.3", "host1", "", "1.2.3.4 ", "1.2.3.+4", "1.2.3.99999999999999999999"})
            QTest::addRow("ip '%s'", ip) << false << QString(ip) << false;
        // hh:mm, blanks allowed before either number.
        for (const char *t : {"07:30", "00:00", "23:59", " 9:30", "09: 5"})
            QTest::addRow("time '%s'", t) << true << QString(t) << true;
        for (const char *t : {"7:30", "24:00", "12:60", "ab:cd", "-1:30", "09.30", "0a:30", ""})
            QTest::addRow("time '%s'", t) << true << QString(t) << false;
    }

    void ipAddressAndTimeSyntax()
    {
        QFETCH(bool, time);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(time ? mdInit::IsValidTime(text) : mdIPCheck::IsIPAddress(text), valid);
    }

    void timeTextAndNumberOfText()
    {
        // Only the last four digits of hhmm are the time.
        QCOMPARE(QStringList({timeText(930), timeText(5), timeText(12359), timeText(0)}),
                 QStringList({"09:30", "00:05", "23:59", "00:00"}));
        // The leading decimal number; a foreign character or a blank after the sign ends it.
        QCOMPARE(QList<double>({numberOfText(" 12.75x"), numberOfText("-0.5"), numberOfText("- 5"), numberOfText("x5"),
                                numberOfText("9.")}),
                 QList<double>({12.75, -0.5, 0.0, 0.0, 9.0}));
    }
};

QTEST_MAIN(TestConfigValidator)
#include "test_config_validator.moc"

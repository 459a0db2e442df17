#include "ConfigFile.h"
#include <QtTest>
#include <functional>

using namespace tolvex;

namespace {

struct Rule {
    const char *name;
    std::function<void(MasterConfig &)> change;
    int errors;
};

MasterConfig validMaster()
{
    MasterConfig rec = masterScreenDefaults();
    rec.CName[0] = QStringLiteral("Office");
    return rec;
}

} // namespace

class TestConfigValidator : public QObject {
    Q_OBJECT

private slots:
    void screenDefaultsPassButNameNoComputer()
    {
        MasterConfig rec = masterScreenDefaults();
        const ConfigCheck check = validateMasterConfig(rec);
        QCOMPARE(check.errors, 0);
        QVERIFY(check.notConfigured);
        MasterConfig named = validMaster();
        QVERIFY(!validateMasterConfig(named).notConfigured);
    }

    void eachBrokenRuleCounts()
    {
        const QString long101 = QString(100, QLatin1Char('a')) + QLatin1Char('\\');
        const std::vector<Rule> rules = {
            {"CPUDelay low", [](MasterConfig &r) { r.CPUDelay = 4; }, 1},
            {"CPUDelay high end", [](MasterConfig &r) { r.CPUDelay = 600; }, 0},
            {"CPUDelay high", [](MasterConfig &r) { r.CPUDelay = 601; }, 1},
            {"LogPath empty", [](MasterConfig &r) { r.LogPath.clear(); }, 0},
            {"LogPath slash", [](MasterConfig &r) { r.LogPath = QStringLiteral("/var/log/tolvex/"); }, 0},
            {"LogPath no end", [](MasterConfig &r) { r.LogPath = QStringLiteral("Log"); }, 1},
            {"LogPath short", [](MasterConfig &r) { r.LogPath = QStringLiteral("\\"); }, 1},
            {"LogPath long", [long101](MasterConfig &r) { r.LogPath = long101; }, 1},
            {"LogPath long no end", [long101](MasterConfig &r) { r.LogPath = long101 + QLatin1Char('x'); }, 1},
            {"LogName short", [](MasterConfig &r) { r.LogName = QStringLiteral("a.log12"); }, 1},
            {"LogName long", [](MasterConfig &r) { r.LogName = QString(21, QLatin1Char('l')); }, 1},
            {"LogLevel", [](MasterConfig &r) { r.LogLevel = 4; }, 1},
            {"Port1 1023", [](MasterConfig &r) { r.Port1 = 1023; }, 1},
            {"Port2 65535", [](MasterConfig &r) { r.Port2 = 65535; }, 0},
            {"Port2 65536", [](MasterConfig &r) { r.Port2 = 65536; }, 1},
            {"ShutTime", [](MasterConfig &r) { r.ShutTime = 1; }, 1},
            {"ShutType", [](MasterConfig &r) { r.ShutType = 8; }, 1},
            {"flags", [](MasterConfig &r) { r.Force = 0; r.NoWarn = 3; r.Update_On = 0; r.UserExitA = 3; }, 4},
            {"delay mode 0", [](MasterConfig &r) { r.StartDelay = 0; }, 1},
            {"delay mode 3600", [](MasterConfig &r) { r.StartDelay = 3600; }, 0},
            {"clock 23:59", [](MasterConfig &r) { r.StartTime = 2; r.StartDelay = 2359; }, 0},
            {"clock 23:60", [](MasterConfig &r) { r.StartTime = 2; r.StartDelay = 2360; }, 2},
            {"clock 09:60", [](MasterConfig &r) { r.StartTime = 2; r.StartDelay = 960; }, 1},
            {"clock negative", [](MasterConfig &r) { r.StartTime = 2; r.StartDelay = -1; }, 2},
            {"mode 3 skips delay", [](MasterConfig &r) { r.StartTime = 3; r.StartDelay = -5; }, 1},
            {"StopTime 1hhmm", [](MasterConfig &r) { r.StopTime = 10930; }, 0},
            {"StopTime 24:00", [](MasterConfig &r) { r.StopTime = 2400; }, 1},
            {"StopTime past range", [](MasterConfig &r) { r.StopTime = 12360; }, 2},
            {"StopTime negative", [](MasterConfig &r) { r.StopTime = -1; }, 2},
            {"DelTime", [](MasterConfig &r) { r.DelTime = 59; }, 1},
            {"Del_On not above", [](MasterConfig &r) { r.Del_On = 2; r.DelTime = 60; }, 1},
            {"Del_On above", [](MasterConfig &r) { r.Del_On = 2; r.DelTime = 61; }, 0},
            {"CName long", [](MasterConfig &r) { r.CName[3] = QString(26, QLatin1Char('c')); }, 1},
            {"DName 1 host name", [](MasterConfig &r) { r.IPAdd[1] = QStringLiteral("host1"); }, 1},
            {"DName 1 address", [](MasterConfig &r) { r.IPAdd[4] = QStringLiteral("10.1.1.1"); }, 0},
            {"DName 2 address", [](MasterConfig &r) { r.DName = 2; r.IPAdd[2] = QStringLiteral("10.1.1.1"); }, 1},
            {"DName 2 long", [](MasterConfig &r) { r.DName = 2; r.IPAdd[2] = QString(101, QLatin1Char('h')); }, 1},
            {"DName 2 name", [](MasterConfig &r) { r.DName = 2; r.IPAdd[2] = QStringLiteral("server1"); }, 0},
            {"DName 3", [](MasterConfig &r) { r.DName = 3; }, 1},
        };
        for (const Rule &rule : rules) {
            MasterConfig rec = validMaster();
            rule.change(rec);
            const int errors = validateMasterConfig(rec).errors;
            QVERIFY2(errors == rule.errors,
                     qPrintable(QStringLiteral("%1: %2 errors").arg(QLatin1String(rule.name)).arg(errors)));
        }
    }

    void emptyLogPathBecomesTheDefaultFolder()
    {
        MasterConfig rec = validMaster();
        rec.LogPath.clear();
        validateMasterConfig(rec);
        QCOMPARE(rec.LogPath, QStringLiteral("Log\\"));
    }

    void notConfiguredRules_data()
    {
        QTest::addColumn<int>("dName");
        QTest::addColumn<QString>("name1");
        QTest::addColumn<QString>("address1");
        QTest::addColumn<QString>("address2");
        QTest::addColumn<QString>("address4");
        QTest::addColumn<bool>("notConfigured");
        QTest::newRow("named with address") << 1 << "PC1" << "10.9.1.1" << "" << "" << false;
        QTest::newRow("named without address") << 1 << "PC1" << "" << "" << "" << true;
        QTest::newRow("unnamed without address") << 1 << "" << "" << "" << "" << false;
        QTest::newRow("host name, named") << 2 << "PC1" << "server1" << "" << "" << false;
        QTest::newRow("host name empty, named") << 2 << "PC1" << "" << "" << "" << true;
        QTest::newRow("only rows 2 and 4") << 1 << "" << "" << "10.9.1.2" << "10.9.1.4" << true;
        QTest::newRow("rows 1, 2 and 4") << 1 << "" << "10.9.1.1" << "10.9.1.2" << "10.9.1.4" << false;
    }

    void notConfiguredRules()
    {
        QFETCH(int, dName);
        QFETCH(QString, name1);
        QFETCH(QString, address1);
        QFETCH(QString, address2);
        QFETCH(QString, address4);
        QFETCH(bool, notConfigured);
        MasterConfig rec = validMaster();
        rec.DName = dName;
        rec.CName[1] = name1;
        rec.IPAdd[1] = address1;
        rec.IPAdd[2] = address2;
        rec.IPAdd[4] = address4;
        const ConfigCheck check = validateMasterConfig(rec);
        QCOMPARE(check.errors, 0);
        QCOMPARE(check.notConfigured, notConfigured);
    }

    void ipAddressSyntax_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "192.168.1.20" << true;
        QTest::newRow("zero inside") << "192.168.0.20" << false;
        QTest::newRow("zero first") << "0.1.2.3" << false;
        QTest::newRow("255") << "255.255.255.255" << true;
        QTest::newRow("256") << "1.2.3.256" << false;
        QTest::newRow("leading zeros") << "010.1.1.001" << true;
        QTest::newRow("three parts") << "1.2.3" << false;
        QTest::newRow("five parts") << "1.2.3.4.5" << false;
        QTest::newRow("leading dot") << ".1.2.3" << false;
        QTest::newRow("trailing dot") << "1.2.3." << false;
        QTest::newRow("empty part") << "1..2.3" << false;
        QTest::newRow("host") << "host1" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blank") << "1.2.3.4 " << false;
        QTest::newRow("sign") << "1.2.3.+4" << false;
        QTest::newRow("too long for 32 bits") << "1.2.3.99999999999999999999" << false;
    }

    void ipAddressSyntax()
    {
        QFETCH(QString, address);
        QFETCH(bool, valid);
        QCOMPARE(mdIPCheck::IsIPAddress(address), valid);
    }

    void timeSyntax_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("07:30") << "07:30" << true;
        QTest::newRow("00:00") << "00:00" << true;
        QTest::newRow("23:59") << "23:59" << true;
        QTest::newRow("short") << "7:30" << false;
        QTest::newRow("24:00") << "24:00" << false;
        QTest::newRow("12:60") << "12:60" << false;
        QTest::newRow("letters") << "ab:cd" << false;
        QTest::newRow("blank before hour") << " 9:30" << true;
        QTest::newRow("blank before minute") << "09: 5" << true;
        QTest::newRow("negative") << "-1:30" << false;
        QTest::newRow("other separator") << "09.30" << false;
        QTest::newRow("digit and letter") << "0a:30" << false;
        QTest::newRow("empty") << "" << false;
    }

    void timeSyntax()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(mdInit::IsValidTime(text), valid);
    }

    void timeTextUsesTheLastFourDigits()
    {
        QCOMPARE(timeText(930), QStringLiteral("09:30"));
        QCOMPARE(timeText(5), QStringLiteral("00:05"));
        QCOMPARE(timeText(12359), QStringLiteral("23:59"));
        QCOMPARE(timeText(0), QStringLiteral("00:00"));
    }

    void numberOfTextStopsAtTheFirstForeignCharacter()
    {
        QCOMPARE(numberOfText(QStringLiteral(" 12.75x")), 12.75);
        QCOMPARE(numberOfText(QStringLiteral("-0.5")), -0.5);
        QCOMPARE(numberOfText(QStringLiteral("- 5")), 0.0);
        QCOMPARE(numberOfText(QStringLiteral("x5")), 0.0);
        QCOMPARE(numberOfText(QStringLiteral("9.")), 9.0);
    }
};

QTEST_MAIN(TestConfigValidator)
#include "test_config_validator.moc"

#include "ConfigFile.h"
#include "TestSupport.h"
#include <QTemporaryDir>
#include <QtTest>

using namespace tolvex;

namespace {

const QDateTime kSavedAt(QDate(2026, 7, 2), QTime(18, 4, 9));

QString pad25(const char *line) { return QString::fromLatin1(line).leftJustified(25, QLatin1Char(' ')); }

SlaveConfig addressedSlave()
{
    SlaveConfig rec = slaveScreenDefaults();
    rec.IPAdd = QStringLiteral("192.168.1.10");
    return rec;
}

QByteArray slaveFileWith(const QString &from, const QString &to)
{
    QString text = slaveConfigFileText(addressedSlave(), 1, 0, kSavedAt);
    Q_ASSERT(text.contains(from));
    return text.replace(from, to).toUtf8();
}

} // namespace

class TestConfigSlave : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    ConfigReadResult readBytes(const QByteArray &bytes, SlaveConfig &rec)
    {
        const QString path = m_dir.filePath(QStringLiteral("TolvexS.ini"));
        test::writeFile(path, bytes);
        return readSlaveConfig(path, rec);
    }

private slots:
    void fileAsWrittenHasThirtyOneLines()
    {
        const QString text = slaveConfigFileText(addressedSlave(), 3, 12, kSavedAt);
        QVERIFY(text.endsWith(QStringLiteral("UserExitA=2\r\n")));
        const QStringList lines = text.chopped(2).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 31);
        QCOMPARE(lines[0], QStringLiteral("# Tolvex Slave Version 3.12"));
        QCOMPARE(lines[1], QStringLiteral("# Configuration File"));
        QCOMPARE(lines[2], QStringLiteral("# 02-Jul-26 18:04:09"));
        QCOMPARE(lines[3], QString());
        QCOMPARE(lines[14], QStringLiteral("[Comms]"));
        QCOMPARE(lines[16], QStringLiteral("IPAdd=192.168.1.10"));
        QCOMPARE(lines[22], QStringLiteral("StopTime=10000"));
    }

    void writtenFileReadsBackAndPasses()
    {
        SlaveConfig written = addressedSlave();
        written.StartTime = 2;
        written.StartDelay = 730;
        written.StopTime = 2359;
        SlaveConfig rec;
        const ConfigReadResult r = readBytes(slaveConfigFileText(written, 1, 0, kSavedAt).toUtf8(), rec);
        QCOMPARE(r.status, ConfigReadStatus::Ok);
        QCOMPARE(r.sectionErrors, 0);
        QCOMPARE(r.keyErrors, 0);
        QCOMPARE(rec.IPAdd, written.IPAdd);
        QCOMPARE(rec.StartDelay, 730);
        QCOMPARE(rec.StopTime, 2359);
        QCOMPARE(rec.Port1, 10001);
        QCOMPARE(rec.Port2, 10000);
        QCOMPARE(rec.LogName, QStringLiteral("TolvexS.log"));
        const ConfigCheck check = validateSlaveConfig(rec);
        QCOMPARE(check.errors, 0);
        QVERIFY(!check.notConfigured);
    }

    void dumpOfTheDefaultFile()
    {
        SlaveConfig rec;
        const ConfigReadResult r = readBytes(slaveConfigFileText(addressedSlave(), 1, 0, kSavedAt).toUtf8(), rec);
        const QString crlf = QStringLiteral("\r\n");
        const QString expected = crlf + "Configuration" + crlf + "-------------"                          //
            + crlf + crlf + "[Activate]"                                                                  //
            + crlf + pad25("FAT_On=1") + "LogLevel=2" + crlf + pad25("LogName=TolvexS.log") + "LogPath=Log\\" //
            + crlf + pad25("LogR_On=2") + "RunOnTop=1" + crlf + pad25("StartDelay=2") + "StartMin=1"       //
            + crlf + crlf + "[Comms]"                                                                     //
            + crlf + pad25("DName=1") + "IPAdd=192.168.1.10" + crlf + pad25("Port1=10001") + "Port2=10000" //
            + crlf + crlf + "[Run]"                                                                       //
            + crlf + pad25("CPUDelay=60") + "StopTime=10000" + crlf + pad25("Stop_On=1")                   //
            + crlf + crlf + "[Shutdown]"                                                                  //
            + crlf + pad25("Force=2") + "NoWarn=1" + crlf + pad25("ShutTime=60") + "ShutType=1"             //
            + crlf + pad25("UserExitA=2");
        QCOMPARE(r.logText, expected);
    }

    void countsOfBrokenFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("sections");
        QTest::addColumn<int>("keys");
        const int ok = int(ConfigReadStatus::Ok);
        const int corrupted = int(ConfigReadStatus::Corrupted);
        QTest::newRow("master keys are unknown lines")
            << slaveFileWith("[Run]\r\n", "[Run]\r\nCName0=Office\r\nDel_On=2\r\nUpdate_On=2\r\n") << ok << 0 << 0;
        QTest::newRow("doubled key") << slaveFileWith("Force=2\r\n", "Force=2\r\nForce=2\r\n") << corrupted << 0 << -1;
        QTest::newRow("misspelt section") << slaveFileWith("[Run]", "[Runs]") << corrupted << 1 << 0;
        QTest::newRow("old StartTime alone") << slaveFileWith("FAT_On=1", "StartTime=1") << ok << 0 << 0;
        QTest::newRow("old UserExit alone") << slaveFileWith("UserExitA=2", "UserExit=2") << corrupted << 0 << 1;
        QTest::newRow("StopTime too large")
            << slaveFileWith("StopTime=10000", "StopTime=40000") << int(ConfigReadStatus::ReadError) << 0 << 0;
        QTest::newRow("empty") << QByteArray() << corrupted << 4 << 20;
    }

    void countsOfBrokenFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(int, sections);
        QFETCH(int, keys);
        SlaveConfig rec;
        const ConfigReadResult r = readBytes(bytes, rec);
        QCOMPARE(int(r.status), status);
        if (r.status != ConfigReadStatus::ReadError) {
            QCOMPARE(r.sectionErrors, sections);
            QCOMPARE(r.keyErrors, keys);
        }
    }

    void oldKeysWinOrInvert()
    {
        SlaveConfig rec;
        QCOMPARE(readBytes(slaveFileWith("FAT_On=1", "FAT_On=1\r\nStartTime=2"), rec).status, ConfigReadStatus::Ok);
        QCOMPARE(rec.StartTime, 2);
        QCOMPARE(readBytes(slaveFileWith("UserExitA=2", "UserExitA=2\r\nUserExit=2"), rec).status,
                 ConfigReadStatus::Ok);
        QCOMPARE(rec.UserExitA, 1);
    }

    void addressRule_data()
    {
        QTest::addColumn<int>("dName");
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("errors");
        QTest::addColumn<bool>("notConfigured");
        QTest::newRow("IPv4, empty") << 1 << "" << 0 << true;
        QTest::newRow("IPv4, host name") << 1 << "master1" << 1 << true;
        QTest::newRow("IPv4, address") << 1 << "10.1.1.1" << 0 << false;
        QTest::newRow("name, address") << 2 << "10.1.1.1" << 1 << true;
        QTest::newRow("name, empty") << 2 << "" << 0 << true;
        QTest::newRow("name, name") << 2 << "master1" << 0 << false;
        QTest::newRow("name, too long") << 2 << QString(101, QLatin1Char('m')) << 1 << true;
    }

    void addressRule()
    {
        QFETCH(int, dName);
        QFETCH(QString, address);
        QFETCH(int, errors);
        QFETCH(bool, notConfigured);
        SlaveConfig rec = slaveScreenDefaults();
        rec.DName = dName;
        rec.IPAdd = address;
        const ConfigCheck check = validateSlaveConfig(rec);
        QCOMPARE(check.errors, errors);
        QCOMPARE(check.notConfigured, notConfigured);
    }

    void startUpChecks()
    {
        SlaveConfig rec = addressedSlave();
        rec.Port1 = 65535;
        QCOMPARE(validateSlaveConfig(rec).errors, 0);
        rec.Port1 = 1023;
        rec.Port2 = 65536;
        QCOMPARE(validateSlaveConfig(rec).errors, 2);

        rec = addressedSlave();
        rec.StopTime = 12000;  // file value 22000: its last four digits read 20:00
        rec.LogPath.clear();
        QCOMPARE(validateSlaveConfig(rec).errors, 0);
        QCOMPARE(rec.LogPath, QStringLiteral("Log\\"));
    }
};

QTEST_MAIN(TestConfigSlave)
#include "test_config_slave.moc"

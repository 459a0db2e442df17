#include "ConfigFile.h"
#include "TestSupport.h"
#include <QTemporaryDir>
#include <QtTest>

using namespace tolvex;

namespace {

const QDateTime kSavedAt(QDate(2026, 3, 14), QTime(9, 15, 0));

QString pad25(const QString &line) { return line.leftJustified(25, QLatin1Char(' ')); }

MasterConfig namedMaster()
{
    MasterConfig rec = masterScreenDefaults();
    rec.CName = {QStringLiteral("Office"), QStringLiteral("an-unusually-long-name-1"), QStringLiteral("B"),
                 QString(), QString()};
    rec.IPAdd[1] = QStringLiteral("192.168.1.20");
    rec.IPAdd[2] = QStringLiteral("192.168.1.21");
    rec.StartTime = 2;
    rec.StartDelay = 930;
    rec.StopTime = 2359;
    rec.Stop_On = 2;
    return rec;
}

// The default file text with one line replaced (or removed when `to` is null).
QByteArray defaultFileWith(const QString &from, const QString &to)
{
    QStringList lines = masterConfigFileText(masterScreenDefaults(), 1, 0, kSavedAt).split(QStringLiteral("\r\n"));
    const int at = lines.indexOf(from);
    Q_ASSERT(at >= 0);
    if (to.isNull())
        lines.removeAt(at);
    else
        lines[at] = to;
    return lines.join(QStringLiteral("\r\n")).toUtf8();
}

} // namespace

class TestConfigReader : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_path;

    ConfigReadResult readBytes(const QByteArray &bytes, MasterConfig &rec)
    {
        test::writeFile(m_path, bytes);
        return readMasterConfig(m_path, rec);
    }

private slots:
    void init() { m_path = m_dir.filePath(QStringLiteral("TolvexM.ini")); }

    void writtenFileReadsBackWithBothCountersZero()
    {
        const MasterConfig written = namedMaster();
        MasterConfig rec;
        const ConfigReadResult r = readBytes(masterConfigFileText(written, 1, 0, kSavedAt).toUtf8(), rec);
        QCOMPARE(r.status, ConfigReadStatus::Ok);
        QCOMPARE(r.sectionErrors, 0);
        QCOMPARE(r.keyErrors, 0);
        QCOMPARE(rec.CName, written.CName);
        QCOMPARE(rec.IPAdd, written.IPAdd);
        QCOMPARE(rec.StartTime, 2);
        QCOMPARE(rec.StartDelay, 930);
        QCOMPARE(rec.StopTime, 2359);
        QCOMPARE(rec.LogPath, QStringLiteral("Log\\"));
        QCOMPARE(rec.Port1, 10000);
        QCOMPARE(rec.Port2, 10001);
        QCOMPARE(rec.DelTime, 900);
        QCOMPARE(rec.Update_On, 2);
        QCOMPARE(rec.UserExitA, 2);
    }

    void dumpPairsShortLinesAndSeparatesSections()
    {
        MasterConfig rec;
        const ConfigReadResult r = readBytes(masterConfigFileText(namedMaster(), 1, 0, kSavedAt).toUtf8(), rec);
        const QString crlf = QStringLiteral("\r\n");
        QVERIFY(r.logText.startsWith(crlf + "Configuration" + crlf + "-------------" + crlf + crlf + "[Activate]"
                                     + crlf + pad25("FAT_On=2") + "LogLevel=2" + crlf + pad25("LogName=TolvexM.log")
                                     + "LogPath=Log\\" + crlf));
        // Update_On is the ninth key: alone on its row, with its padding.
        QVERIFY(r.logText.contains(crlf + pad25("Update_On=2") + crlf + crlf + "[Comms]" + crlf));
        // A line of 24 characters or more stands on its own row and breaks the pairing.
        QVERIFY(r.logText.contains(crlf + pad25("DName=1") + "CName0=Office" + crlf + "CName1=an-unusually-long-name-1" + crlf
                                   + pad25("CName2=B") + "CName3=" + crlf));
        QVERIFY(r.logText.endsWith(crlf + pad25("UserExitA=2")));
        QCOMPARE(r.logText.count(QStringLiteral("\r\n\r\n[")), 4);
        QVERIFY(!r.logText.contains(QStringLiteral("#")));
    }

    void dumpKeepsOddLinesAndLeavesOutCMain()
    {
        MasterConfig rec;
        QByteArray bytes = masterConfigFileText(masterScreenDefaults(), 1, 0, kSavedAt).toUtf8();
        bytes += "CMain=somewhere\r\n  # indented\r\nxy\r\nab\r\n";
        const ConfigReadResult r = readBytes(bytes, rec);
        QCOMPARE(r.status, ConfigReadStatus::Ok);
        QVERIFY(!r.logText.contains(QStringLiteral("CMain")));
        // UserExitA=2 left its row open; the trimmed indented line completes it.
        QVERIFY(r.logText.endsWith(pad25("UserExitA=2") + "# indented\r\n" + "xy" + QString(19, QLatin1Char(' '))
                                   + "ab"));
    }

    void brokenFilesAreCountedOrRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("sections");
        QTest::addColumn<int>("keys");
        const int ok = int(ConfigReadStatus::Ok);
        const int corrupted = int(ConfigReadStatus::Corrupted);
        const int readError = int(ConfigReadStatus::ReadError);
        QTest::newRow("blanks around =") << defaultFileWith("LogLevel=2", "LogLevel = 2") << corrupted << 0 << 1;
        QTest::newRow("lower-case section") << defaultFileWith("[Activate]", "[activate]") << corrupted << 1 << 0;
        QTest::newRow("missing key") << defaultFileWith("Force=2", QString()) << corrupted << 0 << 1;
        QTest::newRow("doubled key") << defaultFileWith("Force=2", "Force=2\r\nForce=1") << corrupted << 0 << -1;
        QTest::newRow("missing and doubled")
            << defaultFileWith("Force=2", QString()).replace("NoWarn=1", "NoWarn=1\r\nNoWarn=1") << ok << 0 << 0;
        QTest::newRow("empty file") << QByteArray() << corrupted << 4 << 31;
        QTest::newRow("old UserExit alone") << defaultFileWith("UserExitA=2", "UserExit=1") << corrupted << 0 << 1;
        QTest::newRow("StopTime too large") << defaultFileWith("StopTime=10000", "StopTime=40000") << readError << 0 << 0;
        QTest::newRow("Integer rounds past its range")
            << defaultFileWith("CPUDelay=60", "CPUDelay=32767.5") << readError << 0 << 0;
        QTest::newRow("Integer at its low end") << defaultFileWith("CPUDelay=60", "CPUDelay=-32768") << ok << 0 << 0;
        QTest::newRow("Long port accepts 70000") << defaultFileWith("Port1=10000", "Port1=70000") << ok << 0 << 0;
        QTest::newRow("Long port overflows")
            << defaultFileWith("Port1=10000", "Port1=2147483648") << readError << 0 << 0;
        QTest::newRow("huge number")
            << defaultFileWith("ShutTime=60", "ShutTime=" + QString(400, QLatin1Char('9'))) << readError << 0 << 0;
        QTest::newRow("clock step overflows")
            << defaultFileWith("StopTime=10000", "StopTime=-22769") << readError << 0 << 0;
        QTest::newRow("overlong line")
            << defaultFileWith("CName0=", "CName0=" + QString(5000, QLatin1Char('x'))) << readError << 0 << 0;
        QTest::newRow("NUL bytes") << QByteArray("[Activate]\r\nFAT_On=1\0\0\r\n", 24) << readError << 0 << 0;
        QByteArray binary;
        for (int i = 0; i < 512; ++i)
            binary.append(char((i * 37) % 256));
        QTest::newRow("binary") << binary << readError << 0 << 0;
        QTest::newRow("oversized") << QByteArray(2 * 1024 * 1024, 'a') << readError << 0 << 0;
    }

    void brokenFilesAreCountedOrRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(int, sections);
        QFETCH(int, keys);
        MasterConfig rec;
        const ConfigReadResult r = readBytes(bytes, rec);
        QCOMPARE(int(r.status), status);
        if (r.status != ConfigReadStatus::ReadError) {
            QCOMPARE(r.sectionErrors, sections);
            QCOMPARE(r.keyErrors, keys);
        }
    }

    void missingFileIsAReadError()
    {
        MasterConfig rec;
        QCOMPARE(readMasterConfig(m_dir.filePath(QStringLiteral("none.ini")), rec).status, ConfigReadStatus::ReadError);
    }

    void absentKeyKeepsItsPreviousValue()
    {
        MasterConfig rec;
        rec.Force = 7;
        rec.NoWarn = 5;
        readBytes(defaultFileWith("Force=2", QString()), rec);
        QCOMPARE(rec.Force, 7);
        QCOMPARE(rec.NoWarn, 1);
    }

    void numbersAreTheLeadingDecimalRoundedHalfToEven_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << "60" << 60;
        QTest::newRow("leading zeros") << "060" << 60;
        QTest::newRow("blanks before") << "  45" << 45;
        QTest::newRow("trailing junk") << "30s" << 30;
        QTest::newRow("no number") << "abc" << 0;
        QTest::newRow("nothing") << "" << 0;
        QTest::newRow("sign") << "-12" << -12;
        QTest::newRow("plus") << "+12" << 12;
        QTest::newRow("half down to even") << "60.5" << 60;
        QTest::newRow("half up to even") << "61.5" << 62;
        QTest::newRow("below half") << "7.49" << 7;
        QTest::newRow("point first") << ".5" << 0;
        QTest::newRow("second point stops") << "1.5.9" << 2;
        QTest::newRow("no exponent") << "3e2" << 3;
        QTest::newRow("blank inside stops") << "1 2" << 1;
    }

    void numbersAreTheLeadingDecimalRoundedHalfToEven()
    {
        QFETCH(QString, value);
        QFETCH(int, expected);
        MasterConfig rec;
        const ConfigReadResult r = readBytes(defaultFileWith("CPUDelay=60", "CPUDelay=" + value), rec);
        QCOMPARE(r.status, ConfigReadStatus::Ok);
        QCOMPARE(rec.CPUDelay, expected);
    }

    void textValuesKeepLeadingBlanks()
    {
        MasterConfig rec;
        readBytes(defaultFileWith("CName0=", "   CName0=  My PC   "), rec);
        QCOMPARE(rec.CName[0], QStringLiteral("  My PC"));
    }

    void oldKeysStandInOrAreCounted()
    {
        MasterConfig rec;
        ConfigReadResult r = readBytes(defaultFileWith("FAT_On=1", "StartTime=2"), rec);
        QCOMPARE(r.status, ConfigReadStatus::Ok);
        QCOMPARE(rec.StartTime, 2);

        r = readBytes(defaultFileWith("FAT_On=1", "FAT_On=1\r\nStartTime=2"), rec);
        QCOMPARE(r.status, ConfigReadStatus::Ok);
        QCOMPARE(rec.StartTime, 2);

        r = readBytes(defaultFileWith("UserExitA=2", "UserExitA=1\r\nUserExit=1"), rec);
        QCOMPARE(r.status, ConfigReadStatus::Ok);
        QCOMPARE(rec.UserExitA, 2);
        QCOMPARE(rec.UserExit, 0);

        r = readBytes(defaultFileWith("UserExitA=2", "UserExitA=1\r\nUserExit=2"), rec);
        QCOMPARE(rec.UserExitA, 1);
    }

    void clockModeStartDelayReadsEitherForm()
    {
        for (const char *value : {"930", "10930"}) {
            MasterConfig rec;
            const QByteArray bytes = defaultFileWith("FAT_On=1", "FAT_On=2").replace("StartDelay=2", QByteArray("StartDelay=") + value);
            QCOMPARE(readBytes(bytes, rec).status, ConfigReadStatus::Ok);
            QCOMPARE(rec.StartDelay, 930);
        }
        // In delay mode the value is seconds and stays as written.
        MasterConfig rec;
        readBytes(defaultFileWith("StartDelay=2", "StartDelay=930"), rec);
        QCOMPARE(rec.StartDelay, 930);
        QCOMPARE(rec.StopTime, 0);
    }

    void unixLineEndsReadTheSame()
    {
        MasterConfig rec;
        QByteArray bytes = masterConfigFileText(namedMaster(), 1, 0, kSavedAt).toUtf8();
        bytes.replace("\r\n", "\n");
        const ConfigReadResult r = readBytes(bytes, rec);
        QCOMPARE(r.status, ConfigReadStatus::Ok);
        QCOMPARE(rec.CName[0], QStringLiteral("Office"));
    }
};

QTEST_MAIN(TestConfigReader)
#include "test_config_reader.moc"

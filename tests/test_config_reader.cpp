#include "ConfigFile.h"
#include "TestSupport.h"
#include <QTemporaryDir>
#include <QtTest>

using namespace tolvex;

namespace {

QString pad25(const QString &line) { return line.leftJustified(25); }

const QDateTime kSavedAt(QDate(2026, 3, 14), QTime(9, 15));

QString fileOf(const MasterConfig &rec) { return masterConfigFileText(rec, 1, 0, kSavedAt); }

MasterConfig namedMaster()
{
    MasterConfig rec = masterScreenDefaults();
    rec.CName = {"Office", "an-unusually-long-name-1", "B", "", ""};
    rec.IPAdd = {"", "192.168.1.20", "192.168.1.21", "", ""};
    rec.StartTime = rec.Stop_On = 2;
    rec.StartDelay = 930;
    rec.StopTime = 2359;
    return rec;
}

// The default file with each line edits[i] replaced by edits[i + 1] (removed when empty).
QByteArray defaultFileWith(const QStringList &edits)
{
    QString text = fileOf(masterScreenDefaults());
    for (int i = 0; i + 1 < edits.size(); i += 2) {
        Q_ASSERT(text.count(edits[i] + "\r\n") == 1);
        text.replace(edits[i] + "\r\n", edits[i + 1].isEmpty() ? QString() : edits[i + 1] + "\r\n");
    }
    return text.toUtf8();
}

// The status (0 Ok, 1 Corrupted, 2 ReadError), then the section and key counts but for read errors.
QList<int> outcome(const ConfigReadResult &r)
{
    if (r.status == ConfigReadStatus::ReadError)
        return {2};
    return {int(r.status), r.sectionErrors, r.keyErrors};
}

} // namespace

class TestConfigReader : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    ConfigReadResult readBytes(const QByteArray &bytes, MasterConfig &rec)
    {
        test::writeFile(m_dir.filePath("TolvexM.ini"), bytes);
        return readMasterConfig(m_dir.filePath("TolvexM.ini"), rec);
    }

private slots:
    void writtenFileReadsBackWithBothCountersZero()
    {
        // Read back and written again, the file is unchanged: every key reached its field.
        const QString text = fileOf(namedMaster());
        for (const char *lineEnd : {"\r\n", "\n"}) {
            MasterConfig rec;
            QCOMPARE(outcome(readBytes(QString(text).replace("\r\n", lineEnd).toUtf8(), rec)), QList<int>({0, 0, 0}));
            QCOMPARE(fileOf(rec), text);
            QCOMPARE(rec.StartDelay, 930);
        }
        MasterConfig rec;
        QCOMPARE(outcome(readMasterConfig(m_dir.filePath("none.ini"), rec)), QList<int>{2});
    }

    void dumpPairsShortLinesAndLeavesOutCMain()
    {
        MasterConfig rec;
        const QByteArray odd = "CMain=somewhere\r\n  # indented\r\nxy\r\nab\r\n";
        const QString log = readBytes(fileOf(namedMaster()).toUtf8() + odd, rec).logText;
        const QString n = QStringLiteral("\r\n");
        QVERIFY(log.startsWith(n + "Configuration" + n + "-------------" + n + n + "[Activate]" + n + pad25("FAT_On=2")
                               + "LogLevel=2" + n + pad25("LogName=TolvexM.log") + "LogPath=Log\\" + n));
        // Update_On, the ninth key, stands alone; a line of 24 characters or more breaks the pairing.
        QVERIFY(log.contains(n + pad25("Update_On=2") + n + n + "[Comms]" + n));
        QVERIFY(log.contains(n + pad25("DName=1") + "CName0=Office" + n + "CName1=an-unusually-long-name-1" + n
                             + pad25("CName2=B") + "CName3=" + n));
        QCOMPARE(log.count("\r\n\r\n["), 4);
        QVERIFY(!log.contains("CMain") && !log.contains("# Tolvex"));
        // Odd lines are kept trimmed; a line under six characters gets only 19 blanks.
        QVERIFY(log.endsWith(pad25("UserExitA=2") + "# indented\r\nxy" + QString(19, ' ') + "ab"));
    }

    void brokenFilesAreCountedOrRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("expected");
        auto row = [](const char *name, const QStringList &edits, const QList<int> &expected) {
            QTest::newRow(name) << defaultFileWith(edits) << expected;
        };
        row("blanks around =", {"LogLevel=2", "LogLevel = 2"}, {1, 0, 1});
        row("lower-case section", {"[Activate]", "[activate]"}, {1, 1, 0});
        row("missing key", {"Force=2", ""}, {1, 0, 1});
        row("doubled key", {"Force=2", "Force=2\r\nForce=1"}, {1, 0, -1});
        row("missing and doubled", {"Force=2\r\nNoWarn=1", "NoWarn=1\r\nNoWarn=1"}, {0, 0, 0});
        row("old UserExit alone", {"UserExitA=2", "UserExit=1"}, {1, 0, 1});
        row("StopTime=40000", {"StopTime=10000", "StopTime=40000"}, {2});
        row("clock step overflows", {"StopTime=10000", "StopTime=-22769"}, {2});
        row("Integer rounds past range", {"CPUDelay=60", "CPUDelay=32767.5"}, {2});
        row("Integer low end", {"CPUDelay=60", "CPUDelay=-32768"}, {0, 0, 0});
        row("Long port 70000", {"Port1=10000", "Port1=70000"}, {0, 0, 0});
        row("Long overflows", {"Port1=10000", "Port1=2147483648"}, {2});
        row("huge number", {"ShutTime=60", "ShutTime=" + QString(400, '9')}, {2});
        row("overlong line", {"CName0=", "CName0=" + QString(5000, 'x')}, {2});
        QByteArray binary;
        for (int i = 0; i < 512; ++i)
            binary.append(char((i * 37) % 256));
        QTest::newRow("binary") << binary << QList<int>{2};
        QTest::newRow("NUL bytes") << QByteArray("[Activate]\r\nFAT_On=1\0\0\r\n", 24) << QList<int>{2};
        QTest::newRow("oversized") << QByteArray(2 * 1024 * 1024, 'a') << QList<int>{2};
        QTest::newRow("empty file") << QByteArray() << QList<int>{1, 4, 31};
    }

    void brokenFilesAreCountedOrRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, expected);
        MasterConfig rec;
        QCOMPARE(outcome(readBytes(bytes, rec)), expected);
    }

    void absentKeysAndTextValues()
    {
        MasterConfig rec;
        rec.Force = 7;  // an absent key keeps its previous value
        readBytes(defaultFileWith({"Force=2", "", "CName0=", "   CName0=  My PC   "}), rec);
        QCOMPARE(rec.Force, 7);
        QCOMPARE(rec.NoWarn, 1);
        QCOMPARE(rec.CName[0], QStringLiteral("  My PC"));  // text keeps its leading blanks
    }

    // Midnight, a minute past it and a minute before it, in clock mode and as the stop
    // time, written as the file writes them (1hhmm) and read back as hhmm.
    void clockTimesAtTheDayBoundaries_data()
    {
        QTest::addColumn<int>("hhmm");
        QTest::addColumn<QString>("written");
        QTest::newRow("00:00") << 0 << "10000";
        QTest::newRow("00:01") << 1 << "10001";
        QTest::newRow("23:59") << 2359 << "12359";
    }

    void clockTimesAtTheDayBoundaries()
    {
        QFETCH(int, hhmm);
        QFETCH(QString, written);
        MasterConfig rec = masterScreenDefaults();
        rec.CName[0] = QStringLiteral("Office");
        rec.StartTime = rec.Stop_On = 2;
        rec.StartDelay = rec.StopTime = hhmm;
        const QString text = fileOf(rec);
        QVERIFY(text.contains("\r\nStartDelay=" + written + "\r\n") && text.contains("\r\nStopTime=" + written + "\r\n"));
        MasterConfig read;
        QCOMPARE(outcome(readBytes(text.toUtf8(), read)), QList<int>({0, 0, 0}));
        QCOMPARE(QList<int>({read.StartTime, read.StartDelay, read.StopTime}), QList<int>({2, hhmm, hhmm}));
        QCOMPARE(validateMasterConfig(read).errors, 0);
    }

    void valuesAsRead_data()
    {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QList<int>>("expected");  // CPUDelay, StartTime, StartDelay, UserExitA
        // Numbers are the leading decimal, halves to even; no exponent, a blank or a second point ends them.
        const std::pair<const char *, int> numbers[] = {
            {"60", 60},   {"060", 60},  {"  45", 45}, {"30s", 30}, {"abc", 0},   {"", 0},   {"-12", -12}, {"+12", 12},
            {"60.5", 60}, {"61.5", 62}, {"7.49", 7},  {".5", 0},   {"1.5.9", 2}, {"3e2", 3}, {"1 2", 1}};
        for (const auto &[value, number] : numbers)
            QTest::addRow("CPUDelay='%s'", value) << QStringList{"CPUDelay=60", "CPUDelay=" + QString(value)}
                                                  << QList<int>{number, 1, 2, 2};
        auto row = [](const char *name, const QStringList &edits, const QList<int> &expected) {
            QTest::newRow(name) << edits << expected;
        };
        row("StartTime for FAT_On", {"FAT_On=1", "StartTime=2"}, {60, 2, 2, 2});
        row("StartTime after FAT_On", {"FAT_On=1", "FAT_On=1\r\nStartTime=2"}, {60, 2, 2, 2});
        row("UserExit=1 is UserExitA=2", {"UserExitA=2", "UserExitA=1\r\nUserExit=1"}, {60, 1, 2, 2});
        row("UserExit=2 is UserExitA=1", {"UserExitA=2", "UserExitA=1\r\nUserExit=2"}, {60, 1, 2, 1});
        row("clock 930", {"FAT_On=1", "FAT_On=2", "StartDelay=2", "StartDelay=930"}, {60, 2, 930, 2});
        row("clock 10930", {"FAT_On=1", "FAT_On=2", "StartDelay=2", "StartDelay=10930"}, {60, 2, 930, 2});
        row("delay 930 seconds", {"StartDelay=2", "StartDelay=930"}, {60, 1, 930, 2});
    }

    void valuesAsRead()
    {
        QFETCH(QStringList, edits);
        QFETCH(QList<int>, expected);
        MasterConfig rec;
        QCOMPARE(outcome(readBytes(defaultFileWith(edits), rec)), QList<int>({0, 0, 0}));
        QCOMPARE(QList<int>({rec.CPUDelay, rec.StartTime, rec.StartDelay, rec.UserExitA}), expected);
        QCOMPARE(rec.UserExit, 0);
        QCOMPARE(rec.StopTime, 0);  // 10000 is 1hhmm for 00:00
    }
};

QTEST_MAIN(TestConfigReader)
#include "test_config_reader.moc"

#include "ConfigFile.h"
#include "TestSupport.h"
#include <QTemporaryDir>
#include <QtTest>

using namespace tolvex;

// The slave's own key table and address rule; the scan, number rules and dump it
// shares with the master are tested in test_config_reader.
class TestConfigSlave : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QList<int> outcome(const QByteArray &bytes, SlaveConfig &rec)
    {
        test::writeFile(m_dir.filePath("TolvexS.ini"), bytes);
        const ConfigReadResult r = readSlaveConfig(m_dir.filePath("TolvexS.ini"), rec);
        return {int(r.status), r.sectionErrors, r.keyErrors};
    }

private slots:
    void itsOwnKeyTable()
    {
        const QDateTime savedAt(QDate(2026, 7, 2), QTime(18, 4, 9));
        SlaveConfig written = slaveScreenDefaults();
        written.IPAdd = QStringLiteral("192.168.1.10");
        const QString text = slaveConfigFileText(written, 3, 12, savedAt);
        QVERIFY(text.startsWith("# Tolvex Slave Version 3.12\r\n# Configuration File\r\n# 02-Jul-26 18:04:09\r\n\r\n"));
        // Read back and written again, the file is unchanged: every key reached its field.
        SlaveConfig rec;
        QCOMPARE(outcome(text.toUtf8(), rec), QList<int>({0, 0, 0}));
        QCOMPARE(slaveConfigFileText(rec, 3, 12, savedAt), text);
        QCOMPARE(validateSlaveConfig(rec).errors, 0);
        // The master's keys are unknown lines here; an empty file misses the slave's 20 keys.
        const QString masterKeys = QStringLiteral("[Run]\r\nCName0=Office\r\nDel_On=2\r\nUpdate_On=2\r\n");
        QCOMPARE(outcome(QString(text).replace("[Run]\r\n", masterKeys).toUtf8(), rec), QList<int>({0, 0, 0}));
        QCOMPARE(outcome(QByteArray(), rec), QList<int>({1, 4, 20}));
    }

    // Clock times at the day's boundaries, as the slave's file writes them, read back.
    void clockTimesAtTheDayBoundaries()
    {
        const std::pair<int, const char *> times[] = {{0, "10000"}, {1, "10001"}, {2359, "12359"}};
        for (const auto &[hhmm, written] : times) {
            SlaveConfig rec = slaveScreenDefaults();
            rec.IPAdd = QStringLiteral("192.168.1.10");
            rec.StartTime = rec.Stop_On = 2;
            rec.StartDelay = rec.StopTime = hhmm;
            const QString text = slaveConfigFileText(rec, 1, 0, QDateTime(QDate(2026, 3, 14), QTime(9, 15)));
            QVERIFY(text.contains(QStringLiteral("\r\nStartDelay=%1\r\n").arg(written)));
            QVERIFY(text.contains(QStringLiteral("\r\nStopTime=%1\r\n").arg(written)));
            SlaveConfig read;
            QCOMPARE(outcome(text.toUtf8(), read), QList<int>({0, 0, 0}));
            QCOMPARE(QList<int>({read.StartTime, read.StartDelay, read.StopTime}), QList<int>({2, hhmm, hhmm}));
            QCOMPARE(validateSlaveConfig(read).errors, 0);
        }
    }

    // The slave judges its log name by the master's rule: a plain name, and never the
    // slave's own configuration file.
    void logNameRule()
    {
        QTemporaryDir dir;
        QVERIFY(test::writeFile(dir.filePath("Data/TolvexS.ini"), "x"));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const struct {
            const char *logPath;
            const char *logName;
            int errors;
        } rows[] = {{"Log\\", "TolvexS.log", 0},         {"../outside/", "TolvexS.log", 0},
                    {"Log\\", "../Data/TolvexS.ini", 1}, {"Log\\", "..\\..\\..\\esc.log", 1},
                    {"Data\\", "TolvexS.ini", 1},        {"DATA/", "tolvexs.ini", 1},
                    {"Data\\", "TolvexM.ini", 0}};
        QStringList wrong;
        for (const auto &row : rows) {
            SlaveConfig rec = slaveScreenDefaults();
            rec.LogPath = row.logPath;
            rec.LogName = row.logName;
            if (const int errors = validateSlaveConfig(rec).errors; errors != row.errors)
                wrong << QStringLiteral("%1%2: %3 errors").arg(row.logPath, row.logName).arg(errors);
        }
        QDir::setCurrent(previous);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join("; ")));
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
        QTest::newRow("name, too long") << 2 << QString(101, 'm') << 1 << true;
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
};

QTEST_MAIN(TestConfigSlave)
#include "test_config_slave.moc"

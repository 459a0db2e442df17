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

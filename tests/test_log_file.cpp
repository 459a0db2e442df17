#include "ConfigFile.h"
#include "LogFile.h"
#include "TestHost.h"
#include "TestSupport.h"
#include "TolvexVersion.h"
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace tolvex;

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QDateTime kNoon(QDate(2026, 3, 14), QTime(12, 0, 5));

QString version() { return QStringLiteral("Version %1.%2").arg(kVersionMajor).arg(kVersionMinor); }

QString header(const QString &title, const QString &stamp)
{
    return title + kCrLf + version() + kCrLf + QStringLiteral("File Created") + kCrLf + stamp + kCrLf;
}

} // namespace

class TestLogFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    LogSettings m_log;

    QString logFile(const QString &name = QStringLiteral("TolvexM.log")) const
    {
        return m_dir.filePath(QStringLiteral("Log/") + name);
    }

private slots:
    void init()
    {
        QDir(m_dir.filePath(QStringLiteral("Log"))).removeRecursively();
        QDir().mkpath(m_dir.filePath(QStringLiteral("Log")));
        m_log = LogSettings{3, m_dir.path() + QStringLiteral("/Log\\"), QStringLiteral("TolvexM.log"), 2};
    }

    void lineLayout_data()
    {
        QTest::addColumn<bool>("test");
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<double>("count");
        QTest::addColumn<QString>("comms");
        QTest::addColumn<QString>("line");
        const QString none;
        QTest::newRow("normal") << false << "Start" << "Initialise" << 0.0 << none
                                << "12:00:05,  Start    , Initialise, Count:    0";
        QTest::newRow("full") << false << "Start" << "Initialise" << 0.0 << "0, 0, 0, 0"
                              << "12:00:05,  Start    , Initialise, Count:    0, Comms: 0, 0, 0, 0";
        QTest::newRow("test run") << true << "Enter" << "Test" << 2.0 << "...."
                                  << "12:00:05, *Enter    , Test      , Count:    2, Comms: ....";
        QTest::newRow("cut") << false << "----------" << "Power Off now" << 12.0 << none
                             << "12:00:05,  ---------, Power Off , Count:   12";
        QTest::newRow("five digits") << false << "Run" << "" << 12345.0 << none
                                     << "12:00:05,  Run      ,           , Count:12345";
        QTest::newRow("six digits") << false << "Run" << "" << 123456.0 << none
                                    << "12:00:05,  Run      ,           , Count:23456";
        QTest::newRow("fraction") << false << "Run" << "" << 1.5 << none
                                  << "12:00:05,  Run      ,           , Count:  1.5";
        QTest::newRow("detail only") << false << "" << "x" << 0.0 << "No Network"
                                     << "12:00:05, " + QString(10, QLatin1Char(' ')) + ", x         , Count:    0, Comms: No Network";
        QTest::newRow("separator") << false << "" << "" << 3.0 << "0, 0, 0, 0" << "\r\n";
    }

    void lineLayout()
    {
        QFETCH(bool, test);
        QFETCH(QString, event);
        QFETCH(QString, detail);
        QFETCH(double, count);
        QFETCH(QString, comms);
        QFETCH(QString, line);
        QCOMPARE(formatLogLine(kNoon, test, event, detail, count, comms), line);
    }

    void dayBannerAtMidnightOnly()
    {
        const QDateTime midnight(QDate(2026, 12, 1), QTime(0, 0, 0, 400));
        QCOMPARE(formatLogLine(midnight, false, QStringLiteral("Run"), QString(), 0, QString()),
                 kCrLf + QStringLiteral("01-Dec-26") + kCrLf + QStringLiteral("---------") + kCrLf
                     + QStringLiteral("00:00:00,  Run      ,           , Count:    0"));
        QVERIFY(formatLogLine(midnight.addSecs(1), false, QStringLiteral("Run"), QString(), 0, QString())
                    .startsWith(QStringLiteral("00:00:01")));
        QCOMPARE(formatLogLine(midnight, false, QString(), QString(), 0, QString()), kCrLf);
    }

    void stampsReadBack()
    {
        for (int month = 1; month <= 12; ++month) {
            const QDateTime t(QDate(2031, month, 28), QTime(23, 59, 58));
            QCOMPARE(parseLogStamp(logStamp(t)), t);
        }
        QCOMPARE(logStamp(QDateTime(QDate(2026, 5, 3), QTime(7, 8, 9))), QStringLiteral("03-May-26 07:08:09"));
        QCOMPARE(logDate(QDateTime(QDate(2026, 5, 3), QTime(7, 8, 9))), QStringLiteral("03-May-26"));
        for (const char *bad : {"", "Tolvex", "31-Feb-26 10:00:00", "14-Mrz-26 10:00:00", "14-Mar-26", "14-Mar-26 25:00:00"})
            QVERIFY2(!parseLogStamp(QLatin1String(bad)).isValid(), bad);
    }

    void rotationPeriods()
    {
        const QDateTime lateJan31(QDate(2026, 1, 31), QTime(23, 59, 0));
        QVERIFY(rotationDue(lateJan31, lateJan31.addSecs(60), 3));
        QVERIFY(!rotationDue(lateJan31, lateJan31.addSecs(30), 3));
        QVERIFY(rotationDue(lateJan31, lateJan31.addSecs(60), 2));
        QVERIFY(!rotationDue(QDateTime(QDate(2026, 3, 1), QTime(0, 0)), QDateTime(QDate(2026, 3, 31), QTime(23, 0)), 2));
        QVERIFY(rotationDue(QDateTime(QDate(2025, 3, 5), QTime(0, 0)), QDateTime(QDate(2026, 3, 5), QTime(1, 0)), 2));
        QVERIFY(!rotationDue(lateJan31, lateJan31.addDays(40), 1));
    }

    void newLogGetsItsHeader()
    {
        test::TestHost host;
        host.clock.set(kNoon);
        mdInit::StartLogFile(host, m_log);
        QCOMPARE(QString::fromUtf8(test::readFile(logFile())), header(QStringLiteral("Tolvex"), "14-Mar-26 12:00:05"));
        QVERIFY(host.boxes.shown().empty());
        // A second start the same day leaves the log as it is.
        test::writeFile(logFile(), test::readFile(logFile()) + "line\r\n");
        mdInit::StartLogFile(host, m_log);
        QVERIFY(test::readFile(logFile()).endsWith("line\r\n"));
    }

    void rotationByDayMovesTheGenerations()
    {
        test::writeFile(logFile(), header(QStringLiteral("Tolvex"), "13-Mar-26 23:59:00").toUtf8() + "old\r\n");
        test::writeFile(logFile(QStringLiteral("TolvexM_A.log")), "generation A");
        test::writeFile(logFile(QStringLiteral("TolvexM_B.log")), "generation B");
        test::TestHost host(QStringLiteral("Tolvex Slave"));
        host.clock.set(QDateTime(QDate(2026, 3, 14), QTime(0, 0, 30)));
        mdInit::StartLogFile(host, m_log);
        QVERIFY(host.boxes.shown().empty());
        QCOMPARE(test::readFile(logFile(QStringLiteral("TolvexM_B.log"))), QByteArray("generation A"));
        QVERIFY(test::readFile(logFile(QStringLiteral("TolvexM_A.log"))).endsWith("old\r\n"));
        QCOMPARE(QString::fromUtf8(test::readFile(logFile())),
                 header(QStringLiteral("Tolvex Slave"), "14-Mar-26 00:00:30") + kCrLf + kCrLf + kCrLf);
    }

    void rotationByMonthAndItsSwitch()
    {
        const QByteArray jan31 = header(QStringLiteral("Tolvex"), "31-Jan-26 08:00:00").toUtf8();
        test::TestHost host;
        m_log.LogLevel = 2;
        m_log.LogR_On = 1;  // rotation off: never rotated
        test::writeFile(logFile(), jan31);
        host.clock.set(QDateTime(QDate(2026, 2, 1), QTime(8, 0)));
        mdInit::StartLogFile(host, m_log);
        QCOMPARE(test::readFile(logFile()), jan31);

        m_log.LogR_On = 2;
        mdInit::StartLogFile(host, m_log);
        QCOMPARE(test::readFile(logFile(QStringLiteral("TolvexM_A.log"))), jan31);
        QVERIFY(!QFile::exists(logFile(QStringLiteral("TolvexM_B.log"))));
        QVERIFY(test::readFile(logFile()).contains("01-Feb-26 08:00:00"));
    }

    void unreadableLogsEndWithTheRotateWording_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("ends");
        const QByteArray today = header(QStringLiteral("Tolvex"), "14-Mar-26 08:00:00").toUtf8();
        const QByteArray yesterday = header(QStringLiteral("Tolvex"), "13-Mar-26 08:00:00").toUtf8();
        QTest::newRow("no stamp") << QByteArray("Tolvex\r\nVersion 1.0\r\nFile Created\r\n14/03/2026\r\n")
                                  << "TolvexM.log" << true;
        QTest::newRow("three lines") << QByteArray("Tolvex\r\nVersion 1.0\r\nFile Created\r\n") << "TolvexM.log" << true;
        QTest::newRow("no dot, due") << yesterday << "TolvexMlog" << true;
        QTest::newRow("no dot, not due") << today << "TolvexMlog" << false;
    }

    void unreadableLogsEndWithTheRotateWording()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        QFETCH(bool, ends);
        m_log.LogName = name;
        test::writeFile(logFile(name), content);
        test::TestHost host;
        host.clock.set(kNoon);
        QCOMPARE(host.ends([&] { mdInit::StartLogFile(host, m_log); }), ends);
        if (ends) {
            QCOMPARE(host.lastBox().title, QStringLiteral("Tolvex Log File Error"));
            QCOMPARE(host.lastBox().text, QStringLiteral("Unable to rotate the log file ") + name
                                              + QStringLiteral(".\r\nThis may be a permissions problem.\r\n"
                                                               "The program will now terminate."));
            QCOMPARE(host.lastBox().icon, BoxIcon::Exclamation);
            QVERIFY(host.trayRemoved());
            QCOMPARE(test::readFile(logFile(name)), content);
        }
    }

    void creationFailureEndsWithTheCreateWording()
    {
        QDir().mkpath(logFile());  // a folder where the log should be
        test::TestHost host;
        QVERIFY(host.ends([&] { mdInit::StartLogFile(host, m_log); }));
        QVERIFY(host.lastBox().text.startsWith(QStringLiteral("Unable to create the log file TolvexM.log.\r\n")));
    }

    void headers()
    {
        test::TestHost host;
        host.clock.set(kNoon);
        test::writeFile(logFile(), "");
        const QString dump = QStringLiteral("\r\nConfiguration\r\n-------------\r\n\r\n[Run]");

        QString text = dump;
        m_log.LogLevel = 2;
        mdInit::WriteLogHeader(host, m_log, 0, text);
        const QString start = QStringLiteral("Tolvex") + kCrLf + version() + kCrLf + QStringLiteral("14-Mar-26") + kCrLf;
        QCOMPARE(text, start);

        text = dump;
        m_log.LogLevel = 3;
        mdInit::WriteLogHeader(host, m_log, 0, text);
        QCOMPARE(text, start + dump + kCrLf);

        text = dump;
        mdInit::WriteLogHeader(host, m_log, 1, text);
        QCOMPARE(text, kCrLf + dump + kCrLf);

        QCOMPARE(QString::fromUtf8(test::readFile(logFile())),
                 start + kCrLf + start + dump + kCrLf + kCrLf + kCrLf + dump + kCrLf + kCrLf);
        QVERIFY(host.boxes.shown().empty());
    }

    void headerNeedsAnExistingLog()
    {
        test::TestHost host(QStringLiteral("Tolvex Slave"));
        QString text;
        QVERIFY(host.ends([&] { mdInit::WriteLogHeader(host, m_log, 0, text); }));
        QCOMPARE(host.lastBox().title, QStringLiteral("Tolvex Slave Log File Error"));
        QVERIFY(!QFile::exists(logFile()));
    }

    void levelOneWritesAndChecksNothing()
    {
        test::TestHost host;
        m_log.LogLevel = 1;
        m_log.LogPath = m_dir.path() + QStringLiteral("/missing\\");
        QString text = QStringLiteral("dump");
        QVERIFY(!host.ends([&] {
            mdInit::StartLogFile(host, m_log);
            mdInit::WriteLogHeader(host, m_log, 0, text);
            QVERIFY(mdInit::AppendLogLine(host, m_log, QStringLiteral("line")));
            QVERIFY(mdInit::AppendLogLine(host, m_log, QStringLiteral("line"), mdInit::LogFailure::Report));
        }));
        QVERIFY(host.boxes.shown().empty());
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("missing"))));
        QCOMPARE(text, QStringLiteral("dump"));
    }

    void appendingLines()
    {
        test::TestHost host;
        test::writeFile(logFile(), "head\r\n");
        QVERIFY(mdInit::AppendLogLine(host, m_log, QStringLiteral("one")));
        QVERIFY(mdInit::AppendLogLine(host, m_log, kCrLf, mdInit::LogFailure::Report));
        QCOMPARE(test::readFile(logFile()), QByteArray("head\r\none\r\n\r\n\r\n"));
    }

    void reportModeNeverEnds()
    {
        test::TestHost host;
        QVERIFY(!host.ends([&] {
            QVERIFY(!mdInit::AppendLogLine(host, m_log, QStringLiteral("Close"), mdInit::LogFailure::Report));
            m_log.LogPath = m_dir.path() + QStringLiteral("/gone/");
            QVERIFY(!mdInit::AppendLogLine(host, m_log, QStringLiteral("Close"), mdInit::LogFailure::Report));
        }));
        QVERIFY(host.boxes.shown().empty());
        QCOMPARE(host.timerStops, 0);
    }

    void fatalModeEndsOnAMissingLog()
    {
        test::TestHost host;
        QVERIFY(host.ends([&] { mdInit::AppendLogLine(host, m_log, QStringLiteral("Run")); }));
        QCOMPARE(host.lastBox().title, QStringLiteral("Tolvex Log File Error"));
        QVERIFY(host.lastBox().text.startsWith(QStringLiteral("The log file is either missing or")));
    }

    void shippedConfigurationFilesAreTheWritersOutput()
    {
        const QDateTime any(QDate(2030, 1, 1), QTime(0, 0));
        const QString master = QStringLiteral(TOLVEX_SOURCE_DIR "/data/master/Data/TolvexM.ini");
        const QString slave = QStringLiteral(TOLVEX_SOURCE_DIR "/data/slave/Data/TolvexS.ini");
        auto withoutLine3 = [](const QString &text) {
            QStringList lines = text.split(kCrLf);
            lines.removeAt(2);
            return lines;
        };
        QCOMPARE(withoutLine3(QString::fromUtf8(test::readFile(master))),
                 withoutLine3(masterConfigFileText(masterScreenDefaults(), kVersionMajor, kVersionMinor, any)));
        QCOMPARE(withoutLine3(QString::fromUtf8(test::readFile(slave))),
                 withoutLine3(slaveConfigFileText(slaveScreenDefaults(), kVersionMajor, kVersionMinor, any)));
        QVERIFY(QFile::exists(QStringLiteral(TOLVEX_SOURCE_DIR "/data/master/Log/.keep")));
        QVERIFY(QFile::exists(QStringLiteral(TOLVEX_SOURCE_DIR "/data/slave/Log/.keep")));

        MasterConfig rec;
        QCOMPARE(readMasterConfig(master, rec).status, ConfigReadStatus::Ok);
        QCOMPARE(validateMasterConfig(rec).errors, 0);
        SlaveConfig srec;
        QCOMPARE(readSlaveConfig(slave, srec).status, ConfigReadStatus::Ok);
        QCOMPARE(validateSlaveConfig(srec).errors, 0);
    }
};

QTEST_MAIN(TestLogFile)
#include "test_log_file.moc"

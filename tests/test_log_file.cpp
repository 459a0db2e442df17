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
const QString kVersion = QStringLiteral("Version %1.%2").arg(kVersionMajor).arg(kVersionMinor);

QByteArray header(const QString &title, const QString &stamp)
{
    return (title + kCrLf + kVersion + kCrLf + "File Created" + kCrLf + stamp + kCrLf).toUtf8();
}

QDateTime at(int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute, second));
}

} // namespace

// The host's clock stands at 14-Mar-26 12:00:05 unless a test sets it.
class TestLogFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    LogSettings m_log;

    QString logFile(const QString &name = "TolvexM.log") const { return m_dir.filePath("Log/" + name); }
    QByteArray logBytes(const QString &name = "TolvexM.log") const { return test::readFile(logFile(name)); }

private slots:
    void init()
    {
        QDir(m_dir.filePath("Log")).removeRecursively();
        QDir().mkpath(m_dir.filePath("Log"));
        m_log = LogSettings{3, m_dir.path() + "/Log\\", "TolvexM.log", 2};
    }

    // Event and detail padded or cut to 9 and 10 characters, the counter right-aligned in 5.
    void lineLayout_data()
    {
        QTest::addColumn<QStringList>("words");  // event, detail and, when given, the comms part
        QTest::addColumn<double>("count");
        QTest::addColumn<QString>("line");
        QTest::newRow("normal") << QStringList{"Start", "Initialise"} << 0.0 << "  Start    , Initialise, Count:    0";
        QTest::newRow("comms") << QStringList{"Start", "Initialise", "0, 0, 0, 0"} << 0.0
                               << "  Start    , Initialise, Count:    0, Comms: 0, 0, 0, 0";
        QTest::newRow("cut") << QStringList{"----------", "Power Off now"} << 12.0
                             << "  ---------, Power Off , Count:   12";
        QTest::newRow("five digits") << QStringList{"Run", ""} << 12345.0 << "  Run      ,           , Count:12345";
        QTest::newRow("six digits") << QStringList{"Run", ""} << 123456.0 << "  Run      ,           , Count:23456";
        QTest::newRow("fraction") << QStringList{"Run", ""} << 1.5 << "  Run      ,           , Count:  1.5";
        QTest::newRow("detail only") << QStringList{"", "x", "No Network"} << 0.0
                                     << "           , x         , Count:    0, Comms: No Network";
    }

    void lineLayout()
    {
        QFETCH(QStringList, words);
        QFETCH(double, count);
        QFETCH(QString, line);
        const QString written = formatLogLine(at(12, 1, 12, 0, 5), false, words[0], words[1], count, words.value(2));
        QCOMPARE(written, "12:00:05," + line);
    }

    void testRunSeparatorDayBannerAndStamps()
    {
        QCOMPARE(formatLogLine(at(12, 1, 12, 0, 5), true, "Enter", "Test", 2, "...."),
                 QStringLiteral("12:00:05, *Enter    , Test      , Count:    2, Comms: ...."));
        // Both words empty: an empty line, at midnight too. The first line at exactly
        // 00:00:00 begins with the day's banner.
        const QDateTime midnight = at(12, 1, 0, 0).addMSecs(400);
        QCOMPARE(formatLogLine(at(12, 1, 12, 0, 5), false, "", "", 3, "0, 0, 0, 0"), kCrLf);
        QCOMPARE(formatLogLine(midnight, false, "", "", 0, QString()), kCrLf);
        QCOMPARE(formatLogLine(midnight, false, "Run", "", 0, QString()),
                 QStringLiteral("\r\n01-Dec-26\r\n---------\r\n00:00:00,  Run      ,           , Count:    0"));
        QVERIFY(formatLogLine(midnight.addSecs(1), false, "Run", "", 0, QString()).startsWith("00:00:01,  Run"));

        // Stamps read back for every month; anything else is no stamp.
        for (int month = 1; month <= 12; ++month)
            QCOMPARE(parseLogStamp(logStamp(at(month, 28, 23, 59, 58))), at(month, 28, 23, 59, 58));
        for (const char *bad :
             {"", "Tolvex", "31-Feb-26 10:00:00", "14-Mrz-26 10:00:00", "14-Mar-26", "14-Mar-26 25:00:00"})
            QVERIFY2(!parseLogStamp(bad).isValid(), bad);
        QVERIFY(rotationDue(at(1, 31, 8, 0), at(1, 31, 8, 0).addYears(1), 2));  // the same month of another year
    }

    void newLogsAndRotation()
    {
        test::TestHost host("Tolvex Slave");
        host.fakeClock.set(at(3, 13, 23, 59));
        mdInit::StartLogFile(host, m_log);  // the new log and its header in one step
        QCOMPARE(logBytes(), header("Tolvex Slave", "13-Mar-26 23:59:00"));
        test::writeFile(logFile(), logBytes() + "old\r\n");
        mdInit::StartLogFile(host, m_log);  // the same day: left as it is
        QVERIFY(logBytes().endsWith("old\r\n"));

        // Level 3, the next day: the log becomes generation A, A becomes B, B goes.
        test::writeFile(logFile("TolvexM_A.log"), "generation A");
        test::writeFile(logFile("TolvexM_B.log"), "generation B");
        host.fakeClock.set(at(3, 14, 0, 0, 30));
        mdInit::StartLogFile(host, m_log);
        QCOMPARE(logBytes("TolvexM_B.log"), QByteArray("generation A"));
        QVERIFY(logBytes("TolvexM_A.log").endsWith("old\r\n"));
        QCOMPARE(logBytes(), header("Tolvex Slave", "14-Mar-26 00:00:30") + "\r\n\r\n\r\n");

        // Level 2: not within the month, nor with rotation off; no generation B from nothing.
        QFile::remove(logFile("TolvexM_A.log"));
        QFile::remove(logFile("TolvexM_B.log"));
        const QByteArray march = logBytes();
        m_log.LogLevel = 2;
        host.fakeClock.set(at(3, 31, 23, 59));
        mdInit::StartLogFile(host, m_log);
        host.fakeClock.set(at(4, 1, 8, 0));
        m_log.LogR_On = 1;
        mdInit::StartLogFile(host, m_log);
        QCOMPARE(logBytes(), march);
        m_log.LogR_On = 2;
        mdInit::StartLogFile(host, m_log);
        QCOMPARE(logBytes("TolvexM_A.log"), march);
        QVERIFY(!QFile::exists(logFile("TolvexM_B.log")));
        QVERIFY(logBytes().contains("01-Apr-26 08:00:00"));
        QVERIFY(host.shown().empty());
    }

    // A log whose stamp cannot be read back is due: it becomes generation A with all
    // it held (A moving on to B), and a new log starts. A name without "." takes
    // "_A" at its end.
    void damagedLogsAreRotatedAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("genA");  // empty: the log is not rotated
        QTest::addColumn<QString>("genB");
        QTest::newRow("empty") << QByteArray("") << "TolvexM.log" << "TolvexM_A.log" << "TolvexM_B.log";
        QTest::newRow("no stamp") << QByteArray("Tolvex\r\nVersion 1.0\r\nFile Created\r\n14/03/2026\r\n")
                                  << "TolvexM.log" << "TolvexM_A.log" << "TolvexM_B.log";
        QTest::newRow("three lines") << QByteArray("Tolvex\r\nVersion 1.0\r\nFile Created\r\n") << "TolvexM.log"
                                     << "TolvexM_A.log" << "TolvexM_B.log";
        QTest::newRow("torn stamp") << QByteArray("Tolvex\r\nVersion 1.0\r\nFile Created\r\n14-Mar-26 0") << "Tolvex.log.txt"
                                    << "Tolvex.log_A.txt" << "Tolvex.log_B.txt";
        QTest::newRow("binary") << QByteArray("\0\x01\x02\xff\r\n\r\n\r\n\0", 11) << "TolvexM.log" << "TolvexM_A.log"
                                << "TolvexM_B.log";
        QTest::newRow("no dot, due") << header("Tolvex", "13-Mar-26 08:00:00") << "TolvexMlog" << "TolvexMlog_A"
                                     << "TolvexMlog_B";
        QTest::newRow("no dot, empty") << QByteArray("") << "TolvexMlog" << "TolvexMlog_A" << "TolvexMlog_B";
        QTest::newRow("no dot, not due") << header("Tolvex", "14-Mar-26 08:00:00") << "TolvexMlog" << "" << "";
    }

    void damagedLogsAreRotatedAside()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        QFETCH(QString, genA);
        QFETCH(QString, genB);
        m_log.LogName = name;
        QVERIFY(test::writeFile(logFile(name), content));
        if (!genA.isEmpty())
            QVERIFY(test::writeFile(logFile(genA), "older"));
        test::TestHost host;
        QVERIFY(!host.ends([&] { mdInit::StartLogFile(host, m_log); }));
        QVERIFY(host.shown().empty());
        if (genA.isEmpty()) {
            QCOMPARE(logBytes(name), content);
            return;
        }
        QCOMPARE(logBytes(genA), content);
        QCOMPARE(logBytes(genB), QByteArray("older"));
        QCOMPARE(logBytes(name), header("Tolvex", "14-Mar-26 12:00:05") + "\r\n\r\n\r\n");
        QCOMPARE(QDir(m_dir.filePath("Log")).entryList(QDir::Files).size(), 3);
    }

    void unrotatableOrUncreatableLogsEndTheProgram_data()
    {
        QTest::addColumn<QString>("inTheWay");  // a folder with a file in it, named so
        QTest::addColumn<QString>("text");
        QTest::newRow("generation B") << "TolvexM_B.log" << "Unable to rotate the log file TolvexM.log.\r\n";
        QTest::newRow("the log") << "TolvexM.log" << "Unable to create the log file TolvexM.log.\r\n";
    }

    void unrotatableOrUncreatableLogsEndTheProgram()
    {
        QFETCH(QString, inTheWay);
        QFETCH(QString, text);
        // A due log, generation A to move on, and a folder in the way of one of them.
        const QByteArray old = header("Tolvex", "13-Mar-26 08:00:00");
        const bool rotating = inTheWay != "TolvexM.log";
        QVERIFY(test::writeFile(logFile(inTheWay) + "/x", "x"));
        if (rotating)
            QVERIFY(test::writeFile(logFile(), old) && test::writeFile(logFile("TolvexM_A.log"), "A"));
        test::TestHost host;
        QVERIFY(host.ends([&] { mdInit::StartLogFile(host, m_log); }));
        QCOMPARE(host.lastBox().title, QStringLiteral("Tolvex Log File Error"));
        QVERIFY2(host.lastBox().text.startsWith(text), qPrintable(host.lastBox().text));
        QCOMPARE(host.lastBox().icon, BoxIcon::Exclamation);
        QVERIFY(host.trayRemoved());
        if (rotating)  // left as they were
            QVERIFY(logBytes() == old && logBytes("TolvexM_A.log") == "A");
    }

    void headers()
    {
        test::TestHost host;
        test::writeFile(logFile(), "");
        const QString dump = QStringLiteral("\r\nConfiguration\r\n-------------\r\n\r\n[Run]");
        const QString start = "Tolvex" + kCrLf + kVersion + kCrLf + "14-Mar-26" + kCrLf;
        // Start header at level 2, start header and dump at level 3, the dump alone in mode 1.
        const std::tuple<int, int, QString> steps[] = {{2, 0, start}, {3, 0, start + dump + kCrLf},
                                                       {3, 1, kCrLf + dump + kCrLf}};
        QString written;
        for (const auto &[level, mode, expected] : steps) {
            QString text = dump;
            m_log.LogLevel = level;
            mdInit::WriteLogHeader(host, m_log, mode, text);
            QCOMPARE(text, expected);
            written += expected + kCrLf;
        }
        QCOMPARE(QString::fromUtf8(logBytes()), written);
        QVERIFY(host.shown().empty());

        test::TestHost slave("Tolvex Slave");  // a header needs an existing log
        QFile::remove(logFile());
        QVERIFY(slave.ends([&] { mdInit::WriteLogHeader(slave, m_log, 0, written); }));
        QCOMPARE(slave.lastBox().title, QStringLiteral("Tolvex Slave Log File Error"));
        QVERIFY(!QFile::exists(logFile()));
    }

    void appendingAndLevelOne()
    {
        test::TestHost host;
        // No log yet: report mode answers false without a box or an end, fatal mode ends.
        QVERIFY(!host.ends([&] {
            QVERIFY(!mdInit::AppendLogLine(host, m_log, "Close", mdInit::LogFailure::Report));
            const LogSettings gone{3, m_dir.path() + "/gone/", "TolvexM.log", 2};
            QVERIFY(!mdInit::AppendLogLine(host, gone, "Close", mdInit::LogFailure::Report));
        }));
        QVERIFY(host.shown().empty());
        QCOMPARE(host.timerStops, 0);
        QVERIFY(host.ends([&] { mdInit::AppendLogLine(host, m_log, "Run"); }));
        QCOMPARE(host.lastBox().title, QStringLiteral("Tolvex Log File Error"));
        QVERIFY(host.lastBox().text.startsWith("The log file is either missing or"));

        test::writeFile(logFile(), "head\r\n");
        QVERIFY(mdInit::AppendLogLine(host, m_log, "one"));
        QVERIFY(mdInit::AppendLogLine(host, m_log, kCrLf, mdInit::LogFailure::Report));
        QCOMPARE(logBytes(), QByteArray("head\r\none\r\n\r\n\r\n"));

        // Level 1 writes and checks nothing, not even the folder.
        test::TestHost quiet;
        const LogSettings none{1, m_dir.path() + "/missing\\", "TolvexM.log", 2};
        QString text = QStringLiteral("dump");
        QVERIFY(!quiet.ends([&] {
            mdInit::StartLogFile(quiet, none);
            mdInit::WriteLogHeader(quiet, none, 0, text);
            QVERIFY(mdInit::AppendLogLine(quiet, none, "line"));
            QVERIFY(mdInit::AppendLogLine(quiet, none, "line", mdInit::LogFailure::Report));
        }));
        QVERIFY(quiet.shown().empty());
        QVERIFY(!QFileInfo::exists(m_dir.filePath("missing")));
        QCOMPARE(text, QStringLiteral("dump"));
    }

    // A disk that fills during a line: the write error, and the log byte for byte as it
    // was, in every writer. A line torn by a crash is closed before the next one.
    void failedAppendsLeaveTheLogAsItWas()
    {
        const QByteArray before = header("Tolvex", "14-Mar-26 08:00:00") + "12:00:04,  Run      ,           , Count:    1\r\n";
        test::writeFile(logFile(), before);
        test::TestHost host;
        {
            test::FileSizeLimit full(before.size() + 20);
            QVERIFY(full.inForce());
            QVERIFY(!mdInit::AppendLogLine(host, m_log, "12:00:05,  Run      ,           , Count:    2",
                                           mdInit::LogFailure::Report));
            QVERIFY(host.shown().empty());
            QVERIFY(host.ends([&] { mdInit::AppendLogLine(host, m_log, "12:00:05,  Run      ,           , Count:    2"); }));
            QString dump = QStringLiteral("\r\nConfiguration\r\n-------------");
            QVERIFY(host.ends([&] { mdInit::WriteLogHeader(host, m_log, 0, dump); }));
        }
        QCOMPARE(logBytes(), before);
        QCOMPARE(int(host.shown().size()), 2);
        for (const BoxRequest &box : host.shown()) {
            QCOMPARE(box.title, QStringLiteral("Tolvex Log File Write Error"));
            QVERIFY(box.text.startsWith("Unable to write to the log file TolvexM.log.\r\n"));
        }
        test::writeFile(logFile(), before + "12:00:05,  Ru");
        QVERIFY(mdInit::AppendLogLine(host, m_log, "12:00:06,  Run"));
        QCOMPARE(logBytes(), before + "12:00:05,  Ru\r\n12:00:06,  Run\r\n");
    }

    void shippedConfigurationFilesAreTheWritersOutput()
    {
        auto withoutLine3 = [](const QString &text) { return text.split(kCrLf).mid(0, 2) + text.split(kCrLf).mid(3); };
        const QDateTime any = at(1, 1, 0, 0);
        const QString master = QStringLiteral(TOLVEX_SOURCE_DIR "/data/master/Data/TolvexM.ini");
        const QString slave = QStringLiteral(TOLVEX_SOURCE_DIR "/data/slave/Data/TolvexS.ini");
        QCOMPARE(withoutLine3(QString::fromUtf8(test::readFile(master))),
                 withoutLine3(masterConfigFileText(masterScreenDefaults(), kVersionMajor, kVersionMinor, any)));
        QCOMPARE(withoutLine3(QString::fromUtf8(test::readFile(slave))),
                 withoutLine3(slaveConfigFileText(slaveScreenDefaults(), kVersionMajor, kVersionMinor, any)));
        for (const char *program : {"master", "slave"})
            QVERIFY(QFile::exists(QStringLiteral(TOLVEX_SOURCE_DIR "/data/%1/Log/.keep").arg(program)));
    }
};

QTEST_MAIN(TestLogFile)
#include "test_log_file.moc"

#include "FatalChecks.h"
#include "TestHost.h"
#include "TestSupport.h"
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace tolvex;

// The checks take paths relative to the program's folder: "ok" holds what they look
// for, "bad" a plain file named data, an empty Log folder and a folder TolvexM.ini.
class TestConfigFatal : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_startDir = QDir::currentPath();

private slots:
    void initTestCase()
    {
        test::writeFile(m_dir.filePath("ok/Data/TolvexM.ini"), "x");
        test::writeFile(m_dir.filePath("ok/Log/TolvexM.log"), "x");
        test::writeFile(m_dir.filePath("bad/data"), "not a folder");
        QVERIFY(QDir().mkpath(m_dir.filePath("bad/Log/TolvexM.ini")));
    }
    void cleanupTestCase() { QDir::setCurrent(m_startDir); }

    void presentPathsPassSilently()
    {
        QVERIFY(QDir::setCurrent(m_dir.filePath("ok")));
        test::TestHost host;
        QVERIFY(!host.ends([&] {
            mdInit::CheckDirectory(host, "data");  // finds "Data"
            mdInit::CheckLogDirectory(host, "Log\\");
            mdInit::CheckLogDirectory(host, m_dir.filePath("ok/log/"));
            mdInit::CheckWorkFile(host, "log", "Log\\", "TolvexM.log");
            mdInit::CheckInstalledFile(host, "configuration", "data\\", "tolvexm.ini");
        }));
        QVERIFY(host.shown().empty());
        QCOMPARE(host.timerStops, 0);
    }

    void missingPathsEndTheProgram_data()
    {
        QTest::addColumn<int>("check");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<BoxIcon>("icon");
        const QString end = QStringLiteral("\r\nThe program will now terminate.");
        QTest::newRow("data is a plain file") << 0 << "Tolvex Slave Data Directory Error"
            << "The data directory does not exist.\r\nTo restore the data directory\r\nreinstall the program." + end
            << BoxIcon::Critical;
        QTest::newRow("log folder") << 1 << "Tolvex Slave Log Directory Error"
            << "The log directory does not exist. This\r\ndirectory must be created manually if\r\n"
               "it is not the default one. To restore\r\nthe default log directory reinstall\r\nthe program." + end
            << BoxIcon::Critical;
        QTest::newRow("work file") << 2 << "Tolvex Slave Log File Error"
            << "The log file is either missing or\r\ncorrupted. Delete the log file if\r\n"
               "it exists and restart the program." + end
            << BoxIcon::Exclamation;
        QTest::newRow("installed file is a folder") << 3 << "Tolvex Slave Configuration File Error"
            << "The configuration file is either missing or\r\ncorrupted. To restore the configuration file\r\n"
               "reinstall the program." + end
            << BoxIcon::Exclamation;
        QTest::newRow("fatalExit leaving the timer") << 4 << "T" << "a\r\nb" << BoxIcon::Critical;
    }

    // One OK box, the main timer stopped, the tray icon removed, the program ended.
    void missingPathsEndTheProgram()
    {
        QFETCH(int, check);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(BoxIcon, icon);
        QVERIFY(QDir::setCurrent(m_dir.filePath("bad")));
        test::TestHost host("Tolvex Slave");
        const std::function<void()> checks[] = {
            [&] { mdInit::CheckDirectory(host, "data"); },
            [&] { mdInit::CheckLogDirectory(host, m_dir.filePath("nowhere/")); },
            [&] { mdInit::CheckWorkFile(host, "log", "Log\\", "TolvexM.log"); },
            [&] { mdInit::CheckInstalledFile(host, "configuration", "log\\", "TolvexM.ini"); },
            [&] { fatalExit(host, "T", {"a", "b"}, BoxIcon::Critical, false); },
        };
        QVERIFY(host.ends(checks[check]));
        QCOMPARE(host.shown().size(), size_t(1));
        const BoxRequest box = host.lastBox();
        QCOMPARE(std::make_tuple(box.title, box.text, box.icon, box.buttons),
                 std::make_tuple(title, text, icon, BoxButtons::Ok));
        QCOMPARE(host.timerStops, check == 4 ? 0 : 1);
        QVERIFY(host.trayRemoved());
        QCOMPARE(host.end.endCount(), 1);
    }
};

QTEST_MAIN(TestConfigFatal)
#include "test_config_fatal.moc"

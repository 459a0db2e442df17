#include "FatalChecks.h"
#include "TestHost.h"
#include "TestSupport.h"
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace tolvex;

class TestConfigFatal : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_startDir;

    // The box of a fatal end: one OK box, then the tray icon removed and the program ended.
    static void verifyFatalEnd(test::TestHost &host, const QString &title, const QStringList &lines, BoxIcon icon)
    {
        QCOMPARE(host.boxes.shown().size(), size_t(1));
        const BoxRequest box = host.lastBox();
        QCOMPARE(box.title, title);
        QCOMPARE(box.text, lines.join(QStringLiteral("\r\n")));
        QCOMPARE(box.icon, icon);
        QCOMPARE(box.buttons, BoxButtons::Ok);
        QCOMPARE(host.timerStops, 1);
        QVERIFY(host.trayRemoved());
        QCOMPARE(host.end.endCount(), 1);
    }

private slots:
    void initTestCase()
    {
        m_startDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }
    void cleanupTestCase() { QDir::setCurrent(m_startDir); }
    void cleanup()
    {
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        QDir::setCurrent(m_dir.path());
    }

    void presentPathsPassSilently()
    {
        QDir().mkpath(QStringLiteral("Data"));
        QDir().mkpath(QStringLiteral("Log"));
        test::writeFile(QStringLiteral("Data/TolvexM.ini"), "x");
        test::writeFile(QStringLiteral("Log/TolvexM.log"), "x");
        test::TestHost host;
        QVERIFY(!host.ends([&] {
            mdInit::CheckDirectory(host, QStringLiteral("data"));  // finds "Data"
            mdInit::CheckLogDirectory(host, QStringLiteral("Log\\"));
            mdInit::CheckLogDirectory(host, m_dir.path() + QStringLiteral("/log/"));
            mdInit::CheckWorkFile(host, QStringLiteral("log"), QStringLiteral("Log\\"), QStringLiteral("TolvexM.log"));
            mdInit::CheckInstalledFile(host, QStringLiteral("configuration"), QStringLiteral("data\\"),
                                       QStringLiteral("tolvexm.ini"));
        }));
        QVERIFY(host.boxes.shown().empty());
        QCOMPARE(host.timerStops, 0);
    }

    void missingDataFolder()
    {
        test::TestHost host;
        QVERIFY(host.ends([&] { mdInit::CheckDirectory(host, QStringLiteral("data")); }));
        verifyFatalEnd(host, QStringLiteral("Tolvex Data Directory Error"),
                       {QStringLiteral("The data directory does not exist."),
                        QStringLiteral("To restore the data directory"), QStringLiteral("reinstall the program."),
                        QStringLiteral("The program will now terminate.")},
                       BoxIcon::Critical);
    }

    void aPlainFileIsNoFolder()
    {
        test::writeFile(QStringLiteral("data"), "not a folder");
        test::TestHost host(QStringLiteral("Tolvex Slave"));
        QVERIFY(host.ends([&] { mdInit::CheckDirectory(host, QStringLiteral("data")); }));
        QCOMPARE(host.lastBox().title, QStringLiteral("Tolvex Slave Data Directory Error"));
    }

    void missingLogFolder()
    {
        test::TestHost host;
        QVERIFY(host.ends([&] { mdInit::CheckLogDirectory(host, m_dir.path() + QStringLiteral("/nowhere/")); }));
        verifyFatalEnd(host, QStringLiteral("Tolvex Log Directory Error"),
                       {QStringLiteral("The log directory does not exist. This"),
                        QStringLiteral("directory must be created manually if"),
                        QStringLiteral("it is not the default one. To restore"),
                        QStringLiteral("the default log directory reinstall"), QStringLiteral("the program."),
                        QStringLiteral("The program will now terminate.")},
                       BoxIcon::Critical);
    }

    void missingWorkFile()
    {
        QDir().mkpath(QStringLiteral("Log"));
        test::TestHost host;
        QVERIFY(host.ends([&] {
            mdInit::CheckWorkFile(host, QStringLiteral("log"), QStringLiteral("Log\\"), QStringLiteral("TolvexM.log"));
        }));
        verifyFatalEnd(host, QStringLiteral("Tolvex Log File Error"),
                       {QStringLiteral("The log file is either missing or"),
                        QStringLiteral("corrupted. Delete the log file if"),
                        QStringLiteral("it exists and restart the program."),
                        QStringLiteral("The program will now terminate.")},
                       BoxIcon::Exclamation);
    }

    void missingInstalledFile()
    {
        QDir().mkpath(QStringLiteral("Data"));
        QDir().mkpath(QStringLiteral("Data/TolvexM.ini"));  // a folder is not the file
        test::TestHost host;
        QVERIFY(host.ends([&] {
            mdInit::CheckInstalledFile(host, QStringLiteral("configuration"), QStringLiteral("Data\\"),
                                       QStringLiteral("TolvexM.ini"));
        }));
        verifyFatalEnd(host, QStringLiteral("Tolvex Configuration File Error"),
                       {QStringLiteral("The configuration file is either missing or"),
                        QStringLiteral("corrupted. To restore the configuration file"),
                        QStringLiteral("reinstall the program."), QStringLiteral("The program will now terminate.")},
                       BoxIcon::Exclamation);
    }

    void fatalExitCanLeaveTheTimerAlone()
    {
        test::TestHost host;
        QVERIFY(host.ends([&] {
            fatalExit(host, QStringLiteral("T"), {QStringLiteral("a"), QStringLiteral("b")}, BoxIcon::Critical, false);
        }));
        QCOMPARE(host.timerStops, 0);
        QCOMPARE(host.lastBox().text, QStringLiteral("a\r\nb"));
        QVERIFY(host.trayRemoved());
        QVERIFY(host.end.ended());
    }
};

QTEST_MAIN(TestConfigFatal)
#include "test_config_fatal.moc"

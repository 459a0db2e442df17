// The master's start-up: switches, configuration and folder checks, log start.
#include "CommandLine.h"
#include "MasterFixture.h"
#include "ui_TolvexMMain.h"
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace tolvex;
using namespace tolvex::test;

class MasterStartupTest : public QObject {
    Q_OBJECT
private slots:
    void switchTable_data();
    void switchTable();
    void allowMultiOnlyAtTheEnd();
    void startsIntoActivationAndLogs();
    void fullLevelRunLinesCarryComms();
    void fatalStartupFailures_data();
    void fatalStartupFailures();
    void switchShowsErrorCountsOnlyAfterReconfiguration();
    void unconfiguredStartStaysIdle();
    void levelOneWritesNoLog();
};

void MasterStartupTest::switchTable_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("mode");
    QTest::newRow("none") << QString() << 0;
    QTest::newRow("inhibit shutdown") << "-InhibitShutdown" << 1;
    QTest::newRow("with trailing text") << "-InhibitShutdownXYZ" << 1;
    QTest::newRow("add error message") << "-AddErrorMessage" << 2;
    QTest::newRow("start shutdown") << "-StartShutdown" << 3;
    QTest::newRow("inhibit admin") << "-InhibitAdmin" << 4;
    QTest::newRow("short update") << "-ShortUpdateTime" << 5;
    QTest::newRow("inhibit update") << "-InhibitUpdate" << 6;
    QTest::newRow("leading blank") << " -InhibitShutdown" << 0;
    QTest::newRow("other case") << "-inhibitshutdown" << 0;
    QTest::newRow("switch then allow multi") << "-InhibitShutdown -AllowMulti" << 1;
}

void MasterStartupTest::switchTable()
{
    QFETCH(QString, line);
    QFETCH(int, mode);
    QCOMPARE(cmdline::commandMode(line), mode);
}

void MasterStartupTest::allowMultiOnlyAtTheEnd()
{
    QVERIFY(cmdline::allowMulti(QStringLiteral("-InhibitShutdown -AllowMulti")));
    QVERIFY(cmdline::allowMulti(QStringLiteral("-AllowMulti")));
    QVERIFY(!cmdline::allowMulti(QStringLiteral("-AllowMulti -InhibitShutdown")));
    QVERIFY(!cmdline::allowMulti(QStringLiteral("-allowmulti")));
    QCOMPARE(cmdline::join({QStringLiteral("-InhibitShutdown"), QStringLiteral("-AllowMulti")}),
             QStringLiteral("-InhibitShutdown -AllowMulti"));
}

void MasterStartupTest::startsIntoActivationAndLogs()
{
    MasterFixture f;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    QCOMPARE(m.windowTitle(), QStringLiteral("Tolvex"));
    QCOMPARE(m.st.RunState, 0);
    QCOMPARE(m.st.Count, 3);
    QVERIFY(m.timerEnabled());
    QCOMPARE(m.ui->Counter->text(), QStringLiteral("Program Activation in 3s"));
    QCOMPARE(m.ui->Title->text(), QStringLiteral("Power Off if no comms for over 5 sec"));
    QVERIFY(f.tray.isShown());
    QVERIFY(f.boxes.shown().empty());

    const QStringList lines = f.logLines();
    QCOMPARE(lines.mid(0, 3), (QStringList{"Tolvex", "Version 1.0", "File Created"}));
    QVERIFY(parseLogStamp(lines.at(3)).isValid());
    // An empty event call (two empty lines), then the start header and "Start" "Initialise".
    QCOMPARE(lines.mid(4, 2), (QStringList{QString(), QString()}));
    QCOMPARE(lines.at(6), QStringLiteral("Tolvex"));
    QVERIFY(f.log().contains(QStringLiteral("12:00:05,  Start    , Initialise, Count:    3\r\n")));

    // Activation: 2s, 1s, then Run.
    QVERIFY(f.second());
    QCOMPARE(m.ui->Counter->text(), QStringLiteral("Program Activation in 2s"));
    QVERIFY(f.second());
    QVERIFY(f.second());
    QCOMPARE(m.st.RunState, 1);
    QVERIFY(f.log().contains(QStringLiteral(",  Enter    , Run       , Count:    0")));
}

void MasterStartupTest::fullLevelRunLinesCarryComms()
{
    MasterFixture f;
    f.config.LogLevel = 3;
    f.config.StartDelay = 1;
    QVERIFY(f.load());
    QVERIFY(f.second()); // enters Run
    QVERIFY(f.second()); // first Run second: no slave configured, nobody answers
    QVERIFY(f.log().contains(QStringLiteral(",  Run      ,           , Count:    1, Comms: 0, 0, 0, 0")));
    // The full header carries the configuration dump.
    QVERIFY(f.log().contains(QStringLiteral("\r\nConfiguration\r\n-------------\r\n")));
}

void MasterStartupTest::fatalStartupFailures_data()
{
    QTest::addColumn<QString>("broken");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("no data folder") << "nodata" << "Tolvex Data Directory Error" << "The data directory does not exist.";
    QTest::newRow("no file") << "nofile" << "Tolvex Configuration File Error"
                             << "The configuration file is either missing or";
    QTest::newRow("blanks around =") << "blanks" << "Tolvex Configuration File Error"
                                     << "The configuration file is corrupted.";
    QTest::newRow("out of range") << "range" << "Tolvex Configuration File Error"
                                  << "The configuration file is corrupted.";
    QTest::newRow("too large for its field") << "overflow" << "Tolvex Configuration File Error"
                                             << "Unable to read the configuration file. ";
    QTest::newRow("binary file") << "binary" << "Tolvex Configuration File Error"
                                 << "Unable to read the configuration file. ";
    QTest::newRow("no log folder") << "nolog" << "Tolvex Log Directory Error" << "The log directory does not exist. This";
}

void MasterStartupTest::fatalStartupFailures()
{
    QFETCH(QString, broken);
    QFETCH(QString, title);
    QFETCH(QString, firstLine);
    MasterFixture f;
    f.writeConfig();
    QString text = masterConfigFileText(f.config, 1, 0, f.clock.now());
    if (broken == QLatin1String("nodata"))
        QDir(f.path("Data")).removeRecursively();
    else if (broken == QLatin1String("nofile"))
        QFile::remove(f.path("Data/TolvexM.ini"));
    else if (broken == QLatin1String("blanks"))
        f.writeConfigText(text.replace(QStringLiteral("LogLevel=2"), QStringLiteral("LogLevel = 2")));
    else if (broken == QLatin1String("range"))
        f.writeConfigText(text.replace(QStringLiteral("CPUDelay=5\r\n"), QStringLiteral("CPUDelay=4\r\n")));
    else if (broken == QLatin1String("overflow"))
        f.writeConfigText(text.replace(QStringLiteral("StopTime=10000"), QStringLiteral("StopTime=40000")));
    else if (broken == QLatin1String("binary"))
        writeFile(f.path("Data/TolvexM.ini"), QByteArray("[Activate]\r\nLogLevel=2\0\x01\x02\r\n", 23));
    else if (broken == QLatin1String("nolog"))
        QDir(f.path("Log")).removeRecursively();

    f.make();
    QVERIFY(!f.runs([&] { f.window->Form_Load(); }));
    QCOMPARE(f.end.endCount(), 1);
    QCOMPARE(int(f.boxes.shown().size()), 1);
    const BoxRequest &box = f.boxes.shown().front();
    QCOMPARE(box.title, title);
    QCOMPARE(box.text.split(QStringLiteral("\r\n")).first(), firstLine);
    QVERIFY(box.text.endsWith(QStringLiteral("The program will now terminate.")));
    QVERIFY(!f.tray.isShown());
    QVERIFY(!QFile::exists(f.path("Log/TolvexM.log")));
}

void MasterStartupTest::switchShowsErrorCountsOnlyAfterReconfiguration()
{
    // At start-up the configuration is read before the switch, so no counts are shown.
    MasterFixture f;
    QString text = masterConfigFileText(f.config, 1, 0, f.clock.now());
    f.writeConfigText(text.replace(QStringLiteral("LogLevel=2"), QStringLiteral("LogLevel = 2")));
    f.make(QStringLiteral("-InhibitShutdown"));
    QVERIFY(!f.runs([&] { f.window->Form_Load(); }));
    QVERIFY(f.boxes.shown().front().text.startsWith(QStringLiteral("The configuration file is corrupted.")));

    // A later read, with the switch known, starts with the two counts.
    f.boxes.clear();
    f.window->st.CommandMode = 1;
    QVERIFY(!f.runs([&] { mdInit::ReadConfigFile(*f.window); }));
    QVERIFY(f.boxes.shown().front().text.startsWith(QStringLiteral("0 Section Errors\r\n1 Key Errors\r\n")));
}

void MasterStartupTest::unconfiguredStartStaysIdle()
{
    MasterFixture f;
    f.config.CName[0].clear();
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    QVERIFY(m.st.NotConfigured);
    QCOMPARE(m.ui->Title->text(), QStringLiteral("Click Configure To Set Up Tolvex"));
    QVERIFY(!m.ui->Reset->isEnabled());
    QVERIFY(!m.ui->TestS->isEnabled());
    QVERIFY(m.timerEnabled());
    QVERIFY(f.log().contains(QStringLiteral(",  UnConfig , ********  ,")));
    QVERIFY(!f.log().contains(QStringLiteral("Initialise")));
    for (int i = 0; i < 5; ++i)
        QVERIFY(f.second());
    QCOMPARE(m.st.RunState, 0);
    QCOMPARE(m.st.Count, 3);
}

void MasterStartupTest::levelOneWritesNoLog()
{
    MasterFixture f;
    f.config.LogLevel = 1;
    QVERIFY(f.load());
    for (int i = 0; i < 4; ++i)
        QVERIFY(f.second());
    QCOMPARE(f.window->st.RunState, 1);
    QVERIFY(!QFile::exists(f.path("Log/TolvexM.log")));
}

QTEST_MAIN(MasterStartupTest)
#include "test_master_startup.moc"

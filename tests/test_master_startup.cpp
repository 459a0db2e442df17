// The master's start-up: switches, configuration and folder checks, log start.
// (An unconfigured start is tested with the link: it must send nothing.)
#include "CommandLine.h"
#include "MasterFixture.h"
#include "ui_TolvexMMain.h"
#include <QLabel>
#include <QPushButton>

using namespace tolvex;
using namespace tolvex::test;

class MasterStartupTest : public QObject {
    Q_OBJECT
private slots:
    void switches_data();
    void switches();
    void startsIntoActivationAndLogs();
    void fatalStartupFailures_data();
    void fatalStartupFailures();
    void levelOneWritesNoLog();
};

void MasterStartupTest::switches_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("multi");
    const struct { const char *line; int mode; bool multi; } rows[] = {
        {"", 0, false}, {"-InhibitShutdown", 1, false}, {"-InhibitShutdownXYZ", 1, false},
        {"-AddErrorMessage", 2, false}, {"-StartShutdown", 3, false}, {"-InhibitAdmin", 4, false},
        {"-ShortUpdateTime", 5, false}, {"-InhibitUpdate", 6, false}, {" -InhibitShutdown", 0, false},
        {"-inhibitshutdown", 0, false}, {"-InhibitShutdown -AllowMulti", 1, true}, {"-AllowMulti", 0, true},
        {"-AllowMulti -InhibitShutdown", 0, false}, {"-allowmulti", 0, false}};
    for (const auto &r : rows)
        QTest::addRow("'%s'", r.line) << QString::fromLatin1(r.line) << r.mode << r.multi;
}

void MasterStartupTest::switches()
{
    QFETCH(QString, line);
    QTEST(cmdline::commandMode(line), "mode");
    QTEST(cmdline::allowMulti(line), "multi");
    // The programs see their arguments joined with single blanks, as these lines are.
    if (!line.startsWith(QLatin1Char(' ')))
        QCOMPARE(cmdline::join(line.split(QLatin1Char(' '), Qt::SkipEmptyParts)), line);
}

void MasterStartupTest::startsIntoActivationAndLogs()
{
    MasterFixture f;
    QVERIFY(f.load());
    TolvexMMain &m = *f.window;
    QCOMPARE(m.windowTitle(), QStringLiteral("Tolvex"));
    QVERIFY(m.timerEnabled());
    QVERIFY(f.tray.isShown());
    QVERIFY(f.boxes.shown().empty());
    // The header (checked in the real program's test), an empty event call (two empty
    // lines), then the start header and "Start" "Initialise".
    QVERIFY(f.log().contains(QStringLiteral("\r\n\r\n\r\nTolvex\r\n")));
    QVERIFY(f.log().contains(QStringLiteral("12:00:05,  Start    , Initialise, Count:    3\r\n")));
    QVERIFY(f.second());
    QCOMPARE(m.ui->Counter->text(), QStringLiteral("Program Activation in 2s"));
    QVERIFY(f.second() && f.second());
    QCOMPARE(m.st.RunState, 1);
    QVERIFY(f.log().contains(QStringLiteral(",  Enter    , Run       , Count:    0")));
}

void MasterStartupTest::fatalStartupFailures_data()
{
    QTest::addColumn<QString>("remove");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("firstLine");
    const auto row = [](const char *name, const char *remove, const QByteArray &from, const QByteArray &to, const char *title,
                        const char *firstLine) {
        QTest::newRow(name) << remove << from << to << QStringLiteral("Tolvex %1 Error").arg(QLatin1String(title)) << firstLine;
    };
    row("no data folder", "Data", {}, {}, "Data Directory", "The data directory does not exist.");
    row("no file", "Data/TolvexM.ini", {}, {}, "Configuration File", "The configuration file is either missing or");
    row("blanks around =", "", "LogLevel=2", "LogLevel = 2", "Configuration File", "The configuration file is corrupted.");
    row("out of range", "", "CPUDelay=5\r\n", "CPUDelay=4\r\n", "Configuration File", "The configuration file is corrupted.");
    row("too large", "", "StopTime=10000", "StopTime=40000", "Configuration File", "Unable to read the configuration file. ");
    row("binary", "", "LogLevel=2\r\n", QByteArray("LogLevel=2\0\x01\x02\r\n", 15), "Configuration File",
        "Unable to read the configuration file. ");
    row("no log folder", "Log", {}, {}, "Log Directory", "The log directory does not exist. This");
    // The log never writes into the configuration file.
    row("log name with a folder", "", "LogName=TolvexM.log", "LogName=../Data/TolvexM.ini", "Configuration File",
        "The configuration file is corrupted.");
    row("log is the configuration", "", "LogName=TolvexM.log\r\nLogPath=Log\\",
        "LogName=TolvexM.ini\r\nLogPath=Data\\", "Configuration File", "The configuration file is corrupted.");
}

void MasterStartupTest::fatalStartupFailures()
{
    QFETCH(QString, remove);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    MasterFixture f;
    QByteArray text = f.configText();
    if (!from.isEmpty()) {
        QCOMPARE(text.count(from), 1);
        text.replace(from, to);
    }
    f.writeConfig(text);
    if (!remove.isEmpty() && !QFile::remove(f.dir.filePath(remove)))
        QVERIFY(QDir(f.dir.filePath(remove)).removeRecursively());
    // At start-up the file is read before the switch is known: no error counts.
    QVERIFY(!f.load(QStringLiteral("-InhibitShutdown"), false));
    QCOMPARE(f.end.endCount(), 1);
    QCOMPARE(int(f.boxes.shown().size()), 1);
    const BoxRequest box = f.boxes.shown().front();
    QTEST(box.title, "title");
    QTEST(box.text.split(QStringLiteral("\r\n")).first(), "firstLine");
    QVERIFY(box.text.endsWith(QStringLiteral("The program will now terminate.")));
    QVERIFY(!f.tray.isShown());
    QVERIFY(!QFile::exists(f.path("Log/TolvexM.log")));
    if (QFile::exists(f.path("Data/TolvexM.ini")))
        QCOMPARE(readFile(f.path("Data/TolvexM.ini")), text);
    if (from == "LogLevel=2") { // a later read, with the switch known, starts with the counts
        f.boxes.clear();
        f.window->st.CommandMode = 1;
        QVERIFY(!f.runs([&] { mdInit::ReadConfigFile(*f.window); }));
        QVERIFY(f.boxes.shown().front().text.startsWith(QStringLiteral("0 Section Errors\r\n1 Key Errors\r\n")));
    }
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

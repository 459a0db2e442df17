// The real master program, started headless in its own installation folder.
#include "LogFile.h"
#include "ConfigFile.h"
#include "RealProgram.h"
#include "TestSupport.h"
#include <QtTest>

using namespace tolvex;
using namespace tolvex::test;

namespace {

// A master process in a new installation folder: configured when `install` is set
// (logging every second, activation after 1 s), with a log left behind when `oldLog`
// is not null.
struct Master : RealProgram {
    explicit Master(const QStringList &arguments, bool install = true, const QByteArray &oldLog = QByteArray())
        : RealProgram(QStringLiteral("TolvexM"))
    {
        MasterConfig config = masterScreenDefaults();
        config.CName[0] = QStringLiteral("Master");
        config.StartDelay = 1;
        config.LogLevel = 3;
        if (install)
            RealProgram::install(masterConfigFileText(config, 1, 0, QDateTime::currentDateTime()));
        if (!oldLog.isNull())
            writeFile(path(QStringLiteral("Log/TolvexM.log")), oldLog);
        start(TOLVEX_MU_PATH, arguments);
    }
    // Wait (at most 10 s) until the log, or standard error, holds `text`.
    bool logs(const QString &text) { return eventually([&] { return log().contains(text); }, kStartMs); }
    bool says(const QString &text) { return eventually([&] { return errors().contains(text); }, kStartMs); }
};

} // namespace

class MasterProcessTest : public QObject {
    Q_OBJECT
private slots:
    void startsOverAnEmptyLog();
    void secondInstanceIsRefusedUnlessAllowed();
    void missingDataFolderEndsWithItsBox();
};

// A start over a log emptied by a crash or a full disk: the empty log is kept as
// generation A, a new log begun with its header and the configuration dump, and the
// master runs.
void MasterProcessTest::startsOverAnEmptyLog()
{
    Master master({QStringLiteral("-InhibitShutdown")}, true, QByteArray(""));
    QVERIFY(master.logs(QStringLiteral(",  Run      ,           , Count:    1, Comms: 0, 0, 0, 0\r\n")));
    const QStringList lines = master.log().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.mid(0, 3), (QStringList{"Tolvex", "Version 1.0", "File Created"}));
    QVERIFY(parseLogStamp(lines.at(3)).isValid());
    QVERIFY(master.log().contains(QStringLiteral("\r\nConfiguration\r\n-------------\r\n")));
    QVERIFY(master.log().contains(QStringLiteral(",  Start    , Initialise, Count:    1, Comms: 0, 0, 0, 0\r\n")));
    QVERIFY(master.log().contains(QStringLiteral(",  Enter    , Run       , Count:    0, Comms: 0, 0, 0, 0\r\n")));
    QVERIFY(QFileInfo(master.path(QStringLiteral("Log/TolvexM_A.log"))).isFile());
    QCOMPARE(QFileInfo(master.path(QStringLiteral("Log/TolvexM_A.log"))).size(), 0);
    QVERIFY2(!master.errors().contains(QStringLiteral("[box]")), qPrintable(master.errors()));
    QCOMPARE(master.process.state(), QProcess::Running);
}

void MasterProcessTest::secondInstanceIsRefusedUnlessAllowed()
{
    Master one({QStringLiteral("-InhibitShutdown")});
    QVERIFY(one.logs(QStringLiteral("Initialise")));
    Master two({QStringLiteral("-InhibitShutdown")});
    QVERIFY(two.says(QStringLiteral("[window] Tolvex Start Up Error | Tolvex or Tolvex Slave /  is already running. / "
                                    "Only one instance can / be running at a time\n")));
    QVERIFY(!QFile::exists(two.path(QStringLiteral("Log/TolvexM.log"))));
    Master three({QStringLiteral("-InhibitShutdown"), QStringLiteral("-AllowMulti")});
    QVERIFY(three.logs(QStringLiteral("Initialise")));
}

void MasterProcessTest::missingDataFolderEndsWithItsBox()
{
    Master master({}, false);
    QVERIFY(master.says(QStringLiteral("[box] Tolvex Data Directory Error | The data directory does not exist.")));
    QVERIFY(eventually([&] { return master.process.state() == QProcess::NotRunning; }, 10000));
    QCOMPARE(master.process.exitCode(), 1);
}

QTEST_MAIN(MasterProcessTest)
#include "test_process_master.moc"

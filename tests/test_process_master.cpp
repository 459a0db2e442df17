// The real master program, started headless in its own installation folder.
#include "ConfigFile.h"
#include "TestSupport.h"
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace tolvex;
using namespace tolvex::test;

namespace {

struct Installation {
    QTemporaryDir dir;
    MasterConfig config = masterScreenDefaults();

    Installation()
    {
        config.CName[0] = QStringLiteral("Master");
        config.StartDelay = 1;
        config.LogLevel = 3;
    }
    void write() const
    {
        QDir(dir.path()).mkpath(QStringLiteral("Log"));
        writeFile(dir.filePath(QStringLiteral("Data/TolvexM.ini")),
                  masterConfigFileText(config, 1, 0, QDateTime::currentDateTime()).toUtf8());
    }
    QString log() const { return QString::fromUtf8(readFile(dir.filePath(QStringLiteral("Log/TolvexM.log")))); }
};

// A master process that is always ended when the test is done.
struct Master {
    QProcess process;
    QString stderrText;

    void start(const QString &folder, const QStringList &arguments, const QString &boxAnswers = QString())
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TOLVEX_BOX_ANSWERS"), boxAnswers);
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(folder);
        process.start(QStringLiteral(TOLVEX_MU_PATH), arguments);
        QVERIFY(process.waitForStarted(5000));
    }
    // Waits (at most `ms`) until standard error holds `text`.
    bool waitForStderr(const QString &text, int ms = 10000)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            process.waitForReadyRead(100);
            stderrText += QString::fromUtf8(process.readAllStandardError());
            if (stderrText.contains(text))
                return true;
            if (process.state() == QProcess::NotRunning)
                break;
        }
        stderrText += QString::fromUtf8(process.readAllStandardError());
        return stderrText.contains(text);
    }
    ~Master()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

bool waitFor(const std::function<bool()> &condition, int ms = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QTest::qWait(100);
    }
    return true;
}

} // namespace

class MasterProcessTest : public QObject {
    Q_OBJECT
private slots:
    void startsLogsAndRuns();
    void secondInstanceIsRefusedUnlessAllowed();
    void missingDataFolderEndsWithItsBox();
};

void MasterProcessTest::startsLogsAndRuns()
{
    Installation inst;
    inst.write();
    Master master;
    master.start(inst.dir.path(), {QStringLiteral("-InhibitShutdown")});
    QVERIFY(waitFor([&] { return inst.log().contains(QStringLiteral(",  Run      ,")); }));
    const QString log = inst.log();
    QVERIFY(log.startsWith(QStringLiteral("Tolvex\r\nVersion 1.0\r\nFile Created\r\n")));
    QVERIFY(log.contains(QStringLiteral(",  Start    , Initialise, Count:    1, Comms: 0, 0, 0, 0\r\n")));
    QVERIFY(log.contains(QStringLiteral(",  Enter    , Run       , Count:    0, Comms: 0, 0, 0, 0\r\n")));
    QVERIFY(log.contains(QStringLiteral(",  Run      ,           , Count:    1, Comms: 0, 0, 0, 0\r\n")));
}

void MasterProcessTest::secondInstanceIsRefusedUnlessAllowed()
{
    Installation first;
    first.write();
    Master one;
    one.start(first.dir.path(), {QStringLiteral("-InhibitShutdown")});
    QVERIFY(waitFor([&] { return first.log().contains(QStringLiteral("Initialise")); }));

    Installation second;
    second.write();
    Master two;
    two.start(second.dir.path(), {QStringLiteral("-InhibitShutdown")});
    QVERIFY(two.waitForStderr(QStringLiteral(
        "[window] Tolvex Start Up Error | Tolvex or Tolvex Slave /  is already running. / Only one instance can / be running at a time\n")));
    QVERIFY(!QFile::exists(second.dir.filePath(QStringLiteral("Log/TolvexM.log"))));

    Installation third;
    third.write();
    Master three;
    three.start(third.dir.path(), {QStringLiteral("-InhibitShutdown"), QStringLiteral("-AllowMulti")});
    QVERIFY(waitFor([&] { return third.log().contains(QStringLiteral("Initialise")); }));
}

void MasterProcessTest::missingDataFolderEndsWithItsBox()
{
    QTemporaryDir empty;
    Master master;
    master.start(empty.path(), {});
    QVERIFY(master.waitForStderr(QStringLiteral("[box] Tolvex Data Directory Error | The data directory does not exist.")));
    QVERIFY(waitFor([&] { return master.process.state() == QProcess::NotRunning; }));
    QCOMPARE(master.process.exitCode(), 1);
}

QTEST_MAIN(MasterProcessTest)
#include "test_process_master.moc"

// The real master program, started headless in its own installation folder.
#include "LogFile.h"
#include "ConfigFile.h"
#include "RealProgram.h"
#include "TestSupport.h"
#include <QtTest>
#include <csignal>
#include <sys/prctl.h>

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

// A desktop of its own: an X server on a free display (1280x1024) with the openbox
// window manager, and the X tools that press keys and read the stacking order.
struct Desktop {
    QProcess server, manager;
    QString display;
    QString why;  // why there is no desktop, when there is none

    Desktop()
    {
        for (const char *tool : {"Xvfb", "openbox", "xdotool", "xprop"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) {
                why = QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
                return;
            }
        }
        // The server picks a free display and writes its number on standard output.
        start(server, QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
        if (!eventually([this] { return server.canReadLine() || server.state() == QProcess::NotRunning; }, 10000)
            || !server.canReadLine()) {
            why = QStringLiteral("the X server did not start");
            return;
        }
        display = QLatin1Char(':') + QString::fromLatin1(server.readLine()).trimmed();
        start(manager, QStringLiteral("openbox"), {});
        if (!eventually([this] { return tool("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id"); }, 10000))
            why = QStringLiteral("the window manager did not start");
    }
    ~Desktop()
    {
        for (QProcess *p : {&manager, &server}) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return env;
    }
    void start(QProcess &p, const QString &program, const QStringList &arguments)
    {
        p.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        p.setProcessEnvironment(environment());
        p.start(program, arguments);
        p.waitForStarted(5000);
    }
    QString tool(const char *program, const QStringList &arguments)
    {
        QProcess p;
        start(p, QLatin1String(program), arguments);
        p.waitForFinished(5000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    // The managed windows, bottom to top: their titles and whether they are topmost.
    QStringList stacking()
    {
        const QString ids = tool("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"}).section('#', 1);
        QStringList windows;
        for (const QString &id : ids.split(',', Qt::SkipEmptyParts)) {
            const QString title = tool("xprop", {"-id", id.trimmed(), "WM_NAME"}).section('"', 1, 1);
            const bool above = tool("xprop", {"-id", id.trimmed(), "_NET_WM_STATE"}).contains("_NET_WM_STATE_ABOVE");
            windows << title + (above ? QStringLiteral(" (on top)") : QString());
        }
        return windows;
    }
};

} // namespace

class MasterProcessTest : public QObject {
    Q_OBJECT
private slots:
    void startsOverAnEmptyLog();
    void secondInstanceIsRefusedUnlessAllowed();
    void missingDataFolderEndsWithItsBox();
    void boxStandsAboveATopmostWindow();
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

// Under a real window manager, with Run On Top, the configuration screen's Archive
// question comes up above the topmost screen and main window, not hidden behind them.
// The master runs unconfigured under a test switch, so it never counts down.
void MasterProcessTest::boxStandsAboveATopmostWindow()
{
    Desktop desktop;
    if (!desktop.why.isEmpty())
        QSKIP(qPrintable(desktop.why));
    RealProgram master(QStringLiteral("TolvexM"));
    MasterConfig config = masterScreenDefaults();
    config.RunOnTop = 2;
    config.Port1 = freeUdpPort(2);
    config.Port2 = config.Port1 + 1;
    QVERIFY(master.install(masterConfigFileText(config, 1, 0, QDateTime::currentDateTime())));
    QVERIFY(master.start(TOLVEX_MU_PATH, {"-InhibitAdmin", "-AllowMulti"}, desktop.environment()));
    const auto shows = [&desktop](const QStringList &windows) {
        return eventually([&] { return desktop.stacking() == windows; }, RealProgram::kStartMs);
    };
    QVERIFY2(shows({"Tolvex (on top)"}), qPrintable(desktop.stacking().join(" < ")));
    desktop.tool("xdotool", {"key", "alt+c"});
    QVERIFY2(shows({"Tolvex (on top)", "Tolvex Configuration (on top)"}), qPrintable(desktop.stacking().join(" < ")));
    desktop.tool("xdotool", {"key", "alt+a"});
    QVERIFY2(shows({"Tolvex (on top)", "Tolvex Configuration (on top)", "Archive Tolvex Log File (on top)"}),
             qPrintable(desktop.stacking().join(" < ")));
    desktop.tool("xdotool", {"key", "Escape"});  // Cancel: the log stays as it is
    QVERIFY(shows({"Tolvex (on top)", "Tolvex Configuration (on top)"}));
}

QTEST_MAIN(MasterProcessTest)
#include "test_process_master.moc"

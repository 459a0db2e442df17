#include "RealProgram.h"
#include "ConfigFile.h"
#include "TestSupport.h"
#include <QDir>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>

namespace tolvex::test {

RealProgram::RealProgram(const QString &programName)
    : name(programName)
{
    QDir(dir.path()).mkpath(QStringLiteral("Log"));
}

RealProgram::RealProgram(const char *executable, const QString &programName, const QString &configuration,
                         const QStringList &arguments)
    : RealProgram(programName)
{
    install(configuration);
    start(executable, arguments);
}

RealProgram::~RealProgram()
{
    process.kill();
    process.waitForFinished(kStartMs);
}

QProcessEnvironment RealProgram::environment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TOLVEX_BOX_ANSWERS"), QString());
    return env;
}

bool RealProgram::install(const QString &configuration)
{
    return configuration.isNull() || writeFile(path(QStringLiteral("Data/%1.ini").arg(name)), configuration.toUtf8());
}

bool RealProgram::start(const char *executable, const QStringList &arguments, const QProcessEnvironment &env)
{
    // A program left behind by a test that crashed does not run on.
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(dir.path());
    process.start(QLatin1String(executable), arguments);
    return process.waitForStarted(kStartMs);
}

QString RealProgram::log() const
{
    return QString::fromUtf8(readFile(path(QStringLiteral("Log/%1.log").arg(name))));
}

QStringList RealProgram::logLines() const
{
    return log().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

QString RealProgram::errors()
{
    return m_errors += QString::fromUtf8(process.readAllStandardError());
}

bool eventually(const std::function<bool()> &condition, int ms)
{
    return QTest::qWaitFor(condition, ms);
}

void linkMaster(MasterConfig &cfg, const QString &address, int port1, int port2, int rows)
{
    cfg.LogLevel = 3;
    cfg.StartDelay = 2;
    cfg.Update_On = 1;
    cfg.ShutType = 4;
    cfg.Port1 = port1;
    cfg.Port2 = port2;
    for (int i = 1; i <= rows; ++i) {
        cfg.CName[i] = QStringLiteral("Slave%1").arg(i);
        cfg.IPAdd[i] = address;
    }
}

SlaveConfig linkedSlave(const QString &address, int port1, int port2)
{
    SlaveConfig cfg = slaveScreenDefaults();
    cfg.IPAdd = address;
    cfg.LogLevel = 3;
    cfg.StartDelay = 2;
    cfg.ShutType = 4;
    cfg.Port1 = port1;
    cfg.Port2 = port2;
    return cfg;
}

} // namespace tolvex::test

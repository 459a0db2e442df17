#include "PrivateBus.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>

#include <csignal>
#include <sys/prctl.h>

namespace tolvex::test {

namespace {

constexpr int kStartMs = 10000;

QByteArray configuration(const QString &socketPath)
{
    return QByteArrayLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                             " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                             "<busconfig>\n"
                             "  <type>session</type>\n"
                             "  <listen>unix:path=")
        + QFile::encodeName(socketPath)
        + QByteArrayLiteral("</listen>\n"
                            "  <auth>EXTERNAL</auth>\n"
                            "  <policy context=\"default\">\n"
                            "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                            "    <allow eavesdrop=\"true\"/>\n"
                            "    <allow own=\"*\"/>\n"
                            "  </policy>\n"
                            "</busconfig>\n");
}

} // namespace

PrivateBus::PrivateBus()
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) {
        m_error = QStringLiteral("dbus-daemon is not installed (scripts/install-deps.sh installs it)");
        return;
    }
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder: ") + m_dir.errorString();
        return;
    }
    const QString configPath = m_dir.filePath(QStringLiteral("bus.conf"));
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly) || config.write(configuration(socketPath())) < 0) {
        m_error = QStringLiteral("cannot write ") + configPath;
        return;
    }
    config.close();

    // The daemon is killed with the thread that starts it, that is with the test.
    m_daemon.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_daemon.setStandardErrorFile(m_dir.filePath(QStringLiteral("daemon.err")));
    m_daemon.start(daemon, {QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                            QStringLiteral("--config-file=") + configPath});
    const QDeadlineTimer deadline(kStartMs);
    while (!m_daemon.canReadLine() && m_daemon.state() != QProcess::NotRunning && !deadline.hasExpired())
        m_daemon.waitForReadyRead(int(deadline.remainingTime()));
    const QString address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    if (!isAddressOfThisBus(address)) {
        QFile errors(m_dir.filePath(QStringLiteral("daemon.err")));
        errors.open(QIODevice::ReadOnly);
        m_error = QStringLiteral("dbus-daemon gave no address of its own socket (\"%1\"): %2")
                      .arg(address, QString::fromUtf8(errors.readAll()));
        stop();
        return;
    }
    m_address = address;
}

PrivateBus::~PrivateBus()
{
    stop();
}

QString PrivateBus::socketPath() const
{
    return m_dir.filePath(QStringLiteral("bus"));
}

bool PrivateBus::isAddressOfThisBus(const QString &address) const
{
    // One transport only: a list of addresses could fall back to another bus.
    const QString prefix = QStringLiteral("unix:path=") + socketPath();
    return !address.contains(QLatin1Char(';'))
        && (address == prefix || address.startsWith(prefix + QLatin1Char(',')));
}

void PrivateBus::stop()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.kill();
        m_daemon.waitForFinished(kStartMs);
    }
}

void PrivateBus::pointEnvironmentAt(const QByteArray &address)
{
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    qunsetenv("DBUS_STARTER_ADDRESS");
    qunsetenv("DBUS_STARTER_BUS_TYPE");
}

} // namespace tolvex::test

#include "TestSupport.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QUdpSocket>

namespace tolvex::test {

namespace {

QtMessageHandler previousHandler = nullptr;

void dropOffscreenWindowWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg
        && (message == QLatin1String("This plugin does not support propagateSizeHints()")
            || message == QLatin1String("This plugin does not support raise()")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

void quietOffscreenWindowWarnings()
{
    static const bool installed = [] {
        previousHandler = qInstallMessageHandler(dropOffscreenWindowWarnings);
        return true;
    }();
    Q_UNUSED(installed);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

int freeUdpPort(int count)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        QUdpSocket held[4];
        held[0].bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress);
        const int base = held[0].localPort();
        bool free = base > 0 && base + count <= 65536 && count <= 4;
        for (int i = 1; i < count && free; ++i)
            free = held[i].bind(QHostAddress::AnyIPv4, quint16(base + i), QAbstractSocket::DontShareAddress);
        if (free)
            return base;
    }
    return 0;
}

Flood::Flood(Send send)
    : m_thread([this, send = std::move(send)] {
          QUdpSocket socket;
          for (long call = 0; m_running; ++call)
              m_sent += send(socket, call);
      })
{
}

long Flood::stop()
{
    m_running = false;
    if (m_thread.joinable())
        m_thread.join();
    return m_sent;
}

long Flood::during(int ms, Send send)
{
    Flood flood(std::move(send));
    QTest::qWait(ms);
    return flood.stop();
}

QStringList eventPairs(const QString &log, const QString &from)
{
    QStringList out;
    for (const QString &line : log.split(QStringLiteral("\r\n"))) {
        // "hh:mm:ss, " and the event and detail columns
        const QStringList fields = line.mid(10).split(QStringLiteral(", "));
        if (line.size() > 10 && line.at(2) == QLatin1Char(':') && line.at(8) == QLatin1Char(',') && fields.size() > 1)
            out << fields[0].trimmed() + QLatin1Char('|') + fields[1].trimmed();
    }
    const int at = from.isEmpty() ? 0 : int(out.indexOf(from));
    return at < 0 ? QStringList() : out.mid(at);
}


FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    if (::getrlimit(RLIMIT_FSIZE, &m_previous) != 0 || ::sigaction(SIGXFSZ, &ignore, &m_previousAction) != 0)
        return;
    struct rlimit limit = m_previous;
    limit.rlim_cur = rlim_t(bytes);
    m_inForce = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    if (!m_inForce)
        ::sigaction(SIGXFSZ, &m_previousAction, nullptr);
}

void FileSizeLimit::lift()
{
    if (!m_inForce)
        return;
    ::setrlimit(RLIMIT_FSIZE, &m_previous);
    ::sigaction(SIGXFSZ, &m_previousAction, nullptr);
    m_inForce = false;
}

} // namespace tolvex::test

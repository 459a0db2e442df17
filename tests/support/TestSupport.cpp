#include "TestSupport.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

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

} // namespace tolvex::test

namespace tolvex::test {

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

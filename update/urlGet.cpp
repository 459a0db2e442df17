#include "urlGet.h"
#include <QUrl>
#include <limits>

using tolvex::update::HttpGet;

urlGet::urlGet(QObject *parent)
    : QObject(parent),
      m_get(new HttpGet(this))
{
    connect(m_get, &HttpGet::received, this, [this](const QByteArray &body) {
        m_data = body;
        emit DownloadProgress(int(m_data.size()));
    });
    connect(m_get, &HttpGet::finished, this, [this](const QByteArray &body) {
        ended();
        m_data = body;
        emit DownloadComplete(int(m_data.size()));
    });
    connect(m_get, &HttpGet::failed, this, [this](int number, const QString &description) {
        ended();
        m_data.clear();
        emit DownloadFailed(number, description);
    });
}

urlGet::~urlGet() = default;

void urlGet::DownloadCancel()
{
    m_get->abort();
    m_busy = false;
}

void urlGet::DownloadStart(const QString &URL, int Mode)
{
    if (URL.isEmpty())
        return;
    m_durationMs = 0;
    m_data.clear();
    m_busy = true;
    m_started.start();
    m_get->start(QUrl(URL), (Mode & kFreshCopy) != 0, kMaxBytes, m_timeoutMs);
}

void urlGet::ended()
{
    m_busy = false;
    m_durationMs = int(std::min<qint64>(m_started.elapsed(), std::numeric_limits<int>::max()));
}

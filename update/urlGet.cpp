#include "urlGet.h"
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <limits>

urlGet::urlGet(QObject *parent)
    : QObject(parent),
      m_net(new QNetworkAccessManager(this))
{
}

urlGet::~urlGet()
{
    dropReply();
}

void urlGet::dropReply()
{
    if (QNetworkReply *reply = m_reply.data()) {
        m_reply.clear();
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void urlGet::DownloadCancel()
{
    dropReply();
}

void urlGet::DownloadStart(const QString &URL, int Mode)
{
    if (URL.isEmpty())
        return;
    dropReply();
    m_durationMs = 0;
    m_data.clear();
    m_started.start();

    QNetworkRequest request{QUrl(URL)};
    if (Mode & kFreshCopy) {
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setRawHeader("Cache-Control", "no-cache");
    }
    QNetworkReply *reply = m_net->get(request);
    m_reply = reply;
    // Every notification names its reply: one that is no longer the current download
    // is ignored.
    connect(reply, &QIODevice::readyRead, this, [this, reply] {
        if (reply == m_reply)
            takeBytes(reply);
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        if (reply == m_reply)
            finish(reply);
    });
}

void urlGet::takeBytes(QNetworkReply *reply)
{
    const QByteArray more = reply->read(kMaxBytes + 1 - m_data.size());
    if (more.isEmpty())
        return;
    m_data += more;
    if (m_data.size() > kMaxBytes) {
        fail(kTooLarge, QStringLiteral("The reply is longer than %1 bytes").arg(kMaxBytes));
        return;
    }
    emit DownloadProgress(int(m_data.size()));
}

void urlGet::finish(QNetworkReply *reply)
{
    // A whole reply from the server counts as delivered whatever its status: an error
    // page is the server's answer. A download that got no answer, or only part of
    // one, fails.
    const int error = int(reply->error());
    const bool statusError = (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError)
        || (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError);
    const bool answered = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    if (error != QNetworkReply::NoError && !(answered && statusError)) {
        fail(error, reply->errorString());
        return;
    }
    takeBytes(reply);
    if (m_reply != reply)
        return; // too long: already reported
    m_durationMs = int(std::min<qint64>(m_started.elapsed(), std::numeric_limits<int>::max()));
    m_reply.clear();
    reply->deleteLater();
    emit DownloadComplete(int(m_data.size()));
}

void urlGet::fail(int number, const QString &description)
{
    m_durationMs = int(std::min<qint64>(m_started.elapsed(), std::numeric_limits<int>::max()));
    dropReply();
    m_data.clear();
    emit DownloadFailed(number, description);
}

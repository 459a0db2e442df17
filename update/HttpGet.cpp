#include "HttpGet.h"
#include <QSslSocket>
#include <QTcpSocket>

namespace tolvex::update {

namespace {

// What the socket may hold before it is read; every notification reads all of it.
constexpr qint64 kSocketBufferBytes = 64 * 1024;

int defaultPort(const QUrl &url)
{
    return url.scheme() == QLatin1String("https") ? 443 : 80;
}

bool sameServer(const QUrl &a, const QUrl &b)
{
    return !a.host().isEmpty() && a.scheme() == b.scheme() && a.host() == b.host()
        && a.port(defaultPort(a)) == b.port(defaultPort(b));
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

HttpGet::HttpGet(QObject *parent)
    : QObject(parent)
{
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this,
            [this] { fail(TimedOut, QStringLiteral("No complete reply within the time-out")); });
}

HttpGet::~HttpGet()
{
    closeSocket();
}

void HttpGet::start(const QUrl &url, bool freshCopy, qsizetype bodyLimit, int timeoutMs)
{
    abort();
    m_first = url;
    m_freshCopy = freshCopy;
    m_bodyLimit = bodyLimit;
    m_redirects = 0;
    m_running = true;
    m_timeout.start(timeoutMs);
    request(url);
}

void HttpGet::abort()
{
    ++m_run;
    m_running = false;
    m_timeout.stop();
    closeSocket();
    m_reader.reset();
}

void HttpGet::closeSocket()
{
    if (QTcpSocket *socket = m_socket.data()) {
        m_socket.clear();
        socket->disconnect(this);
        socket->abort(); // closes at once, never waits for the peer
        socket->deleteLater();
    }
}

void HttpGet::request(const QUrl &url)
{
    closeSocket();
    m_current = url;
    m_reader.emplace(m_bodyLimit);
    const bool https = url.scheme() == QLatin1String("https");
    if (!url.isValid() || url.host().isEmpty() || (!https && url.scheme() != QLatin1String("http"))) {
        fail(BadAddress, QStringLiteral("Not an http or https address"));
        return;
    }
    if (https && !QSslSocket::supportsSsl()) {
        fail(BadAddress, QStringLiteral("Secure connections are not available"));
        return;
    }
    QTcpSocket *socket = https ? new QSslSocket(this) : new QTcpSocket(this);
    m_socket = socket;
    socket->setReadBufferSize(kSocketBufferBytes);
    connect(socket, &QIODevice::readyRead, this, &HttpGet::readSome);
    connect(socket, &QAbstractSocket::disconnected, this, &HttpGet::connectionEnded);
    connect(socket, &QAbstractSocket::errorOccurred, this, &HttpGet::socketFailed);
    if (https) {
        auto *secure = static_cast<QSslSocket *>(socket);
        connect(secure, &QSslSocket::encrypted, this, &HttpGet::sendRequest);
        secure->connectToHostEncrypted(url.host(), quint16(url.port(443)));
    } else {
        connect(socket, &QAbstractSocket::connected, this, &HttpGet::sendRequest);
        socket->connectToHost(url.host(), quint16(url.port(80)));
    }
}

void HttpGet::sendRequest()
{
    QByteArray target = m_current.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (m_current.hasQuery())
        target += '?' + m_current.query(QUrl::FullyEncoded).toLatin1();
    QByteArray host = m_current.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (m_current.port() >= 0 && m_current.port() != defaultPort(m_current))
        host += ':' + QByteArray::number(m_current.port());
    QByteArray head = "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\n";
    if (m_freshCopy)
        head += "Cache-Control: no-cache\r\n";
    head += "Connection: close\r\nAccept-Language: en,*\r\nUser-Agent: Mozilla/5.0\r\n\r\n";
    m_socket->write(head);
}

void HttpGet::readSome()
{
    if (!m_socket || !m_reader)
        return;
    const qsizetype before = m_reader->body().size();
    m_reader->feed(m_socket->readAll());
    afterReading(before);
}

void HttpGet::connectionEnded()
{
    if (!m_socket || !m_reader)
        return;
    const qsizetype before = m_reader->body().size();
    m_reader->feed(m_socket->readAll()); // what the socket still holds
    m_reader->closed();
    afterReading(before);
}

void HttpGet::socketFailed()
{
    if (!m_socket)
        return;
    if (m_socket->error() == QAbstractSocket::RemoteHostClosedError)
        connectionEnded();
    else
        fail(int(m_socket->error()), m_socket->errorString());
}

void HttpGet::afterReading(qsizetype bodyBefore)
{
    const HttpReplyReader &reader = *m_reader;
    if (reader.headComplete() && isRedirect(reader.status()) && !reader.header("location").isEmpty()) {
        followRedirect();
        return;
    }
    switch (reader.state()) {
    case HttpReplyReader::State::Head:
        return;
    case HttpReplyReader::State::Failed:
        if (reader.fault() == HttpReplyReader::Fault::BodyTooLarge)
            fail(TooLarge, QStringLiteral("The reply is longer than %1 bytes").arg(m_bodyLimit));
        else if (reader.fault() == HttpReplyReader::Fault::HeadTooLarge)
            fail(BadReply, QStringLiteral("The head of the reply is longer than %1 bytes")
                               .arg(HttpReplyReader::kMaxHeadBytes));
        else if (reader.fault() == HttpReplyReader::Fault::CutShort)
            fail(BadReply, QStringLiteral("The connection ended before the reply"));
        else
            fail(BadReply, QStringLiteral("The server's reply is not HTTP"));
        return;
    case HttpReplyReader::State::Body:
    case HttpReplyReader::State::Done:
        break;
    }
    const quint64 run = m_run;
    const QByteArray body = reader.body();
    if (body.size() > bodyBefore)
        emit received(body);
    if (run != m_run || reader.state() != HttpReplyReader::State::Done)
        return;
    m_running = false;
    m_timeout.stop();
    closeSocket();
    m_reader.reset();
    emit finished(body);
}

void HttpGet::followRedirect()
{
    const QUrl location = QUrl::fromEncoded(m_reader->header("location"), QUrl::TolerantMode);
    QUrl next = m_current.resolved(location);
    if (!location.isValid() || !sameServer(next, m_first)) {
        fail(RedirectRefused, QStringLiteral("A redirect to another server was refused"));
        return;
    }
    if (m_redirects == kMaxRedirects) {
        fail(RedirectRefused, QStringLiteral("More than %1 redirects").arg(kMaxRedirects));
        return;
    }
    ++m_redirects;
    next.setFragment(QString());
    request(next);
}

void HttpGet::fail(int number, const QString &description)
{
    if (!m_running)
        return;
    m_running = false;
    m_timeout.stop();
    closeSocket();
    m_reader.reset();
    // Reported from the event loop, so that no failure comes from inside start().
    const quint64 run = m_run;
    QMetaObject::invokeMethod(
        this,
        [this, run, number, description] {
            if (run == m_run)
                emit failed(number, description);
        },
        Qt::QueuedConnection);
}

} // namespace tolvex::update

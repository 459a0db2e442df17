#include "HttpTestServer.h"
#include <QTcpSocket>
#include <QTimer>

namespace tolvex::test {

HttpTestServer::HttpTestServer()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            ++m_connections;
            socket->setParent(this);
            socket->setProperty("answered", false);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                if (!socket->property("answered").toBool())
                    ++m_closed;
                socket->deleteLater();
            });
        }
    });
}

HttpTestServer::~HttpTestServer() = default;

QString HttpTestServer::root() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort());
}

QString HttpTestServer::refusingRoot()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/").arg(port);
}

void HttpTestServer::readRequest(QTcpSocket *socket)
{
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    if (!head.contains("\r\n\r\n") || socket->property("seen").toBool())
        return;
    socket->setProperty("seen", true);
    m_heads << head.left(head.indexOf("\r\n\r\n"));
    m_lines << QString::fromLatin1(head.left(head.indexOf("\r\n")));
    const Reply reply = m_replies.value(m_lines.size() - 1, m_replies.last());
    if (reply.hold)
        m_held.append({socket, reply});
    else
        answer(socket, reply);
}

void HttpTestServer::answer(QTcpSocket *socket, const Reply &reply)
{
    if (reply.endlessHeadMs >= 0) {
        streamHead(socket, reply.endlessHeadMs);
        return;
    }
    socket->setProperty("answered", true);
    QByteArray out = reply.raw;
    if (out.isNull()) {
        out = "HTTP/1.1 " + QByteArray::number(reply.status) + (reply.status == 200 ? " OK" : " Error")
            + "\r\nContent-Type: text/xml\r\nConnection: close\r\n";
        if (!reply.location.isEmpty())
            out += "Location: " + reply.location + "\r\n";
        if (reply.withLength)
            out += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
        out += "\r\n" + reply.body;
    }
    socket->write(out);
    socket->disconnectFromHost();
}

// A head that never ends: header lines until the client gives up, as fast as it reads
// them or one line every `everyMs`.
void HttpTestServer::streamHead(QTcpSocket *socket, int everyMs)
{
    socket->write("HTTP/1.1 200 OK\r\n");
    const QByteArray line = "X-Filler: never the end of the head\r\n";
    if (everyMs > 0) {
        auto *timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket, [socket, line] { socket->write(line); });
        timer->start(everyMs);
        return;
    }
    const auto more = [socket, line] {
        if (socket->bytesToWrite() < 64 * 1024)
            socket->write(line.repeated(1024));
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, more);
    more();
}

void HttpTestServer::release()
{
    const auto held = std::exchange(m_held, {});
    for (const auto &[socket, reply] : held) {
        if (socket && socket->state() == QAbstractSocket::ConnectedState)
            answer(socket, reply);
    }
}

QByteArray updateDocument(const QString &version1, const QString &version2, const QString &message,
                          const QString &uninstall)
{
    const QString doc = QStringLiteral(
        "<?xml version=\"1.0\"?>\n<Update>\n<Contact>contact.html</Contact>\n<Name>Tolvex</Name>\n"
        "<Version1>%1</Version1>\n<Version2>%2</Version2>\n<Download>download.html</Download>\n"
        "<History>history.html</History>\n<KIssues>issues.html</KIssues>\n<Index>index.html</Index>\n"
        "<Message>%3</Message>\n<Uninstall>%4</Uninstall>\n</Update>\n");
    return doc.arg(version1, version2, message, uninstall).toUtf8();
}

} // namespace tolvex::test

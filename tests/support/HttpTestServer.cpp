#include "HttpTestServer.h"
#include <QTcpSocket>

namespace tolvex::test {

HttpTestServer::HttpTestServer()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
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
    if (m_reply.hold)
        m_held << socket;
    else
        answer(socket);
}

void HttpTestServer::answer(QTcpSocket *socket)
{
    socket->setProperty("answered", true);
    QByteArray out = "HTTP/1.1 " + QByteArray::number(m_reply.status)
        + (m_reply.status == 200 ? " OK" : " Error") + "\r\nContent-Type: text/xml\r\nConnection: close\r\n";
    if (m_reply.withLength)
        out += "Content-Length: " + QByteArray::number(m_reply.body.size()) + "\r\n";
    out += "\r\n" + m_reply.body;
    socket->write(out);
    socket->disconnectFromHost();
}

void HttpTestServer::release()
{
    const QList<QPointer<QTcpSocket>> held = std::exchange(m_held, {});
    for (const QPointer<QTcpSocket> &socket : held) {
        if (socket && socket->state() == QAbstractSocket::ConnectedState)
            answer(socket);
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

#pragma once
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

namespace tolvex::test {

// A small HTTP server on 127.0.0.1 for the update check: it records each request
// and answers them with the replies set last, in turn (the last one again and again),
// or holds them unanswered; it can also answer as a hostile server would.
class HttpTestServer : public QObject {
    Q_OBJECT
public:
    struct Reply {
        int status = 200;
        QByteArray body{};
        bool hold = false;        // read the request, answer nothing (until release())
        bool withLength = true;   // Content-Length, else the end of the body is the close
        QByteArray location{};    // a Location field, as a redirect has
        QByteArray raw{};         // unless null: these bytes instead of a reply, then the close
        int endlessHeadMs = -1;   // from 0: header lines for ever, one every so many ms (0: a flood)
    };

    HttpTestServer();
    ~HttpTestServer() override;

    void setReply(const Reply &reply) { m_replies = {reply}; }
    void setReplies(const QList<Reply> &replies) { m_replies = replies; }
    // "http://127.0.0.1:<port>/"
    QString root() const;
    // The first line of each request received, in order ("GET /... HTTP/1.1").
    const QStringList &requestLines() const { return m_lines; }
    // The whole head of each request.
    const QList<QByteArray> &requestHeads() const { return m_heads; }
    // Connections the client has closed or aborted before they were answered.
    int closedByClient() const { return m_closed; }
    // Connections accepted.
    int connections() const { return m_connections; }
    // Answers the held requests with the replies they were held with.
    void release();

    // An address where nothing listens: a port that was free a moment ago.
    static QString refusingRoot();

private:
    void readRequest(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const Reply &reply);
    void streamHead(QTcpSocket *socket, int everyMs);

    QTcpServer m_server;
    QList<Reply> m_replies{Reply{}};
    QStringList m_lines;
    QList<QByteArray> m_heads;
    QList<std::pair<QPointer<QTcpSocket>, Reply>> m_held;
    int m_closed = 0;
    int m_connections = 0;
};

// An update document with all ten elements, as the maker publishes it.
QByteArray updateDocument(const QString &version1, const QString &version2, const QString &message = QString(),
                          const QString &uninstall = QStringLiteral("No"));

} // namespace tolvex::test

Q_DECLARE_METATYPE(tolvex::test::HttpTestServer::Reply)

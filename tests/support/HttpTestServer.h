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
// and answers every one with the reply set last, or holds it unanswered.
class HttpTestServer : public QObject {
    Q_OBJECT
public:
    struct Reply {
        int status = 200;
        QByteArray body;
        bool hold = false;        // read the request, answer nothing (until release())
        bool withLength = true;   // Content-Length, else the end of the body is the close
    };

    HttpTestServer();
    ~HttpTestServer() override;

    void setReply(const Reply &reply) { m_reply = reply; }
    // "http://127.0.0.1:<port>/"
    QString root() const;
    // The first line of each request received, in order ("GET /... HTTP/1.1").
    const QStringList &requestLines() const { return m_lines; }
    // The whole head of each request.
    const QList<QByteArray> &requestHeads() const { return m_heads; }
    // Connections the client has closed or aborted.
    int closedByClient() const { return m_closed; }
    // Answers the held requests with the reply set now.
    void release();

    // An address where nothing listens: a port that was free a moment ago.
    static QString refusingRoot();

private:
    void readRequest(QTcpSocket *socket);
    void answer(QTcpSocket *socket);

    QTcpServer m_server;
    Reply m_reply;
    QStringList m_lines;
    QList<QByteArray> m_heads;
    QList<QPointer<QTcpSocket>> m_held;
    int m_closed = 0;
};

// An update document with all ten elements, as the maker publishes it.
QByteArray updateDocument(const QString &version1, const QString &version2, const QString &message = QString(),
                          const QString &uninstall = QStringLiteral("No"));

} // namespace tolvex::test

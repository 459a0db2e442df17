#pragma once
#include "HttpReplyReader.h"
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <optional>

class QTcpSocket;

namespace tolvex::update {

// One GET of an http or https address, read on the thread that starts it (only the
// lookup of a host name runs in the background), so that nothing of it ever waits:
// aborting or destroying it closes its connection at once. Its limits are its own:
// it follows at most kMaxRedirects redirects and only those that keep the first
// address's scheme, host and port; a reply may bring a head of at most
// HttpReplyReader::kMaxHeadBytes and a body of at most the limit given; one time-out
// covers the whole of it, from the first connection to the last byte. Every outcome
// is reported from the event loop, never from inside start().
class HttpGet : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxRedirects = 5;

    // The numbers of its own failures; a failure of the connection itself reports the
    // socket's error number (0 or more).
    enum Failure {
        TooLarge = -1,        // a body longer than the limit
        BadReply = -2,        // not an HTTP reply, a head too long, or a reply cut short
        RedirectRefused = -3, // a redirect to another server, or one too many
        TimedOut = -4,        // the whole transfer took longer than its time-out
        BadAddress = -5,      // not an http or https address, or https not available
    };

    explicit HttpGet(QObject *parent = nullptr);
    ~HttpGet() override;

    // Drops what runs and starts a GET of `url`; `freshCopy` asks every cache on the
    // way for a fresh copy.
    void start(const QUrl &url, bool freshCopy, qsizetype bodyLimit, int timeoutMs);
    // Drops what runs; nothing more is reported of it.
    void abort();
    bool running() const { return m_running; }

signals:
    // More of the body has come (the body so far).
    void received(const QByteArray &body);
    // The whole reply has come, whatever its status, and was no redirect to follow.
    void finished(const QByteArray &body);
    void failed(int number, const QString &description);

private:
    void request(const QUrl &url);
    void sendRequest();
    void readSome();
    void connectionEnded();
    void socketFailed();
    void afterReading(qsizetype bodyBefore);
    void followRedirect();
    void fail(int number, const QString &description);
    void closeSocket();

    QUrl m_first;
    QUrl m_current;
    bool m_freshCopy = false;
    qsizetype m_bodyLimit = 0;
    int m_redirects = 0;
    bool m_running = false;
    quint64 m_run = 0; // counts starts and aborts: a report of an older run is dropped
    QPointer<QTcpSocket> m_socket;
    std::optional<HttpReplyReader> m_reader;
    QTimer m_timeout;
};

} // namespace tolvex::update

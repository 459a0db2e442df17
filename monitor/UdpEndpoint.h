#pragma once
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <functional>

class QUdpSocket;

namespace tolvex {

// One UDP socket of a program: bound to a local port without sharing it, sending to
// one remote host (an address, or a host name looked up without blocking), handing
// every received datagram over as text, one character per byte.
class UdpEndpoint : public QObject {
    Q_OBJECT
public:
    explicit UdpEndpoint(QObject *parent = nullptr);
    ~UdpEndpoint() override;

    void close();
    // Sets the remote host (address or host name) and binds `localPort` (1..65535),
    // failing when the port is in use or out of range.
    bool bind(const QString &remoteHost, int localPort);
    void setRemoteHost(const QString &remoteHost);
    bool isBound() const;
    int localPort() const;

    // One datagram to the remote host; false when it could not be sent (not bound,
    // host unknown or not yet found, or the system refused it).
    bool send(int remotePort, const QString &text);

    // Called for each arrival event; the receiver reads with takePending().
    void setArrivalHandler(std::function<void()> handler) { m_handler = std::move(handler); }
    // Every datagram waiting now, oldest first; at most `limit` of them.
    QStringList takePending(int limit = 256);

private:
    void lookUp();
    void deliver();

    QUdpSocket *m_socket;
    QString m_host;
    QHostAddress m_address;
    bool m_lookupPending = false;
    int m_lookupId = -1;
    bool m_deliveryQueued = false;
    std::function<void()> m_handler;
};

} // namespace tolvex

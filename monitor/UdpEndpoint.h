#pragma once
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <functional>

class QUdpSocket;

namespace tolvex {

// One UDP socket of a program: bound to a local port without sharing it, sending to
// one remote host (an address, or a host name looked up without blocking), handing
// every received datagram over as text, one character per byte.
//
// Receiving never stalls, whatever arrives: each arrival event, and each call of
// drain(), reads until the socket reports that nothing is left, for at most a short
// time budget; what a budget leaves waiting is read on a later turn of the event loop,
// after the timers and other events of that turn. The final read that finds the socket
// empty is what re-arms the socket's arrival event, so a read always follows.
class UdpEndpoint : public QObject {
    Q_OBJECT
public:
    // How long one drain may read before it lets the event loop run on.
    static constexpr int kTurnBudgetMs = 20;
    // The receive buffer asked of the system, so that a burst does not crowd out the
    // real peer's datagrams (the system may grant less).
    static constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

    // Gets each datagram in turn; a null text stands for a failed receive.
    using ArrivalHandler = std::function<void(const QString &datagram)>;

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

    void setArrivalHandler(ArrivalHandler handler) { m_handler = std::move(handler); }
    // Hands over what is waiting now (within the time budget); the programs call it on
    // every tick of their cycle as well, so a datagram is never left lying.
    void drain();

private:
    void lookUp();
    void continueLater();

    QUdpSocket *m_socket;
    QString m_host;
    QHostAddress m_address;
    bool m_lookupPending = false;
    int m_lookupId = -1;
    bool m_draining = false;
    bool m_continueQueued = false;
    QByteArray m_buffer;
    ArrivalHandler m_handler;
};

} // namespace tolvex

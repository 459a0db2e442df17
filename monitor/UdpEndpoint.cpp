#include "UdpEndpoint.h"
#include "LinkDatagram.h"
#include <QElapsedTimer>
#include <QHostInfo>
#include <QScopedValueRollback>
#include <QVariant>
#include <QUdpSocket>
#include <sys/socket.h>

namespace tolvex {

namespace {

// Room for the largest datagram IPv4 can carry; no valid frame comes near it.
constexpr int kMaxDatagram = 65536;

// Best effort: the forced size needs administrator rights, the plain one is capped by
// the system's limit.
void enlargeReceiveBuffer(QUdpSocket &socket)
{
    const int bytes = UdpEndpoint::kReceiveBufferBytes;
    const int fd = int(socket.socketDescriptor());
    if (fd >= 0 && ::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) == 0)
        return;
    socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(bytes));
}

} // namespace

UdpEndpoint::UdpEndpoint(QObject *parent)
    : QObject(parent), m_socket(new QUdpSocket(this)), m_buffer(kMaxDatagram, Qt::Uninitialized)
{
    connect(m_socket, &QUdpSocket::readyRead, this, &UdpEndpoint::drain);
}

UdpEndpoint::~UdpEndpoint()
{
    if (m_lookupPending)
        QHostInfo::abortHostLookup(m_lookupId);
}

// The socket tells of new datagrams only after the previous arrival event was followed
// by a read; an arrival event that finds nothing (the event loop can report a socket
// that an earlier drain of the same turn has already emptied) must still end in a
// read, or the socket falls silent for good. So every drain reads until a read finds
// the socket empty, and only a spent time budget ends it earlier, after a read as well.
void UdpEndpoint::drain()
{
    if (m_draining)
        return; // a handler that lets events run must not start a second drain inside the first
    const QScopedValueRollback<bool> guard(m_draining, true);
    QElapsedTimer spent;
    spent.start();
    while (isBound()) {
        const qint64 got = m_socket->readDatagram(m_buffer.data(), m_buffer.size());
        if (got < 0) {
            if (m_socket->error() == QAbstractSocket::TemporaryError)
                return; // nothing left, and the socket is armed again
            if (m_handler)
                m_handler(QString()); // a failed receive
            if (!m_socket->hasPendingDatagrams())
                return;
        } else if (m_handler) {
            m_handler(link::fromBytes(QByteArray::fromRawData(m_buffer.constData(), int(got))));
        }
        if (spent.elapsed() >= kTurnBudgetMs) {
            continueLater();
            return;
        }
    }
}

// The rest of a flood waits behind the timers and other events of this turn; the
// socket's own arrival event comes back as well, whichever is first reads on.
void UdpEndpoint::continueLater()
{
    if (m_continueQueued)
        return;
    m_continueQueued = true;
    QMetaObject::invokeMethod(this, [this] {
        m_continueQueued = false;
        drain();
    }, Qt::QueuedConnection);
}

void UdpEndpoint::close()
{
    m_socket->close();
}

void UdpEndpoint::setRemoteHost(const QString &remoteHost)
{
    if (remoteHost == m_host && (!m_address.isNull() || m_lookupPending))
        return;
    if (m_lookupPending) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupPending = false;
    }
    m_host = remoteHost;
    m_address = QHostAddress();
    if (!m_address.setAddress(remoteHost))
        lookUp();
}

bool UdpEndpoint::bind(const QString &remoteHost, int localPort)
{
    setRemoteHost(remoteHost);
    if (localPort < 1 || localPort > 65535)
        return false;
    m_socket->close();
    if (!m_socket->bind(QHostAddress::AnyIPv4, quint16(localPort), QAbstractSocket::DontShareAddress))
        return false;
    enlargeReceiveBuffer(*m_socket);
    return true;
}

bool UdpEndpoint::isBound() const
{
    return m_socket->state() == QAbstractSocket::BoundState;
}

int UdpEndpoint::localPort() const
{
    return m_socket->localPort();
}

void UdpEndpoint::lookUp()
{
    if (m_host.isEmpty() || m_lookupPending)
        return;
    m_lookupPending = true;
    m_lookupId = QHostInfo::lookupHost(m_host, this, [this](const QHostInfo &info) {
        m_lookupPending = false;
        for (const QHostAddress &a : info.addresses()) {
            if (a.protocol() == QAbstractSocket::IPv4Protocol) {
                m_address = a;
                return;
            }
        }
    });
}

bool UdpEndpoint::send(int remotePort, const QString &text)
{
    if (!isBound() || remotePort < 1 || remotePort > 65535)
        return false;
    if (m_address.isNull()) {
        lookUp(); // a failed or pending look-up is a failed send; try again next time
        return false;
    }
    const QByteArray bytes = link::toBytes(text);
    return m_socket->writeDatagram(bytes, m_address, quint16(remotePort)) == bytes.size();
}

} // namespace tolvex

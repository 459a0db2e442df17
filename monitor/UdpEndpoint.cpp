#include "UdpEndpoint.h"
#include "LinkDatagram.h"
#include <QHostInfo>
#include <QUdpSocket>

namespace tolvex {

namespace {
// Larger datagrams are cut to this size; no valid frame comes near it.
constexpr qint64 kMaxDatagram = 65536;
}

UdpEndpoint::UdpEndpoint(QObject *parent)
    : QObject(parent), m_socket(new QUdpSocket(this))
{
    connect(m_socket, &QUdpSocket::readyRead, this, &UdpEndpoint::deliver);
}

UdpEndpoint::~UdpEndpoint()
{
    if (m_lookupPending)
        QHostInfo::abortHostLookup(m_lookupId);
}

void UdpEndpoint::deliver()
{
    if (m_handler)
        m_handler();
    // A flood is taken in portions; the rest waits behind the other events (the
    // timer among them) instead of holding the window thread.
    if (m_socket->hasPendingDatagrams() && !m_deliveryQueued) {
        m_deliveryQueued = true;
        QMetaObject::invokeMethod(this, [this] {
            m_deliveryQueued = false;
            deliver();
        }, Qt::QueuedConnection);
    }
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
    return m_socket->bind(QHostAddress::AnyIPv4, quint16(localPort), QAbstractSocket::DontShareAddress);
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

QStringList UdpEndpoint::takePending(int limit)
{
    QStringList out;
    while (m_socket->hasPendingDatagrams() && out.size() < limit) {
        const qint64 size = m_socket->pendingDatagramSize();
        QByteArray data(int(qBound<qint64>(0, size, kMaxDatagram)), Qt::Uninitialized);
        const qint64 got = m_socket->readDatagram(data.data(), data.size());
        if (got < 0) {
            out << QString(); // a failed receive reads as an empty datagram
            continue;
        }
        data.truncate(int(got));
        out << link::fromBytes(data);
    }
    return out;
}

} // namespace tolvex

#include "tcp_transport.h"

#include "tcp_device.h"

#include <QMetaObject>

namespace serial {

namespace {

constexpr qint64 kReadBufferSize = 4096;

} // namespace

TcpTransport::TcpTransport(QString device, QObject *parent)
    : Transport(parent), m_device(std::move(device)), m_socket(this)
{
    m_socket.setReadBufferSize(kReadBufferSize);
    connect(&m_socket, &QTcpSocket::readyRead, this, &TcpTransport::readAll);
    // Every end of a connection passes here (closed by the far end, reset, a failed write);
    // a failed connect does not.
    connect(&m_socket, &QTcpSocket::disconnected, this, &TcpTransport::dropped);
}

TcpTransport::~TcpTransport()
{
    disconnect(&m_socket, nullptr, this, nullptr);
    close();
}

OpenAttempt TcpTransport::open()
{
    if (m_socket.isOpen())
        return {OpenFailure::TcpOther, m_device, QString()};
    const std::optional<TcpAddress> address = parseTcpDevice(m_device);
    if (!address)
        return {OpenFailure::TcpBadAddress, m_device, QString()};
    m_socket.connectToHost(address->host, address->port);
    if (m_socket.waitForConnected(kTcpConnectTimeoutMs))
        return {};
    const OpenAttempt failed{openFailureOf(m_socket.error()), m_device, m_socket.errorString()};
    m_closing = true;
    m_socket.abort();
    m_closing = false;
    return failed;
}

void TcpTransport::close()
{
    if (!m_socket.isOpen() || m_closing)
        return;
    // Every request was written at once, so abort() drops nothing waiting to be sent; the
    // disconnected() it raises is no lost line.
    m_closing = true;
    m_socket.abort();
    m_closing = false;
}

void TcpTransport::write(const QByteArray &bytes)
{
    if (!m_socket.isOpen() || bytes.isEmpty())
        return;
    bool written = m_socket.write(bytes) == bytes.size();
    emit sent(bytes, std::chrono::steady_clock::now());
    // The socket writes on the event loop's next pass; flush() sends now, without blocking.
    written = written && (m_socket.flush() || m_socket.bytesToWrite() == 0);
    if (!written && m_socket.isOpen())
        lose();
}

// What the system holds of a late answer waits in the socket; it is not the next answer.
void TcpTransport::discardInput()
{
    if (m_socket.isOpen())
        m_socket.skip(m_socket.bytesAvailable());
}

void TcpTransport::readAll()
{
    const QByteArray bytes = m_socket.readAll();
    if (!bytes.isEmpty())
        emit received(bytes, std::chrono::steady_clock::now());
}

void TcpTransport::dropped()
{
    if (!m_closing && m_socket.isOpen())
        lose();
}

void TcpTransport::lose()
{
    close();
    QString server = m_device;
    if (const std::optional<TcpAddress> address = parseTcpDevice(m_device))
        server = tcpAddressText(*address);
    const QString cause = tr("串口服务器 %1 关闭了连接").arg(server);
    QMetaObject::invokeMethod(
        this, [this, cause] { emit lost(cause); }, Qt::QueuedConnection);
}

} // namespace serial

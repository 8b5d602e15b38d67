#pragma once
#include "transport.h"

#include <QTcpSocket>

namespace serial {

// A serial device server ("tcp://HOST:PORT"): an RS-485-to-Ethernet converter that passes the
// RTU frames unchanged over one TCP connection. Its own settings set the line, so line()
// is empty; a dropped connection is a lost line.
class TcpTransport : public Transport
{
    Q_OBJECT

public:
    explicit TcpTransport(QString device, QObject *parent = nullptr);
    ~TcpTransport() override;

    [[nodiscard]] QString location() const override { return m_device; }
    // Waits at most kTcpConnectTimeoutMs for the connection, without running the event loop
    // (a host name is looked up first, by the system's resolver, outside that bound).
    [[nodiscard]] OpenAttempt open() override;
    void close() override;
    [[nodiscard]] bool isOpen() const override { return m_socket.isOpen(); }
    void write(const QByteArray &bytes) override;
    void discardInput() override;

private:
    void readAll();
    void dropped();
    void lose();

    QString m_device;
    QTcpSocket m_socket;
    bool m_closing = false;
};

} // namespace serial

#pragma once
#include "open_failure.h"

#include <QAbstractSocket>
#include <QString>
#include <optional>

namespace serial {

// A COM number may name a serial device server (an RS-485-to-Ethernet converter that passes
// the RTU frames unchanged over one TCP connection) as "tcp://HOST:PORT".
struct TcpAddress
{
    QString host; // a name, an IPv4 address, or an IPv6 address without its brackets
    quint16 port = 0;
};

// A converter on the LAN answers a connection at once; this bounds the wait for one that is
// switched off or unreachable.
inline constexpr int kTcpConnectTimeoutMs = 2000;

// Whether the device name is meant as a device server ("tcp://…"), well formed or not.
[[nodiscard]] bool isTcpDevice(const QString &device);

// The host and port of "tcp://HOST:PORT" (IPv6 as "tcp://[::1]:4001"); nothing when the name
// is not of that form or the port is outside 1..65535.
[[nodiscard]] std::optional<TcpAddress> parseTcpDevice(const QString &device);

// "192.168.1.200:4001", "[fe80::1]:4001".
[[nodiscard]] QString tcpAddressText(const TcpAddress &address);

[[nodiscard]] OpenFailure openFailureOf(QAbstractSocket::SocketError error);

} // namespace serial

#include "tcp_device.h"

#include <QUrl>

namespace serial {

namespace {

const QLatin1String kTcpScheme("tcp://");

} // namespace

bool isTcpDevice(const QString &device)
{
    return device.startsWith(kTcpScheme, Qt::CaseInsensitive);
}

std::optional<TcpAddress> parseTcpDevice(const QString &device)
{
    if (!isTcpDevice(device))
        return std::nullopt;
    const QUrl url(device, QUrl::StrictMode);
    const int port = url.port();
    // A slash at the end is taken; anything else after the port is a mistake.
    const bool bare = (url.path().isEmpty() || url.path() == QLatin1String("/")) &&
                      url.userInfo().isEmpty() && !url.hasQuery() && !url.hasFragment();
    if (!url.isValid() || url.host().isEmpty() || port < 1 || port > 65535 || !bare)
        return std::nullopt;
    return TcpAddress{url.host(), static_cast<quint16>(port)};
}

QString tcpAddressText(const TcpAddress &address)
{
    if (address.host.contains(QLatin1Char(':')))
        return QStringLiteral("[%1]:%2").arg(address.host).arg(address.port);
    return QStringLiteral("%1:%2").arg(address.host).arg(address.port);
}

OpenFailure openFailureOf(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return OpenFailure::TcpRefused;
    case QAbstractSocket::HostNotFoundError:
        return OpenFailure::TcpHostNotFound;
    case QAbstractSocket::SocketTimeoutError:
        return OpenFailure::TcpTimedOut;
    default:
        return OpenFailure::TcpOther;
    }
}

} // namespace serial

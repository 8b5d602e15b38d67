#pragma once
#include "serial/port_directory.h"
#include "serial/transport.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace ctl {

// A transport opened, or the cause it would not open in the words rx904-tool shows below
// "串口已打开或被占用！".
struct OpenedPort
{
    std::unique_ptr<serial::Transport> transport;
    QString failure;
};

// "COMn" reaches its device as rx904-tool numbers it (RX904_COMn, then the devices
// present); a device path or "tcp://HOST:PORT" is opened as it is.
[[nodiscard]] OpenedPort openPort(const QString &port, const serial::PortDirectory &ports,
                                  int baud);

// The ports of a ports file, one a line; blank lines and those starting with # are skipped.
// Nothing, with the line and the reason in error, when it cannot be read.
[[nodiscard]] std::optional<QStringList> readPortsFile(const QString &path, QString &error);

} // namespace ctl

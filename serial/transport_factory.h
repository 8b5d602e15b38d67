#pragma once
#include "transport.h"

#include <functional>
#include <memory>

namespace serial {

// Makes the transport that reaches a device: a serial device server for "tcp://…", the
// system's serial port otherwise. Not opened yet.
using TransportFactory = std::function<std::unique_ptr<Transport>(const QString &device)>;

[[nodiscard]] std::unique_ptr<Transport> makeTransport(const QString &device);

} // namespace serial

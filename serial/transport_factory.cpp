#include "transport_factory.h"

#include "tcp_device.h"
#include "tcp_transport.h"

#ifdef Q_OS_WIN
#include "win32_transport.h"
#else
#include "serial_port_transport.h"
#endif

namespace serial {

std::unique_ptr<Transport> makeTransport(const QString &device)
{
    if (isTcpDevice(device))
        return std::make_unique<TcpTransport>(device);
#ifdef Q_OS_WIN
    return std::make_unique<Win32Transport>(device);
#else
    return std::make_unique<SerialPortTransport>(device);
#endif
}

} // namespace serial

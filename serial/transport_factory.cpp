#include "transport_factory.h"

#include "serial_port_transport.h"
#include "tcp_device.h"
#include "tcp_transport.h"

namespace serial {

std::unique_ptr<Transport> makeTransport(const QString &device)
{
    if (isTcpDevice(device))
        return std::make_unique<TcpTransport>(device);
    return std::make_unique<SerialPortTransport>(device);
}

} // namespace serial

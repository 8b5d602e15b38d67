#include "port_map.h"

#include "port_names.h"

#include <QCoreApplication>

namespace serial {

QString overrideVariableName(int port)
{
    return QStringLiteral("RX904_COM%1").arg(port);
}

PortMap PortMap::fromEnvironment()
{
    PortMap map;
    for (int port = kFirstPort; port <= kLastPort; ++port)
        map.set(port, qEnvironmentVariable(overrideVariableName(port).toLatin1().constData()),
                PortOrigin::Environment);
    return map;
}

void PortMap::set(int port, const QString &device, PortOrigin origin)
{
    if (port < kFirstPort || port > kLastPort)
        return;
    if (device.isEmpty())
        m_mappings.erase(port);
    else
        m_mappings[port] = PortMapping{device, origin};
}

std::optional<PortMapping> PortMap::mapping(int port) const
{
    const auto found = m_mappings.find(port);
    if (found == m_mappings.end())
        return std::nullopt;
    return found->second;
}

QString PortMap::device(int port) const
{
    const std::optional<PortMapping> named = mapping(port);
    return named ? named->device : QString();
}

QString PortMap::originText(int port) const
{
    const std::optional<PortMapping> named = mapping(port);
    if (!named)
        return QString();
    if (named->origin == PortOrigin::CommandLine)
        return QCoreApplication::translate("PortMap", "选项 --port COM%1=%2")
            .arg(port)
            .arg(named->device);
    return QCoreApplication::translate("PortMap", "环境变量 %1").arg(overrideVariableName(port));
}

} // namespace serial

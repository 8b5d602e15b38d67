#include "port_directory.h"

#include "open_failure_probe.h"

namespace serial {

QStringList PortDirectory::describePorts()
{
    const Platform platform = hostPlatform();
    m_listed = presentDevices();
    QStringList tips;
    for (int port = kFirstPort; port <= kLastPort; ++port)
        tips.append(portToolTip(port, m_map, platform, m_listed));
    return tips;
}

std::optional<DeviceInfo> PortDirectory::resolve(int port) const
{
    return resolvePort(port, m_map);
}

QString PortDirectory::explainOpenFailure(int port, const OpenAttempt &attempt) const
{
    return openFailureCause(gatherOpenFailureFacts(port, attempt, m_map, m_listed));
}

} // namespace serial

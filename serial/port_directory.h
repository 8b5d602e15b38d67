#pragma once
#include "open_failure.h"
#include "port_map.h"
#include "port_names.h"

#include <QList>
#include <QStringList>
#include <optional>

namespace serial {

// Which device each COM number reaches, and why one would not open: the user's map, and the
// last listing of the system's devices the user was shown.
class PortDirectory
{
public:
    explicit PortDirectory(PortMap map = {}) : m_map(std::move(map)) {}

    [[nodiscard]] const PortMap &map() const { return m_map; }

    // The tooltips of COM1 … COM25 from one listing of the devices present now. The listing
    // is kept: a later failure can then tell that a USB adapter the user saw has gone.
    [[nodiscard]] QStringList describePorts();

    // The device COMn reaches now; nothing when none does.
    [[nodiscard]] std::optional<DeviceInfo> resolve(int port) const;

    // Why the attempt on COMn failed, in the window's language.
    [[nodiscard]] QString explainOpenFailure(int port, const OpenAttempt &attempt) const;

private:
    PortMap m_map;
    QList<DeviceInfo> m_listed;
};

} // namespace serial

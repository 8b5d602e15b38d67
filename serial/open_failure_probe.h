#pragma once
#include "open_failure.h"
#include "port_map.h"

namespace serial {

// Gathers the facts from this system for COMn and the attempt that failed: the device file,
// its lock files, the processes that have it open (Linux: /proc), and signs of a braille
// service taking USB adapters, among them USB adapters of an earlier listing (`listedBefore`,
// taken when the port list opened) that have gone away. Elsewhere only the device list and
// the system's error.
[[nodiscard]] OpenFailureFacts gatherOpenFailureFacts(int port, const OpenAttempt &attempt,
                                                      const PortMap &map,
                                                      const QList<DeviceInfo> &listedBefore);

// The processes that hold the device: its lock files (/var/lock, /run/lock, /tmp) with a
// living pid, then every process with the device among its open files.
[[nodiscard]] QList<DeviceHolder> deviceHolders(const QString &path);

} // namespace serial

#pragma once
#include "open_failure.h"

namespace serial {

// Gathers the facts from this system for COMn and the attempt that failed: the device file,
// its lock files, the processes that have it open (Linux: /proc), and signs of a braille
// service taking USB adapters. Elsewhere only the device list and the system's error.
[[nodiscard]] OpenFailureFacts gatherOpenFailureFacts(int port, const OpenAttempt &attempt);

// The cause of the failed attempt on COMn, as openFailureCause() words it.
[[nodiscard]] QString explainOpenFailure(int port, const OpenAttempt &attempt);

// Remembers the USB adapters of a device listing (taken when the port list opens), so a later
// failure can tell that one of them went away.
void rememberListedDevices(const QList<DeviceInfo> &present);

// The processes that hold the device: its lock files (/var/lock, /run/lock, /tmp) with a
// living pid, then every process with the device among its open files.
[[nodiscard]] QList<DeviceHolder> deviceHolders(const QString &path);

} // namespace serial

#pragma once
#include "serial/port_map.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>

namespace app {

// What the command line asks of rx904-tool. Without options the window starts as always.
struct CommandLine
{
    // Set when the program ends at once, without a window: 0 after --help or --version, with
    // `text` for standard output; 2 after an unknown option or a malformed value, with `text`
    // (the cause and the usage) for standard error.
    std::optional<int> exitStatus;
    QString text;
    // --port COMn=DEVICE: the device behind COMn, with the meaning of RX904_COMn.
    std::map<int, QString> ports;
    // --configure: the configuration window opens as the main window is shown.
    bool configure = false;
    // --monitor: the traffic monitor opens beside the window.
    bool monitor = false;
};

// `arguments` as the program was called, its own name first.
[[nodiscard]] CommandLine parseCommandLine(const QStringList &arguments);

// The devices named for COM numbers: RX904_COMn of the environment, and each --port over it.
[[nodiscard]] serial::PortMap portMap(const CommandLine &commandLine);

} // namespace app

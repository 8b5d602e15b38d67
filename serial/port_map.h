#pragma once
#include <QString>
#include <map>
#include <optional>

namespace serial {

// Where a COM number's device was named: the user must be told which of the two to correct.
enum class PortOrigin { Environment, CommandLine };

struct PortMapping
{
    QString device; // "/dev/pts/3", "COM7", "tcp://192.168.1.200:4001"
    PortOrigin origin = PortOrigin::Environment;
};

// The devices named for COM numbers by the user: RX904_COMn in the environment, and
// `--port COMn=DEVICE` on the command line, which wins. COM numbers not named here follow
// the platform's own numbering (port_names.h).
class PortMap
{
public:
    // RX904_COM1 … RX904_COM25 of this process's environment, where set and not empty.
    [[nodiscard]] static PortMap fromEnvironment();

    // An empty device removes the entry.
    void set(int port, const QString &device, PortOrigin origin);
    [[nodiscard]] std::optional<PortMapping> mapping(int port) const;
    // The device named for COMn; empty when none is.
    [[nodiscard]] QString device(int port) const;
    // How the user named it, to be quoted back: "环境变量 RX904_COM1" or
    // "选项 --port COM1=/dev/pts/3". Empty when COMn is not named here.
    [[nodiscard]] QString originText(int port) const;

private:
    std::map<int, PortMapping> m_mappings;
};

// "RX904_COMn".
[[nodiscard]] QString overrideVariableName(int port);

} // namespace serial

#pragma once
#include "port_names.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace serial {

// How the last open of a port failed, as the control saw it.
enum class OpenFailure {
    None,
    NoDevice,   // the COM number reached no device, so nothing was tried
    NotFound,   // the system has no such device (ENOENT, ENODEV, ENXIO)
    Permission, // refused: no access, TIOCEXCL held by another user, or a Qt lock file
    Locked,     // opened, but another program holds an exclusive flock() on it
    Other,
    // A device server named "tcp://HOST:PORT" (tcp_device.h).
    TcpBadAddress,   // the name is not of that form
    TcpHostNotFound, // the host name does not resolve
    TcpRefused,      // nothing accepts connections on that port, or the server is busy
    TcpTimedOut,     // no answer within the bound
    TcpOther,
};

[[nodiscard]] bool isTcpFailure(OpenFailure failure);

struct OpenAttempt
{
    OpenFailure failure = OpenFailure::None;
    QString path;        // the device tried ("tcp://HOST:PORT" too); empty for NoDevice
    QString systemError; // errorString() of the port or socket; empty when none was given
};

// A process that holds a device: found through its lock file or its open file descriptors.
struct DeviceHolder
{
    QString program; // /proc/PID/comm
    qint64 pid = 0;
    QString lockFile; // "/run/lock/LCK..ttyUSB0"; empty when found among the open files

    friend bool operator==(const DeviceHolder &, const DeviceHolder &) = default;
};

struct ComMapping
{
    int port = 0;
    QString path;
};

// What the system reports about a port that would not open.
struct OpenFailureFacts
{
    int port = 1;
    OpenAttempt attempt;
    // How the user named the device, when they did: "环境变量 RX904_COM3",
    // "选项 --port COM3=/dev/ttyUSB1".
    QString mappedBy;
    int devicesPresent = 0;      // serial devices the system lists now
    QList<ComMapping> reachable; // COM numbers that reach a device now, in order

    // The device file, when attempt.path names one.
    bool exists = false;
    // The outermost directory on the device's path that this user may not enter; the device
    // behind it may well be there.
    QString closedDirectory;
    QString owner;
    QString group;
    unsigned mode = 0;          // permission bits, 0777 at most
    bool inGroupNow = false;    // the group is among this process's groups
    bool listedInGroup = false; // the group database names the user (maybe since last login)
    bool canReadWrite = false;  // access(R_OK | W_OK)

    QList<DeviceHolder> holders;

    // A braille-display service claims some USB serial adapters a moment after they appear,
    // and their ttyUSB/ttyACM device goes away again.
    QStringList vanishedUsb;      // adapters listed earlier by the tool and gone now
    int usbInterfacesClaimed = 0; // USB interfaces a program holds through usbfs
    bool brlttyInstalled = false;
    bool brlttyUdevRules = false; // systems that start it per device from a udev rule

    // A Windows COM port: the error is all Windows tells, and the causes are its own.
    bool windows = false;
};

// The cause, in the window's language, for the informative text below "串口已打开或被占用！".
[[nodiscard]] QString openFailureCause(const OpenFailureFacts &facts);

} // namespace serial

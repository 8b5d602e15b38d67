#pragma once
#include "port_map.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>
#include <optional>

namespace serial {

// How COM1 … COM25 reach the serial devices of this computer:
//
// 1. On every platform, the device the user named for COMn (port_map.h: --port COMn=DEVICE,
//    or RX904_COMn) is the one behind it (/dev/pts/3, /dev/ttyUSB1, COM7).
//    "tcp://HOST:PORT" names a serial device server reached over TCP (tcp_device.h).
// 2. On Windows, COMn is the system's own COMn.
// 3. Elsewhere, COMn is the n-th serial device present at the moment the port is opened.
//    USB adapters come first: ttyUSB* and ttyACM*, and on macOS the names containing "usb"
//    (cu.usbserial*, cu.usbmodem*, …). All other serial devices follow. Each group is in
//    natural order, so ttyUSB2 comes before ttyUSB10. On macOS, a device listed both as
//    cu.* (callout) and tty.* (dial-in) counts once, as its cu.* name.
//    With fewer than n devices present, COMn reaches nothing and cannot be opened.
//
// Each COMn's tooltip in the port list names the device it reaches at that moment.

inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 25;

enum class Platform { Windows, MacOS, OtherUnix };

// One serial device as the system lists it.
struct DeviceInfo
{
    QString portName;       // "ttyUSB0", "cu.usbserial-1410", "COM3"
    QString systemLocation; // "/dev/ttyUSB0", "\\.\COM3": what the port is opened by
    QString description;    // "USB-Serial Controller"; may be empty
    // Known for USB devices only; empty or nullopt otherwise.
    QString manufacturer = {};
    QString serialNumber = {};
    std::optional<quint16> vendorId = {};
    std::optional<quint16> productId = {};
    QString stableName = {}; // its link under /dev/serial/by-id, which keeps across replugging

    friend bool operator==(const DeviceInfo &, const DeviceInfo &) = default;
};

// Compares names with runs of digits taken as numbers ("ttyUSB2" < "ttyUSB10") and letters
// without regard to case; negative, zero or positive like QString::compare. Only equal
// strings compare equal.
[[nodiscard]] int naturalCompare(QStringView a, QStringView b);

// Whether the device counts as a USB adapter for the numbering on that platform.
[[nodiscard]] bool isUsbAdapter(const DeviceInfo &device, Platform platform);

// The devices present, in the order that numbers them COM1, COM2, … (outside Windows).
[[nodiscard]] QList<DeviceInfo> numberedDevices(const QList<DeviceInfo> &present,
                                                Platform platform);

// The device behind COMn, given the device the user named for it (empty when none), the
// platform and
// the devices present. nullopt when port is outside 1..25 or no device stands behind it. On
// Windows COMn is always given, present or not, since only opening tells.
[[nodiscard]] std::optional<DeviceInfo> resolvePort(int port, const QString &overridePath,
                                                    Platform platform,
                                                    const QList<DeviceInfo> &present);

// Tooltip for COMn's entry in the port list, in the tool's language: a first line
// "COM1 → /dev/ttyUSB0", "COM1 → /dev/pts/3（由环境变量 RX904_COM1 指定）" (or "由选项
// --port COM1=/dev/pts/3 指定") or
// "COM4：当前没有对应的串口设备", then one line for each known detail of the device: its
// stable name, description, manufacturer, USB vendor and product id, serial number. A device
// server has the one line
// "COM2 → 串口服务器 192.168.1.200:4001（经 TCP 连接，由环境变量 RX904_COM2 指定）".
[[nodiscard]] QString portToolTip(int port, const PortMap &map, Platform platform,
                                  const QList<DeviceInfo> &present);

// The number of a port name "COM1" … "COM25", in any case; nothing for anything else.
[[nodiscard]] std::optional<int> comNumber(const QString &name);

// The path Windows opens a port name by: "COM3", "com3" and "\\.\COM3" give "\\.\COM3"
// (COM10 and above open only by it); anything else is returned as it is.
[[nodiscard]] QString windowsDevicePath(const QString &name);

// The platform this program runs on, and the serial devices the system lists now.
[[nodiscard]] Platform hostPlatform();
[[nodiscard]] QList<DeviceInfo> presentDevices();
// The device behind COMn now, by the map and the devices the system lists.
[[nodiscard]] std::optional<DeviceInfo> resolvePort(int port, const PortMap &map);

} // namespace serial

#include "port_names.h"

#include "tcp_device.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtGlobal>
#include <algorithm>

namespace serial {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isValidPort(int port)
{
    return port >= kFirstPort && port <= kLastPort;
}

QString windowsPortName(int port)
{
    return QStringLiteral("COM%1").arg(port);
}

// COM10 and above open only by their device path, which serves every number.
QString windowsSystemLocation(int port)
{
    return QStringLiteral("\\\\.\\COM%1").arg(port);
}

const QLatin1String kMacCallout("cu.");
const QLatin1String kMacDialIn("tty.");

// macOS lists each device twice: cu.X for calling out, tty.X waiting for carrier. cu.X is
// the one a program that starts the conversation should open.
QList<DeviceInfo> withoutMacDialInTwins(const QList<DeviceInfo> &present)
{
    QList<DeviceInfo> kept;
    for (const DeviceInfo &device : present) {
        if (device.portName.startsWith(kMacDialIn)) {
            const QString twin = kMacCallout + device.portName.mid(kMacDialIn.size());
            const bool hasTwin =
                std::any_of(present.cbegin(), present.cend(),
                            [&twin](const DeviceInfo &other) { return other.portName == twin; });
            if (hasTwin)
                continue;
        }
        kept.append(device);
    }
    return kept;
}

// What the tooltip shows as the device: the name the user knows it by.
QString shownLocation(const DeviceInfo &device, Platform platform)
{
    if (platform == Platform::Windows)
        return device.portName;
    return device.systemLocation;
}

QString hex4(quint16 id)
{
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

// One line for each detail the system gave, each after a line break.
QString detailLines(const DeviceInfo &device)
{
    QString lines;
    const auto add = [&lines](const QString &label, const QString &value) {
        if (!value.isEmpty())
            lines += QLatin1Char('\n') + label.arg(value);
    };
    add(QCoreApplication::translate("PortNames", "固定名称：%1"), device.stableName);
    add(QCoreApplication::translate("PortNames", "描述：%1"), device.description);
    add(QCoreApplication::translate("PortNames", "制造商：%1"), device.manufacturer);
    if (device.vendorId)
        add(QCoreApplication::translate("PortNames", "USB 厂商 ID：%1"), hex4(*device.vendorId));
    if (device.productId)
        add(QCoreApplication::translate("PortNames", "USB 产品 ID：%1"), hex4(*device.productId));
    add(QCoreApplication::translate("PortNames", "序列号：%1"), device.serialNumber);
    return lines;
}

} // namespace

int naturalCompare(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isAsciiDigit(a[i]) && isAsciiDigit(b[j])) {
            const qsizetype startA = i;
            const qsizetype startB = j;
            while (i < a.size() && isAsciiDigit(a[i]))
                ++i;
            while (j < b.size() && isAsciiDigit(b[j]))
                ++j;
            QStringView numberA = a.sliced(startA, i - startA);
            QStringView numberB = b.sliced(startB, j - startB);
            while (numberA.size() > 1 && numberA.front() == QLatin1Char('0'))
                numberA = numberA.sliced(1);
            while (numberB.size() > 1 && numberB.front() == QLatin1Char('0'))
                numberB = numberB.sliced(1);
            // Without leading zeros, the longer run of digits is the larger number.
            if (numberA.size() != numberB.size())
                return numberA.size() < numberB.size() ? -1 : 1;
            const int digits = numberA.compare(numberB);
            if (digits != 0)
                return digits;
            continue;
        }
        const QChar foldedA = a[i].toCaseFolded();
        const QChar foldedB = b[j].toCaseFolded();
        if (foldedA != foldedB)
            return foldedA < foldedB ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    // "tty01" and "tty1", "ttyA" and "ttya" are different devices: keep a fixed order.
    const int plain = a.compare(b);
    return plain < 0 ? -1 : (plain > 0 ? 1 : 0);
}

bool isUsbAdapter(const DeviceInfo &device, Platform platform)
{
    const QString &name = device.portName;
    switch (platform) {
    case Platform::Windows:
        return false;
    case Platform::MacOS:
        return name.contains(QLatin1String("usb"), Qt::CaseInsensitive);
    case Platform::OtherUnix:
        return name.startsWith(QLatin1String("ttyUSB")) || name.startsWith(QLatin1String("ttyACM"));
    }
    return false;
}

QList<DeviceInfo> numberedDevices(const QList<DeviceInfo> &present, Platform platform)
{
    QList<DeviceInfo> devices =
        platform == Platform::MacOS ? withoutMacDialInTwins(present) : present;
    std::sort(devices.begin(), devices.end(), [platform](const DeviceInfo &a, const DeviceInfo &b) {
        const bool usbA = isUsbAdapter(a, platform);
        const bool usbB = isUsbAdapter(b, platform);
        if (usbA != usbB)
            return usbA;
        const int byName = naturalCompare(a.portName, b.portName);
        if (byName != 0)
            return byName < 0;
        return a.systemLocation < b.systemLocation;
    });
    return devices;
}

std::optional<DeviceInfo> resolvePort(int port, const QString &overridePath, Platform platform,
                                      const QList<DeviceInfo> &present)
{
    if (!isValidPort(port))
        return std::nullopt;
    if (!overridePath.isEmpty())
        return DeviceInfo{QFileInfo(overridePath).fileName(), overridePath, QString()};
    if (platform == Platform::Windows) {
        const QString name = windowsPortName(port);
        for (const DeviceInfo &device : present) {
            if (device.portName.compare(name, Qt::CaseInsensitive) == 0)
                return device;
        }
        return DeviceInfo{name, windowsSystemLocation(port), QString()};
    }
    const QList<DeviceInfo> devices = numberedDevices(present, platform);
    if (port > devices.size())
        return std::nullopt;
    return devices.at(port - 1);
}

QString portToolTip(int port, const PortMap &map, Platform platform,
                    const QList<DeviceInfo> &present)
{
    const QString overridePath = map.device(port);
    const QString portName = windowsPortName(port);
    const QString none =
        QCoreApplication::translate("PortNames", "%1：当前没有对应的串口设备").arg(portName);
    if (const std::optional<TcpAddress> server = parseTcpDevice(overridePath)) {
        return QCoreApplication::translate("PortNames",
                                           "%1 → 串口服务器 %2（经 TCP 连接，由%3 指定）")
            .arg(portName, tcpAddressText(*server), map.originText(port));
    }
    if (!overridePath.isEmpty()) {
        const QString first = QCoreApplication::translate("PortNames", "%1 → %2（由%3 指定）")
                                  .arg(portName, overridePath, map.originText(port));
        const auto listed = std::find_if(
            present.cbegin(), present.cend(), [&overridePath, platform](const DeviceInfo &device) {
                return platform == Platform::Windows
                           ? device.portName.compare(overridePath, Qt::CaseInsensitive) == 0
                           : device.systemLocation == overridePath;
            });
        return listed == present.cend() ? first : first + detailLines(*listed);
    }
    const std::optional<DeviceInfo> device = resolvePort(port, QString(), platform, present);
    if (!device)
        return none;
    if (platform == Platform::Windows) {
        const bool listed = std::any_of(
            present.cbegin(), present.cend(), [&portName](const DeviceInfo &listedDevice) {
                return listedDevice.portName.compare(portName, Qt::CaseInsensitive) == 0;
            });
        if (!listed)
            return none;
    }
    return QStringLiteral("%1 → %2").arg(portName, shownLocation(*device, platform)) +
           detailLines(*device);
}

std::optional<int> comNumber(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^COM([0-9]{1,2})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    const int number = match.captured(1).toInt();
    if (!isValidPort(number))
        return std::nullopt;
    return number;
}

QString windowsDevicePath(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^(?:\\\\\.\\)?COM([0-9]{1,3})$)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return name;
    return QStringLiteral("\\\\.\\COM%1").arg(match.captured(1).toInt());
}

Platform hostPlatform()
{
#if defined(Q_OS_WIN)
    return Platform::Windows;
#elif defined(Q_OS_MACOS)
    return Platform::MacOS;
#else
    return Platform::OtherUnix;
#endif
}

std::optional<DeviceInfo> resolvePort(int port, const PortMap &map)
{
    if (!isValidPort(port))
        return std::nullopt;
    const QString named = map.device(port);
    // A named device is taken as it is, so the system's list is not needed.
    if (!named.isEmpty())
        return resolvePort(port, named, hostPlatform(), {});
    return resolvePort(port, named, hostPlatform(), presentDevices());
}

} // namespace serial

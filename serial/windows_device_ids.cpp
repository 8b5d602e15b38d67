#include "windows_device_ids.h"

#include <QRegularExpression>

namespace serial {

namespace {

std::optional<quint16> hexField(const QString &id, QLatin1String key)
{
    static const QRegularExpression fourHex(QStringLiteral("^[0-9A-Fa-f]{4}"));
    const qsizetype at = id.indexOf(key, 0, Qt::CaseInsensitive);
    if (at < 0)
        return std::nullopt;
    const QRegularExpressionMatch match = fourHex.match(id.mid(at + key.size()));
    if (!match.hasMatch())
        return std::nullopt;
    return static_cast<quint16>(match.captured().toUInt(nullptr, 16));
}

} // namespace

DeviceInfo deviceFromWindowsRecord(const WindowsPortRecord &record)
{
    DeviceInfo device{record.portName, windowsDevicePath(record.portName), record.friendlyName};
    device.manufacturer = record.manufacturer;
    // FTDI adapters list as "FTDIBUS\VID_0403+PID_6001+…": the same ids with another joint.
    const bool usb = record.hardwareId.startsWith(QLatin1String("USB\\"), Qt::CaseInsensitive) ||
                     record.hardwareId.startsWith(QLatin1String("FTDIBUS\\"), Qt::CaseInsensitive);
    if (usb) {
        device.vendorId = hexField(record.hardwareId, QLatin1String("VID_"));
        device.productId = hexField(record.hardwareId, QLatin1String("PID_"));
    }
    const QString last = record.instanceId.section(QLatin1Char('\\'), -1);
    const bool ownSerial =
        record.instanceId.startsWith(QLatin1String("USB\\"), Qt::CaseInsensitive) &&
        record.instanceId.count(QLatin1Char('\\')) == 2 && !last.contains(QLatin1Char('&'));
    if (ownSerial)
        device.serialNumber = last;
    return device;
}

} // namespace serial

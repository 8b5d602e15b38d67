#include "port_names.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>

// The serial devices present, as QSerialPortInfo lists them (Linux, macOS).
namespace serial {

namespace {

// Linux names each USB serial device by its maker, product and serial number in
// /dev/serial/by-id; the links point at the ttyUSB/ttyACM name of the moment.
QHash<QString, QString> stableNames()
{
    QHash<QString, QString> names;
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    const QStringList links =
        byId.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &link : links) {
        const QString path = byId.filePath(link);
        const QString target = QFileInfo(path).canonicalFilePath();
        if (!target.isEmpty())
            names.insert(target, path);
    }
    return names;
}

} // namespace

QList<DeviceInfo> presentDevices()
{
    QList<DeviceInfo> devices;
    const QHash<QString, QString> stable = stableNames();
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        DeviceInfo device{info.portName(), info.systemLocation(), info.description()};
        device.manufacturer = info.manufacturer();
        device.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier())
            device.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            device.productId = info.productIdentifier();
        device.stableName = stable.value(QFileInfo(info.systemLocation()).canonicalFilePath());
        devices.append(device);
    }
    return devices;
}

} // namespace serial

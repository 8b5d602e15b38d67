#include "port_names.h"
#include "windows_device_ids.h"

#include <QHash>
#include <algorithm>
#include <qt_windows.h>
#include <setupapi.h>

// The serial devices present on Windows: every COM port the drivers have registered, with
// what the device manager knows of it for the tooltips.
namespace serial {

namespace {

// Class of "端口 (COM 和 LPT)" in the device manager.
const GUID kPortsClass = {
    0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

// Each serial driver names its ports under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, one value a
// port ("\Device\Serial0" = "COM1"), whether or not SetupAPI lists the device.
QStringList registeredPorts()
{
    QStringList ports;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return ports;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        wchar_t data[256] = {};
        // One character short, so that the string always ends in zero.
        DWORD dataBytes = sizeof(data) - sizeof(wchar_t);
        DWORD type = 0;
        const LONG status = RegEnumValueW(key, index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE *>(data), &dataBytes);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS || type != REG_SZ)
            continue;
        ports.append(QString::fromWCharArray(data));
    }
    RegCloseKey(key);
    return ports;
}

QString deviceProperty(HDEVINFO set, SP_DEVINFO_DATA *device, DWORD property)
{
    wchar_t buffer[512] = {};
    DWORD type = 0;
    // REG_MULTI_SZ (the hardware IDs) gives its first string this way.
    if (!SetupDiGetDeviceRegistryPropertyW(set, device, property, &type,
                                           reinterpret_cast<BYTE *>(buffer),
                                           sizeof(buffer) - sizeof(wchar_t), nullptr))
        return QString();
    return QString::fromWCharArray(buffer);
}

QString portNameOf(HDEVINFO set, SP_DEVINFO_DATA *device)
{
    HKEY key = SetupDiOpenDevRegKey(set, device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE)
        return QString();
    wchar_t buffer[64] = {};
    DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    const LONG status = RegQueryValueExW(key, L"PortName", nullptr, &type,
                                         reinterpret_cast<BYTE *>(buffer), &bytes);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? QString::fromWCharArray(buffer) : QString();
}

QHash<QString, WindowsPortRecord> deviceManagerRecords()
{
    QHash<QString, WindowsPortRecord> records;
    HDEVINFO set = SetupDiGetClassDevsW(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return records;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        WindowsPortRecord record;
        record.portName = portNameOf(set, &device);
        if (record.portName.isEmpty())
            continue;
        record.friendlyName = deviceProperty(set, &device, SPDRP_FRIENDLYNAME);
        record.manufacturer = deviceProperty(set, &device, SPDRP_MFG);
        record.hardwareId = deviceProperty(set, &device, SPDRP_HARDWAREID);
        wchar_t instance[512] = {};
        if (SetupDiGetDeviceInstanceIdW(set, &device, instance, 511, nullptr))
            record.instanceId = QString::fromWCharArray(instance);
        records.insert(record.portName.toUpper(), record);
    }
    SetupDiDestroyDeviceInfoList(set);
    return records;
}

} // namespace

QList<DeviceInfo> presentDevices()
{
    const QHash<QString, WindowsPortRecord> known = deviceManagerRecords();
    QList<DeviceInfo> devices;
    for (const QString &port : registeredPorts()) {
        WindowsPortRecord record = known.value(port.toUpper());
        record.portName = port;
        devices.append(deviceFromWindowsRecord(record));
    }
    std::sort(devices.begin(), devices.end(), [](const DeviceInfo &a, const DeviceInfo &b) {
        return naturalCompare(a.portName, b.portName) < 0;
    });
    return devices;
}

} // namespace serial

#pragma once
#include "port_names.h"

#include <QString>

namespace serial {

// What Windows' device manager says of a COM port, as SetupAPI hands it over.
struct WindowsPortRecord
{
    QString portName;     // "COM3": the PortName value of the device's key
    QString friendlyName; // "USB-SERIAL CH340 (COM3)"
    QString manufacturer; // "wch.cn"
    QString hardwareId;   // first hardware ID: "USB\VID_1A86&PID_7523&REV_0264", "ACPI\PNP0501"
    QString instanceId;   // "USB\VID_0403&PID_6001\A50285BI"
};

// The port as the rest of the tool knows a device: opened by "\\.\COMn", described by its
// friendly name, with the USB vendor and product id taken from the hardware ID and the
// serial number from the instance ID (Windows makes up one with '&' when the adapter has
// none, which is left out).
[[nodiscard]] DeviceInfo deviceFromWindowsRecord(const WindowsPortRecord &record);

} // namespace serial

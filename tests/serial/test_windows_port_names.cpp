// Windows names its ports itself; the tool only has to open the name and describe the device
// as the device manager does.
#include "serial/port_names.h"
#include "serial/windows_device_ids.h"

#include <gtest/gtest.h>

namespace {

struct PathCase
{
    const char *name;
    const char *path;
};

class SerialWindowsDevicePath : public ::testing::TestWithParam<PathCase>
{
};

TEST_P(SerialWindowsDevicePath, OpensEveryComNumberByItsDevicePath)
{
    EXPECT_EQ(serial::windowsDevicePath(QString::fromUtf8(GetParam().name)),
              QString::fromUtf8(GetParam().path));
}

INSTANTIATE_TEST_SUITE_P(
    Names, SerialWindowsDevicePath,
    ::testing::Values(PathCase{"COM3", R"(\\.\COM3)"}, PathCase{"com3", R"(\\.\COM3)"},
                      // Without the prefix CreateFileW finds no COM10 and above.
                      PathCase{"COM12", R"(\\.\COM12)"}, PathCase{R"(\\.\COM12)", R"(\\.\COM12)"},
                      PathCase{"COM003", R"(\\.\COM3)"},
                      // Anything else is the user's own name, opened as given.
                      PathCase{"CNCA0", "CNCA0"}, PathCase{R"(\\.\CNCA0)", R"(\\.\CNCA0)"},
                      PathCase{"COM", "COM"}, PathCase{"COM3x", "COM3x"}));

struct RecordCase
{
    serial::WindowsPortRecord record;
    std::optional<quint16> vendorId;
    std::optional<quint16> productId;
    const char *serialNumber;
};

class SerialWindowsRecord : public ::testing::TestWithParam<RecordCase>
{
};

TEST_P(SerialWindowsRecord, GivesTheUsbIdsAndSerialNumberOfTheAdapter)
{
    const serial::DeviceInfo device = serial::deviceFromWindowsRecord(GetParam().record);
    EXPECT_EQ(device.portName, GetParam().record.portName);
    EXPECT_EQ(device.systemLocation, serial::windowsDevicePath(GetParam().record.portName));
    EXPECT_EQ(device.description, GetParam().record.friendlyName);
    EXPECT_EQ(device.vendorId, GetParam().vendorId);
    EXPECT_EQ(device.productId, GetParam().productId);
    EXPECT_EQ(device.serialNumber, QString::fromUtf8(GetParam().serialNumber));
}

serial::WindowsPortRecord record(const char *port, const char *friendly, const char *hardwareId,
                                 const char *instanceId)
{
    return {QString::fromUtf8(port), QString::fromUtf8(friendly), QString(),
            QString::fromUtf8(hardwareId), QString::fromUtf8(instanceId)};
}

INSTANTIATE_TEST_SUITE_P(
    DeviceManager, SerialWindowsRecord,
    ::testing::Values(
        // CH340: no serial number, so Windows makes up an instance with '&'.
        RecordCase{record("COM3", "USB-SERIAL CH340 (COM3)", R"(USB\VID_1A86&PID_7523&REV_0264)",
                          R"(USB\VID_1A86&PID_7523\5&2B0E1C5&0&2)"),
                   0x1A86, 0x7523, ""},
        // CP2102 with its own serial number; lower-case hex as some drivers write it.
        RecordCase{record("COM7", "Silicon Labs CP210x USB to UART Bridge (COM7)",
                          R"(USB\vid_10c4&pid_ea60&REV_0100)", R"(USB\VID_10C4&PID_EA60\0001)"),
                   0x10C4, 0xEA60, "0001"},
        // FTDI's own bus driver joins the ids with '+'.
        RecordCase{record("COM12", "USB Serial Port (COM12)",
                          R"(FTDIBUS\VID_0403+PID_6001+A50285BIA\0000)",
                          R"(FTDIBUS\VID_0403+PID_6001+A50285BIA\0000)"),
                   0x0403, 0x6001, ""},
        // A port on the board has no USB ids at all.
        RecordCase{record("COM1", "通信端口 (COM1)", R"(ACPI\PNP0501)", R"(ACPI\PNP0501\0)"),
                   std::nullopt, std::nullopt, ""},
        // A port the registry lists and the device manager does not.
        RecordCase{record("COM5", "", "", ""), std::nullopt, std::nullopt, ""}));

} // namespace

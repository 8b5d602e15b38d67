#include "serial/port_directory.h"
#include "serial/port_names.h"

#include <gtest/gtest.h>

namespace {

using serial::DeviceInfo;
using serial::Platform;

DeviceInfo unixDevice(const char *name, const char *description = "")
{
    return DeviceInfo{QString::fromUtf8(name), QStringLiteral("/dev/") + QString::fromUtf8(name),
                      QString::fromUtf8(description)};
}

DeviceInfo windowsDevice(int number, const char *description)
{
    return DeviceInfo{QStringLiteral("COM%1").arg(number),
                      QStringLiteral("\\\\.\\COM%1").arg(number), QString::fromUtf8(description)};
}

QStringList namesOf(const QList<DeviceInfo> &devices)
{
    QStringList names;
    for (const DeviceInfo &device : devices)
        names << device.portName;
    return names;
}

QStringList split(const char *names)
{
    return QString::fromUtf8(names).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QList<DeviceInfo> unixDevices(const QStringList &names)
{
    QList<DeviceInfo> devices;
    for (const QString &name : names)
        devices << DeviceInfo{name, QStringLiteral("/dev/") + name, QString()};
    return devices;
}

struct CompareCase
{
    const char *a;
    const char *b;
    int sign;
};

class SerialNaturalCompare : public ::testing::TestWithParam<CompareCase>
{
};

TEST_P(SerialNaturalCompare, OrdersBothWays)
{
    const QString a = QString::fromUtf8(GetParam().a);
    const QString b = QString::fromUtf8(GetParam().b);
    EXPECT_EQ(serial::naturalCompare(a, b), GetParam().sign) << GetParam().a << " " << GetParam().b;
    EXPECT_EQ(serial::naturalCompare(b, a), -GetParam().sign);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SerialNaturalCompare,
    ::testing::Values(CompareCase{"ttyUSB2", "ttyUSB10", -1},
                      CompareCase{"ttyUSB9", "ttyUSB10", -1},
                      CompareCase{"ttyUSB10", "ttyUSB10", 0}, CompareCase{"ttyS1", "ttyS01", 1},
                      CompareCase{"ttyACM0", "ttyUSB0", -1}, CompareCase{"ttyS", "ttyS0", -1},
                      CompareCase{"com3", "COM12", -1}, CompareCase{"ttya", "ttyB", -1},
                      CompareCase{"ttyUSB", "ttyUSB", 0}, CompareCase{"a100b2", "a100b10", -1},
                      CompareCase{"x99999999999999999999", "x100", 1}));

struct OrderCase
{
    const char *name;
    Platform platform;
    const char *present;
    const char *numbered; // COM1, COM2, …
};

class SerialNumbering : public ::testing::TestWithParam<OrderCase>
{
};

TEST_P(SerialNumbering, GivesComNumbersInThisOrder)
{
    const auto &param = GetParam();
    const QList<DeviceInfo> numbered =
        serial::numberedDevices(unixDevices(split(param.present)), param.platform);
    EXPECT_EQ(namesOf(numbered), split(param.numbered));
}

INSTANTIATE_TEST_SUITE_P(
    Platforms, SerialNumbering,
    ::testing::Values(OrderCase{"UsbBeforeOthers", Platform::OtherUnix, "ttyS0 ttyUSB0 ttyS1",
                                "ttyUSB0 ttyS0 ttyS1"},
                      OrderCase{"NaturalNumbers", Platform::OtherUnix, "ttyUSB10 ttyUSB2 ttyUSB1",
                                "ttyUSB1 ttyUSB2 ttyUSB10"},
                      OrderCase{"AcmIsUsb", Platform::OtherUnix, "ttyS0 ttyACM1 ttyUSB0 ttyACM0",
                                "ttyACM0 ttyACM1 ttyUSB0 ttyS0"},
                      OrderCase{"OthersNatural", Platform::OtherUnix, "ttyS10 ttyAMA0 ttyS9 ttyS2",
                                "ttyAMA0 ttyS2 ttyS9 ttyS10"},
                      OrderCase{"NothingPresent", Platform::OtherUnix, "", ""},
                      OrderCase{"MacCalloutOnly", Platform::MacOS,
                                "tty.usbserial-1420 cu.usbserial-1420 tty.Bluetooth-Incoming-Port "
                                "cu.Bluetooth-Incoming-Port cu.usbmodem101",
                                "cu.usbmodem101 cu.usbserial-1420 cu.Bluetooth-Incoming-Port"},
                      OrderCase{"MacDialInWithoutTwinStays", Platform::MacOS,
                                "tty.debug-console cu.usbserial-2 tty.usbserial-10",
                                "cu.usbserial-2 tty.usbserial-10 tty.debug-console"},
                      OrderCase{"MacUsbByName", Platform::MacOS,
                                "cu.Bluetooth cu.SLAB_USBtoUART cu.wchusbserial110",
                                "cu.SLAB_USBtoUART cu.wchusbserial110 cu.Bluetooth"},
                      OrderCase{"LinuxNamesMeanNothingOnMac", Platform::MacOS, "ttyS0 ttyUSB0",
                                "ttyUSB0 ttyS0"},
                      OrderCase{"MacNamesMeanNothingOnLinux", Platform::OtherUnix,
                                "ttyS0 cu.usbserial1", "cu.usbserial1 ttyS0"}),
    [](const ::testing::TestParamInfo<OrderCase> &info) { return info.param.name; });

TEST(SerialResolvePort, NthNumberedDeviceOutsideWindows)
{
    const QList<DeviceInfo> present = {unixDevice("ttyS0"),
                                       unixDevice("ttyUSB1", "USB-Serial Controller"),
                                       unixDevice("ttyUSB0", "CP2102")};
    EXPECT_EQ(serial::resolvePort(1, QString(), Platform::OtherUnix, present), present.at(2));
    EXPECT_EQ(serial::resolvePort(2, QString(), Platform::OtherUnix, present), present.at(1));
    EXPECT_EQ(serial::resolvePort(3, QString(), Platform::OtherUnix, present), present.at(0));
    EXPECT_EQ(serial::resolvePort(4, QString(), Platform::OtherUnix, present), std::nullopt);
    EXPECT_EQ(serial::resolvePort(25, QString(), Platform::OtherUnix, present), std::nullopt);
}

TEST(SerialResolvePort, OverrideWinsOnEveryPlatform)
{
    const QList<DeviceInfo> present = {unixDevice("ttyUSB0"), windowsDevice(3, "CH340")};
    for (const Platform platform : {Platform::OtherUnix, Platform::MacOS, Platform::Windows}) {
        const auto device = serial::resolvePort(3, QStringLiteral("/dev/pts/7"), platform, present);
        ASSERT_TRUE(device.has_value());
        EXPECT_EQ(device->systemLocation, QStringLiteral("/dev/pts/7"));
        EXPECT_EQ(device->portName, QStringLiteral("7"));
    }
}

TEST(SerialResolvePort, WindowsComNIsTheSystemsComN)
{
    const QList<DeviceInfo> present = {windowsDevice(1, "Communications Port"),
                                       windowsDevice(7, "USB-SERIAL CH340")};
    EXPECT_EQ(serial::resolvePort(7, QString(), Platform::Windows, present), present.at(1));
    EXPECT_EQ(serial::resolvePort(1, QString(), Platform::Windows, present), present.at(0));
    // Not listed, still tried by its own name: only opening tells whether it is there.
    const auto unlisted = serial::resolvePort(12, QString(), Platform::Windows, present);
    ASSERT_TRUE(unlisted.has_value());
    EXPECT_EQ(unlisted->portName, QStringLiteral("COM12"));
    EXPECT_EQ(unlisted->systemLocation, QStringLiteral("\\\\.\\COM12"));
}

TEST(SerialResolvePort, PortsOutsideOneToTwentyFiveReachNothing)
{
    const QList<DeviceInfo> present = {unixDevice("ttyUSB0")};
    for (const Platform platform : {Platform::OtherUnix, Platform::MacOS, Platform::Windows}) {
        for (const int port : {0, -1, 26}) {
            EXPECT_EQ(serial::resolvePort(port, QString(), platform, present), std::nullopt);
            EXPECT_EQ(serial::resolvePort(port, QStringLiteral("/dev/pts/1"), platform, present),
                      std::nullopt);
        }
    }
}

struct TipCase
{
    const char *name;
    int port;
    const char *overridePath;
    Platform platform;
    const char *expected;
};

class SerialToolTip : public ::testing::TestWithParam<TipCase>
{
};

TEST_P(SerialToolTip, NamesTheDeviceOrItsAbsence)
{
    const auto &param = GetParam();
    DeviceInfo adapter = unixDevice("ttyUSB0", "FT232R USB UART");
    adapter.manufacturer = QStringLiteral("FTDI");
    adapter.vendorId = 0x0403;
    adapter.productId = 0x6001;
    adapter.serialNumber = QStringLiteral("A50285BI");
    adapter.stableName =
        QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    DeviceInfo acm = unixDevice("ttyACM0");
    acm.vendorId = 0x2e8a;
    const QList<DeviceInfo> present =
        param.platform == Platform::Windows
            ? QList<DeviceInfo>{windowsDevice(3, "USB-SERIAL CH340"), windowsDevice(5, "")}
            : QList<DeviceInfo>{unixDevice("ttyS4"), adapter, acm};
    serial::PortMap map;
    map.set(param.port, QString::fromUtf8(param.overridePath), serial::PortOrigin::Environment);
    EXPECT_EQ(serial::portToolTip(param.port, map, param.platform, present),
              QString::fromUtf8(param.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SerialToolTip,
    ::testing::Values(
        TipCase{"UsbAdapterInFull", 2, "", Platform::OtherUnix,
                "COM2 → /dev/ttyUSB0\n"
                "固定名称：/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0\n"
                "描述：FT232R USB UART\n制造商：FTDI\nUSB 厂商 ID：0403\nUSB 产品 ID：6001\n"
                "序列号：A50285BI"},
        TipCase{"OnlyWhatIsKnown", 1, "", Platform::OtherUnix,
                "COM1 → /dev/ttyACM0\nUSB 厂商 ID：2e8a"},
        TipCase{"NoDetails", 3, "", Platform::OtherUnix, "COM3 → /dev/ttyS4"},
        TipCase{"NothingThere", 4, "", Platform::OtherUnix, "COM4：当前没有对应的串口设备"},
        TipCase{"LastPortNothingThere", 25, "", Platform::MacOS, "COM25：当前没有对应的串口设备"},
        TipCase{"Override", 2, "/dev/pts/3", Platform::OtherUnix,
                "COM2 → /dev/pts/3（由环境变量 RX904_COM2 指定）"},
        TipCase{"OverrideToAListedDevice", 5, "/dev/ttyACM0", Platform::OtherUnix,
                "COM5 → /dev/ttyACM0（由环境变量 RX904_COM5 指定）\nUSB 厂商 ID：2e8a"},
        TipCase{"WindowsListed", 3, "", Platform::Windows, "COM3 → COM3\n描述：USB-SERIAL CH340"},
        TipCase{"WindowsListedNoDescription", 5, "", Platform::Windows, "COM5 → COM5"},
        TipCase{"WindowsUnlisted", 1, "", Platform::Windows, "COM1：当前没有对应的串口设备"},
        TipCase{"WindowsOverride", 1, "COM9", Platform::Windows,
                "COM1 → COM9（由环境变量 RX904_COM1 指定）"},
        TipCase{"DeviceServer", 2, "tcp://192.168.1.200:4001", Platform::OtherUnix,
                "COM2 → 串口服务器 192.168.1.200:4001（经 TCP 连接，由环境变量 RX904_COM2 指定）"},
        TipCase{"DeviceServerIpv6", 6, "tcp://[fd00::7]:502", Platform::Windows,
                "COM6 → 串口服务器 [fd00::7]:502（经 TCP 连接，由环境变量 RX904_COM6 指定）"}),
    [](const ::testing::TestParamInfo<TipCase> &info) { return info.param.name; });

class SerialEnvironmentOverride : public ::testing::Test
{
protected:
    void TearDown() override { qunsetenv("RX904_COM7"); }
};

TEST_F(SerialEnvironmentOverride, NamesTheDeviceBehindComN)
{
    qputenv("RX904_COM7", "/dev/pts/42");
    serial::PortDirectory ports(serial::PortMap::fromEnvironment());
    const auto device = ports.resolve(7);
    ASSERT_TRUE(device.has_value());
    EXPECT_EQ(device->systemLocation, QStringLiteral("/dev/pts/42"));
    const QStringList tips = ports.describePorts();
    ASSERT_EQ(tips.size(), 25);
    EXPECT_EQ(tips.at(6), QStringLiteral("COM7 → /dev/pts/42（由环境变量 RX904_COM7 指定）"));
    EXPECT_TRUE(tips.at(0).startsWith(QStringLiteral("COM1")));
    EXPECT_TRUE(tips.at(24).startsWith(QStringLiteral("COM25")));
}

TEST_F(SerialEnvironmentOverride, EmptyValueCountsAsUnset)
{
    qputenv("RX904_COM7", "");
    const serial::PortMap map = serial::PortMap::fromEnvironment();
    EXPECT_FALSE(map.mapping(7).has_value());
    EXPECT_EQ(serial::resolvePort(7, map),
              serial::resolvePort(7, QString(), serial::hostPlatform(), serial::presentDevices()));
}

} // namespace

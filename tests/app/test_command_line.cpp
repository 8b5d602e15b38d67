#include "app/command_line.h"
#include "serial/port_names.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace {

struct Case
{
    const char *name;
    QStringList arguments;
    std::optional<int> exitStatus;
    QString textStart;
    std::map<int, QString> ports;
};

void PrintTo(const Case &row, std::ostream *out)
{
    *out << row.name;
}

class CommandLineTest : public ::testing::TestWithParam<Case>
{
};

TEST_P(CommandLineTest, Parses)
{
    const Case &row = GetParam();
    const app::CommandLine result =
        app::parseCommandLine(QStringList{QStringLiteral("/usr/bin/rx904-tool")} + row.arguments);
    EXPECT_EQ(result.exitStatus, row.exitStatus);
    EXPECT_TRUE(result.text.startsWith(row.textStart)) << result.text.toStdString();
    if (row.exitStatus == 2) {
        EXPECT_TRUE(result.text.contains(QStringLiteral("用法：rx904-tool"))) << "usage follows";
    }
    EXPECT_EQ(result.ports, row.ports);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CommandLineTest,
    ::testing::Values(
        Case{"NoOptionStartsTheWindow", {}, std::nullopt, {}, {}},
        Case{"Version", {"--version"}, 0, "rx904-tool " RX904_EXPECTED_VERSION "\n", {}},
        Case{"Help", {"--help"}, 0, "用法：rx904-tool [选项]", {}},
        Case{"UnknownOption", {"--monitr"}, 2, "未知选项：--monitr\n", {}},
        Case{"QtPlatformOptionIsUnknownToo", {"-platform", "offscreen"}, 2, "未知选项", {}},
        Case{"StrayArgument", {"/dev/ttyUSB0"}, 2, "多余的参数", {}},
        Case{"PortWithoutDevice", {"--port", "COM1"}, 2, "--port 的值“COM1”有误", {}},
        Case{"PortEmptyDevice", {"--port", "COM1="}, 2, "--port 的值", {}},
        Case{"PortBeyondCom25", {"--port", "COM26=/dev/ttyUSB0"}, 2, "--port 的值", {}},
        Case{"PortValueMissing", {"--port"}, 2, "选项 --port 缺少值", {}},
        Case{"DeviceServerPortTooHigh",
             {"--port", "COM1=tcp://127.0.0.1:99999"},
             2,
             "--port 的值“COM1=tcp://127.0.0.1:99999”不是有效的串口服务器地址",
             {}},
        Case{"DeviceServerWithoutPort",
             {"--port", "COM1=tcp://127.0.0.1"},
             2,
             "--port 的值“COM1=tcp://127.0.0.1”不是有效的串口服务器地址",
             {}},
        Case{"DeviceServerWithoutHost",
             {"--port", "COM1=tcp://:5020"},
             2,
             "--port 的值“COM1=tcp://:5020”不是有效的串口服务器地址",
             {}},
        Case{"PortsMapComNumbers",
             {"--port", "COM1=/dev/ttyUSB3", "--port=com12=/dev/pts/4"},
             std::nullopt,
             {},
             {{1, "/dev/ttyUSB3"}, {12, "/dev/pts/4"}}}),
    [](const ::testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });

TEST(CommandLinePorts, APortOptionWinsOverTheEnvironmentAndSaysSo)
{
    qputenv("RX904_COM7", "/dev/pts/8");
    qputenv("RX904_COM8", "/dev/pts/2");
    const serial::PortMap map =
        app::portMap(app::parseCommandLine({QStringLiteral("rx904-tool"), QStringLiteral("--port"),
                                            QStringLiteral("COM7=/dev/pts/9")}));
    qunsetenv("RX904_COM7");
    qunsetenv("RX904_COM8");
    EXPECT_EQ(map.device(7), QStringLiteral("/dev/pts/9"));
    EXPECT_EQ(map.originText(7), QStringLiteral("选项 --port COM7=/dev/pts/9"));
    EXPECT_EQ(map.originText(8), QStringLiteral("环境变量 RX904_COM8"));
}

TEST(CommandLineMonitor, MonitorOptionOpensTheTrafficMonitorAndNothingElseDoes)
{
    const app::CommandLine with =
        app::parseCommandLine({QStringLiteral("rx904-tool"), QStringLiteral("--monitor")});
    EXPECT_FALSE(with.exitStatus);
    EXPECT_TRUE(with.monitor);
    EXPECT_FALSE(app::parseCommandLine({QStringLiteral("rx904-tool")}).monitor);
}

} // namespace
